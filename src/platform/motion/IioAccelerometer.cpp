#include "platform/motion/IioAccelerometer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace motion {

namespace {

namespace fs = std::filesystem;

std::optional<double> readNumber(const fs::path& path)
{
    std::ifstream file(path);
    std::string text;
    if (!file || !std::getline(file, text))
        return std::nullopt;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The per-axis file when there is one, else the shared one, else `fallback`.
double attribute(const fs::path& device, char axis, const char* name, double fallback)
{
    const std::string suffix = std::string("_") + name;
    if (const auto own = readNumber(device / (std::string("in_accel_") + axis + suffix)))
        return *own;
    return readNumber(device / ("in_accel" + suffix)).value_or(fallback);
}

}  // namespace

std::optional<IioAccelerometer> IioAccelerometer::find(const fs::path& root)
{
    std::error_code error;
    std::vector<fs::path> devices;
    for (const auto& entry : fs::directory_iterator(root, error))
        devices.push_back(entry.path());
    std::sort(devices.begin(), devices.end());  // iio:device0 before iio:device1
    for (const auto& device : devices) {
        IioAccelerometer accelerometer;
        accelerometer.device_ = device;
        bool complete = true;
        for (int i = 0; i < 3 && complete; ++i) {
            const char axis = static_cast<char>('x' + i);
            Axis& a = accelerometer.axes_[static_cast<std::size_t>(i)];
            a.raw = device / (std::string("in_accel_") + axis + "_raw");
            a.scale = attribute(device, axis, "scale", 0);
            a.offset = attribute(device, axis, "offset", 0);
            complete = readNumber(a.raw).has_value() && a.scale > 0;
        }
        if (complete)
            return accelerometer;
    }
    return std::nullopt;
}

std::optional<Acceleration> IioAccelerometer::read() const
{
    double g[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const auto raw = readNumber(axes_[i].raw);
        if (!raw)
            return std::nullopt;
        g[i] = -(*raw + axes_[i].offset) * axes_[i].scale / standardGravity;
    }
    return Acceleration{g[0], g[1], g[2]};
}

Acceleration GravityFilter::userAcceleration(const Acceleration& total, double interval)
{
    if (!gravity_) {
        gravity_ = total;
    } else {
        const double k = interval / (timeConstant_ + interval);
        gravity_->x += k * (total.x - gravity_->x);
        gravity_->y += k * (total.y - gravity_->y);
        gravity_->z += k * (total.z - gravity_->z);
    }
    return {total.x - gravity_->x, total.y - gravity_->y, total.z - gravity_->z};
}

}  // namespace motion
