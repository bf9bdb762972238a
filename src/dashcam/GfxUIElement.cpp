#include "dashcam/GfxUIElement.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxImageBytes.h"
#include "platform/ui/Device.h"

GfxUIElement::GfxUIElement(std::shared_ptr<ui::View> view) : canvas_(std::move(view)) {}

ui::Size GfxUIElement::layerSizeInPixels() const { return canvas_.sizeInPixels(ui::Device::current().scale()); }

void GfxUIElement::update() { updateWithTimestamp(media::MediaTime::indefinite()); }

void GfxUIElement::updateWithTimestamp(media::MediaTime frameTime)
{
    if (processingOverlay_)
        return;
    processingOverlay_ = true;
    GfxContext::useImageProcessingContext();

    const ui::Image frame = canvas_.paint(ui::Device::current().scale());
    const int w = frame.pixelWidth();
    const int h = frame.pixelHeight();
    if (w <= 0 || h <= 0) {
        processingOverlay_ = false;
        return;
    }
    const std::vector<std::uint8_t> bytes = rgbaBytesOfImage(frame, w, h, true);
    const ui::Size size{static_cast<double>(w), static_cast<double>(h)};
    outputFramebuffer_ =
        GfxContext::sharedFramebufferCache().fetchFramebufferForSize(size, outputTextureOptions(), true);
    outputFramebuffer_->uploadRGBA(bytes.data(), w, h);

    // The target is handed the texture just filled, so it never samples a stale one.
    if (!targets_.empty()) {
        const int index = targetTextureIndices_.front();
        const auto target = targets_.front();
        target->setInputSize(size, index);
        target->setInputFramebuffer(outputFramebuffer_, index);
        outputFramebuffer_->unlock();
        target->newFrameReadyAtTime(frameTime, index);
    } else {
        outputFramebuffer_->unlock();
    }
    removeOutputFramebuffer();
    processingOverlay_ = false;
}
