#include "platform/ui/View.h"

#include "platform/ui/drawing/Pixels.h"

#include <numbers>

using namespace ui;

namespace {

// A dial's needle: 10 x 100, turning about a point near its foot.
std::shared_ptr<View> needle()
{
    auto view = std::make_shared<View>();
    view->setBounds(makeRect(0, 0, 10, 100));
    view->setBackgroundColor(Color::red());
    view->setAnchorPoint({0.5, 0.885});
    view->setCenter({100, 100});
    return view;
}

} // namespace

TEST(AnchorPoint, TheCenterPlacesTheAnchorAndTheFrameFollows)
{
    auto view = needle();
    EXPECT_EQ(view->frame(), makeRect(95, 11.5, 10, 100));
    view->setFrame(makeRect(0, 0, 10, 100));
    EXPECT_EQ(view->center(), (Point{5, 88.5}));
    view->setAnchorPoint({0, 0}); // the center stays, the view moves
    EXPECT_EQ(view->frame(), makeRect(5, 88.5, 10, 100));
}

TEST(AnchorPoint, ATransformTurnsTheViewAboutItsAnchor)
{
    auto dial = std::make_shared<View>(makeRect(0, 0, 200, 200));
    dial->setBackgroundColor(Color::white());
    auto hand = needle();
    dial->addSubview(hand);
    hand->setTransform(AffineTransform::rotation(std::numbers::pi / 2)); // a quarter turn clockwise

    // The foot stays put and the tip now points right.
    EXPECT_EQ(hand->convertPoint({5, 88.5}, dial.get()), (Point{100, 100}));
    const Point tip = hand->convertPoint({5, 0}, dial.get());
    EXPECT_NEAR(tip.x, 188.5, 1e-9);
    EXPECT_NEAR(tip.y, 100, 1e-9);
    const Rect frame = hand->frame();
    EXPECT_NEAR(frame.minX(), 88.5, 1e-9);
    EXPECT_NEAR(frame.minY(), 95, 1e-9);
    EXPECT_EQ(dial->hitTest({180, 100}), hand.get());
    EXPECT_EQ(dial->hitTest({100, 50}), dial.get());

    const Image image = dial->renderToImage();
    drawingtest::keep(image, "anchor-point-needle");
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(180, 100), Color::red()));
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(92, 100), Color::red()));
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(100, 50), Color::white()));
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(195, 100), Color::white()));
}
