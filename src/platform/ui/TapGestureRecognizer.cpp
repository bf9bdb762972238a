#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>

namespace ui {

TapGestureRecognizer::~TapGestureRecognizer()
{
    nextTapDeadline_.cancel();
}

void TapGestureRecognizer::touchesBegan(const std::vector<Touch>& touches)
{
    nextTapDeadline_.cancel();
    for (const Touch& touch : touches)
        downLocations_.emplace_back(touch.id, touch.location);
    fingersThisTap_ = std::max(fingersThisTap_, numberOfTouches());
    if (fingersThisTap_ > static_cast<std::size_t>(touchesRequired_))
        fail();
}

void TapGestureRecognizer::touchesMoved(const std::vector<Touch>& touches)
{
    for (const Touch& touch : touches) {
        for (const auto& [id, down] : downLocations_) {
            if (id == touch.id && std::hypot(touch.location.x - down.x, touch.location.y - down.y) > allowableMovement) {
                fail();
                return;
            }
        }
    }
}

void TapGestureRecognizer::touchesEnded(const std::vector<Touch>& touches)
{
    if (numberOfTouches() > touches.size())
        return; // a finger is still down
    if (fingersThisTap_ != static_cast<std::size_t>(touchesRequired_)) {
        fail();
        return;
    }
    fingersThisTap_ = 0;
    downLocations_.clear();
    if (++tapsDone_ >= tapsRequired_) {
        setState(Recognized);
        return;
    }
    // Cancelled by reset() and the destructor, so `this` is alive when it runs.
    nextTapDeadline_ = fnd::after(maximumTapInterval, [this] { fail(); });
}

void TapGestureRecognizer::fail()
{
    nextTapDeadline_.cancel();
    setState(State::Failed);
}

void TapGestureRecognizer::reset()
{
    nextTapDeadline_.cancel();
    tapsDone_ = 0;
    fingersThisTap_ = 0;
    downLocations_.clear();
}

} // namespace ui
