#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/obd/PidNames.h"
#include "core/obd/Response.h"

// The texts of the vehicle information screen from service 09 and service 01 replies (SAE J1979).
namespace vehicleInformation {

// Service 09 items shown in the first section, in row order: VIN, calibration ID, calibration
// verification numbers, ECU name.
inline constexpr std::array<std::uint8_t, 4> itemPids = {infoType::vin, infoType::calibrationId,
                                                         infoType::calibrationVerification, infoType::ecuName};
// Service 01 PIDs of the second section, in row order.
inline constexpr std::array<std::uint8_t, 9> commandIndArr = {
    pid::fuelType,    pid::fuelSystemStatus,    pid::secondaryAirStatus,   pid::runTime,  pid::distanceWithMil,
    pid::warmUpsSinceCleared, pid::distanceSinceCleared, pid::timeWithMil, pid::timeSinceCleared};

// Text items keep their printable ASCII characters only: padding, control bytes and stray
// item counts are no part of a VIN or a name.
std::string printableText(std::span<const std::uint8_t> bytes);
// Calibration verification numbers: four bytes per module, each shown as eight hex digits.
std::string cvnText(std::span<const std::uint8_t> bytes);

// The text of a service 09 reply's item, by its PID; nothing for other PIDs or an empty payload.
std::optional<std::string> itemText(const Response& response);

// Fuel type by its J1979 value (0-8, 16-23); nothing for the values without a text.
std::optional<std::string> fuelTypeText(int value);
// The position of the highest set bit (1 gives 0, 4 gives 2); nothing for 0.
std::optional<int> processStatus(std::uint8_t a);
// Minutes as "%02d days %02d hours %02d minutes"; seconds as "%02d hours %02d minutes".
std::string processTime(int minutes);
std::string processTime2(int seconds);

// A second-section row and its text from a service 01 reply; nothing for a PID not shown, a reply too
// short for its value, or a value without a text.
std::optional<std::pair<int, std::string>> metricRow(const Response& response);

}  // namespace vehicleInformation
