#include "fuel/FuelFormulas.h"

#include <algorithm>
#include <cmath>

namespace fuelformulas {

namespace {
constexpr double gramsPerPound = 454.0;
constexpr double mphPerKmh = 0.621371;
constexpr double mpgPerKmPerLitre = 2.35214583;
constexpr float minimumFuelRate = 0.1f;
}  // namespace

float limitedSpeed(float kmh)
{
    if (!(kmh > 0))
        return 0;
    return std::min(kmh, 255.0f);
}

float mpgFromAirFlow(float kmh, float gramsPerSecond, float density, float airFuelRatio)
{
    const double mph = limitedSpeed(kmh) * mphPerKmh;
    const double divisor = gramsPerSecond > 0 ? gramsPerSecond * 3600.0 : 360.0;
    return static_cast<float>(mph * (density * airFuelRatio * gramsPerPound) / divisor);
}

float speedDensityAirFlow(float rpm, float mapKPa, float iatCelsius, float engineLitres)
{
    const float x = rpm * mapKPa / (iatCelsius + 273.15f) / 120.0f;
    return static_cast<float>(x * 0.85 * engineLitres * 28.97 / 8.314);
}

float mpgFromFuelRate(float kmh, float litresPerHour)
{
    const float rate = std::isfinite(litresPerHour) ? std::max(litresPerHour, minimumFuelRate) : minimumFuelRate;
    return static_cast<float>(limitedSpeed(kmh) / static_cast<double>(rate) * mpgPerKmPerLitre);
}

}  // namespace fuelformulas
