#include "platform/ui/Switch.h"

#include "platform/ui/Context.h"

#include <algorithm>

namespace ui {

namespace {

constexpr Size switchSize{51, 31};

} // namespace

Switch::Switch() : Switch(Point{}) {}

Switch::Switch(Point origin) : Control(Rect{origin, switchSize}) {}

void Switch::setOn(bool on)
{
    on_ = on;
    setNeedsDisplay();
}

void Switch::setOnTintColor(Color color)
{
    onTintColor_ = color;
    setNeedsDisplay();
}

void Switch::setThumbTintColor(Color color)
{
    thumbTintColor_ = color;
    setNeedsDisplay();
}

Size Switch::sizeThatFits(Size) const { return switchSize; }

void Switch::endTracking(Point, bool inside)
{
    if (!inside)
        return;
    setOn(!on_);
    sendActions(ControlEvent::ValueChanged);
}

void Switch::draw(Context& context, Rect)
{
    const Rect b = bounds();
    const Rect track{{b.minX(), b.midY() - switchSize.height / 2}, switchSize};
    const double radius = track.height() / 2;
    context.save();
    if (!isEnabled())
        context.setAlpha(0.5);
    if (on_) {
        context.setFillColor(onTintColor_);
        context.fillPath(Path::roundedRect(track, radius));
    } else {
        // Off, the track's outline takes a tint given to the switch itself, as on the phone.
        context.setStrokeColor(ownTintColor().value_or(Color::white(0.9)));
        context.setLineWidth(1.5);
        context.strokePath(Path::roundedRect(track.inset(0.75, 0.75), radius - 0.75));
    }
    const double thumb = track.height() - 4;
    const double x = on_ ? track.maxX() - 2 - thumb : track.minX() + 2;
    const Rect knob = makeRect(x, track.minY() + 2, thumb, thumb);
    context.setFillColor(Color::black().withAlpha(0.15));
    context.fillEllipse(knob.offset(0, 1));
    context.setFillColor(isHighlighted() ? Color::white(0.9).withAlpha(thumbTintColor_.a) : thumbTintColor_);
    context.fillEllipse(knob);
    context.restore();
}

} // namespace ui
