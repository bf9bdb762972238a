#include "platform/foundation/OperationQueue.h"

#include <utility>

namespace fnd {

OperationQueue::OperationQueue(std::string name) : name_(std::move(name)), worker_([this] { run(); }) {}

OperationQueue::~OperationQueue()
{
    {
        const std::lock_guard lock(mutex_);
        waiting_.clear();
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void OperationQueue::addOperation(std::function<void()> operation)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(operation));
    }
    changed_.notify_all();
}

void OperationQueue::cancelAllOperations()
{
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropped.swap(waiting_);
    }
    changed_.notify_all();
    // `dropped` goes here, outside the lock: an operation's captures may be anything.
}

std::size_t OperationQueue::operationCount() const
{
    const std::lock_guard lock(mutex_);
    return waiting_.size() + (running_ ? 1 : 0);
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    if (isCurrent())
        return;  // waiting for ourselves would never end
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !running_; });
}

bool OperationQueue::isCurrent() const
{
    return std::this_thread::get_id() == worker_.get_id();
}

void OperationQueue::run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty())
            return;  // stopping
        std::function<void()> operation = std::move(waiting_.front());
        waiting_.pop_front();
        running_ = true;
        lock.unlock();
        operation();
        operation = nullptr;
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}

}  // namespace fnd
