#pragma once

// Private to src/platform/media: small helpers shared by the FFmpeg users.

#include "platform/media/PixelBuffer.h"

#include <string>

namespace media {

// FFmpeg's text for one of its error codes.
std::string ffmpegErrorText(int code);
// The libswscale colour space (SWS_CS_*) for a YCbCr matrix.
int swscaleColorspace(YCbCrMatrix matrix);

}  // namespace media
