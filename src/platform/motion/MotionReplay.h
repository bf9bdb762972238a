#pragma once

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/LineReader.h"
#include "platform/motion/DeviceMotion.h"

namespace motion {

// A recorded motion: lines "t,x,y,z" with t in seconds from the start and the
// user acceleration in g. Each value holds from its time until the next line's.
// Blank lines, lines starting with '#', and lines that are not four numbers
// (a header) are skipped, as are lines whose time goes backwards.
// The recording is read as it plays, never whole: a long drive costs no memory, and
// a stream that stops looking like a recording ends it.
class MotionReplay {
public:
    struct Sample {
        double time = 0;
        Acceleration userAcceleration;
    };

    // nullptr with `error` set when the file cannot be read or does not start as a recording.
    static std::unique_ptr<MotionReplay> open(const std::filesystem::path& path, std::string& error);
    explicit MotionReplay(std::unique_ptr<std::istream> in);

    // The next sample in the recording; nullopt at its end.
    std::optional<Sample> nextSample();
    // The value at `seconds` from the start, asked at times that only grow (a running clock):
    // zero before the first line.
    Acceleration at(double seconds);

private:
    std::unique_ptr<std::istream> in_;
    fnd::LineReader lines_;
    std::optional<double> lastTime_;
    std::optional<Sample> current_;
    std::optional<Sample> upcoming_;
    bool ended_ = false;
};

}  // namespace motion
