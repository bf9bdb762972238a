#include "platform/ui/Button.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "platform/ui/Window.h"

#include "platform/ui/drawing/Pixels.h"
#include "support/ImageCompare.h"

#include <functional>
#include <numbers>

using namespace ui;
using drawingtest::keep;

namespace {

// Counts its draw() calls and paints a diagonal.
class CountingView : public View {
public:
    using View::View;
    int draws = 0;
    Rect lastDirty;
    void draw(Context& context, Rect dirty) override
    {
        ++draws;
        lastDirty = dirty;
        context.setStrokeColor(Color::red());
        context.setLineWidth(3);
        context.strokeLine(bounds().origin, {bounds().maxX(), bounds().maxY()});
    }
};

std::shared_ptr<View> coloured(Rect frame, Color color)
{
    auto view = std::make_shared<View>(frame);
    view->setBackgroundColor(color);
    return view;
}

// A repainted area may differ from a full repaint by a level or two on
// antialiased edges its clip cuts, no more.
::testing::AssertionResult samePixels(const Image& actual, const Image& expected)
{
    return testsupport::samePixels(actual, expected, 2);
}

// A window of assorted views, drawn once into a kept frame.
struct Scene {
    std::shared_ptr<Window> window = std::make_shared<Window>(makeRect(0, 0, 200, 300));
    BitmapContext frame{{200, 300}, 2};
    std::shared_ptr<Label> label = std::make_shared<Label>(makeRect(10, 10, 120, 24));
    std::shared_ptr<View> card = coloured(makeRect(20, 50, 80, 60), Color::white());
    std::shared_ptr<View> clipper = coloured(makeRect(110, 50, 60, 60), Color::blue());
    std::shared_ptr<View> spill = coloured(makeRect(30, 30, 60, 60), Color::green());
    std::shared_ptr<CountingView> far = std::make_shared<CountingView>(makeRect(120, 240, 60, 40));
    std::shared_ptr<Slider> slider = std::make_shared<Slider>(makeRect(10, 130, 180, 30));
    std::shared_ptr<Switch> toggle = std::make_shared<Switch>(Point{10, 170});
    std::shared_ptr<Button> button = std::make_shared<Button>(ButtonType::System, makeRect(80, 170, 100, 30));
    std::shared_ptr<View> faded = coloured(makeRect(10, 210, 90, 30), Color::red());

    Scene()
    {
        window->setBackgroundColor(Color::systemGray4());
        label->setText("Speed 42");
        label->setFont(Font::systemFont(17));
        window->addSubview(label);
        card->setCornerRadius(8);
        card->setBorder(1, Color::black());
        card->setShadow(Color::black(), {0, 3}, 3, 0.5);
        card->addSubview(coloured(makeRect(70, 40, 30, 30), Color::red())); // spills past the card
        window->addSubview(card);
        clipper->setClipsToBounds(true);
        clipper->addSubview(spill);
        window->addSubview(clipper);
        window->addSubview(far);
        slider->setValue(0.3f);
        window->addSubview(slider);
        window->addSubview(toggle);
        button->setTitle("Reset", ControlState::Normal);
        window->addSubview(button);
        faded->setAlpha(0.6);
        window->addSubview(faded);
        window->setNeedsDisplay();
        window->renderDamage(frame);
    }

    // After each change, the kept frame with only the damage repainted must
    // equal a full repaint.
    void expectChangeMatchesFullRepaint(const std::string& name, const std::function<void()>& change)
    {
        SCOPED_TRACE(name);
        change();
        window->renderDamage(frame);
        const Image partial = frame.makeImage();
        const Image full = window->renderToImage(2);
        const auto same = samePixels(partial, full);
        if (!same) {
            keep(partial, "damage-" + name + "-partial");
            keep(full, "damage-" + name + "-full");
        }
        EXPECT_TRUE(same);
        EXPECT_TRUE(window->damage().empty());
    }
};

} // namespace

TEST(Damage, RepaintingTheDamageGivesTheSamePixelsAsAFullRepaint)
{
    Scene s;
    s.expectChangeMatchesFullRepaint("label", [&] { s.label->setText("Speed 108 km/h"); });
    s.expectChangeMatchesFullRepaint("move card", [&] { s.card->setFrame(makeRect(35.5, 65.25, 80, 60)); });
    s.expectChangeMatchesFullRepaint("shadow", [&] { s.card->setShadow(Color::black(), {4, 6}, 6, 0.8); });
    s.expectChangeMatchesFullRepaint("rotate", [&] { s.card->setTransform(AffineTransform::rotation(std::numbers::pi / 7)); });
    s.expectChangeMatchesFullRepaint("scroll", [&] { s.clipper->setBounds(makeRect(12, 17, 60, 60)); });
    s.expectChangeMatchesFullRepaint("hide", [&] { s.faded->setHidden(true); });
    s.expectChangeMatchesFullRepaint("show", [&] { s.faded->setHidden(false); });
    s.expectChangeMatchesFullRepaint("alpha", [&] { s.faded->setAlpha(0.2); });
    s.expectChangeMatchesFullRepaint("background", [&] { s.spill->setBackgroundColor(Color::black()); });
    s.expectChangeMatchesFullRepaint("slider", [&] { s.slider->setValue(0.9f); });
    s.expectChangeMatchesFullRepaint("switch", [&] { s.toggle->setOn(true); });
    s.expectChangeMatchesFullRepaint("tint", [&] { s.window->setTintColor(Color::systemGreen()); });
    s.expectChangeMatchesFullRepaint("front", [&] { s.window->bringSubviewToFront(s.faded.get()); });
    s.expectChangeMatchesFullRepaint("remove", [&] { s.card->removeFromSuperview(); });
    s.expectChangeMatchesFullRepaint("add", [&] {
        auto fresh = coloured(makeRect(100.3, 20.7, 33, 44), Color::green());
        fresh->setCornerRadius(5);
        s.window->addSubview(fresh);
    });
    s.expectChangeMatchesFullRepaint("rect", [&] { s.far->setNeedsDisplayInRect(makeRect(10, 10, 5, 5)); });
}

TEST(Damage, ALabelChangeRepaintsItsOwnAreaAndSkipsTheRest)
{
    Scene s;
    const int drawsBefore = s.far->draws;
    s.label->setText("Speed 43");
    ASSERT_EQ(s.window->damage().size(), 1u);
    EXPECT_TRUE(s.label->frame().contains(s.window->damage().front()));
    const auto painted = s.window->renderDamage(s.frame);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_LE(painted.front().width(), s.label->frame().width() + 1);
    EXPECT_EQ(s.far->draws, drawsBefore) << "a view outside the damage is not drawn";

    s.far->setNeedsDisplayInRect(makeRect(5, 5, 10, 10));
    s.window->renderDamage(s.frame);
    EXPECT_EQ(s.far->draws, drawsBefore + 1);
    EXPECT_EQ(s.far->lastDirty, makeRect(5, 5, 10, 10));
}

TEST(Damage, ViewsThatShowNothingDamageNothing)
{
    Scene s;
    s.faded->setHidden(true);
    s.window->renderDamage(s.frame);
    auto child = coloured(makeRect(0, 0, 10, 10), Color::black());
    s.faded->addSubview(child);
    child->setBackgroundColor(Color::white());
    child->setFrame(makeRect(5, 5, 10, 10));
    EXPECT_TRUE(s.window->damage().empty());

    auto offscreen = std::make_shared<Label>(makeRect(0, 0, 50, 20));
    offscreen->setText("not in a window");
    EXPECT_TRUE(s.window->damage().empty());

    // A move outside the window is cut to the window.
    s.far->setFrame(makeRect(150, 280, 200, 200));
    for (const Rect& r : s.window->damage())
        EXPECT_TRUE(s.window->bounds().contains(r));
}

TEST(Damage, ManySmallChangesMergeIntoFewRectangles)
{
    Scene s;
    for (int i = 0; i < 30; ++i) {
        auto dot = coloured(makeRect(6.0 * i, 8.0 * i, 3, 3), Color::black());
        s.window->addSubview(dot);
    }
    EXPECT_LE(s.window->damage().size(), 8u);
    const auto painted = s.window->renderDamage(s.frame);
    EXPECT_TRUE(samePixels(s.frame.makeImage(), s.window->renderToImage(2)));
    EXPECT_FALSE(painted.empty());
}

