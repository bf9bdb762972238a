#include "platform/geo/Nmea.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace geo::nmea {

namespace {

constexpr double metresPerSecondPerKnot = 1852.0 / 3600.0;

// A whole field as a finite number; nullopt for empty or partly numeric text.
std::optional<double> number(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string_view field(const Sentence& sentence, std::size_t index)
{
    return index < sentence.fields.size() ? std::string_view(sentence.fields[index]) : std::string_view();
}

// "ddmm.mmmm": degreeDigits digits of degrees, then minutes below 60.
std::optional<double> parseAngle(std::string_view value, std::size_t degreeDigits, double limit)
{
    if (value.size() < degreeDigits + 2)
        return std::nullopt;
    const auto degrees = number(value.substr(0, degreeDigits));
    const auto minutes = number(value.substr(degreeDigits));
    if (!degrees || !minutes || *degrees < 0 || *minutes < 0 || *minutes >= 60)
        return std::nullopt;
    const double angle = *degrees + *minutes / 60.0;
    if (angle > limit)
        return std::nullopt;
    return angle;
}

std::optional<double> signedAngle(std::optional<double> angle, std::string_view hemisphere, char positive,
                                  char negative)
{
    if (!angle || hemisphere.size() != 1)
        return std::nullopt;
    if (hemisphere[0] == positive)
        return *angle;
    if (hemisphere[0] == negative)
        return -*angle;
    return std::nullopt;
}

std::optional<Coordinate> coordinate(const Sentence& s, std::size_t latIndex)
{
    const auto lat = parseLatitude(field(s, latIndex), field(s, latIndex + 1));
    const auto lon = parseLongitude(field(s, latIndex + 2), field(s, latIndex + 3));
    if (!lat || !lon)
        return std::nullopt;
    return Coordinate{*lat, *lon};
}

std::optional<double> course(std::string_view text)
{
    const auto value = number(text);
    if (!value || *value < 0 || *value > 360)
        return std::nullopt;
    return std::fmod(*value, 360.0);
}

std::optional<double> speedFromKnots(std::string_view text)
{
    const auto knots = number(text);
    if (!knots || *knots < 0)
        return std::nullopt;
    return *knots * metresPerSecondPerKnot;
}

// RMC: time, status, lat, N/S, lon, E/W, speed (knots), course, date, variation,
// E/W, mode (NMEA 2.3: N means no fix).
void takeRmc(const Sentence& s, Epoch& epoch)
{
    const bool valid = field(s, 1) == "A" && field(s, 11) != "N";
    if (!valid)
        return;
    if (const auto c = coordinate(s, 2)) {
        epoch.coordinate = c;
        if (const auto speed = speedFromKnots(field(s, 6)))
            epoch.speed = speed;
        if (const auto track = course(field(s, 7)))
            epoch.course = track;
    }
}

// GGA: time, lat, N/S, lon, E/W, quality, satellites, HDOP, altitude, M, ...
void takeGga(const Sentence& s, Epoch& epoch)
{
    const auto quality = number(field(s, 5));
    if (!quality || *quality <= 0)
        return;
    const auto c = coordinate(s, 1);
    if (!c)
        return;
    epoch.coordinate = c;
    if (const auto hdop = number(field(s, 7)); hdop && *hdop > 0)
        epoch.hdop = hdop;
    if (const auto altitude = number(field(s, 8)))
        epoch.altitude = altitude;
}

// VTG: course true, T, course magnetic, M, speed knots, N, speed km/h, K, mode.
void takeVtg(const Sentence& s, Epoch& epoch)
{
    if (field(s, 8) == "N")
        return;
    if (const auto track = course(field(s, 0)))
        epoch.course = track;
    if (const auto kmh = number(field(s, 6)); kmh && *kmh >= 0)
        epoch.speed = *kmh / 3.6;
    else if (const auto speed = speedFromKnots(field(s, 4)))
        epoch.speed = speed;
}

// HDT: heading, T.
void takeHdt(const Sentence& s, Epoch& epoch)
{
    if (const auto heading = course(field(s, 0)); heading && field(s, 1) == "T")
        epoch.trueHeading = heading;
}

}  // namespace

bool checksumValid(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.remove_suffix(1);
    if (line.size() < 4 || line[0] != '$')
        return false;
    const auto star = line.rfind('*');
    if (star == std::string_view::npos || star + 3 != line.size())
        return false;
    const int high = hexDigit(line[star + 1]);
    const int low = hexDigit(line[star + 2]);
    if (high < 0 || low < 0)
        return false;
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    return sum == static_cast<unsigned>(high * 16 + low);
}

std::optional<Sentence> parseSentence(std::string_view line)
{
    if (!checksumValid(line))
        return std::nullopt;
    const std::string_view body = line.substr(1, line.rfind('*') - 1);
    Sentence sentence;
    std::size_t start = 0;
    std::string address;
    for (bool first = true;; first = false) {
        const auto comma = body.find(',', start);
        const std::string_view part = body.substr(start, comma == std::string_view::npos ? body.npos : comma - start);
        if (first)
            address = part;
        else
            sentence.fields.emplace_back(part);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    // A standard address is a two-letter talker and a three-letter type;
    // proprietary sentences start with "P".
    if (address.size() != 5 || address[0] == 'P')
        return std::nullopt;
    sentence.type = address.substr(2);
    return sentence;
}

std::optional<double> parseLatitude(std::string_view value, std::string_view hemisphere)
{
    return signedAngle(parseAngle(value, 2, 90), hemisphere, 'N', 'S');
}

std::optional<double> parseLongitude(std::string_view value, std::string_view hemisphere)
{
    return signedAngle(parseAngle(value, 3, 180), hemisphere, 'E', 'W');
}

std::optional<double> parseTimeOfDay(std::string_view value)
{
    if (value.size() < 6)
        return std::nullopt;
    const auto hours = number(value.substr(0, 2));
    const auto minutes = number(value.substr(2, 2));
    const auto seconds = number(value.substr(4));
    if (!hours || !minutes || !seconds || *hours < 0 || *hours > 23 || *minutes < 0 || *minutes > 59 ||
        *seconds < 0 || *seconds >= 61)
        return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<Location> Epoch::location() const
{
    if (!coordinate)
        return std::nullopt;
    Location location;
    location.coordinate = *coordinate;
    // A receiver's typical range error of about 5 m per unit of dilution.
    location.horizontalAccuracy = hdop ? *hdop * 5.0 : 10.0;
    if (altitude) {
        location.altitude = *altitude;
        location.verticalAccuracy = location.horizontalAccuracy * 1.5;
    } else {
        location.verticalAccuracy = -1;
    }
    location.speed = speed.value_or(-1);
    location.course = course.value_or(-1);
    return location;
}

std::optional<Epoch> EpochAssembler::add(const Sentence& sentence)
{
    const bool timed = sentence.type == "RMC" || sentence.type == "GGA";
    std::optional<Epoch> finished;
    if (timed) {
        const auto time = parseTimeOfDay(field(sentence, 0));
        if (!time)
            return std::nullopt;
        if (current_ && current_->timeOfDay != time)
            finished = std::exchange(current_, std::nullopt);
        if (!current_) {
            current_.emplace();
            current_->timeOfDay = time;
        }
    }
    if (!current_)
        return finished;  // VTG or HDT before any time: nothing to attach it to
    if (sentence.type == "RMC")
        takeRmc(sentence, *current_);
    else if (sentence.type == "GGA")
        takeGga(sentence, *current_);
    else if (sentence.type == "VTG")
        takeVtg(sentence, *current_);
    else if (sentence.type == "HDT")
        takeHdt(sentence, *current_);
    return finished;
}

std::optional<Epoch> EpochAssembler::finish()
{
    return std::exchange(current_, std::nullopt);
}

}  // namespace geo::nmea
