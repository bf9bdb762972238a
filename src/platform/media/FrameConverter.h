#pragma once

// Private to src/platform/media: scaling and colour conversion into pixel buffers.

#include "platform/media/PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace media {

// Converts pictures of any size and format into a pixel buffer's size and
// format (NV12 in the buffer's range with the given matrix, or BGRA) through
// libswscale. Keeps its scaler between calls of the same geometry. It lives in
// the media module: the program gets one from makeFrameConverter() and calls
// it through its virtual functions.
class FrameConverter {
public:
    // A picture in FFmpeg's terms: planes, their strides and the pixel format
    // number (AVPixelFormat).
    struct Picture {
        const std::uint8_t* planes[4] = {};
        int strides[4] = {};
        int width = 0;
        int height = 0;
        int pixelFormat = 0;
        bool fullRange = true;
    };

    FrameConverter();
    virtual ~FrameConverter();
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    // `out` is locked for the duration and tagged with the matrix.
    virtual bool convert(const Picture& in, PixelBuffer& out, YCbCrMatrix matrix);
    // 32-bit words in memory order B, G, R, A (ui::Image pixels on little-endian machines).
    virtual bool convertBGRA(const std::uint8_t* pixels, int width, int height, std::size_t stride, PixelBuffer& out,
                     YCbCrMatrix matrix);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// nullptr when the media module cannot be opened.
std::unique_ptr<FrameConverter> makeFrameConverter();

}  // namespace media
