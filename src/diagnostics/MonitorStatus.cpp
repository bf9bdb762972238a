#include "diagnostics/MonitorStatus.h"

std::optional<std::array<MonitorState, 11>> readMonitors(std::span<const std::uint8_t> data)
{
    if (data.size() < 4)
        return std::nullopt;
    const std::uint8_t b = data[1];
    const std::uint8_t c = data[2];
    const std::uint8_t d = data[3];
    std::array<MonitorState, 11> states{};
    for (int i = 0; i < 11; ++i) {
        // Rows 0-2: B bits 0-2 supported, bits 4-6 not complete; rows 3-10: C and D bits 0-7.
        const bool supported = i < 3 ? (b >> i) & 1 : (c >> (i - 3)) & 1;
        const bool notComplete = i < 3 ? (b >> (i + 4)) & 1 : (d >> (i - 3)) & 1;
        states[static_cast<std::size_t>(i)] =
            !supported ? MonitorState::Unsupported : notComplete ? MonitorState::Incomplete : MonitorState::Complete;
    }
    return states;
}
