#pragma once

#include <array>
#include <bitset>
#include <cstdint>

// The service-01 PIDs a car reports supported, from its bitmaps: the reply to PID `basePid` (0x00, 0x20,
// ... 0xE0) has one bit per PID from basePid + 1 (bit 31) to basePid + 0x20 (bit 0).
class SupportedPIDs {
public:
    // Other base PIDs are ignored.
    void setBitmap(int basePid, std::uint32_t bitmap);
    void clear();
    // True when the car reported the PID supported; false when no bitmap covering it was read. PID
    // 0x00 counts as supported once the first bitmap was read.
    bool isSupported(int pid) const;

    bool operator==(const SupportedPIDs&) const = default;

private:
    static constexpr int bitmapCount = 8;
    std::array<std::uint32_t, bitmapCount> bitmaps_{};
    std::bitset<bitmapCount> read_;
};
