#pragma once

#include <vector>

#include "dashcam/OverlayCanvas.h"
#include "platform/ui/View.h"

class GfxView;

// Tells readers of the screen's texts (the text dump) which texts the camera
// picture shows: the overlay's labels and figures are pixels of the picture by
// the time the screen draws it. Lies over the picture's view; draws nothing.
class PictureTextView : public ui::View {
public:
    explicit PictureTextView(const GfxView& picture);

    // The texts of the last overlay frame, in the overlay's points; the
    // overlay covers the whole picture.
    void setTexts(std::vector<OverlayCanvas::PaintedText> texts, ui::Size overlaySize);

    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    const GfxView& picture_;
    std::vector<OverlayCanvas::PaintedText> texts_;
    ui::Size overlaySize_;
};
