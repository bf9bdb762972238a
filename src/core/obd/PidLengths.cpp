#include "core/obd/PidLengths.h"

#include <array>

#include "core/obd/PidNames.h"

namespace {

// Data bytes of service-01 PIDs 0x00 to 0x67; beyond that replies are never packed or split.
constexpr std::array<std::uint8_t, 0x68> kLengths = {
    4, 4, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1,  // 0x00-0x0F
    2, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 2,  // 0x10-0x1F
    4, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4, 4, 1, 1, 1, 1,  // 0x20-0x2F
    1, 2, 2, 1, 4, 4, 4, 4, 4, 4, 4, 4, 2, 2, 2, 2,  // 0x30-0x3F
    4, 4, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 4,  // 0x40-0x4F
    4, 1, 1, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 2, 2, 1,  // 0x50-0x5F
    4, 1, 1, 2, 5, 2, 5, 3,                          // 0x60-0x67
};

}  // namespace

int service01DataLength(std::uint8_t pid)
{
    return pid < kLengths.size() ? kLengths[pid] : 0;
}

bool fitsPidLength(const Response& response)
{
    const int length = service01DataLength(response.pid);
    if (length == 0)
        return true;
    if (response.mode == service::currentDataReply)
        return response.data.size() == static_cast<std::size_t>(length);
    if (response.mode == service::freezeFrameReply)
        return response.data.size() == static_cast<std::size_t>(length) + 1;
    return true;
}
