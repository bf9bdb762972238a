#pragma once

// Private to src/platform/gl: the only header that names EGL types.

#include <EGL/egl.h>

#include <string>

namespace gl {

// The process's one EGL display on Mesa's surfaceless platform, initialised
// on first use, with OpenGL ES bound and a config for ES 2.0 contexts.
class EglDisplay {
public:
    static const EglDisplay& shared();
    bool isAvailable() const { return display_ != EGL_NO_DISPLAY; }
    EGLDisplay display() const { return display_; }
    EGLConfig config() const { return config_; }
    const std::string& error() const { return error_; }

private:
    EglDisplay();
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    std::string error_;
};

}  // namespace gl
