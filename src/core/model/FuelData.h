#pragma once

#include <string>
#include <vector>

#include "platform/foundation/KeyedArchiver.h"

// The persisted daily fuel log (archive "fuelData.data"): six parallel arrays,
// one entry per logged day, newest day first.
struct FuelData {
    std::vector<std::string> dateArr;  // day key "MMM d, yyyy"
    std::vector<float> dataArr;        // average fuel economy, US mpg
    std::vector<float> fuelArr;        // fuel used, US gallons
    std::vector<float> speedArr;       // average speed, mph
    std::vector<float> distanceArr;    // miles
    std::vector<float> costArr;        // Settings.fuelCost x gallons

    std::size_t dayCount() const { return dateArr.size(); }

    // Every archived field once, for the archive helpers.
    template <typename Self, typename Visitor>
    static void visitFields(Self& record, Visitor&& field);

    fnd::KeyedArchiver archive() const;
    // Arrays of unequal length (a damaged file) are cut to the shortest, so
    // that every day keeps all six values; the loss is noted on `in`.
    static FuelData fromArchive(const fnd::KeyedUnarchiver& in);
};
