#include "platform/foundation/RunLoop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace fnd {

namespace {

// The manual clock fires what is due up to this much past the target, so that a
// 0.1 s timer fires ten times in advance(1.0) despite rounding in its sums.
constexpr double manualTolerance = 1e-9;

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

struct RunLoop::Impl {
    std::thread::id mainThread = std::this_thread::get_id();

    // Guards everything below except the Qt objects, which live on the main thread.
    mutable std::recursive_mutex mutex;
    bool manual = false;
    double manualNow = 0;

    struct Entry {
        double at;
        std::function<void()> fn;
    };
    ScheduleId nextScheduleId = 1;
    std::map<ScheduleId, Entry> entries;
    std::set<std::pair<double, ScheduleId>> order;  // (time, id): equal times run in scheduling order

    FrameId nextFrameId = 1;
    std::map<FrameId, std::shared_ptr<std::function<void(double)>>> frames;
    double nextFrame = 0;

    std::mutex postedMutex;
    std::deque<std::function<void()>> posted;
    std::atomic<bool> wakePending{false};

    // Receives cross-thread wake-ups; made with the loop, so that other threads
    // never see it being made.
    std::unique_ptr<QObject> waker = std::make_unique<QObject>();
    std::unique_ptr<QTimer> timer;       // real clock: fires at the next deadline
    std::unique_ptr<QTimer> waitTimer;   // bounds the waits of runUntil
    bool qtGone = false;                 // the application object is being destroyed

    double now() const
    {
        const std::lock_guard lock(mutex);
        return manual ? manualNow : steadySeconds();
    }

    bool isMainThread() const { return std::this_thread::get_id() == mainThread; }

    bool ensureQt()
    {
        if (timer)
            return true;
        if (qtGone || QCoreApplication::instance() == nullptr || !isMainThread())
            return false;
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, [this] {
            runDue(now());
            armTimer();
        });
        waitTimer = std::make_unique<QTimer>();
        waitTimer->setSingleShot(true);
        // Our Qt objects go before the application object that they need.
        qAddPostRoutine([] { RunLoop::main().impl_->releaseQt(); });
        return true;
    }

    void releaseQt()
    {
        qtGone = true;
        waitTimer.reset();
        timer.reset();
        // A worker thread may be posting at this very moment (work still finishing at exit).
        const std::lock_guard lock(postedMutex);
        waker.reset();
    }

    // The next moment something is due, if anything is.
    std::optional<double> nextDeadline() const
    {
        const std::lock_guard lock(mutex);
        std::optional<double> next;
        if (!order.empty())
            next = order.begin()->first;
        if (!frames.empty() && (!next || nextFrame < *next))
            next = nextFrame;
        return next;
    }

    void armTimer()
    {
        if (!isMainThread()) {
            wake();
            return;
        }
        if (manual || !ensureQt())
            return;
        const auto next = nextDeadline();
        if (!next) {
            timer->stop();
            return;
        }
        const double wait = std::max(0.0, *next - now());
        timer->start(static_cast<int>(std::min(std::ceil(wait * 1000.0), 24.0 * 3600 * 1000)));
    }

    // Runs everything due at or before `until`, in time order; a scheduled call
    // runs before a frame due at the same moment. On the manual clock the clock
    // steps to each moment, and posted tasks and I/O run between them.
    void runDue(double until)
    {
        for (;;) {
            std::function<void()> call;
            bool frame = false;
            double at = 0;
            {
                const std::lock_guard lock(mutex);
                const bool entryDue = !order.empty() && order.begin()->first <= until;
                const bool frameDue = !frames.empty() && nextFrame <= until;
                if (!entryDue && !frameDue)
                    return;
                if (entryDue && (!frameDue || order.begin()->first <= nextFrame)) {
                    const auto [time, id] = *order.begin();
                    order.erase(order.begin());
                    auto it = entries.find(id);
                    call = std::move(it->second.fn);
                    entries.erase(it);
                    at = time;
                } else {
                    frame = true;
                    at = nextFrame;
                    nextFrame += frameInterval;
                    if (!manual) {
                        const double current = steadySeconds();
                        while (nextFrame <= current)
                            nextFrame += frameInterval;
                    }
                }
                if (manual)
                    manualNow = std::max(manualNow, at);
            }
            if (frame)
                runFrame();
            else
                call();
            if (manual)
                processPending();
        }
    }

    void runFrame()
    {
        std::vector<FrameId> ids;
        {
            const std::lock_guard lock(mutex);
            for (const auto& [id, cb] : frames)
                ids.push_back(id);
        }
        const double time = now();
        for (const FrameId id : ids) {
            std::shared_ptr<std::function<void(double)>> cb;
            {
                const std::lock_guard lock(mutex);
                const auto it = frames.find(id);
                if (it == frames.end())
                    continue;  // removed by an earlier callback of this frame
                cb = it->second;
            }
            (*cb)(time);
        }
    }

    void wake()
    {
        if (wakePending.exchange(true))
            return;
        const std::lock_guard lock(postedMutex);
        if (waker)
            QMetaObject::invokeMethod(waker.get(), [this] { drainPosted(); }, Qt::QueuedConnection);
    }

    void drainPosted()
    {
        wakePending = false;
        std::deque<std::function<void()>> tasks;
        {
            const std::lock_guard lock(postedMutex);
            tasks.swap(posted);
        }
        for (auto& task : tasks)
            task();
        armTimer();
    }

    // Posted tasks and pending Qt events (socket activity, deferred deletes).
    void processPending()
    {
        drainPosted();
        if (ensureQt()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        drainPosted();
    }

    bool somethingDueBy(double time) const
    {
        const auto next = nextDeadline();
        return next && *next <= time;
    }

    // Moves the pending schedule along with the clock when the clock changes,
    // so every pending call keeps the delay it was given.
    void rebase(double from, double to)
    {
        const double shift = to - from;
        std::set<std::pair<double, ScheduleId>> shifted;
        for (auto& [id, entry] : entries) {
            entry.at += shift;
            shifted.insert({entry.at, id});
        }
        order.swap(shifted);
        nextFrame += shift;
    }
};

RunLoop::RunLoop() : impl_(std::make_unique<Impl>()) {}

RunLoop::~RunLoop()
{
    // Qt objects still here outlived the application object (no
    // shutdownPlatform()); destroying them now, during static destruction, is not safe.
    if (!impl_->qtGone) {
        (void)impl_->waitTimer.release();
        (void)impl_->timer.release();
        (void)impl_->waker.release();
    }
}

RunLoop& RunLoop::main()
{
    // Never destroyed: a worker thread still finishing at exit (a movie's last fragment) may post to it,
    // and what waits in it then is not ended from static teardown, after the layers it uses are gone.
    static RunLoop* const loop = new RunLoop;
    return *loop;
}

double RunLoop::now() const { return impl_->now(); }

bool RunLoop::isManualClock() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->manual;
}

void RunLoop::useManualClock(double start)
{
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->rebase(impl_->now(), start);
        impl_->manual = true;
        impl_->manualNow = start;
    }
    if (impl_->timer)
        impl_->timer->stop();
}

void RunLoop::useRealClock()
{
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->rebase(impl_->now(), steadySeconds());
        impl_->manual = false;
    }
    impl_->armTimer();
}

void RunLoop::advance(double seconds)
{
    double target = 0;
    {
        const std::lock_guard lock(impl_->mutex);
        if (!impl_->manual)
            return;
        target = impl_->manualNow + std::max(0.0, seconds);
    }
    impl_->processPending();
    do {
        impl_->runDue(target + manualTolerance);
        {
            const std::lock_guard lock(impl_->mutex);
            impl_->manualNow = std::max(impl_->manualNow, target);
        }
        impl_->processPending();
    } while (impl_->somethingDueBy(target + manualTolerance));
}

bool RunLoop::runUntil(const std::function<bool()>& done, double realTimeoutSeconds)
{
    const double deadline = steadySeconds() + realTimeoutSeconds;
    impl_->processPending();
    while (!done()) {
        const double remaining = deadline - steadySeconds();
        if (remaining <= 0)
            return done();
        if (impl_->ensureQt()) {
            // Sleep until an event arrives, at most a short while, so the limit holds.
            impl_->waitTimer->start(static_cast<int>(std::clamp(remaining * 1000.0, 1.0, 50.0)));
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            impl_->waitTimer->stop();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        impl_->processPending();
    }
    return true;
}

void RunLoop::processEvents()
{
    impl_->processPending();
    if (!isManualClock())
        impl_->runDue(now());
}

void RunLoop::post(std::function<void()> task)
{
    {
        const std::lock_guard lock(impl_->postedMutex);
        impl_->posted.push_back(std::move(task));
    }
    impl_->wake();
}

bool RunLoop::isMainThread() const { return impl_->isMainThread(); }

int RunLoop::exec()
{
    if (!impl_->ensureQt())
        return 1;
    impl_->armTimer();
    impl_->drainPosted();
    return QCoreApplication::exec();
}

void RunLoop::quit(int code)
{
    QCoreApplication::exit(code);
}

RunLoop::ScheduleId RunLoop::scheduleAt(double at, std::function<void()> fn)
{
    ScheduleId id = 0;
    {
        const std::lock_guard lock(impl_->mutex);
        id = impl_->nextScheduleId++;
        impl_->entries.emplace(id, Impl::Entry{at, std::move(fn)});
        impl_->order.insert({at, id});
    }
    impl_->armTimer();
    return id;
}

void RunLoop::cancelScheduled(ScheduleId id)
{
    std::function<void()> released;  // destroyed outside the lock: it may own things that schedule
    {
        const std::lock_guard lock(impl_->mutex);
        const auto it = impl_->entries.find(id);
        if (it == impl_->entries.end())
            return;
        impl_->order.erase({it->second.at, id});
        released = std::move(it->second.fn);
        impl_->entries.erase(it);
    }
}

bool RunLoop::isScheduled(ScheduleId id) const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->entries.count(id) != 0;
}

RunLoop::FrameId RunLoop::addFrameCallback(std::function<void(double now)> cb)
{
    FrameId id = 0;
    {
        const std::lock_guard lock(impl_->mutex);
        if (impl_->frames.empty())
            impl_->nextFrame = impl_->now() + frameInterval;
        id = impl_->nextFrameId++;
        impl_->frames.emplace(id, std::make_shared<std::function<void(double)>>(std::move(cb)));
    }
    impl_->armTimer();
    return id;
}

void RunLoop::removeFrameCallback(FrameId id)
{
    std::shared_ptr<std::function<void(double)>> released;
    {
        const std::lock_guard lock(impl_->mutex);
        const auto it = impl_->frames.find(id);
        if (it == impl_->frames.end())
            return;
        released = std::move(it->second);
        impl_->frames.erase(it);
    }
}

namespace {

struct ApplicationHolder {
    std::unique_ptr<QGuiApplication> app;
    ApplicationHolder() = default;
    ApplicationHolder(const ApplicationHolder&) = delete;
    ApplicationHolder& operator=(const ApplicationHolder&) = delete;
    ~ApplicationHolder() { (void)app.release(); }  // see shutdownPlatform()
};

ApplicationHolder& applicationHolder()
{
    static ApplicationHolder holder;
    return holder;
}

}  // namespace

void initPlatform(int& argc, char** argv)
{
    RunLoop::main();  // the calling thread becomes the main thread
    if (QCoreApplication::instance() != nullptr)
        return;
    // With no display to open a window on, Qt would abort with a message about its platform plugins.
    const auto unset = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "%s: no display (DISPLAY and WAYLAND_DISPLAY are not set), so no window is shown; "
                             "running offscreen. Add --screenshot FILE --quit-after SECONDS to see the screen.\n",
                     argc > 0 ? std::filesystem::path(argv[0]).filename().c_str() : "norvale");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    applicationHolder().app = std::make_unique<QGuiApplication>(argc, argv);
}

void shutdownPlatform()
{
    auto& holder = applicationHolder();
    if (!holder.app)
        return;
    RunLoop::main().processEvents();
    // Objects handed to deleteLater (finished network replies with their completions) go now: no event
    // loop turns again to delete them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    holder.app.reset();
}

}  // namespace fnd
