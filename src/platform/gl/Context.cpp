#include "platform/gl/Context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/gl/EglDisplay.h"

namespace gl {

namespace {

std::atomic<int> liveCount{0};

}  // namespace

struct Sharegroup::Impl {
    std::mutex mutex;
    // Every context of the group is made sharing with the first one still alive.
    std::vector<EGLContext> members;
};

Sharegroup::Sharegroup() : impl_(std::make_unique<Impl>()) {}
Sharegroup::~Sharegroup() = default;

struct Context::Native {
    EGLContext context = EGL_NO_CONTEXT;
};

std::shared_ptr<Context> Context::create(std::shared_ptr<Sharegroup> sharegroup)
{
    const EglDisplay& display = EglDisplay::shared();
    if (!display.isAvailable()) {
        fnd::log(fnd::LogLevel::Error, "OpenGL ES: " + display.error());
        return nullptr;
    }
    const EGLint attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    std::shared_ptr<Context> context(new Context());
    context->native_ = std::make_unique<Native>();
    context->sharegroup_ = sharegroup ? std::move(sharegroup) : std::make_shared<Sharegroup>();
    Sharegroup::Impl& group = *context->sharegroup_->impl_;
    const std::lock_guard lock(group.mutex);
    const EGLContext shareWith = group.members.empty() ? EGL_NO_CONTEXT : group.members.front();
    context->native_->context = eglCreateContext(display.display(), display.config(), shareWith, attributes);
    if (context->native_->context == EGL_NO_CONTEXT) {
        fnd::log(fnd::LogLevel::Error, "OpenGL ES: no OpenGL ES 2.0 context (EGL error " +
                                           std::to_string(eglGetError()) + ")");
        return nullptr;
    }
    group.members.push_back(context->native_->context);
    ++liveCount;
    return context;
}

Context::~Context()
{
    if (!native_ || native_->context == EGL_NO_CONTEXT)
        return;
    Sharegroup::Impl& group = *sharegroup_->impl_;
    {
        const std::lock_guard lock(group.mutex);
        std::erase(group.members, native_->context);
    }
    // Each thread holds a reference to its current context, so no living thread has this one
    // current. EGL frees a context only once no thread has it current: one still bound to a
    // thread that ended without giving it back is never freed.
    eglDestroyContext(EglDisplay::shared().display(), native_->context);
    if (!bound_)
        --liveCount;
}

int Context::liveContexts() { return liveCount; }

// The calling thread's current context. A thread that ends gives it back to EGL.
struct Context::ThreadBinding {
    std::shared_ptr<Context> context;

    ~ThreadBinding() { bind(nullptr); }

    bool bind(const std::shared_ptr<Context>& next)
    {
        if (next == context)
            return true;
        const EGLDisplay display = EglDisplay::shared().display();
        const EGLContext native = next ? next->native_->context : EGL_NO_CONTEXT;
        if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, native) != EGL_TRUE && next) {
            next->lastError_ = "eglMakeCurrent failed with EGL error " + std::to_string(eglGetError());
            return false;
        }
        if (context)
            context->bound_ = false;
        if (next)
            next->bound_ = true;
        context = next;
        return true;
    }
};

Context::ThreadBinding& Context::thisThread()
{
    thread_local ThreadBinding binding;
    return binding;
}

bool Context::setCurrentContext(const std::shared_ptr<Context>& context) { return thisThread().bind(context); }

std::shared_ptr<Context> Context::currentContext() { return thisThread().context; }

bool Context::isCurrent() const { return thisThread().context.get() == this; }

void Context::setOwningQueue(std::shared_ptr<fnd::DispatchQueue> queue)
{
    ownedByMainQueue_ = !queue;
    owningQueue_ = queue;
}

void Context::deleteObjects(std::function<void()> release)
{
    auto self = shared_from_this();
    auto run = [self, release = std::move(release)] {
        const auto previous = currentContext();
        if (setCurrentContext(self))
            release();
        setCurrentContext(previous);
    };
    if (ownedByMainQueue_) {
        if (fnd::DispatchQueue::main().isCurrent())
            run();
        else
            fnd::DispatchQueue::main().async(std::move(run));
        return;
    }
    // A queue that is gone took its thread with it; the objects then go with
    // the context.
    if (const auto queue = owningQueue_.lock()) {
        if (queue->isCurrent())
            run();
        else
            queue->async(std::move(run));
    }
}

}  // namespace gl
