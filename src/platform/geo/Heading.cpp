#include "platform/geo/Heading.h"

#include <cmath>

namespace geo {

namespace {

double turnFor(ui::InterfaceOrientation orientation)
{
    switch (orientation) {
    case ui::InterfaceOrientation::LandscapeRight: return -90;
    case ui::InterfaceOrientation::LandscapeLeft: return 90;
    case ui::InterfaceOrientation::PortraitUpsideDown: return 180;
    case ui::InterfaceOrientation::Portrait:
    case ui::InterfaceOrientation::Unknown: break;
    }
    return 0;
}

double wrapped(double degrees)
{
    const double inTurn = std::fmod(degrees, 360.0);
    return inTurn < 0 ? inTurn + 360 : inTurn;
}

}  // namespace

double headingForCourse(double course, ui::InterfaceOrientation orientation)
{
    return wrapped(course + turnFor(orientation));
}

double courseForHeading(double heading, ui::InterfaceOrientation orientation)
{
    return wrapped(heading - turnFor(orientation));
}

}  // namespace geo
