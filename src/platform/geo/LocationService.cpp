#include "platform/geo/LocationService.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include <QCoreApplication>

#include "platform/foundation/Log.h"
#include "platform/geo/GpsdClient.h"
#include "platform/geo/NmeaReplay.h"

namespace geo {

namespace {

// "HOST:PORT" with a port of 1 to 65535.
bool parseHostAndPort(const std::string& text, std::string& host, std::uint16_t& port)
{
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    unsigned value = 0;
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || value == 0 || value > 65535)
        return false;
    host = text.substr(0, colon);
    port = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace

LocationService::Sources LocationService::sourcesFromEnvironment(const std::filesystem::path& replayFile)
{
    Sources sources;
    sources.replayFile = replayFile;
    if (sources.replayFile.empty())
        if (const char* env = std::getenv("NORVALE_GPS_REPLAY"); env != nullptr)
            sources.replayFile = env;
    if (const char* env = std::getenv("NORVALE_GPSD"); env != nullptr && *env != '\0') {
        const std::string value = env;
        if (value == "off")
            sources.gpsd = false;
        else if (!parseHostAndPort(value, sources.gpsdHost, sources.gpsdPort))
            fnd::log(fnd::LogLevel::Warning, "NORVALE_GPSD takes HOST:PORT or off, not \"" + value + "\"");
    }
    return sources;
}

LocationService& LocationService::shared()
{
    static LocationService service;
    static const bool releasedWithQt = [] {
        // A gpsd connection is a Qt socket: it must go before the application object.
        qAddPostRoutine([] { LocationService::shared().stop(); });
        return true;
    }();
    (void)releasedWithQt;
    return service;
}

LocationService::~LocationService() = default;

SourceEvents LocationService::events()
{
    return {[this](const Fix& fix) { receive(fix); }, [this](const std::string& message) { lost(message); }};
}

std::string LocationService::start(const Sources& sources)
{
    stop();
    if (!sources.replayFile.empty()) {
        std::string error;
        auto replay = NmeaReplay::open(sources.replayFile, events(), error);
        if (!replay) {
            fnd::log(fnd::LogLevel::Error, error);
            return error;
        }
        source_ = std::move(replay);
        kind_ = SourceKind::Replay;
    } else if (sources.gpsd) {
        source_ = std::make_unique<GpsdClient>(sources.gpsdHost, sources.gpsdPort, events());
        kind_ = SourceKind::Gpsd;
    } else {
        return {};
    }
    source_->start();
    return {};
}

void LocationService::startInjection()
{
    stop();
    kind_ = SourceKind::Injection;
}

void LocationService::inject(const Location& location, std::optional<double> trueHeading)
{
    if (kind_ == SourceKind::Injection)
        receive({location, trueHeading});
}

void LocationService::stop()
{
    source_.reset();
    kind_ = SourceKind::None;
    last_.reset();
}

AuthorizationStatus LocationService::authorizationStatus() const
{
    return kind_ == SourceKind::None ? AuthorizationStatus::Denied : AuthorizationStatus::AuthorizedWhenInUse;
}

bool LocationService::isReachable() const
{
    if (kind_ == SourceKind::Injection)
        return true;
    return source_ != nullptr && source_->isReachable();
}

void LocationService::addListener(Listener* listener)
{
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void LocationService::removeListener(Listener* listener)
{
    std::erase(listeners_, listener);
}

void LocationService::receive(const Fix& fix)
{
    last_ = fix.location;
    for (Listener* listener : std::vector<Listener*>(listeners_))
        listener->serviceDidReceive(fix);
}

void LocationService::lost(const std::string& message)
{
    for (Listener* listener : std::vector<Listener*>(listeners_))
        listener->serviceLostSource(message);
}

}  // namespace geo
