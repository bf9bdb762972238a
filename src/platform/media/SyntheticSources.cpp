#include <cmath>
#include <cstring>
#include <mutex>
#include <numbers>
#include <vector>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/CaptureSources.h"
#include "platform/media/FrameConverter.h"

namespace media {


namespace {

// Frames held downstream at once before the camera drops new ones.
constexpr std::size_t cameraPoolLimit = 6;
constexpr std::size_t microphoneChunk = 1024;

// A tick on the run loop's clock every `interval`, stopped for good by stop().
class Ticker {
public:
    struct State {
        std::mutex mutex;
        bool stopped = false;
        fnd::RunLoop::ScheduleId id = 0;
        double interval = 0;
        std::function<void(std::uint64_t index, double at)> tick;
    };

    void start(double first, double interval, std::function<void(std::uint64_t, double)> tick)
    {
        state_->interval = interval;
        state_->tick = std::move(tick);
        schedule(state_, 0, first);
    }

    void stop()
    {
        const std::lock_guard lock(state_->mutex);
        state_->stopped = true;
        fnd::RunLoop::main().cancelScheduled(state_->id);
    }

private:
    static void schedule(const std::shared_ptr<State>& state, std::uint64_t index, double at)
    {
        const std::lock_guard lock(state->mutex);
        if (state->stopped)
            return;
        state->id = fnd::RunLoop::main().scheduleAt(at, [state, index, at] {
            {
                const std::lock_guard lock(state->mutex);
                if (state->stopped)
                    return;
            }
            state->tick(index, at);
            schedule(state, index + 1, at + state->interval);
        });
    }

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Whether a source is still running, checked by work queued before stop().
struct RunFlag {
    std::mutex mutex;
    bool running = true;
};

// What both synthetic sources share: a device, a work queue, a ticker and
// the flag that keeps work queued before stop() from delivering.
class SyntheticSource : public CaptureSource {
public:
    void stop() override
    {
        ticker_.stop();
        device_->setPushReceivers(nullptr, nullptr);
        const std::lock_guard lock(flag_->mutex);
        flag_->running = false;
    }

protected:
    SyntheticSource(std::shared_ptr<CaptureDevice> device, std::shared_ptr<fnd::DispatchQueue> work)
        : device_(std::move(device)), work_(std::move(work))
    {
    }

    std::shared_ptr<CaptureDevice> device_;
    std::shared_ptr<fnd::DispatchQueue> work_;
    Ticker ticker_;
    std::shared_ptr<RunFlag> flag_ = std::make_shared<RunFlag>();
};

class SyntheticCamera : public SyntheticSource {
public:
    SyntheticCamera(std::shared_ptr<CaptureDevice> device, VideoSourceFormat format,
                    std::shared_ptr<fnd::DispatchQueue> work)
        : SyntheticSource(std::move(device), std::move(work)), format_(format)
    {
    }

    void start(Deliver deliver, Failed) override
    {
        const SyntheticCameraOptions options = device_->syntheticCameraOptions();
        auto shared = std::make_shared<Shared>(format_, options, std::move(deliver), flag_);
        auto work = work_;
        if (options.pushedFramesOnly) {
            device_->setPushReceivers(
                [shared, work](const ui::Image& image) {
                    const double at = fnd::RunLoop::main().now();
                    work->async([shared, image, at] { shared->deliverImage(image, at); });
                },
                nullptr);
            return;
        }
        const double interval = format_.frameDuration.seconds();
        ticker_.start(fnd::RunLoop::main().now() + interval, interval, [shared, work](std::uint64_t index, double at) {
            work->async([shared, index, at] { shared->deliverPattern(index, at); });
        });
    }

private:
    struct Shared {
        Shared(VideoSourceFormat format, SyntheticCameraOptions options, Deliver deliver, std::shared_ptr<RunFlag> flag)
            : format(format),
              options(options),
              deliver(std::move(deliver)),
              pool(format.width, format.height, format.pixelFormat, cameraPoolLimit),
              flag(std::move(flag))
        {
        }

        void deliverPattern(std::uint64_t index, double at)
        {
            paintPattern(index);
            send(pattern.data(), format.width, format.height, static_cast<std::size_t>(format.width) * 4, at);
        }

        void deliverImage(const ui::Image& image, double at)
        {
            send(reinterpret_cast<const std::uint8_t*>(image.pixels()), image.pixelWidth(), image.pixelHeight(),
                 static_cast<std::size_t>(image.pixelWidth()) * 4, at);
        }

        // Eight colour bars sliding sideways and a white square crossing the picture.
        void paintPattern(std::uint64_t index)
        {
            static const std::uint32_t bars[] = {0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF, 0xFF00FF00,
                                                 0xFFFF00FF, 0xFFFF0000, 0xFF0000FF, 0xFF202020};
            const int w = format.width;
            const int h = format.height;
            pattern.resize(static_cast<std::size_t>(w) * h * 4);
            auto* words = reinterpret_cast<std::uint32_t*>(pattern.data());
            const int shift = static_cast<int>(index * 4 % static_cast<std::uint64_t>(w));
            for (int x = 0; x < w; ++x)
                words[x] = bars[((x + shift) % w) * 8 / w];
            for (int y = 1; y < h; ++y)
                std::memcpy(words + static_cast<std::size_t>(y) * w, words, static_cast<std::size_t>(w) * 4);
            const int side = std::max(2, h / 6);
            const int left = static_cast<int>(index * 8 % static_cast<std::uint64_t>(std::max(1, w - side)));
            const int top = (h - side) / 2;
            for (int y = top; y < top + side && y < h; ++y)
                for (int x = left; x < left + side && x < w; ++x)
                    words[static_cast<std::size_t>(y) * w + x] = 0xFFFFFFFF;
        }

        void send(const std::uint8_t* bgra, int width, int height, std::size_t stride, double at)
        {
            {
                const std::lock_guard lock(flag->mutex);
                if (!flag->running)
                    return;
            }
            auto buffer = pool.createPixelBuffer();
            if (!buffer)
                return;  // everything downstream is still busy: the frame is dropped
            const YCbCrMatrix matrix = options.matrix.value_or(YCbCrMatrix::ITU_R_601_4);
            if (!converter || !converter->convertBGRA(bgra, width, height, stride, *buffer, matrix))
                return;
            ColorAttachments tags = buffer->attachments();
            tags.matrix = options.matrix;
            buffer->setAttachments(tags);
            const std::lock_guard lock(flag->mutex);
            if (flag->running)
                deliver(SampleBuffer::makeVideo(std::move(buffer), captureClockTime(at), format.frameDuration));
        }

        VideoSourceFormat format;
        SyntheticCameraOptions options;
        Deliver deliver;
        PixelBufferPool pool;
        std::unique_ptr<FrameConverter> converter = makeFrameConverter();
        std::vector<std::uint8_t> pattern;
        std::shared_ptr<RunFlag> flag;
    };

    VideoSourceFormat format_;
};

class SyntheticMicrophone : public SyntheticSource {
public:
    SyntheticMicrophone(std::shared_ptr<CaptureDevice> device, int sampleRate, std::shared_ptr<fnd::DispatchQueue> work)
        : SyntheticSource(std::move(device), std::move(work)), sampleRate_(sampleRate)
    {
    }

    void start(Deliver deliver, Failed) override
    {
        const SyntheticMicrophoneOptions options = device_->syntheticMicrophoneOptions();
        const double now = fnd::RunLoop::main().now();
        auto shared = std::make_shared<Shared>(sampleRate_, options.toneFrequency, std::move(deliver),
                                               MediaTime::makeWithSeconds(now, sampleRate_), flag_);
        auto work = work_;
        if (options.pushedSamplesOnly) {
            device_->setPushReceivers(nullptr, [shared, work](std::vector<std::int16_t> samples) {
                const double at = fnd::RunLoop::main().now();
                work->async([shared, samples = std::move(samples), at]() mutable {
                    shared->sendPushed(std::move(samples), at);
                });
            });
            return;
        }
        const double interval = static_cast<double>(microphoneChunk) / sampleRate_;
        ticker_.start(now + interval, interval, [shared, work](std::uint64_t index, double) {
            work->async([shared, index] { shared->sendTone(index); });
        });
    }

private:
    struct Shared {
        Shared(int rate, double frequency, Deliver deliver, MediaTime start, std::shared_ptr<RunFlag> flag)
            : rate(rate),
              frequency(frequency),
              deliver(std::move(deliver)),
              start(start),
              nextTime(start),
              flag(std::move(flag))
        {
        }

        // Chunk n covers samples n * chunk to (n + 1) * chunk - 1 after the start.
        void sendTone(std::uint64_t index)
        {
            std::vector<std::int16_t> samples(microphoneChunk);
            const double step = 2 * std::numbers::pi * frequency / rate;
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const double n = static_cast<double>(index * microphoneChunk + i);
                samples[i] = static_cast<std::int16_t>(std::lround(8192 * std::sin(step * n)));
            }
            send(std::move(samples),
                 start + MediaTime::make(static_cast<std::int64_t>(index * microphoneChunk), rate));
        }

        // Pushed samples follow each other without overlap, however fast they come.
        void sendPushed(std::vector<std::int16_t> samples, double at)
        {
            MediaTime time = MediaTime::makeWithSeconds(at, rate);
            if (time < nextTime)
                time = nextTime;
            nextTime = time + MediaTime::make(static_cast<std::int64_t>(samples.size()), rate);
            send(std::move(samples), time);
        }

        void send(std::vector<std::int16_t> samples, MediaTime time)
        {
            const std::lock_guard lock(flag->mutex);
            if (flag->running)
                deliver(SampleBuffer::makeAudio(std::move(samples), rate, time));
        }

        int rate;
        double frequency;
        Deliver deliver;
        MediaTime start;
        MediaTime nextTime;
        std::shared_ptr<RunFlag> flag;
    };

    int sampleRate_;
};

}  // namespace

std::unique_ptr<CaptureSource> makeSyntheticCamera(std::shared_ptr<CaptureDevice> device, VideoSourceFormat format,
                                                   std::shared_ptr<fnd::DispatchQueue> work)
{
    return std::make_unique<SyntheticCamera>(std::move(device), format, std::move(work));
}

std::unique_ptr<CaptureSource> makeSyntheticMicrophone(std::shared_ptr<CaptureDevice> device, int sampleRate,
                                                       std::shared_ptr<fnd::DispatchQueue> work)
{
    return std::make_unique<SyntheticMicrophone>(std::move(device), sampleRate, std::move(work));
}

}  // namespace media
