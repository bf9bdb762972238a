#include "platform/ui/Button.h"

#include "platform/ui/drawing/Pixels.h"

using namespace ui;

namespace {

Image renderInfo(ButtonType type, bool enabled)
{
    auto button = std::make_shared<Button>(type);
    button->setBackgroundColor(Color::white());
    button->setTintColor(Color::orange());
    button->setEnabled(enabled);
    return button->renderToImage(2);
}

} // namespace

TEST(InfoButton, ComesTwentyTwoPointsSquareAtTheOrigin)
{
    for (ButtonType type : {ButtonType::InfoLight, ButtonType::InfoDark}) {
        Button button(type);
        EXPECT_EQ(button.frame(), makeRect(0, 0, Button::infoSide, Button::infoSide));
        EXPECT_EQ(button.sizeThatFits({}), (Size{Button::infoSide, Button::infoSide}));
    }
}

TEST(InfoButton, DrawsARingAndAnIInTheTintOrGreyWhenDisabled)
{
    struct Case {
        ButtonType type;
        bool enabled;
        Color ink;
    };
    const Case cases[] = {
        {ButtonType::InfoLight, true, Color::orange()},
        {ButtonType::InfoDark, true, Color::orange()},
        {ButtonType::InfoLight, false, Color::systemGray()},
    };
    for (const Case& c : cases) {
        const Image image = renderInfo(c.type, c.enabled);
        drawingtest::keep(image, c.enabled ? "info-button" : "info-button-disabled");
        struct Probe {
            int x, y;
            bool ink;
        };
        // Pixels at scale 2: the ring's left edge, the dot, the stem, and the
        // white gaps between them.
        for (const Probe p : {Probe{2, 22, true}, Probe{22, 12, true}, Probe{22, 26, true}, Probe{11, 22, false},
                              Probe{22, 7, false}, Probe{41, 22, true}}) {
            const Color expected = p.ink ? c.ink : Color::white();
            EXPECT_TRUE(drawingtest::sameColor(image.pixel(p.x, p.y), expected, 0.15))
                << "pixel " << p.x << "," << p.y << " enabled " << c.enabled;
        }
    }
}

TEST(InfoButton, ATitleOrImageTakesThePlaceOfTheGlyph)
{
    auto button = std::make_shared<Button>(ButtonType::InfoLight);
    button->setBackgroundColor(Color::white());
    button->setTitle("i?");
    EXPECT_NE(button->sizeThatFits({}), (Size{Button::infoSide, Button::infoSide}));
    const Image image = button->renderToImage(2);
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(2, 22), Color::white(), 0.15)); // no ring
}
