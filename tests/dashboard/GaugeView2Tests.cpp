#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "DashboardTest.h"
#include "dashboard/GaugeView2.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int loadSensor = 0;

void advanceTicks(double ticks) { fnd::RunLoop::main().advance(ticks * GaugeView2::tickInterval); }

std::vector<int> soundsPlayed() { return fnd::SystemSound::played(); }

class GaugeView2Test : public DashboardTest {
protected:
    std::shared_ptr<GaugeView2> makeTile()
    {
        auto tile = std::make_shared<GaugeView2>(9, GaugeView2::analogStyle, 0);
        tile->setFrame(ui::makeRect(0, 0, 200, 200));
        tile->setupLayer();
        tile->initData("Load", 0, 100, "%", loadSensor, 0);
        return tile;
    }
};

TEST_F(GaugeView2Test, FirstReadingIsShownAtOnceAndLaterOnesGlideOverTheGapBetweenReadings)
{
    auto tile = makeTile();
    EXPECT_EQ(tile->valueText(), "--");
    tile->setVal(20);
    EXPECT_FLOAT_EQ(tile->needleValue(), 20);
    EXPECT_EQ(tile->valueText(), "20");

    // Readings a second apart: the next glide takes about a second, linearly.
    advanceTicks(20);
    tile->setVal(80);
    EXPECT_GT(tile->needleValue(), 20);
    EXPECT_LT(tile->needleValue(), 30);
    advanceTicks(10);
    EXPECT_NEAR(tile->needleValue(), 50, 4);
    advanceTicks(11);
    EXPECT_FLOAT_EQ(tile->needleValue(), 80);
    EXPECT_EQ(tile->valueText(), "80");
    advanceTicks(40);
    EXPECT_FLOAT_EQ(tile->needleValue(), 80);
}

TEST_F(GaugeView2Test, FasterReadingsShortenTheGlide)
{
    auto tile = makeTile();
    tile->setVal(0);
    advanceTicks(20);
    tile->setVal(100);
    advanceTicks(4);  // the next reading comes early, after 0.2 s
    const float shownWhenCut = tile->needleValue();
    EXPECT_LT(shownWhenCut, 30);
    tile->setVal(0);  // starts from where the needle stands
    EXPECT_LT(tile->needleValue(), shownWhenCut);
    EXPECT_GT(tile->needleValue(), 0);
    advanceTicks(5);
    EXPECT_FLOAT_EQ(tile->needleValue(), 0);
}

TEST_F(GaugeView2Test, StoppedTimerHoldsTheNeedleUntilTheNextReading)
{
    auto tile = makeTile();
    tile->setVal(0);
    advanceTicks(20);
    tile->setVal(100);
    advanceTicks(5);
    tile->stopTimer();
    EXPECT_FALSE(tile->isTimerRunning());
    const float held = tile->needleValue();
    advanceTicks(40);
    EXPECT_FLOAT_EQ(tile->needleValue(), held);
    tile->startTimer();
    advanceTicks(40);
    EXPECT_FLOAT_EQ(tile->needleValue(), 100);
    tile->stopTimer();
    tile->setVal(50);
    EXPECT_TRUE(tile->isTimerRunning());
}

TEST_F(GaugeView2Test, ReadingsOutsideTheRangeStopTheNeedleAtTheEndButNotTheReadout)
{
    auto tile = makeTile();
    tile->setVal(150);
    EXPECT_FLOAT_EQ(tile->needleValue(), 100);
    EXPECT_EQ(tile->valueText(), "150");
    advanceTicks(20);
    tile->setVal(-20);
    advanceTicks(25);
    EXPECT_FLOAT_EQ(tile->needleValue(), 0);
    EXPECT_EQ(tile->valueText(), "-20");
}

TEST_F(GaugeView2Test, NoNumberShowsDashesAndLeavesNeedleAndWarning)
{
    auto tile = makeTile();
    tile->setLimits({.notify = true, .max = 0.5f});
    tile->setVal(70);
    advanceTicks(20);
    for (const float none : {std::nanf(""), std::numeric_limits<float>::infinity()}) {
        tile->setVal(none);
        advanceTicks(20);
        EXPECT_EQ(tile->valueText(), "--");
        EXPECT_FLOAT_EQ(tile->needleValue(), 70);
        EXPECT_TRUE(tile->isWarning());
    }
    tile->setVal(30);  // glides down from where the needle stood
    EXPECT_GT(tile->needleValue(), 60);
    EXPECT_LT(tile->needleValue(), 70);
    EXPECT_FALSE(tile->isWarning());
}

struct WarningCase {
    const char* name;
    bool notify;
    bool sound;
    float minLimit;
    float maxLimit;
    std::vector<float> readings;
    std::vector<bool> warnings;  // after each reading
    int sounds;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const WarningCase& c, std::ostream* os)
{
    *os << c.name;
}

class GaugeWarnings : public GaugeView2Test, public ::testing::WithParamInterface<WarningCase> {};

TEST_P(GaugeWarnings, WarnWhileOutsideAndSoundOncePerCrossing)
{
    const WarningCase c = GetParam();
    auto tile = makeTile();
    tile->setLimits({c.notify, c.sound, c.minLimit, c.maxLimit});
    for (std::size_t i = 0; i < c.readings.size(); ++i) {
        tile->setVal(c.readings[i]);
        advanceTicks(10);
        EXPECT_EQ(tile->isWarning(), c.warnings[i]) << "reading " << c.readings[i];
    }
    EXPECT_EQ(soundsPlayed(), std::vector<int>(static_cast<std::size_t>(c.sounds), GaugeView2::limitSound));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, GaugeWarnings,
    ::testing::Values(
        WarningCase{"above_then_back_then_above_again", true, true, 0, 0.8f, {50, 85, 90, 99, 70, 95},
                    {false, true, true, true, false, true}, 2},
        WarningCase{"below_the_lower_limit", true, true, 0.2f, 1, {50, 10, 5, 30}, {false, true, true, false}, 1},
        WarningCase{"first_reading_already_outside", true, true, 0.1f, 0.9f, {95}, {true}, 1},
        WarningCase{"default_limits_warn_only_outside_the_range", true, true, 0, 1, {100, 101, -1},
                    {false, true, true}, 1},
        WarningCase{"colour_without_sound", true, false, 0, 0.8f, {85, 50, 90}, {true, false, true}, 0},
        WarningCase{"warnings_off", false, true, 0, 0.8f, {85, 50, 90}, {false, false, false}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GaugeView2Test, LimitsKeepWhenTheTileIsBoundAgain)
{
    auto tile = makeTile();
    tile->setLimits({.notify = true, .sound = true, .max = 0.5f});
    tile->initData("Boost", 0, 2, "bar", 101, 1);
    tile->setVal(1.5f);
    EXPECT_TRUE(tile->isWarning());
    EXPECT_EQ(soundsPlayed(), std::vector<int>{GaugeView2::limitSound});
}

TEST_F(GaugeView2Test, WithoutLimitsOrWithAnEmptyRangeItNeverWarnsNorBreaks)
{
    auto tile = makeTile();
    tile->setVal(500);
    EXPECT_FALSE(tile->isWarning());
    tile->setLimits({.notify = true, .sound = true, .max = 0.5f});
    tile->initData("Flat", 10, 10, "", loadSensor, 0);
    tile->setVal(12);
    advanceTicks(5);
    EXPECT_FLOAT_EQ(tile->needleValue(), 10);
    EXPECT_FALSE(tile->renderToImage().isNull());
    EXPECT_TRUE(soundsPlayed().empty());
}

TEST_F(GaugeView2Test, BindingAgainResetsTheReading)
{
    auto tile = makeTile();
    tile->setLimits({.notify = true, .max = 0.5f});
    tile->setVal(90);
    ASSERT_TRUE(tile->isWarning());
    tile->initData("Speed", 0, 255, "km/h", 9, 0);
    EXPECT_FALSE(tile->isWarning());
    EXPECT_EQ(tile->valueText(), "--");
    EXPECT_FLOAT_EQ(tile->needleValue(), 0);
    tile->setVal(90);
    tile->resetData();
    EXPECT_EQ(tile->valueText(), "--");
}

}  // namespace
