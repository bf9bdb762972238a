#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "core/model/FuelTally.h"

// The fuel screen's fifteen average bars on top of its fuel tally, all in US
// mpg. `avgMpgArr` holds the running mean of the minute's window and the last
// four one-minute means, `avgMpgArr2` the running mean of the 5-minute list and
// the last five 5-minute means, `avgMpgArr3` the running mean of the 30-minute
// list and the last three 30-minute means (newest first after index 0).
class FuelAverages {
public:
    static constexpr std::size_t minuteBars = 5;
    static constexpr std::size_t fiveMinuteBars = 6;
    static constexpr std::size_t thirtyMinuteBars = 4;

    FuelAverages();

    // Starts the minute timer; `onMinute` hears each minute's mean after the bars took it.
    void start(std::function<void(float mean)> onMinute);
    void stop();
    bool isRunning() const { return tally_.isRunning(); }

    // One instantaneous value. Values that are not finite are dropped.
    void addSample(float mpg);
    // The minute's mean shifted into the bars (what the minute timer does).
    void addMinute(float mean);
    // Takes over what the other live screens gathered: their one-minute means
    // fill the bars, their unfinished minute (when there is one) this window.
    FuelTally::Handover takeOverShared();

    void initArrays();
    // Everything back to the start of a trip.
    void reset();

    const FuelTally& tally() const { return tally_; }
    std::optional<float> tripMean() const { return tally_.tripAverage(); }
    // The mean of the 30-minute bars that hold a value, 0 when none does.
    float longMean() const;
    bool hasData() const { return hasData_; }

    std::vector<float> avgMpgArr;
    std::vector<float> avgMpgArr2;
    std::vector<float> avgMpgArr3;

private:
    void fillFromMeans(const std::vector<float>& minuteMeans);

    FuelTally tally_{FuelTally::fuelScreen};
    int index_ = 0;   // minutes since the last 5-minute mean
    int index2_ = 0;  // 5-minute means since the last 30-minute mean
    bool hasData_ = false;
};

// Sum in float divided by the count; 0 for no entries.
float meanOf(const std::vector<float>& values);
