#include "platform/ui/Label.h"

#include "platform/ui/Context.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// The platform never shrinks text below this when no minimum scale is set.
constexpr double smallestFontSize = 4;

} // namespace

Label::Label() { setUserInteractionEnabled(false); }

Label::Label(Rect frame) : View(frame) { setUserInteractionEnabled(false); }

void Label::setText(std::string text)
{
    if (text_ == text)
        return;
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(Font font)
{
    font_ = std::move(font);
    setNeedsDisplay();
}

void Label::setTextColor(Color color)
{
    textColor_ = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment)
{
    alignment_ = alignment;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    numberOfLines_ = std::max(0, lines);
    setNeedsDisplay();
}

void Label::setLineBreakMode(LineBreakMode mode)
{
    lineBreak_ = mode;
    setNeedsDisplay();
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    adjustsFontSize_ = adjusts;
    setNeedsDisplay();
}

void Label::setMinimumScaleFactor(double factor)
{
    minimumScaleFactor_ = std::clamp(factor, 0.0, 1.0);
    setNeedsDisplay();
}

void Label::setEnabled(bool enabled)
{
    enabled_ = enabled;
    setNeedsDisplay();
}

void Label::setHighlighted(bool highlighted)
{
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void Label::setHighlightedTextColor(std::optional<Color> color)
{
    highlightedTextColor_ = color;
    setNeedsDisplay();
}

TextLayout Label::layoutFor(const Font& font, Size box) const
{
    int lines = numberOfLines_;
    if (box.height > 0) {
        // Lines that do not fit the height are dropped, the last shown one truncated.
        const int fitting = std::max(1, static_cast<int>(std::floor(box.height / font.lineHeight() + 0.01)));
        lines = lines == 0 ? fitting : std::min(lines, fitting);
    }
    return layoutText(text_, font, {box.width, lines, lineBreak_, alignment_});
}

Font Label::fittedFont() const
{
    if (!adjustsFontSize_ || text_.empty() || bounds().width() <= 0)
        return font_;
    const double minimum = minimumScaleFactor_ > 0 ? font_.pointSize() * minimumScaleFactor_ : smallestFontSize;
    const auto fits = [&](const Font& f) {
        if (numberOfLines_ == 1)
            return measureText(text_, f).width <= bounds().width();
        return measureText(text_, f, bounds().width()).height <= bounds().height();
    };
    if (fits(font_))
        return font_;
    // The largest size that fits, in half points.
    double low = minimum;
    double high = font_.pointSize();
    while (high - low > 0.5) {
        const double mid = (low + high) / 2;
        (fits(font_.withSize(mid)) ? low : high) = mid;
    }
    return font_.withSize(low);
}

double Label::fittedFontSize() const { return fittedFont().pointSize(); }

Size Label::sizeThatFits(Size size) const
{
    if (text_.empty())
        return {0, 0};
    // One line ignores the width offered; several wrap at it.
    const double width = numberOfLines_ == 1 ? 0 : size.width;
    const TextLayout layout = layoutText(text_, font_, {width, numberOfLines_, lineBreak_, TextAlignment::Left});
    return {std::ceil(layout.size.width), std::ceil(layout.size.height)};
}

void Label::draw(Context& context, Rect)
{
    if (text_.empty())
        return;
    const Font font = fittedFont();
    const Rect b = bounds();
    TextLayout layout = layoutFor(font, b.size);
    // Text much taller than the label spills over what lies above and below it.
    if (layout.size.height - b.height() > 0.25 * font.lineHeight()) {
        for (TextLine& line : layout.lines)
            line.cut = true;
    }
    Color color = textColor_;
    if (highlighted_ && highlightedTextColor_)
        color = *highlightedTextColor_;
    if (!enabled_)
        color = color.withAlpha(color.a * 0.44);
    context.drawTextLayout(layout, {b.x(), b.y() + (b.height() - layout.size.height) / 2}, font, color);
}

} // namespace ui
