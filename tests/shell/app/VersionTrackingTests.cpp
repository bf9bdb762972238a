#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/UserDefaults.h"
#include "shell/VersionTracking.h"
#include "support/TestSupport.h"

namespace {

struct Launch {
    const char* version;
    const char* build;
    bool firstEver;
    bool firstForVersion;
};

// Launches in a row, each with what the screens must be told.
TEST(VersionTracking, AnswersForASequenceOfLaunches)
{
    testsupport::freshDocuments();
    const std::vector<Launch> launches = {
        {"1.0.0", "1", true, true},    // installed
        {"1.0.0", "1", false, false},  // started again
        {"1.0.0", "2", false, false},  // a new build of the same version
        {"1.1.0", "3", false, true},   // updated
        {"1.1.0", "3", false, false},
        {"1.0.0", "1", false, false},  // an older version again is not new
    };
    for (const Launch& launch : launches) {
        SCOPED_TRACE(std::string(launch.version) + " build " + launch.build);
        VersionTracking::track(launch.version, launch.build);
        EXPECT_EQ(VersionTracking::isFirstLaunchEver(), launch.firstEver);
        EXPECT_EQ(VersionTracking::isFirstLaunchForVersion(), launch.firstForVersion);
    }
    EXPECT_EQ(VersionTracking::versionHistory(), (std::vector<std::string>{"1.0.0", "1.1.0"}));
    EXPECT_EQ(VersionTracking::buildHistory(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(VersionTracking, TrailIsKeptInTheUserDefaults)
{
    testsupport::freshDocuments();
    VersionTracking::track("2.0.0", "7");
    const nlohmann::json stored = fnd::UserDefaults::standard().objectForKey(VersionTracking::trailKey);
    EXPECT_EQ(stored, (nlohmann::json{{"versions", {"2.0.0"}}, {"builds", {"7"}}}));
}

// A damaged trail must neither crash the start-up nor hide the hints forever.
TEST(VersionTracking, DamagedTrailStartsAgain)
{
    const std::vector<nlohmann::json> damaged = {
        "not a trail",
        nlohmann::json::array({1, 2}),
        {{"versions", 5}, {"builds", "x"}},
        {{"versions", {3, nullptr}}},
    };
    for (const nlohmann::json& trail : damaged) {
        SCOPED_TRACE(trail.dump());
        testsupport::freshDocuments();
        fnd::UserDefaults::standard().setObject(VersionTracking::trailKey, trail);
        VersionTracking::track("1.0.0", "1");
        EXPECT_TRUE(VersionTracking::isFirstLaunchEver());
        EXPECT_TRUE(VersionTracking::isFirstLaunchForVersion());
        EXPECT_EQ(VersionTracking::versionHistory(), std::vector<std::string>{"1.0.0"});
    }
}

TEST(VersionTracking, ForeignEntriesInTheListsAreDropped)
{
    testsupport::freshDocuments();
    fnd::UserDefaults::standard().setObject(VersionTracking::trailKey,
                                            {{"versions", {"0.9.0", 12, "1.0.0"}}, {"builds", {"1"}}});
    VersionTracking::track("1.0.0", "2");
    EXPECT_FALSE(VersionTracking::isFirstLaunchEver());
    EXPECT_FALSE(VersionTracking::isFirstLaunchForVersion());
    EXPECT_EQ(VersionTracking::versionHistory(), (std::vector<std::string>{"0.9.0", "1.0.0"}));
}

}  // namespace
