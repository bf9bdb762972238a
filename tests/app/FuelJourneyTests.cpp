// Fuel economy from launch to outcome against the adapter simulator: drive, reset the trip, read the day on
// Trends, export it, and find the same day after the app starts again on the same Documents folder.

#include "shell/app/ShellAppTest.h"

#include <string>
#include <vector>

#include "app/Features.h"
#include "core/model/DataStore.h"
#include "fuel/FuelViewController.h"
#include "fuel/GraphViewCon.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Strings.h"
#include "support/MailRecorder.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"

namespace {

constexpr double kmPerMile = 1.60934;

class FuelJourneyTest : public ShellAppTest {
protected:
    void SetUp() override
    {
        ShellAppTest::SetUp();
        // A steady 100 km/h at 10 g/s of air: 71.07 mpg.
        sim.updateCar([](elmsim::CarState& s) {
            s.speed = 100;
            s.maf = 10;
        });
    }

    // The app started on the simulator, connected, on a fuel tab.
    void start(const std::string& screen)
    {
        launchApp(appScreens(), AdapterAddress{"127.0.0.1", sim.port()});
        ASSERT_TRUE(waitFor([] { return link().isConnected(); }));
        ASSERT_EQ(app->openScreen(screen), std::nullopt);
        drive(1);
    }

    // The app ends as at quit, and starts again on what it saved.
    void restart(const std::string& screen)
    {
        app->willTerminate();
        app.reset();
        ui::AlertController::dismissAll();
        window.reset();
        link().disconnect();
        Manager::resetForTesting();
        DataStore::sharedDataStore().resetForTesting();
        start(screen);
    }

    // The clock a second at a time, each second with the adapter's replies to what was asked in it.
    void drive(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            advance(1);
            ASSERT_TRUE(waitForAnswers()) << "the adapter answers";
        }
    }

    static FuelData& fuelData() { return Manager::sharedManager().fuelData(); }
    ui::Window& screen() { return window->window(); }
    bool shows(const std::string& text) { return testsupport::shows(screen(), text); }

    template <typename Screen>
    Screen& visible()
    {
        auto* found = dynamic_cast<Screen*>(app->rootController()->visibleFeatureScreen());
        EXPECT_NE(found, nullptr);
        return *found;
    }

    void tapBarButton(ui::ViewController& on, const std::shared_ptr<ui::BarButtonItem>& item)
    {
        ui::View* button = on.navigationController()->navigationBar().viewForItem(*item);
        ASSERT_NE(button, nullptr);
        testsupport::tap(screen(), *button);
        advance(0.5);
    }

    // A finger held on the chart at today's day until `expected` shows among its figures, then lifted.
    void holdOnToday(const std::string& expected)
    {
        const FuelGraphView& chart = *visible<GraphViewCon>().gView();
        ASSERT_EQ(chart.pointMap().count(0), 1u) << "no point for today";
        const ui::Point at = chart.convertPoint({chart.pointMap().at(0).x, 0.7 * chart.bounds().height()}, nullptr);
        screen().sendTouch(ui::TouchPhase::Began, at);
        const bool shown = waitFor([&] {
            advance(0);
            return shows(expected);
        });
        screen().sendTouch(ui::TouchPhase::Ended, at);
        EXPECT_TRUE(shown) << expected;
    }

    static std::string today() { return fnd::DateFormatter("MMM d, yyyy").stringFromDate(fnd::Date::now()); }

    testsupport::MailRecorder outbox;
};

TEST_F(FuelJourneyTest, DriveResetTrendsExportAndRestart)
{
    start("Fuel Economy");
    auto& fuel = visible<FuelViewController>();
    drive(130);
    EXPECT_TRUE(shows("62 mph"));
    ASSERT_EQ(fuelData().dayCount(), 1u) << "the periodic save wrote the day";

    // The reset saves the trip so far and starts a new one.
    tapBarButton(fuel, fuel.navigationItem().rightBarButtonItem());
    EXPECT_TRUE(shows("00:00:00"));
    EXPECT_TRUE(shows("0 mph"));
    drive(30);
    EXPECT_TRUE(shows("00:00:30"));

    ASSERT_TRUE(testsupport::tapText(screen(), "Trends"));
    advance(0.5);
    // Both trips of the day: 161 s at 100 km/h, give or take the second of each start.
    ASSERT_EQ(fuelData().dayCount(), 1u);
    const float miles = fuelData().distanceArr[0];
    EXPECT_NEAR(miles, 161 * 100 / 3600.0 / kmPerMile, 0.1);
    EXPECT_NEAR(fuelData().dataArr[0], 71.07, 0.2);
    const std::string distance = fnd::format("%.1f mil.", miles);
    holdOnToday(distance);
    EXPECT_TRUE(shows(today()));
    EXPECT_TRUE(shows("71."));

    auto& trends = visible<GraphViewCon>();
    tapBarButton(trends, trends.navigationItem().rightBarButtonItem());
    ASSERT_TRUE(testsupport::tapText(screen(), "Export all data"));
    ASSERT_TRUE(waitFor([&] {
        advance(0);
        return !outbox.mails.empty();
    }));
    ASSERT_EQ(outbox.mails[0].attachments.size(), 1u);
    const std::string expectedCsv =
        "Date, mpg, gal., Cost, Distance, Speed\n\"" + today() + "\", " +
        fnd::format("%.1f, %.1f, %.1f, %.1f, %.1f\n", fuelData().dataArr[0], fuelData().fuelArr[0],
                    fuelData().costArr[0], miles, fuelData().speedArr[0]);
    EXPECT_EQ(outbox.mails[0].attachments[0].data, expectedCsv);
    EXPECT_NE(expectedCsv.find(fnd::format("%.1f, 62.", miles)), std::string::npos) << expectedCsv;

    // The trip counted on while Trends showed, up to the quit, which saved it.
    restart("Fuel Economy/Trends");
    ASSERT_EQ(fuelData().dayCount(), 1u);
    EXPECT_GT(fuelData().distanceArr[0], miles);
    EXPECT_NEAR(fuelData().distanceArr[0], miles, 0.05);
    holdOnToday(fnd::format("%.1f mil.", fuelData().distanceArr[0]));
    EXPECT_TRUE(shows(today()));
}

}  // namespace
