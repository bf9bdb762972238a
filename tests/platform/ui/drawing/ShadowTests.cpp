#include "platform/ui/Context.h"
#include "platform/ui/View.h"

#include "platform/ui/drawing/Pixels.h"
#include "support/ImageCompare.h"

#include <string>

using namespace ui;
using drawingtest::keep;

namespace {

std::shared_ptr<View> coloured(Rect frame, Color color)
{
    auto view = std::make_shared<View>(frame);
    view->setBackgroundColor(color);
    return view;
}

// A window-sized screen of stripes with a shadowed group over it, as the app's content slides over its menu.
struct Scene {
    std::shared_ptr<View> root = coloured(makeRect(0, 0, 120, 160), Color::white());
    std::shared_ptr<View> group = std::make_shared<View>(makeRect(0, 0, 120, 160));

    explicit Scene(Color groupBackground)
    {
        for (int i = 0; i < 8; ++i)
            root->addSubview(coloured(makeRect(0, i * 20, 120, 10), Color::systemGray4()));
        group->setBackgroundColor(groupBackground);
        group->setShadow(Color::black(), {-2, 1}, 6, 0.6);
        group->addSubview(coloured(makeRect(10, 10, 40, 20), Color::red()));
        root->addSubview(group);
    }

    // The group opaque, then a hair short of it: the shadow then shows through everywhere, so all of it is
    // made; where the group hides it, the two renderings can differ by no more than that hair.
    void expectHiddenShadowChangesNothing(const std::string& name, double scale)
    {
        SCOPED_TRACE(name + " at scale " + std::to_string(scale));
        group->setAlpha(1);
        const Image opaque = root->renderToImage(scale);
        group->setAlpha(0.999);
        const Image whole = root->renderToImage(scale);
        const auto same = testsupport::samePixels(opaque, whole, 2);
        if (!same) {
            keep(opaque, "shadow-" + name + "-opaque");
            keep(whole, "shadow-" + name + "-whole");
        }
        EXPECT_TRUE(same);
    }
};

struct Inside {
    AffineTransform ctm;
    Rect reach;
};

// A shadowed group that a black rectangle fills, with state left open inside it and drawing after it. A
// transparent speck drawn first keeps the group in an image of its own.
Inside paintOpaqueGroup(Context& c, bool speckFirst)
{
    Inside inside;
    c.setFillColor(Color::systemGray4());
    for (int i = 0; i < 8; ++i)
        c.fillRect(makeRect(0, i * 20, 120, 10));
    c.save();
    c.translate(30, 20);
    c.clipToRect(makeRect(-5, -10, 200, 200)); // cuts into the shadow on the left
    c.beginTransparencyLayer(makeRect(0, 0, 60, 100), 1, Shadow{Color::black().withAlpha(0.6), {-2, 1}, 12});
    c.save();
    if (speckFirst) {
        c.setFillColor(Color::clear());
        c.fillRect(makeRect(0, 0, 1, 1));
    }
    c.setFillColor(Color::black());
    c.fillRect(makeRect(0, 0, 60, 100));
    c.translate(5, 5);
    c.save();
    c.clipToRect(makeRect(0, 0, 40, 40));
    inside = {c.ctm(), c.clipBoundingBox()};
    c.setFillColor(Color::red());
    c.fillEllipse(makeRect(-10, -10, 60, 60));
    c.restore();
    // Reaching beyond the group, which cuts it off.
    c.beginTransparencyLayer(makeRect(0, 20, 80, 60), 0.5);
    c.setFillColor(Color::blue());
    c.fillRect(makeRect(10, 20, 70, 60));
    c.endTransparencyLayer();
    c.drawText("12.5", Point{0, 70}, Font::systemFont(12), Color::white());
    c.endTransparencyLayer(); // with a save still open
    c.restore();
    // Neither moved nor clipped by what the group left open.
    c.setFillColor(Color::green());
    c.fillRect(makeRect(0, 130, 120, 30));
    return inside;
}

} // namespace

TEST(Shadow, MadeOnlyWhereItShowsItLooksTheSameAsWhole)
{
    for (const double scale : {1.0, 2.0, 3.0}) {
        Scene opaque(Color::black());
        opaque.expectHiddenShadowChangesNothing("covering the window", scale);
        opaque.group->setFrame(makeRect(40.25, 0, 120, 160));
        opaque.expectHiddenShadowChangesNothing("slid right", scale);
        opaque.group->setFrame(makeRect(-30.5, 20.75, 100, 90));
        opaque.group->setCornerRadius(12);
        opaque.expectHiddenShadowChangesNothing("rounded and partly off", scale);

        // Covering the window but for a gap between its parts, where the shadow shows.
        Scene holed(Color::clear());
        holed.group->addSubview(coloured(makeRect(0, 0, 120, 70), Color::black()));
        holed.group->addSubview(coloured(makeRect(0, 80.5, 120, 80), Color::blue()));
        holed.expectHiddenShadowChangesNothing("a gap between its parts", scale);
    }
}

TEST(Shadow, FallsWhereTheGroupLetsItShow)
{
    Scene s(Color::black());
    s.group->setFrame(makeRect(40, 0, 120, 160));
    const Image image = s.root->renderToImage(2);
    EXPECT_LT(image.pixel(2 * 37, 2 * 95).r, 0.8);  // cast to the left of the group
    EXPECT_GT(image.pixel(2 * 4, 2 * 95).r, 0.95);  // beyond the blur's reach
}

TEST(Shadow, AGroupAnOpaqueRectangleFillsLooksTheSameDrawnStraight)
{
    for (const double scale : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        BitmapContext straight({120, 160}, scale);
        const Inside straightInside = paintOpaqueGroup(straight, false);
        BitmapContext inImage({120, 160}, scale);
        const Inside imageInside = paintOpaqueGroup(inImage, true);
        const bool same = testsupport::samePixels(straight.makeImage(), inImage.makeImage());
        if (!same) {
            keep(straight.makeImage(), "opaque-group-straight");
            keep(inImage.makeImage(), "opaque-group-in-image");
        }
        EXPECT_TRUE(same);
        EXPECT_EQ(straightInside.ctm, imageInside.ctm);
        EXPECT_NEAR(straightInside.reach.x(), imageInside.reach.x(), 1e-9);
        EXPECT_NEAR(straightInside.reach.width(), imageInside.reach.width(), 1e-9);
        EXPECT_NEAR(straightInside.reach.height(), imageInside.reach.height(), 1e-9);
    }
}
