#pragma once

#include <array>

// Polling priorities of the service-01 PIDs 0x04 to 0x3B, indexed by PID - 4:
// 1 fast, 2 normal, 3 slow (the Command priorities). What moves quickly with
// the throttle (load, manifold pressure, engine and vehicle speed, timing,
// airflow, throttle and the wide-band oxygen sensors) is fast; temperatures,
// fuel tank level and barometric pressure change slowly.
inline constexpr int firstPrioritisedPid = 0x04;
inline constexpr int lastPrioritisedPid = 0x3B;

inline constexpr std::array<int, lastPrioritisedPid - firstPrioritisedPid + 1> PidPriorityTable = {
    // clang-format off
    1, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 3, 1, 1, 2, 2,  // 0x04-0x13
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 0x14-0x23
    1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 2, 2, 2, 3,  // 0x24-0x33
    1, 1, 1, 1, 1, 1, 1, 1,                          // 0x34-0x3B
    // clang-format on
};

// The priority of a service-01 PID; 2 (normal) outside the table.
int pidPriority(int pid);
