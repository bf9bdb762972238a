#pragma once

#include "platform/ui/Touch.h"

#include <cstddef>
#include <string>
#include <utility>

namespace ui {

// UTF-8 text with a caret and a selection, edited by keys: what text fields and
// text views share. The caret is a byte offset that always sits between
// characters; the selection runs between the anchor and the caret, and what is
// typed or deleted next replaces it.
class TextEditing {
public:
    const std::string& text() const { return text_; }
    void setText(std::string text); // caret to the end, nothing selected
    std::size_t caret() const { return caret_; }

    void selectAll();
    bool hasSelection() const { return anchor_ != caret_; }
    // The selected bytes [first, second).
    std::pair<std::size_t, std::size_t> selection() const;

    void insert(const std::string& text);
    // Moves the caret or deletes for the editing keys; true when the text changed.
    bool apply(Key key);

private:
    std::size_t previous(std::size_t at) const;
    std::size_t next(std::size_t at) const;
    // Takes the selected text out; true when there was some.
    bool eraseSelection();
    bool applyToCaret(Key key);

    std::string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
};

// The number of characters (code points) in UTF-8 text.
std::size_t characterCount(const std::string& text);

} // namespace ui
