#include "platform/geo/GpsdClient.h"

#include <cmath>
#include <ctime>

#include <nlohmann/json.hpp>

#include "platform/foundation/JsonText.h"
#include "platform/foundation/Log.h"

namespace geo {

namespace {

// gpsd's lines are short; a longer run without a newline is not gpsd talking.
constexpr std::size_t longestReport = 64 * 1024;
constexpr const char* watchCommand = "?WATCH={\"enable\":true,\"json\":true};\n";

std::optional<double> number(const nlohmann::json& report, const char* key)
{
    const auto it = report.find(key);
    if (it == report.end() || !it->is_number())
        return std::nullopt;
    const double value = it->get<double>();
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// "2024-05-01T12:34:56.789Z" as a date.
std::optional<fnd::Date> isoTime(const nlohmann::json& report)
{
    const auto it = report.find("time");
    if (it == report.end() || !it->is_string())
        return std::nullopt;
    const std::string text = it->get<std::string>();
    std::tm parts{};
    double seconds = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%lfZ", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                    &parts.tm_hour, &parts.tm_min, &seconds) != 6 ||
        seconds < 0 || seconds >= 61)
        return std::nullopt;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_sec = 0;
    const std::time_t whole = ::timegm(&parts);
    if (whole == -1)
        return std::nullopt;
    return fnd::Date{static_cast<double>(whole) + seconds};
}

}  // namespace

GpsdClient::GpsdClient(std::string host, std::uint16_t port, SourceEvents events)
    : host_(std::move(host)), port_(port), events_(std::move(events))
{
    stream_.setDelegate(this);
}

GpsdClient::~GpsdClient()
{
    retry_.cancel();
    stream_.setDelegate(nullptr);
    stream_.close();
}

void GpsdClient::start()
{
    connect();
}

void GpsdClient::connect()
{
    buffer_.clear();
    stream_.connectToHost(host_, port_, 10);
}

void GpsdClient::dropAndRetry(const std::string& message)
{
    const bool wasConnected = connected_;
    connected_ = false;
    down_ = true;
    stream_.close();
    if (wasConnected || retryDelay_ == firstRetryDelay)
        fnd::log(fnd::LogLevel::Warning, "gpsd at " + host_ + ":" + std::to_string(port_) + ": " + message);
    retry_ = fnd::after(retryDelay_, [this] { connect(); });
    retryDelay_ = std::min(retryDelay_ * 2, longestRetryDelay);
    if (events_.lost)
        events_.lost(message);
}

void GpsdClient::streamDidOpen(net::TcpStream& stream)
{
    connected_ = true;
    down_ = false;
    retryDelay_ = firstRetryDelay;
    stream.write(watchCommand);
}

void GpsdClient::streamHasBytes(net::TcpStream& stream)
{
    buffer_ += stream.read();
    std::size_t start = 0;
    for (auto end = buffer_.find('\n'); end != std::string::npos; end = buffer_.find('\n', start)) {
        const std::string line = buffer_.substr(start, end - start);
        start = end + 1;
        if (const auto fix = fixFromReport(line); fix && events_.fix)
            events_.fix(*fix);
    }
    buffer_.erase(0, start);
    if (buffer_.size() > longestReport)
        dropAndRetry("report too long");
}

void GpsdClient::streamError(net::TcpStream&, const std::string& message)
{
    dropAndRetry(message);
}

void GpsdClient::streamEnded(net::TcpStream&)
{
    dropAndRetry("connection closed");
}

std::optional<Fix> GpsdClient::fixFromReport(std::string_view line)
{
    const auto report = fnd::parseJson(line);
    if (!report.is_object())
        return std::nullopt;
    // Compared as JSON: a class that is not a string is simply not "TPV".
    if (const auto kind = report.find("class"); kind == report.end() || *kind != "TPV")
        return std::nullopt;
    const auto mode = number(report, "mode");
    const auto lat = number(report, "lat");
    const auto lon = number(report, "lon");
    if (!mode || *mode < 2 || !lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180)
        return std::nullopt;

    Fix fix;
    Location& location = fix.location;
    location.coordinate = {*lat, *lon};
    const auto eph = number(report, "eph");
    const auto epx = number(report, "epx");
    const auto epy = number(report, "epy");
    if (eph && *eph > 0)
        location.horizontalAccuracy = *eph;
    else if (epx && epy)
        location.horizontalAccuracy = std::hypot(*epx, *epy);
    else
        location.horizontalAccuracy = 10;
    auto altitude = number(report, "altMSL");
    if (!altitude)
        altitude = number(report, "alt");
    if (*mode >= 3 && altitude) {
        location.altitude = *altitude;
        const auto epv = number(report, "epv");
        location.verticalAccuracy = epv && *epv > 0 ? *epv : location.horizontalAccuracy * 1.5;
    } else {
        location.verticalAccuracy = -1;
    }
    if (const auto speed = number(report, "speed"); speed && *speed >= 0)
        location.speed = *speed;
    if (const auto track = number(report, "track"); track && *track >= 0 && *track <= 360)
        location.course = std::fmod(*track, 360.0);
    location.timestamp = isoTime(report).value_or(fnd::Date::now());
    return fix;
}

}  // namespace geo
