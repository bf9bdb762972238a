#pragma once

#include <functional>
#include <memory>

namespace fnd {
class Timer;
}

// The repeating animation timer of a gauge view, on the main run loop's clock.
// It stops when its owner (and so the timer object) goes away.
class TickTimer {
public:
    TickTimer(double interval, std::function<void()> tick);
    ~TickTimer();
    TickTimer(const TickTimer&) = delete;
    TickTimer& operator=(const TickTimer&) = delete;

    // Replaces a running timer by a new one and ticks at once.
    void start();
    void stop();
    bool isRunning() const;

private:
    double interval_;
    std::function<void()> tick_;
    std::shared_ptr<fnd::Timer> timer_;
};
