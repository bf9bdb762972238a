#include "platform/ui/Context.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include "platform/ui/drawing/Pixels.h"

#include <algorithm>
#include <cmath>

using namespace ui;

TEST(Font, UnknownAndAppNamesFallBackToInstalledFaces)
{
    const struct {
        const char* name;
        FontWeight weight;
    } cases[] = {
        {"HelveticaNeue", FontWeight::Regular}, {"HelveticaNeue-Bold", FontWeight::Bold},
        {"Helvetica-Bold", FontWeight::Bold},   {"Arial-BoldMT", FontWeight::Bold},
        {"HelveticaNeue-Thin", FontWeight::Thin}, {"HelveticaNeue-Light", FontWeight::Light},
        {"Menlo", FontWeight::Regular},         {"Courier", FontWeight::Regular},
        {"No Such Face", FontWeight::Regular},
    };
    for (const auto& c : cases) {
        const Font font = Font::named(c.name, 17);
        EXPECT_EQ(font.name(), c.name);
        EXPECT_FALSE(font.family().empty()) << c.name;
        EXPECT_EQ(font.weight(), c.weight) << c.name;
        EXPECT_EQ(font.pointSize(), 17);
        EXPECT_GT(font.lineHeight(), 17) << c.name;
        EXPECT_LT(font.descender(), 0) << c.name;
    }
    // Size 0 means the platform's default.
    EXPECT_EQ(Font::named("Digital-Serial", 0).pointSize(), 12);
}

TEST(Font, DigitalFacesKeepFiguresTheSameWidth)
{
    for (const char* name : {"DigitalSans NowEF ML Demo", "Digital-Serial", "Digital-Serial DB"}) {
        const Font font = Font::named(name, 20);
        EXPECT_NEAR(font.widthOf("111"), font.widthOf("888"), 0.01) << name << " drawn with " << font.family();
    }
}

TEST(Text, MeasuringWrapsAtTheWidthAndBreaksAtNewlines)
{
    const Font font = Font::systemFont(14);
    const std::string text = "the quick brown fox jumps over the lazy dog";
    const Size oneLine = measureText(text, font);
    EXPECT_NEAR(oneLine.height, font.lineHeight(), 0.01);
    EXPECT_NEAR(oneLine.width, font.widthOf(text), 0.01);

    const Size wrapped = measureText(text, font, 100);
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 3 * font.lineHeight() - 0.01);
    EXPECT_NEAR(std::fmod(wrapped.height, font.lineHeight()), 0, 0.01);

    EXPECT_NEAR(measureText("one\ntwo\n", font).height, 3 * font.lineHeight(), 0.01);
    EXPECT_EQ(measureText("", font), (Size{0, 0}));
    // A word longer than the width is broken inside.
    const Size longWord = measureText("abcdefghijklmnopqrstuvwxyz", font, 50);
    EXPECT_LE(longWord.width, 50);
    EXPECT_GT(longWord.height, font.lineHeight());
}

TEST(Text, TruncationKeepsTheRequestedEnd)
{
    const Font font = Font::systemFont(14);
    const std::string text = "Beginning of a sentence that is far too long";
    const std::string ellipsis = "\u2026";
    const auto single = [&](LineBreakMode mode) {
        const TextLayout layout = layoutText(text, font, {120, 1, mode, TextAlignment::Left});
        EXPECT_EQ(layout.lines.size(), 1u);
        if (mode != LineBreakMode::Clip) {
            EXPECT_LE(layout.lines.front().width, 120.01);
        }
        return layout.lines.front().text;
    };
    EXPECT_EQ(single(LineBreakMode::TruncateTail).rfind("Beginning", 0), 0u);
    EXPECT_TRUE(single(LineBreakMode::TruncateTail).ends_with(ellipsis));
    EXPECT_TRUE(single(LineBreakMode::TruncateHead).starts_with(ellipsis));
    EXPECT_TRUE(single(LineBreakMode::TruncateHead).ends_with("long"));
    EXPECT_EQ(single(LineBreakMode::Clip), text);

    const TextLayout twoLines = layoutText(text, font, {120, 2, LineBreakMode::TruncateTail, TextAlignment::Left});
    ASSERT_EQ(twoLines.lines.size(), 2u);
    EXPECT_TRUE(twoLines.lines[1].text.ends_with(ellipsis));
    EXPECT_NEAR(twoLines.lines[1].origin.y, font.lineHeight(), 0.01);
}

TEST(Text, AlignmentPlacesLinesWithinTheWidth)
{
    const Font font = Font::systemFont(14);
    const double w = font.widthOf("abc");
    const auto x = [&](TextAlignment a) { return layoutText("abc", font, {100, 0, LineBreakMode::WordWrap, a}).lines[0].origin.x; };
    EXPECT_EQ(x(TextAlignment::Left), 0);
    EXPECT_NEAR(x(TextAlignment::Center), (100 - w) / 2, 0.01);
    EXPECT_NEAR(x(TextAlignment::Right), 100 - w, 0.01);
}

TEST(Label, SizesToItsTextAndShrinksToFitWhenAsked)
{
    auto label = std::make_shared<Label>(makeRect(0, 0, 100, 30));
    label->setFont(Font::systemFont(20));
    label->setText("A long caption");
    const Size natural = label->sizeThatFits({100, 30});
    EXPECT_GT(natural.width, 100); // one line ignores the width offered
    EXPECT_EQ(natural.height, std::ceil(label->font().lineHeight()));
    EXPECT_EQ(label->fittedFontSize(), 20);

    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumScaleFactor(0.5);
    EXPECT_LT(label->fittedFontSize(), 20);
    EXPECT_GE(label->fittedFontSize(), 10);
    EXPECT_LE(measureText("A long caption", label->font().withSize(label->fittedFontSize())).width, 100);

    label->setMinimumScaleFactor(0.9); // cannot fit: stops at the minimum
    EXPECT_NEAR(label->fittedFontSize(), 18, 0.5);

    label->setNumberOfLines(0);
    label->setAdjustsFontSizeToFitWidth(false);
    const Size wrapped = label->sizeThatFits({60, 1000});
    EXPECT_LE(wrapped.width, 60);
    EXPECT_GT(wrapped.height, label->font().lineHeight());
    label->sizeToFit();
    EXPECT_EQ(label->frame().origin, (Point{0, 0}));
}

TEST(Label, DrawsItsTextCentredVertically)
{
    auto label = std::make_shared<Label>(makeRect(0, 0, 80, 60));
    label->setFont(Font::systemFont(12));
    label->setText("Mid");
    const Image image = label->renderToImage();
    drawingtest::keep(image, "label-centred");
    int top = -1, bottom = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (drawingtest::isInk(image.pixel(x, y))) {
                top = top < 0 ? y : top;
                bottom = y;
            }
    ASSERT_GE(top, 0);
    EXPECT_NEAR((top + bottom) / 2.0, 30, 4);
}

TEST(Text, LargeTextDrawsTheSameAfterSmallTextAtOtherOffsets)
{
    const Font small = Font::named("Digital-Serial DB", 17);
    const Font large = small.withSize(97.5);
    const auto drawAfterSmallText = [&](const std::string& smallText, double smallX) {
        BitmapContext context({160, 120});
        // Small glyphs not drawn before are rendered at the sub-pixel offset of their position.
        context.drawText(smallText, Point{smallX, 0}, small, Color::black());
        BitmapContext largeOnly({160, 120});
        largeOnly.drawText("00", Point{7.8125, 5}, large, Color::black());
        return largeOnly.makeImage();
    };
    const Image first = drawAfterSmallText("%", 0.3);
    const Image second = drawAfterSmallText("&", 0.7);
    ASSERT_EQ(first.pixelWidth(), second.pixelWidth());
    ASSERT_EQ(first.pixelHeight(), second.pixelHeight());
    const auto count = static_cast<std::size_t>(first.pixelWidth() * first.pixelHeight());
    EXPECT_TRUE(std::equal(first.pixels(), first.pixels() + count, second.pixels()));
}
