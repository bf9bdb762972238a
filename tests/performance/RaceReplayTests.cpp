#include <algorithm>

#include "RaceScreenTest.h"
#include "platform/ui/VisibleText.h"

namespace {

// The sample oval replay, the lap profile of the simulator and a launch felt by
// the motion sensor: the race screen counts the three laps.
TEST_F(RaceScreenTest, TheOvalReplayGivesThreeLapsOnTheRaceScreen)
{
    geo::LocationService::Sources sources;
    sources.replayFile =
        testsupport::testDataDir().parent_path().parent_path() / "tools" / "replays" / "oval-three-laps.nmea";
    sources.gpsd = false;
    ASSERT_EQ(geo::LocationService::shared().start(sources), "");
    sim.updateCar([](elmsim::CarState& s) {
        s.moving = true;
        s.profile = elmsim::Profile::lap;
    });
    ASSERT_TRUE(connect());
    auto screen = showRace();
    ASSERT_TRUE(testsupport::tapText(window(), "Ready"));  // track mode
    ASSERT_TRUE(screen->engine().raceReady());

    // The replay stands on the start line for 20 s; the launch comes as it pulls away.
    for (int second = 0; second < 19; ++second) {
        const std::size_t before = sim.requests().size();
        advance(1);
        ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before + 1; })) << "the adapter answers";
    }
    motion::MotionService::shared().inject({0, 0, 0.3});
    for (int i = 0; i < 100 && !screen->engine().recording(); ++i) {
        advance(0.05);
        fnd::RunLoop::main().runUntil([&] { return screen->engine().recording(); }, 0.02);
    }
    ASSERT_TRUE(screen->engine().recording());
    motion::MotionService::shared().inject({});
    ASSERT_TRUE(screen->engine().startLocation());

    for (int second = 0; second < 195; ++second) {
        const std::size_t before = sim.requests().size();
        advance(1);
        ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before + 1; })) << "the adapter answers";
    }
    EXPECT_EQ(screen->engine().lapArr().size(), 3u);
    const auto timing = ui::visibleTexts(panels().infoPanel());
    EXPECT_NE(std::find(timing.begin(), timing.end(), "4"), timing.end()) << "the fourth lap under way";
    const auto shown = testsupport::texts(window());
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "--:--.-"), 0) << "best and last lap";
    EXPECT_TRUE(screen->engine().trackLoaded());
    for (const Lap& lap : screen->engine().lapArr()) {
        EXPECT_GT(lap.time, 500);
        EXPECT_EQ(lap.speedArr.size(), lap.coordinatesArr.size());
    }
}

}  // namespace
