#include "platform/gl/TextureCache.h"

#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/gl/Context.h"
#include "platform/media/PixelBuffer.h"

namespace gl {

struct CacheTexture::Pool {
    std::shared_ptr<Context> context;
    std::mutex mutex;
    std::vector<unsigned> idle;
    bool closed = false;  // the cache is gone: returned names are deleted

    void deleteNames(std::vector<unsigned> names)
    {
        if (names.empty())
            return;
        context->deleteObjects([names = std::move(names)] {
            glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
        });
    }
};

CacheTexture::CacheTexture(std::shared_ptr<Pool> pool, unsigned target, unsigned name)
    : pool_(std::move(pool)), target_(target), name_(name)
{
}

CacheTexture::~CacheTexture()
{
    {
        const std::lock_guard lock(pool_->mutex);
        if (!pool_->closed) {
            pool_->idle.push_back(name_);
            return;
        }
    }
    pool_->deleteNames({name_});
}

namespace {

int bytesPerPixel(unsigned format, unsigned type)
{
    if (type != GL_UNSIGNED_BYTE)
        return 0;
    switch (format) {
    case GL_LUMINANCE:
    case GL_ALPHA:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGBA:
    case GL_BGRA_EXT:
        return 4;
    default:
        return 0;
    }
}

}  // namespace

std::shared_ptr<TextureCache> TextureCache::create(std::shared_ptr<Context> context)
{
    if (!context)
        return nullptr;
    return std::shared_ptr<TextureCache>(new TextureCache(std::move(context)));
}

TextureCache::TextureCache(std::shared_ptr<Context> context)
    : context_(std::move(context)), pool_(std::make_shared<CacheTexture::Pool>())
{
    pool_->context = context_;
}

TextureCache::~TextureCache()
{
    {
        const std::lock_guard lock(pool_->mutex);
        pool_->closed = true;
    }
    flush();
}

std::shared_ptr<CacheTexture> TextureCache::createTextureFromImage(media::PixelBuffer& buffer, unsigned target,
                                                                   int internalFormat, int width, int height,
                                                                   unsigned format, unsigned type, int planeIndex,
                                                                   int* error)
{
    const auto fail = [error](Error code) {
        if (error)
            *error = code;
        return nullptr;
    };
    const int pixelBytes = bytesPerPixel(format, type);
    if (target != GL_TEXTURE_2D || pixelBytes == 0 || planeIndex < 0 || planeIndex >= buffer.planeCount() ||
        width < 1 || height < 1 || width > buffer.widthOfPlane(planeIndex) ||
        height > buffer.heightOfPlane(planeIndex) ||
        static_cast<std::size_t>(width) * pixelBytes > buffer.bytesPerRowOfPlane(planeIndex))
        return fail(InvalidArgument);
    const auto previous = Context::currentContext();
    if (previous != context_ && !Context::setCurrentContext(context_))
        return fail(ContextNotCurrent);

    unsigned name = 0;
    {
        const std::lock_guard lock(pool_->mutex);
        if (!pool_->idle.empty()) {
            name = pool_->idle.back();
            pool_->idle.pop_back();
        }
    }
    if (name == 0)
        glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    buffer.lockBaseAddress();
    const std::uint8_t* plane = buffer.baseAddressOfPlane(planeIndex);
    const std::size_t stride = buffer.bytesPerRowOfPlane(planeIndex);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
    // OpenGL ES 2.0 has no row length for uploads: padded rows are packed first.
    std::vector<std::uint8_t> packed;
    const std::uint8_t* pixels = plane;
    if (stride != rowBytes) {
        packed.resize(rowBytes * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(packed.data() + rowBytes * y, plane + stride * y, rowBytes);
        pixels = packed.data();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, pixels);
    buffer.unlockBaseAddress();

    if (previous != context_)
        Context::setCurrentContext(previous);
    if (error)
        *error = Success;
    return std::shared_ptr<CacheTexture>(new CacheTexture(pool_, GL_TEXTURE_2D, name));
}

void TextureCache::flush()
{
    std::vector<unsigned> names;
    {
        const std::lock_guard lock(pool_->mutex);
        names.swap(pool_->idle);
    }
    pool_->deleteNames(std::move(names));
}

}  // namespace gl
