#include "platform/media/FfmpegBackend.h"

namespace media {

std::unique_ptr<FrameConverter> FfmpegBackend::makeFrameConverter() { return std::make_unique<FrameConverter>(); }

}  // namespace media

media::MediaBackend* norvale_media_backend()
{
    static media::FfmpegBackend backend;
    return &backend;
}
