// The fuel screen against the simulated car, driven on the manual clock: each
// calculation method and each unit, and the three methods agreeing on one drive.
#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

#include "FuelScreenTest.h"
#include "core/model/MethodClass.h"
#include "core/model/VehicleCalc.h"
#include "fuel/FuelView.h"
#include "fuel/FuelViewController.h"

namespace {

class FuelDriveTest : public FuelScreenTest {
protected:
    void SetUp() override
    {
        FuelScreenTest::SetUp();
        sim.setClock([] { return fnd::RunLoop::main().now(); });
        sim.updateCar([](elmsim::CarState& s) {
            s.moving = true;
            s.profile = elmsim::Profile::cruise;
        });
    }

    // The economy of the simulated car now, in US mpg.
    float carMpg() const
    {
        const elmsim::CarState car = sim.car();
        return VehicleCalc::fuelEconomyFromAirFlow(static_cast<float>(car.speed), static_cast<float>(car.maf));
    }

    // Polls with `method` for a while and gives the trip average (US mpg).
    float tripAverage(int method, std::shared_ptr<FuelViewController>& fuel)
    {
        settings().fuelCalcMethod = method;
        fuel = std::make_shared<FuelViewController>();
        fuel->setScanner(link);
        showTabs({{"Fuel", fuel}});
        drive(40);
        return MethodClass::convertToMPG(fuel->fView()->calculateAverage());
    }
};

class FuelMethodAndUnit : public FuelDriveTest, public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(FuelMethodAndUnit, ShowsTheCarsEconomyInTheUnit)
{
    const auto [method, unit] = GetParam();
    settings().fuelCalcMethod = method;
    settings().fuelUnitsMode = unit;
    ASSERT_TRUE(connect());
    auto fuel = std::make_shared<FuelViewController>();
    fuel->setScanner(link);
    showTabs({{"Fuel", fuel}});
    drive(12);
    const float expected = MethodClass::convertFromMPG(carMpg());
    const float shown = fuel->fView()->shownValue();
    EXPECT_NEAR(shown, expected, 0.05 * expected) << "method " << method << " unit " << unit;
    EXPECT_EQ(fuel->fView()->largeValueText(),
              std::to_string(static_cast<int>(shown)) + "." +
                  std::to_string(static_cast<int>((shown - static_cast<float>(static_cast<int>(shown))) * 10)));
    // The trip panel speaks the unit: 100 km/h is 62 mph.
    EXPECT_EQ(fuel->speedText(), unit == 1 || unit == 2 ? "100 km/h" : "62 mph");
    EXPECT_NE(fuel->fuelText(), "00");
}

INSTANTIATE_TEST_SUITE_P(Each, FuelMethodAndUnit,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Values(0, 1, 2, 3)),
                         [](const auto& info) {
                             return "method" + std::to_string(std::get<0>(info.param)) + "unit" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST_F(FuelDriveTest, TheThreeMethodsAgreeOnOneDrive)
{
    ASSERT_TRUE(connect());
    std::shared_ptr<FuelViewController> fuel;
    const float airFlow = tripAverage(0, fuel);
    const float speedDensity = tripAverage(1, fuel);
    const float fuelRate = tripAverage(2, fuel);
    ASSERT_GT(airFlow, 0);
    EXPECT_NEAR(speedDensity, airFlow, 0.05 * airFlow);
    EXPECT_NEAR(fuelRate, airFlow, 0.05 * airFlow);
}

TEST_F(FuelDriveTest, AHotEngineWarnsOnceUntilTheUserAnswers)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.profile = elmsim::Profile::hot;
        s.coolant = 115;
    });
    settings().highTempEnabled = true;
    ASSERT_TRUE(connect());
    auto fuel = std::make_shared<FuelViewController>();
    fuel->setScanner(link);
    showTabs({{"Fuel", fuel}});
    for (int i = 0; i < 12 && !ui::AlertController::visible(); ++i) {
        link->updateWarning();
        drive(1);
    }
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->title(), "Warning");
    link->updateWarning();
    drive(6);
    EXPECT_EQ(ui::AlertController::queuedCount(), 0u);
}

TEST_F(FuelDriveTest, SpeedingBeepsAtTheLimit)
{
    sim.updateCar([](elmsim::CarState& s) { s.profile = elmsim::Profile::speeding; });
    settings().speedLimitEnabled = true;
    settings().speedLimit2 = 130;
    ASSERT_TRUE(connect());
    auto fuel = std::make_shared<FuelViewController>();
    fuel->setScanner(link);
    showTabs({{"Fuel", fuel}});
    fnd::SystemSound::clearPlayed();
    for (int i = 0; i < 12 && fnd::SystemSound::played().empty(); ++i) {
        link->updateWarning();
        drive(1);
    }
    // Each speed status reply over the limit beeps (the link's own 5 s status timer may add one).
    const std::vector<int> played = fnd::SystemSound::played();
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(std::count(played.begin(), played.end(), FuelViewController::warningSound),
              static_cast<long>(played.size()));
}

}  // namespace
