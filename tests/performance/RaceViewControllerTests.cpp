#include <algorithm>

#include "RaceScreenTest.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/RaceResViewCon.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Toast.h"
#include "platform/ui/VisibleText.h"
#include "support/ImageCompare.h"
#include "support/Input.h"
#include "support/ScreenShape.h"

namespace {

using testsupport::shows;
using testsupport::texts;

class RaceViewControllerTest : public RaceScreenTest {};

TEST_F(RaceViewControllerTest, BuildsItsPagesAndShowsNothingBeforeARun)
{
    showRace();
    EXPECT_EQ(panels().pageCount(), 4);
    ASSERT_NE(panels().raceGauge(), nullptr);
    EXPECT_EQ(panels().gaugeTile(), nullptr);
    EXPECT_NE(panels().shiftView(), nullptr);
    const auto shown = texts(window());
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "--:--.-"), 2) << "best and last lap";
    const auto stats = ui::visibleTexts(panels().statPanel());
    for (const char* empty : {" --.-", "--", "N"})
        EXPECT_NE(std::find(stats.begin(), stats.end(), empty), stats.end()) << empty << " in " << ::testing::PrintToString(stats);
    EXPECT_EQ(std::count(stats.begin(), stats.end(), "--"), 2) << "no horsepower and no coolant figure yet";
    for (const std::string& hidden : {std::string("00:00"), fnd::L("Accelerate"), std::string("STOP"), std::string("Results")})
        EXPECT_FALSE(shows(window(), hidden)) << hidden;
    EXPECT_EQ(menus().readySelector().selectedSegmentIndex(), 0);
    EXPECT_EQ(menus().modeSelector().selectedSegmentIndex(), 1);
    swipeToNextPage();
    swipeToNextPage();
    EXPECT_TRUE(shows(window(), fnd::L("No track")));

    settings().shiftAssistEnabled = false;
    settings().rpmEnabled = false;
    auto plain = std::make_shared<RaceViewController>();
    plain->loadViewIfNeeded();
    EXPECT_EQ(plain->panels()->pageCount(), 3);
    EXPECT_EQ(plain->panels()->raceGauge(), nullptr);
    ASSERT_NE(plain->panels()->gaugeTile(), nullptr);
    EXPECT_EQ(plain->panels()->gaugeTile()->visMode(), GaugeView2::analogStyle);
    EXPECT_EQ(plain->panels()->shiftView(), nullptr);
}

TEST_F(RaceViewControllerTest, TheFirstRaceIsExplainedOnceInAToastThatLetsTapsThrough)
{
    settings().firstRace = true;
    showRace();
    const auto hint = ui::visibleToast(*race->view());
    ASSERT_TRUE(hint) << "the explanation lies over the mode controls it names, which still take taps";
    EXPECT_EQ(hint->message(), fnd::L("Race msg2"));
    EXPECT_TRUE(testsupport::tapText(root->window(), "Drag"));
    advance(11.5);
    EXPECT_EQ(ui::visibleToast(*race->view()), hint) << "for 12 s";
    EXPECT_FALSE(race->engine().isTrackMode());
    EXPECT_FALSE(settings().firstRace);

    showRace();
    EXPECT_FALSE(ui::visibleToast(*race->view())) << "explained once";
}

TEST_F(RaceViewControllerTest, PagesStartAndStopTheirTimers)
{
    showRace();
    swipeToNextPage();
    EXPECT_EQ(race->pageIndex(), 1);
    EXPECT_TRUE(panels().gforceView().isTimerRunning());
    EXPECT_FALSE(panels().raceGauge()->isTimerRunning());
    swipeToNextPage();
    swipeToNextPage();
    EXPECT_EQ(race->pageIndex(), 3);
    EXPECT_TRUE(shows(window(), fnd::L("Speed"))) << "the gear panel reads speed beside the shift bar";
    EXPECT_FALSE(shows(window(), fnd::L("Gear")));
    swipeToPreviousPage();
    EXPECT_DOUBLE_EQ(race->view()->frame().origin.x, 0) << "the swipe turns the page, not the screen aside";
    EXPECT_EQ(race->pageIndex(), 2);
    EXPECT_FALSE(panels().gforceView().isTimerRunning());
    EXPECT_TRUE(shows(window(), fnd::L("Gear")));
    EXPECT_TRUE(shows(window(), "N"));
    swipeToPreviousPage();
    swipeToPreviousPage();
    EXPECT_EQ(race->pageIndex(), 0);
    EXPECT_TRUE(panels().raceGauge()->isTimerRunning());
}

TEST_F(RaceViewControllerTest, GrantedLocationAccessTakesTheLastKnownPlace)
{
    geo::LocationService::shared().inject(at(10, 20));
    advance(0.1);
    auto screen = showRace();
    advance(0.5);
    ASSERT_TRUE(screen->engine().currentLocation());
    EXPECT_EQ(screen->engine().currentLocation()->coordinate, at(10, 20).coordinate);
}

TEST_F(RaceViewControllerTest, ArmingNeedsAConnectedLinkAndLocationForTrackMode)
{
    geo::LocationService::shared().stop();  // no location source: access is denied
    auto screen = showRace();
    ASSERT_TRUE(testsupport::tapText(window(), "Ready"));
    EXPECT_FALSE(screen->engine().raceReady());
    EXPECT_EQ(menus().readySelector().selectedSegmentIndex(), 0);
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Connect msg2"));
    ui::AlertController::dismissAll();

    ASSERT_TRUE(connect());
    screen->setScanner(link);
    ASSERT_TRUE(testsupport::tapText(window(), "Ready"));
    EXPECT_FALSE(screen->engine().raceReady());
    EXPECT_EQ(menus().readySelector().selectedSegmentIndex(), 0);
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Location msg3"));
    ui::AlertController::dismissAll();

    armDrag();
    EXPECT_FALSE(shows(window(), "00:00"));
    ASSERT_TRUE(testsupport::tapText(window(), "Not ready"));
    advance(0.5);
    EXPECT_FALSE(screen->engine().raceReady());
    EXPECT_FALSE(shows(window(), fnd::L("Accelerate")));
}

TEST_F(RaceViewControllerTest, PollsSpeedRpmAndThePowerInput)
{
    ASSERT_TRUE(connect());
    settings().fastPollingEnabled = false;
    auto screen = showRace();
    EXPECT_EQ(polled(), (std::vector<std::string>{"010d", "010c", "0110"}));
    settings().hpMode = 1;
    screen->sendCommands();
    EXPECT_EQ(polled(), (std::vector<std::string>{"010d", "010c", "0163"}));
    settings().hpMode = 2;
    settings().rpmEnabled = false;
    screen->sendCommands();
    EXPECT_EQ(polled(), (std::vector<std::string>{"010d"}));
}

TEST_F(RaceViewControllerTest, GearEstimateAndShiftLight)
{
    auto screen = showRace();
    userData().rpmRedLine = 8000;
    screen->viewDidAppear(false);
    screen->didReceiveResponse({reply(0x0D, {56}), reply(0x0C, {0x1F, 0x40})});  // 56 km/h, 2000 rpm
    EXPECT_TRUE(shows(window(), "4"));
    EXPECT_TRUE(shows(window(), "th"));
    EXPECT_FALSE(panels().raceGauge()->shiftLight());

    screen->didReceiveResponse({reply(0x0C, {0, 0})});
    EXPECT_EQ(panels().shiftView()->gearLabel().text(), "N");
    EXPECT_TRUE(shows(window(), "4")) << "the last gear stays while the car stands";

    screen->didReceiveResponse({reply(0x0C, {0x73, 0x60})});  // 7384 rpm
    EXPECT_FALSE(panels().raceGauge()->shiftLight());
    screen->didReceiveResponse({reply(0x0C, {0x73, 0xA0})});  // 7400 rpm
    EXPECT_TRUE(panels().raceGauge()->shiftLight());
}

TEST_F(RaceViewControllerTest, TemperatureWarningsQueueOneAlertAtATime)
{
    auto screen = showRace();
    screen->checkSensor(reply(0x05, {40 + 120}));
    screen->checkSensor(reply(0x05, {40 + 121}));
    EXPECT_TRUE(shows(window(), "121"));
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), "High coolant temperature\n 120");
    const std::vector<int> sounds = fnd::SystemSound::played();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 1052), 1);
}

TEST_F(RaceViewControllerTest, SpeedingSoundsTheRaceScreensOwnToneWithoutAnAlert)
{
    settings().speedLimitEnabled = true;
    settings().speedLimit2 = 100;
    auto screen = showRace();
    fnd::SystemSound::clearPlayed();
    screen->checkSensor(reply(0x0D, {100}));
    EXPECT_TRUE(fnd::SystemSound::played().empty()) << "at the limit";
    screen->checkSensor(reply(0x0D, {101}));
    EXPECT_EQ(fnd::SystemSound::played(), std::vector<int>{1005});
    EXPECT_FALSE(ui::AlertController::visible());
}

TEST_F(RaceViewControllerTest, ALaunchStartsTheArmedRunAndStopShowsTheResults)
{
    ASSERT_TRUE(connect());
    auto screen = showRace();
    armDrag();
    sim.updateCar([](elmsim::CarState& s) { s.speed = 100; });
    launch();
    ASSERT_TRUE(screen->engine().recording());
    EXPECT_TRUE(shows(window(), "STOP"));
    EXPECT_FALSE(shows(window(), "Ready"));
    for (int i = 0; i < 30; ++i) {
        const std::size_t before = sim.requests().size();
        advance(0.1);
        ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before; })) << "the adapter answers";
    }
    EXPECT_GE(screen->engine().runTicks(), 30);
    EXPECT_TRUE(shows(window(), screen->engine().timerText())) << ::testing::PrintToString(texts(window()));
    EXPECT_GT(screen->engine().topSpeed(), 0);
    ASSERT_TRUE(testsupport::tapText(window(), "STOP"));
    EXPECT_FALSE(screen->engine().recording());
    ASSERT_EQ(screen->engine().dataArr().size(), 10u);
    advance(0.5);

    ASSERT_TRUE(testsupport::tapText(window(), "Results"));
    advance(1);
    auto* navigation = dynamic_cast<ui::NavigationController*>(screen->presentedViewController());
    ASSERT_NE(navigation, nullptr);
    EXPECT_NE(dynamic_cast<RaceResViewCon*>(navigation->topViewController()), nullptr);
}

TEST_F(RaceViewControllerTest, LeavingTheScreenDiscardsARun)
{
    ASSERT_TRUE(connect());
    auto screen = showRace();
    armDrag();
    launch();
    ASSERT_TRUE(screen->engine().recording());
    advance(1.5);
    screen->viewWillDisappear(false);
    screen->viewDidDisappear(false);
    EXPECT_FALSE(screen->engine().recording());
    EXPECT_EQ(screen->engine().runTicks(), 0);
    EXPECT_TRUE(screen->engine().lapArr().empty());
    EXPECT_EQ(menus().readySelector().selectedSegmentIndex(), 0);
}

TEST_F(RaceViewControllerTest, ADroppedLinkStopsTheRunAndKeepsItsResults)
{
    ASSERT_TRUE(connect());
    auto screen = showRace();
    armDrag();
    launch();
    ASSERT_TRUE(screen->engine().recording());
    advance(0.5);
    sim.stop();
    ASSERT_TRUE(waitFor([&] { return !screen->engine().recording(); }));
    EXPECT_EQ(screen->engine().dataArr().size(), 10u);
    EXPECT_EQ(menus().readySelector().selectedSegmentIndex(), 0);
}

TEST_F(RaceViewControllerTest, LeavingAfterTheLinkDroppedGivesTheLinkBack)
{
    ASSERT_TRUE(connect());
    auto screen = showRace();
    ASSERT_TRUE(screen->holdsLink());
    sim.stop();
    ASSERT_TRUE(waitFor([&] { return !link->isConnected(); }));
    screen->viewWillDisappear(false);
    screen->viewDidDisappear(false);
    EXPECT_FALSE(screen->holdsLink()) << "a hidden race screen must not hear the next connection's replies";
}

TEST_F(RaceViewControllerTest, ResetBringsTheSelectedTrackBack)
{
    Track track("Oval", {}, {at(0, 0), at(0, 100), at(100, 100)}, 0.3f);
    Manager::sharedManager().raceData().trackArr = {track};
    Manager::sharedManager().raceData().selectedTrackIndex = 0;
    auto screen = showRace();
    swipeToNextPage();
    swipeToNextPage();
    const TrackView& outline = panels().trackView();
    EXPECT_TRUE(screen->engine().trackLoaded());
    EXPECT_EQ(outline.coordinatesArr().size(), 3u);
    screen->resetData();
    EXPECT_EQ(outline.coordinatesArr().size(), 3u);
    EXPECT_FALSE(shows(window(), fnd::L("No track")));

    Manager::sharedManager().raceData().selectedTrackIndex = -1;
    screen->resetData();
    EXPECT_TRUE(outline.coordinatesArr().empty());
    EXPECT_FALSE(screen->engine().trackLoaded());
    EXPECT_TRUE(shows(window(), fnd::L("No track")));

    // Choosing "New track" in the list clears the saved outline when the screen comes back.
    Manager::sharedManager().raceData().selectedTrackIndex = 0;
    screen->viewDidAppear(false);
    EXPECT_TRUE(screen->engine().trackLoaded());
    EXPECT_FALSE(shows(window(), fnd::L("No track")));
    Manager::sharedManager().raceData().selectedTrackIndex = -1;
    screen->viewDidAppear(false);
    EXPECT_FALSE(screen->engine().trackLoaded());
    EXPECT_TRUE(outline.coordinatesArr().empty());
    EXPECT_TRUE(shows(window(), fnd::L("No track")));

    // A selection past the list (a track deleted elsewhere) loads nothing.
    Manager::sharedManager().raceData().selectedTrackIndex = 5;
    screen->viewDidAppear(false);
    EXPECT_FALSE(screen->engine().trackLoaded());
}

TEST_F(RaceViewControllerTest, MenuGesturesAndTheDroppingBar)
{
    auto screen = showRace();
    const double y = panels().statPanel().frame().midY();
    testsupport::swipe(window(), {60, y}, {300, y});
    advance(0.5);
    EXPECT_DOUBLE_EQ(screen->view()->frame().origin.x, 190);
    EXPECT_FALSE(panels().pageView().scrollView().isScrollEnabled()) << "the pages stay while the menu is open";
    testsupport::swipe(window(), {350, y}, {200, y});
    advance(0.5);
    EXPECT_DOUBLE_EQ(screen->view()->frame().origin.x, 0);
    EXPECT_TRUE(panels().pageView().scrollView().isScrollEnabled());

    // A tap drops the bar in and pushes the panels down under it, for a while.
    const auto title = [&] { return testsupport::frameOfText(window(), fnd::L("Racetrack")); };
    EXPECT_FALSE(title());
    const double modeY = testsupport::frameOfText(window(), "Drag")->y();
    testsupport::tap(window(), {100, y});
    advance(0.5);
    ASSERT_TRUE(title());
    EXPECT_GE(title()->y(), 0);
    EXPECT_DOUBLE_EQ(testsupport::frameOfText(window(), "Drag")->y(), modeY + 44);
    testsupport::tap(window(), {100, y});  // a second tap changes nothing
    advance(0.5);
    EXPECT_DOUBLE_EQ(testsupport::frameOfText(window(), "Drag")->y(), modeY + 44);
    advance(1.5);
    EXPECT_DOUBLE_EQ(testsupport::frameOfText(window(), "Drag")->y(), modeY);
    EXPECT_FALSE(title());
}

TEST_F(RaceViewControllerTest, LandscapeHidesTheSidePanels)
{
    auto screen = showRace();
    testsupport::tap(window(), panels().statPanel());  // turned while the bar is in: laid out once it has gone
    root->setSize({844, 390}, 0);
    advance(2);
    for (const char* side : {"Gear", "Horsepower", "Coolant temp."})
        EXPECT_FALSE(shows(window(), fnd::L(side))) << side;
    EXPECT_EQ(panels().gapPanel().superview(), screen->view().get());
    root->setSize({390, 844}, 0);
    for (const char* side : {"Gear", "Horsepower", "Coolant temp."})
        EXPECT_TRUE(shows(window(), fnd::L(side))) << side;
    EXPECT_EQ(panels().gapPanel().superview(), &panels().statPanel());
}

TEST_F(RaceViewControllerTest, SteadyReadingsLeaveTheScreenAloneInEveryShape)
{
    // The car stands still: driven by the real clock its readings would move on a busy machine.
    sim.updateCar([](elmsim::CarState& s) { s.moving = false; });
    ASSERT_TRUE(connect());
    for (const auto& shape : {testsupport::phonePortrait, testsupport::phoneLandscape, testsupport::pad}) {
        shape.apply();
        showRace();
        drive(2);
        ui::Window& screen = root->window();
        ui::BitmapContext frame(screen.bounds().size, 1);
        screen.renderDamage(frame);
        // The first 2 s let the gauges glide to the readings; the last 2 s are counted.
        double repainted = 0;
        for (int tick = 0; tick < 40; ++tick) {
            const std::size_t before = sim.requests().size();
            advance(0.1);
            ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before; })) << shape.name;
            for (const ui::Rect& area : screen.renderDamage(frame))
                repainted += tick < 20 ? 0 : area.width() * area.height();
        }
        EXPECT_LT(repainted, 0.05 * screen.bounds().width() * screen.bounds().height()) << shape.name;
        sim.updateCar([](elmsim::CarState& s) { s.speed += 60; });
        drive(2);
        screen.renderDamage(frame);
        EXPECT_TRUE(testsupport::samePixels(frame.makeImage(), screen.renderToImage(1), 2, 32)) << shape.name;
    }
}

}  // namespace
