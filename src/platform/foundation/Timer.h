#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/RunLoop.h"

namespace fnd {

// A timer on RunLoop::main(); its callback runs on the main thread. The run loop
// keeps a valid timer alive; invalidate() releases it.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    static std::shared_ptr<Timer> scheduled(double interval, bool repeats, std::function<void(Timer&)> cb);

    void invalidate();
    bool isValid() const;
    double interval() const;
    bool repeats() const;
    // Fires now. A repeating timer keeps its schedule; a one-shot timer is done.
    void fire();

    struct Token {};  // lets make_shared reach the constructor, nobody else
    Timer(Token, double interval, bool repeats, std::function<void(Timer&)> cb);

private:
    void scheduleAt(double at);
    void fireScheduled();

    double interval_;
    bool repeats_;
    std::function<void(Timer&)> callback_;
    RunLoop::ScheduleId scheduleId_ = 0;
    double nextFire_ = 0;
    bool valid_ = true;
};

// A cancellable delayed call on the main thread. A copyable handle: every copy
// cancels the same call.
class DelayedCall {
public:
    DelayedCall() = default;
    explicit DelayedCall(RunLoop::ScheduleId id) : id_(id) {}
    void cancel();
    bool isPending() const;

private:
    RunLoop::ScheduleId id_ = 0;
};

DelayedCall after(double seconds, std::function<void()> fn);

}  // namespace fnd
