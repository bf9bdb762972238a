#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/FuelTally.h"
#include "core/model/VehicleCalc.h"
#include "dashboard/GaugeGlide.h"
#include "dashboard/TickTimer.h"
#include "fuel/FuelAverages.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

namespace ui {
class Label;
}

// The fuel screen's gauge. It turns each speed and air-flow (or fuel-rate)
// reply into an instantaneous economy in US mpg, glides the shown value towards
// it every 0.05 s, keeps the averages behind its fifteen bars and the trip
// average, and hands each minute's mean to the other live screens. Upright it
// draws three arcs (instantaneous, trip average, tank level) with large digits;
// on its side, fifteen average bars in three groups beside an instantaneous bar.
// Values are held in US mpg and converted to the display unit only for display.
class FuelView : public ui::View {
public:
    static constexpr double tickInterval = 0.05;
    static constexpr double tallyInterval = 60.0;
    static constexpr std::size_t barCount = 15;

    // The unit is the fuel screen's, until updateMetric hands another.
    FuelView(ui::Rect frame, int theme, int unitsMode);
    ~FuelView() override;

    // Inputs, in the order the fuel screen hands them over.
    void setSpeed(float kmh) { speedVal_ = kmh; }
    void setMAF(float gramsPerSecond);
    void setFuelRate(float litresPerHour);
    void setFuel(float percent);
    // The density and air/fuel ratio of the fuel in use.
    void setFuelConstants(VehicleCalc::FuelConstants fuel) { fuel_ = fuel; }

    void updateGauge();
    // The trip average in the display unit; also kept as totalAverage().
    float calculateAverage();
    // Takes over what the other live screens gathered while this one was not shown.
    FuelTally::Handover takeOverShared();
    void updateMetric(int unitsMode);

    void startTimer();
    void stopTimer();
    void resetGauge();
    void resetData(bool restart);
    void initArrays() { averages_.initArrays(); }

    bool isTimerRunning() const { return gaugeTimer_.isRunning() || averages_.isRunning(); }
    float totalAverage() const { return totalAverage_; }
    float average() const { return average_; }
    bool hasData() const { return averages_.hasData(); }
    float insMpgVal() const { return insMpgVal_; }
    float minVal() const { return minVal_; }
    float maxVal() const { return maxVal_; }
    int mode() const { return mode_; }
    bool isPortrait() const { return isPortrait_; }
    // The value shown now, in the display unit.
    float shownValue() const;

    const FuelAverages& averages() const { return averages_; }
    const std::vector<float>& avgMpgArr() const { return averages_.avgMpgArr; }
    const std::vector<float>& avgMpgArr2() const { return averages_.avgMpgArr2; }
    const std::vector<float>& avgMpgArr3() const { return averages_.avgMpgArr3; }
    // The fuel screen restores the bars after it rebuilt its views.
    void setBarArrays(std::vector<float> bars, std::vector<float> bars2, std::vector<float> bars3);

    void changeToLandscape();
    void changeToPortrait();
    void updateLabels();

    // Texts the user sees, for the screen's tests and text dump.
    std::string largeValueText() const;
    std::string smallValueText() const;
    std::string averageText(int which) const;  // 0 five-minute, 1 thirty-minute, 2 two-hour
    std::string tripAverageText() const;
    std::string unitText() const;
    std::string fuelLevelText() const;
    std::string barText(std::size_t bar) const;

    // One bar of the landscape chart as it is drawn.
    struct Bar {
        bool drawn = false;
        ui::Rect rect;
        float fraction = 0;  // of the chart height, at most 1
        ui::Color top;
        ui::Color bottom;
        friend bool operator==(const Bar&, const Bar&) = default;
    };
    const Bar& bar(std::size_t index) const { return bars_[index]; }

    void layoutSubviews() override;
    void draw(ui::Context& context, ui::Rect dirty) override;

    // What draw() shows that changes while driving. The value glides every 0.05 s, but its arc or bar moves
    // in steps and its colour in 8-bit ones: the view is drawn again only when this changes.
    struct Picture {
        bool portrait = true;
        int instantSteps = 0;  // dashes of the arc, or segments of the bar; 0 when nothing is drawn
        ui::Color instantColor;
        int tripSteps = 0;
        ui::Color tripColor;
        int tankDegrees = 0;
        std::array<Bar, barCount> bars{};
        float minVal = 0, maxVal = 0;
        friend bool operator==(const Picture&, const Picture&) = default;
    };
    Picture picture() const;

private:
    void sample(float mpg);
    void updateData();
    void tallied(float minuteMean);
    void adaptScale(float minuteMean);
    float barValue(std::size_t bar) const;
    void showOrientation();
    // The colours of the texts that follow the economy.
    void updateColors();
    void buildLabels();
    void sizeLandscapeTexts();

    void drawLandscape(ui::Context& context) const;
    void drawLandscapeGrid(ui::Context& context) const;
    void drawInstantBar(ui::Context& context) const;
    void drawScale(ui::Context& context) const;
    void drawBars(ui::Context& context) const;
    // Only the arcs that pass through `dirty` are stroked: the digits inside them change every tick.
    void drawPortrait(ui::Context& context, ui::Rect dirty) const;
    float fractionOf(float shown) const;
    // The fraction an upright arc shows of a value.
    float arcFraction(float shown) const;
    // The fraction the instantaneous bar on its side shows, 0.99 above the scale; nothing below it.
    std::optional<float> barFraction(float shown) const;
    int barSegments(float fraction) const;
    // Draws the view again, or only when the picture changed.
    void redraw();
    void refreshPicture();

    // Geometry fixed at creation from the screen.
    struct Geometry {
        double gHOffset = 0, gHeight = 0, gWOffset = 0, gWidth = 0, plotBase = 0;
        double lineWidth = 2, barWidth = 0, barWidth2 = 0;
        double longSide = 0, shortSide = 0;
    };
    // Upright from the screen, as the texts' sizes are; on its side from the room the view has.
    static Geometry makeGeometry(ui::Size area);

    int theme_;
    bool isPortrait_ = true;
    Geometry geometry_;

    // Inputs and the fuel in use.
    float speedVal_ = 0;
    float mafVal_ = 0;
    float fuelLevel_ = 0;
    VehicleCalc::FuelConstants fuel_;
    int mode_;
    bool firstLaunch_ = true;

    // The newest value and its glide.
    float insMpgVal_ = 0;
    int updateCount_ = 0;
    GaugeGlide glide_;
    FuelAverages averages_;

    float average_ = 0;
    float totalAverage_ = 0;
    float maxVal_ = 40.0f;
    float minVal_ = 0;

    std::array<Bar, barCount> bars_{};
    Picture drawn_;

    // Portrait texts.
    std::shared_ptr<ui::Label> insMpgTitle_, insMpgLargeLabel_, insMpgDecimalLabel_, mpgLabel_;
    std::shared_ptr<ui::Label> avgLabel_, avgTitle_;
    std::shared_ptr<ui::Label> fuelLevelLabel_, fuelLevelTitle_, fuelLevelUnits_;
    // Landscape texts.
    std::shared_ptr<ui::Label> insMpgTitle2_, insMpgLabel_;
    std::array<std::shared_ptr<ui::Label>, 3> avgMpgLabels_;
    std::array<std::shared_ptr<ui::Label>, 3> groupTitles_;
    std::vector<std::shared_ptr<ui::Label>> labelArr_;

    TickTimer gaugeTimer_;
};
