#include <cmath>

#include "core/model/RaceEngine.h"
#include "core/model/RaceTest.h"

namespace {

class RaceEngineTest : public RaceTest {
protected:
    void SetUp() override
    {
        RaceTest::SetUp();
        engine.setConnected(true);
        engine.setUnits(RaceUnits::forMetric(true));
    }

    // Moves the clock on until the lap counter reads `ticks`.
    void tickTo(float ticks)
    {
        for (int i = 0; i < 100000 && engine.ticks() < ticks; ++i)
            advance(0.1);
        ASSERT_EQ(engine.ticks(), ticks);
    }

    // Runs `seconds`, setting the speed from the elapsed time before each tick.
    void driveSpeeds(double seconds, const std::function<float(double)>& speedAt)
    {
        const int ticks = static_cast<int>(std::lround(seconds * 10));
        for (int i = 0; i < ticks; ++i) {
            engine.setSpeed(speedAt((engine.runTicks() + 1) / 10.0));
            advance(0.1);
        }
    }

    RaceEngine engine;
};

TEST_F(RaceEngineTest, ConstantNinetyFromTheFirstTickTimesTheEighthAndQuarterMile)
{
    engine.setTrackMode(false);
    ASSERT_TRUE(engine.startRecording(std::nullopt));
    driveSpeeds(20, [](double) { return 90.0f; });
    EXPECT_EQ(engine.runTicks(), 200);
    EXPECT_FLOAT_EQ(engine.eighthMile(), 8.2f);
    EXPECT_FLOAT_EQ(engine.quarterMile(), 16.2f);
    EXPECT_EQ(engine.zeroToSixty(), 0);  // 90 km/h is 55.9 mph
    EXPECT_EQ(fnd::SystemSound::played(), std::vector<int>{RaceEngine::startSound});
}

TEST_F(RaceEngineTest, ThreeMetresPerSecondSquaredGivesTheWorkedDragFigures)
{
    engine.setTrackMode(false);
    ASSERT_TRUE(engine.startRecording(std::nullopt));
    // The adapter reports whole km/h.
    driveSpeeds(20, [](double t) { return std::trunc(3.0 * 3.6 * t); });
    EXPECT_FLOAT_EQ(engine.zeroToSixty(), 9.0f);
    EXPECT_FLOAT_EQ(engine.zeroToHundred(), 15.0f);
    EXPECT_FLOAT_EQ(engine.eighthMile(), 11.6f);
    EXPECT_FLOAT_EQ(engine.quarterMile(), 16.4f);
    EXPECT_FLOAT_EQ(engine.topSpeed(), 216.0f);
}

TEST_F(RaceEngineTest, SpeedThresholdsAndLateFiguresCountFromTheStart)
{
    engine.setTrackMode(false);
    engine.startRecording(std::nullopt);
    engine.setSpeed(96);  // 59.65 mph
    advance(75.2);
    EXPECT_EQ(engine.zeroToSixty(), 0);
    engine.setSpeed(97);  // 60.27 mph
    advance(0.1);
    EXPECT_FLOAT_EQ(engine.zeroToSixty(), 75.3f);
    EXPECT_EQ(engine.timerText(), "01:15");
    EXPECT_EQ(engine.tenthsText(), ".3");

    RaceEngine imperial;
    imperial.setConnected(true);
    imperial.setUnits(RaceUnits::forMetric(false));
    imperial.setTrackMode(false);
    imperial.startRecording(std::nullopt);
    imperial.setSpeed(59.99f);
    advance(0.1);
    EXPECT_EQ(imperial.zeroToSixty(), 0);
    imperial.setSpeed(60.0f);
    advance(0.1);
    EXPECT_GT(imperial.zeroToSixty(), 0);
}

TEST_F(RaceEngineTest, OnlyAStandingStartTimesTheSpeedAndDistanceMarks)
{
    engine.setTrackMode(false);
    struct Start {
        float kmh;
        bool timed;
    };
    // 100 km/h is a rolling start; 7 km/h (4.3 mph) is the last reading before a felt launch.
    for (const Start start : {Start{100, false}, Start{7, true}}) {
        engine.setSpeed(start.kmh);
        ASSERT_TRUE(engine.startRecording(std::nullopt));
        driveSpeeds(30, [](double) { return 200.0f; });
        engine.stopRecording();
        EXPECT_EQ(engine.fromStandstill(), start.timed) << start.kmh;
        for (const float mark : {engine.zeroToSixty(), engine.zeroToHundred(), engine.eighthMile(), engine.quarterMile()})
            EXPECT_EQ(mark > 0, start.timed) << start.kmh;
        EXPECT_FLOAT_EQ(engine.topSpeed(), 200) << "the run itself is measured either way";
        engine.resetData();
    }
}

TEST_F(RaceEngineTest, HorsepowerUsesTheSharedCalculationInEitherMode)
{
    engine.setTrackMode(false);
    engine.setHpMode(1);
    engine.setRpm(3000);
    engine.setTorque(350);
    engine.startRecording(std::nullopt);
    advance(0.2);
    EXPECT_NEAR(engine.hp(), 147.5f, 0.05f);

    engine.stopRecording();
    engine.resetData();
    engine.setHpMode(0);
    engine.setAirFlow(100);
    engine.startRecording(std::nullopt);
    advance(0.2);
    EXPECT_FLOAT_EQ(engine.hp(), 125.0f);
    EXPECT_FLOAT_EQ(engine.topHP(), 125.0f);

    engine.stopRecording();
    engine.resetData();
    engine.setHpMode(2);
    engine.startRecording(std::nullopt);
    advance(0.2);
    EXPECT_EQ(engine.hp(), 0);
}

TEST_F(RaceEngineTest, MotionStartsAnArmedConnectedRunOnlyOnAPositiveJolt)
{
    EXPECT_EQ(motionAxis(0.05), 0);
    EXPECT_FLOAT_EQ(motionAxis(0.1), 0.13f);
    EXPECT_EQ(motionAxis(-0.098), 0);
    EXPECT_FLOAT_EQ(motionAxis(-0.2), -0.26f);

    EXPECT_FALSE(engine.motionSample(0, 0, motionAxis(0.12)));  // not armed
    engine.setRaceReady(true);
    EXPECT_FALSE(engine.motionSample(0, 0, motionAxis(0.11)));
    EXPECT_FALSE(engine.motionSample(motionAxis(-0.5), motionAxis(-0.5), motionAxis(-0.5)));
    EXPECT_TRUE(engine.motionSample(0, 0, motionAxis(0.12)));
    EXPECT_TRUE(engine.motionSample(0, motionAxis(0.2), 0));
    EXPECT_FLOAT_EQ(engine.topAcc(), motionAxis(0.12));

    // Two samples handed over before the first start ran: one run, one sound.
    EXPECT_TRUE(engine.startRecording(std::nullopt));
    EXPECT_FALSE(engine.startRecording(std::nullopt));
    advance(1);
    EXPECT_EQ(engine.runTicks(), 10);
    EXPECT_EQ(fnd::SystemSound::played().size(), 1u);
    EXPECT_FALSE(engine.motionSample(0, 0, 1));  // already recording

    engine.setConnected(false);
    engine.stopRecording();
    engine.setRaceReady(true);
    EXPECT_FALSE(engine.motionSample(0, 0, 1));
}

TEST_F(RaceEngineTest, StoppingBuildsTheResultsAndADragLapWithEverySample)
{
    engine.setTrackMode(false);
    EXPECT_TRUE(engine.dataArr().empty());
    engine.setRpm(2000);
    engine.startRecording(std::nullopt);
    engine.setRpm(4000);
    engine.setSpeed(50);
    advance(3.05);
    engine.stopRecording();
    ASSERT_EQ(engine.dataArr().size(), 10u);
    EXPECT_EQ(engine.dataArr()[0], 50);
    EXPECT_EQ(engine.dataArr()[1], 4000);
    EXPECT_EQ(engine.dataArr()[8], 4000);  // the average rpm
    ASSERT_EQ(engine.lapArr().size(), 1u);
    EXPECT_EQ(engine.lapArr()[0].speedArr, (std::vector<float>{50, 50, 50}));
    EXPECT_EQ(engine.lapArr()[0].time, 30);
    advance(1);
    EXPECT_EQ(engine.runTicks(), 30);  // the tick stopped with the run

    // A run stopped before its first sample averages to 0, not NaN.
    engine.resetData();
    engine.startRecording(std::nullopt);
    engine.stopRecording();
    EXPECT_EQ(engine.dataArr()[8], 0);
    EXPECT_EQ(engine.dataArr()[9], 0);
    EXPECT_EQ(engine.avgSpeed(), 0);
}

TEST_F(RaceEngineTest, ResetIsRefusedDuringARunAndClearsEverythingAfter)
{
    engine.setTrackMode(false);
    engine.startRecording(std::nullopt);
    engine.setSpeed(100);
    advance(2);
    EXPECT_FALSE(engine.resetData());
    EXPECT_EQ(engine.runTicks(), 20);
    engine.stopRecording();
    const Lap kept = engine.lapArr()[0];
    EXPECT_TRUE(engine.resetData());
    EXPECT_EQ(engine.runTicks(), 0);
    EXPECT_EQ(engine.topSpeed(), 0);
    EXPECT_TRUE(engine.lapArr().empty());
    EXPECT_TRUE(engine.rpmArr().empty());
    EXPECT_EQ(kept.speedArr.size(), 2u);  // the lap handed out keeps its own copy
}

TEST_F(RaceEngineTest, ALinkDropStopsTheRunAndKeepsItsResults)
{
    engine.setTrackMode(false);
    engine.startRecording(std::nullopt);
    engine.setSpeed(120);
    advance(1.5);
    engine.linkDropped();
    EXPECT_FALSE(engine.recording());
    EXPECT_FALSE(engine.connected());
    ASSERT_EQ(engine.dataArr().size(), 10u);
    EXPECT_EQ(engine.dataArr()[0], 120);
    EXPECT_EQ(engine.lapArr().size(), 1u);
}

TEST_F(RaceEngineTest, ASecondRunAfterAResetStartsFromNothingButItsLaunch)
{
    engine.setTrackMode(false);
    engine.motionSample(0, 0, 0.9f);
    engine.startRecording(std::nullopt);
    engine.setSpeed(150);
    advance(2.05);
    engine.stopRecording();
    ASSERT_EQ(engine.dataArr()[0], 150);

    ASSERT_TRUE(engine.resetData());
    engine.setSpeed(0);
    engine.motionSample(0, 0, 0.3f);  // the second launch, softer than the first
    ASSERT_TRUE(engine.startRecording(std::nullopt));
    EXPECT_EQ(engine.runTicks(), 0);
    EXPECT_EQ(engine.topSpeed(), 0);
    EXPECT_TRUE(engine.lapArr().empty());
    EXPECT_TRUE(engine.rpmArr().empty());
    engine.setSpeed(80);
    advance(1.05);
    engine.stopRecording();
    EXPECT_EQ(engine.runTicks(), 10);
    EXPECT_EQ(engine.dataArr()[0], 80);
    EXPECT_FLOAT_EQ(engine.dataArr()[3], 0.3f);
    ASSERT_EQ(engine.lapArr().size(), 1u);
    EXPECT_EQ(engine.lapArr().front().time, 10);
}

TEST_F(RaceEngineTest, ALapNeedsMoreThanTenSecondsAtTheLine)
{
    engine.startRecording(at(0, 0));
    advance(0.05);
    engine.locationUpdate({at(0, 200)});
    tickTo(99);
    engine.locationUpdate({at(0, 1)});
    EXPECT_TRUE(engine.lapArr().empty());
    tickTo(100);
    engine.locationUpdate({at(0, 2)});
    EXPECT_TRUE(engine.lapArr().empty());
    tickTo(101);
    engine.locationUpdate({at(0, 3)});
    ASSERT_EQ(engine.lapArr().size(), 1u);
    EXPECT_EQ(engine.lapArr()[0].time, 101);
    EXPECT_EQ(engine.ticks(), 0);
    EXPECT_EQ(engine.lapCount(), 2);
    EXPECT_EQ(engine.runTicks(), 101);
}

TEST_F(RaceEngineTest, APassBetweenTwoFixesCountsTheLap)
{
    engine.startRecording(at(0, 0));
    advance(0.05);
    engine.locationUpdate({at(200, 0)});
    tickTo(150);
    // 28 m apart, neither within 8 m of the line, the path 5 m from it.
    engine.locationUpdate({at(5, -14)});
    EXPECT_TRUE(engine.lapArr().empty());
    tickTo(151);
    engine.locationUpdate({at(5, 14)});
    EXPECT_EQ(engine.lapArr().size(), 1u);

    // A path 9 m off does not.
    engine.locationUpdate({at(300, 0)});
    tickTo(300);
    engine.locationUpdate({at(9, -14)});
    tickTo(301);
    engine.locationUpdate({at(9, 14)});
    EXPECT_EQ(engine.lapArr().size(), 1u);

    // Within one batch, the fix before the last is the path's start.
    engine.locationUpdate({at(300, 0)});
    tickTo(310);
    engine.locationUpdate({at(-6, -14), at(-6, 14)});
    EXPECT_EQ(engine.lapArr().size(), 2u);
}

TEST_F(RaceEngineTest, LapsOnACircleWithFixesBetweenTheTicks)
{
    // 100 km/h on a 600 m circle: a lap every 21.6 s; fixes at 1 Hz, 0.05 s
    // after the ticks, about 28 m apart. The run starts standing (the launch is
    // felt before the first speed reply tells of it).
    engine.setSpeed(0);
    const double metresPerSecond = 100 / 3.6;
    engine.startRecording(onCircle(0));
    engine.setSpeed(100);
    std::vector<Lap> completed;
    struct Laps : RaceEngineDelegate {
        std::vector<float> times;
        std::vector<bool> best;
        std::vector<std::vector<geo::Location>> outlines;
        void raceEngineDidCompleteLap(RaceEngine&, const Lap& lap, bool isBest) override
        {
            times.push_back(lap.time);
            best.push_back(isBest);
        }
        void raceEngineDidRecordTrack(RaceEngine&, const std::vector<geo::Location>& outline) override
        {
            outlines.push_back(outline);
        }
    } laps;
    engine.setDelegate(&laps);
    advance(0.05);
    for (int second = 1; second <= 70; ++second) {
        advance(1);
        engine.locationUpdate({onCircle(metresPerSecond * (second + 0.05))});
    }
    ASSERT_EQ(laps.times.size(), 3u);
    for (float t : laps.times)
        EXPECT_NEAR(t, 216, 10);
    EXPECT_NEAR(laps.times[0] + laps.times[1] + laps.times[2], 650, 2);
    EXPECT_TRUE(laps.best[0]);
    ASSERT_EQ(laps.outlines.size(), 1u);  // the first lap becomes the outline
    EXPECT_GE(laps.outlines[0].size(), 20u);
    EXPECT_TRUE(engine.trackLoaded());

    engine.stopRecording();
    // The partial fourth lap is dropped; each lap pairs speeds with positions.
    ASSERT_EQ(engine.lapArr().size(), 3u);
    for (const Lap& lap : engine.lapArr())
        EXPECT_EQ(lap.speedArr.size(), lap.coordinatesArr.size());
    EXPECT_EQ(engine.speedAvgArr(), (std::vector<int>{100, 100, 100}));
    EXPECT_FLOAT_EQ(engine.avgSpeed(), 100);
    // Drag figures count from the start of the run, not the lap.
    EXPECT_GT(engine.eighthMile(), 0);
    EXPECT_NEAR(engine.eighthMile(), 201.2 / metresPerSecond, 0.25);
    engine.setDelegate(nullptr);
}

TEST_F(RaceEngineTest, WithoutAKnownLocationTheFirstFixOfTheRunIsTheLine)
{
    engine.startRecording(std::nullopt);
    EXPECT_FALSE(engine.startLocation());
    advance(0.05);
    engine.locationUpdate({at(0, 0)});
    ASSERT_TRUE(engine.startLocation());
    EXPECT_EQ(engine.startLocation()->coordinate, at(0, 0).coordinate);
    engine.locationUpdate({at(0, 300)});
    tickTo(120);
    engine.locationUpdate({at(0, 4)});
    EXPECT_EQ(engine.lapArr().size(), 1u);
}

struct GapRecorder : RaceEngineDelegate {
    std::vector<GapReading> gaps;
    void raceEngineDidMeasureGap(RaceEngine&, const GapReading& gap) override { gaps.push_back(gap); }
};

TEST_F(RaceEngineTest, TheGapComparesWithTheReferenceSampleNearestInTime)
{
    GapRecorder recorder;
    engine.setDelegate(&recorder);
    engine.startRecording(at(0, 0));
    advance(0.05);
    engine.locationUpdate({at(0, 2)});  // reference sample at lap time 0
    tickTo(5);
    engine.locationUpdate({at(0, 50)});
    tickTo(300);
    engine.locationUpdate({at(0, 500)});  // reference sample at 30.0 s
    tickTo(551);
    engine.locationUpdate({at(0, -2)});  // sample at 55.1 s, and the lap
    ASSERT_EQ(engine.lapArr().size(), 1u);
    EXPECT_TRUE(recorder.gaps.empty());

    tickTo(5);
    engine.locationUpdate({at(0, 50)});
    tickTo(300);
    engine.locationUpdate({at(0, 500)});
    ASSERT_EQ(recorder.gaps.size(), 1u);
    EXPECT_EQ(recorder.gaps[0].text, " 00.0");
    EXPECT_FALSE(recorder.gaps[0].background);

    tickTo(556);
    // Near both the lap's first sample (0.0 s) and its last (55.1 s).
    engine.locationUpdate({at(0, -2.5)});
    ASSERT_EQ(recorder.gaps.size(), 2u);
    EXPECT_EQ(recorder.gaps[1].text, "+00.5");
    EXPECT_EQ(engine.lapArr().size(), 2u);
    engine.setDelegate(nullptr);
}

TEST_F(RaceEngineTest, ALapEqualToTheBestKeepsTheOldReference)
{
    struct Best : RaceEngineDelegate {
        std::vector<bool> best;
        void raceEngineDidCompleteLap(RaceEngine&, const Lap&, bool isBest) override { best.push_back(isBest); }
    } best;
    engine.setDelegate(&best);
    engine.startRecording(at(0, 0));
    for (int lap = 0; lap < 3; ++lap) {
        advance(0.05);
        engine.locationUpdate({at(0, 300 + lap)});
        tickTo(lap == 2 ? 150 : 200);
        engine.locationUpdate({at(0, 1 + lap)});
    }
    EXPECT_EQ(best.best, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(engine.bestLapTime(), 150);
    EXPECT_FALSE(engine.checkGap());  // a pending check ends with the lap
    engine.setDelegate(nullptr);
}

TEST(RaceTexts, GapAndLapTimesReadAsShown)
{
    EXPECT_EQ(GapReading::fromTenths(-25).text, "-02.5");
    EXPECT_EQ(GapReading::fromTenths(-25).background, ui::Color::rgb255(13, 75, 177));
    EXPECT_EQ(GapReading::fromTenths(4).text, "+00.4");
    EXPECT_EQ(GapReading::fromTenths(4).background, ui::Color::rgb255(180, 0, 45));
    EXPECT_EQ(GapReading::fromTenths(0).text, " 00.0");
    EXPECT_EQ(GapReading::fromTenths(653).text, "+05.3");
    EXPECT_EQ(GapReading::fromTenths(-3).text, "-00.3");
    EXPECT_EQ(lapTimeText(754), "01:15.4");
    EXPECT_EQ(lapTimeText(36010), "00:01.0");  // the minutes wrap at 60
}

TEST(RaceGeometry, ClosestApproachOfASegment)
{
    const auto origin = RaceTest::at(0, 0) ;
    EXPECT_NEAR(closestApproach(RaceTest::at(3, -10), RaceTest::at(3, 10), origin), 3, 0.01);
    EXPECT_NEAR(closestApproach(RaceTest::at(0, 10), RaceTest::at(0, 20), origin), 10, 0.01);
    EXPECT_NEAR(closestApproach(RaceTest::at(4, 3), RaceTest::at(4, 3), origin), 5, 0.01);
}

}  // namespace
