// One launch of the race screen as a driver uses it: two drag runs and a three-lap track run against the
// adapter simulator and the motion and GPS replays, the results of each, the track saved from the lap map
// and chosen for the next visit. Time is the manual clock throughout.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "RaceScreenTest.h"
#include "performance/TrackView.h"
#include "platform/motion/MotionService.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/VisibleText.h"

namespace {

std::filesystem::path replay(const char* name)
{
    return testsupport::testDataDir().parent_path().parent_path() / "tools" / "replays" / name;
}

class RaceJourneyTest : public RaceScreenTest {
protected:
    // Moves the clock on a tenth at a time, each tenth with a fresh reply from the car.
    void driveTenths(int tenths)
    {
        for (int i = 0; i < tenths; ++i) {
            const std::size_t before = sim.requests().size();
            advance(0.1);
            ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before + 1; })) << "the adapter answers";
        }
    }

    void tapOn(const std::string& text)
    {
        ASSERT_TRUE(testsupport::tapText(window(), text)) << text << " in " << ::testing::PrintToString(testsupport::texts(window()));
        advance(1);
    }

    // The figure shown beside a row title of the run summary.
    std::string figureOf(const std::string& row)
    {
        const auto shown = testsupport::texts(window());
        const auto at = std::find(shown.begin(), shown.end(), fnd::L(row));
        return at != shown.end() && at + 1 != shown.end() ? *(at + 1) : "(no row " + row + ")";
    }

    void expectSeconds(const std::string& row, double seconds, const std::string& run)
    {
        const std::string shown = figureOf(row);
        EXPECT_NEAR(std::atof(shown.c_str()), seconds, 0.3) << run << ": " << row << " reads " << shown;
    }

    // The standing start of the simulated car: 5 s still, then 3 m/s^2; the phone feels it pull away.
    void dragRun(int tenthsAfterLaunch)
    {
        // The car's clock moves by the time between requests: it is set once a request has just been made.
        const auto standingStart = [](elmsim::CarState& s) {
            s.moving = true;
            s.profile = elmsim::Profile::dragRun;
            s.time = 0;
        };
        sim.updateCar(standingStart);
        driveTenths(2);
        sim.updateCar(standingStart);
        driveTenths(50);
        // One motion sample with the launch in it; the clock waits while the screen takes it in.
        motion::MotionService::shared().inject({0, 0, 0.5});
        advance(0.05);
        ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return race->engine().recording(); }, 5));
        motion::MotionService::shared().inject({});
        driveTenths(tenthsAfterLaunch);
        tapOn("STOP");
        tapOn("Results");
    }

    void closeResults()
    {
        tapOn("Done");
        ASSERT_EQ(race->presentedViewController(), nullptr);
    }
};

TEST_F(RaceJourneyTest, TwoDragRunsAndAThreeLapTrackRunThenTheTrackIsSavedAndChosen)
{
    sim.setClock([] { return fnd::RunLoop::main().now(); });
    ASSERT_TRUE(connect());
    showRace();

    // First drag run, stopped at 20 s: every mark reached.
    armDrag();
    dragRun(200);
    expectSeconds("0-60 mph", 8.9, "first run");
    expectSeconds("0-100 mph", 14.9, "first run");
    expectSeconds("1/8 mile time", 11.6, "first run");
    expectSeconds("1/4 mile time", 16.4, "first run");
    closeResults();

    // Second drag run, stopped at 13 s: its own figures, not the first run's. The controls for it come
    // back with "Reset data".
    EXPECT_FALSE(testsupport::shows(window(), "Ready"));
    chooseOption("Reset data");
    tapOn("Ready");
    ASSERT_TRUE(race->engine().raceReady());
    dragRun(130);
    expectSeconds("0-60 mph", 8.9, "second run");
    expectSeconds("1/8 mile time", 11.6, "second run");
    EXPECT_EQ(figureOf("0-100 mph"), "--") << "second run";
    EXPECT_EQ(figureOf("1/4 mile time"), "--") << "second run";
    closeResults();

    // The track run. The motion replay starts with the screen's next appearance and feels the launch 20 s
    // on; the GPS replay, started 2 s later, stands on the start line for 20 s and then drives three laps
    // of the oval, as does the simulated car. So the launch is felt on the start line.
    chooseOption("Reset data");
    tapOn("Track");
    ASSERT_EQ(motion::MotionService::shared().start({replay("launch.csv"), {}}), "");
    chooseOption("Track selection");
    tapOn("Done");
    advance(2);
    geo::LocationService::Sources gps;
    gps.replayFile = replay("oval-three-laps.nmea");
    gps.gpsd = false;
    ASSERT_EQ(geo::LocationService::shared().start(gps), "");
    driveTenths(1);
    sim.updateCar([](elmsim::CarState& s) {
        s.profile = elmsim::Profile::lap;
        s.time = 0;
    });
    tapOn("Ready");
    ASSERT_TRUE(race->engine().raceReady());
    // Fine steps while the launch may come: the motion samples follow the clock.
    driveTenths(200);
    ASSERT_TRUE(race->engine().recording()) << "the replayed launch started the run";
    drive(195);
    ASSERT_TRUE(race->engine().recording());
    tapOn("STOP");
    tapOn("Results");

    auto* tabs = dynamic_cast<ui::TabBarController*>(race->presentedViewController());
    ASSERT_NE(tabs, nullptr) << "lap times, summary and map";
    const auto shown = testsupport::texts(window());
    EXPECT_EQ(race->engine().lapArr().size(), 3u) << ::testing::PrintToString(shown);
    for (const char* lap : {"1", "2", "3"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), lap), shown.end()) << "lap " << lap;
    EXPECT_EQ(std::find(shown.begin(), shown.end(), "4"), shown.end()) << "the unfinished lap is dropped";
    const auto lapTimes = std::count_if(shown.begin(), shown.end(), [](const std::string& t) { return t.rfind("01:0", 0) == 0; });
    EXPECT_GE(lapTimes, 3) << ::testing::PrintToString(shown);

    tapOn(fnd::L("Map"));
    window().layoutIfNeeded();
    auto& map = static_cast<ui::NavigationController&>(*tabs->selectedViewController());
    ui::View* action = map.navigationBar().viewForItem(*map.topViewController()->navigationItem().rightBarButtonItem());
    ASSERT_NE(action, nullptr);
    testsupport::tap(window(), *action);
    advance(0.5);
    tapOn(fnd::L("Save track"));
    tapOn(fnd::L("Save"));
    const auto& tracks = Manager::sharedManager().raceData().trackArr;
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].trackName, fnd::L("Track") + " 1");
    EXPECT_GT(tracks[0].trackCoordinateArr.size(), 50u);
    tapOn("Done");
    ASSERT_EQ(race->presentedViewController(), nullptr);

    chooseOption("Track selection");
    tapOn(tracks[0].trackName);
    tapOn("Done");
    EXPECT_EQ(Manager::sharedManager().raceData().selectedTrackIndex, 0);
    swipeToNextPage();
    swipeToNextPage();
    EXPECT_EQ(race->pageIndex(), 2);
    EXPECT_EQ(panels().trackView().coordinatesArr().size(), tracks[0].trackCoordinateArr.size());
    EXPECT_FALSE(testsupport::shows(window(), fnd::L("No track"))) << "the chosen track's outline, not its absence";
}

}  // namespace
