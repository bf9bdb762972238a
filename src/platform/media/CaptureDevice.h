#pragma once

#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/SampleBuffer.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace media {

enum class DevicePosition { Unspecified = 0, Back = 1, Front = 2 };
enum class AuthorizationStatus { NotDetermined = 0, Restricted = 1, Denied = 2, Authorized = 3 };
enum class FocusMode { Locked = 0, AutoFocus = 1, ContinuousAutoFocus = 2 };

// How the synthetic camera behaves: a moving test pattern, or only the frames
// a test pushes; which ranges it offers and which YCbCr matrix its frames carry.
struct SyntheticCameraOptions {
    bool pushedFramesOnly = false;
    bool offersFullRange = true;
    std::optional<YCbCrMatrix> matrix = YCbCrMatrix::ITU_R_601_4;
};

// How the synthetic microphone behaves: a steady tone, or only pushed samples.
struct SyntheticMicrophoneOptions {
    bool pushedSamplesOnly = false;
    double toneFrequency = 440.0;
};

// A camera or a microphone. Which ones exist is decided once for the process
// by configure() (the host's --camera and --microphone options): a V4L2
// camera or an ALSA microphone read through FFmpeg, or a synthetic one for
// machines without devices and for tests. Cameras face back.
class CaptureDevice {
public:
    enum class Kind { Synthetic, Video4Linux, Alsa };

    // camera: "synthetic", "none", a V4L2 device path, or empty for the first
    // V4L2 capture device (synthetic when there is none). microphone:
    // "default" (ALSA's default device), "none", "synthetic", or another ALSA
    // device name. Unknown values are taken as device names; a device that
    // cannot be opened fails when the session starts, with a log line.
    static void configure(const std::string& camera, const std::string& microphone);
    static std::vector<std::shared_ptr<CaptureDevice>> devicesWithMediaType(MediaType type);
    static std::shared_ptr<CaptureDevice> defaultDeviceWithMediaType(MediaType type);

    // Desktop systems ask nobody: access is granted unless set otherwise (tests).
    static AuthorizationStatus authorizationStatusForMediaType(MediaType type);
    static void setAuthorizationStatus(MediaType type, AuthorizationStatus status);
    // The answer comes on the main thread.
    static void requestAccessForMediaType(MediaType type, std::function<void(bool granted)> handler);

    MediaType mediaType() const { return type_; }
    Kind kind() const { return kind_; }
    DevicePosition position() const { return position_; }
    const std::string& uniqueID() const { return uniqueID_; }
    const std::string& localizedName() const { return name_; }

    // Frame durations and focus change only while the device is locked.
    bool lockForConfiguration(std::string* error = nullptr);
    void unlockForConfiguration();
    bool isLockedForConfiguration() const;

    // Cameras deliver frames at the minimum frame duration (default 1/30 s,
    // from 1/120 s to 1 s). Setting the invalid time restores the default.
    MediaTime activeVideoMinFrameDuration() const;
    MediaTime activeVideoMaxFrameDuration() const;
    void setActiveVideoMinFrameDuration(MediaTime duration);
    void setActiveVideoMaxFrameDuration(MediaTime duration);

    bool isFocusModeSupported(FocusMode mode) const;
    FocusMode focusMode() const;
    void setFocusMode(FocusMode mode);
    bool isFocusPointOfInterestSupported() const { return type_ == MediaType::Video; }
    ui::Point focusPointOfInterest() const;
    void setFocusPointOfInterest(ui::Point point);

    // Synthetic devices only (ignored by others).
    SyntheticCameraOptions syntheticCameraOptions() const;
    void setSyntheticCameraOptions(const SyntheticCameraOptions& options);
    SyntheticMicrophoneOptions syntheticMicrophoneOptions() const;
    void setSyntheticMicrophoneOptions(const SyntheticMicrophoneOptions& options);
    // Delivered (scaled to the session preset) while a session runs the device.
    void pushVideoFrame(const ui::Image& image);
    void pushAudioSamples(std::vector<std::int16_t> samples);

    struct Token {};
    CaptureDevice(Token, MediaType type, Kind kind, std::string uniqueID, std::string name);

    // Used by the capture session's sources.
    using PushedVideo = std::function<void(const ui::Image&)>;
    using PushedAudio = std::function<void(std::vector<std::int16_t>)>;
    void setPushReceivers(PushedVideo video, PushedAudio audio);

private:
    MediaType type_;
    Kind kind_;
    DevicePosition position_;
    std::string uniqueID_;
    std::string name_;
    mutable std::mutex mutex_;
    int configurationLocks_ = 0;
    MediaTime minFrameDuration_;
    MediaTime maxFrameDuration_;
    FocusMode focusMode_ = FocusMode::ContinuousAutoFocus;
    ui::Point focusPoint_{0.5, 0.5};
    SyntheticCameraOptions cameraOptions_;
    SyntheticMicrophoneOptions microphoneOptions_;
    PushedVideo pushedVideo_;
    PushedAudio pushedAudio_;
};

}  // namespace media
