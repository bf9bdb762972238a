#include "diagnostics/VehicleInformation.h"

#include <algorithm>

#include "core/obd/ECU.h"
#include "platform/foundation/Strings.h"

namespace vehicleInformation {

namespace {

constexpr const char* kFuelStatus[] = {"Open loop due to low engine temp.", "Closed loop, using O2 sensor for feedback",
                                       "Open loop due to engine load", "Open loop due to system failure",
                                       "Closed loop, using at least one O2 sensor but faulty feedback"};
constexpr const char* kSecondaryAir[] = {"Upstream", "Downstream of catalytic conv.", "From outside atmosphere or off",
                                         "Pump commanded on for diag."};
// J1979 values 0-8, then 16-23.
constexpr const char* kFuelTypes[] = {"Unavailable", "Gasoline", "Methanol", "Ethanol", "Diesel", "LPG", "CNG",
                                      "Propane", "Electric", "Bifuel running electric and gasoline", "Hybrid gasoline",
                                      "Hybrid ethanol", "Hybrid diesel", "Hybrid electric",
                                      "Hybrid running electric and combustion", "Hybrid regenerative",
                                      "Bifuel running diesel"};

// Bytes a PID's value needs.
std::size_t valueLength(std::uint8_t number)
{
    constexpr std::array<std::uint8_t, 5> twoBytes = {pid::runTime, pid::distanceWithMil, pid::distanceSinceCleared,
                                                      pid::timeWithMil, pid::timeSinceCleared};
    return std::find(twoBytes.begin(), twoBytes.end(), number) != twoBytes.end() ? 2 : 1;
}

template <std::size_t N>
std::optional<std::string> byHighestBit(std::uint8_t a, const char* const (&texts)[N])
{
    const auto index = processStatus(a);
    if (!index || *index >= static_cast<int>(N))
        return std::nullopt;
    return texts[*index];
}

}  // namespace

std::string printableText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0x20 && byte < 0x7F)
            text += static_cast<char>(byte);
    }
    return text;
}

std::string cvnText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
        text += fnd::format(text.empty() ? "%02X%02X%02X%02X" : " %02X%02X%02X%02X", bytes[i], bytes[i + 1],
                            bytes[i + 2], bytes[i + 3]);
    return text;
}

std::optional<std::string> itemText(const Response& response)
{
    if (response.mode != service::vehicleInformationReply ||
        std::find(itemPids.begin(), itemPids.end(), response.pid) == itemPids.end())
        return std::nullopt;
    const std::string text = response.pid == infoType::calibrationVerification ? cvnText(response.data) : printableText(response.data);
    if (text.empty())
        return std::nullopt;
    return text;
}

std::optional<std::string> fuelTypeText(int value)
{
    if (value >= 0 && value <= 8)
        return kFuelTypes[value];
    if (value >= 16 && value <= 23)
        return kFuelTypes[value - 16 + 9];
    return std::nullopt;
}

std::optional<int> processStatus(std::uint8_t a)
{
    if (a == 0)
        return std::nullopt;
    int bit = 0;
    while (a >>= 1)
        ++bit;
    return bit;
}

std::string processTime(int minutes)
{
    return fnd::format("%02d days %02d hours %02d minutes", minutes / 1440, (minutes / 60) % 24, minutes % 60);
}

std::string processTime2(int seconds)
{
    return fnd::format("%02d hours %02d minutes", seconds / 3600, (seconds / 60) % 60);
}

std::optional<std::pair<int, std::string>> metricRow(const Response& response)
{
    const auto found = std::find(commandIndArr.begin(), commandIndArr.end(), response.pid);
    if (response.mode != service::currentDataReply || found == commandIndArr.end() || response.data.size() < valueLength(response.pid))
        return std::nullopt;
    const int row = static_cast<int>(found - commandIndArr.begin());
    const std::uint8_t a = response.data[0];
    const int number = static_cast<int>(ECU::valueOf(response, 1));
    std::optional<std::string> text;
    switch (row) {
    case 0: text = fuelTypeText(a); break;
    case 1: text = byHighestBit(a, kFuelStatus); break;
    case 2: text = byHighestBit(a, kSecondaryAir); break;
    case 3: text = processTime2(number); break;
    case 4:
    case 6: text = fnd::format("%d %s", number, "km"); break;
    case 5: text = fnd::format("%d %s", number, ""); break;
    default: text = processTime(number); break;
    }
    if (!text)
        return std::nullopt;
    return std::pair{row, *text};
}

}  // namespace vehicleInformation
