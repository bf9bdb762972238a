#include "platform/ui/Button.h"

#include "platform/ui/Context.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

template <typename T>
void store(std::map<ControlState, T>& values, std::optional<T> value, ControlState state)
{
    if (value)
        values[state] = std::move(*value);
    else
        values.erase(state);
}

} // namespace

Button::Button(ButtonType type) : type_(type), font_(Font::systemFont(15))
{
    if (isInfo())
        setFrame({{0, 0}, {infoSide, infoSide}});
}

Button::Button(ButtonType type, Rect frame) : Button(type) { setFrame(frame); }

template <typename T>
std::optional<T> Button::lookup(const std::map<ControlState, T>& values) const
{
    // Highlighted while selected falls back to selected, then to normal.
    for (ControlState s : {state(), isSelected() ? ControlState::Selected : ControlState::Normal, ControlState::Normal}) {
        if (const auto found = values.find(s); found != values.end())
            return found->second;
    }
    return std::nullopt;
}

void Button::setTitle(std::optional<std::string> title, ControlState state)
{
    store(titles_, std::move(title), state);
    setNeedsDisplay();
}

void Button::setTitleColor(std::optional<Color> color, ControlState state)
{
    store(titleColors_, color, state);
    setNeedsDisplay();
}

void Button::setImage(std::optional<Image> image, ControlState state)
{
    store(images_, std::move(image), state);
    setNeedsDisplay();
}

void Button::setBackgroundImage(std::optional<Image> image, ControlState state)
{
    store(backgroundImages_, std::move(image), state);
    setNeedsDisplay();
}

std::optional<std::string> Button::titleForState(ControlState state) const
{
    const auto found = titles_.find(state);
    return found == titles_.end() ? std::nullopt : std::optional(found->second);
}

std::string Button::currentTitle() const { return lookup(titles_).value_or(""); }

Color Button::currentTitleColor() const
{
    if (const auto color = lookup(titleColors_))
        return *color;
    if (drawsInTint())
        return state() == ControlState::Disabled ? Color::systemGray() : tintColor();
    return Color::white();
}

Image Button::currentImage() const { return lookup(images_).value_or(Image()); }

Image Button::currentBackgroundImage() const { return lookup(backgroundImages_).value_or(Image()); }

void Button::setTitleFont(Font font)
{
    font_ = std::move(font);
    setNeedsDisplay();
}

void Button::setContentHorizontalAlignment(TextAlignment alignment)
{
    horizontalAlignment_ = alignment;
    setNeedsDisplay();
}

void Button::setContentEdgeInsets(EdgeInsets insets)
{
    contentInsets_ = insets;
    setNeedsDisplay();
}

Size Button::sizeThatFits(Size) const
{
    if (isInfo() && currentTitle().empty() && currentImage().isNull())
        return {infoSide, infoSide};
    const std::string title = currentTitle();
    const Size text = title.empty() ? Size{} : measureText(title, font_);
    const Size image = currentImage().size();
    const Size background = currentBackgroundImage().size();
    const double width = text.width + image.width + contentInsets_.left + contentInsets_.right;
    const double height = std::max(text.height, image.height) + contentInsets_.top + contentInsets_.bottom;
    return {std::ceil(std::max(width, background.width)), std::ceil(std::max(height, background.height))};
}

void Button::draw(Context& context, Rect)
{
    const Rect b = bounds();
    const bool highlighted = state() == ControlState::Highlighted;
    // System buttons fade while pressed; custom ones darken.
    const double fade = drawsInTint() && highlighted ? 0.2 : 1;
    if (const Image background = currentBackgroundImage(); !background.isNull())
        context.drawImage(background, b);

    const Rect content = insetRect(b, contentInsets_);
    const std::string title = currentTitle();
    const Image image = currentImage();
    const TextLayout text = title.empty() ? TextLayout{} : layoutText(title, font_, {std::max(0.0, content.width() - image.size().width), 1, LineBreakMode::TruncateMiddle, TextAlignment::Left});
    const double total = image.size().width + text.size.width;
    double x = content.minX();
    if (horizontalAlignment_ == TextAlignment::Center)
        x = content.midX() - total / 2;
    else if (horizontalAlignment_ == TextAlignment::Right)
        x = content.maxX() - total;

    context.save();
    context.setAlpha(fade);
    if (isInfo() && image.isNull() && title.empty())
        drawInfoGlyph(context, state() == ControlState::Disabled ? Color::systemGray() : tintColor());
    if (!image.isNull()) {
        const Rect r{{x, content.midY() - image.size().height / 2}, image.size()};
        if (image.isTemplate() || drawsInTint())
            context.drawImageTinted(image, r, state() == ControlState::Disabled ? Color::systemGray() : tintColor());
        else
            context.drawImage(image, r);
        if (highlighted && type_ == ButtonType::Custom)
            context.drawImageTinted(image, r, Color::black().withAlpha(0.3));
    }
    Color color = currentTitleColor();
    if (highlighted && type_ == ButtonType::Custom && !titleColors_.contains(ControlState::Highlighted))
        color = Color{color.r * 0.7, color.g * 0.7, color.b * 0.7, color.a};
    context.drawTextLayout(text, {x + image.size().width, content.midY() - text.size.height / 2}, font_, color);
    context.restore();
}

// A ring with an "i" inside, centred, at most infoSide across.
void Button::drawInfoGlyph(Context& context, Color color) const
{
    const Rect b = bounds();
    const double d = std::min({b.width(), b.height(), infoSide}) - 2;
    if (d <= 0)
        return;
    const Point c{b.midX(), b.midY()};
    context.setStrokeColor(color);
    context.setFillColor(color);
    context.setLineWidth(d / 14);
    context.strokeEllipse({{c.x - d / 2, c.y - d / 2}, {d, d}});
    const double dot = d / 8;
    context.fillEllipse({{c.x - dot / 2, c.y - d * 0.3}, {dot, dot}});
    const double stem = d / 10;
    context.fillRect({{c.x - stem / 2, c.y - d * 0.1}, {stem, d * 0.36}});
}

} // namespace ui
