// The simulator's car as the fuel tests rely on it: one car for every method,
// and the driving profiles.
#include <cmath>

#include <gtest/gtest.h>

#include "core/model/VehicleCalc.h"
#include "elmsim/lib/Car.h"

namespace {

elmsim::CarState driven(elmsim::Profile profile, double seconds)
{
    elmsim::Car car;
    car.update([profile](elmsim::CarState& s) { s.profile = profile; });
    for (double t = 0; t < seconds; t += 0.5)
        car.advance(0.5);
    return car.state();
}

TEST(SimulatedCar, AirFlowFollowsSpeedDensityAndFuelRateFollowsAirFlow)
{
    elmsim::CarState car;
    car.rpm = 2000;
    car.map = 50;
    car.intakeTemp = 30;
    car.engineSize = 3.0;
    car.deriveFlows();
    EXPECT_NEAR(car.maf, VehicleCalc::speedDensityAirFlow(2000, 50, 30, 3.0f), 0.01);
    EXPECT_NEAR(car.maf, 24.43, 0.01);
    EXPECT_NEAR(car.fuelRate, 24.43 * 3600 / 14.7 / 740, 0.01);
    // So at any speed the air-flow and fuel-rate methods see the same car.
    const float byAir = VehicleCalc::fuelEconomyFromAirFlow(100, static_cast<float>(car.maf));
    const float byRate = VehicleCalc::fuelEconomyFromFuelRate(100, static_cast<float>(car.fuelRate));
    EXPECT_NEAR(byRate, byAir, 0.005 * byAir);
}

TEST(SimulatedCar, Profiles)
{
    EXPECT_EQ(elmsim::profileNamed("cruise"), elmsim::Profile::cruise);
    EXPECT_EQ(elmsim::profileNamed("Cruise"), std::nullopt);

    const elmsim::CarState idle = driven(elmsim::Profile::idle, 20);
    EXPECT_EQ(idle.speed, 0);
    EXPECT_LT(idle.rpm, 900);

    const elmsim::CarState cruise = driven(elmsim::Profile::cruise, 20);
    EXPECT_EQ(cruise.speed, 100);

    EXPECT_EQ(driven(elmsim::Profile::speeding, 5).speed, 140);

    const elmsim::CarState hot = driven(elmsim::Profile::hot, 60);
    EXPECT_GT(hot.coolant, 112);
    EXPECT_GT(hot.oilTemp, 112);

    // City traffic stops at the lights and rolls at 50 km/h between them.
    EXPECT_EQ(driven(elmsim::Profile::city, 36).speed, 0);
    EXPECT_EQ(driven(elmsim::Profile::city, 20).speed, 50);

    // A standing start passes 100 km/h within 6 s and keeps pulling.
    EXPECT_GT(driven(elmsim::Profile::drag, 6).speed, 100);
    EXPECT_GT(driven(elmsim::Profile::drag, 12).speed, driven(elmsim::Profile::drag, 6).speed);
}

TEST(SimulatedCar, AStandingCarKeepsWhatTheTestSet)
{
    elmsim::Car car;
    car.update([](elmsim::CarState& s) {
        s.moving = false;
        s.maf = 10;
        s.speed = 100;
    });
    car.advance(30);
    EXPECT_EQ(car.state().maf, 10);
    EXPECT_EQ(car.state().speed, 100);
}

}  // namespace
