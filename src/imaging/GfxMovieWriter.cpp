#include "imaging/GfxMovieWriter.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxYCbCrConverter.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/gl/Context.h"
#include "platform/gl/Fence.h"
#include "platform/media/AudioSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// How long a non-live writer waits for its input, polling.
bool waitUntilReady(const media::AssetWriterInput& input, const media::AssetWriter& writer, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!input.isReadyForMoreMediaData()) {
        if (writer.status() != media::AssetWriterStatus::Writing || std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

std::shared_ptr<GfxMovieWriter> GfxMovieWriter::create(std::filesystem::path movieURL, ui::Size size,
                                                       media::FileType fileType)
{
    return std::make_shared<GfxMovieWriter>(Token{}, std::move(movieURL), size, fileType);
}

GfxMovieWriter::GfxMovieWriter(Token, std::filesystem::path movieURL, ui::Size size, media::FileType fileType)
    : movieURL_(std::move(movieURL)), fileType_(fileType), videoSize_(size)
{
    movieWriterContext_ = std::make_unique<GfxContext>();
    movieWriterContext_->useSharegroup(GfxContext::sharedImageProcessingContext().context()->sharegroup());
    runOnContextQueueSync(*movieWriterContext_, [this] {
        movieWriterContext_->useAsCurrentContext();
        converter_ = std::make_unique<GfxYCbCrConverter>(*movieWriterContext_, static_cast<int>(videoSize_.width),
                                                         static_cast<int>(videoSize_.height));
    });
    initializeMovie();
}

GfxMovieWriter::~GfxMovieWriter()
{
    if (firstInputFramebuffer_)
        firstInputFramebuffer_->unlock();
}

void GfxMovieWriter::initializeMovie()
{
    isRecording_ = false;
    enabled_ = true;
    assetWriter_ = media::AssetWriter::create(movieURL_, fileType_, &creationError_);
    if (!assetWriter_) {
        fnd::log(fnd::LogLevel::Error, "Error: " + creationError_);
        return;
    }
    assetWriter_->setMovieFragmentInterval(media::MediaTime::make(1000, 1000));
    media::VideoSettings settings;
    settings.width = static_cast<int>(videoSize_.width);
    settings.height = static_cast<int>(videoSize_.height);
    assetWriterVideoInput_ = media::AssetWriterInput::createVideo(settings);
    assetWriterVideoInput_->setExpectsMediaDataInRealTime(encodingLiveVideo_);
    assetWriterPixelBufferInput_ = media::AssetWriterInputPixelBufferAdaptor::create(
        assetWriterVideoInput_, {media::PixelFormat::NV12VideoRange, settings.width, settings.height});
    assetWriter_->addInput(assetWriterVideoInput_);
}

void GfxMovieWriter::setEncodingLiveVideo(bool live)
{
    if (isRecording_) {
        std::fprintf(stderr, "Can not change Encoding Live Video while recording\n");
        std::abort();
    }
    encodingLiveVideo_ = live;
    if (assetWriterVideoInput_)
        assetWriterVideoInput_->setExpectsMediaDataInRealTime(live);
    if (assetWriterAudioInput_)
        assetWriterAudioInput_->setExpectsMediaDataInRealTime(live);
}

void GfxMovieWriter::setHasAudioTrack(bool hasAudio, std::optional<media::AudioSettings> audioSettings)
{
    hasAudioTrack_ = hasAudio;
    if (!hasAudio || !assetWriter_ || assetWriterAudioInput_)
        return;
    std::optional<media::AudioSettings> settings;
    if (!shouldPassthroughAudio_) {
        settings = audioSettings.value_or(media::AudioSettings{});
        if (!audioSettings)
            settings->sampleRate = static_cast<int>(media::AudioSession::sharedInstance().sampleRate());
    }
    assetWriterAudioInput_ = media::AssetWriterInput::createAudio(settings);
    assetWriter_->addInput(assetWriterAudioInput_);
    assetWriterAudioInput_->setExpectsMediaDataInRealTime(encodingLiveVideo_);
}

void GfxMovieWriter::startRecording()
{
    alreadyFinishedRecording_ = false;
    if (!assetWriter_) {
        reportFailure(creationError_);
        return;
    }
    runOnContextQueueSync(*movieWriterContext_, [this] {
        startTime_ = media::MediaTime::invalid();
        if (assetWriter_->status() == media::AssetWriterStatus::Unknown && !assetWriter_->startWriting())
            reportFailure(assetWriter_->error());
        isRecording_ = true;
    });
}

void GfxMovieWriter::startSessionIfNeeded(media::MediaTime time)
{
    // Video (from the main queue) and audio (from the audio queue) both get
    // here on the writer's queue: whichever comes first starts the session.
    if (startTime_.isValid())
        return;
    if (assetWriter_->status() == media::AssetWriterStatus::Unknown)
        assetWriter_->startWriting();
    assetWriter_->startSessionAtSourceTime(time);
    startTime_ = time;
}

void GfxMovieWriter::setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int /*textureIndex*/)
{
    if (framebuffer)
        framebuffer->lock();
    if (firstInputFramebuffer_)
        firstInputFramebuffer_->unlock();
    firstInputFramebuffer_ = std::move(framebuffer);
}

void GfxMovieWriter::dropFrame(const std::shared_ptr<GfxFramebuffer>& framebuffer, const char* why,
                               media::MediaTime frameTime)
{
    if (why)
        fnd::log(fnd::LogLevel::Debug, std::string(why) + frameTime.description());
    ++framesDropped_;
    if (framebuffer)
        framebuffer->unlock();
}

void GfxMovieWriter::newFrameReadyAtTime(media::MediaTime frameTime, int /*textureIndex*/)
{
    // The writer's lock on this frame goes with it to the writer's queue.
    auto framebuffer = std::move(firstInputFramebuffer_);
    if (!framebuffer)
        return;
    if (framesInWork_.fetch_add(1) >= maximumFramesInWork) {
        --framesInWork_;
        dropFrame(framebuffer, nullptr, frameTime);
        return;
    }
    if (!isRecording_ || !assetWriter_ || !frameTime.isNumeric()) {
        --framesInWork_;
        dropFrame(framebuffer, nullptr, frameTime);
        return;
    }
    // What the main context drew must be complete before the writer's context samples it.
    std::shared_ptr<void> fence = gl::Fence::insert();
    runOnContextQueueAsync(*movieWriterContext_, [self = shared_from_this(), framebuffer, frameTime, fence] {
        self->writeFrame(framebuffer, frameTime, fence);
    });
}

void GfxMovieWriter::writeFrame(const std::shared_ptr<GfxFramebuffer>& framebuffer, media::MediaTime frameTime,
                                const std::shared_ptr<void>& fence)
{
    // Two equal times in a row would spoil the file.
    if (frameTime <= previousFrameTime_ || !isRecording_) {
        --framesInWork_;
        dropFrame(framebuffer, nullptr, frameTime);
        return;
    }
    startSessionIfNeeded(frameTime);
    if (assetWriter_->status() == media::AssetWriterStatus::Failed)
        reportFailure(assetWriter_->error());
    if (!assetWriterVideoInput_->isReadyForMoreMediaData() && encodingLiveVideo_) {
        --framesInWork_;
        dropFrame(framebuffer, "1: Had to drop a video frame: ", frameTime);
        return;
    }
    movieWriterContext_->useAsCurrentContext();
    if (fence)
        static_cast<gl::Fence*>(fence.get())->waitOnCurrentContext();
    converter_->draw(*framebuffer, inputRotation_);

    const auto pool = assetWriterPixelBufferInput_->pixelBufferPool();
    const auto pixelBuffer = pool ? pool->createPixelBuffer() : nullptr;
    if (!pixelBuffer) {
        --framesInWork_;
        dropFrame(framebuffer, "Could not get a pixel buffer for the frame at ", frameTime);
        return;
    }
    converter_->read(*pixelBuffer);
    // The texture has been read: the framebuffer can go back to the pipeline.
    framebuffer->unlock();

    const bool ready = assetWriterVideoInput_->isReadyForMoreMediaData() ||
                       (!encodingLiveVideo_ && waitUntilReady(*assetWriterVideoInput_, *assetWriter_, 10.0));
    bool appended = false;
    if (!ready) {
        fnd::log(fnd::LogLevel::Debug, "2: Had to drop a video frame: " + frameTime.description());
    } else if (assetWriter_->status() == media::AssetWriterStatus::Writing) {
        appended = assetWriterPixelBufferInput_->appendPixelBuffer(pixelBuffer, frameTime);
        if (!appended)
            fnd::log(fnd::LogLevel::Warning, "Problem appending pixel buffer at time: " + frameTime.description());
    } else if (assetWriter_->status() == media::AssetWriterStatus::Failed) {
        fnd::log(fnd::LogLevel::Warning, "failed to write frame");
    } else if (assetWriter_->status() == media::AssetWriterStatus::Completed) {
        fnd::log(fnd::LogLevel::Debug, "frame writing completed");
    } else {
        fnd::log(fnd::LogLevel::Warning, "Couldn't write a frame");
    }
    previousFrameTime_ = frameTime;
    --framesInWork_;
    ++(appended ? framesWritten_ : framesDropped_);
}

void GfxMovieWriter::processAudioBuffer(const std::shared_ptr<media::SampleBuffer>& buffer)
{
    if (!isRecording_ || !hasAudioTrack_ || !assetWriterAudioInput_ || !buffer)
        return;
    auto write = [self = shared_from_this(), buffer] {
        if (!self->isRecording_)
            return;
        const media::MediaTime time = buffer->outputPresentationTimeStamp();
        self->startSessionIfNeeded(time);
        auto& input = *self->assetWriterAudioInput_;
        const bool ready = input.isReadyForMoreMediaData() ||
                           (!self->encodingLiveVideo_ && waitUntilReady(input, *self->assetWriter_, 10.0));
        if (!ready) {
            // A live input that cannot take the sound at once drops it without waiting.
            fnd::log(fnd::LogLevel::Debug, self->encodingLiveVideo_
                                               ? "1: Had to drop an audio frame: " + time.description()
                                               : "2: Had to drop an audio frame " + time.description());
            return;
        }
        self->previousAudioTime_ = time;
        if (self->assetWriter_->status() == media::AssetWriterStatus::Writing && !input.appendSampleBuffer(buffer))
            fnd::log(fnd::LogLevel::Warning, "Problem appending audio buffer at time: " + time.description());
    };
    if (encodingLiveVideo_)
        runOnContextQueueAsync(*movieWriterContext_, std::move(write));
    else
        runOnContextQueueSync(*movieWriterContext_, write);
}

void GfxMovieWriter::finishRecording()
{
    finishRecordingWithCompletionHandler(nullptr);
}

void GfxMovieWriter::finishRecordingWithCompletionHandler(std::function<void()> handler)
{
    if (!assetWriter_) {
        isRecording_ = false;
        reportFailure(creationError_);
        return;
    }
    runOnContextQueueSync(*movieWriterContext_, [&] {
        isRecording_ = false;
        const auto status = assetWriter_->status();
        if (status == media::AssetWriterStatus::Completed || status == media::AssetWriterStatus::Cancelled ||
            status == media::AssetWriterStatus::Unknown) {
            if (handler)
                runOnContextQueueAsync(*movieWriterContext_, std::move(handler));
            return;
        }
        if (status == media::AssetWriterStatus::Writing) {
            if (!videoEncodingIsFinished_) {
                videoEncodingIsFinished_ = true;
                assetWriterVideoInput_->markAsFinished();
            }
            if (!audioEncodingIsFinished_ && assetWriterAudioInput_) {
                audioEncodingIsFinished_ = true;
                assetWriterAudioInput_->markAsFinished();
            }
        }
        std::weak_ptr<GfxMovieWriter> weak = weak_from_this();
        auto writer = assetWriter_;
        assetWriter_->finishWritingWithCompletionHandler([weak, writer, handler = std::move(handler)] {
            const auto self = weak.lock();
            if (writer->status() != media::AssetWriterStatus::Completed) {
                if (self)
                    self->reportFailure(writer->error());
            } else if (handler) {
                handler();
            } else {
                // Only a finished file is announced, and on the main thread.
                const void* object = self.get();
                fnd::DispatchQueue::main().async([object, keep = self] {
                    fnd::NotificationCenter::defaultCenter().post(saveVideoNotification, object);
                });
            }
        });
    });
}

void GfxMovieWriter::reportFailure(const std::string& error)
{
    if (failureReported_.exchange(true))
        return;
    fnd::log(fnd::LogLevel::Error, "Movie writing failed: " + error);
    fnd::DispatchQueue::main().async([self = shared_from_this(), error] {
        if (self->failureBlock_)
            self->failureBlock_(error);
    });
}

void GfxMovieWriter::cancelRecording()
{
    if (!assetWriter_ || assetWriter_->status() == media::AssetWriterStatus::Completed)
        return;
    isRecording_ = false;
    runOnContextQueueSync(*movieWriterContext_, [this] {
        alreadyFinishedRecording_ = true;
        if (!videoEncodingIsFinished_) {
            videoEncodingIsFinished_ = true;
            assetWriterVideoInput_->markAsFinished();
        }
        if (!audioEncodingIsFinished_ && assetWriterAudioInput_) {
            audioEncodingIsFinished_ = true;
            assetWriterAudioInput_->markAsFinished();
        }
        assetWriter_->cancelWriting();
    });
}

void GfxMovieWriter::endProcessing()
{
    if (completionBlock_ && !alreadyFinishedRecording_.exchange(true))
        completionBlock_();
}
