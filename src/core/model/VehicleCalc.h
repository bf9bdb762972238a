#pragma once

#include <vector>

struct Settings;

// The calculations that several screens share: fuel economy by three methods,
// boost and horsepower. Pure functions on decoded values; every result is
// finite (bad, missing or out-of-range inputs give 0, never NaN or infinity).
//
// Inputs are in the metric units `ECU` gives with unit mode 1 and index -1:
// speed km/h (0x0D), air flow g/s (0x10), manifold and barometric pressure kPa
// (0x0B, 0x33), intake temperature C (0x0F), engine speed rpm (0x0C), fuel rate
// L/h (0x5E), reference torque N*m (0x63). Fuel economy is always US mpg;
// `MethodClass::convertFromMPG` turns it into the user's unit for display.
//
//   auto fuel = VehicleCalc::FuelSetup::fromSettings(settings);
//   float mpg = VehicleCalc::fuelEconomyFromAirFlow(speedKmh, airFlow, fuel.constants);
//   float psi = VehicleCalc::boostPsi(mapKPa, baroKPa);
//   float kw  = VehicleCalc::horsepowerInUnit(VehicleCalc::horsepowerFromTorque(nm, rpm), true);
namespace VehicleCalc {

// Fuel density (pounds per US gallon) and stoichiometric air/fuel mass ratio.
struct FuelConstants {
    float density = 6.17f;
    float airRatio = 14.7f;

    bool operator==(const FuelConstants&) const = default;
};

inline constexpr FuelConstants gasoline{6.17f, 14.7f};

// By Settings.fuelType: 0 gasoline, 1 diesel, 2 liquid natural gas, 3 compressed
// natural gas, 4 propane, 5 methanol, 6 ethanol; any other index 1.0 and 1.0.
FuelConstants fuelConstants(int fuelType);

// Settings.fuelCalcMethod: 0 mass air flow, 1 speed-density (rpm and manifold
// pressure), anything else fuel rate.
enum class FuelMethod { airFlow = 0, speedDensity = 1, fuelRate = 2 };
FuelMethod fuelMethod(int fuelCalcMethod);

// The service-01 PIDs a method needs, speed first: {0x0D, 0x10},
// {0x0D, 0x0B, 0x0F, 0x0C} or {0x0D, 0x5E}.
std::vector<int> fuelPids(FuelMethod method);
// The PID whose reply completes a sample of the method: 0x10, 0x0C or 0x5E.
int fuelFlowPid(FuelMethod method);

// What a screen needs to compute fuel economy the user's way.
struct FuelSetup {
    FuelMethod method = FuelMethod::airFlow;
    FuelConstants constants = gasoline;
    float engineLitres = 3.0f;

    // Method, density, air/fuel ratio and engine size from the settings; stored
    // values that are not positive numbers fall back to the defaults above.
    static FuelSetup fromSettings(const Settings& settings);
};

// Speeds are limited to 0-255 km/h. An air flow of 0 or less uses the divisor
// 360 in place of air flow x 3600, so a coasting car still gets a finite value.
float fuelEconomyFromAirFlow(float speedKmh, float airFlowGramsPerSecond, FuelConstants fuel = gasoline);
// Air flow in g/s estimated from engine speed, manifold pressure, intake
// temperature and engine size (volumetric efficiency 0.85).
float speedDensityAirFlow(float rpm, float manifoldKPa, float intakeCelsius, float engineLitres);
// 0 for a fuel rate of 0 or less: no fuel flow gives no finite economy, and the
// caller should make no sample of it (see CalculatedSensors).
float fuelEconomyFromFuelRate(float speedKmh, float litresPerHour);

// Boost (manifold above barometric pressure) in psi; negative under vacuum.
float boostPsi(float manifoldKPa, float barometricKPa);
// psi, or bar when `metric`.
float boostInUnit(float psi, bool metric);
inline constexpr float standardBarometricKPa = 101.325f;

// Horsepower from air flow (g/s / 0.8) or from torque and engine speed
// (lb*ft x rpm / 5252, the torque converted from N*m first).
float horsepowerFromAirFlow(float airFlowGramsPerSecond);
float horsepowerFromTorque(float torqueNewtonMetres, float rpm);
// hp, or kW when `metric`.
float horsepowerInUnit(float horsepower, bool metric);

// `value` when it is finite, else 0.
float finiteOrZero(double value);

}  // namespace VehicleCalc
