#pragma once

#include <memory>

namespace gl {

// A point in one context's command stream that another context (or the CPU)
// can wait for: what was drawn before it is visible after the wait.
class Fence {
public:
    // Inserts a fence into the current context's stream and flushes it;
    // nullptr without a current context.
    static std::unique_ptr<Fence> insert();
    ~Fence();
    Fence(const Fence&) = delete;
    Fence& operator=(const Fence&) = delete;

    // Makes the current context's later commands wait for the fence (the CPU
    // does not wait). False without a current context.
    bool waitOnCurrentContext() const;
    // Blocks the calling thread until the fence is passed or the time is up.
    bool clientWait(double timeoutSeconds) const;
    bool isSignaled() const;

private:
    explicit Fence(void* sync) : sync_(sync) {}
    void* sync_;
};

}  // namespace gl
