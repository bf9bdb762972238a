#pragma once

#include "imaging/GfxTwoInputFilter.h"

#include <memory>

class GLProgram;
struct GfxPendingConversion;

// Lays input 1 over input 0 by input 1's alpha times the mix factor; the
// output keeps input 0's alpha. A camera frame whose conversion is still
// pending is converted in the same pass, so it is never drawn on its own.
class GfxAlphaBlendFilter : public GfxTwoInputFilter {
public:
    GfxAlphaBlendFilter();
    void setMix(double mix);
    double mix() const { return mix_; }

    void renderToTexture(const std::array<float, 8>& vertices, const std::array<float, 8>& textureCoordinates) override;

private:
    // The program that converts the camera's planes and blends in one pass.
    struct FoldedProgram {
        std::shared_ptr<GLProgram> program;
        int luminance = -1;
        int chrominance = -1;
        int matrix = -1;
        int overlay = -1;
        int mix = -1;
        unsigned position = 0;
        unsigned planeCoordinate = 0;
        unsigned overlayCoordinate = 0;
    };
    const FoldedProgram& foldedProgram(bool fullRange);
    void renderFolded(const GfxPendingConversion& conversion);

    int mixUniform_ = -1;
    double mix_ = 0.5;
    FoldedProgram folded_[2];  // video range, full range
};
