#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/motion/DeviceMotion.h"

namespace motion {

// The process-wide source of device motion, chosen at start-up: test
// injection, a replay file, or a Linux IIO accelerometer. With none, device
// motion is unavailable. Main thread only.
class MotionService {
public:
    enum class SourceKind { None, Injection, Replay, Accelerometer };

    struct Sources {
        std::filesystem::path replayFile;  // --motion-replay or NORVALE_MOTION_REPLAY
        std::filesystem::path iioRoot = "/sys/bus/iio/devices";
    };
    static Sources sourcesFromEnvironment(const std::filesystem::path& replayFile = {});

    static MotionService& shared();

    // Uses the replay file when one is named (an error message when it cannot
    // be read; there is then no source), else the first IIO accelerometer.
    std::string start(const Sources& sources);
    // Tests: the user acceleration is what inject() last set (zero at first).
    void startInjection();
    void inject(const Acceleration& userAcceleration);
    void stop();

    SourceKind sourceKind() const;
    bool isAvailable() const { return sourceKind() != SourceKind::None; }

    // One stream of samples for one started manager: the replay runs from
    // the moment the stream is made.
    class Stream {
    public:
        virtual ~Stream() = default;
        // The user acceleration now; nullopt when the source failed to give one.
        virtual std::optional<Acceleration> next(double now, double interval) = 0;
    };
    std::unique_ptr<Stream> openStream(double now);

    struct State;  // what one start() chose; streams keep it alive

    MotionService(const MotionService&) = delete;
    MotionService& operator=(const MotionService&) = delete;

private:
    MotionService() = default;
    std::shared_ptr<State> state_;
};

}  // namespace motion
