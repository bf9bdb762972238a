// The readiness, freeze frame, vehicle information and terminal tabs against the adapter simulator.

#include "DiagnosticsTest.h"

#include "diagnostics/CommandViewController.h"
#include "diagnostics/DiagViewController.h"
#include "diagnostics/FreezeViewController.h"
#include "diagnostics/InfoViewController.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Toast.h"
#include "shell/VersionTracking.h"

#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

template <typename Screen>
std::shared_ptr<Screen> linked(const std::shared_ptr<Scanner>& link)
{
    auto screen = std::make_shared<Screen>();
    screen->setScanner(link);
    return screen;
}

class TabScreenTest : public DiagnosticsTest {};

TEST_F(TabScreenTest, ReadinessAsksOnceAndShowsEachMonitor)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.readinessB = 0x17;
        s.readinessC = 0x65;
        s.readinessD = 0x01;
    });
    auto screen = linked<DiagViewController>(link);
    show(screen);
    EXPECT_EQ(screen->testStates(), Strings(11, fnd::L("Unavailable"))) << "nothing is read while disconnected";
    EXPECT_TRUE(sim.requests().empty());

    // The adapter becomes ready while the tab is on view: it reads then.
    ASSERT_TRUE(connect());
    ASSERT_TRUE(waitFor([&] { return screen->readings()[0] != MonitorState::Unsupported; }));
    EXPECT_EQ(requestCount("0101"), 1);
    EXPECT_TRUE(link->isStatusBlocked());
    const Strings expected{"Incomplete", "Complete",    "Complete",    "Incomplete", "Unavailable", "Complete",
                           "Unavailable", "Unavailable", "Complete", "Complete",   "Unavailable"};
    Strings localized;
    for (const auto& text : expected)
        localized.push_back(fnd::L(text));
    EXPECT_EQ(screen->testStates(), localized);

    root->setRootViewController(std::make_shared<ui::ViewController>());
    advance(0.5);
    EXPECT_FALSE(link->isStatusBlocked());
    EXPECT_FALSE(screen->holdsLink());
}

TEST_F(TabScreenTest, LeavingAfterTheLinkDroppedLetsTheStatusRequestsResume)
{
    ASSERT_TRUE(connect());
    auto screen = linked<FreezeViewController>(link);
    show(screen);
    ASSERT_TRUE(link->isStatusBlocked());
    sim.stop();
    ASSERT_TRUE(waitFor([&] { return !link->isConnected(); }));
    root->setRootViewController(std::make_shared<ui::ViewController>());
    advance(0.5);
    EXPECT_FALSE(link->isStatusBlocked()) << "the next connection must warn again";
    EXPECT_FALSE(screen->holdsLink());
}

TEST_F(TabScreenTest, FreezeFrameReadsTheCodeThenTheFrame)
{
    VersionTracking::track("1.0", "1");
    sim.updateCar([](elmsim::CarState& s) {
        s.rpm = 1726.5;
        s.coolant = 90;
        s.storedCodes = {"P0171"};
    });
    sim.updateCar([](elmsim::CarState& s) { s.rpm = 3000; });  // live values move on; the frame stays
    ASSERT_TRUE(connect());
    auto screen = linked<FreezeViewController>(link);
    show(screen);
    const auto hint = ui::visibleToast(*screen->view());
    ASSERT_TRUE(hint) << "the first launch explains the freeze frame";
    EXPECT_EQ(hint->message(), fnd::L("freeze msg"));
    ASSERT_TRUE(waitFor([&] { return requestCount("021100") == 1; }));
    ASSERT_TRUE(drain());
    EXPECT_EQ(requestCount("020200"), 1);
    EXPECT_EQ(screen->dtcLabel().text(), "P0171");
    EXPECT_EQ(screen->descLabel().text(), "Lean Air/fuel mixture");
    EXPECT_EQ(screen->dataArr()[8], "1726 rpm");
    EXPECT_EQ(screen->dataArr()[1], "90 \u00B0C");
    EXPECT_TRUE(screen->spinner().isAnimating());
    advance(FreezeViewController::loadingPeriod);
    EXPECT_FALSE(screen->spinner().isAnimating());
    advance(FreezeViewController::explanationPeriod);

    root->setRootViewController(std::make_shared<ui::ViewController>());
    advance(0.5);
    root->setRootViewController(navigation);
    advance(0.5);
    EXPECT_TRUE(ui::visibleToast(*screen->view())) << "explained at every visit of the first launch";
}

TEST_F(TabScreenTest, FreezeFrameWithoutAFrameKeepsTheUnits)
{
    ASSERT_TRUE(connect());
    auto screen = linked<FreezeViewController>(link);
    show(screen);
    ASSERT_TRUE(waitFor([&] { return requestCount("020200") == 1; }) && drain());
    EXPECT_EQ(requestCount("020400"), 0) << "no reply to the code, no value requests";
    EXPECT_EQ(screen->dtcLabel().text(), "N/A");
    EXPECT_EQ(screen->dataArr()[0], "%");
    EXPECT_EQ(screen->dataArr()[12], "gr/s");
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0071"}; });
    sim.injectFault(elmsim::Fault::OddBytes, 1, "0202");
    leave();
    root->setRootViewController(navigation);
    ASSERT_TRUE(waitFor([&] { return requestCount("021100") == 1; }) && drain());
    EXPECT_NE(screen->dataArr()[12], "gr/s");
}

TEST_F(TabScreenTest, InfoCyclesVehicleInformationAndMetrics)
{
    Manager::sharedManager().setting().fastPollingEnabled = true;
    link->setSettings([&] {
        LinkSettings settings = link->settings();
        settings.fastPolling = true;
        return settings;
    }());
    sim.updateCar([](elmsim::CarState& s) {
        s.vin = std::string("\x01") + "1D4GP00R55B123456";
        s.fuelType = 4;
        s.runTime = 3600;
        s.minutesSinceClear = 1500;
        s.distanceWithMil = 258;
        s.calibrationVerification = {0x1791BC82, 0x0A0B0C0D};
        s.ecuName = "ECM-EngineControl";
    });
    ASSERT_TRUE(connect());
    auto screen = linked<InfoViewController>(link);
    show(screen);
    ASSERT_TRUE(waitFor([&] { return requestCount("0151") == 2; }));
    // Counted up to the second round's last request: the third round may have begun by now.
    const auto log = sim.requests();
    const auto secondRoundEnd = std::find(std::find(log.begin(), log.end(), "0151") + 1, log.end(), "0151");
    EXPECT_EQ(std::count(log.begin(), secondRoundEnd, "0902"), 2) << "the list repeats, without the one-reply suffix";
    EXPECT_TRUE(Manager::sharedManager().setting().fastPollingEnabled) << "the setting is left alone";
    EXPECT_FALSE(link->isStatusBlocked());
    EXPECT_EQ(screen->vehicleTexts(), (Strings{"1D4GP00R55B123456", "NVSIM-CAL-0001", "1791BC82 0A0B0C0D",
                                               "ECM-EngineControl"}));
    EXPECT_EQ(screen->infoArrData()[0], "Diesel");
    EXPECT_EQ(screen->infoArrData()[1], "Closed loop, using O2 sensor for feedback");
    EXPECT_EQ(screen->infoArrData()[2], "From outside atmosphere or off");
    EXPECT_EQ(screen->infoArrData()[3], "01 hours 00 minutes");
    EXPECT_EQ(screen->infoArrData()[4], "258 km");
    EXPECT_EQ(screen->infoArrData()[5], "12 ");
    EXPECT_EQ(screen->infoArrData()[8], "01 days 01 hours 00 minutes");
    EXPECT_TRUE(screen->spinner().isAnimating());
    advance(InfoViewController::loadingPeriod);
    EXPECT_FALSE(screen->spinner().isAnimating());
}

// The older protocols number the lines of each item; the texts come out the same.
TEST_F(TabScreenTest, InfoOnALegacyProtocol)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.carProtocol = 3; });
    sim.updateCar([](elmsim::CarState& s) { s.calibrationVerification = {0x1791BC82}; });
    ASSERT_TRUE(connect());
    auto screen = linked<InfoViewController>(link);
    show(screen);
    ASSERT_TRUE(waitFor([&] { return requestCount("0151") == 1; }) && drain());
    EXPECT_EQ(screen->vehicleTexts(), (Strings{"1D4GP00R55B123456", "NVSIM-CAL-0001", "1791BC82", "ECM-EngineControl"}));
}

class TerminalTest : public DiagnosticsTest {
protected:
    void sendTyped(const std::string& text)
    {
        const auto before = sim.requests().size();
        screen->commandTextField().setText(text);
        screen->sendCode();
        ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before; }) && drain());
    }
    std::shared_ptr<CommandViewController> screen = std::make_shared<CommandViewController>();
};

TEST_F(TerminalTest, ShowsEachReplyUnderTheRequestSent)
{
    ASSERT_TRUE(connect());
    screen->setScanner(link);
    link->setInitCommands({link->commandForOBD2(1, 0x0C, 255)}, true);
    show(screen);
    EXPECT_FALSE(link->commands()) << "the live list stops";
    EXPECT_EQ(screen->consoleView().text(), "ELM327 v1.5");

    sendTyped("0100");
    EXPECT_EQ(fnd::SystemSound::played(), std::vector<int>{1103});
    sendTyped("AT RV");
    sendTyped("0902");
    sendTyped("ATI");
    sendTyped("22F190");
    const std::string console = screen->consoleView().text();
    EXPECT_NE(console.find("> 0100\n> 41 00 "), std::string::npos) << console;
    EXPECT_NE(console.find("> AT RV\n> 12.6V"), std::string::npos) << console;
    EXPECT_NE(console.find("> 0902\n> 49 02 01 31 44 34"), std::string::npos) << console;
    EXPECT_NE(console.find("> ATI\n> ELM327 v1.5"), std::string::npos) << console;
    EXPECT_NE(console.find("> 22F190\n> NO DATA"), std::string::npos) << console;
}

TEST_F(TerminalTest, OneLinePerEcuAndAtMostAThousandLines)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.ecuCount = 2; });
    ASSERT_TRUE(connect());
    screen->setScanner(link);
    show(screen);
    sendTyped("0100");
    ASSERT_TRUE(drain());  // so the reply to the first drain's "AT RV" is on the console too
    std::string console = screen->consoleView().text();
    // (The test's own "AT RV" follows each request.)
    const std::size_t request = console.find("> 0100\n");
    ASSERT_NE(request, std::string::npos) << console;
    const std::size_t engine = console.find("\n> 41 00 ", request);
    const std::size_t second = console.find("\n> 41 00 ", engine + 1);
    const std::size_t next = console.find("\n> AT RV", request);
    EXPECT_TRUE(engine < second && second < next && next != std::string::npos) << console;

    for (int i = 0; i < 510; ++i)
        screen->scannerDidReceiveReply(*link, "ATI", {}, {"ELM327 v1.5"});
    console = screen->consoleView().text();
    EXPECT_EQ(std::count(console.begin(), console.end(), '\n') + 1, static_cast<long>(CommandViewController::maxConsoleLines));
    EXPECT_EQ(console.rfind("> ELM327 v1.5"), console.size() - 13);
}

// Typed commands that change the adapter's settings are undone for the next screen.
TEST_F(TerminalTest, LeavingAfterSettingChangesSetsTheAdapterUpAgain)
{
    ASSERT_TRUE(connect());
    screen->setScanner(link);
    show(screen);
    sendTyped("ATS0");
    sendTyped("ATH0");
    sim.clearRequests();
    auto readiness = linked<DiagViewController>(link);
    root->setRootViewController(std::make_shared<ui::NavigationController>(readiness));
    advance(0.5);
    ASSERT_TRUE(waitFor([&] { return readiness->readings()[0] != MonitorState::Unsupported; }));
    const auto requests = sim.requests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0], "AT D");
    EXPECT_NE(std::find(requests.begin(), requests.end(), "AT H1"), requests.end());
}

TEST_F(TerminalTest, RefusesOtherAdaptersAndSaysWhenDisconnected)
{
    Settings& settings = Manager::sharedManager().setting();
    screen->setScanner(link);
    show(screen);
    screen->commandTextField().setText("0100");
    screen->sendCode();
    advance(0.5);
    auto alert = ui::AlertController::visible();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), fnd::L("Connection error"));
    EXPECT_EQ(alert->message(), "No connection to host 127.0.0.1:" + std::to_string(settings.port));
    ui::AlertController::dismissAll();

    ASSERT_TRUE(connect());
    settings.deviceMode = 4;
    sim.clearRequests();
    screen->sendCode();
    advance(0.5);
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), "This feature is only available to ELM327 adapters at the moment.");
    ASSERT_TRUE(drain());
    EXPECT_EQ(sim.requests(), Strings{"AT RV"}) << "nothing typed was sent";
}

// Started with another adapter address than the saved one (--adapter), the error names the one in use.
TEST_F(TerminalTest, ConnectionErrorNamesTheAdapterInUse)
{
    Settings& settings = Manager::sharedManager().setting();
    settings.hostIP = "192.168.0.10";
    settings.port = 35000;
    Manager::sharedManager().setAdapterOverride(AdapterAddress{"127.0.0.1", sim.port()});
    makeLink();
    screen->setScanner(link);
    show(screen);
    testsupport::tap(window(), screen->commandTextField());
    ASSERT_TRUE(testsupport::type(window(), "0100"));
    ASSERT_TRUE(testsupport::tapText(window(), "Send"));
    advance(0.5);
    std::string shown;
    for (const std::string& line : testsupport::texts(window()))
        shown += line + " ";
    EXPECT_NE(shown.find("No connection to host 127.0.0.1:" + std::to_string(sim.port())), std::string::npos) << shown;
    EXPECT_EQ(shown.find("192.168.0.10"), std::string::npos) << shown;
    EXPECT_TRUE(sim.requests().empty());
}

}  // namespace
