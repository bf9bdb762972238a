#include "fuel/FuelAverages.h"

#include <cmath>

namespace {

// Appends to a window that drops its oldest entry once it is full.
void slide(std::vector<float>& window, float value, bool full)
{
    window.push_back(value);
    if (full && !window.empty())
        window.erase(window.begin());
}

// Puts `value` at index 1 and drops the last entry, keeping the size.
void shiftIn(std::vector<float>& bars, float value)
{
    if (bars.size() < 2)
        return;
    bars.insert(bars.begin() + 1, value);
    bars.pop_back();
}

}  // namespace

float meanOf(const std::vector<float>& values)
{
    if (values.empty())
        return 0;
    float sum = 0;
    for (const float value : values)
        sum += value;
    return sum / static_cast<float>(values.size());
}

void FuelAverages::addSample(float mpg)
{
    if (!std::isfinite(mpg))
        return;
    slide(mpgArr, mpg, minuteReached_);
    avgMpgArr[0] = meanOf(mpgArr);
    if (updateCount_ % 5 == 0) {
        slide(fiveMinArr, mpg, min5Reached_);
        avgMpgArr2[0] = meanOf(fiveMinArr);
    }
    if (updateCount_ % 15 == 0) {
        slide(thirtyMinArr, mpg, min30Reached_);
        avgMpgArr3[0] = meanOf(thirtyMinArr);
        totalAvgMpgArr.push_back(mpg);
    }
    ++updateCount_;
    ++samplesThisMinute_;
}

std::optional<float> FuelAverages::tally()
{
    // A minute without a sample (the link was quiet) would repeat the last
    // window's mean as if it had been driven.
    if (samplesThisMinute_ == 0 || mpgArr.empty())
        return std::nullopt;
    samplesThisMinute_ = 0;

    const int oldMinCount = minCount_++;
    minuteReached_ = true;
    hasData_ = true;
    if (oldMinCount >= 4)
        min5Reached_ = true;
    if (minCount_ >= 30)
        min30Reached_ = true;

    const float mean = meanOf(mpgArr);
    shiftIn(avgMpgArr, mean);
    if (index_++ >= 4) {
        index_ = 0;
        shiftIn(avgMpgArr2, meanOf(avgMpgArr));
        if (index2_++ > 4) {
            index2_ = 0;
            shiftIn(avgMpgArr3, meanOf(avgMpgArr2));
        }
    }
    return mean;
}

void FuelAverages::handOver(const std::vector<float>& minuteMeans, const std::vector<float>& minuteSamples)
{
    if (!minuteSamples.empty()) {
        mpgArr = minuteSamples;
        samplesThisMinute_ = static_cast<int>(minuteSamples.size());
    }
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
    *this = FuelAverages();
}

void FuelAverages::restartWindow()
{
    hasData_ = false;
    updateCount_ = 0;
    minuteReached_ = false;
}

std::optional<float> FuelAverages::tripMean() const
{
    if (totalAvgMpgArr.empty())
        return std::nullopt;
    return meanOf(totalAvgMpgArr);
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
