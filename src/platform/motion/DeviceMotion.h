#pragma once

namespace motion {

// An acceleration in g along the device's axes: x to the right edge, y to the
// top edge, z out of the screen.
struct Acceleration {
    double x = 0;
    double y = 0;
    double z = 0;

    friend bool operator==(const Acceleration&, const Acceleration&) = default;
};

// One sample of device motion. The user acceleration is what the user gives the
// device, gravity removed, with the platform's sign: a device pushed towards
// its back (as a phone facing the driver is when the car pulls away) reads a
// positive z.
struct DeviceMotion {
    Acceleration userAcceleration;
    double timestamp = 0;  // seconds on the run loop's clock
};

}  // namespace motion
