#pragma once

#include "imaging/GfxOutput.h"
#include "platform/media/CaptureSession.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace fnd {
class DispatchQueue;
}
class GLProgram;

// Told of each camera frame on the processing queue, before it is processed.
class GfxVideoCameraDelegate {
public:
    virtual ~GfxVideoCameraDelegate() = default;
    virtual void willOutputSampleBuffer(const std::shared_ptr<media::SampleBuffer>& /*sampleBuffer*/) {}
};

using ColorConversionMatrix = std::array<float, 9>;
extern const ColorConversionMatrix ColorConversion601;
extern const ColorConversionMatrix ColorConversion601FullRange;
extern const ColorConversionMatrix ColorConversion709;

// The camera as a pipeline source: each bi-planar YUV frame is mapped into
// two textures, converted to RGB (and turned upright) in one draw and handed
// to the first target. At most one frame is in work; others are dropped.
// The microphone's sound goes to the audio encoding target.
class GfxVideoCamera : public GfxOutput,
                       public media::CaptureOutputSampleBufferDelegate,
                       public std::enable_shared_from_this<GfxVideoCamera> {
public:
    // nullptr when there is no camera at that position or the session refuses the output.
    static std::shared_ptr<GfxVideoCamera> create(std::string_view sessionPreset = media::CaptureSessionPreset640x480,
                                                  media::DevicePosition cameraPosition = media::DevicePosition::Back);
    ~GfxVideoCamera() override;

    void startCameraCapture();
    void stopCameraCapture();
    bool isRunning() const;
    void pauseCameraCapture() { capturePaused_ = true; }
    void resumeCameraCapture() { capturePaused_ = false; }

    // Interface orientation: 1 portrait, 2 upside down, 3 landscape right, 4 landscape left.
    void setOutputImageOrientation(int orientation);
    int outputImageOrientation() const { return outputImageOrientation_; }
    void setHorizontallyMirrorFrontFacingCamera(bool mirror);
    void setHorizontallyMirrorRearFacingCamera(bool mirror);
    void setFrameRate(int frameRate);
    int frameRate() const { return frameRate_; }
    void setAudioEncodingTarget(std::shared_ptr<GfxMovieWriter> writer) override;
    bool addAudioInputsAndOutputs();
    bool removeAudioInputsAndOutputs();
    void removeInputsAndOutputs();

    using GfxOutput::addTarget;
    void addTarget(const std::shared_ptr<GfxInput>& target, int textureLocation) override;
    media::DevicePosition cameraPosition() const;
    void setCaptureSessionPreset(std::string_view preset);
    const std::string& captureSessionPreset() const { return captureSessionPreset_; }
    const std::shared_ptr<media::CaptureSession>& captureSession() const { return captureSession_; }
    const std::shared_ptr<media::CaptureDevice>& inputCamera() const { return inputCamera_; }
    void setDelegate(GfxVideoCameraDelegate* delegate) { delegate_ = delegate; }
    bool isFullYUVRange() const { return isFullYUVRange_; }
    const ColorConversionMatrix& preferredConversion() const { return preferredConversion_; }
    RotationMode internalRotation() const { return internalRotation_; }
    RotationMode outputRotation() const { return outputRotation_; }

    // The capture callback (on the capture queues).
    void captureOutput(media::CaptureOutput& output, const std::shared_ptr<media::SampleBuffer>& buffer) override;
    // On the processing queue.
    void processVideoSampleBuffer(const std::shared_ptr<media::SampleBuffer>& sampleBuffer);
    void processAudioSampleBuffer(const std::shared_ptr<media::SampleBuffer>& sampleBuffer);

    struct Token {};
    explicit GfxVideoCamera(Token);

private:
    bool setUp(std::string_view sessionPreset, media::DevicePosition cameraPosition);
    void convertYUVToRGBOutput(unsigned luminanceTexture, unsigned chrominanceTexture);
    void updateTargetsForVideoCamera(int width, int height, media::MediaTime time);
    void updateOrientationSendToTargets();

    std::shared_ptr<media::CaptureSession> captureSession_;
    std::shared_ptr<media::CaptureDevice> inputCamera_;
    std::shared_ptr<media::CaptureDevice> microphone_;
    std::shared_ptr<media::CaptureDeviceInput> videoInput_;
    std::shared_ptr<media::CaptureVideoDataOutput> videoOutput_;
    std::shared_ptr<media::CaptureDeviceInput> audioInput_;
    std::shared_ptr<media::CaptureAudioDataOutput> audioOutput_;
    std::atomic<bool> capturePaused_{false};
    RotationMode outputRotation_ = NoRotation;
    RotationMode internalRotation_ = NoRotation;
    std::atomic<bool> frameInFlight_{false};
    GfxVideoCameraDelegate* delegate_ = nullptr;
    std::shared_ptr<fnd::DispatchQueue> cameraProcessingQueue_;
    std::shared_ptr<fnd::DispatchQueue> audioProcessingQueue_;
    // Starts and stops the session in call order.
    std::shared_ptr<fnd::DispatchQueue> sessionQueue_;
    std::shared_ptr<GLProgram> yuvConversionProgram_;
    unsigned yuvConversionPositionAttribute_ = 0;
    unsigned yuvConversionTextureCoordinateAttribute_ = 1;
    int yuvConversionLuminanceTextureUniform_ = -1;
    int yuvConversionChrominanceTextureUniform_ = -1;
    int yuvConversionMatrixUniform_ = -1;
    ColorConversionMatrix preferredConversion_;
    bool isFullYUVRange_ = false;
    int imageBufferWidth_ = 0;
    int imageBufferHeight_ = 0;
    bool addedAudioInputsDueToEncodingTarget_ = false;
    bool horizontallyMirrorFrontFacingCamera_ = false;
    bool horizontallyMirrorRearFacingCamera_ = false;
    int frameRate_ = 0;
    std::string captureSessionPreset_;
    int outputImageOrientation_ = 0;
    // The audio queue reads the audio target while the main thread may change it.
    mutable std::mutex audioTargetMutex_;
};
