#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace ui {
class View;
}

// What the dash camera's overlay renderer paints for one frame, on a
// transparent canvas the size of the overlay view: the strip of tile faces,
// the track outline, one needle and one value text per tile, the g-force
// figures, then the overlay view itself. Its geometry is fixed when it is made
// on the overlay view, upright: the short side then is `layerWidth`, the long
// side `layerHeight`; the painting is in landscape.
class OverlayCanvas {
public:
    // Geometry from the view's bounds now and the device's bottom safe-area inset.
    explicit OverlayCanvas(std::shared_ptr<ui::View> view);
    ~OverlayCanvas();
    OverlayCanvas(const OverlayCanvas&) = delete;
    OverlayCanvas& operator=(const OverlayCanvas&) = delete;

    ui::Image bgImage;
    ui::Image trackImage;
    std::vector<ui::Image> needleImageArray;
    std::vector<std::string> valArray;
    ui::Point gForcePoint;
    bool gForceEnabled = false;
    bool is30Framerate = false;

    float layerWidth() const { return layerWidth_; }
    float layerHeight() const { return layerHeight_; }
    float gaugeWidth() const { return gaugeWidth_; }
    // How far the tile row ends before the long side (negative where the overlay is the longer).
    double imageOffset() const { return imageOffset_; }
    // Tile slot i (0 rightmost) of the bottom row.
    ui::Rect slotRect(int i) const;
    // The rectangles the g-force figures go into, with n tiles painted.
    ui::Rect gForceYRect(int n) const;
    ui::Rect gForceXRect(int n) const;

    // The view's bounds now, in pixels at its scale.
    ui::Size sizeInPixels(double scale) const;
    // One frame at `scale` pixels per point.
    ui::Image paint(double scale);

    // A line of text of the last frame, in canvas points.
    struct PaintedText {
        std::string text;
        ui::Rect line;
    };
    const std::vector<PaintedText>& paintedTexts() const { return paintedTexts_; }

private:
    class Bitmap;

    std::shared_ptr<ui::View> view_;
    // Kept from frame to frame: a fresh bitmap for every frame costs more than the painting.
    std::unique_ptr<Bitmap> bitmap_;
    float layerWidth_ = 0;
    float layerHeight_ = 0;
    float gaugeWidth_ = 0;
    double imageOffset_ = 0;
    float gaugeValPosition_ = 0;
    double yLoc_ = 0;
    double xLoc_ = 0;
    std::vector<PaintedText> paintedTexts_;
};
