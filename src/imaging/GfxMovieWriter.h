#pragma once

#include "imaging/GfxInput.h"
#include "platform/media/AssetWriter.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class GfxContext;
class GfxYCbCrConverter;

// The pipeline's sink that records a movie: each frame is converted to the
// encoder's planes at the movie's size on a context of the writer's own
// (sharing the pipeline's textures) and appended with its time; sound comes
// from the camera source.
// Drawing and appending run on the writer's queue.
class GfxMovieWriter : public GfxInput, public std::enable_shared_from_this<GfxMovieWriter> {
public:
    // Posted on the main thread, with the writer as object, when a file was
    // finished without a handler of the caller's.
    static constexpr const char* saveVideoNotification = "saveVideoNotification";
    // Frames the writer takes at a time: the next one waits while the last is converted, so the pipeline
    // can draw it meanwhile. A frame offered while this many are in work is dropped.
    static constexpr int maximumFramesInWork = 2;

    static std::shared_ptr<GfxMovieWriter> create(std::filesystem::path movieURL, ui::Size size,
                                                  media::FileType fileType = media::FileType::QuickTimeMovie);
    ~GfxMovieWriter() override;
    GfxMovieWriter(const GfxMovieWriter&) = delete;
    GfxMovieWriter& operator=(const GfxMovieWriter&) = delete;

    void setEncodingLiveVideo(bool live);
    bool encodingLiveVideo() const { return encodingLiveVideo_; }
    void setHasAudioTrack(bool hasAudio, std::optional<media::AudioSettings> audioSettings = std::nullopt);
    bool hasAudioTrack() const { return hasAudioTrack_; }
    void setShouldPassthroughAudio(bool passthrough) { shouldPassthroughAudio_ = passthrough; }
    bool shouldPassthroughAudio() const { return shouldPassthroughAudio_; }

    void startRecording();
    void finishRecording();
    // The handler runs on the writer's queue once the file is closed.
    void finishRecordingWithCompletionHandler(std::function<void()> handler);
    void cancelRecording();
    bool isRecording() const { return isRecording_; }
    // Called on the camera's audio queue.
    void processAudioBuffer(const std::shared_ptr<media::SampleBuffer>& buffer);

    // Called on the main thread with the reason, once, as soon as the file cannot be made
    // or writing fails (a full or read-only disk); such a file is not announced as a movie.
    void setFailureBlock(std::function<void(const std::string& error)> block) { failureBlock_ = std::move(block); }
    void setCompletionBlock(std::function<void()> block) { completionBlock_ = std::move(block); }

    const std::shared_ptr<media::AssetWriter>& assetWriter() const { return assetWriter_; }
    GfxContext& movieWriterContext() { return *movieWriterContext_; }
    const std::filesystem::path& movieURL() const { return movieURL_; }
    // A frame is counted once it is appended or dropped and the writer has room for one more, so a caller
    // that keeps offered frames within maximumFramesInWork of the count never has one dropped as too many.
    std::size_t framesWritten() const { return framesWritten_.load(); }
    std::size_t framesDropped() const { return framesDropped_.load(); }

    // GfxInput
    void newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex) override;
    void setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int textureIndex) override;
    void setInputRotation(RotationMode rotation, int /*textureIndex*/) override { inputRotation_ = rotation; }
    ui::Size maximumOutputSize() const override { return videoSize_; }
    void endProcessing() override;
    bool enabled() const override { return enabled_; }
    bool worksOnAnotherQueue() const override { return true; }

    struct Token {};
    GfxMovieWriter(Token, std::filesystem::path movieURL, ui::Size size, media::FileType fileType);

private:
    void initializeMovie();
    void writeFrame(const std::shared_ptr<GfxFramebuffer>& framebuffer, media::MediaTime frameTime,
                    const std::shared_ptr<void>& fence);
    void dropFrame(const std::shared_ptr<GfxFramebuffer>& framebuffer, const char* why, media::MediaTime frameTime);
    void startSessionIfNeeded(media::MediaTime time);
    void reportFailure(const std::string& error);

    std::filesystem::path movieURL_;
    media::FileType fileType_;
    ui::Size videoSize_;
    std::shared_ptr<media::AssetWriter> assetWriter_;
    std::string creationError_;
    std::shared_ptr<media::AssetWriterInput> assetWriterVideoInput_;
    std::shared_ptr<media::AssetWriterInput> assetWriterAudioInput_;
    std::shared_ptr<media::AssetWriterInputPixelBufferAdaptor> assetWriterPixelBufferInput_;
    std::unique_ptr<GfxContext> movieWriterContext_;
    // Made and used on the writer's queue; goes before the context it draws with.
    std::unique_ptr<GfxYCbCrConverter> converter_;
    std::shared_ptr<GfxFramebuffer> firstInputFramebuffer_;
    std::atomic<RotationMode> inputRotation_ = NoRotation;  // set on the main thread, read on the writer's
    // Touched on the writer's queue only.
    media::MediaTime startTime_ = media::MediaTime::invalid();
    media::MediaTime previousFrameTime_ = media::MediaTime::negativeInfinity();
    media::MediaTime previousAudioTime_ = media::MediaTime::negativeInfinity();
    bool videoEncodingIsFinished_ = false;
    bool audioEncodingIsFinished_ = false;
    std::atomic<bool> isRecording_{false};
    std::atomic<int> framesInWork_{0};
    std::atomic<bool> alreadyFinishedRecording_{false};
    std::atomic<bool> failureReported_{false};
    std::atomic<bool> encodingLiveVideo_{true};
    std::atomic<bool> hasAudioTrack_{false};
    std::atomic<bool> shouldPassthroughAudio_{false};
    bool enabled_ = true;
    std::function<void(const std::string&)> failureBlock_;
    std::function<void()> completionBlock_;
    std::atomic<std::size_t> framesWritten_{0};
    std::atomic<std::size_t> framesDropped_{0};
};
