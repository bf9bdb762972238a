#pragma once

#include <array>
#include <functional>
#include <string>

// A camera frame's conversion from its luma and chroma planes to RGB that has
// not been drawn into its framebuffer yet. Whoever samples the framebuffer has
// it drawn first; a filter that can do the same conversion within its own
// pass reads the planes instead, and one full-frame pass is saved. It lasts
// while the camera hands the frame on: what still holds the framebuffer then
// gets it drawn.
struct GfxPendingConversion {
    unsigned luminanceTexture = 0;
    unsigned chrominanceTexture = 0;
    std::array<float, 9> matrix{};
    bool fullRange = false;
    // Where the planes are sampled for an upright picture.
    std::array<float, 8> textureCoordinates{};
    // Draws the conversion into the framebuffer.
    std::function<void()> draw;
};

// GLSL: `lowp vec3 cameraRGB(highp vec2 coordinate)`, the conversion of the
// planes at a point, over the uniforms luminanceTexture, chrominanceTexture and
// colorConversionMatrix; unclamped, as the framebuffer clamps it.
std::string cameraRGBShaderFunction(bool fullRange);
