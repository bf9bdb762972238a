#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/OperationQueue.h"
#include "platform/motion/DeviceMotion.h"

namespace motion {

// A screen's handle on device motion (see MotionService): while started, a
// sample every update interval of the run loop's clock, handed to the
// handler on the given operation queue.
class MotionManager {
public:
    using DeviceMotionHandler = std::function<void(const DeviceMotion&)>;

    MotionManager();
    ~MotionManager();
    MotionManager(const MotionManager&) = delete;
    MotionManager& operator=(const MotionManager&) = delete;

    bool isDeviceMotionAvailable() const;
    double deviceMotionUpdateInterval() const { return interval_; }
    // Takes effect at the next start.
    void setDeviceMotionUpdateInterval(double seconds);

    // Does nothing when device motion is unavailable. The queue is kept until
    // the updates stop.
    void startDeviceMotionUpdates(std::shared_ptr<fnd::OperationQueue> queue, DeviceMotionHandler handler);
    void stopDeviceMotionUpdates();
    bool isDeviceMotionActive() const;
    // The newest sample of the running updates.
    std::optional<DeviceMotion> deviceMotion() const { return latest_; }

private:
    struct Updates;
    double interval_ = 0.01;
    std::unique_ptr<Updates> updates_;
    std::optional<DeviceMotion> latest_;
};

}  // namespace motion
