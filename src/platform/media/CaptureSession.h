#pragma once

#include "platform/media/CaptureDevice.h"
#include "platform/media/SampleBuffer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {
class DispatchQueue;
}

namespace media {

class CaptureSession;

// Session presets: the size of every delivered video frame.
inline constexpr std::string_view CaptureSessionPreset352x288 = "352x288";
inline constexpr std::string_view CaptureSessionPreset640x480 = "640x480";
inline constexpr std::string_view CaptureSessionPreset1280x720 = "1280x720";
inline constexpr std::string_view CaptureSessionPreset1920x1080 = "1920x1080";
inline constexpr std::string_view CaptureSessionPreset3840x2160 = "3840x2160";

// A device as a session input.
class CaptureDeviceInput {
public:
    // nullptr (with a message) without a device or without access to its media type.
    static std::shared_ptr<CaptureDeviceInput> create(std::shared_ptr<CaptureDevice> device,
                                                      std::string* error = nullptr);
    const std::shared_ptr<CaptureDevice>& device() const { return device_; }

    struct Token {};
    CaptureDeviceInput(Token, std::shared_ptr<CaptureDevice> device) : device_(std::move(device)) {}

private:
    std::shared_ptr<CaptureDevice> device_;
};

class CaptureOutput;

// Receives the sample buffers of an output on the output's queue.
class CaptureOutputSampleBufferDelegate {
public:
    virtual ~CaptureOutputSampleBufferDelegate() = default;
    virtual void captureOutput(CaptureOutput& /*output*/, const std::shared_ptr<SampleBuffer>& /*buffer*/) {}
    virtual void captureOutputDidDrop(CaptureOutput& /*output*/, const std::shared_ptr<SampleBuffer>& /*buffer*/) {}
};

// Hands a session's sample buffers of one media type to a delegate on a
// queue. Clearing the delegate waits for a call in progress, so no call
// reaches a delegate after it was cleared (clearing from inside a call is fine).
class CaptureOutput {
public:
    explicit CaptureOutput(MediaType type) : type_(type) {}
    virtual ~CaptureOutput() = default;
    CaptureOutput(const CaptureOutput&) = delete;
    CaptureOutput& operator=(const CaptureOutput&) = delete;

    MediaType mediaType() const { return type_; }
    // The delegate is a raw pointer its owner clears; the queue is kept alive.
    void setSampleBufferDelegate(CaptureOutputSampleBufferDelegate* delegate,
                                 std::shared_ptr<fnd::DispatchQueue> queue);
    CaptureOutputSampleBufferDelegate* sampleBufferDelegate() const;

protected:
    // Late video frames: a buffer that finds the previous one still with the
    // delegate is dropped instead of queued.
    virtual bool discardsWhileBusy() const { return false; }

private:
    friend class CaptureSession;
    // A queued delivery holds `self`, the output itself.
    static void deliver(const std::shared_ptr<CaptureOutput>& self, const std::shared_ptr<SampleBuffer>& buffer,
                        const std::shared_ptr<CaptureSession>& session, std::uint64_t generation);

    MediaType type_;
    // Held while the delegate is called, so clearing it waits for that call.
    std::recursive_mutex callMutex_;
    mutable std::mutex delegateMutex_;  // guards the two fields below
    CaptureOutputSampleBufferDelegate* delegate_ = nullptr;
    std::shared_ptr<fnd::DispatchQueue> queue_;
    std::atomic<int> inFlight_{0};
};

class CaptureVideoDataOutput : public CaptureOutput {
public:
    CaptureVideoDataOutput() : CaptureOutput(MediaType::Video) {}

    // True by default.
    bool alwaysDiscardsLateVideoFrames() const { return discardsLate_; }
    void setAlwaysDiscardsLateVideoFrames(bool discards) { discardsLate_ = discards; }
    // The formats the connected camera offers (all three before the output joins a session).
    std::vector<PixelFormat> availableVideoPixelFormatTypes() const;
    PixelFormat videoPixelFormat() const { return pixelFormat_; }
    // An unavailable format is refused (false).
    bool setVideoPixelFormat(PixelFormat format);

private:
    friend class CaptureSession;
    bool discardsWhileBusy() const override { return discardsLate_; }
    std::atomic<bool> discardsLate_{true};
    std::atomic<PixelFormat> pixelFormat_{PixelFormat::NV12VideoRange};
    std::weak_ptr<CaptureSession> session_;
};

class CaptureAudioDataOutput : public CaptureOutput {
public:
    CaptureAudioDataOutput() : CaptureOutput(MediaType::Audio) {}
};

// Runs inputs into outputs. A camera input with a video output delivers
// frames at exactly the preset's size; a microphone input with an audio
// output delivers mono 16-bit samples at the audio session's rate; both are
// stamped on one clock. Start and stop run in call order on the session's own
// queue and return when done; configuration changes made while running take
// effect at commitConfiguration() (or at once outside a configuration block).
class CaptureSession : public std::enable_shared_from_this<CaptureSession> {
public:
    static std::shared_ptr<CaptureSession> create();
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    void beginConfiguration();
    void commitConfiguration();

    // One input and one output per media type.
    bool canAddInput(const std::shared_ptr<CaptureDeviceInput>& input) const;
    void addInput(const std::shared_ptr<CaptureDeviceInput>& input);
    void removeInput(const std::shared_ptr<CaptureDeviceInput>& input);
    std::vector<std::shared_ptr<CaptureDeviceInput>> inputs() const;
    bool canAddOutput(const std::shared_ptr<CaptureOutput>& output) const;
    void addOutput(const std::shared_ptr<CaptureOutput>& output);
    void removeOutput(const std::shared_ptr<CaptureOutput>& output);
    std::vector<std::shared_ptr<CaptureOutput>> outputs() const;

    static bool isKnownPreset(std::string_view preset);
    bool canSetSessionPreset(std::string_view preset) const { return isKnownPreset(preset); }
    void setSessionPreset(std::string_view preset);  // unknown presets are ignored
    std::string sessionPreset() const;

    void startRunning();
    void stopRunning();
    bool isRunning() const;

    // Told on the main thread when a device of the running session cannot be read (it cannot be opened
    // or stops delivering), with its media type and why.
    using RuntimeErrorHandler = std::function<void(MediaType type, const std::string& error)>;
    void setRuntimeErrorHandler(RuntimeErrorHandler handler);

private:
    friend class CaptureOutput;
    CaptureSession();
    // Applies an edit made under the lock (false: nothing changed); outside a
    // configuration block a running session takes it at once.
    void change(const std::function<bool()>& edit);
    void runtimeError(MediaType type, const std::string& error, std::uint64_t generation);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace media
