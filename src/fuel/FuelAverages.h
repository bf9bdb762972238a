#pragma once

#include <optional>
#include <vector>

// The running averages behind the fuel screen's fifteen bars and its trip
// average, all in US mpg. Samples arrive as the adapter answers; the screen's
// minute timer calls tally(). Bars: `avgMpgArr` holds the running mean of the
// current minute's window and the last four one-minute means, `avgMpgArr2` the
// running mean of every 5th sample and the last five 5-minute means,
// `avgMpgArr3` the running mean of every 15th sample and the last three
// 30-minute means (newest first after index 0).
class FuelAverages {
public:
    static constexpr std::size_t minuteBars = 5;
    static constexpr std::size_t fiveMinuteBars = 6;
    static constexpr std::size_t thirtyMinuteBars = 4;

    FuelAverages() { initArrays(); }

    // One instantaneous value. Values that are not finite are dropped.
    void addSample(float mpg);
    // The minute's mean, shifted into the bars; nothing (and no bar moves) when
    // no sample came since the last tally.
    std::optional<float> tally();
    // Takes over what the other live screens gathered: one-minute means newest
    // first and the samples of the unfinished minute. An empty hand-over leaves
    // the window as it is.
    void handOver(const std::vector<float>& minuteMeans, const std::vector<float>& minuteSamples);

    // The bars back to zero.
    void initArrays();
    // Everything back to the start of a trip.
    void reset();
    // The sample window starts again, as when the timers start.
    void restartWindow();

    // Mean of the trip's thinned samples; nothing before the first sample.
    std::optional<float> tripMean() const;
    // The mean of the 30-minute bars that hold a value, 0 when none does.
    float longMean() const;

    int updateCount() const { return updateCount_; }
    int minCount() const { return minCount_; }
    bool hasData() const { return hasData_; }
    bool minuteReached() const { return minuteReached_; }
    bool min5Reached() const { return min5Reached_; }
    bool min30Reached() const { return min30Reached_; }
    void setHasData(bool hasData) { hasData_ = hasData; }

    std::vector<float> mpgArr;
    std::vector<float> fiveMinArr;
    std::vector<float> thirtyMinArr;
    std::vector<float> totalAvgMpgArr;
    std::vector<float> avgMpgArr;
    std::vector<float> avgMpgArr2;
    std::vector<float> avgMpgArr3;

private:
    int updateCount_ = 0;
    int minCount_ = 0;
    int index_ = 0;   // minutes since the last 5-minute mean
    int index2_ = 0;  // 5-minute means since the last 30-minute mean
    int samplesThisMinute_ = 0;
    bool minuteReached_ = false;
    bool min5Reached_ = false;
    bool min30Reached_ = false;
    bool hasData_ = false;
};

// Sum in float divided by the count; 0 for no entries.
float meanOf(const std::vector<float>& values);
