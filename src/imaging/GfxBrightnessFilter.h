#pragma once

#include "imaging/GfxFilter.h"

// Adds a value to every colour channel (the GPU clamps); alpha is kept.
// At brightness 0 an upright input of the output's size goes on as it is.
class GfxBrightnessFilter : public GfxFilter {
public:
    GfxBrightnessFilter();
    void setBrightness(double brightness);
    double brightness() const { return brightness_; }

    void newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex) override;

private:
    bool passesInputThrough() const;

    int brightnessUniform_ = -1;
    double brightness_ = 0;
};
