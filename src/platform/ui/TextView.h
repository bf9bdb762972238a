#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/TextEditing.h"
#include "platform/ui/View.h"

#include <optional>
#include <string>

namespace ui {

// Multi-line text that wraps at the view's width and scrolls vertically
// (drag; the bounds origin is the scroll offset). When editable, a tap
// makes it the first responder and keys edit the text at the caret.
class TextView : public View {
public:
    TextView();
    explicit TextView(Rect frame);

    const std::string& text() const { return editing_.text(); }
    void setText(std::string text);
    const Font& font() const { return font_; }
    void setFont(Font font);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    bool isEditable() const { return editable_; }
    void setEditable(bool editable);
    EdgeInsets textContainerInset() const { return inset_; }
    void setTextContainerInset(EdgeInsets inset);

    // The height of the laid-out text with its insets, by the view's width.
    Size contentSize() const;
    Point contentOffset() const { return bounds().origin; }
    void setContentOffset(Point offset); // kept within the content
    // Scrolls so that the last line shows at the bottom.
    void scrollToEnd();

    bool canBecomeFirstResponder() const override { return editable_; }
    void keyPressed(const KeyEvent& event) override;
    void insertText(const std::string& text) override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;
    void draw(Context& context, Rect dirty) override;

protected:
    void didBecomeFirstResponder() override { setNeedsDisplay(); }
    void didResignFirstResponder() override { setNeedsDisplay(); }

private:
    const TextLayout& layout() const;
    double wrapWidth() const;
    void textChanged();

    TextEditing editing_;
    Font font_;
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Natural;
    bool editable_ = true;
    EdgeInsets inset_{8, 5, 8, 5};
    bool dragged_ = false;
    std::optional<Point> lastTouch_;
    mutable std::optional<TextLayout> layout_;
    mutable double layoutWidth_ = -1;
};

} // namespace ui
