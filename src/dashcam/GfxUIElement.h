#pragma once

#include <memory>
#include <vector>

#include "dashcam/OverlayCanvas.h"
#include "imaging/GfxOutput.h"
#include "platform/media/MediaTime.h"

namespace ui {
class View;
}

class GfxFramebuffer;

// The pipeline source that turns the dash camera's overlay into a texture once
// per camera frame, for the second input of the alpha blend. What it paints is
// set on `canvas()` (the strip, needles, texts, g-force figures). The texture
// is kept from frame to frame and only its tiles that changed are uploaded.
class GfxUIElement : public GfxOutput {
public:
    // Made on the overlay view while it is upright (see OverlayCanvas).
    explicit GfxUIElement(std::shared_ptr<ui::View> view);
    ~GfxUIElement() override;

    OverlayCanvas& canvas() { return canvas_; }
    const OverlayCanvas& canvas() const { return canvas_; }

    // The view's bounds now, in pixels at the screen's scale.
    ui::Size layerSizeInPixels() const;
    // Renders one frame stamped with the indefinite time.
    void update();
    // Renders one frame and hands it to the first target; a request while a
    // render runs is dropped.
    void updateWithTimestamp(media::MediaTime frameTime);

private:
    void uploadChangedTiles(const ui::Image& frame);

    OverlayCanvas canvas_;
    std::shared_ptr<GfxFramebuffer> texture_;  // locked while kept
    ui::Image uploaded_;                       // what the texture holds
    std::vector<std::uint8_t> tileBytes_;
    bool processingOverlay_ = false;
};
