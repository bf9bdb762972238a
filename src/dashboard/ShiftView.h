#pragma once

#include <memory>

#include "dashboard/GaugeGlide.h"
#include "dashboard/TickTimer.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// The shift light: a bar of segments lighting up from the left as engine speed
// climbs towards the red line, the gear in large figures and the engine speed
// under it. From the shift point, 600 rpm below the red line, the whole bar
// flashes in the shift-light colour and the shift sound plays once each time
// engine speed reaches it. The screen hands it the red line and the colour.
class ShiftView : public ui::View {
public:
    static constexpr int segmentCount = 20;
    static constexpr double tickInterval = 0.05;
    static constexpr float shiftPointBelowRedLine = 600;
    static constexpr int shiftSound = 1111;

    ShiftView(ui::Rect frame, int theme);

    // Lays the gear and rpm labels out for the current bounds.
    void adjustLabels();
    // Back to standstill: no engine speed, the light off.
    void resetData();
    void setRedLine(float rpm) { redLine_ = rpm; }
    // 0 yellow, 1 orange, otherwise green.
    void setShiftLightColor(int color) { shiftLightColor_ = color; }
    void updateRpmGauge(float rpm);
    void stopTimer();
    bool isTimerRunning() const { return timer_.isRunning(); }

    ui::Label& gearLabel() { return *gearLabel_; }
    ui::Label& rpmLabel() { return *rpmLabel_; }

    // The segments lit now, and whether the shift light is on (flashing).
    int litSegments() const;
    bool isShiftLightOn() const { return shiftLight_; }

    void layoutSubviews() override;
    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    void tick();
    ui::Rect segmentRect(int segment) const;
    ui::Color segmentColor(int segment) const;
    ui::Color shiftColor() const;

    std::shared_ptr<ui::Label> gearLabel_;
    std::shared_ptr<ui::Label> rpmLabel_;
    int theme_;
    int shiftLightColor_ = 0;
    float redLine_ = 8000;
    GaugeGlide rpm_;
    bool shiftLight_ = false;
    int ticks_ = 0;  // drives the flashing
    TickTimer timer_;
};
