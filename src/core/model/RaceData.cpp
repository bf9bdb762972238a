#include "core/model/RaceData.h"

#include <nlohmann/json.hpp>


fnd::KeyedArchiver RaceData::archive() const
{
    fnd::KeyedArchiver out;
    nlohmann::json tracks = nlohmann::json::array();
    for (const auto& track : trackArr)
        tracks.push_back(track.toJson());
    out.encode("trackArr", tracks);
    out.encode("selectedTrackIndex", selectedTrackIndex);
    return out;
}

RaceData RaceData::fromArchive(const fnd::KeyedUnarchiver& in)
{
    RaceData data;
    if (const auto tracks = in.decodeObject("trackArr"); tracks.is_array()) {
        for (const auto& element : tracks) {
            if (auto track = Track::fromJson(element))
                data.trackArr.push_back(std::move(*track));
            else
                in.noteDamage("an unreadable saved track was left out");
        }
    } else if (!tracks.is_null()) {
        in.noteDamage("the saved tracks are not a list; none could be read");
    }
    data.selectedTrackIndex = in.decodeInt("selectedTrackIndex", -1);
    if (data.selectedTrackIndex < -1 || data.selectedTrackIndex >= static_cast<int>(data.trackArr.size()))
        data.selectedTrackIndex = -1;
    return data;
}
