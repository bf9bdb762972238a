#include "platform/ui/AnimationCurve.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// A cubic Bézier timing function from (0,0) to (1,1) with control points
// (x1,y1) and (x2,y2): find the parameter whose x is t, return its y.
double cubicTiming(double x1, double y1, double x2, double y2, double t)
{
    const auto bezier = [](double p1, double p2, double s) {
        const double u = 1 - s;
        return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
    };
    const auto slope = [](double p1, double p2, double s) {
        const double u = 1 - s;
        return 3 * u * u * p1 + 6 * u * s * (p2 - p1) + 3 * s * s * (1 - p2);
    };
    double s = t;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(x1, x2, s) - t;
        const double d = slope(x1, x2, s);
        if (std::abs(error) < 1e-7 || std::abs(d) < 1e-6)
            break;
        s = std::clamp(s - error / d, 0.0, 1.0);
    }
    // Bisection finishes what Newton's method could not (flat ends).
    double lo = 0, hi = 1;
    for (int i = 0; i < 30 && std::abs(bezier(x1, x2, s) - t) > 1e-7; ++i) {
        (bezier(x1, x2, s) < t ? lo : hi) = s;
        s = (lo + hi) / 2;
    }
    return bezier(y1, y2, s);
}

} // namespace

double animationProgress(AnimationCurve curve, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case AnimationCurve::EaseInOut:
        return cubicTiming(0.42, 0, 0.58, 1, t);
    case AnimationCurve::EaseIn:
        return cubicTiming(0.42, 0, 1, 1, t);
    case AnimationCurve::EaseOut:
        return cubicTiming(0, 0, 0.58, 1, t);
    case AnimationCurve::Linear:
        return t;
    }
    return t;
}

} // namespace ui
