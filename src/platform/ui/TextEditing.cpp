#include "platform/ui/TextEditing.h"

#include <algorithm>

namespace ui {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

} // namespace

std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (char c : text)
        count += isContinuation(c) ? 0 : 1;
    return count;
}

void TextEditing::setText(std::string text)
{
    text_ = std::move(text);
    caret_ = text_.size();
    anchor_ = caret_;
}

void TextEditing::selectAll()
{
    anchor_ = 0;
    caret_ = text_.size();
}

std::pair<std::size_t, std::size_t> TextEditing::selection() const
{
    return std::minmax(anchor_, caret_);
}

bool TextEditing::eraseSelection()
{
    if (!hasSelection())
        return false;
    const auto [from, to] = selection();
    text_.erase(from, to - from);
    caret_ = from;
    anchor_ = from;
    return true;
}

std::size_t TextEditing::previous(std::size_t at) const
{
    if (at == 0)
        return 0;
    --at;
    while (at > 0 && isContinuation(text_[at]))
        --at;
    return at;
}

std::size_t TextEditing::next(std::size_t at) const
{
    if (at >= text_.size())
        return text_.size();
    ++at;
    while (at < text_.size() && isContinuation(text_[at]))
        ++at;
    return at;
}

void TextEditing::insert(const std::string& text)
{
    eraseSelection();
    text_.insert(caret_, text);
    caret_ += text.size();
    anchor_ = caret_;
}

bool TextEditing::apply(Key key)
{
    const bool changed = applyToCaret(key);
    anchor_ = caret_;
    return changed;
}

bool TextEditing::applyToCaret(Key key)
{
    if ((key == Key::Backspace || key == Key::Delete) && eraseSelection())
        return true;
    const auto [first, last] = selection();
    switch (key) {
    case Key::Backspace: {
        const std::size_t from = previous(caret_);
        if (from == caret_)
            return false;
        text_.erase(from, caret_ - from);
        caret_ = from;
        return true;
    }
    case Key::Delete: {
        const std::size_t to = next(caret_);
        if (to == caret_)
            return false;
        text_.erase(caret_, to - caret_);
        return true;
    }
    // An arrow on a selection goes to its near end, as text fields do.
    case Key::Left: caret_ = hasSelection() ? first : previous(caret_); return false;
    case Key::Right: caret_ = hasSelection() ? last : next(caret_); return false;
    case Key::Home:
    case Key::Up: caret_ = 0; return false;
    case Key::End:
    case Key::Down: caret_ = text_.size(); return false;
    default: return false;
    }
}

} // namespace ui
