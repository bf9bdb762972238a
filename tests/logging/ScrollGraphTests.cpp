#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <map>

#include "LoggingTest.h"
#include "logging/GraphSettingViewCon.h"
#include "logging/LoggerSettViewCon.h"
#include "logging/ScrollGraphViewController.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"
#include "support/MailRecorder.h"
#include "support/TestSupport.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"
#include "shell/editors/SensorSelectViewController.h"
#include "support/LoopbackServer.h"
#include "support/ReferenceImage.h"

namespace {

using loggingtests::advance;
using loggingtests::reply;
using loggingtests::ScreenTest;
using loggingtests::voltage;

class LoggingScreen : public ScreenTest {
protected:
    // One chart, engine speed, recorded to the TCP logging server at this loopback port.
    static void chartEngineSpeedLoggingTo(std::uint16_t port)
    {
        settings().graphListArr = {8};
        settings().graphLineColorArr = {0};
        settings().loggerInterface = 1;
        settings().loggerIP = "127.0.0.1";
        settings().loggerPort = port;
    }

    void flip()
    {
        screen->recordSwitch().setOn(!screen->recordSwitch().isOn());
        screen->recordData();
        advance(0.5);
    }

    std::shared_ptr<ScrollGraphViewController> screen = std::make_shared<ScrollGraphViewController>();
    testsupport::MailRecorder outbox;
};

TEST_F(LoggingScreen, PollsEveryChartAndFeedsEachOfAPid)
{
    DataStore::sharedDataStore().setSupportedPIDs(0x60, 1u << 29);  // 0x63: horsepower asks engine speed first
    settings().graphListArr = {8, 8, 97};
    settings().graphLineColorArr = {0, 1, 2};
    show(screen);
    EXPECT_EQ(link->delegate().get(), screen.get());
    EXPECT_EQ(link->requestTexts(), (std::vector<std::string>{"010c", "010c", "010c", "0163"}));
    screen->didReceiveResponse({reply(0x0C, {0x1A, 0xF8})});
    EXPECT_EQ(screen->graph(0).value(), 1726);
    EXPECT_EQ(screen->graph(1).value(), 1726);
    EXPECT_EQ(screen->graph(0).sampleCount(), 1u);
}

TEST_F(LoggingScreen, AnEmptyListHandsNothingOverAndRefusesToRecord)
{
    settings().graphListArr = {};
    settings().graphLineColorArr = {};
    show(screen);
    EXPECT_FALSE(screen->emptyLabel().isHidden());
    EXPECT_FALSE(link->commands());
    flip();
    EXPECT_FALSE(screen->isRecording());
    EXPECT_FALSE(screen->recordSwitch().isOn());
    ASSERT_NE(ui::AlertController::visible(), nullptr);
}

TEST_F(LoggingScreen, BatteryAndCustomChartsTakeTheirValues)
{
    Pid pid;
    pid.mode = 0x22;
    pid.pid = 0x11;
    pid.pid2 = 0x22;
    pid.sName = "Trans";
    userData().addPid(pid);
    settings().graphListArr = {98, 101, 98};
    settings().graphLineColorArr = {0, 1, 2};
    show(screen);
    screen->scannerDidReceiveVoltage(*link, {voltage("12.4V")});
    EXPECT_FLOAT_EQ(screen->graph(0).value(), 12.4f);
    EXPECT_EQ(screen->graph(2).sampleCount(), 0u) << "only the first battery chart is fed";
    EXPECT_EQ(link->requestTexts()[1], "221122");
}

TEST_F(LoggingScreen, ChartsOffScreenStoreWithoutRedrawing)
{
    settings().graphListArr = {8, 9, 1, 0, 13, 11};
    settings().graphLineColorArr = {0, 1, 2, 3, 4, 5};
    show(screen);
    advance(1);
    screen->graph(0).setNeedsDisplay();
    root->window().layoutIfNeeded();
    screen->didReceiveResponse({reply(0x05, {120})});
    EXPECT_EQ(screen->graph(2).sampleCount(), 1u);
    screen->didReceiveResponse({reply(0x0F, {60})});
    EXPECT_EQ(screen->graph(5).sampleCount(), 1u) << "a chart below the screen keeps its samples";
}

TEST_F(LoggingScreen, DeletingAChartHandsTheNewListToTheLink)
{
    settings().graphListArr = {8, 9, 1};
    settings().graphLineColorArr = {0, 1, 2};
    show(screen);
    screen->setEditMode();
    EXPECT_TRUE(screen->isEditMode());
    screen->tableView().dataSource()->commitEditingStyle(screen->tableView(), ui::TableViewCellEditingStyle::Delete,
                                                         {0, 1});
    EXPECT_EQ(screen->numOfGraphs(), 2);
    EXPECT_EQ(settings().graphListArr, (std::vector<int>{8, 1}));
    EXPECT_EQ(settings().graphLineColorArr, (std::vector<int>{0, 2}));
    EXPECT_EQ(link->requestTexts(), (std::vector<std::string>{"010c", "0105"}));
    EXPECT_EQ(Manager::sharedManager().setting().graphListArr.size(), 2u);
    flip();
    EXPECT_FALSE(screen->isRecording()) << "no recording while editing";
}

TEST_F(LoggingScreen, EditShowsDoneAndDeletesAChartThroughItsRedControl)
{
    settings().graphListArr = {8, 9, 1};
    settings().graphLineColorArr = {0, 1, 2};
    show(screen);
    tapButton("Edit");
    EXPECT_TRUE(shows("Done"));
    EXPECT_FALSE(shows("Edit"));
    auto cell = screen->tableView().cellForRowAtIndexPath({0, 1});
    ASSERT_NE(cell, nullptr);
    advance(ui::TableViewCell::animationDuration);
    tap(*cell, ui::Point{ui::TableViewCell::margin + 8, cell->bounds().height() / 2});
    ASSERT_TRUE(cell->showingDeleteConfirmation()) << "the red control offers the delete button";
    tapButton("Delete");
    EXPECT_EQ(screen->numOfGraphs(), 2);
    EXPECT_EQ(settings().graphListArr, (std::vector<int>{8, 1}));
    EXPECT_EQ(link->requestTexts(), (std::vector<std::string>{"010c", "0105"}));
    tapButton("Done");
    EXPECT_TRUE(shows("Edit"));
    EXPECT_FALSE(shows("Done"));
}

TEST_F(LoggingScreen, TheRecordSwitchWhileEditingGoesBackOff)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    tapButton("Edit");
    tap(screen->recordSwitch());
    EXPECT_FALSE(screen->recordSwitch().isOn());
    EXPECT_FALSE(screen->isRecording());
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
    tapButton("Done");
    tap(screen->recordSwitch());
    EXPECT_TRUE(screen->isRecording());
    EXPECT_TRUE(screen->recordSwitch().isOn());
}

TEST_F(LoggingScreen, ARecordingIsSavedMailedAndKept)
{
    settings().graphListArr = {8, 1};
    settings().graphLineColorArr = {0, 1};
    show(screen);
    flip();
    ASSERT_TRUE(screen->isRecording());
    screen->setEditMode();
    EXPECT_FALSE(screen->isEditMode()) << "no editing while recording";
    screen->didReceiveResponse({reply(0x0C, {0x0D, 0x48})});  // 850 rpm
    screen->didReceiveResponse({reply(0x05, {130})});          // 90 °C
    advance(61);
    EXPECT_EQ(screen->titleLabel().text(), "01:01");
    flip();
    EXPECT_FALSE(screen->isRecording());
    EXPECT_EQ(screen->titleLabel().text(), "Graph list");
    ASSERT_EQ(outbox.mails.size(), 1u);
    EXPECT_EQ(outbox.mails[0].subject, "Norvale Logging");
    ASSERT_EQ(outbox.mails[0].attachments.size(), 1u);
    EXPECT_EQ(outbox.mails[0].attachments[0].mimeType, "text/csv");
    EXPECT_NE(outbox.mails[0].attachments[0].data.find("850,90,"), std::string::npos);
    advance(1);
    EXPECT_TRUE(std::filesystem::exists(fnd::Paths::documents() / "datalog.csv")) << "the file stays after the mail";
}

TEST_F(LoggingScreen, AnUnreachableLoggingServerTurnsTheSwitchOffAndRetryStartsAgain)
{
    chartEngineSpeedLoggingTo(testsupport::unusedLoopbackPort());
    show(screen);
    tap(screen->recordSwitch());
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return !screen->isRecording(); }));
    advance(3);
    EXPECT_FALSE(screen->recordSwitch().isOn());
    EXPECT_EQ(screen->titleLabel().text(), "Graph list") << "the clock stopped";
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_NE(ui::AlertController::visible()->message().find(fnd::L("Scanner msg2")), std::string::npos);
    EXPECT_FALSE(shows("Connection closed")) << "it never opened";
    fnd::SystemSound::clearPlayed();
    tapButton("Retry");
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return ui::AlertController::visible() != nullptr; }));
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{1052, 1052})) << "a new recording started and ended";
    EXPECT_FALSE(screen->recordSwitch().isOn());
}

TEST_F(LoggingScreen, ALoggingServerThatGoesAwayEndsTheRecordingAndSaysSo)
{
    testsupport::LoopbackServer server([](testsupport::LoopbackConnection& c) { c.close(); });
    chartEngineSpeedLoggingTo(server.port());
    show(screen);
    tap(screen->recordSwitch());
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return !screen->isRecording(); }));
    EXPECT_FALSE(screen->recordSwitch().isOn());
    advance(3.5);  // after the toast of the start
    EXPECT_FALSE(shows("Connection closed")) << "not the words of a stop the user asked for";
    EXPECT_EQ(screen->titleLabel().text(), "Graph list") << "the clock stopped";
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(),
              fnd::format(fnd::L("Logger lost msg").c_str(), fnd::format("127.0.0.1:%d", server.port())));
}

TEST_F(LoggingScreen, WhatALoggingServerSendsIsDroppedAndTheClockRuns)
{
    constexpr std::size_t mb = 1024 * 1024;
    std::atomic<std::size_t> sent = 0;
    testsupport::LoopbackServer server([&](testsupport::LoopbackConnection& c) {
        const std::string chunk(mb, 'x');  // one, so that freeing leaves nothing for a sanitizer to hold
        while (sent < 512 * mb && c.write(chunk))
            sent += mb;
    });
    chartEngineSpeedLoggingTo(server.port());
    show(screen);
    const std::size_t before = testsupport::peakResidentBytes();
    tap(screen->recordSwitch());
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return sent >= 256 * mb; }, 30));
    advance(2);
    EXPECT_LT(testsupport::peakResidentBytes(), before + 64 * mb) << "what arrives is not kept";
    EXPECT_EQ(screen->titleLabel().text(), "00:02");
    tap(screen->recordSwitch());  // the connection closes, which ends the server's sending
}

TEST_F(LoggingScreen, StoppingATcpRecordingSaysConnectionClosed)
{
    std::atomic<bool> lineArrived = false;
    testsupport::LoopbackServer server([&](testsupport::LoopbackConnection& c) {
        if (!c.readUntil("\r").empty())
            lineArrived = true;
        while (!c.readSome().empty()) {
        }
    });
    chartEngineSpeedLoggingTo(server.port());
    show(screen);
    tap(screen->recordSwitch());
    for (int i = 0; i < 200 && !lineArrived; ++i) {
        screen->didReceiveResponse({reply(0x0C, {0x0D, 0x48})});
        fnd::RunLoop::main().runUntil([&] { return lineArrived.load(); }, 0.05);
    }
    ASSERT_TRUE(lineArrived);
    ASSERT_TRUE(screen->isRecording());
    advance(3.5);
    tap(screen->recordSwitch());
    EXPECT_FALSE(screen->isRecording());
    EXPECT_TRUE(shows("Connection closed")) << ::testing::PrintToString(texts());
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
}

TEST_F(LoggingScreen, LeavingWhileRecordingSavesTheFiles)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    settings().logFormat = 1;
    show(screen);
    flip();
    screen->didReceiveResponse({reply(0x0C, {0x0D, 0x48})});
    leave();
    EXPECT_FALSE(screen->isRecording());
    EXPECT_EQ(fnd::readFile(fnd::Paths::documents() / "Engine speed.csv").value_or(""), "Engine speed in rpm\n850\n");
    EXPECT_TRUE(outbox.mails.empty());
    EXPECT_EQ(link->delegate().get(), nullptr);
}

TEST_F(LoggingScreen, AFileThatCannotBeStartedRefusesTheRecordingAtOnce)
{
    // A folder where the file should be: nothing can be written there.
    for (const int format : {0, 1}) {
        settings().graphListArr = {8, 1};
        settings().graphLineColorArr = {0, 1};
        settings().logFormat = format;
        const std::string blocked = format == 0 ? "datalog.csv" : "Engine speed.csv";
        std::filesystem::create_directories(fnd::Paths::documents() / blocked / "in-the-way");
        show(screen);
        fnd::SystemSound::clearPlayed();
        tap(screen->recordSwitch());
        EXPECT_FALSE(screen->isRecording());
        EXPECT_FALSE(screen->recordSwitch().isOn());
        EXPECT_FALSE(shows("Recording has started"));
        EXPECT_TRUE(fnd::SystemSound::played().empty()) << "no start sound for a recording that cannot start";
        advance(2);
        EXPECT_EQ(screen->titleLabel().text(), "Graph list") << "no clock";
        ASSERT_NE(ui::AlertController::visible(), nullptr);
        const std::string message = ui::AlertController::visible()->message();
        EXPECT_NE(message.find(blocked), std::string::npos) << message;
        EXPECT_NE(message.find(fnd::Paths::documents().string()), std::string::npos) << message;
        if (format == 1)
            EXPECT_EQ(message.find("Coolant"), std::string::npos) << "that file can be written: " << message;
        EXPECT_TRUE(std::filesystem::is_directory(fnd::Paths::documents() / blocked / "in-the-way"))
            << "what is in the way stays";
        EXPECT_TRUE(outbox.mails.empty());
        ui::AlertController::dismissAll();
        std::filesystem::remove_all(fnd::Paths::documents() / blocked);
    }
}

TEST_F(LoggingScreen, AReadOnlyDocumentsFolderRefusesTheRecordingAtOnce)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    std::filesystem::permissions(fnd::Paths::documents(), std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
    tap(screen->recordSwitch());
    std::filesystem::permissions(fnd::Paths::documents(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(screen->isRecording());
    EXPECT_FALSE(shows("Recording has started"));
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_NE(ui::AlertController::visible()->message().find("datalog.csv"), std::string::npos);
}

TEST_F(LoggingScreen, ADiskThatFillsStopsTheRecordingAtTheFirstFailedWriteKeepingItsRows)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    tap(screen->recordSwitch());
    screen->didReceiveResponse({reply(0x0C, {0x0D, 0x48})});
    screen->didReceiveResponse({reply(0x0C, {0x0E, 0x10})});  // the second value closes the first row
    advance(1.5);
    const auto file = fnd::Paths::documents() / "datalog.csv";
    const std::string written = fnd::readFile(file).value_or("");
    ASSERT_NE(written.find("850,"), std::string::npos);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full{written.size(), previous.rlim_max};  // the disk is full from here on
    ::setrlimit(RLIMIT_FSIZE, &full);
    screen->didReceiveResponse({reply(0x0C, {0x0E, 0x10})});
    advance(1.5);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(screen->recordSwitch().isOn());
    EXPECT_EQ(screen->titleLabel().text(), "Graph list") << "the clock stopped";
    EXPECT_TRUE(outbox.mails.empty());
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(),
              fnd::format(fnd::L("Log stopped msg").c_str(), "datalog.csv", fnd::Paths::documents().string()));
    EXPECT_EQ(fnd::readFile(file), written);
}

TEST_F(LoggingScreen, InteractionButtonTogglesTapToMark)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    screen->toggleInteraction(0);
    EXPECT_TRUE(screen->graph(0).interactionEnabled());
    EXPECT_EQ(fnd::SystemSound::played(), std::vector<int>{1103});
}

TEST_F(LoggingScreen, ASidewaysDragMovesTheChartAndAnUpwardDragScrollsTheTable)
{
    settings().graphListArr = {8, 9, 1, 0, 13, 11};
    settings().graphLineColorArr = {0, 1, 2, 3, 4, 5};
    show(screen);
    for (int i = 0; i < 300; ++i)
        screen->didReceiveResponse({reply(0x0C, {0x1A, static_cast<std::uint8_t>(i)})});
    GraphView& chart = screen->graph(0);
    const ui::Point start = chart.convertPoint({150, 60}, nullptr);
    const auto drag = [&](ui::Point step) {
        ui::Point at = start;
        root->window().sendTouch(ui::TouchPhase::Began, at, 7);
        for (int i = 0; i < 8; ++i) {
            at = {at.x + step.x, at.y + step.y};
            advance(0.02);
            root->window().sendTouch(ui::TouchPhase::Moved, at, 7);
        }
        root->window().sendTouch(ui::TouchPhase::Ended, at, 7);
        advance(1);
    };
    drag({8, 0});
    EXPECT_GT(chart.graphDragOffset(), 30);
    EXPECT_EQ(screen->tableView().contentOffset().y, 0);
    EXPECT_TRUE(screen->tableView().isScrollEnabled()) << "the table scrolls again once the finger is lifted";
    drag({0, -12});
    EXPECT_GT(screen->tableView().contentOffset().y, 0);
}

// The chart settings as the user left them when the screen opens: sample spacing, the room the chart
// count leaves under the plot, and the basic or shaded background.
TEST_F(LoggingScreen, ChartsDrawWithTheChartSettingsOfWhenTheScreenOpens)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    settings().plotSpacing = 5;
    settings().scrollGraphCount = 0;
    settings().graphType = 0;
    show(screen);
    for (int i = 0; i < 40; ++i) {
        screen->didReceiveResponse({reply(0x0C, {0x1A, 0xF8})});
        advance(0.1);
    }
    GraphView& chart = screen->graph(0);
    const auto plotMiddle = [&] {
        root->window().layoutIfNeeded();
        const ui::Image image = chart.renderToImage(1);
        return image.pixel(image.pixelWidth() / 2, 20);
    };
    EXPECT_EQ(chart.spacing(), 5);
    EXPECT_EQ(chart.gLabel().frame().maxY(), chart.bounds().height() - 17 + 19) << "two charts: names at the bottom";
    const ui::Color basic = plotMiddle();

    leave();
    settings().scrollGraphCount = 2;
    settings().graphType = 1;
    show(screen);
    EXPECT_EQ(chart.gLabel().frame().maxY(), chart.bounds().height() - 33 + 19) << "four charts: names higher";
    EXPECT_GT(plotMiddle().g, basic.g + 0.05) << "the shaded background is lighter at the top";
}

TEST_F(LoggingScreen, MinAndMaxSpanEverySampleNotOnlyTheLastDrawn)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    const auto rpm = [](int value) {
        const int raw = value * 4;
        return reply(0x0C, {static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw & 0xFF)});
    };
    screen->didReceiveResponse({rpm(2000)});
    EXPECT_TRUE(shows("Min: 2000")) << ::testing::PrintToString(texts());
    // Several samples between two draws, as when the row was off screen.
    for (const int value : {1000, 3000, 2000}) {
        screen->didReceiveResponse({rpm(value)});
        advance(0.1);
    }
    EXPECT_TRUE(shows("Min: 1000")) << ::testing::PrintToString(texts());
    EXPECT_TRUE(shows("Max: 3000")) << ::testing::PrintToString(texts());
    EXPECT_TRUE(shows("2000"));
}

TEST_F(LoggingScreen, FiveCharacterValuesShowWhole)
{
    const ui::Size sizes[] = {{390, 844}, {844, 390}, {1024, 768}};
    for (const ui::Size size : sizes) {
        ui::Device::current().setIdiom(size.width == 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
        ui::Device::current().setScreenSize(size);
        screen = std::make_shared<ScrollGraphViewController>();
        settings().graphListArr = {8, 96};
        settings().graphLineColorArr = {0, 1};
        show(screen);
        screen->didReceiveResponse({reply(0x0C, {0xE2, 0xEC})});  // 14523 rpm
        screen->didReceiveResponse({reply(0x0B, {100}), reply(0x33, {101})});  // -0.01 bar
        advance(0.5);
        EXPECT_TRUE(shows("14523")) << size.width << ": " << ::testing::PrintToString(texts());
        EXPECT_TRUE(shows("-0.01")) << size.width << ": " << ::testing::PrintToString(texts());
    }
}

TEST_F(LoggingScreen, Screenshots)
{
    for (const bool pad : {false, true}) {
        if (pad) {
            ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
            ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
            screen = std::make_shared<ScrollGraphViewController>();
        }
        settings().graphListArr = {8, 9, 1, 96};
        settings().graphLineColorArr = {0, 1, 5, 2};
        show(screen);
        for (int i = 0; i < 200; ++i) {
            const int rpm = static_cast<int>(2600 + 1400 * std::sin(i / 12.0)) * 4;
            screen->didReceiveResponse({reply(0x0C, {static_cast<std::uint8_t>(rpm >> 8),
                                                     static_cast<std::uint8_t>(rpm & 0xFF)}),
                                        reply(0x0D, {static_cast<std::uint8_t>(60 + i % 40)}),
                                        reply(0x05, {static_cast<std::uint8_t>(120 + i / 20)}),
                                        reply(0x0B, {static_cast<std::uint8_t>(100 + i % 60)}),
                                        reply(0x33, {101})});
            advance(0.1);
        }
        saveScreenshot(pad ? "logging-pad.png" : "logging-phone.png");
        // The charts show the swing fed to them and their last figures.
        for (const char* shown : {"Engine speed", "Min: 1200", "Max: 3999", "1525", "Vehicle speed", "Min: 60", "Max: 99"})
            EXPECT_TRUE(shows(shown)) << shown << (pad ? " on the pad: " : " on the phone: ")
                                      << ::testing::PrintToString(texts());
    }
}

class LoggingSettings : public ScreenTest {};

TEST_F(LoggingSettings, GraphSettingsAppendsAChartOnce)
{
    auto graphSettings = std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped);
    int posted = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserver(
        "gaugeModifiedNotification", [&](const fnd::Notification&) { ++posted; });
    show(std::make_shared<ui::NavigationController>(graphSettings));
    graphSettings->removeView();
    advance(1);
    EXPECT_EQ(posted, 0) << "no sensor chosen yet";
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    ui::AlertController::visible()->triggerAction("Ok");
    graphSettings->viewWillExit(4);
    EXPECT_EQ(graphSettings->lineColor(), 4);
    graphSettings->viewWillExit(-1);
    EXPECT_EQ(graphSettings->lineColor(), 4) << "Cancel keeps the colour";
    saveScreenshot("graph-settings-phone.png");
}

TEST_F(LoggingSettings, ACustomSensorReadsItsOwnNameAndIsAddedOnce)
{
    Pid pid;
    pid.sName = "Trans";
    pid.lName = "Transmission temperature";
    userData().addPid(pid);
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    auto graphSettings = std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped);
    show(std::make_shared<ui::NavigationController>(graphSettings));
    SensorSelectViewController picker(ui::TableViewStyle::Grouped, 101, SensorSelectViewController::singleChoice,
                                      false, false);
    graphSettings->viewWillDismiss(picker);
    EXPECT_EQ(graphSettings->sensorIndex(), 101);
    EXPECT_EQ(graphSettings->sensorName(), "Transmission temperature");
    graphSettings->viewWillExit(5);
    graphSettings->removeView();
    EXPECT_EQ(settings().graphListArr, (std::vector<int>{8, 101}));
    EXPECT_EQ(settings().graphLineColorArr, (std::vector<int>{0, 5}));
    auto again = std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped);
    again->viewWillDismiss(picker);
    again->removeView();
    EXPECT_EQ(settings().graphListArr.size(), 2u) << "a charted sensor is not added twice";
}

TEST_F(LoggingSettings, LoggerSettingsRowsFollowTheInterface)
{
    auto logger = std::make_shared<LoggerSettViewCon>();
    show(std::make_shared<ui::NavigationController>(logger));
    EXPECT_EQ(logger->tableView().numberOfRowsInSection(0), 5);
    settings().loggerInterface = 1;
    logger->reloadForm();
    EXPECT_EQ(logger->tableView().numberOfRowsInSection(0), 7);
    EXPECT_EQ(LoggerSettViewCon::sampleRateText(0.5f), "Every 0.5 seconds");
    EXPECT_EQ(LoggerSettViewCon::sampleRateRow(0.5f), 1);
    EXPECT_EQ(LoggerSettViewCon::sampleRateText(7), "No delay");
    EXPECT_EQ(LoggerSettViewCon::sampleRateRow(7), 0);
    saveScreenshot("logger-settings-phone.png");
    ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
    ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
    auto padLogger = std::make_shared<LoggerSettViewCon>();
    show(std::make_shared<ui::NavigationController>(padLogger));
    saveScreenshot("logger-settings-pad.png");
    auto padGraph = std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped);
    show(std::make_shared<ui::NavigationController>(padGraph));
    saveScreenshot("graph-settings-pad.png");
}

}  // namespace

namespace {

// The files of Documents whose names start with `stem`, with their contents.
std::map<std::string, std::string> logsStartingWith(const std::string& stem)
{
    std::map<std::string, std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(fnd::Paths::documents()))
        if (entry.path().filename().string().rfind(stem, 0) == 0)
            out[entry.path().filename().string()] = fnd::readFile(entry.path()).value_or("");
    return out;
}

TEST_F(LoggingScreen, ANewRecordingNeverReplacesAnEarlierOne)
{
    for (const int format : {0, 1}) {
        const std::string stem = format == 0 ? "datalog" : "Engine speed";
        settings().graphListArr = {8};
        settings().graphLineColorArr = {0};
        settings().logFormat = format;
        // A log left by a recording that was killed.
        ASSERT_TRUE(fnd::writeFileAtomically(fnd::Paths::documents() / (stem + ".csv"), "survivor\n"));
        show(screen);
        for (const auto& rpm : std::vector<std::vector<std::uint8_t>>{{0x0D, 0x48}, {0x0F, 0xA0}}) {  // 850, 1000
            tap(screen->recordSwitch());
            ASSERT_TRUE(screen->isRecording());
            screen->didReceiveResponse({reply(0x0C, rpm)});
            advance(1.5);
            tap(screen->recordSwitch());
            ASSERT_FALSE(screen->isRecording());
            advance(1);
        }
        const auto logs = logsStartingWith(stem);
        ASSERT_EQ(logs.size(), 3u) << ::testing::PrintToString(logs);
        EXPECT_NE(logs.at(stem + ".csv").find("1000"), std::string::npos) << "the current log keeps its name";
        int survivors = 0, first = 0;
        for (const auto& [name, text] : logs) {
            survivors += text == "survivor\n";
            first += text.find("850") != std::string::npos;
        }
        EXPECT_EQ(survivors, 1) << "the killed recording's log is kept";
        EXPECT_EQ(first, 1) << "the first recording's log is kept";
        for (const auto& log : logs)
            std::filesystem::remove(fnd::Paths::documents() / log.first);
        leave();
    }
}

// The charts after Edit and Done look as they did before: one interaction button, the whole frame.
TEST_F(LoggingScreen, EditAndDoneLeaveTheChartsAsTheyWere)
{
    settings().graphListArr = {8, 9};
    settings().graphLineColorArr = {0, 1};
    const auto picture = [&](bool editFirst) {
        screen = std::make_shared<ScrollGraphViewController>();
        show(screen);
        if (editFirst) {
            tapButton("Edit");
            advance(1);
            EXPECT_TRUE(shows("Done"));
            tapButton("Done");
        }
        advance(1);
        for (int i = 0; i < 20; ++i) {
            screen->didReceiveResponse({reply(0x0C, {0x0D, static_cast<std::uint8_t>(i * 10)}), reply(0x0D, {50})});
            advance(0.1);
        }
        window().layoutIfNeeded();
        return root->window().renderToImage(1);
    };
    const ui::Image untouched = picture(false);
    const ui::Image edited = picture(true);
    EXPECT_TRUE(testsupport::matchesImage(edited, untouched, "logging-after-edit"));
}

TEST_F(LoggingScreen, AChartWithoutSamplesShowsNoExtremes)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    advance(1);
    EXPECT_TRUE(shows("Min: --")) << ::testing::PrintToString(texts());
    EXPECT_TRUE(shows("Max: --"));
    EXPECT_FALSE(shows("Min: 8000"));
    screen->didReceiveResponse({reply(0x0C, {0x0D, 0x48})});
    advance(0.5);
    EXPECT_TRUE(shows("Min: 850")) << ::testing::PrintToString(texts());
    EXPECT_TRUE(shows("Max: 850"));
}

TEST_F(LoggingScreen, DeletingAChartOfASensorChartedTwiceDeletesTheTappedOne)
{
    settings().graphListArr = {8, 9, 8};
    settings().graphLineColorArr = {0, 1, 2};
    show(screen);
    tapButton("Edit");
    auto cell = screen->tableView().cellForRowAtIndexPath({0, 2});
    ASSERT_NE(cell, nullptr);
    advance(ui::TableViewCell::animationDuration);
    tap(*cell, ui::Point{ui::TableViewCell::margin + 8, cell->bounds().height() / 2});
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    tapButton("Delete");
    EXPECT_EQ(settings().graphListArr, (std::vector<int>{8, 9}));
    EXPECT_EQ(settings().graphLineColorArr, (std::vector<int>{0, 1})) << "the blue chart stays, the orange one goes";
}

}  // namespace

namespace {

class GraphAndLoggerSettings : public ScreenTest {
protected:
    // The visible table cell whose title reads `title`.
    ui::TableViewCell* rowTitled(ui::TableView& table, const std::string& title)
    {
        window().layoutIfNeeded();
        for (const auto& cell : table.visibleCells())
            if (cell->textLabel() && cell->textLabel()->text() == title)
                return cell.get();
        return nullptr;
    }
    void open(std::shared_ptr<ui::ViewController> screen)
    {
        stack = std::make_shared<ui::NavigationController>(std::move(screen));
        show(stack);
    }
    ui::ViewController* top() { return stack->topViewController(); }
    // A finger held on a row: its selected background shows.
    ui::Color stripOf(ui::TableViewCell& cell)
    {
        const ui::Point at = cell.convertPoint(cell.bounds().center(), nullptr);
        window().sendTouch(ui::TouchPhase::Began, at);
        advance(0.3);
        const ui::Image shot = window().renderToImage(1);
        const ui::Point strip = cell.convertPoint({cell.bounds().width() - 1.5, cell.bounds().height() / 2}, nullptr);
        window().sendTouch(ui::TouchPhase::Cancelled, at);
        advance(0.3);
        return shot.pixel(static_cast<int>(strip.x), static_cast<int>(strip.y));
    }
    std::shared_ptr<ui::NavigationController> stack;
};

TEST_F(GraphAndLoggerSettings, BeforeAChoiceDetailsOpenSensorOneAndThePickerChoosesSensorZero)
{
    open(std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped));
    ASSERT_TRUE(testsupport::tapText(window(), fnd::L("sensor details")));
    advance(1);
    EXPECT_TRUE(shows(userData().longNameArr[1])) << "sensor 1's details";
    stack->popViewController(true);
    advance(1);

    ASSERT_TRUE(testsupport::tapText(window(), fnd::L("Sensor")));
    advance(1);
    auto* picker = dynamic_cast<SensorSelectViewController*>(top());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->checkedSensorIndex(), 0);
    stack->popViewController(true);
    advance(1);
    EXPECT_TRUE(shows(userData().longNameArr[0])) << "back without a choice chooses the ticked sensor";
}

TEST_F(GraphAndLoggerSettings, RowsInTheLookOfTheirScreens)
{
    for (const int theme : {0, 1}) {
        settings().theme = theme;
        open(std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped));
        auto& graphTable = dynamic_cast<ui::TableViewController&>(*top()).tableView();
        ui::TableViewCell* color = rowTitled(graphTable, fnd::L("line color"));
        ASSERT_NE(color, nullptr);
        EXPECT_EQ(color->textLabel()->font().name(), "Digital-Serial");
        EXPECT_EQ(color->textLabel()->font().pointSize(), 15);
        EXPECT_EQ(color->detailTextLabel()->font().pointSize(), 14);
        EXPECT_EQ(color->detailTextLabel()->textColor(), theme == 1 ? ui::Color::darkGray() : ui::Color::white(0.7));
        EXPECT_EQ(color->backgroundColor(), theme == 1 ? ui::Color::white(1.0) : ui::Color::rgb255(10, 10, 10));
        EXPECT_EQ(stripOf(*color), ui::Color::rgb255(0, 185, 109));
        const ui::Button* cancel = buttonTitled(window(), "Cancel");
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->titleFont().name(), "Digital-Serial");
        EXPECT_EQ(cancel->currentTitleColor(), ui::Color::white(0.8));
        ASSERT_NE(top()->navigationController(), nullptr);
        EXPECT_EQ(top()->navigationController()->navigationBar().tintColor(),
                  theme == 1 ? ui::Color::darkGray() : ui::Color::lightGray());

        open(std::make_shared<LoggerSettViewCon>());
        auto& loggerTable = dynamic_cast<ui::TableViewController&>(*top()).tableView();
        ui::TableViewCell* rate = rowTitled(loggerTable, fnd::L("Sample rate"));
        ASSERT_NE(rate, nullptr);
        EXPECT_EQ(rate->textLabel()->font().name(), "DigitalSans NowEF ML Demo");
        EXPECT_EQ(rate->textLabel()->font().pointSize(), 16);
        EXPECT_EQ(rate->detailTextLabel()->textColor(), ui::Color::rgb255(205, 40, 70));
        EXPECT_EQ(rate->backgroundColor(), theme == 1 ? ui::Color::white(1.0) : ui::Color::white(0.08));
        EXPECT_EQ(stripOf(*rate), ui::Color::rgb255(205, 40, 70));
        if (theme == 1)
            EXPECT_EQ(top()->navigationController()->navigationBar().tintColor(), ui::Color::lightGray());
        ui::TableViewCell* formatting = rowTitled(loggerTable, fnd::L("Data formatting"));
        ASSERT_NE(formatting, nullptr) << "the title stands alone, the choice under it";
        EXPECT_EQ(formatting->detailTextLabel()->text(), fnd::L("Formatted"));
        EXPECT_EQ(formatting->detailTextLabel()->textColor(), ui::Color::lightGray());
        EXPECT_EQ(loggerTable.backgroundColor(), theme == 1 ? ui::Color::white(0.85) : ui::Color::black());
        const auto* toggle = dynamic_cast<const ui::Switch*>(formatting->accessoryView().get());
        ASSERT_NE(toggle, nullptr);
        EXPECT_EQ(toggle->backgroundColor(), ui::Color::white(theme == 1 ? 0.83 : 0.3));
        EXPECT_EQ(toggle->thumbTintColor(), theme == 1 ? ui::Color::white() : ui::Color::black());
    }
}

TEST_F(LoggingScreen, EditAndDoneInTheScreensOwnFace)
{
    settings().graphListArr = {8};
    settings().graphLineColorArr = {0};
    show(screen);
    for (const std::string title : {"Edit", "Done"}) {
        window().layoutIfNeeded();
        ui::Button* button = buttonTitled(window(), title);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->titleFont().name(), "DigitalSans NowEF ML Demo");
        EXPECT_EQ(button->titleFont().pointSize(), 17);
        EXPECT_EQ(button->currentTitleColor(), ui::Color::white(0.8)) << title;
        tapButton(title);
    }
}

}  // namespace
