#pragma once

#include <memory>

namespace media {
class PixelBuffer;
}

namespace gl {

class Context;
class TextureCache;

// One plane of a pixel buffer as a GL texture. Letting go of it hands the
// texture name back to its cache for the next frame.
class CacheTexture {
public:
    ~CacheTexture();
    CacheTexture(const CacheTexture&) = delete;
    CacheTexture& operator=(const CacheTexture&) = delete;
    unsigned target() const { return target_; }
    unsigned name() const { return name_; }

private:
    friend class TextureCache;
    struct Pool;
    CacheTexture(std::shared_ptr<Pool> pool, unsigned target, unsigned name);
    std::shared_ptr<Pool> pool_;
    unsigned target_;
    unsigned name_;
};

// Makes textures of pixel-buffer planes for one context. There is no memory
// shared by CPU and GPU here, so each call copies the plane into a pooled
// texture; textures get LINEAR filters and CLAMP_TO_EDGE wrapping (a texture
// without filter settings would sample black). Texture names are deleted on
// the context's owning queue.
class TextureCache {
public:
    enum Error {
        Success = 0,
        InvalidArgument = -6661,    // bad plane, size larger than the plane, unknown format
        ContextNotCurrent = -6662,  // the cache's context cannot be made current on this thread
    };

    static std::shared_ptr<TextureCache> create(std::shared_ptr<Context> context);
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // GL enums as for glTexImage2D: target GL_TEXTURE_2D; format and internal
    // format GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGBA or GL_BGRA_EXT; type
    // GL_UNSIGNED_BYTE. width x height must fit in the plane. The texture is
    // left bound to the target of the active texture unit.
    std::shared_ptr<CacheTexture> createTextureFromImage(media::PixelBuffer& buffer, unsigned target,
                                                         int internalFormat, int width, int height, unsigned format,
                                                         unsigned type, int planeIndex, int* error = nullptr);
    // Deletes the textures no one holds.
    void flush();

private:
    explicit TextureCache(std::shared_ptr<Context> context);
    std::shared_ptr<Context> context_;
    std::shared_ptr<CacheTexture::Pool> pool_;
};

}  // namespace gl
