#include "shell/VersionTracking.h"

#include <algorithm>

#include "platform/foundation/UserDefaults.h"

namespace {

struct Trail {
    bool firstLaunchEver = false;
    bool firstLaunchForVersion = false;
    std::vector<std::string> versions;
    std::vector<std::string> builds;
};

Trail& trail()
{
    static Trail state;
    return state;
}

// The strings of one list of the stored trail; anything else in it is dropped, and noted.
std::vector<std::string> storedList(const nlohmann::json& stored, const char* key)
{
    std::vector<std::string> list;
    if (!stored.is_object() || !stored.contains(key))
        return list;
    if (!stored[key].is_array()) {
        fnd::UserDefaults::standard().noteDamage(std::string("the version trail's ") + key + " are not a list");
        return list;
    }
    for (const auto& entry : stored[key]) {
        if (entry.is_string() && list.size() < VersionTracking::maxTrailLength)
            list.push_back(entry.get<std::string>());
        else if (!entry.is_string())
            fnd::UserDefaults::standard().noteDamage(std::string("an entry of the version trail's ") + key +
                                                     " that is no text was left out");
    }
    if (stored[key].size() > VersionTracking::maxTrailLength)
        fnd::UserDefaults::standard().noteDamage(std::string("the version trail's ") + key + " were cut");
    return list;
}

// Returns whether the entry is new.
bool addOnce(std::vector<std::string>& list, const std::string& entry)
{
    if (std::find(list.begin(), list.end(), entry) != list.end())
        return false;
    list.push_back(entry);
    return true;
}

}  // namespace

void VersionTracking::track(const std::string& version, const std::string& build)
{
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();
    const nlohmann::json stored = defaults.objectForKey(trailKey);
    if (!stored.is_null() && !stored.is_object())
        defaults.noteDamage("version trail unreadable; starting a new one");

    Trail& state = trail();
    state.versions = storedList(stored, "versions");
    state.builds = storedList(stored, "builds");
    // A trail that lists no version at all counts as none: its launches cannot be told.
    state.firstLaunchEver = state.versions.empty();
    state.firstLaunchForVersion = addOnce(state.versions, version);
    addOnce(state.builds, build);

    defaults.setObject(trailKey, {{"versions", state.versions}, {"builds", state.builds}});
    defaults.synchronize();
}

bool VersionTracking::isFirstLaunchEver()
{
    return trail().firstLaunchEver;
}

bool VersionTracking::isFirstLaunchForVersion()
{
    return trail().firstLaunchForVersion;
}

const std::vector<std::string>& VersionTracking::versionHistory()
{
    return trail().versions;
}

const std::vector<std::string>& VersionTracking::buildHistory()
{
    return trail().builds;
}
