#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/geo/Location.h"

namespace geo {

// One position from a source, with the true heading when the source measures
// one itself (a heading sentence); otherwise the heading comes from the course.
struct Fix {
    Location location;
    std::optional<double> trueHeading;
};

// What a source tells the location service.
struct SourceEvents {
    std::function<void(const Fix&)> fix;
    // The source cannot deliver for now (connection refused or lost); it keeps trying.
    std::function<void(const std::string& message)> lost;
};

// A feed of position fixes: a replay file or gpsd. Events arrive on the main thread.
class LocationSource {
public:
    virtual ~LocationSource() = default;
    virtual void start() = 0;
    // False once the source found it cannot deliver (a refused or lost
    // connection), until it can again.
    virtual bool isReachable() const = 0;
};

}  // namespace geo
