#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "platform/geo/Location.h"

// A saved lap-timing track: its name, the outline as drawn (PNG), its length
// and the outline's locations in driving order.
struct Track {
    Track() = default;
    Track(std::string name, std::vector<std::uint8_t> image, std::vector<geo::Location> coordinates, float distance);

    std::string trackName;
    std::vector<std::uint8_t> trackImgData;  // PNG
    float trackDistance = 0;                 // in the distance unit it was saved with
    std::vector<geo::Location> trackCoordinateArr;

    nlohmann::json toJson() const;
    // nullopt unless the value is an object with a name; unreadable locations are left out.
    static std::optional<Track> fromJson(const nlohmann::json& value);

    friend bool operator==(const Track&, const Track&) = default;
};
