#pragma once

#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/SampleBuffer.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace media {

enum class FileType { QuickTimeMovie, MPEG4 };
enum class AssetWriterStatus { Unknown, Writing, Completed, Failed, Cancelled };

// H.264 video. Colour tags go into the file and decide the RGB to YCbCr
// matrix; without them: BT.709 primaries and transfer, BT.601 matrix.
struct VideoSettings {
    int width = 0;
    int height = 0;
    std::optional<ColorAttachments> colorProperties;
    double expectedFrameRate = 30;  // one key frame per second of frames at this rate
};

// AAC; the encoder takes mono 16-bit sample buffers at any rate.
struct AudioSettings {
    int sampleRate = 44100;
    int numberOfChannels = 1;
    int encoderBitRate = 64000;
};

class AssetWriter;

// One track of a movie being written. Appends are queued for the writer's
// encoding thread; a bounded number may wait, and isReadyForMoreMediaData()
// says whether there is room.
class AssetWriterInput {
public:
    static std::shared_ptr<AssetWriterInput> createVideo(VideoSettings settings);
    // Without settings the samples are written as they come (16-bit PCM).
    static std::shared_ptr<AssetWriterInput> createAudio(std::optional<AudioSettings> settings);
    virtual ~AssetWriterInput();
    AssetWriterInput(const AssetWriterInput&) = delete;
    AssetWriterInput& operator=(const AssetWriterInput&) = delete;

    MediaType mediaType() const { return type_; }
    bool expectsMediaDataInRealTime() const { return realTime_; }
    void setExpectsMediaDataInRealTime(bool realTime) { realTime_ = realTime; }

    // False before writing starts, after markAsFinished(), after failure, and
    // while the queue is full.
    virtual bool isReadyForMoreMediaData() const;
    // Video: a frame as a sample buffer; audio: mono 16-bit samples. Items
    // before the session's start are dropped (true); an item not later than
    // the one before, or one that finds the input not ready, is refused (false).
    virtual bool appendSampleBuffer(const std::shared_ptr<SampleBuffer>& buffer);
    virtual void markAsFinished();

    struct Track;
    struct Token {};
    AssetWriterInput(Token, MediaType type);

private:
    friend class AssetWriter;
    friend class AssetWriterInputPixelBufferAdaptor;
    friend class FfmpegBackend;
    bool appendVideo(const std::shared_ptr<PixelBuffer>& pixels, MediaTime time);

    MediaType type_;
    std::atomic<bool> realTime_{false};
    std::unique_ptr<Track> track_;
};

// Appends pixel buffers to a video input and lends buffers of the movie's
// size from its pool (available once the writer has started writing).
class AssetWriterInputPixelBufferAdaptor {
public:
    struct SourcePixelBufferAttributes {
        PixelFormat pixelFormat = PixelFormat::BGRA32;
        int width = 0;
        int height = 0;
    };
    static std::shared_ptr<AssetWriterInputPixelBufferAdaptor> create(std::shared_ptr<AssetWriterInput> input,
                                                                      SourcePixelBufferAttributes attributes);

    virtual ~AssetWriterInputPixelBufferAdaptor() = default;
    virtual std::shared_ptr<PixelBufferPool> pixelBufferPool() const;
    virtual bool appendPixelBuffer(const std::shared_ptr<PixelBuffer>& pixels, MediaTime presentationTime);

    struct Token {};
    AssetWriterInputPixelBufferAdaptor(Token, std::shared_ptr<AssetWriterInput> input,
                                       SourcePixelBufferAttributes attributes);

private:
    std::shared_ptr<AssetWriterInput> input_;
    SourcePixelBufferAttributes attributes_;
};

// Writes a movie file through FFmpeg: the QuickTime container, H.264 by
// libx264 and AAC. The writer and its inputs live in the media module, opened
// at the first create(): the program calls them through virtual functions. Encoding and writing run on a thread of the writer's own;
// with a fragment interval the file is written in fragments of about that
// length, so a file cut short stays playable up to its last fragment.
class AssetWriter {
public:
    // Fails (nullptr and a message) when a file already exists at `path` or
    // its folder does not.
    static std::shared_ptr<AssetWriter> create(const std::filesystem::path& path, FileType type,
                                               std::string* error = nullptr);
    virtual ~AssetWriter();
    AssetWriter(const AssetWriter&) = delete;
    AssetWriter& operator=(const AssetWriter&) = delete;

    virtual const std::filesystem::path& outputURL() const;
    virtual AssetWriterStatus status() const;
    virtual std::string error() const;  // what made the status Failed

    virtual void setMovieFragmentInterval(MediaTime interval);  // before startWriting()
    virtual bool canAddInput(const std::shared_ptr<AssetWriterInput>& input) const;
    virtual void addInput(const std::shared_ptr<AssetWriterInput>& input);

    // Opens the encoders and the file; false (status Failed) when that fails.
    virtual bool startWriting();
    // Once: later calls are ignored. Items before this time are dropped.
    virtual void startSessionAtSourceTime(MediaTime start);
    // Writes what is queued, closes the file and then calls `handler` on the
    // writer's thread (also when the writer had failed or was not writing).
    virtual void finishWritingWithCompletionHandler(std::function<void()> handler);
    // Drops what is queued and removes the file.
    virtual void cancelWriting();

    struct Impl;

private:
    friend class FfmpegBackend;
    AssetWriter() = default;
    std::shared_ptr<Impl> impl_;
};

}  // namespace media
