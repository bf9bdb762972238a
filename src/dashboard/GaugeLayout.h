#pragma once

#include "platform/ui/Geometry.h"

// Where the parts of the gauge tile go for its size. The analogue dial sweeps
// 240 degrees clockwise from its minimum at the lower left, over the top, to
// its maximum at the lower right. Upright tiles put the name, the readout and
// the unit inside the dial; a landscape tile clearly wider than tall puts them
// in a panel beside it.
struct GaugeLayout {
    enum class Style { Analog, Digital };

    Style style = Style::Analog;
    ui::Point center;   // of the dial
    double radius = 0;  // of the dial's face
    ui::Rect labelRect;
    ui::Rect readoutRect;
    ui::Rect unitRect;
    ui::Rect barRect;  // digital style: the bar under the readout
    double labelFontSize = 0;
    double readoutFontSize = 0;
    double unitFontSize = 0;
    double scaleFontSize = 0;

    static GaugeLayout make(ui::Size size, Style style, bool portrait);

    static constexpr double sweepDegrees = 240;
    static constexpr double startDegrees = 150;  // clockwise from +x, y down
    // The angle (radians, the drawing convention) of a fraction 0..1 of the range.
    static double angleFor(double fraction);
    ui::Point pointAt(double fraction, double distance) const;
};
