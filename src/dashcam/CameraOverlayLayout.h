#pragma once

#include "platform/ui/Geometry.h"

// Where the pieces of the dash camera's overlay go, in the landscape overlay
// whose height is the screen's short side: the row of square tiles along the
// bottom, rightmost first, and the panel at the top right with the
// coordinates over the clock, the compass strip in the middle of the top.
// The row and the panel end where the overlay does (camerascreen::overlayEnd).
class CameraOverlayLayout {
public:
    CameraOverlayLayout(double shortSide, double longSide, bool homeIndicator);

    // The whole overlay, 16:9.
    ui::Rect overlay() const;
    double tileSide() const { return tileSide_; }
    // The n-th tile from the right, counting from 1.
    ui::Rect tile(int n) const;

    ui::Rect coordinates() const;
    // The clock, below the coordinates when they are shown.
    ui::Rect clock(bool belowCoordinates) const;
    ui::Rect compass() const;
    // The panel's shade behind the coordinates and the clock that are shown.
    ui::Rect panel(bool coordinates, bool clock) const;

private:
    double height_;
    double end_;
    double tileSide_;
};
