#include "platform/ui/Context.h"
#include "platform/ui/Control.h"
#include "platform/ui/View.h"

#include "platform/ui/drawing/Pixels.h"

#include <numbers>

using namespace ui;
using drawingtest::isInk;
using drawingtest::keep;
using drawingtest::sameColor;

namespace {

std::shared_ptr<View> coloured(Rect frame, Color color)
{
    auto view = std::make_shared<View>(frame);
    view->setBackgroundColor(color);
    return view;
}

// A view that paints a cross through its bounds in draw().
class CrossView : public View {
public:
    using View::View;
    Rect lastDirty;
    void draw(Context& context, Rect dirty) override
    {
        lastDirty = dirty;
        context.setStrokeColor(Color::black());
        context.setLineWidth(2);
        context.strokeLine(bounds().origin, {bounds().maxX(), bounds().maxY()});
    }
};

} // namespace

TEST(ViewTree, RendersBackgroundsClippingAlphaCornersAndTransforms)
{
    auto root = coloured(makeRect(0, 0, 100, 100), Color::white());

    auto clipper = coloured(makeRect(10, 10, 40, 40), Color::red());
    clipper->setClipsToBounds(true);
    clipper->addSubview(coloured(makeRect(20, 20, 40, 40), Color::blue())); // spills past its parent
    root->addSubview(clipper);

    auto overflow = coloured(makeRect(10, 60, 20, 20), Color::black());
    overflow->addSubview(coloured(makeRect(15, 0, 10, 10), Color::green())); // not clipped
    root->addSubview(overflow);

    auto faded = coloured(makeRect(60, 10, 30, 30), Color::green());
    faded->setAlpha(0.5);
    root->addSubview(faded);

    auto rounded = coloured(makeRect(60, 60, 30, 30), Color::black());
    rounded->setCornerRadius(15);
    root->addSubview(rounded);

    auto hidden = coloured(makeRect(0, 90, 100, 10), Color::red());
    hidden->setHidden(true);
    root->addSubview(hidden);

    for (double scale : {1.0, 2.0}) {
        const Image image = root->renderToImage(scale);
        keep(image, "view-tree-" + std::to_string(static_cast<int>(scale)) + "x");
        const auto at = [&](double x, double y) { return image.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)); };
        EXPECT_TRUE(sameColor(at(15, 15), Color::red()));
        EXPECT_TRUE(sameColor(at(45, 45), Color::blue()));
        EXPECT_TRUE(sameColor(at(55, 55), Color::white())); // clipped away
        EXPECT_TRUE(sameColor(at(32, 65), Color::green())); // beyond an unclipped parent
        EXPECT_TRUE(sameColor(at(75, 25), Color{0.5, 1, 0.5, 1}));
        EXPECT_TRUE(sameColor(at(61, 61), Color::white())); // the rounded-off corner
        EXPECT_TRUE(sameColor(at(75, 75), Color::black()));
        EXPECT_TRUE(sameColor(at(50, 95), Color::white())); // hidden
    }
}

TEST(ViewTree, TransformTurnsAboutTheCentre)
{
    auto root = coloured(makeRect(0, 0, 100, 100), Color::white());
    auto bar = coloured(makeRect(30, 45, 40, 10), Color::black());
    bar->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
    root->addSubview(bar);
    EXPECT_EQ(bar->center(), (Point{50, 50}));
    const Rect frame = bar->frame();
    EXPECT_NEAR(frame.x(), 45, 1e-9);
    EXPECT_NEAR(frame.height(), 40, 1e-9);

    const Image image = root->renderToImage();
    keep(image, "view-transform");
    EXPECT_TRUE(sameColor(image.pixel(50, 35), Color::black()));
    EXPECT_TRUE(sameColor(image.pixel(35, 50), Color::white()));
}

TEST(ViewTree, BoundsOriginScrollsTheContentAndDrawGetsBoundsCoordinates)
{
    auto root = coloured(makeRect(0, 0, 50, 50), Color::white());
    root->addSubview(coloured(makeRect(0, 20, 50, 10), Color::blue()));
    root->setBounds(makeRect(0, 15, 50, 50));
    const Image image = root->renderToImage();
    EXPECT_TRUE(sameColor(image.pixel(25, 7), Color::blue()));
    EXPECT_TRUE(sameColor(image.pixel(25, 20), Color::white()));

    auto cross = std::make_shared<CrossView>(makeRect(0, 0, 20, 20));
    cross->setBounds(makeRect(100, 100, 20, 20));
    const Image drawn = cross->renderToImage();
    EXPECT_EQ(cross->lastDirty, makeRect(100, 100, 20, 20));
    EXPECT_TRUE(isInk(drawn.pixel(10, 10)));
    EXPECT_FALSE(cross->needsDisplay());
}

TEST(ViewTree, BorderAndShadowAreDrawn)
{
    auto root = coloured(makeRect(0, 0, 60, 60), Color::white());
    auto card = coloured(makeRect(10, 10, 30, 30), Color::white());
    card->setBorder(2, Color::red());
    card->setShadow(Color::black(), {0, 8}, 2, 1);
    root->addSubview(card);
    const Image image = root->renderToImage();
    keep(image, "border-and-shadow");
    EXPECT_TRUE(sameColor(image.pixel(25, 10), Color::red()));
    EXPECT_TRUE(sameColor(image.pixel(25, 25), Color::white()));
    EXPECT_LT(image.pixel(25, 45).r, 0.5); // the shadow below
    EXPECT_TRUE(sameColor(image.pixel(1, 25), Color::white())); // beyond the blur
}

TEST(ViewTree, HitTestingSkipsHiddenDisabledAndTransparentViews)
{
    auto root = std::make_shared<View>(makeRect(0, 0, 200, 200));
    auto below = std::make_shared<View>(makeRect(0, 0, 100, 100));
    auto above = std::make_shared<View>(makeRect(0, 0, 100, 100));
    root->addSubview(below);
    root->addSubview(above);
    EXPECT_EQ(root->hitTest({50, 50}), above.get());

    above->setHidden(true);
    EXPECT_EQ(root->hitTest({50, 50}), below.get());
    above->setHidden(false);
    above->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({50, 50}), below.get());
    above->setUserInteractionEnabled(true);
    above->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({50, 50}), below.get());
    above->setAlpha(1);

    auto control = std::make_shared<Control>(makeRect(10, 10, 20, 20));
    above->addSubview(control);
    EXPECT_EQ(root->hitTest({15, 15}), control.get());
    control->setEnabled(false);
    EXPECT_EQ(root->hitTest({15, 15}), above.get());

    // Outside its parent a subview is not hit, even where it draws.
    auto outside = std::make_shared<View>(makeRect(90, 90, 50, 50));
    below->addSubview(outside);
    above->removeFromSuperview();
    EXPECT_EQ(root->hitTest({95, 95}), outside.get());
    EXPECT_EQ(root->hitTest({120, 120}), root.get());
    EXPECT_EQ(root->hitTest({250, 10}), nullptr);
}

TEST(ViewTree, HitTestingFollowsTransforms)
{
    auto root = std::make_shared<View>(makeRect(0, 0, 100, 100));
    auto bar = std::make_shared<View>(makeRect(30, 45, 40, 10));
    bar->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
    root->addSubview(bar);
    EXPECT_EQ(root->hitTest({50, 35}), bar.get());
    EXPECT_EQ(root->hitTest({35, 50}), root.get());
}

TEST(ViewTree, PointConversionThroughFramesBoundsAndTransforms)
{
    auto root = std::make_shared<View>(makeRect(0, 0, 320, 480));
    auto scroller = std::make_shared<View>(makeRect(0, 100, 320, 300));
    scroller->setBounds(makeRect(0, 50, 320, 300)); // scrolled down by 50
    auto cell = std::make_shared<View>(makeRect(10, 200, 100, 40));
    auto badge = std::make_shared<View>(makeRect(0, 0, 20, 20));
    badge->setTransform(AffineTransform::scale(2, 2));
    root->addSubview(scroller);
    scroller->addSubview(cell);
    cell->addSubview(badge);

    EXPECT_EQ(cell->convertPoint({0, 0}, nullptr), (Point{10, 250}));
    EXPECT_EQ(cell->convertPoint({0, 0}, root.get()), (Point{10, 250}));
    EXPECT_EQ(root->convertPoint({10, 250}, cell.get()), (Point{0, 0}));
    EXPECT_EQ(cell->convertPointFromView({10, 250}, nullptr), (Point{0, 0}));
    EXPECT_EQ(badge->convertPoint({0, 0}, cell.get()), (Point{-10, -10})); // scaled about its centre (10, 10)
    EXPECT_EQ(badge->convertPoint({20, 20}, nullptr), (Point{40, 280}));
    const Point back = badge->convertPointFromView({40, 280}, root.get());
    EXPECT_NEAR(back.x, 20, 1e-9);
    EXPECT_NEAR(back.y, 20, 1e-9);
    EXPECT_EQ(badge->convertRect(makeRect(0, 0, 20, 20), cell.get()), makeRect(-10, -10, 40, 40));
    EXPECT_EQ(cell->convertRectFromView(makeRect(10, 250, 5, 5), nullptr), makeRect(0, 0, 5, 5));

    Touch touch;
    touch.location = {15, 260};
    EXPECT_EQ(touch.locationInView(cell.get()), (Point{5, 10}));
    EXPECT_EQ(touch.locationInView(nullptr), (Point{15, 260}));
}

TEST(ViewTree, SubviewOrderTagsAndOwnership)
{
    auto root = std::make_shared<View>();
    auto a = std::make_shared<View>();
    auto b = std::make_shared<View>();
    auto c = std::make_shared<View>();
    c->setTag(7);
    root->addSubview(a);
    root->addSubview(b);
    root->insertSubview(c, 0);
    EXPECT_EQ(root->subviews(), (std::vector<std::shared_ptr<View>>{c, a, b}));
    root->bringSubviewToFront(c.get());
    root->sendSubviewToBack(b.get());
    EXPECT_EQ(root->subviews(), (std::vector<std::shared_ptr<View>>{b, a, c}));
    EXPECT_EQ(root->viewWithTag(7), c.get());
    EXPECT_EQ(root->viewWithTag(8), nullptr);

    // Adding to another parent moves it; a view cannot hold its ancestor.
    a->addSubview(c);
    EXPECT_EQ(c->superview(), a.get());
    EXPECT_EQ(root->subviews().size(), 2u);
    c->addSubview(root);
    EXPECT_EQ(root->superview(), nullptr);

    // Removal releases the last reference safely.
    std::weak_ptr<View> weak = c;
    c.reset();
    weak.lock()->removeFromSuperview();
    EXPECT_TRUE(weak.expired());
}

TEST(ViewTree, LayoutRunsOnceAfterItIsNeeded)
{
    struct Counting : View {
        int layouts = 0;
        void layoutSubviews() override { ++layouts; }
    };
    auto view = std::make_shared<Counting>();
    view->layoutIfNeeded();
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 1);
    view->setFrame(makeRect(0, 0, 10, 10)); // a new size lays out again
    view->setCenter({50, 50});               // moving does not
    view->renderToImage();
    EXPECT_EQ(view->layouts, 2);
}

TEST(ViewTree, FirstResponderIsOneAtATime)
{
    struct Focusable : View {
        bool canBecomeFirstResponder() const override { return true; }
        std::string typed;
        void insertText(const std::string& text) override { typed += text; }
    };
    auto root = std::make_shared<View>();
    auto first = std::make_shared<Focusable>();
    auto second = std::make_shared<Focusable>();
    root->addSubview(first);
    root->addSubview(second);
    EXPECT_FALSE(root->becomeFirstResponder());
    EXPECT_TRUE(first->becomeFirstResponder());
    EXPECT_TRUE(second->becomeFirstResponder());
    EXPECT_FALSE(first->isFirstResponder());
    EXPECT_EQ(View::firstResponder(), second.get());
    second->keyPressed({Key::Character, "ab"});
    second->keyPressed({Key::Return, ""});
    EXPECT_EQ(second->typed, "ab");
    EXPECT_TRUE(root->endEditing(false));
    EXPECT_EQ(View::firstResponder(), nullptr);
    first->becomeFirstResponder();
    first->removeFromSuperview();
    EXPECT_EQ(View::firstResponder(), nullptr);
}
