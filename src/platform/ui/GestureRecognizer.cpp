#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

namespace {

bool isActive(GestureRecognizer::State state)
{
    using State = GestureRecognizer::State;
    return state == State::Possible || state == State::Began || state == State::Changed;
}

bool isFinished(GestureRecognizer::State state)
{
    return !isActive(state);
}

} // namespace

GestureRecognizer::GestureRecognizer(Action action)
{
    addTarget(std::move(action));
}

GestureRecognizer::~GestureRecognizer() = default;

void GestureRecognizer::addTarget(Action action)
{
    if (action)
        actions_.push_back(std::move(action));
}

void GestureRecognizer::setView(View* view)
{
    if (view_ == view)
        return;
    dropTouches();
    view_ = view;
}

void GestureRecognizer::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    if (!enabled)
        dropTouches();
}

void GestureRecognizer::setShouldBegin(std::function<bool(GestureRecognizer&)> shouldBegin)
{
    shouldBegin_ = std::move(shouldBegin);
}

Point GestureRecognizer::centroid() const
{
    if (touches_.empty())
        return lastCentroid_;
    Point sum;
    for (const Touch& touch : touches_)
        sum = sum + touch.location;
    const auto n = static_cast<double>(touches_.size());
    return {sum.x / n, sum.y / n};
}

Point GestureRecognizer::locationInView(const View* view) const
{
    const Point p = centroid();
    return view ? view->convertPointFromView(p, nullptr) : p;
}

void GestureRecognizer::touchesBegan(const std::vector<Touch>&) {}
void GestureRecognizer::touchesMoved(const std::vector<Touch>&) {}
void GestureRecognizer::touchesEnded(const std::vector<Touch>&) {}

void GestureRecognizer::touchesCancelled(const std::vector<Touch>&)
{
    setState(state_ == State::Possible ? State::Failed : State::Cancelled);
}

void GestureRecognizer::setState(State state)
{
    if (state == state_ && state != State::Changed)
        return;
    if (state_ == State::Possible) {
        if (state == State::Cancelled || state == State::Changed)
            state = State::Failed;
        if ((state == State::Began || state == State::Ended) && !mayBegin())
            state = State::Failed;
    }
    state_ = state;
    if (state != State::Possible && state != State::Failed)
        sendActions();
    resetIfFinished();
}

bool GestureRecognizer::mayBegin()
{
    if (shouldBegin_ && !shouldBegin_(*this))
        return false;
    Window* window = view_ ? view_->window() : nullptr;
    return !window || window->claimGesture(*this);
}

void GestureRecognizer::sendActions()
{
    // An action may add targets; run the ones present now.
    const auto actions = actions_;
    for (const Action& action : actions)
        action(*this);
}

void GestureRecognizer::handleTouches(TouchPhase phase, const std::vector<Touch>& incoming)
{
    const bool listening = isActive(state_);
    if (phase == TouchPhase::Began) {
        touches_.insert(touches_.end(), incoming.begin(), incoming.end());
        lastCentroid_ = centroid();
        if (listening)
            touchesBegan(incoming);
        return;
    }
    // Only the fingers this recognizer follows (it may have let go of some).
    std::vector<Touch> touches;
    for (const Touch& touch : incoming) {
        auto it = std::find_if(touches_.begin(), touches_.end(), [&](const Touch& t) { return t.id == touch.id; });
        if (it == touches_.end())
            continue;
        *it = touch;
        touches.push_back(touch);
    }
    if (touches.empty())
        return;
    switch (phase) {
    case TouchPhase::Began:
        break;
    case TouchPhase::Moved:
    case TouchPhase::Stationary:
        lastCentroid_ = centroid();
        if (listening)
            touchesMoved(touches);
        break;
    case TouchPhase::Ended:
    case TouchPhase::Cancelled:
        if (listening) {
            if (phase == TouchPhase::Ended)
                touchesEnded(touches);
            else
                touchesCancelled(touches);
        }
        lastCentroid_ = centroid();
        std::erase_if(touches_, [&](const Touch& t) {
            return std::any_of(touches.begin(), touches.end(), [&](const Touch& u) { return u.id == t.id; });
        });
        break;
    }
    resetIfFinished();
}

void GestureRecognizer::dropTouches()
{
    const bool inGesture = state_ == State::Began || state_ == State::Changed;
    touches_.clear();
    if (inGesture) {
        state_ = State::Cancelled;
        sendActions();
    }
    state_ = State::Possible;
    reset();
}

void GestureRecognizer::resetIfFinished()
{
    if (!touches_.empty() || !isFinished(state_))
        return;
    state_ = State::Possible;
    reset();
}

} // namespace ui
