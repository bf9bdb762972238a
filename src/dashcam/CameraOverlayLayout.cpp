#include "dashcam/CameraOverlayLayout.h"

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

}  // namespace

CameraOverlayLayout::CameraOverlayLayout(double shortSide, double longSide, bool homeIndicator)
    : height_(shortSide),
      end_(camerascreen::overlayEnd(shortSide, longSide, homeIndicator)),
      tileSide_(shortSide / camerascreen::tilesPerHeight)
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
    return ui::makeRect(end_ - (coordinatesWidth + coordinatesMargin), 0, coordinatesWidth, coordinatesHeight);
}

ui::Rect CameraOverlayLayout::clock(bool belowCoordinates) const
{
    return ui::makeRect(end_ - clockWidth, belowCoordinates ? coordinatesLine : 0, clockWidth, clockHeight);
}

ui::Rect CameraOverlayLayout::compass() const
{
    return ui::makeRect(end_ / 2 - compassWidth / 2, compassTop, compassWidth, compassHeight);
}

ui::Rect CameraOverlayLayout::panel(bool coordinates, bool clock) const
{
    const double width = coordinates ? coordinatesWidth + coordinatesMargin : clockWidth;
    const double height = (coordinates ? coordinatesLine : 0) + (clock ? clockLine : 0) + panelPadding;
    return ui::makeRect(end_ - width, 0, width, height);
}
