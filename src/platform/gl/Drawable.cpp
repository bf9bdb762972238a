#include "platform/gl/Drawable.h"

#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gl/Context.h"

namespace gl {

namespace {

// A premultiplied ARGB word from a straight RGBA pixel. Opaque pixels, nearly all of a
// camera picture, need no multiplying.
std::uint32_t premultipliedArgb(const std::uint8_t* rgba)
{
    const std::uint32_t a = rgba[3];
    if (a == 255)
        return 0xFF000000u | (std::uint32_t(rgba[0]) << 16) | (std::uint32_t(rgba[1]) << 8) | rgba[2];
    const auto premultiplied = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (premultiplied(rgba[0]) << 16) | (premultiplied(rgba[1]) << 8) | premultiplied(rgba[2]);
}

// Whether the bound framebuffer draws into `renderbuffer`: then it can be read as it is, without
// switching framebuffers (which makes the renderer start on what was drawn so far).
bool boundFramebufferShows(GLuint renderbuffer)
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    if (framebuffer == 0)
        return false;
    GLint type = GL_NONE;
    GLint name = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                          &type);
    if (type != GL_RENDERBUFFER)
        return false;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &name);
    return static_cast<GLuint>(name) == renderbuffer;
}

}  // namespace

void Drawable::setPixelSize(int width, int height)
{
    const std::lock_guard lock(mutex_);
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

int Drawable::pixelWidth() const
{
    const std::lock_guard lock(mutex_);
    return width_;
}

int Drawable::pixelHeight() const
{
    const std::lock_guard lock(mutex_);
    return height_;
}

ui::Image Drawable::image() const
{
    const std::lock_guard lock(mutex_);
    return image_;
}

void Drawable::setPresentHandler(std::function<void(const ui::Image&)> handler)
{
    const std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void Drawable::presented(ui::Image image)
{
    std::function<void(const ui::Image&)> handler;
    {
        const std::lock_guard lock(mutex_);
        image_ = image;
        handler = handler_;
    }
    if (handler)
        handler(image);
}

bool renderbufferStorageFromDrawable(Context& context, const std::shared_ptr<Drawable>& drawable)
{
    if (!context.isCurrent() || !drawable)
        return false;
    const int width = drawable->pixelWidth();
    const int height = drawable->pixelHeight();
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    if (renderbuffer == 0 || width == 0 || height == 0)
        return false;
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8_OES, width, height);
    context.drawables_[static_cast<unsigned>(renderbuffer)] = drawable;
    return glGetError() == GL_NO_ERROR;
}

bool presentRenderbuffer(Context& context)
{
    if (!context.isCurrent())
        return false;
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    const auto found = context.drawables_.find(static_cast<unsigned>(renderbuffer));
    if (found == context.drawables_.end())
        return false;
    const auto drawable = found->second.lock();
    if (!drawable) {
        context.drawables_.erase(found);
        return false;
    }
    GLint width = 0;
    GLint height = 0;
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
    if (width <= 0 || height <= 0)
        return false;

    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (boundFramebufferShows(static_cast<GLuint>(renderbuffer))) {
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    } else {
        // Read through a framebuffer of our own, leaving the caller's bindings as they were.
        GLint previousFramebuffer = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
        GLuint readFramebuffer = 0;
        glGenFramebuffers(1, &readFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, readFramebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  static_cast<GLuint>(renderbuffer));
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
        glDeleteFramebuffers(1, &readFramebuffer);
    }

    // GL's first row is the bottom one; images start at the top. Pixels become
    // premultiplied ARGB words.
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgba.data() + static_cast<std::size_t>(height - 1 - y) * width * 4;
        std::uint32_t* out = argb.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x, in += 4)
            out[x] = premultipliedArgb(in);
    }
    drawable->presented(ui::Image::fromPixels(width, height, argb.data(), static_cast<std::size_t>(width) * 4));
    return true;
}

}  // namespace gl
