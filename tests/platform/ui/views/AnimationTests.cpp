#include "support/Input.h"

#include "platform/ui/Animation.h"
#include "platform/ui/View.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ui;
using namespace testsupport;

namespace {

// Completions as letters: T finished, F interrupted.
struct Completions {
    std::string log;
    std::function<void(bool)> record()
    {
        return [this](bool finished) { log += finished ? "T" : "F"; };
    }
};

} // namespace

TEST(Animation, ModelIsFinalAtOnceAndDrawingFollowsUntilTheEnd)
{
    auto view = std::make_shared<View>(makeRect(0, 0, 100, 100));
    Completions done;
    animate(1.0, AnimationCurve::Linear, [&] { view->setAlpha(0); }, done.record());
    EXPECT_EQ(view->alpha(), 0);
    EXPECT_EQ(view->presentationState().alpha, 1);
    advance(0.5);
    EXPECT_NEAR(view->presentationState().alpha, 0.5, 0.02);
    EXPECT_EQ(done.log, "");
    advance(0.6);
    EXPECT_EQ(view->presentationState().alpha, 0);
    EXPECT_EQ(done.log, "T");
    advance(1);
    EXPECT_EQ(done.log, "T") << "once";
}

TEST(Animation, NewAnimationOfTheSamePropertyTakesOverFromWhatIsShown)
{
    auto view = std::make_shared<View>(makeRect(0, 0, 100, 100));
    Completions first, second;
    animate(1.0, AnimationCurve::Linear, [&] { view->setCenter({250, 50}); }, first.record());
    advance(0.5);
    const Point shown = view->presentationState().center;
    EXPECT_NEAR(shown.x, 150, 2);
    animate(1.0, AnimationCurve::Linear, [&] { view->setCenter({50, 50}); }, second.record());
    EXPECT_NEAR(view->presentationState().center.x, shown.x, 0.5) << "no jump";
    advance(0.1);
    EXPECT_EQ(first.log, "F");
    advance(1);
    EXPECT_EQ(first.log, "F");
    EXPECT_EQ(second.log, "T");
    EXPECT_EQ(view->presentationState().center, (Point{50, 50}));
}

TEST(Animation, ChangeWithoutAnimationEndsARunningOne)
{
    auto view = std::make_shared<View>(makeRect(0, 0, 100, 100));
    Completions done;
    animate(1.0, [&] { view->setBackgroundColor(Color::red()); }, done.record());
    advance(0.3);
    view->setBackgroundColor(Color::blue());
    EXPECT_EQ(view->presentationState().backgroundColor, Color::blue());
    advance(0.1);
    EXPECT_EQ(done.log, "F");
}

TEST(Animation, ZeroDurationIsImmediate)
{
    auto view = std::make_shared<View>(makeRect(0, 0, 100, 100));
    Completions done;
    animate(0, [&] { view->setCornerRadius(8); }, done.record());
    EXPECT_EQ(done.log, "T");
    EXPECT_EQ(view->presentationState().cornerRadius, 8);
}

TEST(Animation, DelayHoldsTheOldValueThenAnimates)
{
    auto view = std::make_shared<View>(makeRect(0, 0, 100, 100));
    Completions done;
    animate(0.5, 1.0, AnimationCurve::EaseOut, [&] { view->setAlpha(0.2); }, done.record());
    advance(0.9);
    EXPECT_EQ(view->presentationState().alpha, 1);
    advance(0.3);
    EXPECT_LT(view->presentationState().alpha, 1);
    EXPECT_GT(view->presentationState().alpha, 0.2);
    advance(0.4);
    EXPECT_EQ(done.log, "T");
}

TEST(Animation, BlockWithoutChangesStillCompletesAtItsEnd)
{
    Completions done;
    animate(0.3, [] {}, done.record());
    advance(0.2);
    EXPECT_EQ(done.log, "");
    advance(0.2);
    EXPECT_EQ(done.log, "T");
}

TEST(Animation, RotationTurnsTheShortWayWithoutShrinking)
{
    auto view = std::make_shared<View>(makeRect(0, 0, 100, 100));
    animate(1.0, AnimationCurve::Linear, [&] { view->setTransform(AffineTransform::rotation(std::numbers::pi / 2)); });
    advance(0.5);
    const AffineTransform t = view->presentationState().transform;
    EXPECT_NEAR(std::atan2(t.b, t.a), std::numbers::pi / 4, 0.05);
    EXPECT_NEAR(std::hypot(t.a, t.b), 1, 1e-9);
    advance(1);
    EXPECT_EQ(view->presentationState().transform, AffineTransform::rotation(std::numbers::pi / 2));
}

TEST(Animation, SlidingViewIsDrawnOnItsWay)
{
    auto root = std::make_shared<View>(makeRect(0, 0, 300, 100));
    root->setBackgroundColor(Color::white());
    auto box = std::make_shared<View>(makeRect(0, 0, 100, 100));
    box->setBackgroundColor(Color::red());
    root->addSubview(box);
    animate(1.0, AnimationCurve::Linear, [&] { box->setFrame(makeRect(200, 0, 100, 100)); });
    advance(0.5);
    EXPECT_EQ(box->frame().x(), 200);
    const Image midway = root->renderToImage();
    midway.writePNG(testsupport::artifactsDir() / "animation-midway.png");
    EXPECT_EQ(midway.pixel(150, 50), Color::red());
    EXPECT_EQ(midway.pixel(20, 50), Color::white());
    EXPECT_EQ(midway.pixel(280, 50), Color::white());
    advance(1);
    EXPECT_EQ(root->renderToImage().pixel(280, 50), Color::red());
}
