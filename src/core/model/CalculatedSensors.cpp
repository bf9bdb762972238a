#include "core/model/CalculatedSensors.h"

#include <algorithm>
#include <cmath>

using namespace VehicleCalc;

namespace {

constexpr int manifoldPressure = 0x0B;
constexpr int engineSpeed = 0x0C;
constexpr int roadSpeed = 0x0D;
constexpr int intakeTemperature = 0x0F;
constexpr int airFlow = 0x10;
constexpr int barometricPressure = 0x33;
constexpr int fuelRate = 0x5E;
constexpr int referenceTorque = 0x63;

}  // namespace

bool CalculatedSensors::take(int pid, float metricValue)
{
    const auto found = std::find(inputPids.begin(), inputPids.end(), pid);
    if (found == inputPids.end())
        return false;
    if (std::isfinite(metricValue))
        inputs_[static_cast<std::size_t>(found - inputPids.begin())] = metricValue;
    return true;
}

std::optional<float> CalculatedSensors::input(int pid) const
{
    const auto found = std::find(inputPids.begin(), inputPids.end(), pid);
    return found == inputPids.end() ? std::nullopt : inputs_[static_cast<std::size_t>(found - inputPids.begin())];
}

float CalculatedSensors::speed() const
{
    return input(roadSpeed).value_or(0);
}

std::optional<float> CalculatedSensors::fuelEconomy() const
{
    const float speedKmh = speed();
    switch (fuel_.method) {
    case FuelMethod::airFlow: {
        const auto flow = input(airFlow);
        if (!flow)
            return std::nullopt;
        return fuelEconomyFromAirFlow(speedKmh, *flow, fuel_.constants);
    }
    case FuelMethod::speedDensity: {
        const auto rpm = input(engineSpeed);
        const auto manifold = input(manifoldPressure);
        if (!rpm || !manifold)
            return std::nullopt;
        const float intake = input(intakeTemperature).value_or(0);
        return fuelEconomyFromAirFlow(speedKmh, speedDensityAirFlow(*rpm, *manifold, intake, fuel_.engineLitres),
                                      fuel_.constants);
    }
    case FuelMethod::fuelRate:
        break;
    }
    const auto rate = input(fuelRate);
    if (!rate || !(*rate > 0))
        return std::nullopt;
    return fuelEconomyFromFuelRate(speedKmh, *rate);
}

std::optional<float> CalculatedSensors::boost(bool metric) const
{
    const auto manifold = input(manifoldPressure);
    if (!manifold)
        return std::nullopt;
    const float barometric = input(barometricPressure).value_or(standardBarometricKPa);
    return boostInUnit(boostPsi(*manifold, barometric), metric);
}

std::optional<float> CalculatedSensors::horsepowerFromAirFlow(bool metric) const
{
    const auto flow = input(airFlow);
    if (!flow)
        return std::nullopt;
    return horsepowerInUnit(VehicleCalc::horsepowerFromAirFlow(*flow), metric);
}

std::optional<float> CalculatedSensors::horsepowerFromTorque(bool metric) const
{
    const auto torque = input(referenceTorque);
    const auto rpm = input(engineSpeed);
    if (!torque || !rpm)
        return std::nullopt;
    return horsepowerInUnit(VehicleCalc::horsepowerFromTorque(*torque, *rpm), metric);
}
