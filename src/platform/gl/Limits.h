#pragma once

#include <string>
#include <vector>

namespace gl {

// What the OpenGL ES implementation offers, read once per process.
struct Limits {
    int maxTextureSize = 0;
    int maxTextureImageUnits = 0;
    int maxVaryingVectors = 0;
    std::vector<std::string> extensions;

    bool supportsExtension(const std::string& name) const;
    bool supportsRedTextures() const { return supportsExtension("GL_EXT_texture_rg"); }
    bool supportsFramebufferReads() const { return supportsExtension("GL_EXT_shader_framebuffer_fetch"); }
    // Texture upload through memory shared by CPU and GPU: not available on
    // this platform, so callers take their copying paths.
    static constexpr bool supportsFastTextureUpload = false;

    // Read on first call through a context of its own (the calling thread's
    // current context is left as it was); all zero when there is no OpenGL ES.
    static const Limits& device();
};

}  // namespace gl
