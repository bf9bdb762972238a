#include "platform/media/CaptureDevice.h"

#include <linux/videodev2.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"

namespace media {

namespace {

const MediaTime defaultFrameDuration = MediaTime::make(1, 30);
const MediaTime shortestFrameDuration = MediaTime::make(1, 120);
const MediaTime longestFrameDuration = MediaTime::make(1, 1);

// Whether a /dev/videoN node is a camera (and not, say, a metadata node).
bool isVideoCaptureNode(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    v4l2_capability capability{};
    const bool ok = ::ioctl(fd, VIDIOC_QUERYCAP, &capability) == 0;
    ::close(fd);
    if (!ok)
        return false;
    const std::uint32_t caps =
        (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
    return (caps & V4L2_CAP_VIDEO_CAPTURE) != 0;
}

std::string firstVideoCaptureNode()
{
    std::vector<std::string> nodes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("video", 0) == 0 && name.size() > 5 &&
            std::all_of(name.begin() + 5, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            nodes.push_back(entry.path().string());
    }
    std::sort(nodes.begin(), nodes.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const auto& node : nodes)
        if (isVideoCaptureNode(node))
            return node;
    return {};
}

struct Registry {
    std::mutex mutex;
    bool configured = false;
    std::vector<std::shared_ptr<CaptureDevice>> devices;
    std::map<MediaType, AuthorizationStatus> authorization;
};

Registry& registry()
{
    static Registry r;
    return r;
}

std::shared_ptr<CaptureDevice> makeCamera(const std::string& choice)
{
    using Kind = CaptureDevice::Kind;
    if (choice == "none")
        return nullptr;
    std::string path = choice;
    if (choice.empty()) {
        path = firstVideoCaptureNode();
        if (path.empty())
            path = "synthetic";
    }
    if (path == "synthetic")
        return std::make_shared<CaptureDevice>(CaptureDevice::Token{}, MediaType::Video, Kind::Synthetic,
                                               "synthetic-camera", "Synthetic camera");
    return std::make_shared<CaptureDevice>(CaptureDevice::Token{}, MediaType::Video, Kind::Video4Linux, path,
                                           "Camera " + path);
}

std::shared_ptr<CaptureDevice> makeMicrophone(const std::string& choice)
{
    using Kind = CaptureDevice::Kind;
    if (choice == "none")
        return nullptr;
    if (choice == "synthetic")
        return std::make_shared<CaptureDevice>(CaptureDevice::Token{}, MediaType::Audio, Kind::Synthetic,
                                               "synthetic-microphone", "Synthetic microphone");
    const std::string device = choice.empty() ? "default" : choice;
    return std::make_shared<CaptureDevice>(CaptureDevice::Token{}, MediaType::Audio, Kind::Alsa, device,
                                           "Microphone " + device);
}

void configureLocked(Registry& r, const std::string& camera, const std::string& microphone)
{
    r.devices.clear();
    if (auto device = makeCamera(camera))
        r.devices.push_back(std::move(device));
    if (auto device = makeMicrophone(microphone))
        r.devices.push_back(std::move(device));
    r.configured = true;
}

}  // namespace

CaptureDevice::CaptureDevice(Token, MediaType type, Kind kind, std::string uniqueID, std::string name)
    : type_(type),
      kind_(kind),
      position_(type == MediaType::Video ? DevicePosition::Back : DevicePosition::Unspecified),
      uniqueID_(std::move(uniqueID)),
      name_(std::move(name)),
      minFrameDuration_(defaultFrameDuration),
      maxFrameDuration_(defaultFrameDuration)
{
}

void CaptureDevice::configure(const std::string& camera, const std::string& microphone)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    configureLocked(r, camera, microphone);
}

std::vector<std::shared_ptr<CaptureDevice>> CaptureDevice::devicesWithMediaType(MediaType type)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    if (!r.configured)
        configureLocked(r, "", "default");
    std::vector<std::shared_ptr<CaptureDevice>> found;
    for (const auto& device : r.devices)
        if (device->mediaType() == type)
            found.push_back(device);
    return found;
}

std::shared_ptr<CaptureDevice> CaptureDevice::defaultDeviceWithMediaType(MediaType type)
{
    const auto devices = devicesWithMediaType(type);
    return devices.empty() ? nullptr : devices.front();
}

AuthorizationStatus CaptureDevice::authorizationStatusForMediaType(MediaType type)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    const auto found = r.authorization.find(type);
    return found == r.authorization.end() ? AuthorizationStatus::Authorized : found->second;
}

void CaptureDevice::setAuthorizationStatus(MediaType type, AuthorizationStatus status)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.authorization[type] = status;
}

void CaptureDevice::requestAccessForMediaType(MediaType type, std::function<void(bool granted)> handler)
{
    const bool granted = authorizationStatusForMediaType(type) == AuthorizationStatus::Authorized;
    if (handler)
        fnd::DispatchQueue::main().async([handler = std::move(handler), granted] { handler(granted); });
}

bool CaptureDevice::lockForConfiguration(std::string* /*error*/)
{
    const std::lock_guard lock(mutex_);
    ++configurationLocks_;
    return true;
}

void CaptureDevice::unlockForConfiguration()
{
    const std::lock_guard lock(mutex_);
    configurationLocks_ = std::max(0, configurationLocks_ - 1);
}

bool CaptureDevice::isLockedForConfiguration() const
{
    const std::lock_guard lock(mutex_);
    return configurationLocks_ > 0;
}

MediaTime CaptureDevice::activeVideoMinFrameDuration() const
{
    const std::lock_guard lock(mutex_);
    return minFrameDuration_;
}

MediaTime CaptureDevice::activeVideoMaxFrameDuration() const
{
    const std::lock_guard lock(mutex_);
    return maxFrameDuration_;
}

namespace {

// The duration to store, or nothing when the request is refused.
std::optional<MediaTime> acceptedDuration(const CaptureDevice& device, int locks, MediaTime duration,
                                          const char* which)
{
    if (device.mediaType() != MediaType::Video)
        return std::nullopt;
    if (locks == 0) {
        fnd::log(fnd::LogLevel::Warning, std::string(which) + " frame duration set without a configuration lock");
        return std::nullopt;
    }
    if (!duration.isValid())
        return defaultFrameDuration;
    if (!duration.isNumeric() || duration < shortestFrameDuration || duration > longestFrameDuration) {
        fnd::log(fnd::LogLevel::Warning, std::string(which) + " frame duration out of range: " + duration.description());
        return std::nullopt;
    }
    return duration;
}

}  // namespace

void CaptureDevice::setActiveVideoMinFrameDuration(MediaTime duration)
{
    const std::lock_guard lock(mutex_);
    if (const auto accepted = acceptedDuration(*this, configurationLocks_, duration, "minimum"))
        minFrameDuration_ = *accepted;
}

void CaptureDevice::setActiveVideoMaxFrameDuration(MediaTime duration)
{
    const std::lock_guard lock(mutex_);
    if (const auto accepted = acceptedDuration(*this, configurationLocks_, duration, "maximum"))
        maxFrameDuration_ = *accepted;
}

bool CaptureDevice::isFocusModeSupported(FocusMode /*mode*/) const { return type_ == MediaType::Video; }

FocusMode CaptureDevice::focusMode() const
{
    const std::lock_guard lock(mutex_);
    return focusMode_;
}

void CaptureDevice::setFocusMode(FocusMode mode)
{
    const std::lock_guard lock(mutex_);
    if (configurationLocks_ > 0 && type_ == MediaType::Video)
        focusMode_ = mode;
}

ui::Point CaptureDevice::focusPointOfInterest() const
{
    const std::lock_guard lock(mutex_);
    return focusPoint_;
}

void CaptureDevice::setFocusPointOfInterest(ui::Point point)
{
    const std::lock_guard lock(mutex_);
    if (configurationLocks_ > 0 && type_ == MediaType::Video)
        focusPoint_ = {std::clamp(point.x, 0.0, 1.0), std::clamp(point.y, 0.0, 1.0)};
}

SyntheticCameraOptions CaptureDevice::syntheticCameraOptions() const
{
    const std::lock_guard lock(mutex_);
    return cameraOptions_;
}

void CaptureDevice::setSyntheticCameraOptions(const SyntheticCameraOptions& options)
{
    const std::lock_guard lock(mutex_);
    cameraOptions_ = options;
}

SyntheticMicrophoneOptions CaptureDevice::syntheticMicrophoneOptions() const
{
    const std::lock_guard lock(mutex_);
    return microphoneOptions_;
}

void CaptureDevice::setSyntheticMicrophoneOptions(const SyntheticMicrophoneOptions& options)
{
    const std::lock_guard lock(mutex_);
    microphoneOptions_ = options;
}

void CaptureDevice::pushVideoFrame(const ui::Image& image)
{
    PushedVideo receiver;
    {
        const std::lock_guard lock(mutex_);
        receiver = pushedVideo_;
    }
    if (receiver && kind_ == Kind::Synthetic && !image.isNull())
        receiver(image);
}

void CaptureDevice::pushAudioSamples(std::vector<std::int16_t> samples)
{
    PushedAudio receiver;
    {
        const std::lock_guard lock(mutex_);
        receiver = pushedAudio_;
    }
    if (receiver && kind_ == Kind::Synthetic && !samples.empty())
        receiver(std::move(samples));
}

void CaptureDevice::setPushReceivers(PushedVideo video, PushedAudio audio)
{
    const std::lock_guard lock(mutex_);
    pushedVideo_ = std::move(video);
    pushedAudio_ = std::move(audio);
}

}  // namespace media
