// Both screens against the adapter simulator on loopback, through the real link.
#include <gtest/gtest.h>

#include "LoggingTest.h"
#include "core/Notifications.h"
#include "core/model/DataStore.h"
#include "support/SimulatorFixture.h"
#include "logging/ListViewController.h"
#include "logging/ScrollGraphViewController.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Paths.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "shell/editors/FormulaParser.h"

namespace {

using loggingtests::advance;
using loggingtests::ScreenTest;

class AgainstSimulator : public ScreenTest, protected testsupport::SimulatorFixture {
protected:
    AgainstSimulator()
    {
        EXPECT_TRUE(startSimulator());
        sim.updateCar([](elmsim::CarState& s) {
            s.rpm = 2000;
            s.speed = 50;
            s.maf = 0;
            s.load = 50;
            s.map = 100;
            s.baro = 101;
            s.turbo = true;
            s.customPids = {{0x1122, {0x40, 0x02}}};
        });
        LinkSettings linkSettings;
        linkSettings.adapter = {"127.0.0.1", sim.port()};
        linkSettings.temperatureWarning = true;
        realLink = Scanner::ScannerForMode(0, linkSettings);
        realLink->setSupportedPIDsSink(
            [](const SupportedPIDs& pids) { DataStore::sharedDataStore().setSupportedPIDs(pids); });
        droppedToken = fnd::NotificationCenter::defaultCenter().addObserver(
            connectionDroppedNotification, [this](const fnd::Notification&) { ++dropped; });
        realLink->connect();
        EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return realLink->isConnected(); }));
    }
    ~AgainstSimulator() override
    {
        closeWindow();
        realLink->disconnect();
        sim.stop();
    }

    template <typename Screen>
    void showOnRealLink(const std::shared_ptr<Screen>& screen)
    {
        screen->setScanner(realLink);
        makeWindow();
        WindowFixture::show(screen, 0.5);
    }

    // Lets the link run until `done`, the clock moving a little between reads so animations settle.
    bool waitFor(const std::function<bool()>& done)
    {
        for (int i = 0; i < 400 && !done(); ++i) {
            fnd::RunLoop::main().runUntil(done, 0.05);
            advance(0.05);
        }
        return done();
    }

    std::shared_ptr<Scanner> realLink;
    int dropped = 0;
    fnd::NotificationCenter::Token droppedToken;
};

TEST_F(AgainstSimulator, TheListShowsLiveValuesOfEveryKindOfSensor)
{
    Pid custom;
    custom.mode = 0x22;
    custom.pid = 0x11;
    custom.pid2 = 0x22;
    custom.sName = "Custom";
    custom.max = 1000;
    custom.root = std::get<std::shared_ptr<const Node>>(FormulaParser::parse("A*4+B"));
    userData().addPid(custom);
    userData().unitsArr[96] = 1;
    settings().gaugeListArr = {8, 96, 87, 88, 101, 95};
    auto list = std::make_shared<ListViewController>();
    showOnRealLink(list);
    const auto text = [&](int row) {
        GaugeCell* cell = list->cellForRow(row);
        return cell ? cell->valLabel().text() : std::string();
    };
    EXPECT_TRUE(waitFor([&] { return text(0) == "2.0"; })) << text(0);
    EXPECT_TRUE(waitFor([&] { return text(1) == "0.39"; })) << "turbo boost above the barometer: " << text(1);
    EXPECT_TRUE(waitFor([&] { return text(2) == "500"; })) << "exhaust gas from a multi-frame reply: " << text(2);
    EXPECT_TRUE(waitFor([&] { return text(3) == "460"; })) << text(3);
    EXPECT_TRUE(waitFor([&] { return text(4) == "258"; })) << "service 22 custom PID: " << text(4);
    EXPECT_TRUE(waitFor([&] { return text(5) == "3553"; })) << "no air flow: " << text(5);
    const auto requests = sim.requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), "221122"), requests.end());
}

TEST_F(AgainstSimulator, HotCoolantFromTheStatusRequestsRaisesOneAlert)
{
    sim.updateCar([](elmsim::CarState& s) { s.coolant = 118; });
    settings().gaugeListArr = {8};
    auto list = std::make_shared<ListViewController>();
    showOnRealLink(list);
    const auto coolantRequests = [&] {
        const auto log = sim.requests();
        return std::count_if(log.begin(), log.end(), [](const std::string& r) { return r.rfind("0105", 0) == 0; });
    };
    for (int i = 1; i <= 3; ++i) {
        realLink->updateWarning();
        EXPECT_TRUE(waitFor([&] { return coolantRequests() >= i; }));
        advance(0.5);
    }
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(), "High coolant temperature\n 118");
    EXPECT_EQ(ui::AlertController::queuedCount(), 0u);
}

TEST_F(AgainstSimulator, ALongRecordingKeepsOnlyTheRowsNotYetWritten)
{
    settings().graphListArr = {8, 9};
    settings().graphLineColorArr = {0, 1};
    auto screen = std::make_shared<ScrollGraphViewController>();
    showOnRealLink(screen);
    tap(screen->recordSwitch());
    ASSERT_TRUE(screen->isRecording());
    const auto file = fnd::Paths::documents() / "datalog.csv";
    const auto lines = [&] {
        const std::string text = fnd::readFile(file).value_or("");
        return std::count(text.begin(), text.end(), '\n');
    };
    std::size_t most = 0;
    for (int second = 0; second < 40; ++second) {
        const std::size_t samples = screen->graph(0).sampleCount();
        ASSERT_TRUE(waitFor([&] { return screen->graph(0).sampleCount() >= samples + 4; }));
        most = std::max(most, screen->recordedRowsInMemory());
        advance(Recording::flushInterval);
    }
    EXPECT_GE(lines(), 2 + 40 * 3) << "the file grows with every second";
    EXPECT_LE(most, 30u) << "rows already on disk are not kept";
    leave();
    EXPECT_FALSE(screen->isRecording());
}

TEST_F(AgainstSimulator, ALinkDropMidRecordingSavesTheRecording)
{
    settings().graphListArr = {8, 9};
    settings().graphLineColorArr = {0, 1};
    auto screen = std::make_shared<ScrollGraphViewController>();
    showOnRealLink(screen);
    screen->recordSwitch().setOn(true);
    screen->recordData();
    ASSERT_TRUE(screen->isRecording());
    ASSERT_TRUE(waitFor([&] { return screen->graph(1).sampleCount() >= 3; }));
    sim.injectFault(elmsim::Fault::Drop);
    ASSERT_TRUE(waitFor([&] { return dropped > 0; }));
    EXPECT_FALSE(screen->isRecording());
    EXPECT_FALSE(screen->recordSwitch().isOn());
    const std::string file = fnd::readFile(fnd::Paths::documents() / "datalog.csv").value_or("");
    EXPECT_NE(file.find("2000,50,"), std::string::npos) << file;
    advance(1);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_NE(ui::AlertController::visible()->message().find(fnd::Paths::documents().string()), std::string::npos);
}

}  // namespace
