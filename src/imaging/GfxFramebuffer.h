#pragma once

#include "imaging/GfxTextureOptions.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

#include <atomic>
#include <cstdint>
#include <memory>

// A texture, normally with a framebuffer object around it, lent out by the
// framebuffer cache under a lock count: the last unlock hands it back.
class GfxFramebuffer : public std::enable_shared_from_this<GfxFramebuffer> {
public:
    GfxFramebuffer(ui::Size size, const GfxTextureOptions& textureOptions, bool onlyTexture);
    explicit GfxFramebuffer(ui::Size size);
    // Wraps a texture made elsewhere; not reference counted.
    GfxFramebuffer(ui::Size size, std::uint32_t overriddenTexture);
    ~GfxFramebuffer();
    GfxFramebuffer(const GfxFramebuffer&) = delete;
    GfxFramebuffer& operator=(const GfxFramebuffer&) = delete;

    void activateFramebuffer();

    void lock();
    // An unlock at zero is a programming error: checked in debug builds,
    // ignored (and counted by the cache) in release builds.
    void unlock();
    void clearAllLocks();
    void disableReferenceCounting();
    void enableReferenceCounting();
    std::uint64_t lockCount() const { return framebufferReferenceCount_.load(); }

    // The pixels as an image (top row first); the options must be RGBA
    // internal format with unsigned bytes. Releases the caller's lock.
    ui::Image newImageFromFramebufferContents();

    // Fills the texture with `width` x `height` straight-alpha RGBA pixels, rows
    // packed, top row first. With `mipmaps` the texture also gets its mipmaps
    // and a mipmapped minifying filter, for smooth downscaling.
    void uploadRGBA(const std::uint8_t* pixels, int width, int height, bool mipmaps = false);

    std::uint32_t framebuffer() const { return framebuffer_; }
    std::uint32_t texture() const { return texture_; }
    ui::Size size() const { return size_; }
    const GfxTextureOptions& textureOptions() const { return textureOptions_; }
    bool missingFramebuffer() const { return missingFramebuffer_; }

private:
    void generateTexture();
    void generateFramebuffer();
    void destroyFramebuffer();

    std::uint32_t framebuffer_ = 0;
    std::atomic<std::uint64_t> framebufferReferenceCount_{0};
    std::atomic<bool> referenceCountingDisabled_{false};
    bool missingFramebuffer_ = false;
    bool ownsTexture_ = true;
    std::uint32_t texture_ = 0;
    ui::Size size_;
    GfxTextureOptions textureOptions_;
};
