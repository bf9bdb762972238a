#pragma once

#include <vector>

#include "core/model/Track.h"
#include "platform/foundation/KeyedArchiver.h"

// The persisted saved tracks (archive "raceData.data").
struct RaceData {
    std::vector<Track> trackArr;  // in the order saved
    int selectedTrackIndex = -1;  // -1: no track selected

    fnd::KeyedArchiver archive() const;
    // Unreadable tracks are left out (and noted on `in`); a selection that points past
    // the tracks becomes -1.
    static RaceData fromArchive(const fnd::KeyedUnarchiver& in);
};
