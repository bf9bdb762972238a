#include "platform/ui/TextView.h"

#include "platform/ui/Context.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// A finger that moves less than this is a tap, not a drag.
constexpr double dragSlop = 4;

} // namespace

TextView::TextView() : font_(Font::systemFont(12))
{
    setBackgroundColor(Color::white());
    setClipsToBounds(true);
}

TextView::TextView(Rect frame) : TextView() { setFrame(frame); }

void TextView::textChanged()
{
    layout_.reset();
    setNeedsDisplay();
}

void TextView::setText(std::string text)
{
    editing_.setText(std::move(text));
    textChanged();
}

void TextView::setFont(Font font)
{
    font_ = std::move(font);
    textChanged();
}

void TextView::setTextColor(Color color)
{
    textColor_ = color;
    setNeedsDisplay();
}

void TextView::setTextAlignment(TextAlignment alignment)
{
    alignment_ = alignment;
    textChanged();
}

void TextView::setEditable(bool editable)
{
    editable_ = editable;
    if (!editable)
        resignFirstResponder();
}

void TextView::setTextContainerInset(EdgeInsets inset)
{
    inset_ = inset;
    textChanged();
}

double TextView::wrapWidth() const { return std::max(1.0, bounds().width() - inset_.left - inset_.right); }

const TextLayout& TextView::layout() const
{
    // Long texts (a console) are laid out once per change, not per frame.
    if (!layout_ || layoutWidth_ != wrapWidth()) {
        layoutWidth_ = wrapWidth();
        layout_ = layoutText(editing_.text(), font_, {layoutWidth_, 0, LineBreakMode::WordWrap, alignment_});
    }
    return *layout_;
}

Size TextView::contentSize() const
{
    const double textHeight = std::max(layout().size.height, font_.lineHeight());
    return {bounds().width(), textHeight + inset_.top + inset_.bottom};
}

void TextView::setContentOffset(Point offset)
{
    const double maxY = std::max(0.0, contentSize().height - bounds().height());
    setBounds({{0, std::clamp(offset.y, 0.0, maxY)}, bounds().size});
}

void TextView::scrollToEnd() { setContentOffset({0, contentSize().height}); }

void TextView::keyPressed(const KeyEvent& event)
{
    if (!editable_ || !isFirstResponder())
        return;
    if (event.key == Key::Return) {
        insertText("\n");
        return;
    }
    if (event.key == Key::Character) {
        insertText(event.text);
        return;
    }
    if (editing_.apply(event.key))
        textChanged();
    setNeedsDisplay();
}

void TextView::insertText(const std::string& text)
{
    if (!editable_ || !isFirstResponder() || text.empty())
        return;
    editing_.insert(text);
    textChanged();
}

void TextView::touchesBegan(const std::vector<Touch>& touches)
{
    dragged_ = false;
    lastTouch_ = touches.empty() ? std::nullopt : std::optional(touches.front().location);
}

void TextView::touchesMoved(const std::vector<Touch>& touches)
{
    if (!lastTouch_ || touches.empty())
        return;
    const Point p = touches.front().location;
    const double dy = p.y - lastTouch_->y;
    if (!dragged_ && std::abs(dy) < dragSlop)
        return;
    dragged_ = true;
    setContentOffset({0, contentOffset().y - dy});
    lastTouch_ = p;
}

void TextView::touchesEnded(const std::vector<Touch>&)
{
    if (!dragged_ && editable_)
        becomeFirstResponder();
    lastTouch_.reset();
}

void TextView::touchesCancelled(const std::vector<Touch>&) { lastTouch_.reset(); }

void TextView::draw(Context& context, Rect dirty)
{
    const TextLayout& all = layout();
    const Point origin{inset_.left, inset_.top};
    // Only the lines inside the visible area.
    TextLayout visible;
    for (const TextLine& line : all.lines) {
        const double top = origin.y + line.origin.y;
        if (top + font_.lineHeight() >= dirty.minY() && top <= dirty.maxY())
            visible.lines.push_back(line);
    }
    context.drawTextLayout(visible, origin, font_, textColor_);
    if (isFirstResponder()) {
        const TextLayout before = layoutText(editing_.text().substr(0, editing_.caret()) + "|", font_,
                                             {wrapWidth(), 0, LineBreakMode::WordWrap, TextAlignment::Left});
        const TextLine last = before.lines.empty() ? TextLine{} : before.lines.back();
        const double bar = font_.widthOf("|");
        context.setFillColor(tintColor());
        context.fillRect(makeRect(origin.x + last.origin.x + last.width - bar, origin.y + last.origin.y + 1, 2,
                                  font_.lineHeight() - 2));
    }
}

} // namespace ui
