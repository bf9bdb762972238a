#pragma once

#include "platform/foundation/Date.h"
#include "platform/ui/Device.h"

namespace geo {

// A heading in degrees clockwise from north. A negative heading is invalid.
// There is no magnetometer: the heading is the GPS course over ground (or a
// receiver's own heading sentence), and with no declination model the
// magnetic heading equals the true one.
struct Heading {
    double magneticHeading = -1;
    double trueHeading = -1;
    double headingAccuracy = -1;  // degrees; negative when invalid
    fnd::Date timestamp;

    bool isValid() const { return trueHeading >= 0; }
};

// Below this ground speed the course says nothing about where the car points.
inline constexpr double slowestSpeedForCourse = 1.0;  // metres per second

// A direction of travel as a phone held in `orientation` reports its heading:
// relative to the top of the device as the interface is turned (landscape
// right turns it by -90 degrees). In [0, 360).
double headingForCourse(double course, ui::InterfaceOrientation orientation);
// The direction of travel behind a heading reported in `orientation`. In [0, 360).
double courseForHeading(double heading, ui::InterfaceOrientation orientation);

}  // namespace geo
