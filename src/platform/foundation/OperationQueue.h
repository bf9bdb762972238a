#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace fnd {

// A serial queue of operations on a worker thread of its own, in the order
// they were added. Operations that have not started can be cancelled; the
// one running always finishes. Destroying the queue cancels what waits and
// joins the worker.
class OperationQueue {
public:
    explicit OperationQueue(std::string name = "operations");
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    void addOperation(std::function<void()> operation);
    // Drops every operation that has not started yet.
    void cancelAllOperations();
    // Waiting operations plus the running one.
    std::size_t operationCount() const;
    void waitUntilAllOperationsAreFinished();
    bool isCurrent() const;
    const std::string& name() const { return name_; }

private:
    void run();

    std::string name_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> waiting_;
    bool running_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace fnd
