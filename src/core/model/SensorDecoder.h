#pragma once

#include <optional>

#include "core/model/CalculatedSensors.h"
#include "core/model/Tree.h"
#include "core/obd/Response.h"

// Turns a reply routed to a row or chart into that sensor's value: standard
// sensors by the sensor table, custom sensors by their formula, and the
// calculated sensors (fuel economy, boost, horsepower) by the core's shared
// calculations from the latest replies of the PIDs they combine.
class SensorDecoder {
public:
    // Fuel economy the user's way (by the settings), or by a fixed setup.
    SensorDecoder();
    explicit SensorDecoder(VehicleCalc::FuelSetup fuel) : calc_(fuel) {}

    // Takes the inputs of the calculated sensors from a service-01 reply; once
    // per reply, before valueFor.
    void take(const Response& response);
    // Nothing for the battery (its value comes from the voltage reply), for a
    // custom sensor that no longer exists or whose formula fails for this
    // reply, and for a calculated sensor whose inputs have not all arrived
    // (or, for fuel economy, a reply that does not complete a sample).
    std::optional<float> valueFor(int sensorIndex, const Response& response) const;
    // Why a custom sensor's formula gives no value for this reply (None for any other sensor).
    FormulaFault formulaFault(int sensorIndex, const Response& response) const;

    // The last road speed in km/h.
    float speed() const { return calc_.speed(); }
    VehicleCalc::FuelMethod fuelMethod() const { return calc_.fuelSetup().method; }

private:
    CalculatedSensors calc_;
};
