// The two fuel tabs together, as the user goes between them while driving: Trends shows what the Fuel tab
// saved, and the trip goes on counting while Trends is shown.
#include <memory>
#include <string>

#include "FuelScreenTest.h"
#include "fuel/FuelView.h"
#include "fuel/FuelViewController.h"
#include "fuel/GraphViewCon.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Strings.h"
#include "support/MailRecorder.h"
#include "platform/ui/TabBar.h"
#include "support/Input.h"

namespace {

class FuelTabsTest : public FuelScreenTest {
protected:
    void SetUp() override
    {
        FuelScreenTest::SetUp();
        sim.updateCar([](elmsim::CarState& s) {
            s.speed = 100;
            s.maf = 10;
        });
        ASSERT_TRUE(connect());
        fuel = std::make_shared<FuelViewController>();
        fuel->setScanner(link);
        trends = std::make_shared<GraphViewCon>();
        showTabs({{"Fuel", fuel}, {"Trends", trends}});
        ASSERT_TRUE(waitFor([&] { return fuel->fView()->insMpgVal() > 0; }));
    }

    static std::string today() { return fnd::DateFormatter("MMM d, yyyy").stringFromDate(fnd::Date::now()); }

    // The day's distance in the log, as the Trends table writes it.
    static std::string loggedDistance() { return fnd::format("%.1f mil.", fuelData().distanceArr.at(0)); }

    void tapTab(const std::string& title)
    {
        ASSERT_TRUE(testsupport::tapText(window(), title));
        advance(0.5);
    }

    // A finger held on the chart below today's point until `expected` shows among that day's figures, then
    // lifted.
    void selectToday(const std::string& expected)
    {
        const FuelGraphView& chart = *trends->gView();
        ASSERT_EQ(chart.pointMap().count(0), 1u) << "no point for today";
        const ui::Point at = chart.convertPoint({chart.pointMap().at(0).x, 0.7 * chart.bounds().height()}, nullptr);
        window().sendTouch(ui::TouchPhase::Began, at);
        const bool shown = waitFor([&] {
            advance(0);
            return testsupport::shows(window(), expected);
        });
        window().sendTouch(ui::TouchPhase::Ended, at);
        EXPECT_TRUE(shown) << expected;
    }

    std::shared_ptr<FuelViewController> fuel;
    std::shared_ptr<GraphViewCon> trends;
    testsupport::MailRecorder outbox;
};

TEST_F(FuelTabsTest, TrendsShowsTheTripSavedAsTheUserLeftTheFuelTab)
{
    drive(30);
    tapTab("Trends");
    ASSERT_EQ(fuelData().dayCount(), 1u);
    selectToday(loggedDistance());
    EXPECT_TRUE(testsupport::shows(window(), today()));
    EXPECT_EQ(loggedDistance(), fnd::format("%.1f mil.", fuel->trip().distance() / 1.60934f));
}

TEST_F(FuelTabsTest, TheTripKeepsCountingWhileTrendsIsShown)
{
    drive(10);
    tapTab("Trends");
    const float ticks = fuel->trip().ticks();
    const float km = fuel->trip().distance();
    drive(20);
    EXPECT_GE(fuel->trip().ticks(), ticks + 19);
    EXPECT_NEAR(fuel->trip().distance() - km, 20 * 100 / 3600.0, 0.05);
    tapTab("Fuel");
    drive(1);
    EXPECT_TRUE(testsupport::shows(window(), fuel->trip().timeText()));
    EXPECT_GE(fuel->trip().ticks(), ticks + 20);

    // Leaving the fuel tabs from Trends ends the counting and saves it.
    tapTab("Trends");
    leave();
    drive(2);
    const float left = fuel->trip().ticks();
    drive(5);
    EXPECT_FALSE(fuel->isPolling());
    EXPECT_EQ(fuel->trip().ticks(), left);
    EXPECT_NEAR(fuelData().distanceArr.at(0), fuel->trip().distance() / 1.60934f, 1e-4);
}

TEST_F(FuelTabsTest, TrendsAndItsExportFollowTheSavesMadeWhileItShows)
{
    drive(10);
    tapTab("Trends");
    selectToday(loggedDistance());
    const std::string before = loggedDistance();
    drive(FuelViewController::saveInterval);
    ASSERT_NE(loggedDistance(), before) << "the periodic save added to the day";
    advance(0);
    EXPECT_TRUE(testsupport::shows(window(), before)) << "the figures stay until the next selection";
    EXPECT_FALSE(testsupport::shows(window(), today())) << "From and To are emptied";

    ui::NavigationBar& bar = trends->navigationController()->navigationBar();
    testsupport::tap(window(), *bar.viewForItem(*trends->navigationItem().rightBarButtonItem()));
    advance(1);
    ASSERT_TRUE(testsupport::tapText(window(), "Export all data"));
    ASSERT_TRUE(waitFor([&] {
        advance(0);
        return !outbox.mails.empty();
    }));
    const std::string& csv = outbox.mails.at(0).attachments.at(0).data;
    EXPECT_NE(csv.find(fnd::format("%.1f, %.1f", fuelData().costArr[0], fuelData().distanceArr[0])), std::string::npos)
        << csv;
}

}  // namespace
