#pragma once

#include "core/model/UserData.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/View.h"

// The bar gauge of a sensor list row: small segments lit from the left in
// proportion to the value, in a warning colour outside the sensor's alert
// limits (handed to it by its row). Outside the limits, with the sound warning on, the gauge-limit sound
// plays when a value arrives, at most once every 5 s.
class ListGaugeView : public ui::View {
public:
    ListGaugeView(ui::Rect frame, int theme);
    ~ListGaugeView() override { rearm_.cancel(); }

    // Recomputes the segment size from the bounds and redraws.
    void updateDimensions();
    // The range and the sensor.
    void initData(float min, float max, int index);
    // The sensor's warning settings (none until set).
    void setLimits(const SensorLimits& limits) { limits_ = limits; }
    // Shows a value (and decides on the limit sound).
    void updateGauge(float value);
    // Nothing lit and no warning until the next value.
    void showNoValue();
    void playWarningSound() { playSound_ = true; }

    float value() const { return value_; }
    bool isWarning() const;
    float barWidth() const { return barWidth_; }
    float barLength() const { return barLength_; }
    // The segments' left edges for a width, and how many are lit at `value`.
    std::vector<double> segmentPositions() const;
    int litSegmentCount() const;

    void draw(ui::Context& context, ui::Rect dirty) override;

    static constexpr int limitSound = 1112;
    static constexpr double soundPause = 5.0;
    static constexpr double left = 10;

private:
    double litExtent() const;

    float min_ = 0;
    float max_ = 0;
    float value_ = 0;
    bool empty_ = true;
    int index_ = 0;
    SensorLimits limits_;
    bool playSound_ = true;
    int theme_;
    float barWidth_ = 0;
    float barLength_ = 0;
    ui::Color color_;
    ui::Color bgColor_;
    ui::Color color2_;
    fnd::DelayedCall rearm_;
};
