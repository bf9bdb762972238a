#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <set>
#include <string>

#include "FuelTest.h"
#include "fuel/FuelGraphView.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/RunLoop.h"

namespace {

struct RangeRecorder : GraphViewDelegate {
    int ranges = 0;
    int started = 0;
    int ended = 0;
    void graphDidUpdateRange(FuelGraphView&) override { ++ranges; }
    void touchHasStarted(FuelGraphView&) override { ++started; }
    void touchHasEnded(FuelGraphView&) override { ++ended; }
};

std::string dayKey(int daysAgo)
{
    return fnd::DateFormatter("MMM d, yyyy").stringFromDate(fnd::Calendar::dateByAddingDays(fnd::Date::now(), -daysAgo));
}

ui::Touch touchAt(double x, std::uint64_t id = 1, double fromX = -1)
{
    ui::Touch touch;
    touch.id = id;
    touch.location = {x, 100};
    touch.previousLocation = {fromX < 0 ? x : fromX, 100};
    return touch;
}

// Sets TZ for one test and puts the old zone back.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard()
    {
        if (old_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_;
};

class FuelGraphViewTest : public FuelTest {
protected:
    std::shared_ptr<FuelGraphView> makeChart()
    {
        auto chart = std::make_shared<FuelGraphView>(ui::makeRect(0, 0, 390, 250), 0);
        chart->setDelegate(&recorder);
        return chart;
    }

    // Five logged days: today, 1, 2, 4 and 6 days ago (newest first).
    static void fillLog(FuelGraphView& chart)
    {
        chart.dateArr = {dayKey(0), dayKey(1), dayKey(2), dayKey(4), dayKey(6)};
        chart.dataArr = {30, 25, 20, 35, 40};
        chart.updateMetrics(0);
    }

    RangeRecorder recorder;
};

TEST_F(FuelGraphViewTest, RangesScanTheirDaysPlusOne)
{
    auto chart = makeChart();
    const int expected[] = {15, 29, 91, 181, 361};
    for (int mode = 0; mode < 5; ++mode) {
        chart->changeGraphMode(mode);
        EXPECT_EQ(chart->scannedDayKeys().size(), static_cast<std::size_t>(expected[mode])) << mode;
    }
    EXPECT_EQ(FuelGraphView::rangeDayCount(9), 14);
    EXPECT_EQ(FuelGraphView::rangeLabelStep(1), 4);
}

TEST_F(FuelGraphViewTest, AxisAndUnits)
{
    auto chart = makeChart();
    chart->dataArr = {0, 0, 0};
    chart->updateMetrics(2);
    EXPECT_FLOAT_EQ(chart->max(), 4.0f);
    EXPECT_FLOAT_EQ(chart->min(), 0);
    EXPECT_EQ(chart->unitsStr(), "l/100km");
    chart->dataArr = {12, 30, 8};
    chart->updateMetrics(1);
    EXPECT_FLOAT_EQ(chart->max(), 40.0f);
    EXPECT_EQ(chart->unitsStr(), "kpl");
    EXPECT_EQ(FuelGraphView::getMonth("12"), "Dec");
    EXPECT_EQ(FuelGraphView::getMonth2("3"), "Ma");
    EXPECT_EQ(FuelGraphView::getMonth("13"), "");
    EXPECT_EQ(FuelGraphView::getMonth2("x"), "");
}

TEST_F(FuelGraphViewTest, TheAxisRisesInFourRoundWholeSteps)
{
    const std::pair<float, float> cases[] = {{0, 4}, {3, 4}, {7.5f, 12}, {19.6f, 24}, {35.3f, 40}, {31.1f, 40},
                                             {52, 60}, {90, 100}, {140, 160}, {2400, 3200}};
    for (const auto& [largest, axis] : cases) {
        EXPECT_FLOAT_EQ(FuelGraphView::axisMax(largest), axis) << largest;
        EXPECT_GE(FuelGraphView::axisMax(largest), 1.1f * largest) << largest;
    }
    EXPECT_FLOAT_EQ(FuelGraphView::axisMax(std::numeric_limits<float>::infinity()), 4.0f);
}

TEST_F(FuelGraphViewTest, OnlyLoggedDaysBecomePointsNewestFirst)
{
    auto chart = makeChart();
    fillLog(*chart);
    const auto& points = chart->pointMap();
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points.begin()->first, 0);
    EXPECT_EQ(points.rbegin()->first, 6);
    EXPECT_GT(points.at(0).x, points.at(6).x);
    // The highest value (40 of an axis of 60) is nearest the top.
    EXPECT_LT(points.at(6).y, points.at(0).y);
}

TEST_F(FuelGraphViewTest, OneFingerSelectsTheNearestDay)
{
    auto chart = makeChart();
    fillLog(*chart);
    const double x = chart->pointMap().at(2).x;
    chart->touchesBegan({touchAt(x + 3)});
    fnd::RunLoop::main().advance(0);
    EXPECT_EQ(recorder.started, 1);
    EXPECT_EQ(recorder.ranges, 1);
    // Positions count from the oldest logged day: two days ago is position 2 of 0-4.
    EXPECT_EQ(chart->beginIndex(), 2);
    EXPECT_EQ(chart->endIndex(), 2);
    EXPECT_EQ(chart->selectionText(), "20.0 " + dayKey(2));

    // Moving within the same day reports nothing new.
    chart->touchesMoved({touchAt(x + 1, 1, x + 3)});
    fnd::RunLoop::main().advance(0);
    EXPECT_EQ(recorder.ranges, 1);
    chart->touchesEnded({touchAt(x + 1)});
    EXPECT_EQ(recorder.ended, 1);
    EXPECT_EQ(chart->point1(), 0);
    EXPECT_EQ(chart->beginIndex(), 2);
}

TEST_F(FuelGraphViewTest, TwoFingersSelectARangeAndItsAverage)
{
    auto chart = makeChart();
    fillLog(*chart);
    chart->touchesBegan({touchAt(chart->pointMap().at(0).x, 1), touchAt(chart->pointMap().at(4).x, 2)});
    fnd::RunLoop::main().advance(0);
    EXPECT_EQ(chart->endIndex(), 1);
    EXPECT_EQ(chart->beginIndex(), 4);
    EXPECT_FLOAT_EQ(chart->rangeAverage(), (30 + 25 + 20 + 35) / 4.0f);
    EXPECT_EQ(chart->selectionText(), dayKey(4) + " - " + dayKey(0));

    // Both ends on one day: a one-day range.
    const double x = chart->pointMap().at(1).x;
    chart->touchesBegan({touchAt(x, 1), touchAt(x + 2, 2)});
    EXPECT_EQ(chart->endIndex(), 3);
    EXPECT_EQ(chart->beginIndex(), 3);
}

TEST_F(FuelGraphViewTest, DraggingMovesTheWindowBackButNotPastToday)
{
    auto chart = makeChart();
    fillLog(*chart);
    chart->toggleScrolling();
    chart->touchesBegan({touchAt(100)});
    const double dayWidth = 0.9 * 390 / 14;
    chart->touchesMoved({touchAt(100 + 2.5 * dayWidth, 1, 100)});
    EXPECT_NEAR(chart->graphDragOffset(), 2.5 * dayWidth, 1e-3);
    EXPECT_EQ(chart->scannedDayKeys().front(), dayKey(2));
    EXPECT_EQ(chart->pointMap().count(0), 1u);  // two days ago is now the window's newest day
    chart->touchesMoved({touchAt(0, 1, 300)});
    EXPECT_EQ(chart->graphDragOffset(), 0);
    EXPECT_EQ(chart->scannedDayKeys().front(), dayKey(0));
}

TEST_F(FuelGraphViewTest, DaysAreCalendarDaysAcrossADaylightSavingChange)
{
    // The manual clock starts on Nov 14, 2023; Europe left summer time on Oct 29.
    ZoneGuard zone("Europe/Berlin");
    auto chart = makeChart();
    chart->changeGraphMode(1);
    const auto keys = chart->scannedDayKeys();
    const std::set<std::string> distinct(keys.begin(), keys.end());
    EXPECT_EQ(distinct.size(), keys.size());
    EXPECT_EQ(keys.front(), "Nov 14, 2023");
    EXPECT_EQ(keys[16], "Oct 29, 2023");
    EXPECT_EQ(keys[17], "Oct 28, 2023");
    EXPECT_EQ(keys.back(), "Oct 17, 2023");
}

TEST_F(FuelGraphViewTest, DrawsEveryRangeAndSelection)
{
    auto chart = makeChart();
    fillLog(*chart);
    for (int mode = 0; mode < 5; ++mode) {
        chart->changeGraphMode(mode);
        EXPECT_FALSE(chart->renderToImage(1).isNull());
    }
    chart->changeGraphMode(0);
    chart->touchesBegan({touchAt(chart->pointMap().at(0).x, 1), touchAt(chart->pointMap().at(6).x, 2)});
    chart->setFrame(ui::makeRect(0, 0, 844, 300));
    chart->changeToLandscape();
    const auto path = testsupport::artifactsDir() / "fuel" / "chart-range-landscape.png";
    std::filesystem::create_directories(path.parent_path());
    EXPECT_TRUE(chart->renderToImage(2).writePNG(path));
}

}  // namespace
