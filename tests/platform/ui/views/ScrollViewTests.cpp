#include "support/Input.h"

#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SwipeGestureRecognizer.h"

#include <gtest/gtest.h>

#include <string>

using namespace ui;
using namespace testsupport;

namespace {

// Keeps the callbacks as letters: W will begin dragging, D0/D1 did end
// dragging (will decelerate), E did end decelerating, A did end the
// scrolling animation; scrolls are counted apart.
class Recorder : public ScrollViewDelegate {
public:
    std::string log;
    int scrolls = 0;
    void scrollViewDidScroll(ScrollView&) override { ++scrolls; }
    void scrollViewWillBeginDragging(ScrollView&) override { log += "W"; }
    void scrollViewDidEndDragging(ScrollView&, bool decelerate) override { log += decelerate ? "D1" : "D0"; }
    void scrollViewDidEndDecelerating(ScrollView&) override { log += "E"; }
    void scrollViewDidEndScrollingAnimation(ScrollView&) override { log += "A"; }
};

struct Scene {
    std::shared_ptr<Window> window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    std::shared_ptr<ScrollView> scroll = std::make_shared<ScrollView>(makeRect(0, 0, 320, 480));
    Recorder recorder;
    explicit Scene(Size content = {320, 4000})
    {
        scroll->setContentSize(content);
        scroll->setDelegate(&recorder);
        window->addSubview(scroll);
    }
};

} // namespace

TEST(ScrollView, FlickDeceleratesAndReportsItsEndOnce)
{
    Scene s;
    drag(*s.window, {160, 400}, {160, 200}, 0.1, 10); // 2000 points per second
    EXPECT_EQ(s.recorder.log, "WD1");
    const double released = s.scroll->contentOffset().y;
    EXPECT_EQ(released, 180) << "all but the move that started the drag";
    EXPECT_TRUE(s.scroll->isDecelerating());
    advance(5);
    EXPECT_EQ(s.recorder.log, "WD1E");
    EXPECT_FALSE(s.scroll->isDecelerating());
    EXPECT_GT(s.scroll->contentOffset().y, released + 500) << "momentum carried it on";
    const int scrolls = s.recorder.scrolls;
    advance(2);
    EXPECT_EQ(s.recorder.log, "WD1E");
    EXPECT_EQ(s.recorder.scrolls, scrolls);
}

TEST(ScrollView, DragThatStopsBeforeTheLiftDoesNotDecelerate)
{
    Scene s;
    drag(*s.window, {160, 400}, {160, 300}, 0.2, 10, false);
    advance(0.3);
    s.window->sendTouch(TouchPhase::Ended, {160, 300});
    advance(2);
    EXPECT_EQ(s.recorder.log, "WD0");
    EXPECT_EQ(s.scroll->contentOffset().y, 90) << "all but the move that started the drag";
}

TEST(ScrollView, TouchStopsMomentumAndEndsItOnce)
{
    Scene s;
    drag(*s.window, {160, 400}, {160, 100}, 0.1, 10);
    advance(0.2);
    s.window->sendTouch(TouchPhase::Began, {160, 200});
    const double stopped = s.scroll->contentOffset().y;
    advance(1);
    s.window->sendTouch(TouchPhase::Ended, {160, 200});
    advance(3);
    EXPECT_EQ(s.recorder.log, "WD1E");
    EXPECT_EQ(s.scroll->contentOffset().y, stopped);
}

TEST(ScrollView, OverscrollBouncesBackToTheEnd)
{
    Scene s;
    drag(*s.window, {160, 100}, {160, 300}, 1.0, 20, false);
    const double pulled = s.scroll->contentOffset().y;
    EXPECT_LT(pulled, 0);
    EXPECT_GT(pulled, -200) << "overscroll resists the finger";
    advance(0.3);
    s.window->sendTouch(TouchPhase::Ended, {160, 300});
    EXPECT_EQ(s.recorder.log, "WD1");
    advance(3);
    EXPECT_EQ(s.recorder.log, "WD1E");
    EXPECT_EQ(s.scroll->contentOffset().y, 0);

    s.scroll->setBounces(false);
    drag(*s.window, {160, 100}, {160, 300});
    EXPECT_EQ(s.scroll->contentOffset().y, 0);
}

TEST(ScrollView, ScrollsSetInCodeTellOnlyWhenAnimated)
{
    Scene s;
    s.scroll->setContentOffset({0, 500});
    EXPECT_EQ(s.scroll->contentOffset().y, 500);
    EXPECT_EQ(s.scroll->bounds().origin.y, 500);
    EXPECT_EQ(s.recorder.scrolls, 0);
    EXPECT_EQ(s.recorder.log, "");

    s.scroll->setContentOffset({0, 1000}, true);
    advance(0.1);
    const double midway = s.scroll->contentOffset().y;
    EXPECT_GT(midway, 500);
    EXPECT_LT(midway, 1000);
    advance(1);
    EXPECT_EQ(s.scroll->contentOffset().y, 1000);
    EXPECT_EQ(s.recorder.log, "A");
    EXPECT_GT(s.recorder.scrolls, 5);
}

TEST(ScrollView, WheelScrollsWithinTheContentAndEndsAfterAPause)
{
    Scene s(Size{320, 800});
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(s.window->sendWheel({100, 100}, 0, 120));
        advance(0.05);
    }
    EXPECT_EQ(s.scroll->contentOffset().y, 320) << "clamped at the end of the content";
    EXPECT_EQ(s.recorder.log, "W");
    advance(ScrollView::wheelEndDelay);
    EXPECT_EQ(s.recorder.log, "WD0");
    EXPECT_FALSE(s.window->sendWheel({100, 100}, 120, 0)) << "nothing to scroll sideways";
}

TEST(ScrollView, WheelGoesToTheInnermostScrollViewThatCanTakeIt)
{
    Scene s(Size{960, 480}); // pages side by side
    auto inner = std::make_shared<ScrollView>(makeRect(0, 0, 320, 480));
    inner->setContentSize({320, 2000});
    s.scroll->addSubview(inner);
    s.window->sendWheel({100, 100}, 0, 50);
    EXPECT_EQ(inner->contentOffset().y, 50);
    s.window->sendWheel({100, 100}, 50, 0);
    EXPECT_EQ(s.scroll->contentOffset().x, 50);
    EXPECT_EQ(inner->contentOffset().x, 0);
}

TEST(ScrollView, PagingSnapsToAPage)
{
    struct Case {
        double dragBy;   // points to the left
        double seconds;  // over this time
        double page;     // where it settles
    };
    const Case cases[] = {
        {100, 1.0, 0},  // slow and short: back
        {200, 1.0, 1},  // slow past half: on
        {60, 0.05, 1},  // a flick turns one page
        {-60, 0.05, 0}, // not before the first
    };
    for (const Case& c : cases) {
        Scene s(Size{960, 480});
        s.scroll->setPagingEnabled(true);
        drag(*s.window, {200, 200}, {200 - c.dragBy, 200}, c.seconds, 10);
        advance(2);
        EXPECT_EQ(s.scroll->contentOffset().x, c.page * 320) << "drag " << c.dragBy << " in " << c.seconds;
        EXPECT_EQ(s.recorder.log, "WD1E") << "the snap is a deceleration";
    }
}

TEST(ScrollView, SidewaysDragOnAVerticalListLeavesItToOthers)
{
    Scene s;
    int swipes = 0;
    auto swipe = std::make_shared<SwipeGestureRecognizer>([&](GestureRecognizer&) { ++swipes; });
    s.scroll->addGestureRecognizer(swipe);
    drag(*s.window, {50, 200}, {250, 200}, 0.1);
    EXPECT_EQ(swipes, 1);
    EXPECT_EQ(s.scroll->contentOffset(), (Point{0, 0}));
    EXPECT_EQ(s.recorder.log, "");
}

TEST(ScrollView, ScrollingTurnedOffIgnoresDragsAndEndsOneInProgress)
{
    Scene s;
    drag(*s.window, {160, 400}, {160, 300}, 0.2, 10, false);
    s.scroll->setScrollEnabled(false);
    EXPECT_EQ(s.recorder.log, "WD0");
    s.window->sendTouch(TouchPhase::Ended, {160, 300});
    const Point offset = s.scroll->contentOffset();
    drag(*s.window, {160, 400}, {160, 100});
    advance(2);
    EXPECT_EQ(s.scroll->contentOffset(), offset);
    EXPECT_EQ(s.recorder.log, "WD0");
}

TEST(ScrollView, TwoFingerScrollingLeavesOneFingerToTheContent)
{
    Scene s;
    s.scroll->panGestureRecognizer()->setMinimumNumberOfTouches(2);
    drag(*s.window, {160, 400}, {160, 200});
    EXPECT_EQ(s.scroll->contentOffset().y, 0);
    s.window->sendTouches(TouchPhase::Began, fingers({{100, 400}, {200, 400}}));
    for (int i = 1; i <= 5; ++i) {
        advance(0.05);
        s.window->sendTouches(TouchPhase::Moved, fingers({{100, 400 - 20.0 * i}, {200, 400 - 20.0 * i}}));
    }
    EXPECT_EQ(s.scroll->contentOffset().y, 80) << "all but the move that started the drag";
}
