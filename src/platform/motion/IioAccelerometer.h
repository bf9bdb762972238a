#pragma once

#include <array>
#include <filesystem>
#include <optional>

#include "platform/motion/DeviceMotion.h"

namespace motion {

inline constexpr double standardGravity = 9.80665;  // m/s² in one g

// A Linux IIO accelerometer read through sysfs: in_accel_{x,y,z}_raw, times
// the scale (in_accel_scale or per axis), after the optional offset.
class IioAccelerometer {
public:
    // The first device below `root` with all three axes; nullopt when none.
    static std::optional<IioAccelerometer> find(const std::filesystem::path& root = "/sys/bus/iio/devices");

    const std::filesystem::path& device() const { return device_; }
    // The acceleration now in g, gravity included, in the platform's sign
    // (lying face up reads z = -1; the kernel reports the reaction, +1).
    // nullopt when a read fails.
    std::optional<Acceleration> read() const;

private:
    struct Axis {
        std::filesystem::path raw;
        double scale = 1;
        double offset = 0;
    };
    std::filesystem::path device_;
    std::array<Axis, 3> axes_;
};

// Splits gravity off a stream of total accelerations with a low-pass
// estimate: what stays of the signal over about `timeConstant` seconds is
// gravity, the rest is the user's.
class GravityFilter {
public:
    explicit GravityFilter(double timeConstant = 0.5) : timeConstant_(timeConstant) {}
    Acceleration userAcceleration(const Acceleration& total, double interval);

private:
    double timeConstant_;
    std::optional<Acceleration> gravity_;
};

}  // namespace motion
