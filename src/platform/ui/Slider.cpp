#include "platform/ui/Slider.h"

#include "platform/ui/Context.h"
#include "platform/ui/GestureRecognizer.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double thumbSize = 28;

} // namespace

Slider::Slider() = default;

Slider::Slider(Rect frame) : Control(frame) {}

void Slider::setValue(float value)
{
    value_ = std::clamp(value, minimum_, std::max(minimum_, maximum_));
    setNeedsDisplay();
}

void Slider::setMinimumValue(float minimum)
{
    minimum_ = minimum;
    maximum_ = std::max(maximum_, minimum_);
    setValue(value_);
}

void Slider::setMaximumValue(float maximum)
{
    maximum_ = maximum;
    minimum_ = std::min(minimum_, maximum_);
    setValue(value_);
}

void Slider::setMinimumTrackTintColor(Color color)
{
    minimumTrackTint_ = color;
    setNeedsDisplay();
}

void Slider::setMaximumTrackTintColor(Color color)
{
    maximumTrackTint_ = color;
    setNeedsDisplay();
}

void Slider::setThumbTintColor(Color color)
{
    thumbTint_ = color;
    setNeedsDisplay();
}

Size Slider::sizeThatFits(Size size) const { return {size.width, thumbSize + 3}; }

bool Slider::keepsGesture(const GestureRecognizer& recognizer) const
{
    return isEnabled() && (recognizer.isSingleTap() || recognizer.isSidewaysSwipe());
}

void Slider::trackTo(Point location)
{
    const Rect b = bounds();
    const double travel = b.width() - thumbSize;
    const double fraction = travel > 0 ? std::clamp((location.x - b.minX() - thumbSize / 2) / travel, 0.0, 1.0) : 0;
    const float value = minimum_ + static_cast<float>(fraction) * (maximum_ - minimum_);
    if (value == value_)
        return;
    setValue(value);
    changedWhileTracking_ = true;
    if (continuous_)
        sendActions(ControlEvent::ValueChanged);
}

bool Slider::beginTracking(Point location)
{
    changedWhileTracking_ = false;
    trackTo(location);
    return true;
}

void Slider::continueTracking(Point location) { trackTo(location); }

void Slider::endTracking(Point location, bool)
{
    trackTo(location);
    if (!continuous_ && changedWhileTracking_)
        sendActions(ControlEvent::ValueChanged);
}

void Slider::draw(Context& context, Rect)
{
    const Rect b = bounds();
    const double range = maximum_ - minimum_;
    const double fraction = range > 0 ? (value_ - minimum_) / range : 0;
    const double x = b.minX() + thumbSize / 2 + fraction * (b.width() - thumbSize);
    const double y = b.midY();
    context.save();
    if (!isEnabled())
        context.setAlpha(0.5);
    context.setFillColor(minimumTrackTint_.value_or(tintColor()));
    context.fillPath(Path::roundedRect(makeRect(b.minX() + 2, y - 1, x - b.minX() - 2, 2), 1));
    context.setFillColor(maximumTrackTint_);
    context.fillPath(Path::roundedRect(makeRect(x, y - 1, b.maxX() - 2 - x, 2), 1));
    const Rect knob = makeRect(x - thumbSize / 2, y - thumbSize / 2, thumbSize, thumbSize);
    context.setFillColor(Color::black().withAlpha(0.15));
    context.fillEllipse(knob.offset(0, 1));
    context.setFillColor(thumbTint_);
    context.fillEllipse(knob);
    context.restore();
}

} // namespace ui
