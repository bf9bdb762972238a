#include "platform/media/CaptureSession.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/media/AudioSession.h"
#include "platform/media/CaptureSources.h"

namespace media {

namespace {

struct Preset {
    std::string_view name;
    int width;
    int height;
};

constexpr std::array presets = {
    Preset{CaptureSessionPreset352x288, 352, 288},     Preset{CaptureSessionPreset640x480, 640, 480},
    Preset{CaptureSessionPreset1280x720, 1280, 720},   Preset{CaptureSessionPreset1920x1080, 1920, 1080},
    Preset{CaptureSessionPreset3840x2160, 3840, 2160},
};

const Preset* findPreset(std::string_view name)
{
    const auto found = std::find_if(presets.begin(), presets.end(), [name](const Preset& p) { return p.name == name; });
    return found == presets.end() ? nullptr : &*found;
}

// Buffers queued for a delegate that keeps everything, before new ones are dropped.
constexpr int maximumQueued = 30;

}  // namespace

std::shared_ptr<CaptureDeviceInput> CaptureDeviceInput::create(std::shared_ptr<CaptureDevice> device,
                                                               std::string* error)
{
    const auto fail = [error](const char* message) {
        if (error)
            *error = message;
        return nullptr;
    };
    if (!device)
        return fail("No capture device");
    if (CaptureDevice::authorizationStatusForMediaType(device->mediaType()) != AuthorizationStatus::Authorized)
        return fail("Access to the capture device is not allowed");
    return std::make_shared<CaptureDeviceInput>(Token{}, std::move(device));
}

void CaptureOutput::setSampleBufferDelegate(CaptureOutputSampleBufferDelegate* delegate,
                                            std::shared_ptr<fnd::DispatchQueue> queue)
{
    const std::lock_guard call(callMutex_);
    const std::lock_guard lock(delegateMutex_);
    delegate_ = delegate;
    queue_ = std::move(queue);
}

CaptureOutputSampleBufferDelegate* CaptureOutput::sampleBufferDelegate() const
{
    const std::lock_guard lock(delegateMutex_);
    return delegate_;
}

std::vector<PixelFormat> CaptureVideoDataOutput::availableVideoPixelFormatTypes() const
{
    std::vector<PixelFormat> formats{PixelFormat::NV12VideoRange, PixelFormat::BGRA32};
    bool fullRange = true;
    if (const auto session = session_.lock()) {
        for (const auto& input : session->inputs()) {
            const auto& device = input->device();
            if (device->mediaType() == MediaType::Video && device->kind() == CaptureDevice::Kind::Synthetic)
                fullRange = device->syntheticCameraOptions().offersFullRange;
        }
    }
    if (fullRange)
        formats.insert(formats.begin(), PixelFormat::NV12FullRange);
    return formats;
}

bool CaptureVideoDataOutput::setVideoPixelFormat(PixelFormat format)
{
    const auto available = availableVideoPixelFormatTypes();
    if (std::find(available.begin(), available.end(), format) == available.end())
        return false;
    pixelFormat_ = format;
    return true;
}

struct CaptureSession::Impl {
    struct Active {
        std::shared_ptr<CaptureDeviceInput> input;
        std::string key;  // what the source was started with
        std::unique_ptr<CaptureSource> source;
    };

    std::shared_ptr<fnd::DispatchQueue> queue = std::make_shared<fnd::DispatchQueue>("capture session");
    mutable std::mutex mutex;
    std::vector<std::shared_ptr<CaptureDeviceInput>> inputs;
    std::vector<std::shared_ptr<CaptureOutput>> outputs;
    std::string preset{CaptureSessionPreset640x480};
    int configurationDepth = 0;
    bool running = false;
    // What isRunning() reports: true only once the sources have started, so
    // a caller that waits for it can count on the inputs being live.
    bool started = false;
    std::uint64_t generation = 0;
    RuntimeErrorHandler runtimeErrorHandler;
    std::map<MediaType, Active> active;  // touched only on the session queue

    std::shared_ptr<CaptureOutput> outputFor(MediaType type) const
    {
        for (const auto& output : outputs)
            if (output->mediaType() == type)
                return output;
        return nullptr;
    }

    std::shared_ptr<CaptureDeviceInput> inputFor(MediaType type) const
    {
        for (const auto& input : inputs)
            if (input->device()->mediaType() == type)
                return input;
        return nullptr;
    }

    // Brings the running sources in line with the inputs, outputs and preset
    // (on the session queue).
    void reconcile(const std::shared_ptr<CaptureSession>& session);
};

void CaptureSession::Impl::reconcile(const std::shared_ptr<CaptureSession>& session)
{
    Impl& impl = *this;
    struct Wanted {
        std::shared_ptr<CaptureDeviceInput> input;
        std::shared_ptr<CaptureOutput> output;
        std::string key;
        VideoSourceFormat format;
        int sampleRate = 0;
    };
    std::map<MediaType, Wanted> wanted;
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(impl.mutex);
        generation = impl.generation;
        if (impl.running) {
            for (const MediaType type : {MediaType::Video, MediaType::Audio}) {
                auto input = impl.inputFor(type);
                auto output = impl.outputFor(type);
                if (!input || !output)
                    continue;
                Wanted w{input, output, {}, {}, 0};
                if (type == MediaType::Video) {
                    const Preset* preset = findPreset(impl.preset);
                    w.format.width = preset->width;
                    w.format.height = preset->height;
                    w.format.pixelFormat = static_cast<CaptureVideoDataOutput&>(*output).videoPixelFormat();
                    w.format.frameDuration = input->device()->activeVideoMinFrameDuration();
                    w.key = impl.preset + "/" + std::to_string(static_cast<int>(w.format.pixelFormat)) + "/" +
                            w.format.frameDuration.description();
                } else {
                    w.sampleRate = static_cast<int>(std::lround(AudioSession::sharedInstance().sampleRate()));
                    w.key = std::to_string(w.sampleRate);
                }
                w.key += "#" + std::to_string(generation);
                wanted.emplace(type, std::move(w));
            }
        }
    }
    for (const MediaType type : {MediaType::Video, MediaType::Audio}) {
        const auto found = wanted.find(type);
        auto current = impl.active.find(type);
        if (current != impl.active.end()) {
            const bool keep = found != wanted.end() && found->second.input == current->second.input &&
                              found->second.key == current->second.key;
            if (keep)
                continue;
            current->second.source->stop();
            impl.active.erase(current);
        }
        if (found == wanted.end())
            continue;
        Wanted& w = found->second;
        const auto& device = w.input->device();
        std::unique_ptr<CaptureSource> source;
        if (type == MediaType::Video)
            source = device->kind() == CaptureDevice::Kind::Synthetic
                         ? makeSyntheticCamera(device, w.format, impl.queue)
                         : makeDeviceCamera(device, w.format);
        else
            source = device->kind() == CaptureDevice::Kind::Synthetic
                         ? makeSyntheticMicrophone(device, w.sampleRate, impl.queue)
                         : makeDeviceMicrophone(device, w.sampleRate);
        if (!source)
            continue;
        std::weak_ptr<CaptureSession> weakSession = session;
        std::weak_ptr<CaptureOutput> weakOutput = w.output;
        source->start(
            [weakSession, weakOutput, generation](std::shared_ptr<SampleBuffer> buffer) {
                const auto session = weakSession.lock();
                const auto output = weakOutput.lock();
                if (session && output && buffer)
                    CaptureOutput::deliver(output, buffer, session, generation);
            },
            [weakSession, type, generation](const std::string& error) {
                if (const auto session = weakSession.lock())
                    session->runtimeError(type, error, generation);
            });
        impl.active[type] = CaptureSession::Impl::Active{w.input, w.key, std::move(source)};
    }
}

std::shared_ptr<CaptureSession> CaptureSession::create()
{
    return std::shared_ptr<CaptureSession>(new CaptureSession());
}

CaptureSession::CaptureSession() : impl_(std::make_unique<Impl>()) {}

CaptureSession::~CaptureSession()
{
    // The sources hold no reference to the session; stop them where they run.
    auto active = std::make_shared<std::map<MediaType, Impl::Active>>();
    impl_->queue->sync([&] { active->swap(impl_->active); });
    for (auto& [type, entry] : *active)
        entry.source->stop();
}

void CaptureSession::beginConfiguration()
{
    const std::lock_guard lock(impl_->mutex);
    ++impl_->configurationDepth;
}

void CaptureSession::commitConfiguration()
{
    {
        const std::lock_guard lock(impl_->mutex);
        if (impl_->configurationDepth == 0)
            return;
        if (--impl_->configurationDepth > 0 || !impl_->running)
            return;
    }
    auto self = shared_from_this();
    impl_->queue->async([self] { self->impl_->reconcile(self); });
}

bool CaptureSession::canAddInput(const std::shared_ptr<CaptureDeviceInput>& input) const
{
    const std::lock_guard lock(impl_->mutex);
    return input && !impl_->inputFor(input->device()->mediaType());
}

bool CaptureSession::canAddOutput(const std::shared_ptr<CaptureOutput>& output) const
{
    const std::lock_guard lock(impl_->mutex);
    return output && !impl_->outputFor(output->mediaType());
}

std::vector<std::shared_ptr<CaptureDeviceInput>> CaptureSession::inputs() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->inputs;
}

std::vector<std::shared_ptr<CaptureOutput>> CaptureSession::outputs() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->outputs;
}

bool CaptureSession::isKnownPreset(std::string_view preset) { return findPreset(preset) != nullptr; }

std::string CaptureSession::sessionPreset() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->preset;
}

bool CaptureSession::isRunning() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->started;
}

void CaptureSession::change(const std::function<bool()>& edit)
{
    {
        const std::lock_guard lock(impl_->mutex);
        if (!edit() || !impl_->running || impl_->configurationDepth > 0)
            return;
    }
    auto self = shared_from_this();
    impl_->queue->async([self] { self->impl_->reconcile(self); });
}

void CaptureSession::addInput(const std::shared_ptr<CaptureDeviceInput>& input)
{
    change([&] {
        if (!input || impl_->inputFor(input->device()->mediaType()))
            return false;
        impl_->inputs.push_back(input);
        return true;
    });
}

void CaptureSession::removeInput(const std::shared_ptr<CaptureDeviceInput>& input)
{
    change([&] { return std::erase(impl_->inputs, input) > 0; });
}

void CaptureSession::addOutput(const std::shared_ptr<CaptureOutput>& output)
{
    change([&] {
        if (!output || impl_->outputFor(output->mediaType()))
            return false;
        impl_->outputs.push_back(output);
        if (auto* video = dynamic_cast<CaptureVideoDataOutput*>(output.get()))
            video->session_ = weak_from_this();
        return true;
    });
}

void CaptureSession::removeOutput(const std::shared_ptr<CaptureOutput>& output)
{
    change([&] {
        if (std::erase(impl_->outputs, output) == 0)
            return false;
        if (auto* video = dynamic_cast<CaptureVideoDataOutput*>(output.get()))
            video->session_.reset();
        return true;
    });
}

void CaptureSession::setSessionPreset(std::string_view preset)
{
    change([&] {
        if (!findPreset(preset) || impl_->preset == preset)
            return false;
        impl_->preset = std::string(preset);
        return true;
    });
}

void CaptureSession::startRunning()
{
    auto self = shared_from_this();
    impl_->queue->sync([&] {
        {
            const std::lock_guard lock(impl_->mutex);
            if (impl_->running)
                return;
            impl_->running = true;
            ++impl_->generation;
        }
        impl_->reconcile(self);
        const std::lock_guard lock(impl_->mutex);
        impl_->started = true;
    });
}

void CaptureSession::stopRunning()
{
    auto self = shared_from_this();
    impl_->queue->sync([&] {
        {
            const std::lock_guard lock(impl_->mutex);
            if (!impl_->running)
                return;
            impl_->running = false;
            impl_->started = false;
            ++impl_->generation;
        }
        impl_->reconcile(self);
    });
}

void CaptureSession::setRuntimeErrorHandler(RuntimeErrorHandler handler)
{
    const std::lock_guard lock(impl_->mutex);
    impl_->runtimeErrorHandler = std::move(handler);
}

void CaptureSession::runtimeError(MediaType type, const std::string& error, std::uint64_t generation)
{
    RuntimeErrorHandler handler;
    {
        // A source stopped since it failed is of no concern any more.
        const std::lock_guard lock(impl_->mutex);
        if (!impl_->running || impl_->generation != generation || !impl_->runtimeErrorHandler)
            return;
        handler = impl_->runtimeErrorHandler;
    }
    fnd::DispatchQueue::main().async([handler = std::move(handler), type, error] { handler(type, error); });
}

void CaptureOutput::deliver(const std::shared_ptr<CaptureOutput>& self, const std::shared_ptr<SampleBuffer>& buffer,
                            const std::shared_ptr<CaptureSession>& session, std::uint64_t generation)
{
    CaptureOutput& output = *self;
    {
        // Nothing is handed over once the session stopped; what is queued still arrives.
        const std::lock_guard lock(session->impl_->mutex);
        if (!session->impl_->running || session->impl_->generation != generation)
            return;
    }
    std::shared_ptr<fnd::DispatchQueue> queue;
    {
        const std::lock_guard lock(output.delegateMutex_);
        if (!output.delegate_ || !output.queue_)
            return;
        queue = output.queue_;
    }
    const int busy = output.inFlight_.load();
    if ((output.discardsWhileBusy() && busy > 0) || busy >= maximumQueued)
        return;
    ++output.inFlight_;
    queue->async([self, buffer] {
        {
            const std::lock_guard call(self->callMutex_);
            if (auto* delegate = self->sampleBufferDelegate())
                delegate->captureOutput(*self, buffer);
        }
        --self->inFlight_;
    });
}

}  // namespace media
