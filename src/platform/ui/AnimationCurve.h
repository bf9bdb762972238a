#pragma once

namespace ui {

enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };

// Progress (0..1) of an animation with this timing curve after `t` (0..1)
// of its duration: the platform's cubic timing functions.
double animationProgress(AnimationCurve curve, double t);

} // namespace ui
