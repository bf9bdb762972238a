#include "platform/ui/TextEditing.h"

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
    text_.insert(caret_, text);
    caret_ += text.size();
}

bool TextEditing::apply(Key key)
{
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
    case Key::Left: caret_ = previous(caret_); return false;
    case Key::Right: caret_ = next(caret_); return false;
    case Key::Home:
    case Key::Up: caret_ = 0; return false;
    case Key::End:
    case Key::Down: caret_ = text_.size(); return false;
    default: return false;
    }
}

} // namespace ui
