#pragma once

#include <array>
#include <optional>

#include "core/model/VehicleCalc.h"
#include "core/obd/PidNames.h"

// The latest inputs of one screen's calculated sensors (fuel economy 95, boost
// 96, horsepower 97) and their values. A screen feeds it every service-01 reply
// it decodes, in metric units (`ECU` unit mode 1, index -1), and asks for the
// values the reply's rows show:
//
//   CalculatedSensors calc(VehicleCalc::FuelSetup::fromSettings(settings));
//   ...on each reply:
//   calc.take(response.pid, ecu.calculate(-1, response.pid));
//   if (auto mpg = calc.fuelEconomy()) tally.addSample(*mpg);
//   if (auto bar = calc.boost(true)) ...
//
// A value needs its inputs: fuel economy has none before the first reply of the
// method's flow PID (air flow 0x10; engine speed 0x0C with a manifold pressure
// 0x0B for speed-density; fuel rate 0x5E), and none from a fuel rate of 0 or
// less. Until their first reply, road speed counts as 0 km/h, intake air as
// 0 C and barometric pressure as the standard atmosphere. Values are finite.
class CalculatedSensors {
public:
    explicit CalculatedSensors(VehicleCalc::FuelSetup fuel = {}) : fuel_(fuel) {}

    const VehicleCalc::FuelSetup& fuelSetup() const { return fuel_; }

    // Keeps `metricValue` when `pid` is an input of a calculated sensor (0x0B,
    // 0x0C, 0x0D, 0x0F, 0x10, 0x33, 0x5E, 0x63) and returns true; a value that is
    // not finite is dropped.
    bool take(int pid, float metricValue);

    float speed() const;  // km/h

    // US mpg by the setup's method.
    std::optional<float> fuelEconomy() const;
    // psi, or bar when `metric`; none before the first manifold pressure.
    std::optional<float> boost(bool metric) const;
    // hp, or kW when `metric`; none before the inputs have arrived.
    std::optional<float> horsepowerFromAirFlow(bool metric) const;
    std::optional<float> horsepowerFromTorque(bool metric) const;

private:
    static constexpr std::array inputPids{pid::manifoldPressure,   pid::engineSpeed, pid::vehicleSpeed,
                                          pid::intakeTemperature,  pid::airFlow,     pid::barometricPressure,
                                          pid::fuelRate,           pid::referenceTorque};
    // The latest value of an input PID; none before its first reply.
    std::optional<float> input(int pid) const;

    VehicleCalc::FuelSetup fuel_;
    std::array<std::optional<float>, inputPids.size()> inputs_;
};
