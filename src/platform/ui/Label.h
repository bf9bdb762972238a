#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/View.h"

#include <optional>
#include <string>

namespace ui {

// Static text: one line by default, truncated at the tail; the text block
// is centred vertically in the bounds, as the platform's labels do. Takes
// no touches unless user interaction is turned on.
class Label : public View {
public:
    Label();
    explicit Label(Rect frame);

    const std::string& text() const { return text_; }
    void setText(std::string text);
    const Font& font() const { return font_; }
    void setFont(Font font);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    int numberOfLines() const { return numberOfLines_; } // 0: as many as fit
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return lineBreak_; }
    void setLineBreakMode(LineBreakMode mode);
    // Shrinks the font (down to minimumScaleFactor of its size) until the
    // text fits the width (and, with several lines, the height).
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    double minimumScaleFactor() const { return minimumScaleFactor_; }
    void setMinimumScaleFactor(double factor);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled); // disabled text is drawn greyed
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    void setHighlightedTextColor(std::optional<Color> color);

    // The font size the text is drawn at in the current bounds.
    double fittedFontSize() const;
    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

private:
    TextLayout layoutFor(const Font& font, Size box) const;
    Font fittedFont() const;

    std::string text_;
    Font font_;
    Color textColor_ = Color::black();
    std::optional<Color> highlightedTextColor_;
    TextAlignment alignment_ = TextAlignment::Natural;
    int numberOfLines_ = 1;
    LineBreakMode lineBreak_ = LineBreakMode::TruncateTail;
    bool adjustsFontSize_ = false;
    double minimumScaleFactor_ = 0;
    bool enabled_ = true;
    bool highlighted_ = false;
};

} // namespace ui
