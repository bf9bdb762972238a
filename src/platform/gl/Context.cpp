#include "platform/gl/Context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <mutex>
#include <vector>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/gl/EglDisplay.h"

namespace gl {

namespace {

thread_local std::shared_ptr<Context> currentOnThisThread;

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
    // A context is never current anywhere here: each thread holds a reference
    // to its current one.
    eglDestroyContext(EglDisplay::shared().display(), native_->context);
}

bool Context::setCurrentContext(const std::shared_ptr<Context>& context)
{
    if (context == currentOnThisThread)
        return true;
    const EGLDisplay display = EglDisplay::shared().display();
    if (!context) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        currentOnThisThread.reset();
        return true;
    }
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context->native_->context) != EGL_TRUE) {
        context->lastError_ = "eglMakeCurrent failed with EGL error " + std::to_string(eglGetError());
        return false;
    }
    currentOnThisThread = context;
    return true;
}

std::shared_ptr<Context> Context::currentContext() { return currentOnThisThread; }

bool Context::isCurrent() const { return currentOnThisThread.get() == this; }

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
