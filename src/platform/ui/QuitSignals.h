#pragma once

#include <functional>
#include <memory>

namespace ui {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the main thread's event loop, so that a signal ends the
// app the way closing its window does. The signal handler only writes the signal's number into a pipe
// (async-signal-safe); the loop reads it and calls `handler`. One instance at a time; destroying it gives
// the signals back their previous handling.
// A second signal does not wait for the loop: it ends the process at once, by that signal's default action,
// as does any signal after endAtOnceFromNowOn() (the loop has stopped and the app is finishing its work).
class QuitSignals {
public:
    explicit QuitSignals(std::function<void(int signal)> handler);
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    void endAtOnceFromNowOn();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace ui
