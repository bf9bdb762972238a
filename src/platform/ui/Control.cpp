#include "platform/ui/Control.h"

#include "platform/ui/GestureRecognizer.h"

#include <algorithm>

namespace ui {

namespace {

const Touch* find(const std::vector<Touch>& touches, std::uint64_t id)
{
    const auto found = std::find_if(touches.begin(), touches.end(), [&](const Touch& t) { return t.id == id; });
    return found == touches.end() ? nullptr : &*found;
}

} // namespace

void Control::addTarget(ControlEvent event, Action action)
{
    if (action)
        targets_.push_back({event, std::move(action)});
}

void Control::removeTargets(ControlEvent event)
{
    std::erase_if(targets_, [&](const Target& t) { return t.event == event; });
}

bool Control::hasTargets(ControlEvent event) const
{
    return std::any_of(targets_.begin(), targets_.end(), [&](const Target& t) { return t.event == event; });
}

void Control::sendActions(ControlEvent event)
{
    // An action may add or remove targets, or release the control.
    const auto keepAlive = weak_from_this().lock();
    std::vector<Action> actions;
    for (const Target& t : targets_)
        if (t.event == event)
            actions.push_back(t.action);
    for (const Action& action : actions)
        action(*this);
}

void Control::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    if (!enabled) {
        tracking_ = false;
        highlighted_ = false;
    }
    stateDidChange();
}

void Control::setSelected(bool selected)
{
    if (selected_ == selected)
        return;
    selected_ = selected;
    stateDidChange();
}

void Control::setHighlighted(bool highlighted)
{
    if (highlighted_ == highlighted)
        return;
    highlighted_ = highlighted;
    stateDidChange();
}

ControlState Control::state() const
{
    if (!enabled_)
        return ControlState::Disabled;
    if (highlighted_)
        return ControlState::Highlighted;
    if (selected_)
        return ControlState::Selected;
    return ControlState::Normal;
}

View* Control::hitTest(Point point) { return enabled_ ? View::hitTest(point) : nullptr; }

bool Control::keepsGesture(const GestureRecognizer& recognizer) const
{
    return enabled_ && recognizer.isSingleTap();
}

void Control::touchesBegan(const std::vector<Touch>& touches)
{
    if (tracking_ || touches.empty() || !enabled_)
        return;
    const Touch& touch = touches.front();
    if (!beginTracking(touch.locationInView(this)))
        return;
    tracking_ = true;
    trackedTouch_ = touch.id;
    setHighlighted(true);
    sendActions(ControlEvent::TouchDown);
}

void Control::touchesMoved(const std::vector<Touch>& touches)
{
    const Touch* touch = tracking_ ? find(touches, trackedTouch_) : nullptr;
    if (!touch)
        return;
    const Point p = touch->locationInView(this);
    setHighlighted(pointInside(p));
    continueTracking(p);
}

void Control::touchesEnded(const std::vector<Touch>& touches)
{
    const Touch* touch = tracking_ ? find(touches, trackedTouch_) : nullptr;
    if (!touch)
        return;
    const auto keepAlive = weak_from_this().lock();
    const Point p = touch->locationInView(this);
    const bool inside = pointInside(p);
    tracking_ = false;
    setHighlighted(false);
    endTracking(p, inside);
    sendActions(inside ? ControlEvent::TouchUpInside : ControlEvent::TouchUpOutside);
}

void Control::touchesCancelled(const std::vector<Touch>& touches)
{
    if (!tracking_ || !find(touches, trackedTouch_))
        return;
    tracking_ = false;
    setHighlighted(false);
    cancelTracking();
    sendActions(ControlEvent::TouchCancel);
}

} // namespace ui
