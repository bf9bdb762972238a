#include "platform/ui/LongPressGestureRecognizer.h"

#include <cmath>

namespace ui {

LongPressGestureRecognizer::~LongPressGestureRecognizer()
{
    pressTimer_.cancel();
}

void LongPressGestureRecognizer::touchesBegan(const std::vector<Touch>&)
{
    if (state() != State::Possible)
        return;
    const auto count = numberOfTouches();
    if (count > static_cast<std::size_t>(touchesRequired_)) {
        fail();
        return;
    }
    if (count < static_cast<std::size_t>(touchesRequired_))
        return;
    start_ = centroid();
    pressTimer_.cancel();
    // Cancelled by reset() and the destructor, so `this` is alive when it runs.
    pressTimer_ = fnd::after(minimumDuration_, [this] { setState(State::Began); });
}

void LongPressGestureRecognizer::touchesMoved(const std::vector<Touch>&)
{
    if (state() != State::Possible) {
        setState(State::Changed);
        return;
    }
    const Point d = centroid() - start_;
    if (pressTimer_.isPending() && std::hypot(d.x, d.y) > allowableMovement_)
        fail();
}

void LongPressGestureRecognizer::touchesEnded(const std::vector<Touch>&)
{
    setState(state() == State::Possible ? State::Failed : State::Ended);
}

void LongPressGestureRecognizer::fail()
{
    pressTimer_.cancel();
    setState(State::Failed);
}

void LongPressGestureRecognizer::reset()
{
    pressTimer_.cancel();
}

} // namespace ui
