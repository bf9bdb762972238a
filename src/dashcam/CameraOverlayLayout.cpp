#include "dashcam/CameraOverlayLayout.h"

#include <algorithm>

#include "dashcam/CameraScreenGeometry.h"

namespace {

constexpr double coordinatesWidth = 220;
constexpr double coordinatesHeight = 15;
// The coordinates keep this far from the overlay's right end.
constexpr double coordinatesMargin = 5;
// The next line starts this far below the coordinates' top.
constexpr double coordinatesLine = 12;
constexpr double clockWidth = 150;
constexpr double clockHeight = 20;
constexpr double clockLine = 14;
// The panel's shade reaches this far below its last line.
constexpr double panelPadding = 5;
constexpr double compassWidth = 110;
constexpr double compassHeight = 30;
constexpr double compassTop = 1;
// The short side of the largest phone: the panel keeps its sizes up to it.
constexpr double phoneShortSide = 430;

}  // namespace

CameraOverlayLayout::CameraOverlayLayout(double shortSide, double longSide, bool homeIndicator)
    : height_(shortSide),
      end_(camerascreen::overlayEnd(shortSide, longSide, homeIndicator)),
      tileSide_(shortSide / camerascreen::tilesPerHeight),
      panelScale_(std::max(1.0, shortSide / phoneShortSide))
{
}

ui::Rect CameraOverlayLayout::overlay() const
{
    return ui::makeRect(0, 0, camerascreen::overlayAspect * height_, height_);
}

ui::Rect CameraOverlayLayout::tile(int n) const
{
    return ui::makeRect(end_ - tileSide_ * n, height_ - tileSide_, tileSide_, tileSide_);
}

ui::Rect CameraOverlayLayout::coordinates() const
{
    const double k = panelScale_;
    return ui::makeRect(end_ - (coordinatesWidth + coordinatesMargin) * k, 0, coordinatesWidth * k,
                        coordinatesHeight * k);
}

ui::Rect CameraOverlayLayout::clock(bool belowCoordinates) const
{
    const double k = panelScale_;
    return ui::makeRect(end_ - clockWidth * k, belowCoordinates ? coordinatesLine * k : 0, clockWidth * k,
                        clockHeight * k);
}

ui::Rect CameraOverlayLayout::compass() const
{
    return ui::makeRect(end_ / 2 - compassWidth / 2, compassTop, compassWidth, compassHeight);
}

ui::Rect CameraOverlayLayout::panel(bool coordinates, bool clock) const
{
    const double k = panelScale_;
    const double width = (coordinates ? coordinatesWidth + coordinatesMargin : clockWidth) * k;
    const double height = ((coordinates ? coordinatesLine : 0) + (clock ? clockLine : 0) + panelPadding) * k;
    return ui::makeRect(end_ - width, 0, width, height);
}
