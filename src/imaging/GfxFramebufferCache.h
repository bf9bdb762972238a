#pragma once

#include "imaging/GfxTextureOptions.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Geometry.h"

#include <atomic>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

class GfxFramebuffer;

// Idle framebuffers by size and texture options. Slots of one kind behave as
// a stack: the one returned last is lent first. The counters let tests and
// benchmarks see how the pipeline lends them.
class GfxFramebufferCache {
public:
    GfxFramebufferCache();
    ~GfxFramebufferCache();
    GfxFramebufferCache(const GfxFramebufferCache&) = delete;
    GfxFramebufferCache& operator=(const GfxFramebufferCache&) = delete;

    static std::string hashForSize(ui::Size size, const GfxTextureOptions& textureOptions, bool onlyTexture);
    // Locked once for the caller.
    std::shared_ptr<GfxFramebuffer> fetchFramebufferForSize(ui::Size size, const GfxTextureOptions& textureOptions,
                                                            bool onlyTexture);
    std::shared_ptr<GfxFramebuffer> fetchFramebufferForSize(ui::Size size, bool onlyTexture);
    void returnFramebufferToCache(const std::shared_ptr<GfxFramebuffer>& framebuffer);
    void purgeAllUnassignedFramebuffers();
    void addFramebufferToActiveImageCaptureList(const std::shared_ptr<GfxFramebuffer>& framebuffer);
    void removeFramebufferFromActiveImageCaptureList(const std::shared_ptr<GfxFramebuffer>& framebuffer);

    // Accounting.
    std::size_t framebuffersCreated() const { return created_.load(); }
    std::size_t idleFramebufferCount() const;
    // Framebuffers that were handed back while already idle (refused).
    std::size_t doubleReturns() const { return doubleReturns_.load(); }
    std::size_t unbalancedUnlocks() const { return unbalancedUnlocks_.load(); }
    void noteUnbalancedUnlock() { ++unbalancedUnlocks_; }
    void resetCounters();

    // The platform's memory-warning notification.
    static constexpr const char* memoryWarningNotification = "UIApplicationDidReceiveMemoryWarningNotification";

private:
    std::map<std::string, std::shared_ptr<GfxFramebuffer>> framebufferCache_;
    std::map<std::string, int> framebufferTypeCounts_;
    std::vector<std::shared_ptr<GfxFramebuffer>> activeImageCaptureList_;
    fnd::NotificationCenter::Token memoryWarningObserver_;
    std::atomic<std::size_t> created_{0};
    std::atomic<std::size_t> doubleReturns_{0};
    std::atomic<std::size_t> unbalancedUnlocks_{0};
};
