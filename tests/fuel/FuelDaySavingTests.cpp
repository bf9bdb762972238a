#include <memory>

#include "FuelScreenTest.h"
#include "core/Notifications.h"
#include "fuel/FuelView.h"
#include "fuel/FuelViewController.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Paths.h"
#include "platform/ui/TabBar.h"

namespace {

// The day's log must reach its archive while the trip runs and when it ends, not only when the app quits
// in order: a killed app loses only what was driven since the last save.
class FuelDaySavingTest : public FuelScreenTest {
protected:
    void SetUp() override
    {
        FuelScreenTest::SetUp();
        sim.updateCar([](elmsim::CarState& s) {
            s.moving = false;
            s.speed = 72;
            s.maf = 10;
        });
        ASSERT_TRUE(connect());
        fuel = std::make_shared<FuelViewController>();
        fuel->setScanner(link);
        showTabs({{"Fuel", fuel}, {"Trends", std::make_shared<ui::ViewController>()}});
        ASSERT_TRUE(waitFor([&] { return fuel->fView()->insMpgVal() > 0; }));
    }

    static FuelData savedLog()
    {
        const auto in = fnd::KeyedUnarchiver::fromFile(fnd::Paths::documents() / Manager::fuelDataFileName);
        return in ? FuelData::fromArchive(*in) : FuelData{};
    }

    void tapTab(int index)
    {
        ui::TabBar& bar = tabs->tabBar();
        const ui::Point at = bar.convertPoint(bar.rectForItem(index).center(), nullptr);
        root->window().sendTouch(ui::TouchPhase::Began, at);
        root->window().sendTouch(ui::TouchPhase::Ended, at);
    }

    std::shared_ptr<FuelViewController> fuel;
};

TEST_F(FuelDaySavingTest, LeavingTheScreenWritesAShortTrip)
{
    drive(10);
    ASSERT_FALSE(fuel->fView()->hasData()) << "no minute tallied yet";
    tapTab(1);
    ASSERT_EQ(tabs->selectedIndex(), 1);
    const FuelData saved = savedLog();
    ASSERT_EQ(saved.dayCount(), 1u);
    EXPECT_NEAR(saved.distanceArr[0], fuel->trip().distance() / 1.60934f, 1e-4);
    EXPECT_GT(saved.distanceArr[0], 0);
    EXPECT_GT(saved.dataArr[0], 0);
}

TEST_F(FuelDaySavingTest, ThePeriodicSaveWritesTheDayWhileDriving)
{
    drive(FuelViewController::saveInterval);
    ASSERT_TRUE(fuel->isPolling());
    const FuelData saved = savedLog();
    ASSERT_EQ(saved.dayCount(), 1u);
    EXPECT_NEAR(saved.distanceArr[0], 2.4 / 1.60934, 0.05);
}

TEST_F(FuelDaySavingTest, QuittingAndGoingToTheBackgroundWriteTheRunningTrip)
{
    drive(10);
    fnd::NotificationCenter::defaultCenter().post(enteredBackgroundNotification, this);
    ASSERT_EQ(savedLog().dayCount(), 1u);
    const float atBackground = savedLog().distanceArr[0];
    drive(10);
    fnd::NotificationCenter::defaultCenter().post(appClosedNotification, this);
    const FuelData saved = savedLog();
    ASSERT_EQ(saved.dayCount(), 1u) << "the same day grows";
    EXPECT_GT(saved.distanceArr[0], atBackground);
    EXPECT_NEAR(saved.distanceArr[0], fuel->trip().distance() / 1.60934f, 1e-4);
}

TEST_F(FuelDaySavingTest, TheTripResetKeepsWhatWasDriven)
{
    drive(10);
    const float driven = fuel->trip().distance();
    fuel->resetData();
    const FuelData saved = savedLog();
    ASSERT_EQ(saved.dayCount(), 1u);
    EXPECT_NEAR(saved.distanceArr[0], driven / 1.60934f, 1e-4);
}

}  // namespace
