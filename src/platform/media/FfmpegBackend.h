#pragma once

// Private to the media module: the media back end through FFmpeg.

#include "platform/media/MediaBackend.h"

namespace media {

class FfmpegBackend final : public MediaBackend {
public:
    // DeviceSources.cpp
    std::unique_ptr<CaptureSource> makeDeviceCamera(std::shared_ptr<CaptureDevice> device,
                                                    VideoSourceFormat format) override;
    std::unique_ptr<CaptureSource> makeDeviceMicrophone(std::shared_ptr<CaptureDevice> device,
                                                        int sampleRate) override;
    // FfmpegBackend.cpp
    std::unique_ptr<FrameConverter> makeFrameConverter() override;
    // AssetWriter.cpp
    std::shared_ptr<AssetWriter> createAssetWriter(const std::filesystem::path& path, FileType type,
                                                   std::string* error) override;
    std::shared_ptr<AssetWriterInput> createVideoInput(VideoSettings settings) override;
    std::shared_ptr<AssetWriterInput> createAudioInput(std::optional<AudioSettings> settings) override;
    std::shared_ptr<AssetWriterInputPixelBufferAdaptor> createPixelBufferAdaptor(
        std::shared_ptr<AssetWriterInput> input,
        AssetWriterInputPixelBufferAdaptor::SourcePixelBufferAttributes attributes) override;
    // MovieProbe.cpp
    bool movieHasVideoFrames(const std::filesystem::path& movie) override;
};

}  // namespace media
