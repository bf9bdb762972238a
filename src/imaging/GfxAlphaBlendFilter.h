#pragma once

#include "imaging/GfxTwoInputFilter.h"

// Lays input 1 over input 0 by input 1's alpha times the mix factor; the
// output keeps input 0's alpha.
class GfxAlphaBlendFilter : public GfxTwoInputFilter {
public:
    GfxAlphaBlendFilter();
    void setMix(double mix);
    double mix() const { return mix_; }

private:
    int mixUniform_ = -1;
    double mix_ = 0.5;
};
