#pragma once

#include <cstdint>

// How a framebuffer's texture is made and sampled (OpenGL enumerants).
struct GfxTextureOptions {
    std::uint32_t minFilter = 0x2601;       // GL_LINEAR
    std::uint32_t magFilter = 0x2601;       // GL_LINEAR
    std::uint32_t wrapS = 0x812F;           // GL_CLAMP_TO_EDGE
    std::uint32_t wrapT = 0x812F;           // GL_CLAMP_TO_EDGE
    std::uint32_t internalFormat = 0x1908;  // GL_RGBA
    std::uint32_t format = 0x80E1;          // GL_BGRA
    std::uint32_t type = 0x1401;            // GL_UNSIGNED_BYTE

    friend bool operator==(const GfxTextureOptions&, const GfxTextureOptions&) = default;
};
