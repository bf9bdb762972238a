#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/DataStore.h"
#include "core/model/FuelTally.h"
#include "platform/foundation/RunLoop.h"

namespace {

class FuelTallyTest : public ::testing::Test {
protected:
    void SetUp() override { store.resetForTesting(); }
    void TearDown() override { store.resetForTesting(); }

    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }

    DataStore& store = DataStore::sharedDataStore();
};

TEST_F(FuelTallyTest, ThinsSamplesByTheScreenStrides)
{
    FuelTally tally(FuelTally::liveScreen);
    tally.start();
    for (int i = 0; i < 45; ++i)
        tally.addSample(static_cast<float>(i));
    EXPECT_EQ(store.fuelEco5MinArr, (std::vector<float>{0, 5, 10, 15, 20, 25, 30, 35, 40}));
    EXPECT_EQ(store.fuelEco30MinArr, (std::vector<float>{0, 20, 40}));
    EXPECT_EQ(store.fuelTotalAvgArr, (std::vector<float>{0, 10, 20, 30, 40}));
    EXPECT_EQ(tally.minuteSamples().size(), 45u);
    EXPECT_FLOAT_EQ(tally.tripAverage().value_or(-1), 20);

    FuelTally fuelScreen(FuelTally::fuelScreen);
    fuelScreen.start();
    for (int i = 0; i < 31; ++i)
        fuelScreen.addSample(static_cast<float>(i));
    EXPECT_EQ(fuelScreen.thirtyMinuteSamples(), (std::vector<float>{0, 15, 30}));
    EXPECT_EQ(fuelScreen.tripSamples(), (std::vector<float>{0, 15, 30}));
    EXPECT_EQ(store.fuelEco30MinArr.size(), 3u) << "the fuel screen keeps its lists to itself";
}

TEST_F(FuelTallyTest, MinuteMeansGoToTheSharedListNewestFirst)
{
    FuelTally tally(FuelTally::liveScreen);
    tally.start();
    advance(60);
    EXPECT_TRUE(store.fuelEconomyArr.empty()) << "a minute with no sample adds nothing";
    EXPECT_EQ(tally.minutesTallied(), 0);

    tally.addSample(20);
    tally.addSample(30);
    advance(60);
    tally.addSample(40);
    advance(60);
    // The minute list slides once the first minute has passed: 30 and 40 now.
    EXPECT_EQ(store.fuelEconomyArr, (std::vector<float>{35, 25}));

    for (int minute = 0; minute < 130; ++minute) {
        tally.addSample(static_cast<float>(minute));
        ASSERT_TRUE(tally.tallyMinute());
    }
    EXPECT_EQ(store.fuelEconomyArr.size(), 120u);
    for (float mean : store.fuelEconomyArr)
        EXPECT_TRUE(std::isfinite(mean));
}

TEST_F(FuelTallyTest, AMinuteWithoutNewSamplesAddsNoMean)
{
    FuelTally tally(FuelTally::liveScreen);
    std::vector<float> heard;
    tally.setMinuteHandler([&](float mean) { heard.push_back(mean); });
    tally.start();
    tally.addSample(20);
    tally.addSample(30);
    advance(60);
    ASSERT_EQ(store.fuelEconomyArr, std::vector<float>{25});

    // The replies stop: the sliding minute still holds 20 and 30, already tallied.
    advance(120);
    EXPECT_EQ(store.fuelEconomyArr, std::vector<float>{25});
    EXPECT_EQ(heard, std::vector<float>{25});
    EXPECT_EQ(tally.minutesTallied(), 3) << "the lists' periods still run on time";

    tally.addSample(40);
    advance(60);
    EXPECT_EQ(store.fuelEconomyArr, (std::vector<float>{35, 25}));
    EXPECT_EQ(heard, (std::vector<float>{25, 35}));
}

TEST_F(FuelTallyTest, HandedOverSamplesAreTalliedOnce)
{
    store.fuelEcoMinArr = {10, 20};
    FuelTally fuel(FuelTally::fuelScreen);
    fuel.start();
    fuel.takeOverShared();
    advance(60);
    EXPECT_EQ(store.fuelEconomyArr, std::vector<float>{15});
    advance(60);
    EXPECT_EQ(store.fuelEconomyArr, std::vector<float>{15});
}

TEST_F(FuelTallyTest, ListsSlideOnceTheirPeriodHasPassed)
{
    FuelTally tally(FuelTally::liveScreen);
    tally.start();
    tally.addSample(1);  // sample 0 enters every list
    for (int minute = 1; minute <= 4; ++minute)
        tally.tallyMinute();
    for (int i = 1; i <= 5; ++i)
        tally.addSample(1);  // sample 5 enters the 5-minute list while it still grows
    ASSERT_EQ(store.fuelEco5MinArr.size(), 2u);
    tally.tallyMinute();  // the fifth minute: the 5-minute list keeps its length from now on
    for (int i = 6; i < 26; ++i)
        tally.addSample(static_cast<float>(i));
    EXPECT_EQ(store.fuelEco5MinArr, (std::vector<float>{20, 25}));
    EXPECT_EQ(store.fuelEco30MinArr, (std::vector<float>{1, 20})) << "still growing before 30 minutes";
}

TEST_F(FuelTallyTest, RestartedTallyGrowsItsMinuteAgain)
{
    FuelTally tally(FuelTally::liveScreen);
    tally.start();
    tally.addSample(10);
    advance(60);
    tally.stop();
    tally.start();
    tally.addSample(20);
    tally.addSample(30);
    tally.addSample(40);
    EXPECT_EQ(tally.minuteSamples(), (std::vector<float>{20, 30, 40}));
    advance(60);
    EXPECT_FLOAT_EQ(store.fuelEconomyArr.front(), 30);
}

TEST_F(FuelTallyTest, StopHandsTheTripOverAndTheFuelScreenTakesIt)
{
    store.fuelElapsedTime = 5;
    FuelTally live(FuelTally::liveScreen);
    live.start();
    live.setSpeed(36);  // 0.01 km a second
    live.addSample(25);
    advance(60);
    live.addSample(27);
    advance(40.5);
    live.stop();
    EXPECT_FALSE(live.isRunning());
    EXPECT_EQ(store.fuelElapsedTime, 105);
    EXPECT_NEAR(store.distance, 1.0f, 1e-4f);
    EXPECT_EQ(store.fuelEcoMinArr, (std::vector<float>{27})) << "one sample a minute: the window holds one";
    advance(120);
    EXPECT_EQ(store.fuelEconomyArr.size(), 1u) << "a stopped tally adds nothing";
    live.stop();
    EXPECT_EQ(store.fuelElapsedTime, 105) << "a second stop hands over nothing";

    FuelTally fuel(FuelTally::fuelScreen);
    fuel.start();
    const auto handover = fuel.takeOverShared();
    EXPECT_EQ(handover.minuteMeans, (std::vector<float>{25}));
    EXPECT_EQ(handover.elapsedSeconds, 105);
    EXPECT_NEAR(handover.distanceKm, 1.0f, 1e-4f);
    EXPECT_EQ(fuel.minuteSamples(), (std::vector<float>{27}));
    EXPECT_TRUE(store.fuelEconomyArr.empty());
    EXPECT_TRUE(store.fuelEcoMinArr.empty());
    EXPECT_EQ(store.fuelElapsedTime, 0);
    EXPECT_EQ(store.distance, 0.0f);
}

TEST_F(FuelTallyTest, DropsValuesThatAreNotFinite)
{
    FuelTally tally(FuelTally::dashboard);
    tally.start();
    tally.addSample(std::numeric_limits<float>::quiet_NaN());
    tally.addSample(std::numeric_limits<float>::infinity());
    tally.setSpeed(std::numeric_limits<float>::infinity());
    advance(60);
    EXPECT_TRUE(store.fuelEco5MinArr.empty());
    EXPECT_TRUE(store.fuelEconomyArr.empty());
    EXPECT_EQ(store.distance, 0.0f);
    EXPECT_FALSE(tally.fiveMinuteAverage());

    tally.reset();
    tally.addSample(12);
    EXPECT_FLOAT_EQ(tally.minuteAverage().value_or(0), 12);
}

}  // namespace

TEST_F(FuelTallyTest, TheMinuteHandlerHearsEachTalliedMeanAndAnEmptyHandOverKeepsTheMinute)
{
    FuelTally tally(FuelTally::fuelScreen);
    std::vector<float> heard;
    tally.setMinuteHandler([&](float mean) { heard.push_back(mean); });
    tally.start();
    tally.addSample(20);
    tally.addSample(30);
    tally.takeOverShared();
    EXPECT_EQ(tally.minuteSamples(), (std::vector<float>{20, 30}));
    advance(60);
    EXPECT_EQ(heard, (std::vector<float>{25}));
}
