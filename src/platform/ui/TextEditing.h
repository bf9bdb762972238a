#pragma once

#include "platform/ui/Touch.h"

#include <cstddef>
#include <string>

namespace ui {

// UTF-8 text with a caret, edited by keys: what text fields and text views
// share. The caret is a byte offset that always sits between characters.
class TextEditing {
public:
    const std::string& text() const { return text_; }
    void setText(std::string text); // caret to the end
    std::size_t caret() const { return caret_; }

    void insert(const std::string& text);
    // Moves the caret or deletes for the editing keys; true when the text changed.
    bool apply(Key key);

private:
    std::size_t previous(std::size_t at) const;
    std::size_t next(std::size_t at) const;

    std::string text_;
    std::size_t caret_ = 0;
};

// The number of characters (code points) in UTF-8 text.
std::size_t characterCount(const std::string& text);

} // namespace ui
