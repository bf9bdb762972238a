#include "imaging/GfxPicture.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxImageBytes.h"
#include "platform/gl/GLES.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <vector>

GfxPicture::GfxPicture(const ui::Image& image, bool smoothlyScaleOutput, bool removePremultiplication)
{
    const int width = image.isNull() ? 0 : image.pixelWidth();
    const int height = image.isNull() ? 0 : image.pixelHeight();
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "Passed image must not be empty - it should be at least 1px tall and wide\n");
        std::abort();
    }
    shouldSmoothlyScaleOutput_ = smoothlyScaleOutput;
    ui::Size fitted = GfxContext::sizeThatFitsWithinATextureForSize({double(width), double(height)});
    if (smoothlyScaleOutput)
        fitted = {double(std::bit_ceil(unsigned(fitted.width))), double(std::bit_ceil(unsigned(fitted.height)))};
    pixelSizeOfImage_ = fitted;
    const int textureWidth = static_cast<int>(fitted.width);
    const int textureHeight = static_cast<int>(fitted.height);

    const std::vector<std::uint8_t> rgba = rgbaBytesOfImage(image, textureWidth, textureHeight, removePremultiplication);

    runOnProcessingQueueSync([&] {
        GfxContext::useImageProcessingContext();
        outputFramebuffer_ = GfxContext::sharedFramebufferCache().fetchFramebufferForSize(fitted, true);
        outputFramebuffer_->disableReferenceCounting();
        outputFramebuffer_->uploadRGBA(rgba.data(), textureWidth, textureHeight, smoothlyScaleOutput);
    });
}

GfxPicture::~GfxPicture()
{
    GfxPicture::removeAllTargets();
    if (outputFramebuffer_) {
        outputFramebuffer_->enableReferenceCounting();
        outputFramebuffer_->unlock();
    }
}

void GfxPicture::sendFrame(GfxInput& target, int textureIndex)
{
    target.setCurrentlyReceivingMonochromeInput(false);
    target.setInputSize(pixelSizeOfImage_, textureIndex);
    target.setInputFramebuffer(outputFramebuffer_, textureIndex);
    target.newFrameReadyAtTime(media::MediaTime::indefinite(), textureIndex);
}

bool GfxPicture::processImage(std::function<void()> completion)
{
    hasProcessedImage_ = true;
    if (imageUpdateBusy_.exchange(true))
        return false;
    runOnProcessingQueueAsync([this, completion = std::move(completion)] {
        const auto targets = targets_;
        const auto indices = targetTextureIndices_;
        for (std::size_t i = 0; i < targets.size(); ++i)
            sendFrame(*targets[i], indices[i]);
        imageUpdateBusy_ = false;
        if (completion)
            completion();
    });
    return true;
}

void GfxPicture::addTarget(const std::shared_ptr<GfxInput>& target, int textureLocation)
{
    GfxOutput::addTarget(target, textureLocation);
    if (hasProcessedImage_)
        sendFrame(*target, textureLocation);
}

void GfxPicture::removeAllTargets()
{
    GfxOutput::removeAllTargets();
    hasProcessedImage_ = false;
}
