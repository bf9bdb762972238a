#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The launch history of each version and build, kept in the user defaults under "kVersionTrail"
// ({"versions": [...], "builds": [...]}, oldest first, each entry once). Screens ask it whether to show
// their first-launch hints.
class VersionTracking {
public:
    static constexpr const char* trailKey = "kVersionTrail";
    // The most versions (and builds) read back from the stored trail.
    static constexpr std::size_t maxTrailLength = 1000;

    // Records this launch. Called once at start-up, before the questions below (which answer false
    // until then).
    static void track(const std::string& version, const std::string& build);

    static bool isFirstLaunchEver();
    static bool isFirstLaunchForVersion();

    // Every version and build launched so far, this one included, oldest first.
    static const std::vector<std::string>& versionHistory();
    static const std::vector<std::string>& buildHistory();
};
