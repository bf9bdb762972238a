#include "elmsim/lib/ExtraData.h"

#include <algorithm>
#include <cmath>

namespace elmsim {

namespace {

constexpr std::uint8_t kExtraPids[] = {0x08, 0x09, 0x0A, 0x14, 0x15, 0x24, 0x2C, 0x2D, 0x2E, 0x62, 0x78, 0x79};

std::uint8_t byteOf(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

void appendWord(Bytes& out, double value)
{
    const auto word = static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
    out.push_back(static_cast<std::uint8_t>(word >> 8));
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
}

// Four exhaust gas temperatures: the support byte, then (A*256+B)/10 - 40 C each.
Bytes exhaustTemperatures(double hottest)
{
    Bytes out{0x0F};
    for (int sensor = 0; sensor < 4; ++sensor)
        appendWord(out, (hottest - 40.0 * sensor + 40) * 10);
    return out;
}

}  // namespace

bool isExtraPid(std::uint8_t pid)
{
    return std::find(std::begin(kExtraPids), std::end(kExtraPids), pid) != std::end(kExtraPids);
}

double manifoldPressure(const CarState& v)
{
    return v.turbo ? v.map + v.turboBoost * v.load / 100.0 : v.map;
}

std::optional<Bytes> extraLiveData(std::uint8_t pid, const CarState& v)
{
    // The exhaust runs hotter with load.
    const double exhaust = 250 + 5 * v.load;
    switch (pid) {
    case 0x08:
    case 0x09: return Bytes{0x81};
    case 0x0A: return Bytes{byteOf(v.fuelPressure / 3)};
    case 0x14:
    case 0x15: return Bytes{byteOf(0.45 * 200), 0x84};
    case 0x24: {
        Bytes out;
        appendWord(out, 1.0 * 32768);  // lambda 1.0
        appendWord(out, 0.45 * 8192);  // 0.45 V
        return out;
    }
    case 0x2C: return Bytes{byteOf(10 * 255 / 100.0)};
    case 0x2D: return Bytes{0x80};
    case 0x2E: return Bytes{byteOf(20 * 255 / 100.0)};
    case 0x62: return Bytes{byteOf(125 + v.load * 0.8)};
    case 0x78: return exhaustTemperatures(exhaust);
    case 0x79: return exhaustTemperatures(exhaust - 10);
    default: return std::nullopt;
    }
}

std::optional<Bytes> readByIdentifier(const CarState& v, const Bytes& pids)
{
    if (pids.size() < 2)
        return std::nullopt;
    const int id = pids[0] << 8 | pids[1];
    const auto found = std::find_if(v.customPids.begin(), v.customPids.end(),
                                    [id](const CustomPid& custom) { return custom.id == id; });
    if (found == v.customPids.end())
        return std::nullopt;
    Bytes out{0x62, pids[0], pids[1]};
    out.insert(out.end(), found->data.begin(), found->data.end());
    return out;
}

}  // namespace elmsim
