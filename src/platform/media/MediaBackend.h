#pragma once

// Private to src/platform/media: the FFmpeg-using half of the media layer.
// It is built as a module of its own (libnorvale_media_ffmpeg.so) that is
// opened the first time a camera, a microphone or a movie writer needs it, so
// that screens without media never load FFmpeg and the many libraries it
// brings. The program reaches the module's objects through this interface and
// through their virtual functions only; the module uses the program's own
// functions (the run loop, the log, pixel buffers), which the program exports.

#include "platform/media/AssetWriter.h"
#include "platform/media/CaptureSources.h"
#include "platform/media/FrameConverter.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace media {

class MediaBackend {
public:
    virtual ~MediaBackend() = default;

    virtual std::unique_ptr<CaptureSource> makeDeviceCamera(std::shared_ptr<CaptureDevice> device,
                                                            VideoSourceFormat format) = 0;
    virtual std::unique_ptr<CaptureSource> makeDeviceMicrophone(std::shared_ptr<CaptureDevice> device,
                                                                int sampleRate) = 0;
    virtual std::unique_ptr<FrameConverter> makeFrameConverter() = 0;

    virtual std::shared_ptr<AssetWriter> createAssetWriter(const std::filesystem::path& path, FileType type,
                                                           std::string* error) = 0;
    virtual std::shared_ptr<AssetWriterInput> createVideoInput(VideoSettings settings) = 0;
    virtual std::shared_ptr<AssetWriterInput> createAudioInput(std::optional<AudioSettings> settings) = 0;
    virtual std::shared_ptr<AssetWriterInputPixelBufferAdaptor> createPixelBufferAdaptor(
        std::shared_ptr<AssetWriterInput> input, AssetWriterInputPixelBufferAdaptor::SourcePixelBufferAttributes attributes) = 0;
    virtual bool movieHasVideoFrames(const std::filesystem::path& movie) = 0;
};

// The module, opened on the first call from the executable's folder, else from
// the build tree. nullptr when it cannot be opened; `error` then says why (the
// reason is also logged, once).
MediaBackend* mediaBackend(std::string* error = nullptr);

}  // namespace media

// The module's one entry point.
extern "C" media::MediaBackend* norvale_media_backend();
