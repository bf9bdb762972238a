#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "dashboard/GaugeGlide.h"
#include "dashboard/TickTimer.h"
#include "platform/ui/Color.h"
#include "platform/ui/Label.h"
#include "platform/ui/Path.h"
#include "platform/ui/View.h"

// The race screen's first page when engine speed is polled: a large
// three-quarter speed arc with the speed figure, and a small rpm arc at the
// lower right with the rpm in thousands. Both arcs are rows of short segments
// lit in proportion to the value, which glides towards each new reading; at
// the shift point the whole view flashes in the shift-light colour.
class RaceGaugeView : public ui::View {
public:
    static constexpr int speedSegments = 136;
    static constexpr int rpmSegments = 91;
    static constexpr float rpmFullScale = 9000;
    static constexpr double tickInterval = 0.05;

    RaceGaugeView(ui::Rect frame, int theme);
    ~RaceGaugeView() override;

    // Lays the labels out for the current size; the segments are rebuilt at the next draw.
    void setupLayer();
    void resetData();
    void startTimer();
    void stopTimer();
    bool isTimerRunning() const { return timer_.isRunning(); }

    void setSpeed(float speed);
    void setRpm(float rpm);
    void setShiftLight(bool on);
    bool shiftLight() const { return prevShiftEnabled_; }

    // The speed arc's full scale (255 until told).
    void setMaxSpeed(float maxSpeed);
    // The flash colour: 0 yellow, 1 orange, otherwise green.
    void setShiftLightColor(int color) { shiftColor_ = color; }
    float maxSpeed() const { return maxSpeed_; }
    ui::Label& speedUnitLabel() { return *speedUnitLabel_; }
    ui::Label& speedLabel() { return *speedLabel_; }
    ui::Label& rpmLabel() { return *rpmLabel_; }

    // The segments lit at the last draw.
    int litSpeedSegments() const { return litSpeed_; }
    int litRpmSegments() const { return litRpm_; }

    // Each of red, green and blue lowered by 0.3, floored at 0.
    static ui::Color darkerColorForColor(ui::Color color);

    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    void buildSegments();
    void tick();
    void showReadings();
    ui::Color speedColor() const;
    void applyLabelColors(std::optional<ui::Color> override);

    int theme_ = 0;
    ui::Color color_;
    ui::Color color2_;
    std::vector<ui::Path> speedGaugeArr_, speedGaugeArr2_, rpmGaugeArr_, rpmGaugeArr2_;
    std::shared_ptr<ui::Label> speedLabel_, speedUnitLabel_, rpmLabel_, rpmUnitLabel_;
    double barLength_ = 1;
    double line_ = 1;
    bool firstDraw_ = true;
    float maxSpeed_ = 255;
    GaugeGlide speed_;
    GaugeGlide rpm_;
    int litSpeed_ = 0;
    int litRpm_ = 0;
    int shiftColor_ = 0;
    bool prevShiftEnabled_ = false;
    TickTimer timer_;
};
