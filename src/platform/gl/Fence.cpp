#include "platform/gl/Fence.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>

#include "platform/gl/Context.h"
#include "platform/gl/EglDisplay.h"

namespace gl {

std::unique_ptr<Fence> Fence::insert()
{
    if (!Context::currentContext())
        return nullptr;
    const EGLSync sync = eglCreateSync(EglDisplay::shared().display(), EGL_SYNC_FENCE, nullptr);
    if (sync == EGL_NO_SYNC)
        return nullptr;
    glFlush();
    return std::unique_ptr<Fence>(new Fence(sync));
}

Fence::~Fence() { eglDestroySync(EglDisplay::shared().display(), static_cast<EGLSync>(sync_)); }

bool Fence::waitOnCurrentContext() const
{
    if (!Context::currentContext())
        return false;
    return eglWaitSync(EglDisplay::shared().display(), static_cast<EGLSync>(sync_), 0) == EGL_TRUE;
}

bool Fence::clientWait(double timeoutSeconds) const
{
    const auto nanoseconds = static_cast<EGLTime>(timeoutSeconds > 0 ? timeoutSeconds * 1e9 : 0);
    return eglClientWaitSync(EglDisplay::shared().display(), static_cast<EGLSync>(sync_),
                             EGL_SYNC_FLUSH_COMMANDS_BIT, nanoseconds) == EGL_CONDITION_SATISFIED;
}

bool Fence::isSignaled() const
{
    EGLAttrib status = 0;
    eglGetSyncAttrib(EglDisplay::shared().display(), static_cast<EGLSync>(sync_), EGL_SYNC_STATUS, &status);
    return status == EGL_SIGNALED;
}

}  // namespace gl
