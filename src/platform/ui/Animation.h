#pragma once

#include "platform/ui/AnimationCurve.h"

#include <functional>

namespace ui {

// Animates the changes that `changes` makes to views' frame, bounds, center,
// transform, alpha, background colour and corner radius, from what is on
// screen to the new values, on the run loop's animation frames. The views'
// properties take their new (model) values at once; drawing shows the values
// in between. `completion` runs once: with true at the end, with false when a
// later change to one of the animated properties took over before the end.
// A duration of 0 changes everything at once and completes at once (after
// the delay, if any).
void animate(double duration, std::function<void()> changes, std::function<void(bool finished)> completion = {});
void animate(double duration, AnimationCurve curve, std::function<void()> changes,
             std::function<void(bool finished)> completion = {});
void animate(double duration, double delay, AnimationCurve curve, std::function<void()> changes,
             std::function<void(bool finished)> completion = {});

} // namespace ui
