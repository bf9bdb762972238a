#include "platform/ui/SwipeGestureRecognizer.h"

#include <cmath>

namespace ui {

void SwipeGestureRecognizer::touchesBegan(const std::vector<Touch>& touches)
{
    if (numberOfTouches() > static_cast<std::size_t>(touchesRequired_)) {
        setState(State::Failed);
        return;
    }
    // Measure from where the whole set of fingers is down.
    start_ = centroid();
    startTime_ = touches.front().timestamp;
}

void SwipeGestureRecognizer::touchesMoved(const std::vector<Touch>& touches)
{
    const Point d = centroid() - start_;
    if (touches.front().timestamp - startTime_ > maximumDuration) {
        setState(State::Failed);
        return;
    }
    struct Candidate {
        SwipeDirection direction;
        double along;
        double across;
    };
    const Candidate candidates[] = {
        {SwipeDirection::Right, d.x, d.y},
        {SwipeDirection::Left, -d.x, d.y},
        {SwipeDirection::Down, d.y, d.x},
        {SwipeDirection::Up, -d.y, d.x},
    };
    for (const Candidate& c : candidates) {
        if (c.along < minimumDistance)
            continue;
        if (!contains(direction_, c.direction) || std::abs(c.across) > maximumDrift * c.along) {
            setState(State::Failed);
            return;
        }
        if (numberOfTouches() == static_cast<std::size_t>(touchesRequired_))
            setState(Recognized);
        return;
    }
}

void SwipeGestureRecognizer::touchesEnded(const std::vector<Touch>&)
{
    setState(State::Failed);
}

} // namespace ui
