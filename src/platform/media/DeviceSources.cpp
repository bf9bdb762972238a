#include <atomic>
#include <chrono>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/FfmpegBackend.h"
#include "platform/media/FfmpegSupport.h"
#include "platform/media/FrameConverter.h"

namespace media {

namespace {

constexpr std::size_t devicePoolLimit = 6;

// One opened input device with the decoder of its first stream of `type`.
class DeviceReader {
public:
    ~DeviceReader()
    {
        avcodec_free_context(&decoder_);
        avformat_close_input(&format_);
        av_frame_free(&frame_);
        av_packet_free(&packet_);
    }

    bool open(const char* formatName, const std::string& url, AVDictionary** options, AVMediaType type,
              const std::atomic<bool>* stopping)
    {
        static std::once_flag registered;
        std::call_once(registered, [] { avdevice_register_all(); });
        const AVInputFormat* input = av_find_input_format(formatName);
        format_ = avformat_alloc_context();
        if (!input || !format_)
            return fail("no FFmpeg input format " + std::string(formatName));
        format_->interrupt_callback.callback = [](void* flag) { return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0; };
        format_->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(stopping);
        format_->flags |= AVFMT_FLAG_NONBLOCK;
        if (const int error = avformat_open_input(&format_, url.c_str(), input, options); error < 0)
            return fail("cannot open " + url + ": " + ffmpegErrorText(error));
        if (const int error = avformat_find_stream_info(format_, nullptr); error < 0)
            return fail("no stream in " + url + ": " + ffmpegErrorText(error));
        stream_ = av_find_best_stream(format_, type, -1, -1, nullptr, 0);
        if (stream_ < 0)
            return fail("no usable stream in " + url);
        const AVCodecParameters* parameters = format_->streams[stream_]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
        decoder_ = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!decoder_ || avcodec_parameters_to_context(decoder_, parameters) < 0 ||
            avcodec_open2(decoder_, codec, nullptr) < 0)
            return fail("no decoder for " + url);
        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        return frame_ && packet_;
    }

    // Reads and decodes until a frame is ready (true) or the device ends or
    // the reader is stopped (false).
    bool nextFrame(const std::atomic<bool>& stopping)
    {
        while (!stopping) {
            const int received = avcodec_receive_frame(decoder_, frame_);
            if (received == 0)
                return true;
            if (received != AVERROR(EAGAIN))
                return false;
            const int read = av_read_frame(format_, packet_);
            if (read == AVERROR(EAGAIN)) {
                // The device has nothing yet; it is read without blocking so stop() is prompt.
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            if (read < 0)
                return false;
            if (packet_->stream_index == stream_)
                avcodec_send_packet(decoder_, packet_);
            av_packet_unref(packet_);
        }
        return false;
    }

    AVFrame* frame() const { return frame_; }
    const std::string& error() const { return error_; }

private:
    bool fail(std::string message)
    {
        error_ = std::move(message);
        return false;
    }

    AVFormatContext* format_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int stream_ = -1;
    std::string error_;
};

// A source that reads its device on a thread of its own.
class ThreadedSource : public CaptureSource {
public:
    ~ThreadedSource() override { stop(); }

    void start(Deliver deliver, Failed failed) override
    {
        stop();
        stopping_ = false;
        thread_ = std::thread(
            [this, deliver = std::move(deliver), failed = std::move(failed)] { run(deliver, failed); });
    }

    void stop() override
    {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
    }

protected:
    virtual void run(const Deliver& deliver, const Failed& failed) = 0;
    std::atomic<bool> stopping_{false};

private:
    std::thread thread_;
};

class DeviceCamera : public ThreadedSource {
public:
    DeviceCamera(std::shared_ptr<CaptureDevice> device, VideoSourceFormat format)
        : device_(std::move(device)), format_(format)
    {
    }
    ~DeviceCamera() override { stop(); }

private:
    void run(const Deliver& deliver, const Failed& failed) override
    {
        AVDictionary* options = nullptr;
        const MediaTime duration = format_.frameDuration;
        av_dict_set(&options, "framerate",
                    (std::to_string(duration.timescale) + "/" + std::to_string(duration.value)).c_str(), 0);
        av_dict_set(&options, "video_size", (std::to_string(format_.width) + "x" + std::to_string(format_.height)).c_str(), 0);
        DeviceReader reader;
        const bool opened = reader.open("video4linux2", device_->uniqueID(), &options, AVMEDIA_TYPE_VIDEO, &stopping_);
        av_dict_free(&options);
        if (!opened) {
            fnd::log(fnd::LogLevel::Error, "Camera: " + reader.error());
            failed(reader.error());
            return;
        }
        PixelBufferPool pool(format_.width, format_.height, format_.pixelFormat, devicePoolLimit);
        FrameConverter converter;
        // Standard definition is BT.601, anything larger BT.709.
        const YCbCrMatrix matrix = format_.height > 576 ? YCbCrMatrix::ITU_R_709_2 : YCbCrMatrix::ITU_R_601_4;
        MediaTime last = MediaTime::negativeInfinity();
        while (reader.nextFrame(stopping_)) {
            const AVFrame* frame = reader.frame();
            MediaTime time = captureClockTime(fnd::RunLoop::main().now());
            if (time <= last)
                continue;
            last = time;
            auto buffer = pool.createPixelBuffer();
            if (!buffer)
                continue;
            FrameConverter::Picture picture;
            for (int i = 0; i < 4; ++i) {
                picture.planes[i] = frame->data[i];
                picture.strides[i] = frame->linesize[i];
            }
            picture.width = frame->width;
            picture.height = frame->height;
            picture.pixelFormat = frame->format;
            picture.fullRange = frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P ||
                                frame->format == AV_PIX_FMT_YUVJ422P;
            if (converter.convert(picture, *buffer, matrix))
                deliver(SampleBuffer::makeVideo(std::move(buffer), time, duration));
        }
        // A camera unplugged, or one whose frames cannot be decoded, ends before it is stopped.
        if (!stopping_)
            failed(device_->uniqueID() + " stopped delivering frames");
    }

    std::shared_ptr<CaptureDevice> device_;
    VideoSourceFormat format_;
};

class DeviceMicrophone : public ThreadedSource {
public:
    DeviceMicrophone(std::shared_ptr<CaptureDevice> device, int sampleRate)
        : device_(std::move(device)), sampleRate_(sampleRate)
    {
    }
    ~DeviceMicrophone() override { stop(); }

private:
    void run(const Deliver& deliver, const Failed& failed) override
    {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "sample_rate", std::to_string(sampleRate_).c_str(), 0);
        av_dict_set(&options, "channels", "1", 0);
        DeviceReader reader;
        const bool opened = reader.open("alsa", device_->uniqueID(), &options, AVMEDIA_TYPE_AUDIO, &stopping_);
        av_dict_free(&options);
        if (!opened) {
            fnd::log(fnd::LogLevel::Error, "Microphone: " + reader.error());
            failed(reader.error());
            return;
        }
        SwrContext* resampler = nullptr;
        MediaTime next = MediaTime::invalid();
        while (reader.nextFrame(stopping_)) {
            AVFrame* frame = reader.frame();
            if (!resampler) {
                AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
                if (swr_alloc_set_opts2(&resampler, &mono, AV_SAMPLE_FMT_S16, sampleRate_, &frame->ch_layout,
                                        static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                        nullptr) < 0 ||
                    swr_init(resampler) < 0) {
                    fnd::log(fnd::LogLevel::Error, "Microphone: unsupported sample format");
                    break;
                }
            }
            const int capacity = swr_get_out_samples(resampler, frame->nb_samples);
            std::vector<std::int16_t> samples(static_cast<std::size_t>(std::max(capacity, 0)));
            auto* out = reinterpret_cast<std::uint8_t*>(samples.data());
            const int converted = swr_convert(resampler, &out, capacity,
                                              const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
            if (converted <= 0)
                continue;
            samples.resize(static_cast<std::size_t>(converted));
            // The first run is stamped by the clock; later ones follow on without gaps.
            if (!next.isValid())
                next = MediaTime::makeWithSeconds(fnd::RunLoop::main().now(), sampleRate_);
            const MediaTime time = next;
            next = next + MediaTime::make(converted, sampleRate_);
            deliver(SampleBuffer::makeAudio(std::move(samples), sampleRate_, time));
        }
        swr_free(&resampler);
    }

    std::shared_ptr<CaptureDevice> device_;
    int sampleRate_;
};

}  // namespace

std::unique_ptr<CaptureSource> FfmpegBackend::makeDeviceCamera(std::shared_ptr<CaptureDevice> device,
                                                               VideoSourceFormat format)
{
    return std::make_unique<DeviceCamera>(std::move(device), format);
}

std::unique_ptr<CaptureSource> FfmpegBackend::makeDeviceMicrophone(std::shared_ptr<CaptureDevice> device,
                                                                   int sampleRate)
{
    return std::make_unique<DeviceMicrophone>(std::move(device), sampleRate);
}

}  // namespace media
