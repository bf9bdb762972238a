#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/TextEditing.h"

#include <memory>
#include <string>

namespace ui {

class TextField;

enum class KeyboardType { Default, NumbersAndPunctuation, NumberPad, DecimalPad, PhonePad, EmailAddress, Url };
enum class KeyboardAppearance { Default, Dark, Light };
enum class ReturnKeyType { Default, Go, Done, Next, Search, Send };
enum class TextBorderStyle { None, Line, Bezel, RoundedRect };
enum class TextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

// Told about editing, like the platform's text field delegate; every method
// is optional.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField&) { return true; }
    virtual void textFieldDidBeginEditing(TextField&) {}
    virtual bool textFieldShouldEndEditing(TextField&) { return true; }
    virtual void textFieldDidEndEditing(TextField&) {}
    // The return key. Editing goes on unless the delegate ends it.
    virtual bool textFieldShouldReturn(TextField&) { return true; }
};

// One line of editable text. A tap makes it the first responder (editing
// begins); typed characters go in at the caret, replacing the selection
// (Ctrl+A selects all); return asks the delegate; leaving the first responder
// ends editing. Setting the text from code sends no event.
class TextField : public Control {
public:
    TextField();
    explicit TextField(Rect frame);

    const std::string& text() const { return editing_.text(); }
    void setText(std::string text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder);
    // The system's placeholder grey suits light fields; a dark field needs a lighter one to be read.
    Color placeholderColor() const { return placeholderColor_; }
    void setPlaceholderColor(Color color);
    const Font& font() const { return font_; }
    void setFont(Font font);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    TextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TextBorderStyle style);
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    KeyboardAppearance keyboardAppearance() const { return keyboardAppearance_; }
    void setKeyboardAppearance(KeyboardAppearance appearance) { keyboardAppearance_ = appearance; }
    ReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType type) { returnKeyType_ = type; }
    bool clearsOnBeginEditing() const { return clearsOnBeginEditing_; }
    void setClearsOnBeginEditing(bool clears) { clearsOnBeginEditing_ = clears; }
    bool isSecureTextEntry() const { return secure_; }
    void setSecureTextEntry(bool secure);
    // A view kept at the left edge (for padding or an icon), shown per mode.
    void setLeftView(std::shared_ptr<View> view);
    void setLeftViewMode(TextFieldViewMode mode);

    // Shown across the bottom of the window while the field edits, where the
    // phone shows it on top of its keyboard (the host has no on-screen
    // keyboard); it keeps its own height and takes the window's width.
    const std::shared_ptr<View>& inputAccessoryView() const { return inputAccessory_; }
    void setInputAccessoryView(std::shared_ptr<View> view);

    TextFieldDelegate* delegate() const { return delegate_; }
    void setDelegate(TextFieldDelegate* delegate) { delegate_ = delegate; } // not owned

    bool isEditing() const { return isFirstResponder(); }
    std::size_t caret() const { return editing_.caret(); }

    bool canBecomeFirstResponder() const override;
    bool canResignFirstResponder() const override;
    void keyPressed(const KeyEvent& event) override;
    void insertText(const std::string& text) override;

    Size sizeThatFits(Size size) const override;
    void layoutSubviews() override;
    void draw(Context& context, Rect dirty) override;

protected:
    void endTracking(Point location, bool inside) override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

private:
    // What a one-line field takes of typed text.
    std::string filtered(const std::string& typed) const;
    bool leftViewShown() const;
    Rect textRect() const;
    std::string displayText() const;
    void showInputAccessory();
    void hideInputAccessory();

    TextEditing editing_;
    std::string placeholder_;
    Color placeholderColor_ = Color::placeholderText();
    Font font_;
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Natural;
    TextBorderStyle borderStyle_ = TextBorderStyle::None;
    KeyboardType keyboardType_ = KeyboardType::Default;
    KeyboardAppearance keyboardAppearance_ = KeyboardAppearance::Default;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    bool clearsOnBeginEditing_ = false;
    bool secure_ = false;
    std::shared_ptr<View> leftView_;
    TextFieldViewMode leftViewMode_ = TextFieldViewMode::Never;
    std::shared_ptr<View> inputAccessory_;
    bool inputAccessoryShown_ = false;
    TextFieldDelegate* delegate_ = nullptr;
};

} // namespace ui
