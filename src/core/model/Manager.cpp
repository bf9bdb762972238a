#include "core/model/Manager.h"

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"

namespace fs = std::filesystem;

namespace {

template <typename Record>
Record loadArchive(const char* fileName)
{
    const fs::path file = fnd::Paths::documents() / fileName;
    if (auto in = fnd::KeyedUnarchiver::fromFile(file))
        return Record::fromArchive(*in);

    Record defaults;
    std::error_code error;
    if (fs::exists(file, error)) {
        // Present but unreadable: leave it for the user rather than replace it.
        fnd::log(fnd::LogLevel::Error, std::string(fileName) + " could not be read; using defaults");
    } else if (defaults.archive().writeToFile(file)) {
        fnd::log(fnd::LogLevel::Info, std::string(fileName) + ": defaults written");
    }
    return defaults;
}

bool saveArchive(const char* fileName, const fnd::KeyedArchiver& archive)
{
    return archive.writeToFile(fnd::Paths::documents() / fileName);
}

}  // namespace

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
    settings_ = loadArchive<Settings>(settingsFileName);
    userData_ = loadArchive<UserData>(userDataFileName);
    fuelData_ = loadArchive<FuelData>(fuelDataFileName);
    raceData_ = loadArchive<RaceData>(raceDataFileName);
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
    return saved;
}

void Manager::resetForTesting()
{
    Manager& manager = sharedManager();
    manager.scanner_.reset();
    manager.adapterOverride_.reset();
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
