#pragma once

#include <cstdint>

// The number of data bytes of a service-01 PID reply (SAE J1979), 0 when unknown. Splitting a packed
// multi-PID reply and choosing what may be packed both rest on it.
int service01DataLength(std::uint8_t pid);
