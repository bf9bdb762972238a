#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/LinkSettings.h"
#include "core/model/FuelData.h"
#include "core/model/RaceData.h"
#include "core/model/Settings.h"
#include "core/model/UserData.h"

class Scanner;

// The one application-wide holder of the adapter link and the four persisted
// records, each kept in its own archive in the Documents folder.
class Manager {
public:
    static Manager& sharedManager();

    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    Settings& setting() { return settings_; }
    UserData& userData() { return userData_; }
    FuelData& fuelData() { return fuelData_; }
    RaceData& raceData() { return raceData_; }

    // The adapter link for Settings.deviceMode, made on first use. The Manager
    // hands it linkSettings() and stores the supported PIDs it reads in DataStore.
    const std::shared_ptr<Scanner>& scanner();
    // Replaces the link (a new adapter type, or a test's own link).
    void setScanner(std::shared_ptr<Scanner> scanner);

    // What the link is given of the settings. The adapter address is the one given
    // for this run (never saved), else Settings.hostIP and port.
    LinkSettings linkSettings() const;
    void setAdapterOverride(std::optional<AdapterAddress> address);

    // Writes all four archives, each atomically; true when every one was written.
    // The link is handed the settings as they now are.
    bool saveChanges();
    // The outcome of a save of the user's data into `folder`, by saveChanges() or
    // by a feature screen writing a file of its own: a failure is reported once
    // (see takeStorageProblems), and again only after a save has worked since.
    void noteSaveResult(bool saved, const std::filesystem::path& folder);

    // What the user is to be told about the saved data, oldest first, in words
    // for the screen: an archive that could not be read and where it was kept,
    // saving that fails. Each is posted as storageProblemNotification as it
    // arises (those of the launch before anyone listens); the shell shows and
    // takes them.
    std::vector<std::string> takeStorageProblems();
    // Tells the user that the file `name` could not be read and was kept as `keptAs` (empty: not kept).
    void noteKeptAside(const std::string& name, const std::filesystem::path& keptAs);
    // Part of the file `name` could not be used and was left out; the file as it was is kept as `keptAs`.
    void noteMended(const std::string& name, const std::filesystem::path& keptAs);

    // Reloads the shared Manager from the current Documents folder and drops its
    // link, as at launch. References to its records stay valid.
    static void resetForTesting();

    static constexpr const char* settingsFileName = "settings.data";
    static constexpr const char* userDataFileName = "userdata.data";
    static constexpr const char* fuelDataFileName = "fuelData.data";
    static constexpr const char* raceDataFileName = "raceData.data";

private:
    Manager();
    // A missing archive gives the defaults, which are written at once (the first
    // run); a corrupt one gives the defaults and is kept aside by the unarchiver.
    void load();
    template <typename Record>
    Record loadArchive(const char* fileName);
    void removeStaleTemporaries();
    void report(std::string problem);
    void updateLinkSettings();

    Settings settings_;
    UserData userData_;
    FuelData fuelData_;
    RaceData raceData_;
    std::shared_ptr<Scanner> scanner_;
    std::optional<AdapterAddress> adapterOverride_;
    std::vector<std::string> storageProblems_;
    bool saveFailing_ = false;
};
