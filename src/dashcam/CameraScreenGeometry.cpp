#include "dashcam/CameraScreenGeometry.h"

#include <algorithm>
#include <cmath>

namespace camerascreen {

ui::Rect pictureRect(ui::Size view, ui::Size picture)
{
    if (!(picture.width > 0 && picture.height > 0))
        return {{0, 0}, view};
    const double fit = std::min(view.width / picture.width, view.height / picture.height);
    const ui::Size shown{picture.width * fit, picture.height * fit};
    return {{(view.width - shown.width) / 2, (view.height - shown.height) / 2}, shown};
}

double overlayEnd(double shortSide, double longSide, bool homeIndicator)
{
    const double wide = overlayAspect * shortSide;
    if (longSide < wide)
        return wide;
    return homeIndicator ? longSide - std::trunc(longSide - wide) : longSide;
}

ui::Rect landscapeArea(ui::Size view, ui::Size picture)
{
    if (view.width >= view.height)
        return {{0, 0}, view};
    const ui::Rect shown = pictureRect(view, picture);
    return ui::makeRect(0, shown.y(), view.width, shown.height());
}

ControlsLayout controlsLayout(ui::Size view, ui::Size picture, bool homeIndicator)
{
    const ui::Rect area = landscapeArea(view, picture);
    const double buttonX = homeIndicator ? 40 : 20;
    // The overlay's tiles fill the bottom of the picture (the g-force and track tiles reach its left
    // corner): on a landscape screen the time goes below the menu button, where the overlay draws nothing;
    // on a band, where the overlay is drawn small, just below the band.
    const bool band = area.height() < view.height;
    const double timeY = band ? area.maxY() + 8 : area.y() + 52;
    return {ui::makeRect(area.x() + buttonX, area.midY() - 30, 60, 60),
            ui::makeRect(area.x() + 10, timeY, 95, 22),
            ui::makeRect(area.x() + buttonX + 8, area.y() + 4, 44, 44)};
}

ui::Rect middleLines(ui::Size view)
{
    // Clear of the record button at the left, and as far in from the right.
    constexpr double margin = 110;
    constexpr double height = 90;
    return ui::makeRect(margin, view.height / 2 - height / 2, std::max(0.0, view.width - 2 * margin), height);
}

std::optional<ui::Point> focusPointOfInterest(ui::Point tap, ui::Rect picture)
{
    if (picture.isEmpty() || !picture.contains(tap))
        return std::nullopt;
    return ui::Point{(tap.x - picture.x()) / picture.width(), (tap.y - picture.y()) / picture.height()};
}

}  // namespace camerascreen
