#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geo/Location.h"

// NMEA 0183 as GPS receivers write it: "$GPRMC,...*4F" lines.
namespace geo::nmea {

// One checked sentence: the type without its talker ("RMC" from "$GNRMC") and
// the comma-separated fields after the address.
struct Sentence {
    std::string type;
    std::vector<std::string> fields;
};

// True for "$<body>*HH" whose two hex digits are the XOR of the body's bytes.
bool checksumValid(std::string_view line);
// nullopt for a line without a valid checksum or without an address field.
std::optional<Sentence> parseSentence(std::string_view line);

// "ddmm.mmmm" with "N"/"S" (or "dddmm.mmmm" with "E"/"W") in degrees; nullopt
// for malformed or out-of-range values.
std::optional<double> parseLatitude(std::string_view value, std::string_view hemisphere);
std::optional<double> parseLongitude(std::string_view value, std::string_view hemisphere);
// "hhmmss.ss" in seconds since midnight UTC.
std::optional<double> parseTimeOfDay(std::string_view value);

// What the sentences of one moment (one time stamp) tell together.
struct Epoch {
    std::optional<double> timeOfDay;    // seconds since midnight UTC
    std::optional<Coordinate> coordinate;  // only from a valid RMC (status A) or GGA (quality > 0)
    std::optional<double> altitude;     // metres above mean sea level
    std::optional<double> speed;        // metres per second
    std::optional<double> course;       // degrees from true north
    std::optional<double> hdop;
    std::optional<double> trueHeading;  // from HDT

    // The location this moment gives, when it has a position.
    std::optional<Location> location() const;
};

// Gathers sentences into moments. RMC and GGA carry the time; VTG and HDT
// belong to the moment being gathered.
class EpochAssembler {
public:
    // Returns the previous moment when this sentence starts a new one.
    std::optional<Epoch> add(const Sentence& sentence);
    // The moment still being gathered, if any.
    std::optional<Epoch> finish();

private:
    std::optional<Epoch> current_;
};

}  // namespace geo::nmea
