#include "imaging/GfxPicture.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"

#include <GLES2/gl2.h>

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

    // RGBA bytes of the texture size (nearest pixel when the size changes);
    // the image's words are premultiplied ARGB.
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(textureWidth) * textureHeight * 4);
    const std::uint32_t* pixels = image.pixels();
    for (int y = 0; y < textureHeight; ++y) {
        const int sourceY = y * height / textureHeight;
        for (int x = 0; x < textureWidth; ++x) {
            const std::uint32_t word = pixels[static_cast<std::size_t>(sourceY) * width + x * width / textureWidth];
            std::uint32_t a = word >> 24, r = (word >> 16) & 0xff, g = (word >> 8) & 0xff, b = word & 0xff;
            if (removePremultiplication && a != 0 && a != 255) {
                r = std::min(255u, (r * 255 + a / 2) / a);
                g = std::min(255u, (g * 255 + a / 2) / a);
                b = std::min(255u, (b * 255 + a / 2) / a);
            }
            std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * textureWidth + x) * 4];
            out[0] = static_cast<std::uint8_t>(r);
            out[1] = static_cast<std::uint8_t>(g);
            out[2] = static_cast<std::uint8_t>(b);
            out[3] = static_cast<std::uint8_t>(a);
        }
    }

    runOnProcessingQueueSync([&] {
        GfxContext::useImageProcessingContext();
        outputFramebuffer_ = GfxContext::sharedFramebufferCache().fetchFramebufferForSize(fitted, true);
        outputFramebuffer_->disableReferenceCounting();
        glBindTexture(GL_TEXTURE_2D, outputFramebuffer_->texture());
        if (smoothlyScaleOutput)
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     rgba.data());
        if (smoothlyScaleOutput)
            glGenerateMipmap(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
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
