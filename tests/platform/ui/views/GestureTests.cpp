#include "support/Input.h"

#include "platform/ui/Button.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include <string>

using namespace ui;
using namespace testsupport;
using State = GestureRecognizer::State;

namespace {

// Writes the raw touch phases it receives ("b m e c").
class RecordingView : public View {
public:
    using View::View;
    std::string log;
    void touchesBegan(const std::vector<Touch>&) override { log += "b"; }
    void touchesMoved(const std::vector<Touch>&) override { log += "m"; }
    void touchesEnded(const std::vector<Touch>&) override { log += "e"; }
    void touchesCancelled(const std::vector<Touch>&) override { log += "c"; }
};

struct Scene {
    std::shared_ptr<Window> window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    std::shared_ptr<RecordingView> view = std::make_shared<RecordingView>(makeRect(0, 0, 320, 480));
    Scene() { window->addSubview(view); }

    template <typename R>
    std::shared_ptr<R> add(std::vector<State>& states)
    {
        auto recognizer = std::make_shared<R>([&states](GestureRecognizer& g) { states.push_back(g.state()); });
        view->addGestureRecognizer(recognizer);
        return recognizer;
    }
};

} // namespace

TEST(Gestures, TapAndPanOnOneViewTakeTurnsByMovement)
{
    Scene s;
    std::vector<State> taps, pans;
    s.add<TapGestureRecognizer>(taps);
    s.add<PanGestureRecognizer>(pans);

    tap(*s.window, {100, 100});
    EXPECT_EQ(taps, std::vector<State>{State::Ended});
    EXPECT_TRUE(pans.empty());

    taps.clear();
    drag(*s.window, {100, 100}, {100, 200});
    EXPECT_TRUE(taps.empty()) << "a drag is not a tap";
    ASSERT_GE(pans.size(), 3u);
    EXPECT_EQ(pans.front(), State::Began);
    EXPECT_EQ(pans.back(), State::Ended);
}

TEST(Gestures, RecognizedGestureTakesTheTouchesFromTheView)
{
    for (const bool cancels : {true, false}) {
        Scene s;
        std::vector<State> pans;
        s.add<PanGestureRecognizer>(pans)->setCancelsTouchesInView(cancels);
        drag(*s.window, {10, 10}, {10, 110}, 0.2, 4);
        // The first move (25 points) makes the pan begin.
        EXPECT_EQ(s.view->log, cancels ? "bc" : "bmmmme") << "cancels " << cancels;
    }
}

TEST(Gestures, SwipeDirectionAndSpeed)
{
    struct Case {
        SwipeDirection allowed;
        Point to;
        double seconds;
        bool recognized;
    };
    const Case cases[] = {
        {SwipeDirection::Right, {200, 100}, 0.1, true},
        {SwipeDirection::Left, {200, 100}, 0.1, false},
        {SwipeDirection::Left, {0, 100}, 0.1, true},
        {SwipeDirection::Left | SwipeDirection::Right, {0, 100}, 0.1, true},
        {SwipeDirection::Up, {100, 0}, 0.1, true},
        {SwipeDirection::Down, {100, 0}, 0.1, false},
        {SwipeDirection::Right, {200, 190}, 0.1, false}, // too steep for a right swipe
        {SwipeDirection::Right, {200, 100}, 2.0, false}, // too slow
    };
    for (const Case& c : cases) {
        Scene s;
        std::vector<State> swipes;
        s.add<SwipeGestureRecognizer>(swipes)->setDirection(c.allowed);
        drag(*s.window, {100, 100}, c.to, c.seconds, 10);
        EXPECT_EQ(!swipes.empty(), c.recognized) << "to " << c.to.x << "," << c.to.y << " in " << c.seconds;
    }
}

TEST(Gestures, LongPressRunsOnTheClockAndTakesTheTouch)
{
    Scene s;
    std::vector<State> presses;
    auto press = s.add<LongPressGestureRecognizer>(presses);
    press->setMinimumPressDuration(0.8);

    s.window->sendTouch(TouchPhase::Began, {50, 50});
    advance(0.7);
    EXPECT_TRUE(presses.empty());
    advance(0.2);
    EXPECT_EQ(presses, std::vector<State>{State::Began});
    EXPECT_EQ(s.view->log, "bc") << "the view loses the touch when the press begins";
    s.window->sendTouch(TouchPhase::Moved, {80, 50});
    s.window->sendTouch(TouchPhase::Ended, {80, 50});
    EXPECT_EQ(presses, (std::vector<State>{State::Began, State::Changed, State::Ended}));

    presses.clear();
    s.window->sendTouch(TouchPhase::Began, {50, 50});
    advance(0.3);
    s.window->sendTouch(TouchPhase::Moved, {90, 50}); // too far before the time is up
    advance(1.0);
    s.window->sendTouch(TouchPhase::Ended, {90, 50});
    EXPECT_TRUE(presses.empty());
}

TEST(Gestures, ScreenEdgePanStartsOnlyAtItsEdges)
{
    struct Case {
        RectEdge edges;
        Point from;
        bool begins;
    };
    const Case cases[] = {
        {RectEdge::Left, {5, 200}, true},
        {RectEdge::Left, {100, 200}, false},
        {RectEdge::Left, {315, 200}, false},
        {RectEdge::Left | RectEdge::Right, {315, 200}, true},
    };
    for (const Case& c : cases) {
        Scene s;
        std::vector<State> pans;
        s.add<ScreenEdgePanGestureRecognizer>(pans)->setEdges(c.edges);
        const double dx = c.from.x < 160 ? 60 : -60;
        drag(*s.window, c.from, {c.from.x + dx, c.from.y});
        EXPECT_EQ(!pans.empty(), c.begins) << "from x " << c.from.x;
    }
}

TEST(Gestures, PanVelocityFollowsTheLastMovesOnly)
{
    Scene s;
    std::vector<State> pans;
    auto pan = s.add<PanGestureRecognizer>(pans);
    Point velocity;
    pan->addTarget([&](GestureRecognizer&) {
        if (pan->state() == State::Ended)
            velocity = pan->velocityInView(s.view.get());
    });

    drag(*s.window, {100, 400}, {100, 300}, 0.1, 10); // 1000 points per second upwards
    EXPECT_NEAR(velocity.y, -1000, 100);
    EXPECT_NEAR(velocity.x, 0, 1);

    drag(*s.window, {100, 400}, {100, 300}, 0.1, 10, false);
    advance(0.5); // the finger rests before it lifts
    s.window->sendTouch(TouchPhase::Ended, {100, 300});
    EXPECT_NEAR(velocity.y, 0, 1);
}

TEST(Gestures, PanTranslationCanBeReset)
{
    Scene s;
    std::vector<State> pans;
    auto pan = s.add<PanGestureRecognizer>(pans);
    std::vector<double> ys;
    pan->addTarget([&](GestureRecognizer&) {
        ys.push_back(pan->translationInView(nullptr).y);
        pan->setTranslation({0, 0}, nullptr);
    });
    drag(*s.window, {100, 100}, {100, 160}, 0.2, 3); // 20 points a move
    EXPECT_EQ(ys, (std::vector<double>{20, 20, 20, 0}));
}

TEST(Gestures, PanWaitsForItsMinimumNumberOfFingers)
{
    Scene s;
    std::vector<State> pans;
    s.add<PanGestureRecognizer>(pans)->setMinimumNumberOfTouches(2);
    drag(*s.window, {100, 100}, {100, 200});
    EXPECT_TRUE(pans.empty());
    EXPECT_EQ(s.view->log.substr(0, 2), "bm") << "one finger stays with the view";

    s.window->sendTouches(TouchPhase::Began, fingers({{100, 100}, {140, 100}}));
    advance(0.05);
    s.window->sendTouches(TouchPhase::Moved, fingers({{100, 150}, {140, 150}}));
    s.window->sendTouches(TouchPhase::Ended, fingers({{100, 150}, {140, 150}}));
    EXPECT_EQ(pans, (std::vector<State>{State::Began, State::Ended}));
}

TEST(Gestures, DoubleTapNeedsItsSecondTapInTime)
{
    for (const double pause : {0.1, 0.6}) {
        Scene s;
        std::vector<State> taps;
        s.add<TapGestureRecognizer>(taps)->setNumberOfTapsRequired(2);
        tap(*s.window, {50, 50});
        advance(pause);
        tap(*s.window, {52, 50});
        EXPECT_EQ(!taps.empty(), pause < TapGestureRecognizer::maximumTapInterval) << "pause " << pause;
    }
}

TEST(Gestures, HiddenOrDisabledViewsLetTouchesThrough)
{
    for (const bool hide : {true, false}) {
        Scene s;
        auto child = std::make_shared<RecordingView>(makeRect(0, 0, 100, 100));
        std::vector<State> taps;
        child->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { taps.push_back(State::Ended); }));
        s.view->addSubview(child);
        if (hide)
            child->setHidden(true);
        else
            child->setUserInteractionEnabled(false);
        tap(*s.window, {50, 50});
        EXPECT_EQ(child->log, "");
        EXPECT_TRUE(taps.empty());
        EXPECT_EQ(s.view->log, "be") << "the view beneath takes it";
    }
}

TEST(Gestures, DisablingARecognizerMidGestureCancelsIt)
{
    Scene s;
    std::vector<State> pans;
    auto pan = s.add<PanGestureRecognizer>(pans);
    drag(*s.window, {100, 100}, {100, 200}, 0.2, 5, false);
    pan->setEnabled(false);
    s.window->sendTouch(TouchPhase::Ended, {100, 200});
    EXPECT_EQ(pans.back(), State::Cancelled);
    EXPECT_EQ(pan->state(), State::Possible);
}

TEST(Gestures, ControlsKeepTheirTapsFromRecognizersAround)
{
    Scene s;
    std::vector<State> taps;
    s.add<TapGestureRecognizer>(taps);
    auto button = std::make_shared<Button>(ButtonType::System, makeRect(10, 10, 100, 40));
    int pressed = 0;
    button->addTarget(ControlEvent::TouchUpInside, [&](Control&) { ++pressed; });
    s.view->addSubview(button);
    tap(*s.window, {50, 30});
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(taps.empty());
    tap(*s.window, {200, 300});
    EXPECT_EQ(taps.size(), 1u) << "elsewhere the screen's tap works";
    button->setEnabled(false);
    tap(*s.window, {50, 30});
    EXPECT_EQ(taps.size(), 2u) << "a disabled button lets the tap through";
}

TEST(Window, TapCountGrowsForQuickTapsInOnePlace)
{
    class TapCounter : public View {
    public:
        using View::View;
        int count = 0;
        void touchesEnded(const std::vector<Touch>& touches) override { count = touches.front().tapCount; }
    };
    Window window(makeRect(0, 0, 320, 480));
    auto view = std::make_shared<TapCounter>(makeRect(0, 0, 320, 480));
    window.addSubview(view);
    tap(window, {100, 100});
    advance(0.1);
    tap(window, {105, 100});
    EXPECT_EQ(view->count, 2);
    advance(1);
    tap(window, {105, 100});
    EXPECT_EQ(view->count, 1) << "too late";
    drag(window, {100, 100}, {100, 300}, 0.1);
    tap(window, {100, 300});
    EXPECT_EQ(view->count, 1) << "a drag is no tap to repeat";
}

TEST(Window, KeysGoToTheFirstResponderOnly)
{
    Window window(makeRect(0, 0, 320, 480));
    EXPECT_FALSE(window.sendText("x"));
    auto field = std::make_shared<TextField>(makeRect(10, 10, 200, 30));
    window.addSubview(field);
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_TRUE(window.sendText("42"));
    KeyEvent backspace;
    backspace.key = Key::Backspace;
    EXPECT_TRUE(window.sendKey(backspace));
    EXPECT_EQ(field->text(), "4");
    field->setHidden(true);
    EXPECT_FALSE(window.sendText("7"));
}
