#include "platform/foundation/DispatchQueue.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "platform/foundation/RunLoop.h"

namespace fnd {

struct DispatchQueue::Worker {
    // Shared with the thread, so a queue released by one of its own tasks can
    // let its thread finish without joining itself.
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> tasks;
        bool stopping = false;
    };
    std::shared_ptr<State> state = std::make_shared<State>();
    std::thread thread;

    Worker() : thread([s = state] { run(*s); }) {}

    ~Worker()
    {
        {
            const std::lock_guard lock(state->mutex);
            state->stopping = true;
        }
        state->wake.notify_one();
        if (thread.get_id() == std::this_thread::get_id())
            thread.detach();
        else
            thread.join();
    }

    void push(std::function<void()> fn)
    {
        {
            const std::lock_guard lock(state->mutex);
            state->tasks.push_back(std::move(fn));
        }
        state->wake.notify_one();
    }

    // Runs the tasks in order; when stopping, finishes those already queued.
    static void run(State& s)
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(s.mutex);
                s.wake.wait(lock, [&s] { return s.stopping || !s.tasks.empty(); });
                if (s.tasks.empty())
                    return;
                task = std::move(s.tasks.front());
                s.tasks.pop_front();
            }
            task();
        }
    }
};

DispatchQueue& DispatchQueue::main()
{
    static DispatchQueue queue{MainTag{}};
    return queue;
}

DispatchQueue::DispatchQueue(MainTag) : label_("main") {}

DispatchQueue::DispatchQueue(std::string label) : label_(std::move(label)), worker_(std::make_unique<Worker>()) {}

DispatchQueue::~DispatchQueue() = default;

void DispatchQueue::async(std::function<void()> fn)
{
    if (worker_)
        worker_->push(std::move(fn));
    else
        RunLoop::main().post(std::move(fn));
}

void DispatchQueue::sync(const std::function<void()>& fn)
{
    if (isCurrent()) {
        fn();
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
        try {
            fn();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    finished.get();
}

bool DispatchQueue::isCurrent() const
{
    if (!worker_)
        return RunLoop::main().isMainThread();
    return std::this_thread::get_id() == worker_->thread.get_id();
}

const std::string& DispatchQueue::label() const { return label_; }

}  // namespace fnd
