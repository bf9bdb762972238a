#include "platform/geo/Location.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <nlohmann/json.hpp>

namespace geo {

namespace {

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

double number(const nlohmann::json& object, const char* key, double fallback)
{
    const auto it = object.find(key);
    return it != object.end() && it->is_number() ? it->get<double>() : fallback;
}

}  // namespace

double Location::distanceFrom(const Location& other) const
{
    const double lat1 = radians(coordinate.latitude);
    const double lat2 = radians(other.coordinate.latitude);
    const double dLat = lat2 - lat1;
    const double dLon = radians(other.coordinate.longitude - coordinate.longitude);
    const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dLon / 2), 2);
    // Rounding can push h a hair past 1 for antipodal points; asin would then give NaN.
    return 2 * meanEarthRadius * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

nlohmann::json toJson(const Location& location)
{
    return {
        {"latitude", location.coordinate.latitude},
        {"longitude", location.coordinate.longitude},
        {"altitude", location.altitude},
        {"horizontalAccuracy", location.horizontalAccuracy},
        {"verticalAccuracy", location.verticalAccuracy},
        {"course", location.course},
        {"speed", location.speed},
        {"timestamp", location.timestamp.secondsSince1970},
    };
}

std::optional<Location> locationFromJson(const nlohmann::json& value)
{
    if (!value.is_object() || !value.contains("latitude") || !value["latitude"].is_number() ||
        !value.contains("longitude") || !value["longitude"].is_number())
        return std::nullopt;
    const Location defaults;
    Location location;
    location.coordinate = {value["latitude"].get<double>(), value["longitude"].get<double>()};
    location.altitude = number(value, "altitude", defaults.altitude);
    location.horizontalAccuracy = number(value, "horizontalAccuracy", defaults.horizontalAccuracy);
    location.verticalAccuracy = number(value, "verticalAccuracy", defaults.verticalAccuracy);
    location.course = number(value, "course", defaults.course);
    location.speed = number(value, "speed", defaults.speed);
    location.timestamp.secondsSince1970 = number(value, "timestamp", defaults.timestamp.secondsSince1970);
    return location;
}

}  // namespace geo
