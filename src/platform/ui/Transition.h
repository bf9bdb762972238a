#pragma once

#include "platform/foundation/RunLoop.h"
#include "platform/ui/AnimationCurve.h"

#include <functional>

namespace ui {

// A screen transition on the run loop's frame clock: `step` gets the eased
// progress (0..1) at every frame, then `done` runs once. A controller starting
// a new transition first finishes the running one, so screens never overlap
// half-way. Destroying a transition stops it without finishing it.
class Transition {
public:
    Transition() = default;
    ~Transition();
    Transition(const Transition&) = delete;
    Transition& operator=(const Transition&) = delete;

    // Replaces any running transition (finishing it first). A duration of 0
    // steps to 1 and finishes at once.
    void start(double duration, AnimationCurve curve, std::function<void(double)> step, std::function<void()> done);
    // Steps to the end and runs `done` now.
    void finish();
    bool isRunning() const { return frame_ != 0; }

private:
    void stop();

    fnd::RunLoop::FrameId frame_ = 0;
    double start_ = 0;
    double duration_ = 0;
    AnimationCurve curve_ = AnimationCurve::EaseInOut;
    std::function<void(double)> step_;
    std::function<void()> done_;
};

} // namespace ui
