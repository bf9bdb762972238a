#include "platform/media/MediaBackend.h"

#include "platform/foundation/Log.h"

#include <dlfcn.h>

#include <vector>

namespace media {

namespace {

constexpr const char* moduleName = "libnorvale_media_ffmpeg.so";

std::filesystem::path executableFolder()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

struct Loaded {
    MediaBackend* backend = nullptr;
    std::string error;
};

// Next to the executable (an installed or copied program), else where the
// build put it (tests and benchmarks run from their own build folders).
Loaded load()
{
    std::vector<std::filesystem::path> candidates;
    if (const auto folder = executableFolder(); !folder.empty())
        candidates.push_back(folder / moduleName);
    candidates.push_back(std::filesystem::path(NORVALE_MEDIA_MODULE_DIR) / moduleName);
    Loaded loaded;
    for (const auto& path : candidates) {
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored))
            continue;
        // Never closed: its threads and objects may live until the program ends.
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            loaded.error = dlerror();
            break;
        }
        const auto entry = reinterpret_cast<MediaBackend* (*)()>(dlsym(module, "norvale_media_backend"));
        if (entry == nullptr) {
            loaded.error = path.string() + " is not Norvale's media module";
            break;
        }
        loaded.backend = entry();
        return loaded;
    }
    if (loaded.error.empty())
        loaded.error = std::string("cannot find ") + moduleName + " next to the program or in " + NORVALE_MEDIA_MODULE_DIR;
    fnd::log(fnd::LogLevel::Error, "Media: " + loaded.error);
    return loaded;
}

}  // namespace

MediaBackend* mediaBackend(std::string* error)
{
    static const Loaded loaded = load();
    if (loaded.backend == nullptr && error != nullptr)
        *error = loaded.error;
    return loaded.backend;
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
