#pragma once

#include <optional>

#include "platform/ui/Geometry.h"

// Where things go on the dash camera screen. The screen is landscape only:
// in a landscape window the controls sit on the screen as it is; a portrait
// window shows the landscape screen as the band the picture takes across its
// width, and the controls sit on that band.
namespace camerascreen {

// The overlay drawn on the picture is 16:9: this many times as wide as it is high.
inline constexpr double overlayAspect = 1.778;
// Its tiles are square, this many to its height.
inline constexpr double tilesPerHeight = 2.81;

// The picture as the screen's view shows it: the camera's frame scaled to fit
// the view, centred.
ui::Rect pictureRect(ui::Size view, ui::Size picture);

// Where the overlay's tile row and top panel end along the screen's long side, whose short side is
// `shortSide`: the long side, less the excess over 16:9 on screens with a home indicator; on a screen
// squarer than 16:9 (a pad) the overlay, made 16:9, is wider than the screen, and the row ends with it.
double overlayEnd(double shortSide, double longSide, bool homeIndicator);

// The landscape screen inside the view: all of a landscape view, the
// picture's band across a portrait one.
ui::Rect landscapeArea(ui::Size view, ui::Size picture);

struct ControlsLayout {
    ui::Rect buttonView;
    ui::Rect recordLabel;
    ui::Rect menuButton;
};

// The record button at the left of the middle (further in on phones with a
// home indicator, clear of the sensor housing), the menu button at the top left
// and the recording time below it (below the band in a portrait window), clear
// of the overlay's tiles.
ControlsLayout controlsLayout(ui::Size view, ui::Size picture, bool homeIndicator);

// A few lines of text across the middle of the view, as the message saying why there is no picture.
ui::Rect middleLines(ui::Size view);

// The camera's focus point for a tap: the tapped spot of the picture, from
// (0, 0) at its top left to (1, 1) at its bottom right; none for a tap
// beside the picture.
std::optional<ui::Point> focusPointOfInterest(ui::Point tap, ui::Rect picture);

}  // namespace camerascreen
