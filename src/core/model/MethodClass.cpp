#include "core/model/MethodClass.h"

#include "core/model/Manager.h"

namespace {

constexpr float kmPerMile = 1.60934f;
constexpr float litresPerGallon = 3.78541f;

int unitsMode()
{
    return Manager::sharedManager().setting().fuelUnitsMode;
}

bool isMetric()
{
    const int mode = unitsMode();
    return mode == 1 || mode == 2;
}

}  // namespace

float MethodClass::convertFromMPG(float mpg)
{
    return convertFromMPG(mpg, unitsMode());
}

float MethodClass::convertFromMPG(float mpg, int unitsMode)
{
    switch (unitsMode) {
    case 1:
        return mpg * 0.42514369f;
    case 2:
        return mpg <= 0 ? 0 : 100 / (mpg * kmPerMile) * litresPerGallon;
    case 3:
        return mpg * 1.20095f;
    default:
        return mpg;
    }
}

float MethodClass::convertToMPG(float value)
{
    switch (unitsMode()) {
    case 1:
        return value * 2.3521459f;
    case 2:
        // No fuel used per distance has no finite mpg; 0 mirrors convertFromMPG.
        return value <= 0 ? 0 : 100 / (value / litresPerGallon) / kmPerMile;
    case 3:
        return value * 0.83267385f;
    default:
        return value;
    }
}

float MethodClass::convertToMiles(float value)
{
    return isMetric() ? value / kmPerMile : value;
}

float MethodClass::convertFromMiles(float miles)
{
    return isMetric() ? miles * kmPerMile : miles;
}

float MethodClass::convertGallons(float gallons)
{
    return isMetric() ? gallons * litresPerGallon : gallons;
}

float MethodClass::convertFuelToCO2(float litres)
{
    switch (Manager::sharedManager().setting().fuelType) {
    case 0:
        return litres * 2.394f;
    case 1:
        return litres * 2.64f;
    case 2:
        return litres * 1.67f;
    case 3:
        return litres * 2.25f;
    default:
        return 0;
    }
}
