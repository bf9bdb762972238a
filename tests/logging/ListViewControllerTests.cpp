#include <gtest/gtest.h>

#include "LoggingTest.h"
#include "core/model/DataStore.h"
#include "logging/ListGaugeView.h"
#include "logging/ListViewController.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Label.h"
#include "shell/editors/FormulaParser.h"
#include "support/ReferenceImage.h"

namespace {

using loggingtests::advance;
using loggingtests::reply;
using loggingtests::ScreenTest;
using loggingtests::voltage;

std::string request(int sensorIndex)
{
    return fnd::format("01%02x", DataStore::sharedDataStore().pidArr[static_cast<std::size_t>(sensorIndex)]);
}

class SensorList : public ScreenTest {
protected:
    std::shared_ptr<ListViewController> list = std::make_shared<ListViewController>();

    std::string shown(int row)
    {
        GaugeCell* cell = list->cellForRow(row);
        return cell ? cell->valLabel().text() : "<off screen>";
    }
    void receive(std::vector<Response> responses)
    {
        list->didReceiveResponse(responses);
        advance(0.2);
    }
    Pid customPid(int mode, int pid, int pid2, const std::string& formula, const std::string& name)
    {
        Pid p;
        p.mode = mode;
        p.pid = pid;
        p.pid2 = pid2;
        p.sName = name;
        p.max = 1000;
        p.root = std::get<std::shared_ptr<const Node>>(FormulaParser::parse(formula));
        return p;
    }
};

TEST_F(SensorList, PollsTheRowsOnScreenInRowOrderWithTheBatteryFirst)
{
    settings().gaugeListArr = {8, 9, 1, 0, 13, 98};
    show(list);
    EXPECT_EQ(link->delegate().get(), list.get());
    EXPECT_TRUE(link->cycled);
    EXPECT_EQ(link->requestTexts(),
              (std::vector<std::string>{"AT RV", request(8), request(9), request(1), request(0), request(13)}));
    EXPECT_TRUE(list->noGaugesLabel().isHidden());
}

TEST_F(SensorList, EachRowWarnsByItsOwnSensorsLimits)
{
    userData().notifyLimitArr[8] = true;
    userData().maxLimitArr[8] = 0.5f;
    settings().gaugeListArr = {8, 9};
    show(list);
    receive({reply(0x0C, {0xFA, 0x00}), reply(0x0D, {250})});  // 16000 rpm, 250 km/h: both near the top
    advance(2);
    EXPECT_TRUE(list->cellForRow(0)->gView().isWarning());
    EXPECT_FALSE(list->cellForRow(1)->gView().isWarning());
}

TEST_F(SensorList, RepliesReachEveryRowOfTheirPidEachByItsOwnFormula)
{
    settings().gaugeListArr = {8, 14, 15};  // engine speed; O2 sensor voltage and its trim share PID 0x14
    show(list);
    receive({reply(0x0C, {0x1A, 0xF8})});
    EXPECT_EQ(shown(0), "1.7");
    receive({reply(0x14, {0xA0, 0x90})});
    EXPECT_EQ(shown(1), "0.80") << "0xA0 / 200 volts";
    EXPECT_EQ(shown(2), "12") << "(0x90 - 128) x 100 / 128 percent";
    receive({reply(0x05, {0x80})});
    EXPECT_EQ(shown(0), "1.7") << "a reply nobody asked for changes nothing";
}

TEST_F(SensorList, CustomSensorsAreDecodedByTheirOwnFormulas)
{
    userData().addPid(customPid(0x22, 0x11, 0x22, "A", "First"));
    userData().addPid(customPid(0x22, 0x11, 0x22, "A*2+B", "Second"));
    userData().addPid(customPid(0x01, 0x0C, 0, "A", "Own rpm"));
    settings().gaugeListArr = {101, 102, 103, 8, 105};  // 105: a custom sensor that was deleted
    show(list);
    EXPECT_EQ(list->gaugeCount(), 4) << "the deleted sensor's row is left out";
    receive({reply(0x11, {10, 3}, 0x62, 0x22)});
    EXPECT_EQ(shown(0), "10");
    EXPECT_EQ(shown(1), "23");
    receive({reply(0x0C, {0x1A, 0xF8})});
    EXPECT_EQ(shown(2), "26") << "a custom sensor on service 01 reads its formula";
    EXPECT_EQ(shown(3), "1.7");
}

TEST_F(SensorList, BatteryVoltageShowsOnItsRow)
{
    settings().gaugeListArr = {8, 9, 1, 98};
    show(list);
    list->scannerDidReceiveVoltage(*link, {voltage("12.6V")});
    advance(0.2);
    EXPECT_EQ(shown(3), "12.6");
    list->scannerDidReceiveVoltage(*link, {voltage("garbage")});
    advance(0.2);
    EXPECT_EQ(shown(3), "12.6");
}

TEST_F(SensorList, CalculatedSensors)
{
    settings().gaugeListArr = {95, 96, 97};
    userData().unitsArr[96] = 1;
    userData().unitsArr[97] = 0;
    show(list);
    receive({reply(0x0D, {50})});
    EXPECT_EQ(shown(0), "--") << "no fuel economy before the first air-flow reply";
    receive({reply(0x10, {0, 0})});
    EXPECT_EQ(shown(0), "3553") << "no air flow divides by 360";
    receive({reply(0x0B, {200}), reply(0x33, {100})});
    EXPECT_EQ(shown(1), "1.00") << "one bar of boost";
    receive({reply(0x10, {0x1F, 0x40})});  // 80 g/s
    advance(1);
    EXPECT_EQ(shown(2), "100");
}

TEST_F(SensorList, PadSplitsRowsAndMergesTheirRequests)
{
    ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
    ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
    settings().gaugeListArr = {96, 1, 8, 9, 0, 13, 11};
    show(list);
    ASSERT_NE(list->tb2(), nullptr);
    EXPECT_EQ(list->tb1().numberOfSections(), 4);
    EXPECT_EQ(list->tb2()->numberOfSections(), 3);
    // Left: boost (0x0B, 0x33), engine speed, load, IAT; right: coolant, speed, 13.
    EXPECT_EQ(link->requestTexts(), (std::vector<std::string>{"010b", request(1), "0133", request(9), request(8),
                                                              request(13), request(0), request(11)}));
}

TEST_F(SensorList, AScrollComingToRestPollsByPriority)
{
    settings().gaugeListArr = {1, 8, 9, 98};
    show(list);
    list->scrollingFinish();
    EXPECT_EQ(link->requestTexts(),
              (std::vector<std::string>{request(8), request(9), "AT RV", request(8), request(9), request(1)}));
    settings().multiMessageCANEnabled = true;
    list->scrollingFinish();
    EXPECT_EQ(link->requestTexts(), (std::vector<std::string>{"AT RV", request(1), request(8), request(9)}));
}

TEST_F(SensorList, LeavingGivesTheLinkBackAndStopsTheFuelTimers)
{
    settings().gaugeListArr = {95};
    show(list);
    EXPECT_TRUE(list->fuelBookkeeping().isRunning());
    list->startScanning();  // after a reconnect: restarted, not doubled
    EXPECT_TRUE(list->fuelBookkeeping().isRunning());
    leave();
    EXPECT_EQ(link->delegate().get(), nullptr);
    EXPECT_FALSE(link->commands());
    EXPECT_FALSE(list->fuelBookkeeping().isRunning());
}

TEST_F(SensorList, ALinkDropStopsTheFuelTimers)
{
    settings().gaugeListArr = {95};
    show(list);
    fnd::NotificationCenter::defaultCenter().post("connectionDroppedNotification", link.get());
    EXPECT_FALSE(list->fuelBookkeeping().isRunning());
}

TEST_F(SensorList, DistanceCountsOnlyWhileSpeedIsFresh)
{
    settings().gaugeListArr = {95};
    show(list);
    receive({reply(0x0D, {36})});  // 36 km/h: 10 m a second
    advance(2.0);
    const float afterTwo = DataStore::sharedDataStore().distance;
    EXPECT_NEAR(afterTwo, 0.02, 0.0101);
    advance(10);
    EXPECT_NEAR(DataStore::sharedDataStore().distance, afterTwo, 0.0101) << "an old speed counts as standing";
}

TEST_F(SensorList, SpeedingSoundsTheWarningWithoutAnAlert)
{
    settings().gaugeListArr = {8};
    settings().speedLimitEnabled = true;
    settings().speedLimit2 = 100;
    show(list);
    list->scannerDidReceiveStatusResponse(*link, {reply(0x0D, {100})});
    EXPECT_TRUE(fnd::SystemSound::played().empty()) << "at the limit";
    list->scannerDidReceiveStatusResponse(*link, {reply(0x0D, {101}), reply(0x0D, {102})});
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{1052, 1052}));
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
}

TEST_F(SensorList, HotCoolantQueuesOneAlertButSoundsEachTime)
{
    settings().gaugeListArr = {8};
    show(list);
    list->scannerDidReceiveStatusResponse(*link, {reply(0x05, {112 + 40})});
    EXPECT_EQ(ui::AlertController::visible(), nullptr) << "112 °C is not yet hot";
    list->scannerDidReceiveStatusResponse(*link, {reply(0x05, {113 + 40})});
    advance(1);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(), "High coolant temperature\n 113");
    list->scannerDidReceiveStatusResponse(*link, {reply(0x05, {114 + 40})});
    list->scannerDidReceiveStatusResponse(*link, {reply(0x5C, {120 + 40})});
    EXPECT_EQ(ui::AlertController::queuedCount(), 1u) << "one oil alert waits; no second coolant alert";
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{1052, 1052, 1052}));
    ASSERT_TRUE(ui::AlertController::visible()->triggerAction("Ok"));
    advance(1);
    list->scannerDidReceiveStatusResponse(*link, {reply(0x05, {115 + 40})});
    EXPECT_EQ(ui::AlertController::queuedCount(), 1u) << "after Ok a new coolant alert may wait again";
}

TEST_F(SensorList, AnEmptyListShowsTheHintAndClearsTheLinksList)
{
    settings().gaugeListArr = {};
    link->setInitCommands({link->commandForVoltage()}, true);
    show(list);
    EXPECT_FALSE(list->noGaugesLabel().isHidden());
    EXPECT_FALSE(link->commands());
}

TEST_F(SensorList, ChangesElsewhereRebuildAtTheNextAppearance)
{
    settings().gaugeListArr = {8};
    show(list);
    settings().gaugeListArr = {8, 9};
    fnd::NotificationCenter::defaultCenter().post("gaugeModifiedNotification");
    EXPECT_EQ(list->gaugeCount(), 1);
    leave();
    root->setRootViewController(list);
    advance(1);
    EXPECT_EQ(list->gaugeCount(), 2);
}

TEST_F(SensorList, Screenshots)
{
    for (const bool pad : {false, true}) {
        if (pad) {
            ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
            ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
            list = std::make_shared<ListViewController>();
        }
        settings().gaugeListArr = {8, 9, 1, 0, 13, 98, 95};
        show(list);
        receive({reply(0x0C, {0x1A, 0xF8}), reply(0x0D, {72}), reply(0x05, {128}), reply(0x04, {90})});
        list->scannerDidReceiveVoltage(*link, {voltage("12.6V")});
        advance(2);
        saveScreenshot(pad ? "list-pad.png" : "list-phone.png");
        if (!pad) {
            EXPECT_TRUE(testsupport::matchesReference(root->window().renderToImage(2), "logging-sensor-list"));
        }
    }
}

}  // namespace

namespace {

// What a user finds on the list: rows without a reading say so, and rows follow the window.
class SensorListTasks : public SensorList {};

TEST_F(SensorListTasks, ARowShowsNoNumberUntilItsValueComesAndAFailedFormulaSaysSo)
{
    userData().addPid(customPid(0x22, 0x11, 0x22, "A/B", "Ratio"));
    userData().addPid(customPid(0x22, 0x11, 0x33, "A*256+C", "Wide"));
    settings().gaugeListArr = {8, 13, 101, 102};  // engine speed, a PID this car refuses, two formulas
    show(list);
    EXPECT_EQ(shown(0), "--");
    receive({reply(0x0C, {0x1A, 0xF8})});
    advance(1);
    EXPECT_EQ(shown(0), "1.7");
    EXPECT_EQ(shown(1), "--") << "NO DATA for its PID: no reading, not a zero";
    EXPECT_EQ(list->cellForRow(1)->gView().litSegmentCount(), 0);

    receive({reply(0x11, {10, 0}, 0x62, 0x22), reply(0x11, {1, 2}, 0x62, 0x33)});
    EXPECT_EQ(shown(2), "--");
    EXPECT_EQ(shown(3), "--");
    EXPECT_TRUE(shows(fnd::L("Formula divides by zero"))) << ::testing::PrintToString(texts());
    EXPECT_TRUE(shows(fnd::L("Formula reads past the reply"))) << ::testing::PrintToString(texts());

    receive({reply(0x11, {10, 4}, 0x62, 0x22)});
    EXPECT_EQ(shown(2), "2");
    EXPECT_FALSE(shows(fnd::L("Formula divides by zero")));
}

// Each jump is cut short by the next reply; the last one let run ends on its value, not a hair beside it.
TEST_F(SensorListTasks, ARowComesToRestOnTheValueItself)
{
    userData().unitsArr[1] = 1;
    settings().gaugeListArr = {1};  // coolant, -40 to 215 °C
    show(list);
    for (const auto& [celsius, steps] : {std::pair{-2, 25}, {100, 12}, {-22, 60}}) {
        list->didReceiveResponse({reply(0x05, {static_cast<std::uint8_t>(celsius + 40)})});
        advance(GaugeCell::step * (steps - 0.1));  // so many animation steps
    }
    EXPECT_EQ(shown(0), "-22") << "not -21";
    for (int n = 0; n < 40; ++n) {  // replies faster than a step: each cuts the glide short
        list->didReceiveResponse({reply(0x05, {255})});
        advance(GaugeCell::step / 4);
    }
    EXPECT_EQ(shown(0), "215") << "not 214";
}

TEST_F(SensorListTasks, RowsOnScreenTakeTheNewWidthAfterAResize)
{
    settings().gaugeListArr = {8, 9};
    show(list);
    const auto numberRight = [&] {
        window().layoutIfNeeded();
        const ui::Label& number = list->cellForRow(0)->valLabel();
        return number.convertPoint({number.bounds().width(), 0}, nullptr).x;
    };
    EXPECT_NEAR(numberRight(), 390, 20);
    root->setSize({844, 390}, 0);
    advance(1);
    EXPECT_NEAR(numberRight(), 844, 30) << "the number follows the row's right edge";
    root->setSize({390, 844}, 0);
    advance(1);
    EXPECT_NEAR(numberRight(), 390, 20);
}

TEST_F(SensorListTasks, SensorsWithoutARowStayOutAtEveryAppearance)
{
    settings().gaugeListArr = {8, 99, 9, 105};  // g-force has no list row; 105 names a deleted custom sensor
    show(list);
    EXPECT_EQ(list->gaugeCount(), 2);
    leave();
    show(list);
    window().layoutIfNeeded();
    EXPECT_EQ(list->gaugeCount(), 2) << "the count is the rows built, not the length of the list";
    EXPECT_EQ(list->tb1().numberOfSections(), 2);
    receive({reply(0x0C, {0x1A, 0xF8}), reply(0x0D, {72})});
    advance(1);
    EXPECT_EQ(shown(0), "1.7");
    EXPECT_EQ(shown(1), "72");
    EXPECT_EQ(link->requestTexts(), (std::vector<std::string>{request(8), request(9)}));
}

// In the light theme the picker's title still shows on the dark bar the list gives it.
TEST_F(SensorListTasks, ThePickersTitleShowsOnItsDarkBarInTheLightTheme)
{
    settings().theme = 1;
    show(list);
    testsupport::tap(window(), {200, 500});
    advance(0.5);
    testsupport::tap(window(), list->topNavBar().convertPoint({list->topNavBar().bounds().maxX() - 24, 22}, nullptr));
    advance(1);
    const ui::Rect title = testsupport::frameOfText(window(), fnd::L("Sensors")).value_or(ui::Rect{});
    const ui::Image shot = window().renderToImage(1);
    double brightest = 0;
    for (double x = title.minX(); x < title.maxX(); ++x)
        brightest = std::max(brightest, shot.pixel(int(x), int(title.midY())).g);
    EXPECT_GT(brightest, 0.149 + 0.5) << "the title stands out from the bar";
}

TEST_F(SensorListTasks, OnAPhoneHeldUprightTheTopBarPushesTheRowsDown)
{
    for (const bool pad : {false, true}) {
        if (pad) {
            ui::Device::current().setIdiom(ui::UserInterfaceIdiom::Pad);
            ui::Device::current().setScreenSize(ui::Device::defaultPadSize);
            list = std::make_shared<ListViewController>();
        }
        settings().gaugeListArr = {8, 9, 1};
        show(list);
        advance(3);
        const auto firstRowTop = [&] {
            window().layoutIfNeeded();
            return list->cellForRow(0)->convertPoint({0, 0}, nullptr).y;
        };
        const double resting = firstRowTop();
        testsupport::tap(window(), {200, 500});
        advance(0.5);
        const ui::Rect bar = list->topNavBar().convertRect(list->topNavBar().bounds(), nullptr);
        EXPECT_GT(bar.y() + bar.height(), resting) << "the bar reaches over the first row's place";
        if (pad)
            EXPECT_EQ(firstRowTop(), resting) << "on a pad the rows stay";
        else
            EXPECT_GE(firstRowTop(), bar.y() + bar.height()) << "the first row is below the bar, not under it";
        advance(ListViewController::hideBarDelay + 0.5);
        EXPECT_EQ(firstRowTop(), resting) << "and back when the bar goes";
    }
}

}  // namespace
