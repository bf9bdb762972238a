#include "dashcam/GfxUIElement.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxImageBytes.h"
#include "platform/gl/GLES.h"
#include "platform/ui/Device.h"

#include <algorithm>
#include <cstring>

namespace {

// Square tiles of this many pixels a side are compared and uploaded.
constexpr int tileSide = 64;

bool sameArea(const ui::Image& a, const ui::Image& b, const ui::Rect& area)
{
    const auto rowBytes = static_cast<std::size_t>(area.width()) * 4;
    for (int y = static_cast<int>(area.y()); y < static_cast<int>(area.maxY()); ++y) {
        const std::size_t first = static_cast<std::size_t>(y) * a.pixelWidth() + static_cast<std::size_t>(area.x());
        if (std::memcmp(a.pixels() + first, b.pixels() + first, rowBytes) != 0)
            return false;
    }
    return true;
}

}  // namespace

GfxUIElement::GfxUIElement(std::shared_ptr<ui::View> view) : canvas_(std::move(view)) {}

GfxUIElement::~GfxUIElement()
{
    if (texture_)
        texture_->unlock();
}

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
    uploadChangedTiles(frame);

    // The target is handed the texture just filled, so it never samples a stale one.
    if (!targets_.empty()) {
        const int index = targetTextureIndices_.front();
        const auto target = targets_.front();
        target->setInputSize(texture_->size(), index);
        target->setInputFramebuffer(texture_, index);
        target->newFrameReadyAtTime(frameTime, index);
    }
    processingOverlay_ = false;
}

void GfxUIElement::uploadChangedTiles(const ui::Image& frame)
{
    const int w = frame.pixelWidth();
    const int h = frame.pixelHeight();
    const ui::Size size{static_cast<double>(w), static_cast<double>(h)};
    if (!texture_ || texture_->size() != size) {
        if (texture_)
            texture_->unlock();
        texture_ = GfxContext::sharedFramebufferCache().fetchFramebufferForSize(size, outputTextureOptions(), true);
        const std::vector<std::uint8_t> bytes = rgbaBytesOfImage(frame, w, h, true);
        texture_->uploadRGBA(bytes.data(), w, h);
        uploaded_ = frame;
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture_->texture());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (int y = 0; y < h; y += tileSide) {
        for (int x = 0; x < w; x += tileSide) {
            const ui::Rect tile = ui::makeRect(x, y, std::min(tileSide, w - x), std::min(tileSide, h - y));
            if (sameArea(frame, uploaded_, tile))
                continue;
            straightRgbaBytesOfArea(frame, tile, tileBytes_);
            glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, static_cast<GLsizei>(tile.width()),
                            static_cast<GLsizei>(tile.height()), GL_RGBA, GL_UNSIGNED_BYTE, tileBytes_.data());
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    uploaded_ = frame;
}
