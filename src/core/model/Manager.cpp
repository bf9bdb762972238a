#include "core/model/Manager.h"

#include <utility>

#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

namespace fs = std::filesystem;

namespace {

bool saveArchive(const char* fileName, const fnd::KeyedArchiver& archive)
{
    return archive.writeToFile(fnd::Paths::documents() / fileName);
}

}  // namespace

template <typename Record>
Record Manager::loadArchive(const char* fileName)
{
    const fs::path file = fnd::Paths::documents() / fileName;
    fs::path keptAs;
    if (auto in = fnd::KeyedUnarchiver::fromFile(file, &keptAs)) {
        Record record = Record::fromArchive(*in);
        // What could be read is used; the file as it was is kept for the user, then replaced by what was
        // read, so that the next launch finds it whole and does not tell again.
        if (!in->damage().empty()) {
            const fs::path copy = fnd::copyAside(file);
            noteMended(fileName, copy);
            if (!copy.empty())
                noteSaveResult(record.archive().writeToFile(file), file.parent_path());
        }
        return record;
    }
    noteKeptAside(fileName, keptAs);

    Record defaults;
    std::error_code error;
    if (fs::exists(file, error)) {
        // Present but unreadable: leave it for the user rather than replace it.
        fnd::log(fnd::LogLevel::Error, std::string(fileName) + " could not be read; using defaults");
        report(fnd::format(fnd::L("Archive unreadable msg").c_str(), fileName));
    } else {
        const bool written = defaults.archive().writeToFile(file);
        if (written)
            fnd::log(fnd::LogLevel::Info, std::string(fileName) + ": defaults written");
        noteSaveResult(written, file.parent_path());
    }
    return defaults;
}

// A save killed half-way leaves its temporary file behind; those of writers that are gone are removed.
void Manager::removeStaleTemporaries()
{
    for (const char* archive : {settingsFileName, userDataFileName, fuelDataFileName, raceDataFileName})
        fnd::removeStaleTemporaries(fnd::Paths::documents() / archive);
}

Manager& Manager::sharedManager()
{
    static Manager manager;
    return manager;
}

Manager::Manager()
{
    load();
}

void Manager::load()
{
    removeStaleTemporaries();
    settings_ = loadArchive<Settings>(settingsFileName);
    userData_ = loadArchive<UserData>(userDataFileName);
    fuelData_ = loadArchive<FuelData>(fuelDataFileName);
    raceData_ = loadArchive<RaceData>(raceDataFileName);
    settings_.keepValidSensors(firstCustomSensorIndex + static_cast<int>(userData_.pids.size()));
}

const std::shared_ptr<Scanner>& Manager::scanner()
{
    if (!scanner_)
        setScanner(Scanner::ScannerForMode(settings_.deviceMode));
    return scanner_;
}

void Manager::setScanner(std::shared_ptr<Scanner> scanner)
{
    scanner_ = std::move(scanner);
    if (!scanner_)
        return;
    scanner_->setSettings(linkSettings());
    scanner_->setSupportedPIDsSink([](const SupportedPIDs& pids) { DataStore::sharedDataStore().setSupportedPIDs(pids); });
}

void Manager::updateLinkSettings()
{
    if (scanner_)
        scanner_->setSettings(linkSettings());
}

bool Manager::saveChanges()
{
    updateLinkSettings();
    // Every archive is attempted, so one failure does not cost the others.
    bool saved = saveArchive(settingsFileName, settings_.archive());
    saved = saveArchive(userDataFileName, userData_.archive()) && saved;
    saved = saveArchive(fuelDataFileName, fuelData_.archive()) && saved;
    saved = saveArchive(raceDataFileName, raceData_.archive()) && saved;
    if (!saved)
        fnd::log(fnd::LogLevel::Error, "saving the settings and records failed");
    noteSaveResult(saved, fnd::Paths::documents());
    return saved;
}

void Manager::noteSaveResult(bool saved, const std::filesystem::path& folder)
{
    if (saved) {
        saveFailing_ = false;
        return;
    }
    if (saveFailing_)
        return;
    saveFailing_ = true;
    report(fnd::format(fnd::L("Save failed msg").c_str(), folder.string()));
}

void Manager::report(std::string problem)
{
    storageProblems_.push_back(std::move(problem));
    fnd::NotificationCenter::defaultCenter().post(storageProblemNotification, this);
}

void Manager::noteKeptAside(const std::string& name, const std::filesystem::path& keptAs)
{
    if (!keptAs.empty())
        report(fnd::format(fnd::L("Archive kept aside msg").c_str(), name, keptAs.filename().string()));
}

void Manager::noteMended(const std::string& name, const std::filesystem::path& keptAs)
{
    report(keptAs.empty() ? fnd::format(fnd::L("Archive mended msg").c_str(), name)
                          : fnd::format(fnd::L("Archive mended kept msg").c_str(), name, keptAs.filename().string()));
}

std::vector<std::string> Manager::takeStorageProblems()
{
    return std::exchange(storageProblems_, {});
}

void Manager::resetForTesting()
{
    Manager& manager = sharedManager();
    manager.scanner_.reset();
    manager.adapterOverride_.reset();
    manager.storageProblems_.clear();
    manager.saveFailing_ = false;
    manager.load();
}

LinkSettings Manager::linkSettings() const
{
    LinkSettings link;
    link.adapter = adapterOverride_.value_or(AdapterAddress{settings_.hostIP, settings_.port});
    link.protocol = settings_.protocol;
    link.fastPolling = settings_.fastPollingEnabled;
    link.multiMessageCAN = settings_.multiMessageCANEnabled;
    link.speedWarning = settings_.speedLimitEnabled;
    link.temperatureWarning = settings_.highTempEnabled;
    return link;
}

void Manager::setAdapterOverride(std::optional<AdapterAddress> address)
{
    adapterOverride_ = std::move(address);
    updateLinkSettings();
}
