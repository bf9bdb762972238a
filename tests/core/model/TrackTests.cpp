#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/model/Track.h"

namespace {

using nlohmann::json;

TEST(Track, ReadsBackWhatItSavedAndLeavesOutWhatCannotBeSaved)
{
    geo::Location corner;
    corner.coordinate = {47.2235, 8.8179};
    const Track saved("Home loop", {0x89, 'P', 'N', 'G'}, {corner}, 2.4f);
    EXPECT_EQ(Track::fromJson(json::parse(saved.toJson().dump())), saved);

    // A distance beyond a float would be infinite, saved as null: it reads as no distance at all.
    const auto huge = Track::fromJson(json{{"trackName", "Strip"}, {"trackDistance", 1e300}});
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->trackDistance, 0);
    EXPECT_EQ(Track::fromJson(json::parse(huge->toJson().dump())), huge);
}

}  // namespace
