#include "core/model/Track.h"

#include <array>
#include <cmath>
#include <limits>
#include <string_view>

#include <nlohmann/json.hpp>

namespace {

constexpr std::string_view base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toBase64(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (count > 1)
            group |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (count > 2)
            group |= bytes[i + 2];
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= count ? base64Alphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return text;
}

// nullopt when the text is not base64.
std::optional<std::vector<std::uint8_t>> fromBase64(std::string_view text)
{
    while (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    std::vector<std::uint8_t> bytes;
    std::uint32_t group = 0;
    int bits = 0;
    for (const char c : text) {
        const auto value = base64Alphabet.find(c);
        if (value == std::string_view::npos)
            return std::nullopt;
        group = (group << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>((group >> bits) & 0xFF));
        }
    }
    return bytes;
}

}  // namespace

Track::Track(std::string name, std::vector<std::uint8_t> image, std::vector<geo::Location> coordinates, float distance)
    : trackName(std::move(name)),
      trackImgData(std::move(image)),
      trackDistance(distance),
      trackCoordinateArr(std::move(coordinates))
{
}

nlohmann::json Track::toJson() const
{
    nlohmann::json coordinates = nlohmann::json::array();
    for (const auto& location : trackCoordinateArr)
        coordinates.push_back(geo::toJson(location));
    return {
        {"trackName", trackName},
        {"trackImgData", toBase64(trackImgData)},
        {"trackDistance", trackDistance},
        {"trackCoordinateArr", coordinates},
    };
}

std::optional<Track> Track::fromJson(const nlohmann::json& value)
{
    if (!value.is_object() || !value.contains("trackName") || !value["trackName"].is_string())
        return std::nullopt;
    Track track;
    track.trackName = value["trackName"].get<std::string>();
    if (const auto it = value.find("trackImgData"); it != value.end() && it->is_string())
        track.trackImgData = fromBase64(it->get_ref<const std::string&>()).value_or(std::vector<std::uint8_t>());
    // Beyond a float's range the distance would be infinite, which cannot be saved: it is left out.
    if (const auto it = value.find("trackDistance");
        it != value.end() && it->is_number() && std::abs(it->get<double>()) <= std::numeric_limits<float>::max())
        track.trackDistance = it->get<float>();
    if (const auto it = value.find("trackCoordinateArr"); it != value.end() && it->is_array()) {
        for (const auto& element : *it) {
            if (auto location = geo::locationFromJson(element))
                track.trackCoordinateArr.push_back(*location);
        }
    }
    return track;
}
