#include "platform/ui/PanGestureRecognizer.h"

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <cmath>

namespace ui {

namespace {

// Velocity is taken over the last stretch of the movement, so a finger that
// stopped before it lifted leaves no speed behind.
constexpr double velocityWindow = 0.1;

Point vectorToWindow(Point v, const View* view)
{
    if (!view)
        return v;
    return view->convertPoint(v, nullptr) - view->convertPoint({0, 0}, nullptr);
}

Point vectorFromWindow(Point v, const View* view)
{
    if (!view)
        return v;
    return view->convertPointFromView(v, nullptr) - view->convertPointFromView({0, 0}, nullptr);
}

} // namespace

Point PanGestureRecognizer::translationInView(const View* view) const
{
    return vectorFromWindow(translation_, view);
}

void PanGestureRecognizer::setTranslation(Point translation, const View* view)
{
    const Point shift = vectorToWindow(translation, view) - translation_;
    translation_ = translation_ + shift;
    for (Sample& sample : samples_)
        sample.location = sample.location + shift;
}

Point PanGestureRecognizer::velocityInView(const View* view) const
{
    return vectorFromWindow(state() == State::Ended ? finalVelocity_ : windowVelocity(), view);
}

Point PanGestureRecognizer::windowVelocity() const
{
    if (samples_.size() < 2)
        return {};
    const Sample& newest = samples_.back();
    // From the oldest sample inside the window, or at least the one before the newest.
    std::size_t i = samples_.size() - 2;
    while (i > 0 && samples_[i - 1].time >= newest.time - velocityWindow)
        --i;
    const Sample& ref = samples_[i];
    const double dt = newest.time - ref.time;
    if (dt <= 0)
        return {};
    const Point d = newest.location - ref.location;
    return {d.x / dt, d.y / dt};
}

void PanGestureRecognizer::addSample(double time)
{
    samples_.push_back({time, translation_});
    while (samples_.size() > 2 && samples_[1].time < time - velocityWindow)
        samples_.pop_front();
}

bool PanGestureRecognizer::startsHere(const std::vector<Touch>&) const
{
    return true;
}

void PanGestureRecognizer::touchesBegan(const std::vector<Touch>& touches)
{
    if (state() == State::Possible) {
        if (!startsHere(touches) || numberOfTouches() > maximumTouches_) {
            setState(State::Failed);
            return;
        }
    }
    addSample(touches.front().timestamp);
}

void PanGestureRecognizer::touchesMoved(const std::vector<Touch>& touches)
{
    // The centroid moves by the moved fingers' share; fingers coming and
    // going do not make the translation jump.
    Point sum;
    for (const Touch& touch : touches)
        sum = sum + (touch.location - touch.previousLocation);
    const auto n = static_cast<double>(numberOfTouches());
    translation_ = translation_ + Point{sum.x / n, sum.y / n};
    addSample(touches.front().timestamp);

    if (state() != State::Possible) {
        setState(State::Changed);
        return;
    }
    const std::size_t count = numberOfTouches();
    if (count >= minimumTouches_ && count <= maximumTouches_ && std::hypot(translation_.x, translation_.y) >= hysteresis)
        setState(State::Began);
}

void PanGestureRecognizer::touchesEnded(const std::vector<Touch>& touches)
{
    const std::size_t remaining = numberOfTouches() - touches.size();
    if (state() == State::Possible) {
        if (remaining == 0)
            setState(State::Failed);
        return;
    }
    if (remaining >= minimumTouches_)
        return;
    // The lift is a sample too: a finger that rested before it leaves no speed.
    addSample(touches.front().timestamp);
    finalVelocity_ = windowVelocity();
    setState(State::Ended);
}

void PanGestureRecognizer::reset()
{
    translation_ = {};
    samples_.clear();
    finalVelocity_ = {};
}

bool ScreenEdgePanGestureRecognizer::startsHere(const std::vector<Touch>& touches) const
{
    const Window* window = view() ? view()->window() : nullptr;
    if (!window || touches.empty())
        return false;
    const Rect area = window->bounds();
    const Point p = touches.front().location;
    return (contains(edges_, RectEdge::Left) && p.x - area.minX() <= edgeWidth)
        || (contains(edges_, RectEdge::Right) && area.maxX() - p.x <= edgeWidth)
        || (contains(edges_, RectEdge::Top) && p.y - area.minY() <= edgeWidth)
        || (contains(edges_, RectEdge::Bottom) && area.maxY() - p.y <= edgeWidth);
}

} // namespace ui
