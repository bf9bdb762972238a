#include <gtest/gtest.h>

#include "core/model/Lap.h"

namespace {

TEST(Lap, TimeStringWrapsMinutesAtAnHour)
{
    const std::pair<float, const char*> cases[] = {
        {0, "00:00.0"},     {125, "00:12.5"},   {599, "00:59.9"},  {600, "01:00.0"},
        {6000, "10:00.0"},  {35999, "59:59.9"}, {36000, "00:00.0"}, {36125, "00:12.5"},
        {129.7f, "00:12.9"},  // a fractional time keeps a single tenths digit
    };
    for (const auto& [tenths, text] : cases)
        EXPECT_EQ(Lap({}, {}, tenths).lapTimeString(), text) << tenths;
}

TEST(Lap, MaxSpeedIsTheTruncatedMeanOfTheSamples)
{
    const std::pair<std::vector<float>, int> cases[] = {
        {{10, 20, 31}, 20},
        {{99.9f}, 99},
        {{-5.5f}, -5},
        {{}, 0},  // no samples: no division by zero
    };
    for (const auto& [speeds, expected] : cases)
        EXPECT_EQ(Lap({}, speeds, 0).getMaxSpeed(), expected);
}

}  // namespace
