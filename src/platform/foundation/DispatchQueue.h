#pragma once

#include <functional>
#include <memory>
#include <string>

namespace fnd {

// A serial queue: tasks run one after the other, in order. main() runs them on
// the run loop's thread; any other queue has a worker thread of its own, which
// finishes the queued tasks when the queue is destroyed.
class DispatchQueue {
public:
    static DispatchQueue& main();
    explicit DispatchQueue(std::string label);
    ~DispatchQueue();
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    void async(std::function<void()> fn);
    // Runs fn on the queue and waits for it; runs it directly when already on it.
    void sync(const std::function<void()>& fn);
    bool isCurrent() const;
    const std::string& label() const;

private:
    struct MainTag {};
    explicit DispatchQueue(MainTag);
    struct Worker;
    std::string label_;
    std::unique_ptr<Worker> worker_;  // null for the main queue
};

}  // namespace fnd
