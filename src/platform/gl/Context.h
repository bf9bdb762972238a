#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace fnd {
class DispatchQueue;
}

namespace gl {

class Context;
class Drawable;

// Contexts of one share group see each other's textures, buffers and programs.
// A group is kept alive by its contexts and by whoever holds it.
class Sharegroup {
public:
    Sharegroup();
    ~Sharegroup();
    Sharegroup(const Sharegroup&) = delete;
    Sharegroup& operator=(const Sharegroup&) = delete;

private:
    friend class Context;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// An OpenGL ES 2.0 rendering context on Mesa's surfaceless EGL platform (no
// display needed; llvmpipe where there is no GPU). It draws into framebuffer
// objects only. A context is current on at most one thread at a time; each
// thread has its own current context.
class Context : public std::enable_shared_from_this<Context> {
public:
    // nullptr when no OpenGL ES 2.0 context can be made (the reason is logged).
    // With a share group, the context shares its objects with the group's others.
    static std::shared_ptr<Context> create(std::shared_ptr<Sharegroup> sharegroup = nullptr);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    const std::shared_ptr<Sharegroup>& sharegroup() const { return sharegroup_; }
    // Contexts made and not yet given back to EGL: each one holds the driver's memory for it.
    static int liveContexts();

    // Makes the context current on the calling thread (nullptr: none); the
    // thread keeps it alive while it is current. False when EGL refuses, for
    // example because the context is current on another thread.
    static bool setCurrentContext(const std::shared_ptr<Context>& context);
    static std::shared_ptr<Context> currentContext();
    bool isCurrent() const;

    // The queue on which this context's objects are made and deleted (the
    // main queue unless set). deleteObjects runs `release` with the context
    // current: at once when called on that queue, else queued there without
    // waiting, so a thread never blocks on another context's queue.
    void setOwningQueue(std::shared_ptr<fnd::DispatchQueue> queue);
    void deleteObjects(std::function<void()> release);

    // Last error text of EGL for this context (empty when none).
    const std::string& lastError() const { return lastError_; }

private:
    friend bool renderbufferStorageFromDrawable(Context&, const std::shared_ptr<Drawable>&);
    friend bool presentRenderbuffer(Context&);
    Context() = default;
    struct ThreadBinding;
    static ThreadBinding& thisThread();
    struct Native;
    std::unique_ptr<Native> native_;
    std::shared_ptr<Sharegroup> sharegroup_;
    std::weak_ptr<fnd::DispatchQueue> owningQueue_;
    bool ownedByMainQueue_ = true;
    std::atomic<bool> bound_{false};  // current on some thread
    std::string lastError_;
    std::map<unsigned, std::weak_ptr<Drawable>> drawables_;  // renderbuffer name -> drawable
};

}  // namespace gl
