#include <cmath>
#include <limits>
#include <memory>

#include "FuelTest.h"
#include "fuel/FuelAverages.h"
#include "fuel/FuelView.h"
#include "platform/foundation/RunLoop.h"

namespace {

class FuelViewCalculationTest : public FuelTest {
protected:
    std::shared_ptr<FuelView> makeView()
    {
        auto view = std::make_shared<FuelView>(ui::makeRect(0, 0, 390, 844), 0, settings().fuelUnitsMode);
        view->updateMetric(settings().fuelUnitsMode);
        return view;
    }
};

TEST_F(FuelViewCalculationTest, WorkedNumbersOfTheThreeMethods)
{
    auto view = makeView();
    view->setSpeed(100);
    view->setMAF(10);
    EXPECT_NEAR(view->insMpgVal(), 71.07, 0.01);
    // No air flow divides by 360 rather than failing.
    view->setSpeed(50);
    view->setMAF(0);
    EXPECT_NEAR(view->insMpgVal(), 3553.7, 0.1);
    // 300 km/h is beyond what the speed PID reports and counts as 255.
    view->setSpeed(300);
    view->setMAF(10);
    EXPECT_NEAR(view->insMpgVal(), 181.24, 0.01);
    view->setSpeed(90);
    view->setFuelRate(6);
    EXPECT_NEAR(view->insMpgVal(), 35.28, 0.01);
}

TEST_F(FuelViewCalculationTest, NoFuelRateMakesNoSample)
{
    auto view = makeView();
    view->setSpeed(90);
    view->setFuelRate(6);
    for (const float rate : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
        view->setFuelRate(rate);
    EXPECT_NEAR(view->insMpgVal(), 35.28, 0.01);
    EXPECT_NEAR(view->averages().avgMpgArr[0], 35.28, 0.01);
}

TEST_F(FuelViewCalculationTest, TheFuelInUseIsTakenWhenGiven)
{
    auto view = makeView();
    view->setFuelConstants({1.87f, 15.5f});
    view->setSpeed(100);
    view->setMAF(10);
    EXPECT_NEAR(view->insMpgVal(), 62.1371 * 1.87 * 15.5 * 454 / 36000, 0.01);
}

TEST(FuelAverages, RunningMeansOfTheThinnedLists)
{
    FuelAverages averages;
    for (int i = 0; i < 31; ++i)
        averages.addSample(static_cast<float>(i));
    EXPECT_FLOAT_EQ(averages.avgMpgArr[0], 15);
    EXPECT_FLOAT_EQ(averages.avgMpgArr2[0], 15);  // 0, 5, ... 30
    EXPECT_FLOAT_EQ(averages.avgMpgArr3[0], 15);  // 0, 15, 30
    EXPECT_FLOAT_EQ(*averages.tripMean(), 15);
}

TEST(FuelAverages, MinuteMeansShiftThroughTheBars)
{
    FuelAverages averages;
    for (int minute = 1; minute <= 30; ++minute)
        averages.addMinute(static_cast<float>(minute));
    EXPECT_TRUE(averages.hasData());
    EXPECT_FLOAT_EQ(averages.avgMpgArr[1], 30);
    EXPECT_FLOAT_EQ(averages.avgMpgArr[4], 27);
    // Every fifth minute the mean of the five minute bars (the running mean
    // among them) becomes a 5-minute bar; every sixth of those a 30-minute bar.
    EXPECT_FLOAT_EQ(averages.avgMpgArr2[1], (0 + 30 + 29 + 28 + 27) / 5.0f);
    EXPECT_GT(averages.avgMpgArr3[1], 0);
    averages.reset();
    EXPECT_EQ(averages.avgMpgArr, (std::vector<float>(5, 0.0f)));
    EXPECT_FALSE(averages.hasData());
}

TEST_F(FuelViewCalculationTest, HandOverGivesCumulativeMeansOfTheNewestMinutes)
{
    DataStore& store = DataStore::sharedDataStore();
    for (int i = 0; i < 12; ++i)
        store.fuelEconomyArr.push_back(20.0f + 2.0f * static_cast<float>(i));  // newest first: 20, 22, ... 42
    store.fuelEcoMinArr = {30, 31};
    FuelAverages averages;
    averages.takeOverShared();
    EXPECT_EQ(averages.tally().minuteSamples(), (std::vector<float>{30, 31}));
    EXPECT_EQ(averages.avgMpgArr, (std::vector<float>{0, 20, 22, 24, 26}));
    EXPECT_FLOAT_EQ(averages.avgMpgArr2[1], 24.0f);
    EXPECT_FLOAT_EQ(averages.avgMpgArr2[2], 29.0f);
    EXPECT_FLOAT_EQ(averages.avgMpgArr2[3], 0);
    EXPECT_EQ(averages.avgMpgArr3, (std::vector<float>{0, 0, 0, 0}));
    EXPECT_TRUE(store.fuelEcoMinArr.empty());

    FuelAverages few;
    few.addSample(50);
    store.fuelEconomyArr = {10, 11, 12};
    few.takeOverShared();
    EXPECT_EQ(few.avgMpgArr, (std::vector<float>{50, 10, 11, 12, 0}));
    EXPECT_EQ(few.avgMpgArr2[1], 0);
    // An empty hand-over keeps the screen's own window.
    EXPECT_EQ(few.tally().minuteSamples(), (std::vector<float>{50}));
}

TEST(FuelAverages, LongMeanOfNoFilledBarIsZero)
{
    FuelAverages averages;
    EXPECT_FLOAT_EQ(averages.longMean(), 0);
    averages.avgMpgArr3 = {10, 0, 20, 0};
    EXPECT_FLOAT_EQ(averages.longMean(), 15);
}

TEST_F(FuelViewCalculationTest, SamplesGlideAndShowInTheDisplayUnit)
{
    auto view = makeView();
    EXPECT_EQ(view->averageText(2), "0.0");
    view->startTimer();
    view->resetGauge();
    view->setSpeed(100);
    view->setMAF(10);
    EXPECT_NEAR(view->insMpgVal(), 71.07, 0.01);
    fnd::RunLoop::main().advance(0.5);
    EXPECT_EQ(view->largeValueText(), "71.0");
    EXPECT_EQ(view->averageText(0), "71.1");
    EXPECT_EQ(view->averageText(2), "71.1");

    settings().fuelUnitsMode = 1;
    view->updateMetric(1);
    fnd::RunLoop::main().advance(0.1);
    EXPECT_EQ(view->smallValueText(), "30.2");
    settings().fuelUnitsMode = 2;
    view->updateMetric(2);
    EXPECT_EQ(view->smallValueText(), "3.3");
    EXPECT_FLOAT_EQ(view->minVal(), 5.9f);
    EXPECT_FLOAT_EQ(view->maxVal(), 199.0f);
    settings().fuelUnitsMode = 3;
    view->updateMetric(3);
    EXPECT_EQ(view->smallValueText(), "85.4");
    EXPECT_EQ(view->unitText(), "mpg");
}

TEST_F(FuelViewCalculationTest, TheMinuteTimerSharesEachMinutesMeanAndWidensTheScale)
{
    auto view = makeView();
    view->startTimer();
    view->resetGauge();
    view->setSpeed(100);
    for (int i = 0; i < 10; ++i)
        view->setMAF(10);
    fnd::RunLoop::main().advance(FuelView::tallyInterval);
    auto& shared = DataStore::sharedDataStore().fuelEconomyArr;
    ASSERT_EQ(shared.size(), 1u);
    EXPECT_NEAR(shared[0], 71.07, 0.01);
    EXPECT_NEAR(view->maxVal(), 1.05 * 71.07, 0.01);
    EXPECT_TRUE(view->hasData());

    view->stopTimer();
    EXPECT_FALSE(view->isTimerRunning());
}

TEST_F(FuelViewCalculationTest, SwitchingToTheSameUnitAgainDoesNothing)
{
    auto view = makeView();
    view->setSpeed(100);
    view->setMAF(10);
    view->updateMetric(0);
    EXPECT_NEAR(view->insMpgVal(), 71.07, 0.01);
    view->updateMetric(2);
    EXPECT_FLOAT_EQ(view->insMpgVal(), 0);
}

TEST_F(FuelViewCalculationTest, TripAverageAndResetOfATrip)
{
    auto view = makeView();
    view->setSpeed(100);
    EXPECT_FLOAT_EQ(view->calculateAverage(), 0);
    view->setMAF(10);
    EXPECT_NEAR(view->calculateAverage(), 71.07, 0.01);
    EXPECT_NEAR(view->totalAverage(), 71.07, 0.01);
    view->resetData(false);
    EXPECT_FLOAT_EQ(view->totalAverage(), 0);
    EXPECT_TRUE(view->averages().tally().minuteSamples().empty());
    EXPECT_FALSE(view->isTimerRunning());
    view->resetData(true);
    EXPECT_TRUE(view->isTimerRunning());
}

}  // namespace
