#include <gtest/gtest.h>

#include "LoggingTest.h"
#include "logging/GaugeCell.h"
#include "logging/ListGaugeView.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"

namespace {

using loggingtests::advance;
using loggingtests::LoggingTest;

class BarGauge : public LoggingTest {};

TEST_F(BarGauge, SegmentsOfA180By19Bar)
{
    ListGaugeView bar(ui::makeRect(0, 0, 180, 19), 0);
    bar.initData(0, 100, 0);
    EXPECT_FLOAT_EQ(bar.barWidth(), 2);
    EXPECT_FLOAT_EQ(bar.barLength(), 17);
    const auto segments = bar.segmentPositions();
    ASSERT_EQ(segments.size(), 56u);
    EXPECT_DOUBLE_EQ(segments.front(), 10);
    EXPECT_DOUBLE_EQ(segments[1], 13);
    EXPECT_DOUBLE_EQ(segments.back(), 175);
    bar.updateGauge(50);
    EXPECT_EQ(bar.litSegmentCount(), 27);
    bar.updateGauge(150);
    EXPECT_EQ(bar.litSegmentCount(), 56) << "above the maximum the bar stays full";
}

TEST_F(BarGauge, EmptyRangeOrNoWidthDrawsNothingLit)
{
    ListGaugeView flat(ui::makeRect(0, 0, 180, 19), 0);
    flat.initData(5, 5, 0);
    flat.updateGauge(5);
    EXPECT_EQ(flat.litSegmentCount(), 0);
    ListGaugeView narrow(ui::makeRect(0, 0, 0, 19), 0);
    narrow.initData(0, 100, 0);
    narrow.updateGauge(50);
    EXPECT_TRUE(narrow.segmentPositions().empty());
    // Drawing either ends: no endless comb.
    ui::BitmapContext context({180, 19});
    flat.draw(context, flat.bounds());
    narrow.draw(context, narrow.bounds());
}

TEST_F(BarGauge, LimitSoundPlaysWhenAValueArrivesAtMostEveryFiveSeconds)
{
    ListGaugeView bar(ui::makeRect(0, 0, 180, 19), 0);
    bar.initData(0, 100, 8);
    bar.setLimits({.notify = true, .sound = true, .max = 0.9f});
    bar.updateGauge(95);
    EXPECT_TRUE(bar.isWarning());
    ui::BitmapContext context({180, 19});
    bar.draw(context, bar.bounds());
    bar.draw(context, bar.bounds());
    bar.updateGauge(96);
    EXPECT_EQ(fnd::SystemSound::played(), std::vector<int>{1112}) << "drawing plays nothing; one sound per 5 s";
    advance(5.1);
    bar.updateGauge(97);
    EXPECT_EQ(fnd::SystemSound::played().size(), 2u);
    bar.updateGauge(50);
    EXPECT_FALSE(bar.isWarning());
}

class RowCell : public LoggingTest {
protected:
    GaugeCell cell{388, 0};
};

TEST_F(RowCell, LabelsOfAnEngineSpeedRow)
{
    cell.setCellData(0, 8000, "RPM", "rpm", 8);
    EXPECT_EQ(cell.unitsLabel().text(), "rpm x1000");
    EXPECT_EQ(cell.minLabel().text(), "0");
    EXPECT_EQ(cell.maxLabel().text(), "8000");
    cell.updateCell(3400);
    EXPECT_EQ(cell.valLabel().text(), "3.4") << "the first value shows at once";
}

TEST_F(RowCell, NumberFormatsByRange)
{
    EXPECT_EQ(GaugeCell::valueText(12.345f, 5), "12.35");
    EXPECT_EQ(GaugeCell::valueText(12.345f, 16), "12.3");
    EXPECT_EQ(GaugeCell::valueText(12.9f, 255), "12");
    EXPECT_EQ(GaugeCell::valueText(3400, 8000), "3.4");
}

TEST_F(RowCell, AnimationTakesAsLongAsTheGapBetweenValues)
{
    cell.setCellData(0, 255, "Speed", "km/h", 9);
    cell.updateCell(100);
    EXPECT_EQ(cell.valLabel().text(), "100");
    advance(1.0);  // about 20 steps pass before the next value
    cell.updateCell(200);
    advance(0.5);
    const int halfway = std::stoi(cell.valLabel().text());
    EXPECT_GT(halfway, 120);
    EXPECT_LT(halfway, 180);
    advance(0.6);
    EXPECT_EQ(cell.valLabel().text(), "200");
    EXPECT_EQ(cell.gView().value(), 200);
}

TEST_F(RowCell, AboveTheRangeTheBarStopsAndTheNumberGoesOn)
{
    cell.setCellData(0, 255, "Speed", "km/h", 9);
    cell.updateCell(300);
    EXPECT_EQ(cell.valLabel().text(), "300");
    EXPECT_EQ(cell.gView().value(), 255);
}

TEST_F(RowCell, SameValueTwiceStopsTheAnimation)
{
    cell.setCellData(0, 255, "Speed", "km/h", 9);
    cell.updateCell(100);
    EXPECT_TRUE(cell.isAnimating());
    cell.updateCell(100);
    EXPECT_FALSE(cell.isAnimating());
}

TEST_F(RowCell, TheNumberWarnsOneValueAfterItsBar)
{
    cell.setCellData(0, 100, "Speed", "km/h", 9);
    cell.setLimits({.notify = true, .max = 0.9f});
    const ui::Color normal = cell.valLabel().textColor();
    const ui::Color warning = ui::Color::rgb(0.706, 0, 0.157, 0.8);
    cell.updateCell(95);
    EXPECT_TRUE(cell.gView().isWarning());
    EXPECT_EQ(cell.valLabel().textColor(), normal) << "no target before the first value to warn by";
    cell.updateCell(50);
    EXPECT_EQ(cell.valLabel().textColor(), warning) << "warned by the previous target";
    cell.updateCell(60);
    EXPECT_EQ(cell.valLabel().textColor(), normal) << "back under the limit one reading later";
}

TEST_F(RowCell, NoNumberUntilAValueArrivesAndAFailedFormulaSaysSo)
{
    cell.setCellData(0, 100, "Speed", "km/h", 9);
    cell.setLimits({.notify = true, .min = 0.1f});
    EXPECT_EQ(cell.valLabel().text(), "--");
    EXPECT_EQ(cell.gView().litSegmentCount(), 0);
    EXPECT_FALSE(cell.gView().isWarning()) << "no value is not a value under the low limit";
    cell.updateCell(0);
    EXPECT_EQ(cell.valLabel().text(), "0") << "a real zero shows";
    cell.showFault("Formula divides by zero");
    EXPECT_EQ(cell.valLabel().text(), "--");
    EXPECT_FALSE(cell.faultLabel().isHidden());
    EXPECT_TRUE(cell.gView().isHidden());
    cell.updateCell(40);
    EXPECT_EQ(cell.valLabel().text(), "40");
    EXPECT_TRUE(cell.faultLabel().isHidden());
    EXPECT_FALSE(cell.gView().isHidden());
}

}  // namespace
