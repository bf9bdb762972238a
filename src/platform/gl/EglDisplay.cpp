#include "platform/gl/EglDisplay.h"

#include <EGL/eglext.h>

namespace gl {

const EglDisplay& EglDisplay::shared()
{
    static const EglDisplay display;
    return display;
}

EglDisplay::EglDisplay()
{
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || eglInitialize(display, &major, &minor) != EGL_TRUE) {
        error_ = "the surfaceless EGL platform is not available (EGL error " + std::to_string(eglGetError()) + ")";
        return;
    }
    if (eglBindAPI(EGL_OPENGL_ES_API) != EGL_TRUE) {
        error_ = "EGL has no OpenGL ES";
        return;
    }
    const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                             EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(display, wanted, &config_, 1, &count) != EGL_TRUE || count < 1) {
        // Contexts without a config are fine: they only ever draw into framebuffer objects.
        config_ = EGL_NO_CONFIG_KHR;
    }
    display_ = display;
}

}  // namespace gl
