#include "core/model/VehicleCalc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/model/Settings.h"
#include "core/obd/PidNames.h"

namespace VehicleCalc {

namespace {

constexpr double milesPerKm = 0.621371;
constexpr double gramsPerPound = 454.0;
constexpr double maxSpeedKmh = 255.0;
constexpr double kmPerLitreToMpg = 2.35214583;
constexpr double psiPerBar = 14.50377377;
constexpr double barPerPsi = 0.0689;
constexpr double poundFeetPerNewtonMetre = 0.737562;
constexpr double kilowattsPerHorsepower = 0.7457;

constexpr std::array<FuelConstants, 7> fuelTable{{
    {6.17f, 14.7f},   // gasoline
    {6.217f, 14.6f},  // diesel
    {4.5f, 17.2f},    // liquid natural gas
    {2.25f, 17.2f},   // compressed natural gas
    {1.87f, 15.5f},   // propane
    {3.0f, 6.4f},     // methanol
    {3.0f, 9.0f},     // ethanol
}};

bool isPositive(double value)
{
    return std::isfinite(value) && value > 0;
}

// Road speed as the fuel formulas take it: 0-255 km/h, a missing value as 0.
double usableSpeed(float speedKmh)
{
    if (!std::isfinite(speedKmh) || speedKmh < 0)
        return 0;
    return std::min<double>(speedKmh, maxSpeedKmh);
}

}  // namespace

float finiteOrZero(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return 0;
    return static_cast<float>(value);
}

FuelConstants fuelConstants(int fuelType)
{
    if (fuelType < 0 || fuelType >= static_cast<int>(fuelTable.size()))
        return {1.0f, 1.0f};
    return fuelTable[static_cast<std::size_t>(fuelType)];
}

FuelMethod fuelMethod(int fuelCalcMethod)
{
    switch (fuelCalcMethod) {
    case 0:
        return FuelMethod::airFlow;
    case 1:
        return FuelMethod::speedDensity;
    default:
        return FuelMethod::fuelRate;
    }
}

std::vector<int> fuelPids(FuelMethod method)
{
    switch (method) {
    case FuelMethod::airFlow:
        return {pid::vehicleSpeed, pid::airFlow};
    case FuelMethod::speedDensity:
        return {pid::vehicleSpeed, pid::manifoldPressure, pid::intakeTemperature, pid::engineSpeed};
    case FuelMethod::fuelRate:
        break;
    }
    return {pid::vehicleSpeed, pid::fuelRate};
}

int fuelFlowPid(FuelMethod method)
{
    switch (method) {
    case FuelMethod::airFlow:
        return pid::airFlow;
    case FuelMethod::speedDensity:
        return pid::engineSpeed;
    case FuelMethod::fuelRate:
        break;
    }
    return pid::fuelRate;
}

FuelSetup FuelSetup::fromSettings(const Settings& settings)
{
    FuelSetup setup;
    setup.method = fuelMethod(settings.fuelCalcMethod);
    if (isPositive(settings.fuelDensity) && isPositive(settings.fuelAirRatio))
        setup.constants = {settings.fuelDensity, settings.fuelAirRatio};
    if (isPositive(settings.engineDisplacement))
        setup.engineLitres = settings.engineDisplacement;
    return setup;
}

float fuelEconomyFromAirFlow(float speedKmh, float airFlowGramsPerSecond, FuelConstants fuel)
{
    const double speedMph = usableSpeed(speedKmh) * milesPerKm;
    // Grams of air per US gallon of fuel burnt.
    const double airPerGallon = double{fuel.density} * double{fuel.airRatio} * gramsPerPound;
    const double divisor = isPositive(airFlowGramsPerSecond) ? airFlowGramsPerSecond * 3600.0 : 360.0;
    return finiteOrZero(speedMph * airPerGallon / divisor);
}

float speedDensityAirFlow(float rpm, float manifoldKPa, float intakeCelsius, float engineLitres)
{
    constexpr double airMolarMass = 28.97;  // g/mol
    constexpr double gasConstant = 8.314;   // J/(mol K)
    constexpr double volumetricEfficiency = 0.85;
    const double kelvin = double{intakeCelsius} + 273.15;
    if (!isPositive(rpm) || !isPositive(manifoldKPa) || !isPositive(kelvin) || !isPositive(engineLitres))
        return 0;
    // A four-stroke engine fills its displacement once every two turns.
    const double intake = rpm * double{manifoldKPa} / kelvin / 120.0;
    return finiteOrZero(intake * volumetricEfficiency * engineLitres * airMolarMass / gasConstant);
}

float fuelEconomyFromFuelRate(float speedKmh, float litresPerHour)
{
    if (!isPositive(litresPerHour))
        return 0;
    return finiteOrZero(usableSpeed(speedKmh) / litresPerHour * kmPerLitreToMpg);
}

float boostPsi(float manifoldKPa, float barometricKPa)
{
    return finiteOrZero((double{manifoldKPa} - double{barometricKPa}) / 100.0 * psiPerBar);
}

float boostInUnit(float psi, bool metric)
{
    return finiteOrZero(metric ? psi * barPerPsi : psi);
}

float horsepowerFromAirFlow(float airFlowGramsPerSecond)
{
    return isPositive(airFlowGramsPerSecond) ? finiteOrZero(airFlowGramsPerSecond / 0.8) : 0;
}

float horsepowerFromTorque(float torqueNewtonMetres, float rpm)
{
    if (!isPositive(torqueNewtonMetres) || !isPositive(rpm))
        return 0;
    return finiteOrZero(torqueNewtonMetres * poundFeetPerNewtonMetre * rpm / 5252.0);
}

float horsepowerInUnit(float horsepower, bool metric)
{
    return finiteOrZero(metric ? horsepower * kilowattsPerHorsepower : horsepower);
}

}  // namespace VehicleCalc
