#pragma once

#include <optional>
#include <string>

#include "core/obd/Response.h"

struct Settings;
struct UserData;

// What a status reply of the link warns of, by the user's settings and units: a speed above the speed
// limit (in the speed sensor's unit, while the speed warning is on), or coolant or engine oil above
// 112 °C or 235 °F (both in the coolant sensor's unit). Values are whole units, as shown; a reply that is
// no number warns of nothing. How a screen answers, with a sound or an alert, is its own.
struct SensorWarning {
    enum class Kind { speeding, hotCoolant, hotOil };

    Kind kind = Kind::speeding;
    int value = 0;

    static constexpr int hotMetric = 112;    // °C
    static constexpr int hotImperial = 235;  // °F

    static std::optional<SensorWarning> of(const Response& response, const Settings& settings, const UserData& user);

    // The high-temperature alert's message with the value, as the user reads it.
    std::string message() const;
};
