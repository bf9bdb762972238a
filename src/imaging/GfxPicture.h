#pragma once

#include "imaging/GfxOutput.h"
#include "platform/ui/Image.h"

#include <atomic>
#include <functional>

// A source that uploads one still image into a texture and pushes it to its
// targets, with an indefinite frame time, on request.
class GfxPicture : public GfxOutput {
public:
    explicit GfxPicture(const ui::Image& image, bool smoothlyScaleOutput = false,
                        bool removePremultiplication = false);
    ~GfxPicture() override;

    // False when a previous push is still under way.
    bool processImage(std::function<void()> completion = nullptr);
    ui::Size outputImageSize() const { return pixelSizeOfImage_; }

    using GfxOutput::addTarget;
    void addTarget(const std::shared_ptr<GfxInput>& target, int textureLocation) override;
    void removeAllTargets() override;

private:
    void sendFrame(GfxInput& target, int textureIndex);

    ui::Size pixelSizeOfImage_;
    bool hasProcessedImage_ = false;
    std::atomic<bool> imageUpdateBusy_{false};
};
