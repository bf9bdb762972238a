#include "imaging/GfxFramebufferCache.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "platform/gl/TextureCache.h"

#include <algorithm>
#include <cstdio>

GfxFramebufferCache::GfxFramebufferCache()
{
    memoryWarningObserver_ = fnd::NotificationCenter::defaultCenter().addObserver(
        memoryWarningNotification, [this](const fnd::Notification&) { purgeAllUnassignedFramebuffers(); });
}

GfxFramebufferCache::~GfxFramebufferCache() = default;

std::string GfxFramebufferCache::hashForSize(ui::Size size, const GfxTextureOptions& o, bool onlyTexture)
{
    char key[160];
    std::snprintf(key, sizeof key, "%.1fx%.1f-%d:%d:%d:%d:%d:%d:%d%s", size.width, size.height,
                  static_cast<int>(o.minFilter), static_cast<int>(o.magFilter), static_cast<int>(o.wrapS),
                  static_cast<int>(o.wrapT), static_cast<int>(o.internalFormat), static_cast<int>(o.format),
                  static_cast<int>(o.type), onlyTexture ? "-NOFB" : "");
    return key;
}

static std::string slotKey(const std::string& lookupKey, int slot)
{
    return lookupKey + "-" + std::to_string(slot);
}

std::shared_ptr<GfxFramebuffer> GfxFramebufferCache::fetchFramebufferForSize(ui::Size size,
                                                                             const GfxTextureOptions& textureOptions,
                                                                             bool onlyTexture)
{
    std::shared_ptr<GfxFramebuffer> framebuffer;
    runOnProcessingQueueSync([&] {
        const std::string lookupKey = hashForSize(size, textureOptions, onlyTexture);
        const int count = framebufferTypeCounts_[lookupKey];
        if (count >= 1) {
            int slot = count - 1;
            for (; slot >= 0; --slot) {
                const auto found = framebufferCache_.find(slotKey(lookupKey, slot));
                if (found != framebufferCache_.end()) {
                    framebuffer = found->second;
                    framebufferCache_.erase(found);
                    break;
                }
            }
            framebufferTypeCounts_[lookupKey] = std::max(slot, 0);
        }
        if (!framebuffer) {
            framebuffer = std::make_shared<GfxFramebuffer>(size, textureOptions, onlyTexture);
            ++created_;
        }
    });
    framebuffer->lock();
    return framebuffer;
}

std::shared_ptr<GfxFramebuffer> GfxFramebufferCache::fetchFramebufferForSize(ui::Size size, bool onlyTexture)
{
    return fetchFramebufferForSize(size, GfxTextureOptions{}, onlyTexture);
}

void GfxFramebufferCache::returnFramebufferToCache(const std::shared_ptr<GfxFramebuffer>& framebuffer)
{
    // The last unlock brought the count to zero already. It is not zeroed again
    // here: a lock taken meanwhile on another thread would be wiped, and the
    // framebuffer lent to two holders at once.
    runOnProcessingQueueAsync([this, framebuffer] {
        // A framebuffer locked again before this ran is lent out: it must not
        // sit in a slot too. One already idle is never stored twice.
        if (framebuffer->lockCount() != 0)
            return;
        for (const auto& entry : framebufferCache_) {
            if (entry.second == framebuffer) {
                ++doubleReturns_;
                return;
            }
        }
        const std::string lookupKey =
            hashForSize(framebuffer->size(), framebuffer->textureOptions(), framebuffer->missingFramebuffer());
        int& count = framebufferTypeCounts_[lookupKey];
        framebufferCache_[slotKey(lookupKey, count)] = framebuffer;
        ++count;
    });
}

void GfxFramebufferCache::purgeAllUnassignedFramebuffers()
{
    runOnProcessingQueueAsync([this] {
        framebufferCache_.clear();
        framebufferTypeCounts_.clear();
        GfxContext::sharedImageProcessingContext().coreVideoTextureCache().flush();
    });
}

void GfxFramebufferCache::addFramebufferToActiveImageCaptureList(const std::shared_ptr<GfxFramebuffer>& framebuffer)
{
    runOnProcessingQueueAsync([this, framebuffer] { activeImageCaptureList_.push_back(framebuffer); });
}

void GfxFramebufferCache::removeFramebufferFromActiveImageCaptureList(
    const std::shared_ptr<GfxFramebuffer>& framebuffer)
{
    runOnProcessingQueueAsync([this, framebuffer] { std::erase(activeImageCaptureList_, framebuffer); });
}

std::size_t GfxFramebufferCache::idleFramebufferCount() const
{
    return framebufferCache_.size();
}

void GfxFramebufferCache::resetCounters()
{
    created_ = 0;
    doubleReturns_ = 0;
    unbalancedUnlocks_ = 0;
}
