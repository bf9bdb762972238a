#pragma once

#include <string>
#include <vector>

#include "platform/geo/Location.h"

// One timed lap: where the car was, how fast it went there, and the lap time.
struct Lap {
    Lap() = default;
    Lap(std::vector<geo::Location> coordinates, std::vector<float> speeds, float time);

    std::vector<geo::Location> coordinatesArr;  // in driving order
    std::vector<float> speedArr;                // one sample per location, in the vehicle-speed unit
    float time = 0;                             // tenths of a second

    // "mm:ss.t", the minutes wrapping at 60.
    std::string lapTimeString() const;
    // The mean of the speed samples, truncated toward zero; 0 without samples.
    int getMaxSpeed() const;
};
