#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "FuelScreenTest.h"
#include "fuel/FuelViewController.h"
#include "fuel/GraphViewCon.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Paths.h"
#include "support/MailRecorder.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/VisibleText.h"
#include "support/Input.h"

namespace {

std::string dayKey(int daysAgo)
{
    return fnd::DateFormatter("MMM d, yyyy").stringFromDate(fnd::Calendar::dateByAddingDays(fnd::Date::now(), -daysAgo));
}

ui::Touch touchAt(double x, std::uint64_t id)
{
    ui::Touch touch;
    touch.id = id;
    touch.location = {x, 100};
    touch.previousLocation = touch.location;
    return touch;
}

class GraphViewConTest : public FuelScreenTest {
protected:
    // Five days: today, 1, 2, 4 and 6 days ago.
    static void fillLog()
    {
        FuelData& log = fuelData();
        log.dateArr = {dayKey(0), dayKey(1), dayKey(2), dayKey(4), dayKey(6)};
        log.dataArr = {31.1f, 20, 25, 40, 10};
        log.fuelArr = {1, 2, 1, 1, 4};
        log.distanceArr = {31.1f, 40, 25, 40, 40};
        log.costArr = {1, 6, 3, 3, 12};
        log.speedArr = {40, 50, 30, 60, 20};
    }

    std::shared_ptr<GraphViewCon> showTrends()
    {
        auto trends = std::make_shared<GraphViewCon>();
        showTabs({{"Trends", trends}});
        return trends;
    }

    // Touches two days of the chart with two fingers and waits for the statistics.
    void selectDays(GraphViewCon& trends, int newerDaysAgo, int olderDaysAgo)
    {
        FuelGraphView& chart = *trends.gView();
        chart.touchesBegan({touchAt(chart.pointMap().at(newerDaysAgo).x, 1),
                            touchAt(chart.pointMap().at(olderDaysAgo).x, 2)});
        const std::string expected = dayKey(olderDaysAgo);
        ASSERT_TRUE(waitFor([&] {
            advance(0);
            return trends.stats().fromDateStr == expected;
        }));
    }

    void choose(const std::string& action)
    {
        ASSERT_NE(ui::AlertController::visible(), nullptr);
        ASSERT_TRUE(ui::AlertController::visible()->triggerAction(action));
        advance(1);
    }

    std::string alertMessage() const
    {
        const auto alert = ui::AlertController::visible();
        return alert ? alert->message() : "";
    }

    testsupport::MailRecorder outbox;
};

TEST_F(GraphViewConTest, LoadsTheLogInTheDisplayUnitOnEveryAppearance)
{
    fillLog();
    settings().fuelUnitsMode = 2;
    auto trends = showTrends();
    EXPECT_EQ(trends->unitsStr(), "l/100 km");
    EXPECT_EQ(trends->fuelUnitStr(), "lit.");
    EXPECT_NEAR(trends->log().dataArr[0], 7.56, 0.01);
    EXPECT_EQ(trends->gView()->dataArr.size(), 5u);
    EXPECT_EQ(trends->gView()->unitsStr(), "l/100km");
    EXPECT_EQ(trends->rowTexts(0), (std::vector<std::string>{"From", "To", "", ""}));

    settings().fuelUnitsMode = 0;
    trends->viewWillAppear(false);
    EXPECT_EQ(trends->unitsStr(), "mpg");
    EXPECT_FLOAT_EQ(trends->log().dataArr[0], 31.1f);
    EXPECT_FLOAT_EQ(trends->log().costArr[1], 6);
}

TEST_F(GraphViewConTest, RangeControlsFollowEachOther)
{
    auto trends = showTrends();
    ui::SegmentedControl& portrait = *trends->rangeControl(false);
    portrait.setSelectedSegmentIndex(3);
    trends->pickOne(portrait);
    EXPECT_EQ(trends->rangeControl(true)->selectedSegmentIndex(), 3);
    EXPECT_EQ(trends->gView()->graphMode(), 3);
    trends->touchHasStarted(*trends->gView());
    EXPECT_TRUE(portrait.isHidden());
    trends->touchHasEnded(*trends->gView());
    EXPECT_FALSE(portrait.isHidden());
}

TEST_F(GraphViewConTest, SelectedDaysShowTheirStatisticsAndChanges)
{
    fillLog();
    settings().fuelType = 0;
    auto trends = showTrends();
    selectDays(*trends, 0, 1);
    EXPECT_EQ(trends->rowTexts(0), (std::vector<std::string>{"From", "To", dayKey(1), dayKey(0)}));
    const std::vector<std::string> average = trends->rowTexts(1);
    EXPECT_EQ(average[2], "25.");
    EXPECT_EQ(average[3], "5");
    // Against the two days before (25 and 40): 51.1 against 65.
    EXPECT_EQ(average[4], "▼21%");
    EXPECT_EQ(average[6], "31.1");
    EXPECT_EQ(average[8], "20.0");
    EXPECT_EQ(trends->rowTexts(2), (std::vector<std::string>{"Fuel consumed", "3.0 gal.", "▲50%"}));
    EXPECT_EQ(trends->rowTexts(3), (std::vector<std::string>{"Fuel cost", "7.0 $", "▲16%"}));
    EXPECT_EQ(trends->rowTexts(6)[1], "45.0 mph");
}

TEST_F(GraphViewConTest, ExportsTheWholeLogAsCsvAndCleansUp)
{
    fuelData().dateArr = {"Dec 7, 2024"};
    fuelData().dataArr = {31.1f};
    fuelData().fuelArr = {1};
    fuelData().speedArr = {40};
    fuelData().distanceArr = {31.1f};
    fuelData().costArr = {1};
    auto trends = showTrends();
    trends->displayOptions();
    advance(1);
    EXPECT_EQ(ui::AlertController::visible()->title(), "Adapter data");
    EXPECT_EQ(ui::AlertController::visible()->actionTitles(),
              (std::vector<std::string>{"Export all data", "Export ranged data", "Cancel"}));
    choose("Export all data");
    ASSERT_TRUE(waitFor([&] {
        advance(0);
        return !outbox.mails.empty();
    }));
    ASSERT_EQ(outbox.mails.size(), 1u);
    EXPECT_EQ(outbox.mails[0].subject, "Fuel Economy data");
    ASSERT_EQ(outbox.mails[0].attachments.size(), 1u);
    EXPECT_EQ(outbox.mails[0].attachments[0].fileName, "Fuel_eco_data.csv");
    EXPECT_EQ(outbox.mails[0].attachments[0].mimeType, "text/csv");
    EXPECT_EQ(outbox.mails[0].attachments[0].data,
              "Date, mpg, gal., Cost, Distance, Speed\n\"Dec 7, 2024\", 31.1, 1.0, 1.0, 31.1, 40.0\n");
    advance(1);
    EXPECT_FALSE(std::filesystem::exists(fnd::Paths::documents() / "Fuel_eco_DATA.csv"));
}

TEST_F(GraphViewConTest, RangedExportWritesTheSelectedDaysNewestFirst)
{
    fillLog();
    settings().fuelUnitsMode = 1;
    auto trends = showTrends();
    selectDays(*trends, 0, 1);
    trends->displayOptions();
    advance(1);
    choose("Export ranged data");
    ASSERT_TRUE(waitFor([&] {
        advance(0);
        return !outbox.mails.empty();
    }));
    const std::string& csv = outbox.mails[0].attachments[0].data;
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "Date, kpl, lit., Cost, Distance, Speed");
    EXPECT_NE(csv.find("\"" + dayKey(0) + "\", 13.2"), std::string::npos);
    EXPECT_LT(csv.find(dayKey(0)), csv.find(dayKey(1)));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
}

TEST_F(GraphViewConTest, ExportRefusesAnEmptyLogAndASingleDay)
{
    auto trends = showTrends();
    trends->displayOptions();
    advance(1);
    choose("Export all data");
    EXPECT_EQ(alertMessage(), "No data available");
    ui::AlertController::dismissAll();

    fillLog();
    trends->viewWillAppear(false);
    FuelGraphView& chart = *trends->gView();
    chart.touchesBegan({touchAt(chart.pointMap().at(2).x, 1)});
    ASSERT_TRUE(waitFor([&] {
        advance(0);
        return trends->stats().fromDateStr == dayKey(2);
    }));
    trends->displayOptions();
    advance(1);
    choose("Export ranged data");
    EXPECT_EQ(alertMessage(), "No data available\nOr no range selected.");
    EXPECT_TRUE(outbox.mails.empty());
}

TEST_F(GraphViewConTest, AFailedWriteIsReportedAndNothingIsMailed)
{
    fillLog();
    auto trends = showTrends();
    std::filesystem::create_directories(fnd::Paths::documents() / "Fuel_eco_DATA.csv" / "in-the-way");
    trends->sendMail();
    advance(1);
    EXPECT_EQ(ui::AlertController::visible()->title(), "Error");
    EXPECT_TRUE(outbox.mails.empty());
}

TEST_F(GraphViewConTest, TheAxisReadsRoundStepsAndDaysSitADayApartFromTheRightEdge)
{
    fillLog();
    fuelData().dataArr = {19.6f, 12, 15, 12, 10};
    auto trends = showTrends();
    ui::Window& window = root->window();
    for (const char* label : {"6", "12", "18", "24"})
        EXPECT_TRUE(testsupport::shows(window, label)) << label;
    EXPECT_FALSE(testsupport::shows(window, "21"));

    // Today sits on the right edge of the plot (0.925 of the width), each older day one fourteenth of 0.9 left.
    const FuelGraphView& chart = *trends->gView();
    const double width = chart.bounds().width();
    EXPECT_NEAR(chart.pointMap().at(0).x, 0.925 * width, 1e-9);
    EXPECT_NEAR(chart.pointMap().at(1).x, 0.925 * width - 0.9 * width / 14, 1e-9);
}

// Back on Trends the last selection's figures stay, and From and To are empty.
TEST_F(GraphViewConTest, OnlyTheFiguresStayAcrossVisits)
{
    fillLog();
    auto trends = std::make_shared<GraphViewCon>();
    showTabs({{"Fuel", std::make_shared<FuelViewController>()}, {"Trends", trends}});
    ui::Window& window = root->window();
    ASSERT_TRUE(testsupport::tapText(window, "Trends"));
    advance(1);
    FuelGraphView& chart = *trends->gView();
    const double y = chart.convertPoint({0, 0.7 * chart.bounds().height()}, nullptr).y;
    const ui::Point newer{chart.convertPoint(chart.pointMap().at(0), nullptr).x, y};
    const ui::Point older{chart.convertPoint(chart.pointMap().at(1), nullptr).x, y};
    window.sendTouches(ui::TouchPhase::Began, testsupport::fingers({newer, older}));
    EXPECT_TRUE(waitFor([&] {
        advance(0);
        return testsupport::shows(window, "25.");
    }));
    window.sendTouches(ui::TouchPhase::Ended, testsupport::fingers({newer, older}));
    advance(1);

    ASSERT_TRUE(testsupport::tapText(window, "Fuel"));
    advance(1);
    ASSERT_TRUE(testsupport::tapText(window, "Trends"));
    advance(1);
    EXPECT_EQ(trends->rowTexts(0), (std::vector<std::string>{"From", "To", "", ""}));
    EXPECT_TRUE(testsupport::shows(window, "25."));
    EXPECT_TRUE(testsupport::shows(window, "3.0 gal."));
}

// On a phone on its side both tabs hide the tab bar; a tap brings it back, so each tab reaches the other.
TEST_F(GraphViewConTest, OnItsSideATapShowsTheTabBarBothWays)
{
    ui::Device::current().setScreenSize({844, 390});
    ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
    makeWindow();
    auto trends = std::make_shared<GraphViewCon>();
    showTabs({{"Fuel", std::make_shared<FuelViewController>()}, {"Trends", trends}});
    ui::Window& window = root->window();
    const ui::Point middle{422, 200};
    advance(2);
    ASSERT_FALSE(testsupport::shows(window, "Trends"));

    testsupport::tap(window, middle);
    ASSERT_TRUE(testsupport::tapText(window, "Trends"));
    advance(1);
    EXPECT_EQ(tabs->selectedIndex(), 1);
    EXPECT_FALSE(testsupport::shows(window, "Fuel"));

    testsupport::tap(window, middle);
    window.layoutIfNeeded();
    ASSERT_TRUE(testsupport::tapText(window, "Fuel"));
    advance(1);
    EXPECT_EQ(tabs->selectedIndex(), 0);
    EXPECT_TRUE(testsupport::shows(window, "Instant. fuel"));

    // The peek ends by itself, and the chart keeps the screen but for the bar while it shows.
    testsupport::tap(window, middle);
    ASSERT_TRUE(testsupport::tapText(window, "Trends"));
    testsupport::tap(window, middle);
    window.layoutIfNeeded();
    const ui::Rect chart = trends->gView()->convertRect(trends->gView()->bounds(), nullptr);
    const ui::Rect bar = tabs->tabBar().convertRect(tabs->tabBar().bounds(), nullptr);
    EXPECT_LE(chart.maxY(), bar.minY());
    advance(2);
    window.layoutIfNeeded();
    EXPECT_FALSE(testsupport::shows(window, "Fuel"));
}

// Dragged back by part of a day, the day labels move right with the chart: the newest stays drawn past the edge.
TEST_F(GraphViewConTest, DragsKeepTheNewestDayLabelCutAtTheEdge)
{
    for (const ui::Size size : {ui::Size{844, 390}, ui::Size{390, 844}}) {
        ui::Device::current().setScreenSize(size);
        makeWindow();
        auto trends = showTrends();
        ui::Window& window = root->window();
        const ui::Rect chart = trends->gView()->convertRect(trends->gView()->bounds(), nullptr);
        const double dayWidth = 0.9 * chart.width() / 14;
        for (int step = 0; step < 10; ++step) {
            const double from = chart.midX();
            testsupport::drag(window, {from, chart.midY()}, {from + 0.1 * dayWidth, chart.midY()});
            advance(1);
        }
        EXPECT_TRUE(std::ranges::any_of(ui::visibleTextFrames(window), &ui::ShownText::cut)) << size.width;
        EXPECT_GT(trends->gView()->graphDragOffset(), 0);
    }
}

}  // namespace
