#pragma once

#include <cstdint>
#include <optional>

#include "elmsim/lib/Car.h"

// The replies the sensor list and the strip charts need beyond the car's core
// set: bank-2 trims, fuel pressure, the oxygen sensors, EGR and purge, the
// exhaust gas temperatures (nine bytes: a multi-frame reply on CAN), the
// actual torque, the turbo's manifold pressure and the service-22 custom PIDs.
namespace elmsim {

bool isExtraPid(std::uint8_t pid);
std::optional<Bytes> extraLiveData(std::uint8_t pid, const CarState& values);
// Manifold pressure in kPa: above barometric under load when the car has a turbo.
double manifoldPressure(const CarState& values);
// "62 PP QQ data..." for a custom PID the state holds.
std::optional<Bytes> readByIdentifier(const CarState& values, const Bytes& pids);

}  // namespace elmsim
