#include "imaging/GfxYCbCrConverter.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFilter.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxOneToOneSampling.h"
#include "imaging/GLProgram.h"
#include "platform/gl/Context.h"
#include "platform/gl/GLES.h"
#include "platform/media/PixelBuffer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const PositionVertexShader = "attribute vec4 position; void main() { gl_Position = position; }";

// Samples are placed from the fragment's window position: movie pixel (x, y)
// is at origin + x * xStep + y * yStep in the input texture, whatever its rotation.
const char* const LumaFragmentShader =
    "uniform sampler2D inputImageTexture; uniform highp vec2 origin; uniform highp vec2 xStep; uniform highp vec2 "
    "yStep; const lowp vec3 weights = vec3(0.256788, 0.504129, 0.097906); lowp float luma(highp float x) { return "
    "dot(texture2D(inputImageTexture, origin + x * xStep + gl_FragCoord.y * yStep).rgb, weights); } void main() { "
    "highp float x = floor(gl_FragCoord.x) * 4.0 + 0.5; gl_FragColor = vec4(luma(x), luma(x + 1.0), luma(x + 2.0), "
    "luma(x + 3.0)) + 16.0 / 255.0; }";
// Each sample lies between two columns and two rows of pixels.
const char* const ChromaFragmentShader =
    "uniform sampler2D inputImageTexture; uniform highp vec2 origin; uniform highp vec2 xStep; uniform highp vec2 "
    "yStep; uniform highp float top; const lowp vec3 blueWeights = vec3(-0.148223, -0.290993, 0.439216); const lowp "
    "vec3 redWeights = vec3(0.439216, -0.367788, -0.071427); lowp vec2 chroma(highp float x) { lowp vec3 rgb = "
    "texture2D(inputImageTexture, origin + x * xStep + 2.0 * (gl_FragCoord.y - top) * yStep).rgb; return "
    "vec2(dot(rgb, blueWeights), dot(rgb, redWeights)); } void main() { highp float x = floor(gl_FragCoord.x) * 4.0 "
    "+ 1.0; gl_FragColor = vec4(chroma(x), chroma(x + 2.0)) + 128.0 / 255.0; }";

}  // namespace

GfxYCbCrConverter::GfxYCbCrConverter(GfxContext& context, int width, int height)
    : context_(context), width_(width), height_(height), packedWidth_((width + 3) / 4),
      chromaRows_((height + 1) / 2), luma_(makePass(LumaFragmentShader)), chroma_(makePass(ChromaFragmentShader))
{
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &renderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8_OES, packedWidth_, height_ + chromaRows_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer_);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "Incomplete movie FBO: %d\n", static_cast<int>(status));
        std::abort();
    }
}

GfxYCbCrConverter::~GfxYCbCrConverter()
{
    context_.context()->deleteObjects([framebuffer = framebuffer_, renderbuffer = renderbuffer_] {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &renderbuffer);
    });
}

GfxYCbCrConverter::Pass GfxYCbCrConverter::makePass(const char* fragmentShader)
{
    Pass pass;
    pass.program = linkedProgram(context_, PositionVertexShader, fragmentShader, {"position"});
    pass.position = pass.program->attributeIndex("position");
    pass.inputTexture = pass.program->uniformIndex("inputImageTexture");
    pass.origin = pass.program->uniformIndex("origin");
    pass.xStep = pass.program->uniformIndex("xStep");
    pass.yStep = pass.program->uniformIndex("yStep");
    pass.top = pass.program->uniformIndex("top");
    return pass;
}

void GfxYCbCrConverter::draw(const GfxFramebuffer& frame, RotationMode rotation)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, frame.texture());
    {
        // Luma samples fall on texel centres; chroma needs the filter's averaging.
        const ui::Size size = rotationSwapsWidthAndHeight(rotation)
                                  ? ui::Size{frame.size().height, frame.size().width}
                                  : frame.size();
        const GfxOneToOneSampling sampling(frame.texture(), size == ui::Size{double(width_), double(height_)});
        drawPass(luma_, 0, height_, rotation);
    }
    drawPass(chroma_, height_, chromaRows_, rotation);
}

void GfxYCbCrConverter::drawPass(const Pass& pass, int top, int rows, RotationMode rotation)
{
    // The corners' texture coordinates give where the movie's rows and columns run in the texture.
    const auto& corners = GfxFilter::textureCoordinatesForRotation(rotation);
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    context_.setContextShaderProgram(pass.program);
    glViewport(0, top, packedWidth_, rows);
    glUniform1i(pass.inputTexture, 4);
    glUniform2f(pass.origin, corners[0], corners[1]);
    glUniform2f(pass.xStep, (corners[2] - corners[0]) / w, (corners[3] - corners[1]) / w);
    glUniform2f(pass.yStep, (corners[4] - corners[0]) / h, (corners[5] - corners[1]) / h);
    if (pass.top >= 0)
        glUniform1f(pass.top, static_cast<float>(top));
    glEnableVertexAttribArray(pass.position);
    glVertexAttribPointer(pass.position, 2, GL_FLOAT, GL_FALSE, 0, GfxFilter::imageVertices().data());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void GfxYCbCrConverter::read(media::PixelBuffer& pixels)
{
    pixels.lockBaseAddress();
    std::uint8_t* const luma = pixels.baseAddressOfPlane(0);
    std::uint8_t* const chroma = pixels.baseAddressOfPlane(1);
    const std::size_t rowBytes = static_cast<std::size_t>(packedWidth_) * 4;
    // Planes laid out as the renderbuffer's rows are, one after the other, take a single read.
    if (pixels.bytesPerRowOfPlane(0) == rowBytes && pixels.bytesPerRowOfPlane(1) == rowBytes &&
        chroma == luma + rowBytes * static_cast<std::size_t>(height_)) {
        readRows(0, height_ + chromaRows_, luma, rowBytes);
    } else {
        readRows(0, height_, luma, pixels.bytesPerRowOfPlane(0));
        readRows(height_, chromaRows_, chroma, pixels.bytesPerRowOfPlane(1));
    }
    pixels.unlockBaseAddress();
}

void GfxYCbCrConverter::readRows(int top, int rows, std::uint8_t* destination, std::size_t bytesPerRow)
{
    const std::size_t rowBytes = static_cast<std::size_t>(packedWidth_) * 4;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (bytesPerRow == rowBytes) {
        glReadPixels(0, top, packedWidth_, rows, GL_RGBA, GL_UNSIGNED_BYTE, destination);
        return;
    }
    readBack_.resize(rowBytes * static_cast<std::size_t>(rows));
    glReadPixels(0, top, packedWidth_, rows, GL_RGBA, GL_UNSIGNED_BYTE, readBack_.data());
    const std::size_t copied = std::min(rowBytes, bytesPerRow);
    for (int row = 0; row < rows; ++row)
        std::memcpy(destination + bytesPerRow * static_cast<std::size_t>(row),
                    readBack_.data() + rowBytes * static_cast<std::size_t>(row), copied);
}
