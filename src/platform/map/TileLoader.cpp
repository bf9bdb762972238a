#include "platform/map/TileLoader.h"

#include <cstdlib>

#include <QCoreApplication>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/UrlSession.h"

namespace map {

namespace {

namespace fs = std::filesystem;

constexpr const char* userAgent = "Norvale/1.0 (vehicle diagnostics and lap timing for Linux)";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A stable short name for a URL template, so two servers' tiles never mix on disk.
std::string folderNameFor(const std::string& urlTemplate)
{
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (const unsigned char c : urlTemplate) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

void replaceAll(std::string& text, const std::string& what, const std::string& with)
{
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// Seconds since the file was written; nullopt when there is no such file.
std::optional<double> ageOf(const fs::path& file)
{
    std::error_code error;
    const auto written = fs::last_write_time(file, error);
    if (error)
        return std::nullopt;
    return std::chrono::duration<double>(fs::file_time_type::clock::now() - written).count();
}

}  // namespace

TileSettings TileSettings::fromEnvironment()
{
    TileSettings settings;
    const std::string standard = environment("NORVALE_TILE_URL");
    settings.standardUrl = standard.empty() ? openStreetMapUrl : standard == "off" ? "" : standard;
    settings.satelliteUrl = environment("NORVALE_SATELLITE_TILE_URL");
    const std::string attribution = environment("NORVALE_TILE_ATTRIBUTION");
    settings.attribution = !attribution.empty() ? attribution
                           : standard.empty()   ? openStreetMapAttribution
                                                : "";
    if (const std::string home = environment("NORVALE_HOME"); !home.empty())
        settings.cacheFolder = fs::path(home) / "cache" / "tiles";
    else if (const std::string cache = environment("XDG_CACHE_HOME"); !cache.empty())
        settings.cacheFolder = fs::path(cache) / "norvale" / "tiles";
    else
        settings.cacheFolder = fs::path(environment("HOME")) / ".cache" / "norvale" / "tiles";
    return settings;
}

TileLoader& TileLoader::shared()
{
    static TileLoader loader;
    static const bool releasedWithQt = [] {
        // The network session must go before the application object does.
        qAddPostRoutine([] { TileLoader::shared().releaseNetwork(); });
        return true;
    }();
    (void)releasedWithQt;
    return loader;
}

TileLoader::TileLoader() : settings_(TileSettings::fromEnvironment()), session_(std::make_unique<net::UrlSession>())
{
    session_->setUserAgent(userAgent);
}

TileLoader::~TileLoader() = default;

void TileLoader::releaseNetwork()
{
    session_.reset();
}

void TileLoader::setSettings(TileSettings settings)
{
    settings_ = std::move(settings);
    memory_.clear();
    recent_.clear();
    waiting_.clear();
    wanted_.clear();
    failedUntil_.clear();
    inFlight_ = 0;
    offline_ = false;
    ++generation_;
    notify();
}

std::string TileLoader::urlFor(const TileKey& key) const
{
    std::string url = key.type == MapType::Satellite && !settings_.satelliteUrl.empty() ? settings_.satelliteUrl
                                                                                          : settings_.standardUrl;
    replaceAll(url, "{z}", std::to_string(key.z));
    replaceAll(url, "{x}", std::to_string(key.x));
    replaceAll(url, "{y}", std::to_string(key.y));
    return url;
}

fs::path TileLoader::cacheFileFor(const TileKey& key) const
{
    const bool ownSatellite = key.type == MapType::Satellite && !settings_.satelliteUrl.empty();
    const std::string& source = ownSatellite ? settings_.satelliteUrl : settings_.standardUrl;
    return settings_.cacheFolder / folderNameFor(source) / std::to_string(key.z) / std::to_string(key.x) /
           (std::to_string(key.y) + ".tile");
}

std::optional<ui::Image> TileLoader::tile(const TileKey& requested)
{
    const int count = 1 << std::clamp(requested.z, 0, 30);
    if (!hasSource() || requested.z < 0 || requested.z > maximumZoom || requested.x < 0 || requested.y < 0 ||
        requested.x >= count || requested.y >= count)
        return std::nullopt;
    TileKey key = requested;
    if (settings_.satelliteUrl.empty())
        key.type = MapType::Standard;  // the same pictures: share them

    if (const auto found = memory_.find(key); found != memory_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second.second);
        return found->second.first;
    }
    const fs::path file = cacheFileFor(key);
    if (const auto bytes = fnd::readFile(file)) {
        if (const auto image = ui::Image::fromData(*bytes)) {
            if (ageOf(file).value_or(0) > cacheLifetime)
                request(key);
            remember(key, *image);
            return image;
        }
    }
    request(key);
    return std::nullopt;
}

void TileLoader::remember(const TileKey& key, const ui::Image& image)
{
    if (const auto found = memory_.find(key); found != memory_.end()) {
        found->second.first = image;
        return;
    }
    recent_.push_front(key);
    memory_.emplace(key, std::make_pair(image, recent_.begin()));
    if (memory_.size() > tilesInMemory) {
        memory_.erase(recent_.back());
        recent_.pop_back();
    }
}

void TileLoader::request(const TileKey& key)
{
    if (wanted_.contains(key))
        return;
    if (const auto failed = failedUntil_.find(key); failed != failedUntil_.end()) {
        if (fnd::RunLoop::main().now() < failed->second)
            return;
        failedUntil_.erase(failed);
    }
    wanted_.insert(key);
    waiting_.push_back(key);
    // Tiles scrolled past long ago are not worth fetching any more.
    while (waiting_.size() > tilesInMemory / 4) {
        wanted_.erase(waiting_.front());
        waiting_.pop_front();
    }
    sendNext();
}

void TileLoader::sendNext()
{
    while (session_ && inFlight_ < requestsAtOnce && !waiting_.empty()) {
        const TileKey key = waiting_.back();  // the newest first: what the map shows now
        waiting_.pop_back();
        ++inFlight_;
        session_->get(urlFor(key), [this, key, generation = generation_, alive = std::weak_ptr<int>(alive_)](
                                       const net::UrlResponse& response) {
            if (alive.expired() || generation != generation_)
                return;
            --inFlight_;
            received(key, response.status, response.body, response.error.empty());
            sendNext();
        });
    }
}

void TileLoader::received(const TileKey& key, int status, const std::string& body, bool answered)
{
    wanted_.erase(key);
    offline_ = !answered;
    const auto image = status == 200 ? ui::Image::fromData(body) : std::nullopt;
    if (!image) {
        if (answered)
            fnd::log(fnd::LogLevel::Warning, "Map tile " + urlFor(key) + ": HTTP " + std::to_string(status));
        failedUntil_[key] = fnd::RunLoop::main().now() + retryAfterFailure;
        notify();
        return;
    }
    fnd::writeFileAtomically(cacheFileFor(key), body);
    remember(key, *image);
    notify();
}

TileLoader::ObserverId TileLoader::addObserver(std::function<void()> observer)
{
    const ObserverId id = nextObserver_++;
    observers_.emplace(id, std::move(observer));
    return id;
}

void TileLoader::removeObserver(ObserverId id)
{
    observers_.erase(id);
}

void TileLoader::notify()
{
    for (const auto& [id, observer] : std::map(observers_))
        observer();
}

}  // namespace map
