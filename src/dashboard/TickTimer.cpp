#include "dashboard/TickTimer.h"

#include "platform/foundation/Timer.h"

TickTimer::TickTimer(double interval, std::function<void()> tick) : interval_(interval), tick_(std::move(tick)) {}

TickTimer::~TickTimer() { stop(); }

void TickTimer::start()
{
    stop();
    timer_ = fnd::Timer::scheduled(interval_, true, [this](fnd::Timer&) { tick_(); });
    timer_->fire();
}

void TickTimer::stop()
{
    if (timer_)
        timer_->invalidate();
    timer_.reset();
}

bool TickTimer::isRunning() const { return timer_ && timer_->isValid(); }
