#include "logging/LiveCalculations.h"

#include <algorithm>

namespace livecalc {

double fuelEconomyMpg(double speedKmh, double airFlow)
{
    const double speed = std::min(speedKmh, 255.0);
    const double numerator = speed < 0 ? 0 : speed * 0.621371 * 41177.346;
    const double denominator = airFlow > 0 ? airFlow * 3600.0 : 360.0;
    return numerator / denominator;
}

float boost(float manifoldKpa, float barometricKpa, bool metric)
{
    const double kpa = static_cast<double>(manifoldKpa) - barometricKpa;
    return static_cast<float>(metric ? kpa / 100.0 : kpa * 0.1450377377);
}

float horsepowerFromAirFlow(float airFlow)
{
    return airFlow / 0.8f;
}

float horsepowerFromTorque(float torqueLbFt, float rpm)
{
    return torqueLbFt * rpm / 5252.0f;
}

float horsepowerIn(float hp, bool metric)
{
    return metric ? hp * 0.745699872f : hp;
}

}  // namespace livecalc
