#include "platform/motion/MotionManager.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/motion/MotionService.h"

namespace motion {

namespace {
// Below this the samples would come faster than any screen uses them.
constexpr double shortestInterval = 0.01;
}  // namespace

struct MotionManager::Updates {
    std::shared_ptr<fnd::OperationQueue> queue;
    DeviceMotionHandler handler;
    std::unique_ptr<MotionService::Stream> stream;
    std::shared_ptr<fnd::Timer> timer;

    ~Updates()
    {
        if (timer)
            timer->invalidate();
    }
};

MotionManager::MotionManager() = default;

MotionManager::~MotionManager() = default;

bool MotionManager::isDeviceMotionAvailable() const
{
    return MotionService::shared().isAvailable();
}

void MotionManager::setDeviceMotionUpdateInterval(double seconds)
{
    interval_ = seconds > shortestInterval ? seconds : shortestInterval;
}

void MotionManager::startDeviceMotionUpdates(std::shared_ptr<fnd::OperationQueue> queue, DeviceMotionHandler handler)
{
    stopDeviceMotionUpdates();
    auto& loop = fnd::RunLoop::main();
    auto stream = MotionService::shared().openStream(loop.now());
    if (!stream || !queue || !handler)
        return;
    updates_ = std::make_unique<Updates>();
    updates_->queue = std::move(queue);
    updates_->handler = std::move(handler);
    updates_->stream = std::move(stream);
    const double interval = interval_;
    updates_->timer = fnd::Timer::scheduled(interval, true, [this, interval](fnd::Timer&) {
        const double now = fnd::RunLoop::main().now();
        const auto acceleration = updates_->stream->next(now, interval);
        if (!acceleration)
            return;
        const DeviceMotion sample{*acceleration, now};
        latest_ = sample;
        updates_->queue->addOperation([handler = updates_->handler, sample] { handler(sample); });
    });
}

void MotionManager::stopDeviceMotionUpdates()
{
    updates_.reset();
}

bool MotionManager::isDeviceMotionActive() const
{
    return updates_ != nullptr;
}

}  // namespace motion
