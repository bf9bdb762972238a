#include <cmath>

#include "FuelTest.h"
#include "fuel/FuelTrip.h"

namespace {

class FuelTripTest : public FuelTest {};

void drive(FuelTrip& trip, int seconds, float kmh)
{
    for (int i = 0; i < seconds; ++i)
        trip.tick(kmh);
}

TEST_F(FuelTripTest, TimeDistanceAndSpeedSamples)
{
    FuelTrip trip;
    drive(trip, 3725, 36);
    EXPECT_EQ(trip.timeText(), "01:02:05");
    EXPECT_NEAR(trip.distance(), 37.25, 0.01);
    EXPECT_EQ(trip.speedArr().size(), 372u);
    EXPECT_FLOAT_EQ(trip.meanSpeed(), 36);
    trip.addBackground(75, 1.5f);
    EXPECT_EQ(trip.timeText(), "01:03:20");
    trip.reset();
    EXPECT_EQ(trip.timeText(), "00:00:00");
    EXPECT_FLOAT_EQ(trip.distance(), 0);
}

TEST_F(FuelTripTest, FuelUsedInEachUnit)
{
    settings().fuelUnitsMode = 2;
    EXPECT_NEAR(*FuelTrip::fuelUsed(50, 8.0f, 2), 4.0, 1e-4);
    settings().fuelUnitsMode = 0;
    EXPECT_NEAR(*FuelTrip::fuelUsed(50, 31.07f, 0), 1.0, 1e-3);
    settings().fuelUnitsMode = 1;
    EXPECT_NEAR(*FuelTrip::fuelUsed(50, 12.5f, 1), 4.0, 1e-4);
    // Imperial mpg: the figure is in US gallons like the log, not Imperial ones.
    settings().fuelUnitsMode = 3;
    EXPECT_NEAR(*FuelTrip::fuelUsed(50, 31.07f * 1.20095f, 3), 1.0, 1e-3);
    // No trip average yet: no figure.
    EXPECT_FALSE(FuelTrip::fuelUsed(0, 0, 0).has_value());
    EXPECT_FALSE(FuelTrip::fuelUsed(50, 0, 1).has_value());
}

TEST_F(FuelTripTest, CarbonDioxideInPoundsAndKilograms)
{
    settings().fuelType = 0;
    EXPECT_NEAR(FuelTrip::co2(1.0f, 0), 3.78541 * 2.394 * 2.2046, 1e-3);
    EXPECT_NEAR(FuelTrip::co2(4.0f, 2), 4 * 2.394, 1e-4);
}

TEST_F(FuelTripTest, ADayIsInsertedAtTheFrontOfEveryList)
{
    FuelData log;
    log.dateArr = {"Dec 6, 2024"};
    log.dataArr = {30};
    log.fuelArr = {1};
    log.speedArr = {40};
    log.distanceArr = {30};
    log.costArr = {3};
    FuelTrip trip;
    drive(trip, 1800, 80.4672f);  // 25 miles at 50 mph
    ASSERT_TRUE(trip.saveDay(log, "Dec 7, 2024", 25, 3.0f, 0));
    ASSERT_EQ(log.dayCount(), 2u);
    EXPECT_EQ(log.dateArr[0], "Dec 7, 2024");
    EXPECT_FLOAT_EQ(log.dataArr[0], 25);
    EXPECT_NEAR(log.fuelArr[0], 1.0, 1e-3);
    EXPECT_NEAR(log.speedArr[0], 50, 1e-3);
    EXPECT_NEAR(log.distanceArr[0], 25, 1e-3);
    EXPECT_NEAR(log.costArr[0], 3.0, 1e-3);
    EXPECT_EQ(log.dateArr[1], "Dec 6, 2024");
}

TEST_F(FuelTripTest, SavesOfOneTripKeepTheDayAtTheTripsFigures)
{
    FuelData log;
    FuelTrip trip;
    drive(trip, 1800, 80.4672f);
    trip.saveDay(log, "Dec 7, 2024", 25, 1.0f, 0);
    drive(trip, 1800, 80.4672f);
    trip.saveDay(log, "Dec 7, 2024", 25, 1.0f, 0);
    ASSERT_EQ(log.dayCount(), 1u);
    EXPECT_NEAR(log.distanceArr[0], 50, 1e-2);
    EXPECT_NEAR(log.fuelArr[0], 2, 1e-3);
    EXPECT_NEAR(log.dataArr[0], 25, 1e-3);
}

TEST_F(FuelTripTest, ASecondTripOnTheSameDayAddsToIt)
{
    FuelData log;
    FuelTrip first;
    drive(first, 1800, 80.4672f);  // 25 miles
    first.saveDay(log, "Dec 7, 2024", 25, 2.0f, 0);
    FuelTrip second;
    drive(second, 1800, 40.2336f);  // 12.5 miles at 25 mph
    second.saveDay(log, "Dec 7, 2024", 50, 2.0f, 0);
    ASSERT_EQ(log.dayCount(), 1u);
    EXPECT_NEAR(log.distanceArr[0], 37.5, 1e-2);
    EXPECT_NEAR(log.fuelArr[0], 1.25, 1e-3);
    EXPECT_NEAR(log.dataArr[0], 30, 1e-2);
    EXPECT_NEAR(log.costArr[0], 2.5, 1e-3);
    EXPECT_NEAR(log.speedArr[0], (50 * 25 + 25 * 12.5) / 37.5, 1e-2);
}

TEST_F(FuelTripTest, ATripAcrossMidnightCountsEachPartInItsOwnDay)
{
    FuelData log;
    FuelTrip trip;
    drive(trip, 1800, 80.4672f);
    trip.saveDay(log, "Dec 6, 2024", 25, 1.0f, 0);
    drive(trip, 900, 80.4672f);
    trip.saveDay(log, "Dec 7, 2024", 25, 1.0f, 0);
    ASSERT_EQ(log.dayCount(), 2u);
    EXPECT_NEAR(log.distanceArr[0], 12.5, 1e-2);
    EXPECT_NEAR(log.distanceArr[1], 25, 1e-2);
}

TEST_F(FuelTripTest, PerLitrePricesAreChargedPerLitre)
{
    FuelData log;
    FuelTrip trip;
    drive(trip, 1800, 80.4672f);
    trip.saveDay(log, "Dec 7, 2024", 25, 2.0f, 1);
    EXPECT_NEAR(log.costArr[0], 2 * 3.78541, 1e-3);
}

TEST_F(FuelTripTest, NoEconomyLeavesTheLogAlone)
{
    FuelData log;
    log.dateArr = {"Dec 7, 2024"};
    log.dataArr = {30};
    log.fuelArr = {1};
    log.speedArr = {40};
    log.distanceArr = {30};
    log.costArr = {3};
    FuelTrip trip;
    drive(trip, 600, 50);
    EXPECT_FALSE(trip.saveDay(log, "Dec 7, 2024", 0, 1, 0));
    EXPECT_FALSE(trip.saveDay(log, "Dec 7, 2024", NAN, 1, 0));
    EXPECT_FLOAT_EQ(log.dataArr[0], 30);
    EXPECT_FLOAT_EQ(log.distanceArr[0], 30);
}

}  // namespace
