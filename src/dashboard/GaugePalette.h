#pragma once

#include "platform/ui/Color.h"

// The colours of the gauge tile by theme (0 dark, 1 light).
struct GaugePalette {
    ui::Color background;
    ui::Color faceCentre;
    ui::Color faceEdge;
    ui::Color bezel;
    ui::Color majorTick;
    ui::Color minorTick;
    ui::Color numbers;
    ui::Color label;
    ui::Color unit;
    ui::Color accent;   // needle, readout and lit bar
    ui::Color warning;  // the same while the reading is outside its limits
    ui::Color hub;

    static GaugePalette forTheme(int theme);
};
