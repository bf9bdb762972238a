#pragma once

// Reading back movies the tests wrote, through libavformat and libavcodec.

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace movietest {

namespace fs = std::filesystem;

inline int countTopLevelBoxes(const fs::path& path, const std::string& type)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int count = 0;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        std::uint64_t size = 0;
        for (int i = 0; i < 4; ++i)
            size = size << 8 | static_cast<std::uint8_t>(bytes[at + i]);
        if (bytes.compare(at + 4, 4, type) == 0)
            ++count;
        if (size < 8)
            break;
        at += size;
    }
    return count;
}

// Opens a movie with libavformat and decodes its video; closes on destruction.
class MovieReader {
public:
    explicit MovieReader(const fs::path& path)
    {
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
            return;
        avformat_find_stream_info(format, nullptr);
        videoIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        audioIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (videoIndex < 0)
            return;
        const AVCodecParameters* p = format->streams[videoIndex]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(p->codec_id);
        decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, p);
        avcodec_open2(decoder, codec, nullptr);
    }
    ~MovieReader()
    {
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }
    bool isOpen() const { return format && decoder; }
    AVCodecParameters* video() const { return format->streams[videoIndex]->codecpar; }
    AVCodecParameters* audio() const { return audioIndex >= 0 ? format->streams[audioIndex]->codecpar : nullptr; }
    std::string majorBrand() const
    {
        const AVDictionaryEntry* e = av_dict_get(format->metadata, "major_brand", nullptr, 0);
        return e ? e->value : "";
    }

    // Decodes every readable frame; returns the seconds of the last one and
    // the colour of the first frame's centre.
    double decodeAll(std::array<int, 3>* firstCentre = nullptr)
    {
        double last = -1;
        const AVRational base = format->streams[videoIndex]->time_base;
        bool first = true;
        forEachFrame([&](const AVFrame* frame) {
            last = std::max(last, frame->best_effort_timestamp * av_q2d(base));
            if (first && firstCentre) {
                *firstCentre = centreColour(frame);
                first = false;
            }
        });
        return last;
    }

    // The last frame the movie decodes to, as RGB bytes row by row; empty when none does.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> rgb;
    };
    Picture lastFrame()
    {
        Picture picture;
        forEachFrame([&](const AVFrame* frame) { picture = toRGB(frame); });
        return picture;
    }

    // Reads the whole movie (from where reading stands) and counts the sound's packets.
    int audioPacketCount()
    {
        int count = 0;
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            count += packet->stream_index == audioIndex ? 1 : 0;
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        return count;
    }

    AVFormatContext* format = nullptr;

private:
    // Reads the movie from where reading stands and hands every video frame it decodes to `take`.
    template <typename Take>
    void forEachFrame(Take take)
    {
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        const auto receive = [&] {
            while (avcodec_receive_frame(decoder, frame) == 0)
                take(frame);
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == videoIndex) {
                avcodec_send_packet(decoder, packet);
                receive();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        receive();
        av_frame_free(&frame);
        av_packet_free(&packet);
    }

    static std::array<int, 3> centreColour(const AVFrame* frame)
    {
        const Picture picture = toRGB(frame);
        const std::size_t at = (static_cast<std::size_t>(frame->height / 2) * frame->width + frame->width / 2) * 3;
        return {picture.rgb[at], picture.rgb[at + 1], picture.rgb[at + 2]};
    }

    static Picture toRGB(const AVFrame* frame)
    {
        SwsContext* sws = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                         frame->width, frame->height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr,
                                         nullptr);
        const int* coefficients = sws_getCoefficients(frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
        sws_setColorspaceDetails(sws, coefficients, frame->color_range == AVCOL_RANGE_JPEG, coefficients, 1, 0,
                                 1 << 16, 1 << 16);
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(frame->width) * frame->height * 3);
        std::uint8_t* planes[4] = {rgb.data()};
        int strides[4] = {frame->width * 3};
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
        sws_freeContext(sws);
        return {frame->width, frame->height, std::move(rgb)};
    }

    AVCodecContext* decoder = nullptr;
    int videoIndex = -1;
    int audioIndex = -1;
};

}  // namespace movietest
