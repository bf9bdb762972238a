#include "platform/ui/TextField.h"

#include "platform/ui/Context.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double roundedPadding = 7;
const std::string bullet = "\u2022";

std::string bullets(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += bullet;
    return out;
}

} // namespace

TextField::TextField() : font_(Font::systemFont(17)) {}

TextField::TextField(Rect frame) : TextField() { setFrame(frame); }

void TextField::setText(std::string text)
{
    editing_.setText(std::move(text));
    setNeedsDisplay();
}

void TextField::setPlaceholder(std::string placeholder)
{
    placeholder_ = std::move(placeholder);
    setNeedsDisplay();
}

void TextField::setPlaceholderColor(Color color)
{
    placeholderColor_ = color;
    setNeedsDisplay();
}

void TextField::setFont(Font font)
{
    font_ = std::move(font);
    setNeedsDisplay();
}

void TextField::setTextColor(Color color)
{
    textColor_ = color;
    setNeedsDisplay();
}

void TextField::setTextAlignment(TextAlignment alignment)
{
    alignment_ = alignment;
    setNeedsDisplay();
}

void TextField::setBorderStyle(TextBorderStyle style)
{
    borderStyle_ = style;
    setNeedsDisplay();
}

void TextField::setSecureTextEntry(bool secure)
{
    secure_ = secure;
    setNeedsDisplay();
}

void TextField::setLeftView(std::shared_ptr<View> view)
{
    if (leftView_)
        leftView_->removeFromSuperview();
    leftView_ = std::move(view);
    if (leftView_)
        addSubview(leftView_);
    setNeedsLayout();
}

void TextField::setLeftViewMode(TextFieldViewMode mode)
{
    leftViewMode_ = mode;
    setNeedsLayout();
}

bool TextField::leftViewShown() const
{
    if (!leftView_)
        return false;
    switch (leftViewMode_) {
    case TextFieldViewMode::Always: return true;
    case TextFieldViewMode::WhileEditing: return isEditing();
    case TextFieldViewMode::UnlessEditing: return !isEditing();
    case TextFieldViewMode::Never: return false;
    }
    return false;
}

void TextField::layoutSubviews()
{
    if (!leftView_)
        return;
    const Rect b = bounds();
    const Size size = leftView_->bounds().size;
    leftView_->setFrame({{b.minX(), b.midY() - size.height / 2}, size});
    leftView_->setHidden(!leftViewShown());
}

Rect TextField::textRect() const
{
    const Rect b = bounds();
    double left = borderStyle_ == TextBorderStyle::None ? 0 : roundedPadding;
    if (leftViewShown())
        left = leftView_->frame().maxX() - b.minX();
    const double right = borderStyle_ == TextBorderStyle::None ? 0 : roundedPadding;
    return makeRect(b.minX() + left, b.minY(), std::max(0.0, b.width() - left - right), b.height());
}

std::string TextField::displayText() const
{
    return secure_ ? bullets(characterCount(editing_.text())) : editing_.text();
}

Size TextField::sizeThatFits(Size size) const
{
    const double padding = borderStyle_ == TextBorderStyle::None ? 0 : 2 * roundedPadding;
    return {std::max(size.width, font_.widthOf(displayText()) + padding), std::ceil(font_.lineHeight() + 8)};
}

// The keyboard type chooses the phone's on-screen keys; a hardware keyboard types any character into any
// field, as here. Dropping what a number pad has no key for would turn "1.5e3" into "153" behind the
// user's back: the screen reading the text refuses what it cannot read instead. A line field takes no
// line breaks or tabs.
std::string TextField::filtered(const std::string& typed) const
{
    std::string out;
    for (char c : typed) {
        if (c != '\n' && c != '\r' && c != '\t')
            out += c;
    }
    return out;
}

bool TextField::canBecomeFirstResponder() const
{
    return isEnabled() && (!delegate_ || delegate_->textFieldShouldBeginEditing(const_cast<TextField&>(*this)));
}

bool TextField::canResignFirstResponder() const
{
    return !delegate_ || delegate_->textFieldShouldEndEditing(const_cast<TextField&>(*this));
}

void TextField::endTracking(Point location, bool inside)
{
    Window* host = window();
    const Point tapped = convertPoint(location, host);
    if (!inside || becomeFirstResponder() || !host || window())
        return;
    // Ending the other field's editing replaced this one (its form reloaded): the field now shown where the
    // user tapped takes the typing.
    host->layoutIfNeeded();
    if (auto* replacement = dynamic_cast<TextField*>(host->hitTest(tapped)))
        replacement->becomeFirstResponder();
}

void TextField::didBecomeFirstResponder()
{
    editing_.setText(clearsOnBeginEditing_ ? std::string() : editing_.text());
    setNeedsLayout();
    setNeedsDisplay();
    showInputAccessory();
    if (delegate_)
        delegate_->textFieldDidBeginEditing(*this);
    sendActions(ControlEvent::EditingDidBegin);
}

void TextField::didResignFirstResponder()
{
    hideInputAccessory();
    setNeedsLayout();
    setNeedsDisplay();
    if (delegate_)
        delegate_->textFieldDidEndEditing(*this);
    sendActions(ControlEvent::EditingDidEnd);
}

void TextField::setInputAccessoryView(std::shared_ptr<View> view)
{
    const bool shown = inputAccessoryShown_;
    hideInputAccessory();
    inputAccessory_ = std::move(view);
    if (shown)
        showInputAccessory();
}

void TextField::showInputAccessory()
{
    Window* host = window();
    if (!inputAccessory_ || !host)
        return;
    const Rect b = host->bounds();
    const double h = inputAccessory_->frame().height();
    inputAccessory_->setFrame({{b.minX(), b.maxY() - h}, {b.width(), h}});
    host->addSubview(inputAccessory_);
    inputAccessoryShown_ = true;
}

void TextField::hideInputAccessory()
{
    if (inputAccessoryShown_ && inputAccessory_)
        inputAccessory_->removeFromSuperview();
    inputAccessoryShown_ = false;
}

void TextField::keyPressed(const KeyEvent& event)
{
    if (!isFirstResponder())
        return;
    switch (event.key) {
    case Key::Character:
        // Shortcuts type nothing; Ctrl+A selects the whole text.
        if (event.control) {
            if (event.text == "a" || event.text == "A") {
                editing_.selectAll();
                setNeedsDisplay();
            }
            return;
        }
        insertText(event.text);
        return;
    case Key::Return:
        if (delegate_ && !delegate_->textFieldShouldReturn(*this))
            return;
        // As on the phone: a return with targets for it ends editing.
        if (hasTargets(ControlEvent::EditingDidEndOnExit)) {
            sendActions(ControlEvent::EditingDidEndOnExit);
            resignFirstResponder();
        }
        return;
    default:
        if (editing_.apply(event.key))
            sendActions(ControlEvent::EditingChanged);
        setNeedsDisplay();
        return;
    }
}

void TextField::insertText(const std::string& text)
{
    if (!isFirstResponder())
        return;
    const std::string accepted = filtered(text);
    if (accepted.empty())
        return;
    editing_.insert(accepted);
    setNeedsDisplay();
    sendActions(ControlEvent::EditingChanged);
}

void TextField::draw(Context& context, Rect)
{
    const Rect b = bounds();
    switch (borderStyle_) {
    case TextBorderStyle::RoundedRect:
        if (!backgroundColor()) {
            context.setFillColor(Color::white());
            context.fillPath(Path::roundedRect(b, 5));
        }
        context.setStrokeColor(Color::white(0.8));
        context.setLineWidth(1);
        context.strokePath(Path::roundedRect(b.inset(0.5, 0.5), 5));
        break;
    case TextBorderStyle::Line:
    case TextBorderStyle::Bezel:
        context.setStrokeColor(borderStyle_ == TextBorderStyle::Line ? Color::black() : Color::gray());
        context.setLineWidth(1);
        context.strokeRect(b.inset(0.5, 0.5));
        break;
    case TextBorderStyle::None: break;
    }

    const Rect area = textRect();
    const bool showPlaceholder = editing_.text().empty();
    const std::string shown = showPlaceholder ? placeholder_ : displayText();
    const auto alignedX = [&](double width) {
        if (alignment_ == TextAlignment::Center)
            return area.midX() - width / 2;
        if (alignment_ == TextAlignment::Right)
            return std::max(area.minX(), area.maxX() - width - 2);
        return area.minX();
    };
    const double width = font_.widthOf(shown);
    double x = alignedX(width);
    double caretX = alignedX(0);
    if (!showPlaceholder) {
        const std::string beforeCaret = editing_.text().substr(0, editing_.caret());
        const double caretOffset = font_.widthOf(secure_ ? bullets(characterCount(beforeCaret)) : beforeCaret);
        if (width > area.width()) {
            // Too long: keep the caret in view while editing, else the start.
            x = isEditing() ? std::min(area.minX(), area.maxX() - 2 - caretOffset) : area.minX();
        }
        caretX = x + caretOffset;
    }
    const double y = area.midY() - font_.lineHeight() / 2;
    context.save();
    context.clipToRect(area.inset(-1, 0));
    if (isEditing() && editing_.hasSelection() && !showPlaceholder) {
        const auto [first, last] = editing_.selection();
        const auto widthTo = [&](std::size_t end) {
            const std::string before = editing_.text().substr(0, end);
            return font_.widthOf(secure_ ? bullets(characterCount(before)) : before);
        };
        context.setFillColor(tintColor().withAlpha(0.35));
        context.fillRect(makeRect(x + widthTo(first), y, widthTo(last) - widthTo(first), font_.lineHeight()));
    }
    context.drawText(shown, Point{x, y}, font_, showPlaceholder ? placeholderColor_ : textColor_);
    if (isEditing()) {
        context.setFillColor(tintColor());
        context.fillRect(makeRect(caretX, y + 1, 2, font_.lineHeight() - 2));
    }
    context.restore();
}

} // namespace ui
