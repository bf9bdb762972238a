#include "platform/media/FfmpegBackend.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace media {

bool FfmpegBackend::movieHasVideoFrames(const std::filesystem::path& movie)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, movie.c_str(), nullptr, nullptr) < 0)
        return false;
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    bool found = false;
    AVPacket* packet = av_packet_alloc();
    while (video >= 0 && !found && packet && av_read_frame(format, packet) >= 0) {
        found = packet->stream_index == video && packet->size > 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return found;
}

}  // namespace media
