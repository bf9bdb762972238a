#include <cmath>

#include "FuelTest.h"
#include "fuel/FuelTrends.h"

namespace {

// Five days, newest first: positions 4 (newest) to 0 (oldest).
TrendLog fiveDays()
{
    TrendLog log;
    log.dateArr = {"Dec 7, 2024", "Dec 6, 2024", "Dec 5, 2024", "Dec 4, 2024", "Dec 3, 2024"};
    log.dataArr = {30, 20, 25, 40, 10};
    log.fuelArr = {1, 2, 1, 1, 4};
    log.distArr = {30, 40, 25, 40, 40};
    log.costArr = {3, 6, 3, 3, 12};
    log.speedArr = {40, 50, 30, 60, 20};
    return log;
}

TEST(TrendStats, RangeAgainstTheDaysBefore)
{
    // The two newest days (positions 3-4) against positions 1-2.
    const TrendStats stats = TrendStats::compute(fiveDays(), 3, 4, 0, 2.0f);
    EXPECT_EQ(stats.fromDateStr, "Dec 6, 2024");
    EXPECT_EQ(stats.toDateStr, "Dec 7, 2024");
    EXPECT_FLOAT_EQ(stats.average, 25);
    EXPECT_FLOAT_EQ(stats.max, 30);
    EXPECT_FLOAT_EQ(stats.min, 20);
    EXPECT_FLOAT_EQ(stats.fuelVal, 3);
    EXPECT_FLOAT_EQ(stats.distance, 70);
    EXPECT_FLOAT_EQ(stats.fuelCost, 9);
    EXPECT_FLOAT_EQ(stats.co2, 6);
    EXPECT_FLOAT_EQ(stats.avgSpeed, 45);
    EXPECT_FLOAT_EQ(stats.diffArr[0], (50 - 65) / 65.0f);
    EXPECT_FLOAT_EQ(stats.diffArr[1], (3 - 2) / 2.0f);
    EXPECT_FLOAT_EQ(stats.diffArr[2], (9 - 6) / 6.0f);
    EXPECT_FLOAT_EQ(stats.diffArr[3], (70 - 65) / 65.0f);
    EXPECT_FLOAT_EQ(stats.diffArr[4], (6 - 4) / 4.0f);
    EXPECT_FLOAT_EQ(stats.diffArr[5], (45 - 45) / 45.0f);
}

TEST(TrendStats, OneDayComparesWithTheDayBefore)
{
    const TrendStats stats = TrendStats::compute(fiveDays(), 2, 2, 0, 1.0f);
    EXPECT_EQ(stats.fromDateStr, "Dec 5, 2024");
    EXPECT_EQ(stats.toDateStr, "Dec 5, 2024");
    EXPECT_FLOAT_EQ(stats.average, 25);
    EXPECT_FLOAT_EQ(stats.min, 25);
    EXPECT_FLOAT_EQ(stats.max, 25);
    EXPECT_FLOAT_EQ(stats.diffArr[0], (25 - 40) / 40.0f);
}

TEST(TrendStats, OldestDaysHaveNothingToCompareWith)
{
    const TrendStats stats = TrendStats::compute(fiveDays(), 0, 1, 0, 1.0f);
    for (const float change : stats.diffArr)
        EXPECT_FLOAT_EQ(change, 0);
}

TEST(TrendStats, PerDistanceMinShowsTheWorstDay)
{
    const TrendStats stats = TrendStats::compute(fiveDays(), 3, 4, 2, 1.0f);
    EXPECT_FLOAT_EQ(stats.min, 30);
    EXPECT_FLOAT_EQ(stats.max, 20);
}

TEST(TrendStats, AnEarlierSumOfZeroHasNoChange)
{
    TrendLog log = fiveDays();
    log.costArr = {3, 6, 0, 0, 12};
    const TrendStats stats = TrendStats::compute(log, 3, 4, 0, 1.0f);
    EXPECT_TRUE(std::isnan(stats.diffArr[2]));
    EXPECT_EQ(ChangeText::of(stats.diffArr[2], false, ui::Color::white()).text, "");
}

TEST(TrendStats, EmptyOrOutOfRangeSelections)
{
    const TrendStats empty = TrendStats::compute(TrendLog{}, 0, 0, 0, 1.0f);
    EXPECT_EQ(empty.fromDateStr, "");
    EXPECT_FLOAT_EQ(empty.average, 0);
    const TrendStats beyond = TrendStats::compute(fiveDays(), 3, 9, 0, 1.0f);
    EXPECT_EQ(beyond.fromDateStr, "");
}

TEST(ChangeText, ArrowsPercentAndColours)
{
    const ui::Color grey = ui::Color::lightGray();
    const ChangeText rise = ChangeText::of(0.125f, true, grey);
    EXPECT_EQ(rise.text, "▲12%");
    EXPECT_EQ(rise.color, ui::Color::rgb(0.255, 0.659, 0.502));
    const ChangeText fall = ChangeText::of(-0.5f, true, grey);
    EXPECT_EQ(fall.text, "▼50%");
    EXPECT_EQ(fall.color, ui::Color::rgb(0.706, 0, 0.176));
    // Outside the economy row a fall is good.
    EXPECT_EQ(ChangeText::of(-0.5f, false, grey).color, ui::Color::rgb(0.255, 0.659, 0.502));
    EXPECT_EQ(ChangeText::of(0, true, grey).text, "▼0%");
    EXPECT_EQ(ChangeText::of(NAN, true, grey).color, grey);
}

class TrendLogTest : public FuelTest {};

TEST_F(TrendLogTest, ColumnsAreConvertedToTheDisplayUnitButCostsAreNot)
{
    fuelData().dateArr = {"Dec 7, 2024"};
    fuelData().dataArr = {31.07f};
    fuelData().fuelArr = {1};
    fuelData().speedArr = {40};
    fuelData().distanceArr = {31.07f};
    fuelData().costArr = {3};
    settings().fuelUnitsMode = 1;
    const TrendLog log = TrendLog::fromFuelData();
    EXPECT_NEAR(log.dataArr[0], 13.21, 0.01);
    EXPECT_NEAR(log.fuelArr[0], 3.785, 0.001);
    EXPECT_NEAR(log.distArr[0], 50.0, 0.01);
    EXPECT_NEAR(log.speedArr[0], 64.37, 0.01);
    EXPECT_FLOAT_EQ(log.costArr[0], 3);
}

}  // namespace
