#pragma once

#include "imaging/GfxInput.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class GfxContext;
class GfxFramebuffer;
class GLProgram;

namespace media {
class PixelBuffer;
}

// Turns frames into the encoder's NV12 planes (BT.601 matrix, video range) on
// the GPU, so the read-back is 1.5 bytes a pixel instead of 4 and the encoder
// has no colour conversion left to do. One pass packs four luma bytes into
// each RGBA pixel, a second two Cb Cr pairs, each chroma sample averaging its
// 2 x 2 pixels (the input's linear filter does the averaging).
class GfxYCbCrConverter {
public:
    // With `context` current; `width` x `height` is the movie's size.
    GfxYCbCrConverter(GfxContext& context, int width, int height);
    ~GfxYCbCrConverter();
    GfxYCbCrConverter(const GfxYCbCrConverter&) = delete;
    GfxYCbCrConverter& operator=(const GfxYCbCrConverter&) = delete;

    // Converts the frame, sampled as `rotation` says and stretched to the movie's size.
    void draw(const GfxFramebuffer& frame, RotationMode rotation);
    // Reads the last conversion into an NV12 buffer of the movie's size.
    void read(media::PixelBuffer& pixels);

private:
    struct Pass {
        std::shared_ptr<GLProgram> program;
        unsigned position = 0;
        int inputTexture = -1;
        int origin = -1;
        int xStep = -1;
        int yStep = -1;
        int top = -1;
    };
    Pass makePass(const char* fragmentShader);
    void drawPass(const Pass& pass, int top, int rows, RotationMode rotation);
    void readRows(int top, int rows, std::uint8_t* destination, std::size_t bytesPerRow);

    GfxContext& context_;
    int width_;
    int height_;
    int packedWidth_;  // RGBA pixels holding a row of either plane
    int chromaRows_;
    Pass luma_;
    Pass chroma_;
    unsigned framebuffer_ = 0;
    unsigned renderbuffer_ = 0;
    std::vector<std::uint8_t> readBack_;
};
