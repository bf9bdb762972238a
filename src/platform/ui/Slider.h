#pragma once

#include "platform/ui/Control.h"

namespace ui {

// A horizontal slider between a minimum and a maximum. Dragging moves the
// thumb to the finger and sends ValueChanged while moving (continuous) or
// once at the end; setValue from code sends nothing.
class Slider : public Control {
public:
    Slider();
    explicit Slider(Rect frame);

    float value() const { return value_; }
    void setValue(float value); // clamped to the range
    float minimumValue() const { return minimum_; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return maximum_; }
    void setMaximumValue(float maximum);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }
    void setMinimumTrackTintColor(Color color);
    void setMaximumTrackTintColor(Color color);
    void setThumbTintColor(Color color);

    Size sizeThatFits(Size size) const override;
    // A slider also keeps its sideways swipe.
    bool keepsGesture(const GestureRecognizer& recognizer) const override;
    void draw(Context& context, Rect dirty) override;

protected:
    bool beginTracking(Point location) override;
    void continueTracking(Point location) override;
    void endTracking(Point location, bool inside) override;

private:
    void trackTo(Point location);

    float value_ = 0;
    float minimum_ = 0;
    float maximum_ = 1;
    bool continuous_ = true;
    bool changedWhileTracking_ = false;
    std::optional<Color> minimumTrackTint_;
    Color maximumTrackTint_ = Color::systemGray4();
    Color thumbTint_ = Color::white();
};

} // namespace ui
