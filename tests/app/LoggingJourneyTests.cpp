// The gauge list and the logging screen from launch to outcome, against the simulated car on loopback,
// at phone and pad sizes: the values a user reads, the logs left in Documents.

#include "shell/app/ShellAppTest.h"

#include <filesystem>
#include <map>

#include "app/Features.h"
#include "logging/ListGaugeView.h"
#include "logging/ListViewController.h"
#include "logging/ScrollGraphViewController.h"
#include "platform/foundation/FileIO.h"
#include "support/LoopbackServer.h"
#include "platform/foundation/Paths.h"
#include "support/MailRecorder.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "support/ScreenShape.h"

namespace {

class Journey : public ShellAppTest, public ::testing::WithParamInterface<testsupport::ScreenShape> {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        sim.updateCar([](elmsim::CarState& car) {
            car.rpm = 2000;
            car.speed = 50;
            car.missingPids = {0x11};  // the car answers NO DATA for the throttle
        });
        GetParam().apply();
    }

    // Launches the app, waits for the adapter and opens a menu entry.
    template <typename Screen>
    Screen& launchOn(const char* entry)
    {
        launchApp(appScreens());
        EXPECT_TRUE(runFor([&] { return link().isConnected(); }));
        EXPECT_EQ(app->openScreen(entry), std::nullopt);
        advance(1);
        window->window().layoutIfNeeded();
        auto* screen = dynamic_cast<Screen*>(&app->rootController()->selectedViewController());
        EXPECT_NE(screen, nullptr) << entry;
        return *screen;
    }
    // Lets the link and the clock run until `done`.
    bool runFor(const std::function<bool()>& done)
    {
        for (int i = 0; i < 600 && !done(); ++i) {
            fnd::RunLoop::main().runUntil(done, 0.05);
            advance(0.05);
        }
        return done();
    }
    bool shows(const std::string& text) { return testsupport::shows(window->window(), text); }

    testsupport::MailRecorder outbox;
};

TEST_P(Journey, TheGaugeListShowsLiveValuesAndNoNumberForARefusedPid)
{
    settings().gaugeListArr = {8, 9, 13};  // engine speed, road speed, throttle
    auto& list = launchOn<ListViewController>("Gauge list");
    const auto number = [&](int row) {
        GaugeCell* cell = list.cellForRow(row);
        return cell ? cell->valLabel().text() : std::string("<off screen>");
    };
    EXPECT_TRUE(runFor([&] { return number(0) == "2.0" && number(1) == "50"; }))
        << number(0) << " " << number(1);
    EXPECT_TRUE(shows("2.0"));
    EXPECT_TRUE(runFor([&] { return requestCount("0111") >= 3; })) << "the throttle is asked for";
    EXPECT_EQ(number(2), "--") << "NO DATA is no reading, not a zero";
    EXPECT_EQ(list.cellForRow(2)->gView().litSegmentCount(), 0);
}

TEST_P(Journey, TwoRecordingsLeaveTwoLogsWithTheirOwnRows)
{
    settings().graphListArr = {8, 9};
    settings().graphLineColorArr = {0, 1};
    auto& logging = launchOn<ScrollGraphViewController>("Logging");
    const auto record = [&](double rpm) {
        sim.updateCar([rpm](elmsim::CarState& car) { car.rpm = rpm; });
        const std::size_t before = logging.graph(1).sampleCount();
        ASSERT_TRUE(runFor([&] { return logging.graph(1).sampleCount() > before + 2; }));
        tap(logging.recordSwitch());
        ASSERT_TRUE(logging.isRecording());
        advance(0.5);
        EXPECT_TRUE(shows("Recording has started"));
        const std::size_t started = logging.graph(1).sampleCount();
        ASSERT_TRUE(runFor([&] { return logging.graph(1).sampleCount() >= started + 5; }));
        advance(1);
        tap(logging.recordSwitch());
        ASSERT_FALSE(logging.isRecording());
        advance(1);
    };
    record(2000);
    record(3000);
    ASSERT_EQ(outbox.mails.size(), 2u) << "each recording is mailed";

    std::map<std::string, std::string> logs;
    for (const auto& entry : std::filesystem::directory_iterator(fnd::Paths::documents()))
        if (entry.path().filename().string().rfind("datalog", 0) == 0)
            logs[entry.path().filename().string()] = fnd::readFile(entry.path()).value_or("");
    ASSERT_EQ(logs.size(), 2u) << ::testing::PrintToString(logs);
    const std::string current = logs.at("datalog.csv");
    EXPECT_NE(current.find("\n3000,50,"), std::string::npos) << current;
    EXPECT_EQ(current.find("2000,"), std::string::npos) << "only the second recording's rows";
    logs.erase("datalog.csv");
    const std::string earlier = logs.begin()->second;
    EXPECT_NE(earlier.find("\n2000,50,"), std::string::npos) << logs.begin()->first << ":\n" << earlier;
    EXPECT_EQ(earlier.find("3000,"), std::string::npos);
    EXPECT_EQ(outbox.mails[0].attachments.at(0).data, earlier) << "the first mail holds the log kept aside";
}

TEST_P(Journey, LeavingThroughTheMenuWhileLoggingToTcpSaysConnectionClosed)
{
    testsupport::LoopbackServer server([](testsupport::LoopbackConnection& c) {
        while (!c.readSome().empty()) {
        }
    });
    settings().loggerInterface = 1;
    settings().loggerIP = "127.0.0.1";
    settings().loggerPort = server.port();
    tap(launchOn<ScrollGraphViewController>("Logging").recordSwitch());
    ASSERT_TRUE(runFor([&] { return server.connectionsAccepted() > 0; }));
    swipe(10, GetParam().size.width * 0.7);
    advance(1);
    ASSERT_TRUE(testsupport::tapText(window->window(), "Gauge list"));
    advance(0.5);
    EXPECT_TRUE(shows("Connection closed"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, Journey,
                         ::testing::Values(testsupport::phonePortrait, testsupport::pad),
                         testsupport::shapeName);

}  // namespace
