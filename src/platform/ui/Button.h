#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Font.h"

#include <map>
#include <optional>
#include <string>

namespace ui {

// The info kinds are the platform's circled "i" button; light and dark look
// the same (drawn in the tint colour) and come 22 points square.
enum class ButtonType { Custom, System, InfoLight, InfoDark };

// A push button with a title and an image per state. A state without its
// own value uses the normal one. System buttons draw their title and
// template images in the tint colour and dim while highlighted; custom
// buttons draw white titles and darken while highlighted.
class Button : public Control {
public:
    explicit Button(ButtonType type = ButtonType::Custom);
    Button(ButtonType type, Rect frame);

    static constexpr double infoSide = 22;

    ButtonType buttonType() const { return type_; }

    void setTitle(std::optional<std::string> title, ControlState state = ControlState::Normal);
    void setTitleColor(std::optional<Color> color, ControlState state = ControlState::Normal);
    void setImage(std::optional<Image> image, ControlState state = ControlState::Normal);
    void setBackgroundImage(std::optional<Image> image, ControlState state = ControlState::Normal);
    std::optional<std::string> titleForState(ControlState state) const;

    // For the current state.
    std::string currentTitle() const;
    Color currentTitleColor() const;
    Image currentImage() const;
    Image currentBackgroundImage() const;

    const Font& titleFont() const { return font_; }
    void setTitleFont(Font font);
    TextAlignment contentHorizontalAlignment() const { return horizontalAlignment_; }
    void setContentHorizontalAlignment(TextAlignment alignment);
    EdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(EdgeInsets insets);

    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

private:
    // System and info buttons draw in the tint colour and fade while pressed.
    bool drawsInTint() const { return type_ != ButtonType::Custom; }
    bool isInfo() const { return type_ == ButtonType::InfoLight || type_ == ButtonType::InfoDark; }
    void drawInfoGlyph(Context& context, Color color) const;

    template <typename T>
    std::optional<T> lookup(const std::map<ControlState, T>& values) const;

    ButtonType type_;
    std::map<ControlState, std::string> titles_;
    std::map<ControlState, Color> titleColors_;
    std::map<ControlState, Image> images_;
    std::map<ControlState, Image> backgroundImages_;
    Font font_;
    TextAlignment horizontalAlignment_ = TextAlignment::Center;
    EdgeInsets contentInsets_;
};

} // namespace ui
