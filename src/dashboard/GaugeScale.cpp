#include "dashboard/GaugeScale.h"

#include <array>
#include <cmath>

#include "platform/foundation/Strings.h"

namespace {

constexpr float thousandsFrom = 2000;
constexpr int fallbackDivisions = 6;
// Preferred division counts, the first that gives a round step wins.
constexpr std::array<int, 5> divisionCounts = {6, 8, 5, 4, 10};

bool isWhole(double x, double tolerance = 1e-6) { return std::abs(x - std::round(x)) < tolerance; }

// 1, 2 or 5 times a power of ten.
bool isRoundStep(double step)
{
    if (!(step > 0))
        return false;
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    return isWhole(mantissa, 1e-4) && (std::lround(mantissa) == 1 || std::lround(mantissa) == 2 ||
                                      std::lround(mantissa) == 5 || std::lround(mantissa) == 10);
}

// Decimals that show every multiple of step exactly (at most two).
int decimalsFor(double step, double start)
{
    for (int decimals = 0; decimals < 2; ++decimals) {
        const double factor = std::pow(10.0, decimals);
        if (isWhole(step * factor, 1e-4) && isWhole(start * factor, 1e-4))
            return decimals;
    }
    return 2;
}

std::string number(double value, int decimals)
{
    // Adding 0 turns a negative zero into zero, so "-0" never shows.
    return fnd::format("%.*f", decimals, value + 0.0);
}

}  // namespace

GaugeScale GaugeScale::forRange(float min, float max)
{
    GaugeScale scale;
    const double range = static_cast<double>(max) - min;
    if (!std::isfinite(range) || !(range > 0)) {
        scale.fractions = {0};
        scale.texts = {std::isfinite(min) ? number(min, 0) : "--"};
        return scale;
    }
    scale.thousands = max >= thousandsFrom;
    const double unit = scale.thousands ? 1000 : 1;
    const double low = min / unit;
    const double span = range / unit;

    int divisions = fallbackDivisions;
    int decimals = span < 5 ? 1 : 0;
    for (const int n : divisionCounts) {
        const double step = span / n;
        if (isRoundStep(step) && isWhole(low / step, 1e-4)) {
            divisions = n;
            decimals = decimalsFor(step, low);
            break;
        }
    }
    // Whole-number labels are cut, not rounded, so that no label passes the range.
    for (int i = 0; i <= divisions; ++i) {
        const double value = low + span * i / divisions;
        scale.fractions.push_back(static_cast<float>(static_cast<double>(i) / divisions));
        scale.texts.push_back(number(decimals == 0 ? std::trunc(value) : value, decimals));
    }
    return scale;
}

std::string gaugeReadoutText(float value, float max)
{
    if (!std::isfinite(value))
        return "--";
    if (max <= 5)
        return number(value, 2);
    if (max <= 20)
        return number(value, 1);
    return number(std::trunc(value), 0);
}
