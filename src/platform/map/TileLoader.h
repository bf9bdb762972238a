#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/ui/Image.h"

namespace net {
class UrlSession;
}

namespace map {

enum class MapType { Standard = 0, Satellite = 1 };

// One square of a zoom level z: 2^z tiles each way, (0, 0) at the north-west.
struct TileKey {
    MapType type = MapType::Standard;
    int z = 0;
    int x = 0;
    int y = 0;
    auto operator<=>(const TileKey&) const = default;
};

// Where map pictures come from: OpenStreetMap-style URL templates with {z},
// {x} and {y}. An empty standard template means no tiles: the map is offline.
struct TileSettings {
    std::string standardUrl;
    std::string satelliteUrl;  // empty: the standard tiles
    std::string attribution;   // drawn in a corner of every map showing tiles
    std::filesystem::path cacheFolder;

    static constexpr const char* openStreetMapUrl = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    static constexpr const char* openStreetMapAttribution = "\u00a9 OpenStreetMap contributors";
    // NORVALE_TILE_URL (a template, or "off"), NORVALE_SATELLITE_TILE_URL,
    // NORVALE_TILE_ATTRIBUTION; the public OpenStreetMap server by default.
    // The cache is $NORVALE_HOME/cache/tiles when NORVALE_HOME is set, else
    // $XDG_CACHE_HOME (or ~/.cache) /norvale/tiles.
    static TileSettings fromEnvironment();
};

// Fetches tiles as maps show them, one at a time per tile and two at most at
// once, with an identifying User-Agent, and keeps them in memory and on disk;
// nothing is fetched ahead of being shown. A tile on disk older than a week
// is shown and fetched again. Main thread only.
class TileLoader {
public:
    static TileLoader& shared();
    TileLoader();
    ~TileLoader();
    TileLoader(const TileLoader&) = delete;
    TileLoader& operator=(const TileLoader&) = delete;

    const TileSettings& settings() const { return settings_; }
    // Forgets the tiles held in memory and the requests not yet sent.
    void setSettings(TileSettings settings);
    bool hasSource() const { return !settings_.standardUrl.empty(); }

    // The tile when it is at hand; otherwise nullopt, and it is fetched (once)
    // and every observer hears when it arrives.
    std::optional<ui::Image> tile(const TileKey& key);
    // No tile source, or the last request got no answer from the server.
    bool isOffline() const { return !hasSource() || offline_; }

    std::string urlFor(const TileKey& key) const;
    std::filesystem::path cacheFileFor(const TileKey& key) const;

    using ObserverId = std::uint64_t;
    ObserverId addObserver(std::function<void()> observer);
    void removeObserver(ObserverId id);

    static constexpr int maximumZoom = 19;
    static constexpr std::size_t tilesInMemory = 256;
    static constexpr int requestsAtOnce = 2;
    static constexpr double cacheLifetime = 7 * 24 * 3600.0;  // seconds
    static constexpr double retryAfterFailure = 60;         // seconds on the run loop's clock

private:
    void remember(const TileKey& key, const ui::Image& image);
    void request(const TileKey& key);
    void sendNext();
    void received(const TileKey& key, int status, const std::string& body, bool answered);
    void notify();
    void releaseNetwork();

    TileSettings settings_;
    std::unique_ptr<net::UrlSession> session_;
    std::map<TileKey, std::pair<ui::Image, std::list<TileKey>::iterator>> memory_;
    std::list<TileKey> recent_;  // most recently used first
    std::deque<TileKey> waiting_;
    std::set<TileKey> wanted_;   // waiting or in flight
    std::map<TileKey, double> failedUntil_;
    int inFlight_ = 0;
    bool offline_ = false;
    std::uint64_t generation_ = 0;  // requests of older settings are ignored
    std::map<ObserverId, std::function<void()>> observers_;
    ObserverId nextObserver_ = 1;
    // Expires with the loader, so replies that come later are dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace map
