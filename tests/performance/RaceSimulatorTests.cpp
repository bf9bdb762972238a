#include <set>

#include <gtest/gtest.h>

#include "elmsim/lib/Car.h"

namespace {

TEST(RaceSimulator, DragProfileAcceleratesThroughTheGears)
{
    elmsim::Car car;
    car.update([](elmsim::CarState& s) {
        s.moving = true;
        s.profile = *elmsim::profileNamed("dragrun");
    });
    const double ratios[] = {0.008, 0.014, 0.021, 0.028, 0.032, 0.04};
    std::set<int> gears;
    double topRpm = 0;
    for (int i = 0; i < 240; ++i) {
        car.advance(0.1);
        const elmsim::CarState& s = car.state();
        if (s.speed <= 0 || s.speed >= 199)
            continue;
        topRpm = std::max(topRpm, s.rpm);
        const double ratio = s.speed / s.rpm;
        for (int g = 0; g < 6; ++g)
            if (std::abs(ratio - ratios[g]) < 0.003 * ratios[g])
                gears.insert(g + 1);
    }
    EXPECT_EQ(gears, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_LT(topRpm, 6500);
    // 3 m/s^2 after 5 s standing: 97.2 km/h 9 s into the run.
    elmsim::Car timed;
    timed.update([](elmsim::CarState& s) {
        s.moving = true;
        s.profile = elmsim::Profile::dragRun;
    });
    timed.advance(14);
    EXPECT_NEAR(timed.state().speed, 97.2, 1e-6);
}

TEST(RaceSimulator, LapProfileFollowsTheOvalReplay)
{
    elmsim::Car car;
    car.update([](elmsim::CarState& s) {
        s.moving = true;
        s.profile = *elmsim::profileNamed("lap");
    });
    car.advance(10);
    EXPECT_EQ(car.state().speed, 0);
    car.advance(20);
    EXPECT_EQ(car.state().speed, 79);
}

}  // namespace
