#include "imaging/GfxFramebuffer.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebufferCache.h"
#include "platform/gl/Context.h"
#include "platform/gl/GLES.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <vector>

GfxFramebuffer::GfxFramebuffer(ui::Size size, const GfxTextureOptions& textureOptions, bool onlyTexture)
    : missingFramebuffer_(onlyTexture), size_(size), textureOptions_(textureOptions)
{
    if (onlyTexture) {
        runOnProcessingQueueSync([this] {
            GfxContext::useImageProcessingContext();
            generateTexture();
            framebuffer_ = 0;
        });
    } else {
        generateFramebuffer();
    }
}

GfxFramebuffer::GfxFramebuffer(ui::Size size) : GfxFramebuffer(size, GfxTextureOptions{}, false) {}

GfxFramebuffer::GfxFramebuffer(ui::Size size, std::uint32_t overriddenTexture)
    : missingFramebuffer_(true), ownsTexture_(false), texture_(overriddenTexture), size_(size)
{
    referenceCountingDisabled_ = true;
}

GfxFramebuffer::~GfxFramebuffer()
{
    destroyFramebuffer();
}

void GfxFramebuffer::generateTexture()
{
    glActiveTexture(GL_TEXTURE1);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(textureOptions_.minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(textureOptions_.magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(textureOptions_.wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(textureOptions_.wrapT));
}

void GfxFramebuffer::generateFramebuffer()
{
    runOnProcessingQueueSync([this] {
        GfxContext::useImageProcessingContext();
        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        // No memory shared by CPU and GPU here: a plain texture takes the
        // storage. OpenGL ES wants the storage format to equal the internal
        // one; the BGRA layout only matters for uploads and read-backs.
        generateTexture();
        glBindTexture(GL_TEXTURE_2D, texture_);
        const GLenum format = textureOptions_.format == GL_BGRA_EXT && textureOptions_.internalFormat == GL_RGBA
                                  ? GL_RGBA
                                  : textureOptions_.format;
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(textureOptions_.internalFormat),
                     static_cast<GLsizei>(size_.width), static_cast<GLsizei>(size_.height), 0, format,
                     textureOptions_.type, nullptr);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
        const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        if (status != GL_FRAMEBUFFER_COMPLETE) {
            std::fprintf(stderr, "Incomplete filter FBO: %d\n", static_cast<int>(status));
            std::abort();
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    });
}

void GfxFramebuffer::destroyFramebuffer()
{
    const GLuint framebuffer = framebuffer_;
    const GLuint texture = ownsTexture_ ? texture_ : 0;
    framebuffer_ = 0;
    texture_ = 0;
    if (framebuffer == 0 && texture == 0)
        return;
    // Deleted on the shared context's queue, whichever thread lets go last.
    GfxContext::sharedImageProcessingContext().context()->deleteObjects([framebuffer, texture] {
        if (framebuffer)
            glDeleteFramebuffers(1, &framebuffer);
        if (texture)
            glDeleteTextures(1, &texture);
    });
}

void GfxFramebuffer::activateFramebuffer()
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, static_cast<GLsizei>(size_.width), static_cast<GLsizei>(size_.height));
}

void GfxFramebuffer::lock()
{
    if (referenceCountingDisabled_)
        return;
    ++framebufferReferenceCount_;
}

void GfxFramebuffer::unlock()
{
    if (referenceCountingDisabled_)
        return;
    auto count = framebufferReferenceCount_.load();
    do {
        if (count == 0) {
            assert(!"unlock of a framebuffer that nobody holds");
            GfxContext::sharedFramebufferCache().noteUnbalancedUnlock();
            return;
        }
    } while (!framebufferReferenceCount_.compare_exchange_weak(count, count - 1));
    if (count == 1)
        GfxContext::sharedFramebufferCache().returnFramebufferToCache(shared_from_this());
}

void GfxFramebuffer::clearAllLocks()
{
    framebufferReferenceCount_ = 0;
}

void GfxFramebuffer::disableReferenceCounting()
{
    referenceCountingDisabled_ = true;
}

void GfxFramebuffer::enableReferenceCounting()
{
    referenceCountingDisabled_ = false;
}

ui::Image GfxFramebuffer::newImageFromFramebufferContents()
{
    if (textureOptions_.internalFormat != GL_RGBA) {
        std::fprintf(stderr,
                     "For conversion to a CGImage the output texture format for this filter must be GL_RGBA.\n");
        std::abort();
    }
    if (textureOptions_.type != GL_UNSIGNED_BYTE) {
        std::fprintf(stderr,
                     "For conversion to a CGImage the type of the output texture of this filter must be "
                     "GL_UNSIGNED_BYTE.\n");
        std::abort();
    }
    const int width = static_cast<int>(size_.width);
    const int height = static_cast<int>(size_.height);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    runOnProcessingQueueSync([&] {
        GfxContext::useImageProcessingContext();
        activateFramebuffer();
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    });
    unlock();
    // The framebuffer's first row is the image's top row; the image wants
    // premultiplied ARGB words.
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < argb.size(); ++i) {
        const std::uint8_t* p = &rgba[i * 4];
        const std::uint32_t a = p[3];
        const auto premultiply = [a](std::uint32_t c) { return (c * a + 127) / 255; };
        argb[i] = (a << 24) | (premultiply(p[0]) << 16) | (premultiply(p[1]) << 8) | premultiply(p[2]);
    }
    return ui::Image::fromPixels(width, height, argb.data(), static_cast<std::size_t>(width) * 4);
}

void GfxFramebuffer::uploadRGBA(const std::uint8_t* pixels, int width, int height, bool mipmaps)
{
    glBindTexture(GL_TEXTURE_2D, texture_);
    if (mipmaps)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (mipmaps)
        glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}
