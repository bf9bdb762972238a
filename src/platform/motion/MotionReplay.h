#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/motion/DeviceMotion.h"

namespace motion {

// A recorded motion: lines "t,x,y,z" with t in seconds from the start and the
// user acceleration in g. Each value holds from its time until the next line's.
// Blank lines, lines starting with '#', and lines that are not four numbers
// (a header) are skipped, as are lines whose time goes backwards.
class MotionReplay {
public:
    struct Sample {
        double time = 0;
        Acceleration userAcceleration;
    };

    // nullopt with `error` set when the file cannot be read or holds no sample.
    static std::optional<MotionReplay> load(const std::filesystem::path& path, std::string& error);
    static MotionReplay parse(const std::string& text);

    const std::vector<Sample>& samples() const { return samples_; }
    // The value at `seconds` from the start: zero before the first line.
    Acceleration at(double seconds) const;

private:
    std::vector<Sample> samples_;
};

}  // namespace motion
