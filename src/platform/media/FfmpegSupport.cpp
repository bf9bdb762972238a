#include "platform/media/FfmpegSupport.h"

extern "C" {
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

namespace media {

std::string ffmpegErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

int swscaleColorspace(YCbCrMatrix matrix)
{
    switch (matrix) {
    case YCbCrMatrix::ITU_R_601_4:
        return SWS_CS_ITU601;
    case YCbCrMatrix::ITU_R_709_2:
        return SWS_CS_ITU709;
    case YCbCrMatrix::SMPTE_240M_1995:
        return SWS_CS_SMPTE240M;
    }
    return SWS_CS_DEFAULT;
}

}  // namespace media
