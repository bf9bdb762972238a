#include "RaceScreenTest.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/RaceResViewCon.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TabBarController.h"
#include "support/Input.h"

namespace {

class RaceViewControllerTest : public RaceScreenTest {
protected:
    // Arms a drag run on a connected link.
    void armDrag()
    {
        race->raceModeSegCon().setSelectedSegmentIndex(0);
        race->toggleDragTrack(0);
        race->readySegCon().setSelectedSegmentIndex(1);
        race->toggleRacing(1);
        ASSERT_TRUE(race->engine().raceReady());
    }

    void launch()
    {
        motion::MotionService::shared().inject({0, 0, 0.5});
        // Samples come on the motion queue's thread as the clock moves on.
        for (int i = 0; i < 100 && !race->engine().recording(); ++i) {
            advance(0.05);
            fnd::RunLoop::main().runUntil([&] { return race->engine().recording(); }, 0.02);
        }
        ASSERT_TRUE(race->engine().recording());
        motion::MotionService::shared().inject({});
    }
};

TEST_F(RaceViewControllerTest, BuildsItsPagesAndShowsNothingBeforeARun)
{
    auto screen = showRace();
    EXPECT_EQ(screen->pageCount(), 4);
    ASSERT_NE(screen->raceGauge(), nullptr);
    EXPECT_EQ(screen->gaugeTile(), nullptr);
    EXPECT_NE(screen->shiftView(), nullptr);
    EXPECT_EQ(screen->bestLapValLabel().text(), "--:--.-");
    EXPECT_EQ(screen->lastLapValLabel().text(), "--:--.-");
    EXPECT_EQ(screen->gapValLabel().text(), " --.-");
    EXPECT_EQ(screen->hpValLabel().text(), "--");
    EXPECT_EQ(screen->tempValLabel().text(), "0");
    EXPECT_EQ(screen->gearValLabel().text(), "N");
    EXPECT_TRUE(screen->timerLabel().isHidden());
    EXPECT_TRUE(screen->msgLabel().isHidden());
    EXPECT_LT(screen->stopBtn().frame().origin.y, 0);
    EXPECT_LT(screen->resultsBtn().frame().origin.y, 0);
    EXPECT_EQ(screen->trackLabel().text(), "No track");
    EXPECT_EQ(screen->readySegCon().selectedSegmentIndex(), 0);
    EXPECT_EQ(screen->raceModeSegCon().selectedSegmentIndex(), 1);

    settings().shiftAssistEnabled = false;
    settings().rpmEnabled = false;
    auto plain = std::make_shared<RaceViewController>();
    plain->loadViewIfNeeded();
    EXPECT_EQ(plain->pageCount(), 3);
    EXPECT_EQ(plain->raceGauge(), nullptr);
    ASSERT_NE(plain->gaugeTile(), nullptr);
    EXPECT_EQ(plain->gaugeTile()->visMode(), GaugeView2::analogStyle);
    EXPECT_EQ(plain->shiftView(), nullptr);
}

TEST_F(RaceViewControllerTest, TheFirstRaceIsExplainedOnceInAnAlertClosedByOk)
{
    settings().firstRace = true;
    showRace();
    const auto hint = ui::AlertController::visible();
    ASSERT_TRUE(hint) << "the explanation covers the mode controls it names unless the user closes it";
    EXPECT_EQ(hint->message(), fnd::L("Race msg2"));
    EXPECT_TRUE(testsupport::tapText(root->window(), "Ok"));
    advance(0.5);
    EXPECT_FALSE(ui::AlertController::visible());
    EXPECT_FALSE(settings().firstRace);

    showRace();
    EXPECT_FALSE(ui::AlertController::visible()) << "explained once";
}

TEST_F(RaceViewControllerTest, PagesStartAndStopTheirTimers)
{
    auto screen = showRace();
    screen->turnedToPage(1);
    EXPECT_TRUE(screen->gforceView()->isTimerRunning());
    EXPECT_FALSE(screen->raceGauge()->isTimerRunning());
    screen->turnedToPage(3);
    EXPECT_EQ(screen->gearValLabel().text(), "");
    screen->turnedToPage(2);
    EXPECT_FALSE(screen->gforceView()->isTimerRunning());
    EXPECT_EQ(screen->gearValLabel().text(), "N");
    screen->turnedToPage(0);
    EXPECT_TRUE(screen->raceGauge()->isTimerRunning());
    EXPECT_EQ(screen->pageIndex(), 0);
}

TEST_F(RaceViewControllerTest, ArmingNeedsAConnectedLinkAndLocationForTrackMode)
{
    geo::LocationService::shared().stop();  // no location source: access is denied
    auto screen = showRace();
    screen->readySegCon().setSelectedSegmentIndex(1);
    screen->toggleRacing(1);
    EXPECT_FALSE(screen->engine().raceReady());
    EXPECT_EQ(screen->readySegCon().selectedSegmentIndex(), 0);
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Connect msg2"));
    ui::AlertController::dismissAll();

    ASSERT_TRUE(connect());
    screen->setScanner(link);
    screen->toggleRacing(1);
    EXPECT_FALSE(screen->engine().raceReady());
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Location msg3"));
    ui::AlertController::dismissAll();

    screen->toggleDragTrack(0);
    screen->toggleRacing(1);
    EXPECT_TRUE(screen->engine().raceReady());
    EXPECT_FALSE(screen->msgLabel().isHidden());
    EXPECT_TRUE(screen->timerLabel().isHidden());
    screen->toggleRacing(0);
    EXPECT_FALSE(screen->engine().raceReady());
    EXPECT_TRUE(screen->msgLabel().isHidden());
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
    EXPECT_EQ(screen->gearVal(), 4);
    EXPECT_EQ(screen->gearValLabel().text(), "4");
    EXPECT_EQ(screen->gearEndLabel().text(), "th");
    EXPECT_FALSE(screen->raceGauge()->shiftLight());

    screen->didReceiveResponse({reply(0x0C, {0, 0})});
    EXPECT_EQ(screen->shiftView()->gearLabel().text(), "N");
    EXPECT_EQ(screen->gearVal(), 4);

    screen->didReceiveResponse({reply(0x0C, {0x73, 0x60})});  // 7384 rpm
    EXPECT_FALSE(screen->raceGauge()->shiftLight());
    screen->didReceiveResponse({reply(0x0C, {0x73, 0xA0})});  // 7400 rpm
    EXPECT_TRUE(screen->raceGauge()->shiftLight());
}

TEST_F(RaceViewControllerTest, TemperatureWarningsQueueOneAlertAtATime)
{
    auto screen = showRace();
    screen->checkSensor(reply(0x05, {40 + 120}));
    screen->checkSensor(reply(0x05, {40 + 121}));
    EXPECT_EQ(screen->tempValLabel().text(), "121");
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
    EXPECT_FALSE(screen->timerLabel().isHidden());
    EXPECT_TRUE(screen->readySegCon().isHidden());
    advance(0.5);
    for (int i = 0; i < 30; ++i) {
        const std::size_t before = sim.requests().size();
        advance(0.1);
        waitFor([&] { return sim.requests().size() > before; });
    }
    EXPECT_GE(screen->engine().runTicks(), 30);
    EXPECT_EQ(screen->timerLabel().text(), screen->engine().timerText());
    EXPECT_GT(screen->engine().topSpeed(), 0);
    screen->stopBtn().sendActions(ui::ControlEvent::TouchDown);
    EXPECT_FALSE(screen->engine().recording());
    ASSERT_EQ(screen->engine().dataArr().size(), 10u);
    advance(0.5);
    EXPECT_GE(screen->resultsBtn().frame().origin.y, -1);

    screen->showResults();
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
    advance(2);
    screen->viewWillDisappear(false);
    screen->viewDidDisappear(false);
    EXPECT_FALSE(screen->engine().recording());
    EXPECT_EQ(screen->engine().runTicks(), 0);
    EXPECT_TRUE(screen->engine().lapArr().empty());
    EXPECT_EQ(screen->readySegCon().selectedSegmentIndex(), 0);
}

TEST_F(RaceViewControllerTest, ADroppedLinkStopsTheRunAndKeepsItsResults)
{
    ASSERT_TRUE(connect());
    auto screen = showRace();
    armDrag();
    launch();
    advance(1);
    sim.stop();
    ASSERT_TRUE(waitFor([&] { return !screen->engine().recording(); }));
    EXPECT_EQ(screen->engine().dataArr().size(), 10u);
    EXPECT_EQ(screen->readySegCon().selectedSegmentIndex(), 0);
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
    EXPECT_TRUE(screen->engine().trackLoaded());
    EXPECT_EQ(screen->trackView()->coordinatesArr().size(), 3u);
    screen->resetData();
    EXPECT_EQ(screen->trackView()->coordinatesArr().size(), 3u);
    EXPECT_TRUE(screen->trackLabel().isHidden());

    Manager::sharedManager().raceData().selectedTrackIndex = -1;
    screen->resetData();
    EXPECT_TRUE(screen->trackView()->coordinatesArr().empty());
    EXPECT_FALSE(screen->engine().trackLoaded());
    EXPECT_EQ(screen->trackLabel().text(), "No track");

    // Choosing "New track" in the list clears the saved outline when the screen comes back.
    Manager::sharedManager().raceData().selectedTrackIndex = 0;
    screen->viewDidAppear(false);
    EXPECT_TRUE(screen->engine().trackLoaded());
    Manager::sharedManager().raceData().selectedTrackIndex = -1;
    screen->viewDidAppear(false);
    EXPECT_FALSE(screen->engine().trackLoaded());
    EXPECT_TRUE(screen->trackView()->coordinatesArr().empty());
    EXPECT_FALSE(screen->trackLabel().isHidden());

    // A selection past the list (a track deleted elsewhere) loads nothing.
    Manager::sharedManager().raceData().selectedTrackIndex = 5;
    screen->viewDidAppear(false);
    EXPECT_FALSE(screen->engine().trackLoaded());
}

TEST_F(RaceViewControllerTest, MenuGesturesAndTheDroppingBar)
{
    auto screen = showRace();
    screen->openMenu();
    advance(0.5);
    EXPECT_TRUE(screen->isMenuOpen());
    EXPECT_DOUBLE_EQ(screen->view()->frame().origin.x, 190);
    EXPECT_FALSE(screen->pageView()->scrollView().isScrollEnabled());
    screen->closeMenu();
    advance(0.5);
    EXPECT_DOUBLE_EQ(screen->view()->frame().origin.x, 0);

    const double infY = screen->infView().frame().origin.y;
    screen->slideMenuBar();
    advance(0.5);
    EXPECT_TRUE(screen->tapDetected());
    EXPECT_DOUBLE_EQ(screen->infView().frame().origin.y, infY + 44);
    screen->slideMenuBar();  // a second tap changes nothing
    advance(0.5);
    EXPECT_DOUBLE_EQ(screen->infView().frame().origin.y, infY + 44);
    advance(1.0);
    EXPECT_FALSE(screen->tapDetected());
    EXPECT_DOUBLE_EQ(screen->infView().frame().origin.y, infY);
    EXPECT_DOUBLE_EQ(screen->topNavBar().frame().origin.y, -46);
}

TEST_F(RaceViewControllerTest, LandscapeHidesTheSidePanels)
{
    auto screen = showRace();
    ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
    screen->changeTheViewToPortrait(false, 0);
    EXPECT_TRUE(screen->gearView().isHidden());
    EXPECT_EQ(screen->gapView().superview(), screen->view().get());
    screen->changeTheViewToPortrait(true, 0);
    EXPECT_FALSE(screen->gearView().isHidden());
    EXPECT_EQ(screen->gapView().superview(), &screen->statView());
}

}  // namespace
