// The menu's connection against the simulator: automatic and manual modes, the status strip, drops and
// reconnection, the ECU choice, the warning lamp, and handing polling to the visible screen.

#include "ShellAppTest.h"

#include "core/Notifications.h"
#include "core/link/ELMScanner.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Label.h"
#include "platform/ui/VisibleText.h"
#include "shell/QueuedAlertController.h"
#include "support/LoopbackServer.h"

namespace {

using Power = MenuStatusView::Power;

TEST_F(ShellAppTest, AutomaticModeConnectsOnItsOwnAndStartsTheVisibleScreen)
{
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    MenuStatusView& status = root->statusView();
    EXPECT_EQ(status.statusText(), "Connecting...");
    EXPECT_EQ(status.power(), Power::Connecting);
    EXPECT_FALSE(status.isPowerButtonShown());

    ASSERT_TRUE(waitFor([&] { return probe->scans > 0; }));
    EXPECT_TRUE(link().isConnected());
    EXPECT_EQ(status.statusText(), "Connected");
    EXPECT_EQ(status.deviceName(), "ELM327 v1.5");
    EXPECT_EQ(status.power(), Power::On);
    EXPECT_EQ(probe->scans, 1);
    EXPECT_TRUE(probe->holdsLink()) << "the menu hands the link to the screen it starts";
}

TEST_F(ShellAppTest, ManualModeConnectsAndDisconnectsByThePowerButton)
{
    settings().connectionMode = 1;
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    MenuStatusView& status = root->statusView();
    EXPECT_TRUE(status.isPowerButtonShown());
    EXPECT_EQ(status.statusText(), "Disconnected");
    advance(RootController::reconnectDelay * 2);
    EXPECT_EQ(sim.connections(), 0);

    tap(status.powerButton());
    EXPECT_EQ(status.statusText(), "Connecting...");
    EXPECT_EQ(status.power(), Power::Connecting);
    ASSERT_TRUE(waitFor([&] { return probe->scans > 0; }));
    EXPECT_EQ(status.statusText(), "Connected");
    EXPECT_EQ(status.power(), Power::On);

    tap(status.powerButton());
    EXPECT_FALSE(link().isConnected());
    EXPECT_EQ(status.statusText(), "Disconnected");
    EXPECT_EQ(status.deviceName(), "");
    EXPECT_EQ(status.power(), Power::Off);
    advance(RootController::reconnectDelay * 2);
    EXPECT_FALSE(link().isConnected());
    EXPECT_EQ(sim.connections(), 1);
}

struct DropCase {
    const char* name;
    int connectionMode;
    bool reconnects;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const DropCase& c, std::ostream* os)
{
    *os << c.name;
}

class DroppedConnection : public ShellAppTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DroppedConnection, ShowsDisconnectedAndReconnectsOnlyInAutomaticMode)
{
    const DropCase& c = GetParam();
    settings().connectionMode = c.connectionMode;
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    if (c.connectionMode == 1)
        root->connect();
    ASSERT_TRUE(waitFor([&] { return probe->scans == 1; }));

    sim.injectFault(elmsim::Fault::Drop);
    link().setInitCommands({link().commandForOBD2(0x01, 0x0C, 255)}, true);
    ASSERT_TRUE(waitFor([&] { return !link().isConnected(); }));
    MenuStatusView& status = root->statusView();
    EXPECT_EQ(status.statusText(), "Connection lost: the adapter closed the connection");
    EXPECT_EQ(status.deviceName(), "");
    EXPECT_EQ(status.power(), Power::Off);

    // Not at once: the next attempt waits on the run loop's clock.
    advance(RootController::reconnectDelay - 0.1);
    EXPECT_EQ(status.power(), Power::Off);
    advance(0.2);
    if (!c.reconnects) {
        advance(RootController::reconnectDelay * 3);
        EXPECT_EQ(status.power(), Power::Off);
        EXPECT_EQ(sim.connections(), 1);
        return;
    }
    EXPECT_EQ(status.power(), Power::Connecting);
    ASSERT_TRUE(waitFor([&] { return probe->scans == 2; }));
    EXPECT_EQ(status.statusText(), "Connected");
    EXPECT_EQ(sim.connections(), 2);
}

INSTANTIATE_TEST_SUITE_P(Modes, DroppedConnection,
                         ::testing::Values(DropCase{"Automatic", 0, true}, DropCase{"Manual", 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The strip is hidden while a feature screen is shown: the screen itself says why the link went.
TEST_F(ShellAppTest, ADropIsToldOnTheScreenShown)
{
    settings().connectionMode = 1;
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    root->connect();
    ASSERT_TRUE(waitFor([&] { return probe->scans == 1; }));
    root->menuTable().layoutIfNeeded();
    tap(*root->menuTable().cellForRowAtIndexPath({0, 0}));
    advance(RootController::slideDuration);
    ASSERT_FALSE(root->isMenuOpen());

    sim.injectFault(elmsim::Fault::Drop);
    link().setInitCommands({link().commandForOBD2(0x01, 0x0C, 255)}, true);
    ASSERT_TRUE(waitFor([&] { return !link().isConnected(); }));
    advance(0.5);
    std::string shown;
    for (const std::string& line : ui::visibleTexts(window->window()))
        shown += line + " ";
    EXPECT_NE(shown.find("Connection lost: the adapter closed the connection"), std::string::npos) << shown;
}

// With no adapter at the address every attempt fails at once; the attempts must stay paced.
TEST_F(ShellAppTest, UnreachableAdapterIsRetriedAtTheReconnectPace)
{
    settings().port = testsupport::unusedLoopbackPort();
    int drops = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [&](const fnd::Notification&) { ++drops; });
    showMenu({std::make_shared<ProbeScreen>()}, {"Gauge list"});
    ASSERT_TRUE(waitFor([&] { return drops == 1; }));
    EXPECT_EQ(root->statusView().statusText().rfind("Cannot reach the adapter at 127.0.0.1:", 0), 0u);

    for (int i = 0; i < 10; ++i) {
        advance(RootController::reconnectDelay);
        ASSERT_TRUE(waitFor([&] { return drops == i + 2; }));
    }
    advance(RootController::reconnectDelay / 2);
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(drops, 11);
}

enum class Failure { NobodyListens, ClosesTheConnection, NeverAnswers, CarDoesNotAnswer, AdapterTypeWithoutTransport };

struct FailureCase {
    const char* name;
    Failure failure;
    const char* shown;  // how the strip's text begins
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailureOnTheStrip : public ShellAppTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    void arrange(Failure failure)
    {
        switch (failure) {
        case Failure::NobodyListens: settings().port = testsupport::unusedLoopbackPort(); break;
        case Failure::NeverAnswers: sim.injectFault(elmsim::Fault::Stall); break;
        case Failure::CarDoesNotAnswer: sim.injectFault(elmsim::Fault::UnableToConnect); break;
        case Failure::AdapterTypeWithoutTransport: settings().deviceMode = 2; break;
        case Failure::ClosesTheConnection: break;
        }
    }

    void provoke(Failure failure)
    {
        if (failure == Failure::ClosesTheConnection) {
            ASSERT_TRUE(waitFor([] { return link().isConnected(); }));
            sim.injectFault(elmsim::Fault::Drop);
            link().sendCommand(link().commandForOBD2(0x01, 0x0C, 255));
        } else if (failure == Failure::NeverAnswers) {
            ASSERT_TRUE(waitFor([&] { return requestCount("0100") > 0; }));
            advance(ELMScanner::searchTimeout);
        }
    }
};

// Each way a connection fails leaves its own reason on the menu's strip, readable in full, until the
// next attempt.
TEST_P(FailureOnTheStrip, ReasonStaysUntilTheNextAttempt)
{
    const FailureCase& c = GetParam();
    settings().connectionMode = 1;
    arrange(c.failure);
    showMenu({std::make_shared<ProbeScreen>()}, {"Gauge list"});
    int drops = 0;
    const auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [&](const fnd::Notification&) { ++drops; });
    root->connect();
    provoke(c.failure);
    ASSERT_TRUE(waitFor([&] { return drops == 1; }));
    advance(RootController::reconnectDelay * 2);
    window->window().layoutIfNeeded();

    MenuStatusView& status = root->statusView();
    const ui::Label& label = status.statusLabel();
    EXPECT_EQ(label.text().rfind(c.shown, 0), 0u) << label.text();
    EXPECT_EQ(label.text(), link().statusText());
    EXPECT_FALSE(label.isHidden());
    EXPECT_EQ(status.power(), Power::Off);
    const ui::Font font = ui::Font::boldSystemFont(label.fittedFontSize());
    EXPECT_LE(ui::measureText(label.text(), font, label.bounds().width()).height, label.bounds().height())
        << "the whole reason is on view: " << label.text();

    root->connect();
    EXPECT_EQ(status.statusText(), "Connecting...");
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, FailureOnTheStrip,
    ::testing::Values(
        FailureCase{"NobodyListens", Failure::NobodyListens, "Cannot reach the adapter at 127.0.0.1:"},
        FailureCase{"ClosesTheConnection", Failure::ClosesTheConnection,
                    "Connection lost: the adapter closed the connection"},
        FailureCase{"NeverAnswers", Failure::NeverAnswers, "The adapter did not answer"},
        FailureCase{"CarDoesNotAnswer", Failure::CarDoesNotAnswer, "Unable to connect to the vehicle"},
        FailureCase{"AdapterTypeWithoutTransport", Failure::AdapterTypeWithoutTransport,
                    "This adapter type has no transport here"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellAppTest, SeveralECUsAreOfferedAndTheChosenOneIsUsed)
{
    sim.setOptions([](elmsim::AdapterOptions& options) { options.ecuCount = 2; });
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    ASSERT_TRUE(waitFor([] { return AlertQueue::current() != nullptr; }));
    const auto sheet = AlertQueue::current();
    EXPECT_EQ(sheet->preferredStyle(), ui::AlertControllerStyle::ActionSheet);
    EXPECT_EQ(sheet->actionTitles(), (std::vector<std::string>{"7E8", "7E9"}));
    EXPECT_EQ(root->statusView().statusText(), "Choose the ECU");
    EXPECT_FALSE(link().isConnected());

    ASSERT_TRUE(sheet->triggerAction("7E9"));
    ASSERT_TRUE(waitFor([&] { return probe->scans > 0; }));
    EXPECT_EQ(link().selectedECU(), 0x7E9);
}

struct LampCase {
    const char* name;
    std::vector<std::string> storedCodes;
    bool lampShown;
};

void PrintTo(const LampCase& c, std::ostream* os)
{
    *os << c.name;
}

class WarningLamp : public ShellAppTest, public ::testing::WithParamInterface<LampCase> {};

TEST_P(WarningLamp, FollowsTheCarUntilTheTroubleCodeScreenResetsIt)
{
    const LampCase& c = GetParam();
    sim.updateCar([&](elmsim::CarState& car) { car.storedCodes = c.storedCodes; });
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    ASSERT_TRUE(waitFor([&] { return probe->scans > 0; }));
    ASSERT_TRUE(waitForAnswers());
    EXPECT_EQ(root->statusView().isMilShown(), c.lampShown);

    root->resetMil();
    EXPECT_FALSE(root->statusView().isMilShown());
}

INSTANTIATE_TEST_SUITE_P(Cars, WarningLamp,
                         ::testing::Values(LampCase{"NoCodes", {}, false},
                                           LampCase{"StoredCodes", {"P0301", "P0420"}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Polling starts as the adapter has initialised, without waiting for the lamp's reply; a car that does
// not answer the lamp's request leaves the lamp off.
TEST_F(ShellAppTest, PollingStartsWithoutWaitingForTheLamp)
{
    sim.updateCar([](elmsim::CarState& car) { car.missingPids = {0x01}; });
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    ASSERT_TRUE(waitFor([&] { return link().isConnected(); }));
    EXPECT_EQ(probe->scans, 1);
    ASSERT_TRUE(waitFor([&] { return requestCount("0101") == 1; }));
    EXPECT_FALSE(root->statusView().isMilShown());
}

// The lamp's reply reaches the menu even though the screen holds the link by then.
TEST_F(ShellAppTest, LampReplyReachesTheMenuWhileTheScreenHoldsTheLink)
{
    sim.updateCar([](elmsim::CarState& car) { car.storedCodes = {"P0301"}; });
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    ASSERT_TRUE(waitFor([&] { return root->statusView().isMilShown(); }));
    EXPECT_TRUE(probe->holdsLink());
}

// The address given on the command line is used, and never saved over the stored one.
TEST_F(ShellAppTest, AdapterOverrideIsUsedButNotStored)
{
    settings().connectionMode = 1;
    settings().hostIP = "192.0.2.1";
    settings().port = 9;
    auto probe = std::make_shared<ProbeScreen>();
    showMenu({probe}, {"Gauge list"});
    Manager::sharedManager().setAdapterOverride(AdapterAddress{"127.0.0.1", sim.port()});
    root->connect();
    ASSERT_TRUE(waitFor([&] { return probe->scans > 0; }));
    EXPECT_EQ(settings().hostIP, "192.0.2.1");
    EXPECT_EQ(settings().port, 9u);

    ASSERT_TRUE(Manager::sharedManager().saveChanges());
    root.reset();
    window.reset();
    Manager::resetForTesting();
    EXPECT_EQ(settings().hostIP, "192.0.2.1");
    EXPECT_EQ(settings().port, 9u);
}

}  // namespace
