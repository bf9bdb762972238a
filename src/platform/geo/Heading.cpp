#include "platform/geo/Heading.h"

#include <cmath>

namespace geo {

double headingForCourse(double course, ui::InterfaceOrientation orientation)
{
    double turn = 0;
    switch (orientation) {
    case ui::InterfaceOrientation::LandscapeRight: turn = -90; break;
    case ui::InterfaceOrientation::LandscapeLeft: turn = 90; break;
    case ui::InterfaceOrientation::PortraitUpsideDown: turn = 180; break;
    case ui::InterfaceOrientation::Portrait:
    case ui::InterfaceOrientation::Unknown: break;
    }
    const double heading = std::fmod(course + turn, 360.0);
    return heading < 0 ? heading + 360 : heading;
}

}  // namespace geo
