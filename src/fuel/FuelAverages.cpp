#include "fuel/FuelAverages.h"

namespace {

// Puts `value` at index 1 and drops the last entry, keeping the size.
void shiftIn(std::vector<float>& bars, float value)
{
    if (bars.size() < 2)
        return;
    bars.insert(bars.begin() + 1, value);
    bars.pop_back();
}

}  // namespace

float meanOf(const std::vector<float>& values) { return FuelTally::mean(values).value_or(0.0f); }

FuelAverages::FuelAverages() { initArrays(); }

void FuelAverages::start(std::function<void(float)> onMinute)
{
    hasData_ = false;
    tally_.setMinuteHandler([this, onMinute = std::move(onMinute)](float mean) {
        addMinute(mean);
        if (onMinute)
            onMinute(mean);
    });
    tally_.start();
}

void FuelAverages::stop() { tally_.stop(); }

void FuelAverages::addSample(float mpg)
{
    tally_.addSample(mpg);
    avgMpgArr[0] = meanOf(tally_.minuteSamples());
    avgMpgArr2[0] = meanOf(tally_.fiveMinuteSamples());
    avgMpgArr3[0] = meanOf(tally_.thirtyMinuteSamples());
}

void FuelAverages::addMinute(float mean)
{
    hasData_ = true;
    shiftIn(avgMpgArr, mean);
    if (index_++ >= 4) {
        index_ = 0;
        shiftIn(avgMpgArr2, meanOf(avgMpgArr));
        if (index2_++ > 4) {
            index2_ = 0;
            shiftIn(avgMpgArr3, meanOf(avgMpgArr2));
        }
    }
}

FuelTally::Handover FuelAverages::takeOverShared()
{
    FuelTally::Handover handover = tally_.takeOverShared();
    fillFromMeans(handover.minuteMeans);
    return handover;
}

void FuelAverages::fillFromMeans(const std::vector<float>& minuteMeans)
{
    for (std::size_t i = 0; i < minuteMeans.size() && i + 1 < minuteBars; ++i)
        avgMpgArr[i + 1] = minuteMeans[i];
    // Cumulative means over the newest 5, 10, 15 and 20 minutes.
    float sum = 0;
    for (std::size_t i = 0; i < minuteMeans.size() && i < 20; ++i) {
        sum += minuteMeans[i];
        const std::size_t summed = i + 1;
        if (summed % 5 == 0)
            avgMpgArr2[summed / 5] = sum / static_cast<float>(summed);
    }
}

void FuelAverages::initArrays()
{
    avgMpgArr.assign(minuteBars, 0.0f);
    avgMpgArr2.assign(fiveMinuteBars, 0.0f);
    avgMpgArr3.assign(thirtyMinuteBars, 0.0f);
}

void FuelAverages::reset()
{
    tally_.reset();
    initArrays();
    index_ = 0;
    index2_ = 0;
    hasData_ = false;
}

float FuelAverages::longMean() const
{
    std::vector<float> filled;
    for (const float value : avgMpgArr3) {
        if (value > 0)
            filled.push_back(value);
    }
    return meanOf(filled);
}
