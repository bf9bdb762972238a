#include "platform/media/MediaBackend.h"

#include "platform/foundation/Module.h"
#include "platform/media/MediaModule.h"

namespace media {

MediaBackend* mediaBackend(std::string* error)
{
    static const auto loaded = fnd::loadModuleBackend<MediaBackend>(
        "libnorvale_media_ffmpeg.so", NORVALE_MEDIA_MODULE_DIR, "norvale_media_backend", "Media");
    if (loaded.backend == nullptr && error != nullptr)
        *error = loaded.error;
    return loaded.backend;
}

bool isAvailable(std::string* why) { return mediaBackend(why) != nullptr; }

std::optional<bool> movieHasVideoFrames(const std::filesystem::path& movie)
{
    MediaBackend* backend = mediaBackend();
    if (backend == nullptr)
        return std::nullopt;
    return backend->movieHasVideoFrames(movie);
}

std::unique_ptr<CaptureSource> makeDeviceCamera(std::shared_ptr<CaptureDevice> device, VideoSourceFormat format)
{
    MediaBackend* backend = mediaBackend();
    return backend ? backend->makeDeviceCamera(std::move(device), format) : nullptr;
}

std::unique_ptr<CaptureSource> makeDeviceMicrophone(std::shared_ptr<CaptureDevice> device, int sampleRate)
{
    MediaBackend* backend = mediaBackend();
    return backend ? backend->makeDeviceMicrophone(std::move(device), sampleRate) : nullptr;
}

std::unique_ptr<FrameConverter> makeFrameConverter()
{
    MediaBackend* backend = mediaBackend();
    return backend ? backend->makeFrameConverter() : nullptr;
}

std::shared_ptr<AssetWriter> AssetWriter::create(const std::filesystem::path& path, FileType type, std::string* error)
{
    std::string why;
    MediaBackend* backend = mediaBackend(&why);
    if (backend == nullptr && error != nullptr)
        *error = "Cannot create the movie: " + why;
    return backend ? backend->createAssetWriter(path, type, error) : nullptr;
}

std::shared_ptr<AssetWriterInput> AssetWriterInput::createVideo(VideoSettings settings)
{
    MediaBackend* backend = mediaBackend();
    return backend ? backend->createVideoInput(settings) : nullptr;
}

std::shared_ptr<AssetWriterInput> AssetWriterInput::createAudio(std::optional<AudioSettings> settings)
{
    MediaBackend* backend = mediaBackend();
    return backend ? backend->createAudioInput(settings) : nullptr;
}

std::shared_ptr<AssetWriterInputPixelBufferAdaptor> AssetWriterInputPixelBufferAdaptor::create(
    std::shared_ptr<AssetWriterInput> input, SourcePixelBufferAttributes attributes)
{
    MediaBackend* backend = mediaBackend();
    return backend ? backend->createPixelBufferAdaptor(std::move(input), attributes) : nullptr;
}

}  // namespace media
