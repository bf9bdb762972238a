#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The readiness monitors of service 01 PID 01 (SAE J1979): three continuous monitors in byte B and
// eight others in bytes C (supported) and D (not complete). Names in row order.
inline constexpr std::array<const char*, 11> kMonitorNames = {
    "Misfire",           "Fuel system",          "Components",    "Catalyst",         "Heated Catalyst",
    "Evaporative system", "Secondary air system", "A/C refrigerent", "Oxygen sensor", "O2 sensor heater",
    "EGR system"};

enum class MonitorState { Unsupported = 0, Incomplete = 1, Complete = 2 };

// Each monitor's state from the data bytes A, B, C, D; nothing when a byte is missing.
std::optional<std::array<MonitorState, 11>> readMonitors(std::span<const std::uint8_t> data);
