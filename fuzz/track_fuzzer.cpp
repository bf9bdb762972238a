// A saved lap-timing track of any JSON: read, saved and read back unchanged.
#include <cstdint>

#include <nlohmann/json.hpp>

#include "core/model/Track.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto value = nlohmann::json::parse(data, data + size, nullptr, false);
    const auto track = Track::fromJson(value);
    if (!track)
        return 0;
    const auto text = track->toJson().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (Track::fromJson(nlohmann::json::parse(text)) != track)
        __builtin_trap();
    return 0;
}
