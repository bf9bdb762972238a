#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace fnd {

// Creates the Qt application object (a QGuiApplication) when none exists yet and
// sets up RunLoop::main() on the calling thread. Call once, early, from main().
// argc must outlive the application (main's own argc does).
void initPlatform(int& argc, char** argv);
// Destroys the application object initPlatform made, at the end of main().
// Without it the object is left to the operating system: Qt cannot be torn
// down safely while static objects are being destroyed.
void shutdownPlatform();

// The main thread's loop. In the app it runs on the real clock and the Qt event
// loop; in tests on a manual clock that advance() moves, firing everything due in
// time order, so tests never sleep.
class RunLoop {
public:
    static RunLoop& main();

    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    double now() const;  // seconds on this loop's clock (monotonic)
    bool isManualClock() const;
    void useManualClock(double start = 1000.0);
    void useRealClock();

    // Manual clock: steps time forward to now() + seconds, firing timers, delayed
    // calls and animation frames in time order, and running posted tasks and
    // pending I/O events as it goes.
    void advance(double seconds);
    // Processes I/O and posted tasks (the manual clock does not move) until done()
    // holds or the real-time safety limit passes; returns done().
    bool runUntil(const std::function<bool()>& done, double realTimeoutSeconds = 10.0);
    void processEvents();                   // one pass of posted tasks and pending I/O
    void post(std::function<void()> task);  // thread-safe: runs on the main thread soon
    bool isMainThread() const;

    int exec();  // app: runs until quit()
    void quit(int code = 0);

    // Calls fn once at time `at` of this loop's clock (at once on the next pass
    // when `at` has passed). The building block of Timer and after().
    using ScheduleId = std::uint64_t;
    ScheduleId scheduleAt(double at, std::function<void()> fn);
    void cancelScheduled(ScheduleId id);
    bool isScheduled(ScheduleId id) const;

    // Animation frames, 60 per second of the loop's clock, while callbacks exist.
    using FrameId = std::uint64_t;
    static constexpr double frameInterval = 1.0 / 60.0;
    FrameId addFrameCallback(std::function<void(double now)> cb);
    void removeFrameCallback(FrameId id);

private:
    RunLoop();
    ~RunLoop();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace fnd
