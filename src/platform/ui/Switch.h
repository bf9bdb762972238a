#pragma once

#include "platform/ui/Control.h"

#include <optional>

namespace ui {

// An on/off switch of the platform's fixed size (51 by 31). A tap toggles it
// and sends ValueChanged; setOn from code sends nothing.
class Switch : public Control {
public:
    Switch();
    explicit Switch(Point origin);

    bool isOn() const { return on_; }
    void setOn(bool on);
    Color onTintColor() const { return onTintColor_; }
    void setOnTintColor(Color color);
    Color thumbTintColor() const { return thumbTintColor_; }
    void setThumbTintColor(Color color);

    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

protected:
    void endTracking(Point location, bool inside) override;

private:
    bool on_ = false;
    Color onTintColor_ = Color::systemGreen();
    Color thumbTintColor_ = Color::white();
};

} // namespace ui
