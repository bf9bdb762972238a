#pragma once

#include <string>

#include "core/model/UserData.h"
#include "dashboard/GaugeGlide.h"
#include "dashboard/GaugeLayout.h"
#include "dashboard/GaugePalette.h"
#include "dashboard/GaugeScale.h"
#include "dashboard/TickTimer.h"
#include "platform/ui/View.h"

// A dashboard tile showing one sensor. Style 3 is an analogue dial with a
// needle and a digital readout, style 1 a large number over a bar. Each value
// glides in from the one shown, one step per 0.05 s tick of the tile's timer.
// The tile warns while the reading is outside the limits its screen hands it:
// it turns the warning colour when the sensor's warning is on, and plays the
// gauge-limit sound on entering the warning when its sound is on. Values outside the range stop the needle at the end of the
// dial; the readout shows them as they are, and "--" when there is no number.
class GaugeView2 : public ui::View {
public:
    static constexpr int digitalStyle = 1;
    static constexpr int analogStyle = 3;
    static constexpr double tickInterval = 0.05;
    static constexpr int limitSound = 1112;

    GaugeView2(int gaugeCount, int visMode, int mainTheme);

    // Styles other than the digital one draw the analogue dial.
    void setVisMode(int style);
    int visMode() const { return visMode_; }
    // Upright or landscape arrangement; takes effect at the next setupLayer.
    void setPortraitMode(bool portrait);
    // Lays the tile out again for its current bounds.
    void setupLayer();

    // Binds the tile to a sensor: its name, range, unit and SensorIndex, and
    // the dashboard page it is on.
    void initData(const std::string& label, float minVal, float maxVal, const std::string& units, int index,
                  int pageIndex);
    // The sensor's warning settings (none until set).
    void setLimits(const SensorLimits& limits) { limits_ = limits; }
    void setVal(float value);
    // Back to no reading, the needle at the minimum.
    void resetData();
    void startTimer();
    void stopTimer();
    bool isTimerRunning() const { return timer_.isRunning(); }

    int gaugeCount() const { return gaugeCount_; }
    int sensorIndex() const { return index_; }
    int pageIndex() const { return pageIndex_; }
    const std::string& label() const { return label_; }
    const std::string& units() const { return units_; }
    // The value the needle shows now, within the range.
    float needleValue() const { return dialGlide_.shown(); }
    // The readout's text now.
    std::string valueText() const;
    bool isWarning() const { return warning_; }

    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    void tick();
    void updateWarning(float value);
    float clampToRange(float value) const;
    float fractionOf(float value) const;
    float readoutValue() const;

    void drawAnalog(ui::Context& context) const;
    void drawDial(ui::Context& context) const;
    void drawLimitZones(ui::Context& context) const;
    void drawNeedle(ui::Context& context) const;
    void drawDigital(ui::Context& context) const;
    void drawTexts(ui::Context& context) const;
    ui::Color valueColor() const;

    int gaugeCount_;
    int visMode_;
    GaugePalette palette_;
    bool portrait_ = true;
    GaugeLayout layout_;

    std::string label_;
    std::string units_;
    float minVal_ = 0;
    float maxVal_ = 1;
    int index_ = -1;
    int pageIndex_ = 0;
    GaugeScale scale_;

    SensorLimits limits_;

    GaugeGlide dialGlide_;     // the reading clamped to the range
    GaugeGlide readingGlide_;  // the reading as it is
    bool hasReading_ = false;
    bool warning_ = false;
    TickTimer timer_;
};
