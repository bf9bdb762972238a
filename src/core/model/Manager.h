#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/model/FuelData.h"
#include "core/model/RaceData.h"
#include "core/model/Settings.h"
#include "core/model/UserData.h"

class Scanner;

// The one application-wide holder of the adapter link and the four persisted
// records, each kept in its own archive in the Documents folder.
// Where the Wi-Fi adapter is reached.
struct AdapterAddress {
    std::string host;
    unsigned port = 0;
};

class Manager {
public:
    static Manager& sharedManager();

    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    Settings& setting() { return settings_; }
    UserData& userData() { return userData_; }
    FuelData& fuelData() { return fuelData_; }
    RaceData& raceData() { return raceData_; }

    // The adapter link for Settings.deviceMode, made on first use.
    const std::shared_ptr<Scanner>& scanner();
    // Replaces the link (a new adapter type, or a test's own link).
    void setScanner(std::shared_ptr<Scanner> scanner);

    // The adapter address the link connects to: the one given for this run
    // (never saved), else Settings.hostIP and port.
    AdapterAddress adapterAddress() const;
    void setAdapterOverride(std::optional<AdapterAddress> address) { adapterOverride_ = std::move(address); }

    // Writes all four archives, each atomically; true when every one was written.
    bool saveChanges();

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

    Settings settings_;
    UserData userData_;
    FuelData fuelData_;
    RaceData raceData_;
    std::shared_ptr<Scanner> scanner_;
    std::optional<AdapterAddress> adapterOverride_;
};
