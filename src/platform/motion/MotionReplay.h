#pragma once

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/LineReader.h"
#include "platform/foundation/NonBlockingInput.h"
#include "platform/motion/DeviceMotion.h"

namespace motion {

// A recorded motion: lines "t,x,y,z" with t in seconds from the start and the
// user acceleration in g. Each value holds from its time until the next line's.
// Blank lines, lines starting with '#', and lines that are not four numbers
// (a header) are skipped, as are lines whose time goes backwards.
// The recording is read as it plays, never whole: a long drive costs no memory, and
// a stream that stops looking like a recording ends it. A named pipe or a device is never waited on: its
// lines play as they arrive, the last value holding while it is quiet.
class MotionReplay {
public:
    struct Sample {
        double time = 0;
        Acceleration userAcceleration;
    };

    // nullptr with `error` set when the file cannot be read or does not start as a recording (as far as a
    // pipe has sent anything yet).
    static std::unique_ptr<MotionReplay> open(const std::filesystem::path& path, std::string& error);
    explicit MotionReplay(std::unique_ptr<std::istream> in);

    // The next sample in the recording; nullopt at its end, or while a pipe has sent no more.
    std::optional<Sample> nextSample();
    // The value at `seconds` from the start, asked at times that only grow (a running clock):
    // zero before the first line.
    Acceleration at(double seconds);

private:
    bool waiting() const { return input_ && input_->waiting(); }

    std::unique_ptr<fnd::NonBlockingInput> input_;  // the file, when opened by name
    std::unique_ptr<std::istream> in_;
    fnd::LineReader lines_;
    std::optional<double> lastTime_;
    std::optional<Sample> current_;
    std::optional<Sample> upcoming_;
    bool ended_ = false;
};

}  // namespace motion
