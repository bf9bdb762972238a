#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <unordered_map>

#include "core/model/CalculatedSensors.h"
#include "core/model/ReplyKey.h"
#include "core/model/Settings.h"
#include "core/model/VehicleCalc.h"

using namespace VehicleCalc;

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(VehicleCalcTest, FuelEconomyWorkedNumbers)
{
    EXPECT_NEAR(fuelEconomyFromAirFlow(100, 10), 71.07f, 0.01f);
    // No air flow: the divisor is 360, not 0.
    EXPECT_NEAR(fuelEconomyFromAirFlow(50, 0), 3553.7f, 0.1f);
    EXPECT_FLOAT_EQ(fuelEconomyFromAirFlow(300, 10), fuelEconomyFromAirFlow(255, 10));
    EXPECT_EQ(fuelEconomyFromAirFlow(-20, 10), 0.0f);

    const float airFlow = speedDensityAirFlow(2000, 50, 30, 3.0f);
    EXPECT_NEAR(airFlow, 24.43f, 0.01f);
    EXPECT_NEAR(fuelEconomyFromAirFlow(100, airFlow), 29.10f, 0.01f);

    EXPECT_NEAR(fuelEconomyFromFuelRate(90, 6), 35.28f, 0.01f);
    EXPECT_EQ(fuelEconomyFromFuelRate(90, 0), 0.0f);
}

TEST(VehicleCalcTest, FuelTypeChangesTheAirPerGallon)
{
    EXPECT_EQ(fuelConstants(0), gasoline);
    EXPECT_EQ(fuelConstants(4), (FuelConstants{1.87f, 15.5f}));
    EXPECT_EQ(fuelConstants(7), (FuelConstants{1.0f, 1.0f}));
    EXPECT_EQ(fuelConstants(-1), (FuelConstants{1.0f, 1.0f}));

    const float diesel = fuelEconomyFromAirFlow(100, 10, fuelConstants(1));
    EXPECT_NEAR(diesel, 71.07f * (6.217f * 14.6f) / (6.17f * 14.7f), 0.01f);
}

TEST(VehicleCalcTest, SetupFromSettingsFallsBackOnBadStoredValues)
{
    Settings settings;
    settings.fuelCalcMethod = 1;
    settings.fuelDensity = 1.87f;
    settings.fuelAirRatio = 15.5f;
    settings.engineDisplacement = 2.0f;
    auto setup = FuelSetup::fromSettings(settings);
    EXPECT_EQ(setup.method, FuelMethod::speedDensity);
    EXPECT_EQ(setup.constants, (FuelConstants{1.87f, 15.5f}));
    EXPECT_EQ(setup.engineLitres, 2.0f);

    settings.fuelCalcMethod = 9;
    settings.fuelDensity = nan;
    settings.engineDisplacement = -1;
    setup = FuelSetup::fromSettings(settings);
    EXPECT_EQ(setup.method, FuelMethod::fuelRate);
    EXPECT_EQ(setup.constants, gasoline);
    EXPECT_EQ(setup.engineLitres, 3.0f);

    EXPECT_EQ(fuelPids(FuelMethod::speedDensity), (std::vector<int>{0x0D, 0x0B, 0x0F, 0x0C}));
    EXPECT_EQ(fuelFlowPid(FuelMethod::fuelRate), 0x5E);
}

TEST(VehicleCalcTest, BoostAndHorsepowerWorkedNumbers)
{
    EXPECT_NEAR(boostPsi(200, 100), 14.50f, 0.005f);
    EXPECT_NEAR(boostInUnit(boostPsi(200, 100), true), 0.9993f, 0.0001f);
    EXPECT_EQ(boostPsi(100, 100), 0.0f);
    EXPECT_LT(boostPsi(40, 100), 0.0f);  // vacuum

    const float poundFeet300 = 300 / 0.737562f;  // N*m
    EXPECT_NEAR(horsepowerFromTorque(poundFeet300, 5252), 300.0f, 0.01f);
    EXPECT_NEAR(horsepowerInUnit(horsepowerFromTorque(poundFeet300, 5252), true), 223.7f, 0.05f);
    EXPECT_NEAR(horsepowerFromTorque(350, 3000), 147.5f, 0.05f);
    EXPECT_NEAR(horsepowerFromAirFlow(100), 125.0f, 0.001f);
    EXPECT_NEAR(horsepowerFromAirFlow(80), 100.0f, 0.001f);
}

TEST(VehicleCalcTest, NoInputGivesAValueThatIsNotFinite)
{
    const float inputs[] = {0, -1, 1e-30f, -1e30f, 1e30f, std::numeric_limits<float>::max(), nan, inf, -inf};
    const FuelConstants oddFuels[] = {gasoline, {0, 0}, {nan, 14.7f}, {1e30f, 1e30f}, {-6, 14}};
    for (float a : inputs) {
        for (float b : inputs) {
            SCOPED_TRACE(testing::Message() << a << ", " << b);
            for (const auto& fuel : oddFuels)
                EXPECT_TRUE(std::isfinite(fuelEconomyFromAirFlow(a, b, fuel)));
            EXPECT_TRUE(std::isfinite(fuelEconomyFromFuelRate(a, b)));
            EXPECT_TRUE(std::isfinite(speedDensityAirFlow(a, b, a, b)));
            EXPECT_TRUE(std::isfinite(speedDensityAirFlow(a, b, -273.15f, 3)));
            EXPECT_TRUE(std::isfinite(boostInUnit(boostPsi(a, b), true)));
            EXPECT_TRUE(std::isfinite(horsepowerInUnit(horsepowerFromTorque(a, b), true)));
            EXPECT_TRUE(std::isfinite(horsepowerFromAirFlow(a)));
        }
    }
}

TEST(CalculatedSensorsTest, FuelEconomyWaitsForTheFlowReply)
{
    CalculatedSensors calc;
    EXPECT_TRUE(calc.take(0x0D, 100));
    EXPECT_FALSE(calc.fuelEconomy()) << "a speed reply alone makes no sample";
    calc.take(0x10, 10);
    ASSERT_TRUE(calc.fuelEconomy());
    EXPECT_NEAR(*calc.fuelEconomy(), 71.07f, 0.01f);
    calc.take(0x0D, 50);
    EXPECT_NEAR(*calc.fuelEconomy(), 35.53f, 0.01f);
    calc.take(0x0D, nan);  // a bad value keeps the last good one
    EXPECT_NEAR(*calc.fuelEconomy(), 35.53f, 0.01f);
    EXPECT_FALSE(calc.take(0x05, 90));
}

TEST(CalculatedSensorsTest, SpeedDensityNeedsEngineSpeedAndManifoldPressure)
{
    CalculatedSensors calc({FuelMethod::speedDensity, gasoline, 3.0f});
    calc.take(0x0D, 100);
    calc.take(0x0C, 2000);
    EXPECT_FALSE(calc.fuelEconomy());
    calc.take(0x0B, 50);
    calc.take(0x0F, 30);
    ASSERT_TRUE(calc.fuelEconomy());
    EXPECT_NEAR(*calc.fuelEconomy(), 29.10f, 0.01f);
}

TEST(CalculatedSensorsTest, FuelRateOfZeroMakesNoSample)
{
    CalculatedSensors calc({FuelMethod::fuelRate, gasoline, 3.0f});
    calc.take(0x0D, 90);
    calc.take(0x5E, 0);
    EXPECT_FALSE(calc.fuelEconomy());
    calc.take(0x5E, 6);
    EXPECT_NEAR(calc.fuelEconomy().value_or(0), 35.28f, 0.01f);
}

TEST(CalculatedSensorsTest, BoostAndHorsepowerFromTheLatestReplies)
{
    CalculatedSensors calc;
    EXPECT_FALSE(calc.boost(false));
    calc.take(0x0B, 201.325f);  // against the standard atmosphere until 0x33 arrives
    EXPECT_NEAR(calc.boost(false).value_or(0), 14.50f, 0.005f);
    calc.take(0x33, 100);
    calc.take(0x0B, 200);
    EXPECT_NEAR(calc.boost(true).value_or(0), 0.9993f, 0.0001f);

    EXPECT_FALSE(calc.horsepowerFromAirFlow(false));
    calc.take(0x10, 100);
    EXPECT_NEAR(calc.horsepowerFromAirFlow(false).value_or(0), 125.0f, 0.001f);

    calc.take(0x63, 350);
    EXPECT_FALSE(calc.horsepowerFromTorque(false)) << "no engine speed yet";
    calc.take(0x0C, 3000);
    EXPECT_NEAR(calc.horsepowerFromTorque(false).value_or(0), 147.5f, 0.05f);
    EXPECT_NEAR(calc.horsepowerFromTorque(true).value_or(0), 147.5f * 0.7457f, 0.05f);
}

TEST(ReplyKeyTest, KeysARequestAndItsReplyAlike)
{
    EXPECT_EQ(ReplyKey::ofRequest(0x01, 0x0C, 255), ReplyKey::ofReply(0x41, 0x0C, 0));
    EXPECT_EQ(ReplyKey::live(0x0C), ReplyKey::ofReply(0x41, 0x0C));
    EXPECT_EQ(ReplyKey::ofRequest(0x22, 0xF4, 0x0D), ReplyKey::ofReply(0x62, 0xF4, 0x0D));
    // The sum of PID and second byte is no key: these are three different requests.
    EXPECT_NE(ReplyKey::ofRequest(0x22, 0x01, 0x10), ReplyKey::ofRequest(0x22, 0x10, 0x01));
    EXPECT_NE(ReplyKey::ofRequest(0x22, 0x01, 0x10), ReplyKey::ofRequest(0x22, 0x11));
    EXPECT_NE(ReplyKey::ofRequest(0x01, 0x0C), ReplyKey::ofRequest(0x02, 0x0C));

    std::unordered_map<ReplyKey, int> rows{{ReplyKey::ofRequest(0x22, 0x01, 0x10), 3},
                                           {ReplyKey::ofRequest(0x22, 0x11), 4}};
    EXPECT_EQ(rows.at(ReplyKey::ofReply(0x62, 0x01, 0x10)), 3);
    EXPECT_EQ(rows.at(ReplyKey::ofReply(0x62, 0x11)), 4);
    EXPECT_FALSE(rows.contains(ReplyKey::ofReply(0x62, 0x10, 0x01)));
}

}  // namespace
