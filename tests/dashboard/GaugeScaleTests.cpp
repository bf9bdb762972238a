#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dashboard/GaugeScale.h"

namespace {

struct ScaleCase {
    float min;
    float max;
    std::vector<std::string> texts;
    bool thousands;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const ScaleCase& c, std::ostream* os)
{
    *os << c.min << " to " << c.max;
}

class GaugeScaleRanges : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(GaugeScaleRanges, LabelsTheRangeFromEndToEnd)
{
    const ScaleCase c = GetParam();
    const GaugeScale scale = GaugeScale::forRange(c.min, c.max);
    EXPECT_EQ(scale.texts, c.texts);
    EXPECT_EQ(scale.thousands, c.thousands);
    ASSERT_EQ(scale.fractions.size(), scale.texts.size());
    EXPECT_FLOAT_EQ(scale.fractions.front(), 0);
    EXPECT_FLOAT_EQ(scale.fractions.back(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    SensorRanges, GaugeScaleRanges,
    ::testing::Values(
        // Engine speed in thousands, one label per thousand.
        ScaleCase{0, 8000, {"0", "1", "2", "3", "4", "5", "6", "7", "8"}, true},
        // Speed in km/h has no round division: sixths, cut to whole numbers.
        ScaleCase{0, 255, {"0", "42", "85", "127", "170", "212", "255"}, false},
        ScaleCase{0, 160, {"0", "20", "40", "60", "80", "100", "120", "140", "160"}, false},
        ScaleCase{0, 100, {"0", "20", "40", "60", "80", "100"}, false},
        // A negative start: coolant temperature.
        ScaleCase{-40, 215, {"-40", "2", "45", "87", "130", "172", "215"}, false},
        ScaleCase{-100, 100, {"-100", "-50", "0", "50", "100"}, false},
        // Small ranges keep their decimals.
        ScaleCase{0, 2, {"0.0", "0.5", "1.0", "1.5", "2.0"}, false},
        ScaleCase{0, 1.275f, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.1", "1.3"}, false},
        ScaleCase{0, 16, {"0", "2", "4", "6", "8", "10", "12", "14", "16"}, false}));

TEST(GaugeScale, EmptyOrBrokenRangesGiveOneLabelAndNoDivisions)
{
    EXPECT_EQ(GaugeScale::forRange(50, 50).texts, std::vector<std::string>{"50"});
    EXPECT_EQ(GaugeScale::forRange(100, 0).texts, std::vector<std::string>{"100"});
    EXPECT_EQ(GaugeScale::forRange(std::nanf(""), 10).texts, std::vector<std::string>{"--"});
    EXPECT_EQ(GaugeScale::forRange(0, std::numeric_limits<float>::infinity()).fractions.size(), 1u);
}

struct ReadoutCase {
    float value;
    float max;
    const char* text;
};

void PrintTo(const ReadoutCase& c, std::ostream* os)
{
    *os << c.value << " of " << c.max;
}

class GaugeReadout : public ::testing::TestWithParam<ReadoutCase> {};

TEST_P(GaugeReadout, Text)
{
    EXPECT_EQ(gaugeReadoutText(GetParam().value, GetParam().max), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Decimals, GaugeReadout,
    ::testing::Values(ReadoutCase{0.456f, 1.275f, "0.46"}, ReadoutCase{12.34f, 16, "12.3"},
                      ReadoutCase{3400.9f, 8000, "3400"}, ReadoutCase{-12.7f, 100, "-12"},
                      // No negative zero for a reading just below zero.
                      ReadoutCase{-0.4f, 255, "0"}, ReadoutCase{1e30f, 255, "1000000015047466219876688855040"},
                      ReadoutCase{std::nanf(""), 255, "--"},
                      ReadoutCase{-std::numeric_limits<float>::infinity(), 255, "--"}));

}  // namespace
