#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/geo/LocationSource.h"

namespace geo {

// The platform's answer to "may this application use the location?".
enum class AuthorizationStatus {
    NotDetermined = 0,
    Restricted = 1,
    Denied = 2,
    AuthorizedAlways = 3,
    AuthorizedWhenInUse = 4,
};

// The process-wide location service, as the phone's system runs it: it
// connects to one source when the application starts and keeps the newest fix,
// which every location manager reports as its last known location.
//
// Sources, first usable wins: test injection; an NMEA replay file; gpsd.
// With a source the application is authorized, without one it is denied;
// the answer is known at once and never "not determined".
class LocationService {
public:
    enum class SourceKind { None, Injection, Replay, Gpsd };

    struct Sources {
        std::filesystem::path replayFile;  // --gps-replay or NORVALE_GPS_REPLAY
        bool gpsd = true;
        std::string gpsdHost = "127.0.0.1";
        std::uint16_t gpsdPort = 2947;
    };
    // The sources this run should use: `replayFile` when given, else
    // NORVALE_GPS_REPLAY; gpsd from NORVALE_GPSD ("HOST:PORT", or "off").
    static Sources sourcesFromEnvironment(const std::filesystem::path& replayFile = {});

    static LocationService& shared();

    // Replaces the current source by the first usable one of `sources`.
    // Returns an error message when a replay file was named but cannot be
    // read (there is then no source).
    std::string start(const Sources& sources);
    // Tests: fixes come from inject() alone.
    void startInjection();
    void inject(const Location& location, std::optional<double> trueHeading = {});
    // No source: denied, no last location.
    void stop();

    SourceKind sourceKind() const { return kind_; }
    AuthorizationStatus authorizationStatus() const;
    // Whether fixes can arrive now (false while gpsd cannot be reached).
    bool isReachable() const;
    const std::optional<Location>& lastLocation() const { return last_; }

    // Receivers of every fix and outage (location managers).
    struct Listener {
        virtual ~Listener() = default;
        virtual void serviceDidReceive(const Fix& fix) = 0;
        virtual void serviceLostSource(const std::string& message) = 0;
    };
    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    LocationService(const LocationService&) = delete;
    LocationService& operator=(const LocationService&) = delete;

private:
    LocationService() = default;
    ~LocationService();
    SourceEvents events();
    void receive(const Fix& fix);
    void lost(const std::string& message);

    SourceKind kind_ = SourceKind::None;
    std::unique_ptr<LocationSource> source_;
    std::optional<Location> last_;
    std::vector<Listener*> listeners_;
};

}  // namespace geo
