#pragma once

#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "platform/foundation/Date.h"

namespace geo {

// Degrees, WGS 84.
struct Coordinate {
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const Coordinate&, const Coordinate&) = default;
};

// One position fix. A negative accuracy, course or speed means "unknown", as the
// platform's location services report it.
struct Location {
    Coordinate coordinate;
    double altitude = 0;            // metres above sea level
    double horizontalAccuracy = 0;  // metres
    double verticalAccuracy = 0;    // metres
    double course = -1;             // degrees clockwise from true north
    double speed = -1;              // metres per second
    fnd::Date timestamp;

    // Great-circle distance in metres (haversine on the mean Earth sphere).
    double distanceFrom(const Location& other) const;

    friend bool operator==(const Location&, const Location&) = default;
};

inline constexpr double meanEarthRadius = 6371008.8;  // metres

// The archive form of a location: an object of named numbers.
nlohmann::json toJson(const Location& location);
// nullopt unless the value is an object with a numeric latitude and longitude;
// other missing fields take their defaults.
std::optional<Location> locationFromJson(const nlohmann::json& value);

}  // namespace geo
