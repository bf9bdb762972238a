#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

namespace {

using fnd::RunLoop;

// Records what fired and when, on the loop's clock relative to the start.
struct Trace {
    double start = RunLoop::main().now();
    std::vector<std::pair<std::string, double>> events;

    void add(const std::string& what) { events.push_back({what, RunLoop::main().now() - start}); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& e : events)
            result.push_back(e.first);
        return result;
    }
};

TEST(RunLoop, AdvanceFiresTimersDelayedCallsAndFramesInTimeOrderAtTheirOwnTimes)
{
    Trace trace;
    auto& loop = RunLoop::main();
    auto repeating = fnd::Timer::scheduled(0.25, true, [&](fnd::Timer&) { trace.add("tick"); });
    fnd::after(0.3, [&] { trace.add("after"); });
    auto once = fnd::Timer::scheduled(0.1, false, [&](fnd::Timer&) { trace.add("once"); });
    int frames = 0;
    double lastFrame = 0;
    const auto frame = loop.addFrameCallback([&](double now) {
        ++frames;
        lastFrame = now - trace.start;
    });

    loop.advance(0.6);

    EXPECT_EQ(trace.names(), (std::vector<std::string>{"once", "tick", "after", "tick"}));
    const std::vector<double> times{0.1, 0.25, 0.3, 0.5};
    for (std::size_t i = 0; i < times.size(); ++i)
        EXPECT_NEAR(trace.events[i].second, times[i], 1e-9) << trace.events[i].first;
    EXPECT_EQ(frames, 36);  // 60 per second of loop time
    EXPECT_NEAR(lastFrame, 0.6, 1e-9);
    EXPECT_NEAR(loop.now() - trace.start, 0.6, 1e-12);
    EXPECT_FALSE(once->isValid());
    EXPECT_TRUE(repeating->isValid());

    repeating->invalidate();
    loop.removeFrameCallback(frame);
    loop.advance(1.0);
    EXPECT_EQ(trace.events.size(), 4u);
    EXPECT_EQ(frames, 36);
}

TEST(RunLoop, RepeatingTimersFireOncePerIntervalDespiteRounding)
{
    for (const double interval : {0.1, 0.05, 1.0 / 3.0, 0.3}) {
        int ticks = 0;
        auto timer = fnd::Timer::scheduled(interval, true, [&](fnd::Timer&) { ++ticks; });
        RunLoop::main().advance(3.0);
        timer->invalidate();
        EXPECT_EQ(ticks, static_cast<int>(std::lround(3.0 / interval))) << interval;
    }
}

TEST(RunLoop, InvalidatedTimersAndCancelledCallsNeverFire)
{
    int fired = 0;
    auto timer = fnd::Timer::scheduled(0.1, true, [&](fnd::Timer&) { ++fired; });
    auto call = fnd::after(0.1, [&] { ++fired; });
    auto copy = call;
    EXPECT_TRUE(call.isPending());
    timer->invalidate();
    copy.cancel();
    EXPECT_FALSE(call.isPending());
    RunLoop::main().advance(1.0);
    EXPECT_EQ(fired, 0);
    EXPECT_FALSE(timer->isValid());
}

TEST(RunLoop, ARepeatingTimerCanStopItselfAndFireKeepsTheSchedule)
{
    int ticks = 0;
    auto timer = fnd::Timer::scheduled(0.1, true, [&](fnd::Timer& t) {
        if (++ticks == 3)
            t.invalidate();
    });
    timer->fire();  // out of schedule: the next tick is still at 0.1
    EXPECT_EQ(ticks, 1);
    RunLoop::main().advance(0.1);
    EXPECT_EQ(ticks, 2);
    RunLoop::main().advance(5.0);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer->isValid());
}

TEST(RunLoop, ATimerIsKeptAliveByTheLoopWhileValid)
{
    int ticks = 0;
    fnd::Timer::scheduled(0.5, false, [&](fnd::Timer&) { ++ticks; });  // handle dropped at once
    RunLoop::main().advance(1.0);
    EXPECT_EQ(ticks, 1);
}

TEST(RunLoop, CallbacksMayScheduleMoreWorkThatFallsDueWithinTheSameAdvance)
{
    Trace trace;
    fnd::after(0.1, [&] {
        trace.add("first");
        fnd::after(0.0, [&] { trace.add("immediate"); });
        fnd::after(0.2, [&] {
            trace.add("chained");
            RunLoop::main().post([&] { trace.add("posted"); });
        });
    });
    RunLoop::main().advance(0.5);
    EXPECT_EQ(trace.names(), (std::vector<std::string>{"first", "immediate", "chained", "posted"}));
    EXPECT_NEAR(trace.events[2].second, 0.3, 1e-9);
}

TEST(RunLoop, FrameCallbacksMayRemoveThemselvesAndOthersDuringAFrame)
{
    auto& loop = RunLoop::main();
    int a = 0, b = 0, c = 0;
    RunLoop::FrameId idA = 0, idB = 0, idC = 0;
    idA = loop.addFrameCallback([&](double) {
        ++a;
        loop.removeFrameCallback(idA);
        loop.removeFrameCallback(idB);
        idC = loop.addFrameCallback([&](double) { ++c; });
    });
    idB = loop.addFrameCallback([&](double) { ++b; });
    loop.advance(RunLoop::frameInterval * 3.5);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);  // removed before its turn in the first frame
    EXPECT_EQ(c, 2);  // added during frame 1, runs in frames 2 and 3
    loop.removeFrameCallback(idC);
}

TEST(RunLoop, RunUntilRunsTasksPostedFromOtherThreadsWithoutMovingTheClock)
{
    auto& loop = RunLoop::main();
    const double before = loop.now();
    bool ran = false;
    std::thread worker([&] { loop.post([&] { ran = loop.isMainThread(); }); });
    EXPECT_TRUE(loop.runUntil([&] { return ran; }));
    worker.join();
    EXPECT_EQ(loop.now(), before);
    EXPECT_FALSE(loop.runUntil([] { return false; }, 0.05));
}

TEST(RunLoop, SwitchingClocksKeepsPendingDelays)
{
    auto& loop = RunLoop::main();
    bool fired = false;
    fnd::after(2.0, [&] { fired = true; });
    loop.advance(1.0);
    loop.useManualClock(50.0);
    loop.advance(0.9);
    EXPECT_FALSE(fired);
    loop.advance(0.1);
    EXPECT_TRUE(fired);
}

TEST(RunLoop, TheRealClockFiresTimersFromTheEventLoop)
{
    auto& loop = RunLoop::main();
    loop.useRealClock();
    bool fired = false;
    fnd::after(0.01, [&] { fired = true; });
    const bool done = loop.runUntil([&] { return fired; }, 5.0);
    loop.useManualClock();
    EXPECT_TRUE(done);
}

TEST(RunLoop, DateNowOnTheManualClockIsTheFixedEpochPlusTheClock)
{
    auto& loop = RunLoop::main();
    const fnd::Date before = fnd::Date::now();
    EXPECT_DOUBLE_EQ(before.secondsSince1970, fnd::manualClockEpoch + loop.now());
    loop.advance(90.0);
    EXPECT_DOUBLE_EQ(fnd::Date::now().timeIntervalSince(before), 90.0);
}

}  // namespace
