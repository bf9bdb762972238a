#pragma once

#include "imaging/GfxFilter.h"

// Adds a value to every colour channel (the GPU clamps); alpha is kept.
class GfxBrightnessFilter : public GfxFilter {
public:
    GfxBrightnessFilter();
    void setBrightness(double brightness);
    double brightness() const { return brightness_; }

private:
    int brightnessUniform_ = -1;
    double brightness_ = 0;
};
