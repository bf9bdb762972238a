#include "core/model/CalculatedSensors.h"

#include <algorithm>
#include <cmath>

#include "core/obd/PidNames.h"

using namespace VehicleCalc;

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
    return input(pid::vehicleSpeed).value_or(0);
}

std::optional<float> CalculatedSensors::fuelEconomy() const
{
    const float speedKmh = speed();
    switch (fuel_.method) {
    case FuelMethod::airFlow: {
        const auto flow = input(pid::airFlow);
        if (!flow)
            return std::nullopt;
        return fuelEconomyFromAirFlow(speedKmh, *flow, fuel_.constants);
    }
    case FuelMethod::speedDensity: {
        const auto rpm = input(pid::engineSpeed);
        const auto manifold = input(pid::manifoldPressure);
        if (!rpm || !manifold)
            return std::nullopt;
        const float intake = input(pid::intakeTemperature).value_or(0);
        return fuelEconomyFromAirFlow(speedKmh, speedDensityAirFlow(*rpm, *manifold, intake, fuel_.engineLitres),
                                      fuel_.constants);
    }
    case FuelMethod::fuelRate:
        break;
    }
    const auto rate = input(pid::fuelRate);
    if (!rate || !(*rate > 0))
        return std::nullopt;
    return fuelEconomyFromFuelRate(speedKmh, *rate);
}

std::optional<float> CalculatedSensors::boost(bool metric) const
{
    const auto manifold = input(pid::manifoldPressure);
    if (!manifold)
        return std::nullopt;
    const float barometric = input(pid::barometricPressure).value_or(standardBarometricKPa);
    return boostInUnit(boostPsi(*manifold, barometric), metric);
}

std::optional<float> CalculatedSensors::horsepowerFromAirFlow(bool metric) const
{
    const auto flow = input(pid::airFlow);
    if (!flow)
        return std::nullopt;
    return horsepowerInUnit(VehicleCalc::horsepowerFromAirFlow(*flow), metric);
}

std::optional<float> CalculatedSensors::horsepowerFromTorque(bool metric) const
{
    const auto torque = input(pid::referenceTorque);
    const auto rpm = input(pid::engineSpeed);
    if (!torque || !rpm)
        return std::nullopt;
    return horsepowerInUnit(VehicleCalc::horsepowerFromTorque(*torque, *rpm), metric);
}
