#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>

#include "LoggingTest.h"
#include "logging/GraphView.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "platform/ui/VisibleText.h"
#include "support/ImageCompare.h"

namespace {

using loggingtests::advance;
using loggingtests::LoggingTest;

using Texts = std::array<std::string, 5>;

TEST(StripChartScale, TextsByTheSpanOfTheScale)
{
    EXPECT_EQ(GraphView::scaleTexts(-40, 215), (Texts{"-40", "23", "87", "151", "215"})) << "cut, then halved";
    EXPECT_EQ(GraphView::scaleTexts(0, 8000), (Texts{"0.0k", "2.0k", "4.0k", "6.0k", "8.0k"}));
    EXPECT_EQ(GraphView::scaleTexts(0, 5), (Texts{"0.0", "1.2", "2.5", "3.8", "5.0"}));
    EXPECT_EQ(GraphView::scaleTexts(0, 10), (Texts{"0", "2.5", "5", "7.5", "10"})) << "7.5 is not 7";
    EXPECT_EQ(GraphView::scaleTexts(0, 15), (Texts{"0", "3.8", "7.5", "11.3", "15"}));
    EXPECT_EQ(GraphView::scaleTexts(0, 1000), (Texts{"0", "250", "500", "750", "1000"}));
}

TEST(StripChartScale, TimeLabelStepIsNeverZero)
{
    EXPECT_EQ(GraphView::timeLabelGap(2, 0.1), 60) << "20 px a second: three seconds are nearest 50 px";
    EXPECT_EQ(GraphView::timeLabelGap(1, 0.5), 50);
    EXPECT_EQ(GraphView::timeLabelGap(2, 0.01), 200) << "fast replies: one whole second between labels";
    EXPECT_GE(GraphView::timeLabelGap(5, 0), 1);
    EXPECT_GE(GraphView::timeLabelGap(5, std::nan("")), 1);
}

class StripChart : public LoggingTest {
protected:
    std::shared_ptr<GraphView> chart(float min = 0, float max = 100)
    {
        auto graph = std::make_shared<GraphView>(ui::makeRect(0, 0, 370, 200), 0, 0);
        graph->setChartSettings(StripChartSettings::fromSettings(settings()));
        graph->updateLabel("Engine speed", "rpm", min, max);
        return graph;
    }
    // One draw, as the screen would: labels laid out and the background cached first.
    static void drawOnce(GraphView& graph)
    {
        ui::BitmapContext context(graph.bounds().size);
        graph.draw(context, graph.bounds());
    }
    static ui::Touch touch(ui::Point at, ui::Point from, ui::TouchPhase phase)
    {
        ui::Touch t;
        t.location = at;
        t.previousLocation = from;
        t.phase = phase;
        return t;
    }
};

TEST_F(StripChart, SampleSpacingComesFromTheSettingsWithinOneToFive)
{
    const int spacings[] = {1, 2, 3, 4, 5};
    const int gaps[] = {50, 40, 30, 40, 50};
    for (int i = 0; i < 5; ++i) {
        settings().plotSpacing = spacings[i];
        EXPECT_EQ(chart()->gap(), gaps[i]) << spacings[i];
    }
    settings().plotSpacing = 0;
    EXPECT_EQ(chart()->spacing(), 1);
    settings().plotSpacing = 40;
    EXPECT_EQ(chart()->spacing(), 5);
}

TEST_F(StripChart, DelayIsMeasuredFromTheFirstTwoSamples)
{
    auto graph = chart();
    graph->setVal(1, false);
    advance(0.5);
    graph->setVal(2, false);
    EXPECT_DOUBLE_EQ(graph->delay(), 0.5);
    EXPECT_EQ(graph->gap(), 52) << "4 px a second: 13 s are nearest 50 px";
    auto fast = chart();
    fast->setVal(1, false);
    fast->setVal(2, false);  // the same instant
    EXPECT_GT(fast->delay(), 0);
    EXPECT_GE(fast->gap(), 1);
}

TEST_F(StripChart, ScaleWidensWithTheDataAndTextsFollowTheMaximum)
{
    auto graph = chart(0, 100);
    graph->setVal(150, false);
    EXPECT_EQ(graph->max(), 150);
    EXPECT_EQ(graph->scaleTexts()[4], "150");
    graph->setVal(-20, false);
    EXPECT_EQ(graph->min(), -20);
    EXPECT_EQ(graph->scaleTexts()[0], "0") << "a new minimum alone leaves the texts";
    EXPECT_EQ(graph->valLabel().text(), "-20");
    graph->setVal(3e9f, false);
    EXPECT_EQ(graph->valLabel().text(), "3000000000") << "past an int's range";
    EXPECT_EQ(GraphView::scaleTexts(3e9f, 3e9f + 512), (Texts{"3000000000", "3000000128", "3000000256",
                                                              "3000000384", "3000000512"}));
}

TEST_F(StripChart, EachDrawDropsTheOldestSamplePastTheCap)
{
    auto graph = chart();
    graph->adjustLabels();
    graph->takeSnapshot();
    for (int i = 0; i < 6000; ++i)
        graph->setVal(static_cast<float>(i % 100), false);
    drawOnce(*graph);
    EXPECT_EQ(graph->sampleCount(), 5999u) << "every sample kept until a draw, which drops the oldest";
}

TEST_F(StripChart, DataIsDrawnOnlyOverTheCachedBackground)
{
    auto graph = chart();
    for (int i = 0; i < 50; ++i)
        graph->setVal(static_cast<float>(i), true);
    drawOnce(*graph);
    EXPECT_FALSE(graph->lastDrawWasData()) << "no snapshot yet: background only";
    graph->adjustLabels();
    graph->takeSnapshot();
    EXPECT_TRUE(graph->hasSnapshot());
    drawOnce(*graph);
    EXPECT_TRUE(graph->lastDrawWasData());
    EXPECT_EQ(graph->segmentsDrawn(), 49);
}

TEST_F(StripChart, FlatDataDrawsNoLine)
{
    auto graph = chart();
    graph->adjustLabels();
    graph->takeSnapshot();
    advance(0.2);  // the delayed reset: the scale restarts at 0..0
    for (int i = 0; i < 20; ++i)
        graph->setVal(0, true);
    drawOnce(*graph);
    EXPECT_EQ(graph->segmentsDrawn(), 0);
}

TEST_F(StripChart, TimeLabelsCountSecondsBack)
{
    auto graph = chart();
    graph->adjustLabels();
    graph->takeSnapshot();
    graph->setVal(1, true);
    advance(0.1);
    graph->setVal(2, true);  // 0.1 s apart at 2 px: 20 px a second, labels every 60 px = 3 s
    drawOnce(*graph);
    ASSERT_GE(graph->timeTexts().size(), 3u);
    EXPECT_EQ(graph->timeTexts()[0], "0");
    EXPECT_EQ(graph->timeTexts()[1], "3");
    EXPECT_EQ(graph->timeTexts()[2], "6");
    EXPECT_TRUE(std::ranges::any_of(ui::visibleTextFrames(*graph), [](const auto& t) {
        return t.text == "3" && t.frame.origin == ui::Point{370 - 30 - 60, 200 - 10 - 1};
    })) << "from its sample's x, not centred";
}

TEST_F(StripChart, DraggingLooksBackAndStopsAtTheNewest)
{
    struct Listener : GraphView2Delegate {
        int started = 0;
        int ended = 0;
        void graphIsScrolling(GraphView&) override { ++started; }
        void touchHasEnded(GraphView&) override { ++ended; }
    } listener;
    auto graph = chart();
    graph->setDelegate(&listener);
    graph->touchesBegan({touch({100, 50}, {100, 50}, ui::TouchPhase::Began)});
    graph->touchesMoved({touch({140, 52}, {100, 50}, ui::TouchPhase::Moved)});
    EXPECT_DOUBLE_EQ(graph->graphDragOffset(), 40);
    EXPECT_EQ(listener.started, 1);
    graph->touchesMoved({touch({60, 52}, {140, 52}, ui::TouchPhase::Moved)});
    EXPECT_DOUBLE_EQ(graph->graphDragOffset(), 0) << "never past the newest sample";
    graph->touchesCancelled({touch({60, 52}, {60, 52}, ui::TouchPhase::Cancelled)});
    EXPECT_EQ(listener.ended, 1) << "a cancelled drag ends like a lifted finger";
    graph->touchesMoved({touch({100, 180}, {90, 180}, ui::TouchPhase::Moved)});
    EXPECT_DOUBLE_EQ(graph->graphDragOffset(), 0) << "the time axis strip does not drag";
}

TEST_F(StripChart, ASidewaysWheelLooksBackAndAnUpAndDownOneIsLeftToTheTable)
{
    auto graph = chart();
    EXPECT_TRUE(graph->scrollWheel(-40, 2));
    EXPECT_DOUBLE_EQ(graph->graphDragOffset(), 40);
    EXPECT_TRUE(graph->scrollWheel(100, 0));
    EXPECT_DOUBLE_EQ(graph->graphDragOffset(), 0) << "never past the newest sample";
    EXPECT_FALSE(graph->scrollWheel(0, 30));
}

TEST_F(StripChart, TapMarksTheNearestSampleWhenInteractionIsOn)
{
    auto graph = chart();
    graph->adjustLabels();
    graph->takeSnapshot();
    advance(0.2);
    for (int i = 0; i < 100; ++i)
        graph->setVal(static_cast<float>(i), true);
    graph->touchesBegan({touch({300, 50}, {300, 50}, ui::TouchPhase::Began)});
    drawOnce(*graph);
    EXPECT_FALSE(graph->markedPoint()) << "interaction off: taps mark nothing";
    graph->toggleInteraction();
    graph->touchesBegan({touch({300, 50}, {300, 50}, ui::TouchPhase::Began)});
    drawOnce(*graph);
    const auto mark = graph->markedPoint();
    ASSERT_TRUE(mark);
    EXPECT_NEAR(mark->x, 300, 2);
    graph->touchesBegan({touch({5, 50}, {5, 50}, ui::TouchPhase::Began)});
    drawOnce(*graph);
    EXPECT_FALSE(graph->markedPoint()) << "no sample within reach";
}

// A chart that keeps its line between draws, moving it on and drawing the newest segments as samples
// arrive (one or several between draws, over more than a plot's width), against a twin fed the same that
// draws its last frame at another scale, so it draws the line afresh.
TEST_F(StripChart, TheLineDrawnSampleBySampleLooksAsWhenDrawnWhole)
{
    settings().plotSpacing = 2;
    auto kept = chart(0, 8000);
    auto fresh = chart(0, 8000);
    for (auto* graph : {kept.get(), fresh.get()}) {
        graph->adjustLabels();
        graph->takeSnapshot();
    }
    advance(0.2);
    ui::BitmapContext keptFrame(kept->bounds().size, 2);
    ui::BitmapContext freshFrame(fresh->bounds().size, 2);
    for (int i = 0; i < 260; ++i) {
        const auto value = static_cast<float>(2500 + 1500 * std::sin(i / 7.0) + 900 * std::sin(i / 1.3));
        kept->setVal(value, true);
        fresh->setVal(value, true);
        advance(0.1);
        if (i % 7 == 3)
            continue;  // samples that arrive between two frames
        keptFrame.clearRect(kept->bounds());
        kept->draw(keptFrame, kept->bounds());
        ui::BitmapContext other(fresh->bounds().size, 1);
        fresh->draw(i == 259 ? freshFrame : other, fresh->bounds());
    }
    EXPECT_EQ(kept->segmentsDrawn(), fresh->segmentsDrawn());
    const auto same = testsupport::samePixels(keptFrame.makeImage(), freshFrame.makeImage(), 4);
    if (!same) {
        keptFrame.makeImage().writePNG(testsupport::artifactsDir() / "logging" / "strip-chart-kept.png");
        freshFrame.makeImage().writePNG(testsupport::artifactsDir() / "logging" / "strip-chart-fresh.png");
    }
    EXPECT_TRUE(same);
}

TEST_F(StripChart, Screenshot)
{
    auto graph = chart(0, 8000);
    graph->adjustLabels();
    graph->takeSnapshot();
    advance(0.2);
    for (int i = 0; i < 300; ++i) {
        graph->setVal(static_cast<float>(2500 + 1500 * std::sin(i / 15.0)), true);
        advance(0.1);
    }
    graph->toggleInteraction();
    graph->touchesBegan({touch({250, 50}, {250, 50}, ui::TouchPhase::Began)});
    const auto file = testsupport::artifactsDir() / "logging" / "strip-chart.png";
    std::filesystem::create_directories(file.parent_path());
    EXPECT_TRUE(graph->renderToImage(2).writePNG(file));
    // The swing fed to it, the last value, and the value under the finger.
    const auto shown = ui::visibleTexts(*graph);
    for (const char* text : {"Engine speed", "rpm", "Min: 1000", "Max: 3999", "3825", "1057"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), text), shown.end()) << text << ": " << ::testing::PrintToString(shown);
}

}  // namespace
