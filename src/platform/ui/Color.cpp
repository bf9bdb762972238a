#include "platform/ui/Color.h"

#include <algorithm>
#include <cmath>

namespace ui {

Color Color::rgb255(int r, int g, int b, double a) { return {r / 255.0, g / 255.0, b / 255.0, a}; }

Color Color::hsb(double hue, double saturation, double brightness, double alpha)
{
    const double h = (hue - std::floor(hue)) * 6;
    const double s = std::clamp(saturation, 0.0, 1.0);
    const double v = std::clamp(brightness, 0.0, 1.0);
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0: return {v, t, p, alpha};
    case 1: return {q, v, p, alpha};
    case 2: return {p, v, t, alpha};
    case 3: return {p, q, v, alpha};
    case 4: return {t, p, v, alpha};
    default: return {v, p, q, alpha};
    }
}

Hsb Color::toHsb() const
{
    const double maxC = std::max({r, g, b});
    const double minC = std::min({r, g, b});
    const double delta = maxC - minC;
    Hsb out;
    out.brightness = maxC;
    out.saturation = maxC > 0 ? delta / maxC : 0;
    out.alpha = a;
    if (delta <= 0)
        return out;
    double h;
    if (maxC == r)
        h = (g - b) / delta;
    else if (maxC == g)
        h = 2 + (b - r) / delta;
    else
        h = 4 + (r - g) / delta;
    h /= 6;
    out.hue = h < 0 ? h + 1 : h;
    return out;
}

} // namespace ui
