#include <cmath>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "platform/geo/Location.h"

namespace {

geo::Location at(double latitude, double longitude)
{
    geo::Location location;
    location.coordinate = {latitude, longitude};
    return location;
}

struct DistanceCase {
    const char* name;
    geo::Coordinate from;
    geo::Coordinate to;
    double metres;
    double tolerance;
};

TEST(Location, GreatCircleDistances)
{
    const double quarter = geo::meanEarthRadius * M_PI / 2;
    const DistanceCase cases[] = {
        {"same point", {48.1, 11.5}, {48.1, 11.5}, 0, 1e-9},
        {"one degree of latitude", {0, 0}, {1, 0}, geo::meanEarthRadius * M_PI / 180, 1e-6},
        {"equator to pole", {0, 0}, {90, 0}, quarter, 1e-6},
        {"across the date line", {0, 179.5}, {0, -179.5}, geo::meanEarthRadius * M_PI / 180, 1e-6},
        // Haversine loses precision near antipodes; it must still be finite and close.
        {"antipodes", {10, 20}, {-10, -160}, 2 * quarter, 1},
        // Paris to London on the mean sphere.
        {"Paris to London", {48.8566, 2.3522}, {51.5074, -0.1278}, 343'560, 500},
    };
    for (const auto& c : cases) {
        const double there = at(c.from.latitude, c.from.longitude).distanceFrom(at(c.to.latitude, c.to.longitude));
        const double back = at(c.to.latitude, c.to.longitude).distanceFrom(at(c.from.latitude, c.from.longitude));
        EXPECT_NEAR(there, c.metres, c.tolerance) << c.name;
        EXPECT_NEAR(there, back, 1e-6) << c.name << " is not symmetric";
    }
}

TEST(Location, JsonRoundTripKeepsEveryField)
{
    geo::Location location = at(-33.8688, 151.2093);
    location.altitude = 58.5;
    location.horizontalAccuracy = 4.2;
    location.verticalAccuracy = 7.5;
    location.course = 271.25;
    location.speed = 13.9;
    location.timestamp.secondsSince1970 = 1700000123.25;

    const auto back = geo::locationFromJson(nlohmann::json::parse(geo::toJson(location).dump()));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, location);
}

TEST(Location, JsonWithoutCoordinatesIsRejected)
{
    const char* bad[] = {R"(null)", R"([1, 2])", R"({"latitude": 1})", R"({"latitude": "1", "longitude": 2})"};
    for (const char* text : bad)
        EXPECT_FALSE(geo::locationFromJson(nlohmann::json::parse(text)).has_value()) << text;

    const auto sparse = geo::locationFromJson(nlohmann::json::parse(R"({"latitude": 1, "longitude": 2, "speed": "fast"})"));
    ASSERT_TRUE(sparse.has_value());
    EXPECT_EQ(sparse->coordinate, (geo::Coordinate{1, 2}));
    EXPECT_EQ(sparse->speed, -1) << "a field of the wrong type takes its default";
}

}  // namespace
