#include "platform/foundation/Timer.h"

#include <algorithm>
#include <cmath>

namespace fnd {

namespace {

// As the platform does, a non-positive interval means "as soon as possible",
// never a loop that stops time.
constexpr double minimumInterval = 0.0001;

}  // namespace

std::shared_ptr<Timer> Timer::scheduled(double interval, bool repeats, std::function<void(Timer&)> cb)
{
    auto timer = std::make_shared<Timer>(Token{}, interval, repeats, std::move(cb));
    timer->scheduleAt(RunLoop::main().now() + timer->interval_);
    return timer;
}

Timer::Timer(Token, double interval, bool repeats, std::function<void(Timer&)> cb)
    : interval_(std::max(interval, minimumInterval)), repeats_(repeats), callback_(std::move(cb))
{
}

void Timer::scheduleAt(double at)
{
    nextFire_ = at;
    // The run loop keeps the timer alive while it is scheduled.
    scheduleId_ = RunLoop::main().scheduleAt(at, [self = shared_from_this()] { self->fireScheduled(); });
}

void Timer::fireScheduled()
{
    scheduleId_ = 0;
    if (!valid_)
        return;
    if (repeats_) {
        // Firings missed while the loop was busy are skipped, not bunched up.
        double next = nextFire_ + interval_;
        const double now = RunLoop::main().now();
        if (next <= now && !RunLoop::main().isManualClock())
            next += (std::floor((now - next) / interval_) + 1) * interval_;
        scheduleAt(next);
    }
    callback_(*this);
    if (!repeats_)
        valid_ = false;
}

void Timer::invalidate()
{
    valid_ = false;
    if (scheduleId_ != 0) {
        const auto id = scheduleId_;
        scheduleId_ = 0;
        RunLoop::main().cancelScheduled(id);
    }
}

bool Timer::isValid() const { return valid_; }

double Timer::interval() const { return interval_; }

bool Timer::repeats() const { return repeats_; }

void Timer::fire()
{
    if (!valid_)
        return;
    const auto keepAlive = shared_from_this();
    callback_(*this);
    if (!repeats_)
        invalidate();
}

void DelayedCall::cancel()
{
    if (id_ != 0)
        RunLoop::main().cancelScheduled(id_);
}

bool DelayedCall::isPending() const
{
    return id_ != 0 && RunLoop::main().isScheduled(id_);
}

DelayedCall after(double seconds, std::function<void()> fn)
{
    auto& loop = RunLoop::main();
    return DelayedCall(loop.scheduleAt(loop.now() + std::max(0.0, seconds), std::move(fn)));
}

}  // namespace fnd
