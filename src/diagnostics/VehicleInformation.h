#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/obd/Response.h"

// The texts of the vehicle information screen from service 09 and service 01 replies (SAE J1979).
namespace vehicleInformation {

// Service 09 items shown in the first section, in row order: VIN, calibration ID, calibration
// verification numbers, ECU name.
inline constexpr std::array<std::uint8_t, 4> itemPids = {0x02, 0x04, 0x06, 0x0A};
// Service 01 PIDs of the second section, in row order.
inline constexpr std::array<std::uint8_t, 9> commandIndArr = {0x51, 0x03, 0x12, 0x1F, 0x21, 0x30, 0x31, 0x4D, 0x4E};

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
