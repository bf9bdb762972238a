#include "platform/media/AssetWriter.h"

#include <algorithm>
#include <cmath>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/media/FfmpegBackend.h"
#include "platform/media/FfmpegSupport.h"

namespace media {

namespace {

// Items that may wait for the encoder per input before it reports no room.
constexpr int videoQueueLimit = 4;
constexpr int audioQueueLimit = 64;
// Video timestamps are kept at this timescale in the file.
constexpr int videoTimescale = 90000;
// Samples per frame for 16-bit PCM, which has no frame size of its own.
constexpr int pcmFrameSamples = 1024;

AVColorPrimaries primariesTag(ColorPrimaries p)
{
    switch (p) {
    case ColorPrimaries::ITU_R_709_2:
        return AVCOL_PRI_BT709;
    case ColorPrimaries::EBU_3213:
        return AVCOL_PRI_BT470BG;
    case ColorPrimaries::SMPTE_C:
        return AVCOL_PRI_SMPTE170M;
    }
    return AVCOL_PRI_UNSPECIFIED;
}

AVColorSpace matrixTag(YCbCrMatrix m)
{
    switch (m) {
    case YCbCrMatrix::ITU_R_601_4:
        return AVCOL_SPC_SMPTE170M;
    case YCbCrMatrix::ITU_R_709_2:
        return AVCOL_SPC_BT709;
    case YCbCrMatrix::SMPTE_240M_1995:
        return AVCOL_SPC_SMPTE240M;
    }
    return AVCOL_SPC_UNSPECIFIED;
}

AVColorTransferCharacteristic transferTag(TransferFunction t)
{
    return t == TransferFunction::ITU_R_709_2 ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE240M;
}

}  // namespace

// The encoder side of one input. Set up by startWriting(); afterwards its
// FFmpeg state is touched only on the writer's thread.
struct AssetWriterInput::Track {
    std::optional<VideoSettings> video;
    std::optional<AudioSettings> audio;  // empty for PCM written as it comes
    std::weak_ptr<AssetWriter::Impl> writer;
    std::atomic<int> pending{0};
    std::atomic<bool> finished{false};
    std::mutex appendMutex;                           // orders appends from several threads
    MediaTime lastAppended = MediaTime::negativeInfinity();
    std::shared_ptr<PixelBufferPool> pool;            // the adaptor's, for video

    AVStream* stream = nullptr;
    AVCodecContext* encoder = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    int resamplerInputRate = 0;
    AVAudioFifo* fifo = nullptr;
    std::int64_t nextAudioPts = -1;  // in samples from the session start
    std::int64_t lastVideoPts = -1;
    YCbCrMatrix matrix = YCbCrMatrix::ITU_R_601_4;

    ~Track() { release(); }

    void release()
    {
        avcodec_free_context(&encoder);
        av_frame_free(&frame);
        sws_freeContext(scaler);
        scaler = nullptr;
        swr_free(&resampler);
        if (fifo)
            av_audio_fifo_free(fifo);
        fifo = nullptr;
    }

    int frameSamples() const { return encoder->frame_size > 0 ? encoder->frame_size : pcmFrameSamples; }
};

struct AssetWriter::Impl : std::enable_shared_from_this<AssetWriter::Impl> {
    std::filesystem::path path;
    FileType fileType = FileType::QuickTimeMovie;
    MediaTime fragmentInterval = MediaTime::invalid();
    std::atomic<AssetWriterStatus> status{AssetWriterStatus::Unknown};
    mutable std::mutex mutex;  // error text, inputs, session start
    std::string errorText;
    std::vector<std::shared_ptr<AssetWriterInput>> inputs;
    std::optional<MediaTime> sessionStart;
    std::shared_ptr<fnd::DispatchQueue> queue = std::make_shared<fnd::DispatchQueue>("movie writer");
    AVFormatContext* output = nullptr;  // the writer's thread only, once writing

    ~Impl() { closeOutput(); }

    void fail(const std::string& message)
    {
        {
            const std::lock_guard lock(mutex);
            if (errorText.empty())
                errorText = message;
        }
        status = AssetWriterStatus::Failed;
        fnd::log(fnd::LogLevel::Error, "Movie writer: " + message);
    }

    void closeOutput()
    {
        for (const auto& input : inputs)
            input->track_->release();
        if (output) {
            avio_closep(&output->pb);
            avformat_free_context(output);
            output = nullptr;
        }
    }

    bool openVideo(AssetWriterInput::Track& track)
    {
        const VideoSettings& s = *track.video;
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (!codec)
            codec = avcodec_find_encoder(AV_CODEC_ID_H264);
        if (!codec) {
            fail("no H.264 encoder");
            return false;
        }
        AVCodecContext* c = track.encoder = avcodec_alloc_context3(codec);
        c->width = s.width;
        c->height = s.height;
        // The planes the pipeline reads back from the GPU, so its frames reach the encoder without conversion.
        c->pix_fmt = AV_PIX_FMT_NV12;
        c->time_base = {1, videoTimescale};
        const int rate = std::clamp(static_cast<int>(std::lround(s.expectedFrameRate)), 1, 240);
        c->framerate = {rate, 1};
        c->gop_size = rate;
        c->keyint_min = rate;
        c->max_b_frames = 0;
        // As many threads as x264 picks for the machine: fewer leave the encoder behind the camera at 720p.
        c->thread_count = 0;
        const ColorAttachments tags = s.colorProperties.value_or(
            ColorAttachments{ColorPrimaries::ITU_R_709_2, YCbCrMatrix::ITU_R_601_4, TransferFunction::ITU_R_709_2});
        track.matrix = tags.matrix.value_or(YCbCrMatrix::ITU_R_601_4);
        c->color_range = AVCOL_RANGE_MPEG;
        c->colorspace = matrixTag(track.matrix);
        if (tags.primaries)
            c->color_primaries = primariesTag(*tags.primaries);
        if (tags.transfer)
            c->color_trc = transferTag(*tags.transfer);
        if (output->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "tune", "zerolatency", 0);
        const int opened = avcodec_open2(c, codec, &options);
        av_dict_free(&options);
        if (opened < 0) {
            fail("cannot open the H.264 encoder: " + ffmpegErrorText(opened));
            return false;
        }
        track.frame = av_frame_alloc();
        track.frame->format = c->pix_fmt;
        track.frame->width = c->width;
        track.frame->height = c->height;
        if (av_frame_get_buffer(track.frame, 0) < 0) {
            fail("out of memory");
            return false;
        }
        return true;
    }

    bool openAudio(AssetWriterInput::Track& track)
    {
        const AudioSettings s = track.audio.value_or(AudioSettings{});
        const AVCodec* codec = avcodec_find_encoder(track.audio ? AV_CODEC_ID_AAC : AV_CODEC_ID_PCM_S16LE);
        if (!codec) {
            fail("no audio encoder");
            return false;
        }
        AVCodecContext* c = track.encoder = avcodec_alloc_context3(codec);
        c->sample_fmt = track.audio ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
        c->sample_rate = s.sampleRate;
        av_channel_layout_default(&c->ch_layout, std::clamp(s.numberOfChannels, 1, 2));
        if (track.audio)
            c->bit_rate = s.encoderBitRate;
        c->time_base = {1, s.sampleRate};
        if (output->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (const int opened = avcodec_open2(c, codec, nullptr); opened < 0) {
            fail("cannot open the audio encoder: " + ffmpegErrorText(opened));
            return false;
        }
        track.fifo = av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, c->sample_rate);
        track.frame = av_frame_alloc();
        return track.fifo && track.frame;
    }

    // Sends one frame (or the end, with nullptr) and writes what comes out.
    bool encode(AssetWriterInput::Track& track, AVFrame* frame)
    {
        if (const int sent = avcodec_send_frame(track.encoder, frame); sent < 0 && sent != AVERROR_EOF) {
            fail("encoder error: " + ffmpegErrorText(sent));
            return false;
        }
        AVPacket* packet = av_packet_alloc();
        for (;;) {
            const int received = avcodec_receive_packet(track.encoder, packet);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                break;
            if (received < 0) {
                fail("encoder error: " + ffmpegErrorText(received));
                av_packet_free(&packet);
                return false;
            }
            // The encoder cannot know how long a live frame lasts; the expected rate tells the muxer.
            if (packet->duration <= 0 && track.video && track.encoder->framerate.num > 0)
                packet->duration = av_rescale_q(1, av_inv_q(track.encoder->framerate), track.encoder->time_base);
            av_packet_rescale_ts(packet, track.encoder->time_base, track.stream->time_base);
            packet->stream_index = track.stream->index;
            if (const int written = av_interleaved_write_frame(output, packet); written < 0) {
                fail("cannot write the movie: " + ffmpegErrorText(written));
                av_packet_free(&packet);
                return false;
            }
        }
        av_packet_free(&packet);
        return true;
    }

    // Other formats and sizes are scaled into the encoder's planes, with the movie's matrix and video range.
    static bool convert(AssetWriterInput::Track& track, const PixelBuffer& pixels, const std::uint8_t* const planes[4],
                        const int strides[4])
    {
        const bool bgra = pixels.pixelFormat() == PixelFormat::BGRA32;
        track.scaler = sws_getCachedContext(track.scaler, pixels.width(), pixels.height(),
                                            bgra ? AV_PIX_FMT_BGRA : AV_PIX_FMT_NV12, track.encoder->width,
                                            track.encoder->height, AV_PIX_FMT_NV12, SWS_BILINEAR, nullptr, nullptr,
                                            nullptr);
        if (!track.scaler)
            return false;
        const int* coefficients = sws_getCoefficients(swscaleColorspace(track.matrix));
        const bool sourceFullRange = pixels.pixelFormat() != PixelFormat::NV12VideoRange;
        sws_setColorspaceDetails(track.scaler, coefficients, sourceFullRange ? 1 : 0, coefficients, 0, 0, 1 << 16,
                                 1 << 16);
        sws_scale(track.scaler, planes, strides, 0, pixels.height(), track.frame->data, track.frame->linesize);
        return true;
    }

    void encodeVideo(AssetWriterInput::Track& track, const std::shared_ptr<PixelBuffer>& pixels, MediaTime sinceStart)
    {
        if (status != AssetWriterStatus::Writing)
            return;
        std::int64_t pts = sinceStart.convertScale(videoTimescale).value;
        pts = std::max(pts, track.lastVideoPts + 1);
        if (av_frame_make_writable(track.frame) < 0) {
            fail("cannot convert a video frame");
            return;
        }
        const bool asEncoded = pixels->pixelFormat() == PixelFormat::NV12VideoRange &&
                               pixels->width() == track.encoder->width && pixels->height() == track.encoder->height;
        pixels->lockBaseAddress();
        const std::uint8_t* planes[4] = {pixels->baseAddressOfPlane(0), pixels->baseAddressOfPlane(1), nullptr, nullptr};
        const int strides[4] = {static_cast<int>(pixels->bytesPerRowOfPlane(0)),
                                static_cast<int>(pixels->bytesPerRowOfPlane(1)), 0, 0};
        bool converted = true;
        if (asEncoded)
            av_image_copy(track.frame->data, track.frame->linesize, planes, strides, AV_PIX_FMT_NV12,
                          track.frame->width, track.frame->height);
        else
            converted = convert(track, *pixels, planes, strides);
        pixels->unlockBaseAddress();
        if (!converted) {
            fail("cannot convert a video frame");
            return;
        }
        track.frame->pts = pts;
        track.lastVideoPts = pts;
        encode(track, track.frame);
    }

    void encodeAudio(AssetWriterInput::Track& track, const std::shared_ptr<SampleBuffer>& buffer, MediaTime sinceStart)
    {
        if (status != AssetWriterStatus::Writing)
            return;
        AVCodecContext* c = track.encoder;
        const int inRate = buffer->sampleRate();
        if (!track.resampler || track.resamplerInputRate != inRate) {
            swr_free(&track.resampler);
            AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
            if (swr_alloc_set_opts2(&track.resampler, &c->ch_layout, c->sample_fmt, c->sample_rate, &mono,
                                    AV_SAMPLE_FMT_S16, inRate, 0, nullptr) < 0 ||
                swr_init(track.resampler) < 0) {
                fail("cannot convert the audio");
                return;
            }
            track.resamplerInputRate = inRate;
        }
        // Samples before the session start are cut off; the first kept one fixes the track's timing.
        const auto& samples = buffer->samples();
        std::size_t skip = 0;
        if (sinceStart.seconds() < 0)
            skip = std::min(samples.size(), static_cast<std::size_t>(std::llround(-sinceStart.seconds() * inRate)));
        if (skip == samples.size())
            return;
        if (track.nextAudioPts < 0)
            track.nextAudioPts =
                std::max<std::int64_t>(0, std::llround(std::max(0.0, sinceStart.seconds()) * c->sample_rate));
        const int inCount = static_cast<int>(samples.size() - skip);
        const int capacity = swr_get_out_samples(track.resampler, inCount);
        std::vector<std::uint8_t*> planes(static_cast<std::size_t>(c->ch_layout.nb_channels));
        if (capacity <= 0 ||
            av_samples_alloc(planes.data(), nullptr, c->ch_layout.nb_channels, capacity, c->sample_fmt, 0) < 0) {
            fail("out of memory");
            return;
        }
        const auto* in = reinterpret_cast<const std::uint8_t*>(samples.data() + skip);
        const int converted = swr_convert(track.resampler, planes.data(), capacity, &in, inCount);
        if (converted > 0)
            av_audio_fifo_write(track.fifo, reinterpret_cast<void**>(planes.data()), converted);
        av_freep(planes.data());
        drainFifo(track, false);
    }

    // Encodes whole frames from the FIFO (and, at the end, the rest).
    void drainFifo(AssetWriterInput::Track& track, bool finishing)
    {
        AVCodecContext* c = track.encoder;
        const int frameSamples = track.frameSamples();
        while (status == AssetWriterStatus::Writing) {
            const int available = av_audio_fifo_size(track.fifo);
            if (available == 0 || (available < frameSamples && !finishing))
                return;
            const int count = std::min(available, frameSamples);
            av_frame_unref(track.frame);
            track.frame->nb_samples = count;
            track.frame->format = c->sample_fmt;
            track.frame->sample_rate = c->sample_rate;
            av_channel_layout_copy(&track.frame->ch_layout, &c->ch_layout);
            if (av_frame_get_buffer(track.frame, 0) < 0) {
                fail("out of memory");
                return;
            }
            av_audio_fifo_read(track.fifo, reinterpret_cast<void**>(track.frame->data), count);
            track.frame->pts = track.nextAudioPts;
            track.nextAudioPts += count;
            if (!encode(track, track.frame))
                return;
        }
    }

    // On the writer's thread: flushes the encoders and closes the file.
    void finish()
    {
        if (status == AssetWriterStatus::Writing) {
            for (const auto& input : inputs) {
                auto& track = *input->track_;
                if (input->mediaType() == MediaType::Audio && track.fifo)
                    drainFifo(track, true);
                if (status == AssetWriterStatus::Writing)
                    encode(track, nullptr);
            }
            if (status == AssetWriterStatus::Writing) {
                if (const int written = av_write_trailer(output); written < 0)
                    fail("cannot finish the movie: " + ffmpegErrorText(written));
            }
            if (output && output->pb) {
                avio_flush(output->pb);
                if (output->pb->error < 0)
                    fail("cannot write the movie: " + ffmpegErrorText(output->pb->error));
            }
            if (status == AssetWriterStatus::Writing)
                status = AssetWriterStatus::Completed;
        }
        closeOutput();
    }
};

AssetWriterInput::AssetWriterInput(Token, MediaType type) : type_(type), track_(std::make_unique<Track>()) {}
AssetWriterInput::~AssetWriterInput() = default;

std::shared_ptr<AssetWriterInput> FfmpegBackend::createVideoInput(VideoSettings settings)
{
    if (settings.width < 2 || settings.height < 2 || settings.width > 8192 || settings.height > 8192)
        return nullptr;
    // 4:2:0 H.264 needs even sides.
    settings.width &= ~1;
    settings.height &= ~1;
    auto input = std::make_shared<AssetWriterInput>(AssetWriterInput::Token{}, MediaType::Video);
    input->track_->video = settings;
    return input;
}

std::shared_ptr<AssetWriterInput> FfmpegBackend::createAudioInput(std::optional<AudioSettings> settings)
{
    if (settings && (settings->sampleRate < 8000 || settings->sampleRate > 96000))
        return nullptr;
    auto input = std::make_shared<AssetWriterInput>(AssetWriterInput::Token{}, MediaType::Audio);
    input->track_->audio = settings;
    return input;
}

bool AssetWriterInput::isReadyForMoreMediaData() const
{
    const auto writer = track_->writer.lock();
    const int limit = type_ == MediaType::Video ? videoQueueLimit : audioQueueLimit;
    return writer && writer->status == AssetWriterStatus::Writing && !track_->finished && track_->pending < limit;
}

void AssetWriterInput::markAsFinished() { track_->finished = true; }

bool AssetWriterInput::appendSampleBuffer(const std::shared_ptr<SampleBuffer>& buffer)
{
    if (!buffer || !buffer->isValid())
        return false;
    if (type_ == MediaType::Video)
        return buffer->mediaType() == MediaType::Video && appendVideo(buffer->imageBuffer(), buffer->presentationTimeStamp());
    if (buffer->mediaType() != MediaType::Audio)
        return false;
    const auto writer = track_->writer.lock();
    if (!writer || !isReadyForMoreMediaData())
        return false;
    const MediaTime time = buffer->presentationTimeStamp();
    std::optional<MediaTime> start;
    {
        const std::lock_guard lock(writer->mutex);
        start = writer->sessionStart;
    }
    const std::lock_guard lock(track_->appendMutex);
    if (!start || !time.isNumeric() || time <= track_->lastAppended)
        return false;
    if (time + buffer->duration() <= *start)
        return true;  // wholly before the session
    track_->lastAppended = time;
    ++track_->pending;
    // The writer holds its inputs, so the track lives as long as the task's writer.
    Track* track = track_.get();
    writer->queue->async([writer, track, buffer, sinceStart = time - *start] {
        writer->encodeAudio(*track, buffer, sinceStart);
        --track->pending;
    });
    return true;
}

bool AssetWriterInput::appendVideo(const std::shared_ptr<PixelBuffer>& pixels, MediaTime time)
{
    const auto writer = track_->writer.lock();
    if (!pixels || !writer || !isReadyForMoreMediaData())
        return false;
    std::optional<MediaTime> start;
    {
        const std::lock_guard lock(writer->mutex);
        start = writer->sessionStart;
    }
    const std::lock_guard lock(track_->appendMutex);
    if (!start || !time.isNumeric() || time <= track_->lastAppended)
        return false;
    if (time < *start)
        return true;
    track_->lastAppended = time;
    ++track_->pending;
    Track* track = track_.get();
    writer->queue->async([writer, track, pixels, sinceStart = time - *start] {
        writer->encodeVideo(*track, pixels, sinceStart);
        --track->pending;
    });
    return true;
}

std::shared_ptr<AssetWriterInputPixelBufferAdaptor> FfmpegBackend::createPixelBufferAdaptor(
    std::shared_ptr<AssetWriterInput> input, AssetWriterInputPixelBufferAdaptor::SourcePixelBufferAttributes attributes)
{
    if (!input || input->mediaType() != MediaType::Video || attributes.width < 1 || attributes.height < 1)
        return nullptr;
    return std::make_shared<AssetWriterInputPixelBufferAdaptor>(AssetWriterInputPixelBufferAdaptor::Token{}, std::move(input), attributes);
}

AssetWriterInputPixelBufferAdaptor::AssetWriterInputPixelBufferAdaptor(Token, std::shared_ptr<AssetWriterInput> input,
                                                                       SourcePixelBufferAttributes attributes)
    : input_(std::move(input)), attributes_(attributes)
{
    input_->track_->pool =
        std::make_shared<PixelBufferPool>(attributes.width, attributes.height, attributes.pixelFormat);
}

std::shared_ptr<PixelBufferPool> AssetWriterInputPixelBufferAdaptor::pixelBufferPool() const
{
    const auto writer = input_->track_->writer.lock();
    if (!writer || writer->status == AssetWriterStatus::Unknown)
        return nullptr;
    return input_->track_->pool;
}

bool AssetWriterInputPixelBufferAdaptor::appendPixelBuffer(const std::shared_ptr<PixelBuffer>& pixels,
                                                           MediaTime presentationTime)
{
    return input_->appendVideo(pixels, presentationTime);
}

std::shared_ptr<AssetWriter> FfmpegBackend::createAssetWriter(const std::filesystem::path& path, FileType type,
                                                              std::string* error)
{
    const auto fail = [&](const std::string& message) {
        if (error)
            *error = message;
        fnd::log(fnd::LogLevel::Error, "Movie writer: " + message);
        return nullptr;
    };
    // FFmpeg's encoders report their statistics at the information level; keep warnings and errors only.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_WARNING); });
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored))
        return fail("Cannot create the movie: a file already exists at " + path.string());
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, ignored))
        return fail("Cannot create the movie: there is no folder " + folder.string());
    std::shared_ptr<AssetWriter> writer(new AssetWriter());
    writer->impl_ = std::make_shared<AssetWriter::Impl>();
    writer->impl_->path = path;
    writer->impl_->fileType = type;
    return writer;
}

AssetWriter::~AssetWriter()
{
    // A writer let go while writing leaves its file as far as it got (up to
    // the last fragment); the writer's thread closes it after the queued work.
    auto impl = impl_;
    impl->queue->async([impl] {
        if (impl->status == AssetWriterStatus::Writing)
            impl->closeOutput();
    });
}

const std::filesystem::path& AssetWriter::outputURL() const { return impl_->path; }
AssetWriterStatus AssetWriter::status() const { return impl_->status; }

std::string AssetWriter::error() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->errorText;
}

void AssetWriter::setMovieFragmentInterval(MediaTime interval)
{
    if (impl_->status == AssetWriterStatus::Unknown)
        impl_->fragmentInterval = interval;
}

bool AssetWriter::canAddInput(const std::shared_ptr<AssetWriterInput>& input) const
{
    const std::lock_guard lock(impl_->mutex);
    return input && impl_->status == AssetWriterStatus::Unknown && input->track_->writer.expired() &&
           std::none_of(impl_->inputs.begin(), impl_->inputs.end(),
                        [&](const auto& other) { return other->mediaType() == input->mediaType(); });
}

void AssetWriter::addInput(const std::shared_ptr<AssetWriterInput>& input)
{
    if (!canAddInput(input))
        return;
    const std::lock_guard lock(impl_->mutex);
    input->track_->writer = impl_;
    impl_->inputs.push_back(input);
}

bool AssetWriter::startWriting()
{
    Impl& impl = *impl_;
    if (impl.status != AssetWriterStatus::Unknown)
        return false;
    bool ok = false;
    impl.queue->sync([&] {
        if (impl.inputs.empty()) {
            impl.fail("no tracks to write");
            return;
        }
        // The container is named, not guessed from the file name (".m4v" alone picks another).
        const char* format = impl.fileType == FileType::QuickTimeMovie ? "mov" : "mp4";
        if (avformat_alloc_output_context2(&impl.output, nullptr, format, impl.path.c_str()) < 0 || !impl.output) {
            impl.fail("no muxer for the movie");
            return;
        }
        impl.status = AssetWriterStatus::Writing;  // encoder set-up reports failures through fail()
        for (const auto& input : impl.inputs) {
            auto& track = *input->track_;
            if (!(input->mediaType() == MediaType::Video ? impl.openVideo(track) : impl.openAudio(track)))
                return;
            track.stream = avformat_new_stream(impl.output, nullptr);
            if (!track.stream || avcodec_parameters_from_context(track.stream->codecpar, track.encoder) < 0) {
                impl.fail("cannot add a track");
                return;
            }
            track.stream->time_base = track.encoder->time_base;
        }
        if (const int opened = avio_open(&impl.output->pb, impl.path.c_str(), AVIO_FLAG_WRITE); opened < 0) {
            impl.fail("cannot create " + impl.path.string() + ": " + ffmpegErrorText(opened));
            return;
        }
        AVDictionary* options = nullptr;
        std::string flags = "+write_colr";
        if (impl.fragmentInterval.isNumeric() && impl.fragmentInterval.seconds() > 0) {
            // The header goes first and each fragment starts at a key frame, so a file cut short
            // plays from its start to its last whole fragment.
            flags += "+frag_keyframe+empty_moov+default_base_moof";
            const auto microseconds = std::llround(impl.fragmentInterval.seconds() * 1e6);
            av_dict_set(&options, "frag_duration", std::to_string(microseconds).c_str(), 0);
            // The muxer keeps a fragment's samples until it closes: handing the file each packet
            // at once puts every closed fragment on disk rather than waiting for a full buffer.
            impl.output->flush_packets = 1;
        }
        av_dict_set(&options, "movflags", flags.c_str(), 0);
        // Packets of the tracks are interleaved over at most a second, so fragments close in time.
        impl.output->max_interleave_delta = 1'000'000;
        const int written = avformat_write_header(impl.output, &options);
        av_dict_free(&options);
        if (written < 0) {
            impl.fail("cannot write the movie: " + ffmpegErrorText(written));
            return;
        }
        avio_flush(impl.output->pb);
        ok = true;
    });
    if (!ok) {
        impl.status = AssetWriterStatus::Failed;
        impl.queue->sync([&] { impl.closeOutput(); });
    }
    return ok;
}

void AssetWriter::startSessionAtSourceTime(MediaTime start)
{
    const std::lock_guard lock(impl_->mutex);
    if (impl_->sessionStart || !start.isNumeric() || impl_->status != AssetWriterStatus::Writing) {
        fnd::log(fnd::LogLevel::Warning, "Movie writer: session start at " + start.description() + " ignored");
        return;
    }
    impl_->sessionStart = start;
}

void AssetWriter::finishWritingWithCompletionHandler(std::function<void()> handler)
{
    {
        const std::lock_guard lock(impl_->mutex);
        for (const auto& input : impl_->inputs)
            input->markAsFinished();
    }
    auto impl = impl_;
    impl->queue->async([impl, handler = std::move(handler)] {
        impl->finish();
        if (handler)
            handler();
    });
}

void AssetWriter::cancelWriting()
{
    Impl& impl = *impl_;
    const AssetWriterStatus status = impl.status;
    if (status == AssetWriterStatus::Completed || status == AssetWriterStatus::Cancelled)
        return;
    impl.status = AssetWriterStatus::Cancelled;
    for (const auto& input : impl.inputs)
        input->markAsFinished();
    impl.queue->sync([&] {
        const bool created = impl.output != nullptr && impl.output->pb != nullptr;
        impl.closeOutput();
        std::error_code ignored;
        if (created)
            std::filesystem::remove(impl.path, ignored);
    });
}

}  // namespace media
