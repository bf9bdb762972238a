#include "diagnostics/FreezeFrame.h"

#include <span>

#include "core/obd/ECU.h"
#include "diagnostics/DTCDecoding.h"
#include "platform/foundation/Strings.h"

namespace freezeFrame {

const std::array<Row, rowCount> rows = {{
    {"Engine load", true, "%"},
    {"Coolant temp.", true, "\u00B0C"},
    {"ST fuel % trim - Bank 1", false, "%"},
    {"LT fuel % trim - Bank 1", false, "%"},
    {"ST fuel % trim - Bank 2", false, "%"},
    {"LT fuel % trim - Bank 2", false, "%"},
    {"Fuel pressure", true, "kPa"},
    {"Intake manifold press.", true, "kPa"},
    {"Engine RPM", false, "rpm"},
    {"Velocity", true, "km/h"},
    {"Timing advance", true, "\u00B0"},
    {"Intake air temp.", true, "\u00B0C"},
    {"Mass air flow", true, "gr/s"},
    {"Throttle position", true, "%"},
}};

namespace {

struct Description {
    const char* code;
    const char* text;
};

constexpr Description kDescriptions[] = {
    {"P0087", "Fuel Rail/System Pressure - Too Low"},
    {"P0088", "Fuel Rail/System Pressure - Too High"},
    {"P0171", "Lean Air/fuel mixture"},
    {"P0174", "Lean Air/fuel mixture"},
    {"P0175", "Rich Air/fuel mixture"},
    {"P0216", "Injection Timing Control Circuit Malfunction"},
    {"P0300", "Random Cylinder Misfires Detected"},
    {"P0410", "Secondary Air Injection System"},
    {"P0457", "Gross leak detected (CAP OFF or LOOSE CAP)"},
    {"P0455", "Gross leak detected (CAP OFF or LOOSE CAP)"},
};

// The bytes after the frame number.
std::span<const std::uint8_t> afterFrame(const Response& response)
{
    return response.data.empty() ? std::span<const std::uint8_t>{}
                                 : std::span<const std::uint8_t>(response.data).subspan(1);
}

}  // namespace

std::optional<std::string> storedCode(const Response& response)
{
    if (response.mode != service::freezeFrameReply || response.pid != pid::freezeFrameCode)
        return std::nullopt;
    const std::vector<std::string> codes = getCodes(afterFrame(response));
    if (codes.empty())
        return std::nullopt;
    return codes.front();
}

std::optional<std::pair<int, std::string>> rowValue(const Response& response)
{
    const int row = response.pid - firstPid;
    if (response.mode != service::freezeFrameReply || row < 0 || row >= rowCount || response.data.size() < 2)
        return std::nullopt;
    Response value = response;
    const auto bytes = afterFrame(response);
    value.data.assign(bytes.begin(), bytes.end());
    const int number = static_cast<int>(ECU::valueOf(value, 1));  // toward zero: -6.5 % shows -6
    return std::pair{row, fnd::format("%d %s", number, rows[static_cast<std::size_t>(row)].unit)};
}

std::string getDescription(const std::string& code)
{
    for (const Description& d : kDescriptions) {
        if (code == d.code)
            return d.text;
    }
    return "No description available";
}

}  // namespace freezeFrame
