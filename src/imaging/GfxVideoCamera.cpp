#include "imaging/GfxVideoCamera.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFilter.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxMovieWriter.h"
#include "imaging/GLProgram.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/gl/GLES.h"
#include "platform/gl/TextureCache.h"

const ColorConversionMatrix ColorConversion601{1.164f, 1.164f, 1.164f, 0.0f, -0.392f, 2.017f, 1.596f, -0.813f, 0.0f};
const ColorConversionMatrix ColorConversion601FullRange{1.0f,    1.0f,   1.0f,    0.0f, -0.343f,
                                                        1.765f, 1.4f,   -0.711f, 0.0f};
const ColorConversionMatrix ColorConversion709{1.164f, 1.164f, 1.164f, 0.0f, -0.213f, 2.112f, 1.793f, -0.533f, 0.0f};

namespace {

const char* const YUVFullRangeFragmentShader =
    "varying highp vec2 textureCoordinate; uniform sampler2D luminanceTexture; uniform sampler2D chrominanceTexture; "
    "uniform mediump mat3 colorConversionMatrix; void main() { mediump vec3 yuv; lowp vec3 rgb; yuv.x = "
    "texture2D(luminanceTexture, textureCoordinate).r; yuv.yz = texture2D(chrominanceTexture, textureCoordinate).ra "
    "- vec2(0.5, 0.5); rgb = colorConversionMatrix * yuv; gl_FragColor = vec4(rgb, 1); }";
const char* const YUVVideoRangeFragmentShader =
    "varying highp vec2 textureCoordinate; uniform sampler2D luminanceTexture; uniform sampler2D chrominanceTexture; "
    "uniform mediump mat3 colorConversionMatrix; void main() { mediump vec3 yuv; lowp vec3 rgb; yuv.x = "
    "texture2D(luminanceTexture, textureCoordinate).r - (16.0/255.0); yuv.yz = texture2D(chrominanceTexture, "
    "textureCoordinate).ra - vec2(0.5, 0.5); rgb = colorConversionMatrix * yuv; gl_FragColor = vec4(rgb, 1); }";

// Rotation for the device position, mirroring and interface orientation (1-4).
RotationMode rotationFor(bool front, bool mirrored, int orientation)
{
    static const RotationMode table[4][4] = {
        {RotateRight, RotateLeft, NoRotation, Rotate180},                                  // back
        {RotateRightFlipVertical, Rotate180, FlipVertical, FlipHorizontal},                // back mirrored
        {RotateRight, RotateLeft, Rotate180, NoRotation},                                  // front
        {RotateRightFlipVertical, RotateRightFlipHorizontal, FlipVertical, FlipHorizontal},  // front mirrored
    };
    if (orientation < 1 || orientation > 4)
        return NoRotation;
    return table[(front ? 2 : 0) + (mirrored ? 1 : 0)][orientation - 1];
}

}  // namespace

std::shared_ptr<GfxVideoCamera> GfxVideoCamera::create(std::string_view sessionPreset,
                                                       media::DevicePosition cameraPosition)
{
    auto camera = std::make_shared<GfxVideoCamera>(Token{});
    if (!camera->setUp(sessionPreset, cameraPosition))
        return nullptr;
    return camera;
}

GfxVideoCamera::GfxVideoCamera(Token)
    : cameraProcessingQueue_(std::make_shared<fnd::DispatchQueue>("norvale.imaging.camera")),
      audioProcessingQueue_(std::make_shared<fnd::DispatchQueue>("norvale.imaging.audio")),
      sessionQueue_(std::make_shared<fnd::DispatchQueue>("norvale.imaging.captureSession")),
      preferredConversion_(ColorConversion709)
{
}

bool GfxVideoCamera::setUp(std::string_view sessionPreset, media::DevicePosition cameraPosition)
{
    for (const auto& device : media::CaptureDevice::devicesWithMediaType(media::MediaType::Video)) {
        if (device->position() == cameraPosition)
            inputCamera_ = device;
    }
    if (!inputCamera_)
        return false;

    captureSession_ = media::CaptureSession::create();
    captureSession_->beginConfiguration();
    videoInput_ = media::CaptureDeviceInput::create(inputCamera_);
    if (videoInput_ && captureSession_->canAddInput(videoInput_))
        captureSession_->addInput(videoInput_);

    videoOutput_ = std::make_shared<media::CaptureVideoDataOutput>();
    videoOutput_->setAlwaysDiscardsLateVideoFrames(false);
    if (!captureSession_->canAddOutput(videoOutput_)) {
        fnd::log(fnd::LogLevel::Error, "Couldn't add video output");
        captureSession_->commitConfiguration();
        return false;
    }
    captureSession_->addOutput(videoOutput_);
    // What the camera offers is known once the output is connected to it.
    const auto formats = videoOutput_->availableVideoPixelFormatTypes();
    isFullYUVRange_ = std::find(formats.begin(), formats.end(), media::PixelFormat::NV12FullRange) != formats.end();
    videoOutput_->setVideoPixelFormat(isFullYUVRange_ ? media::PixelFormat::NV12FullRange
                                                      : media::PixelFormat::NV12VideoRange);

    runOnProcessingQueueSync([this] {
        yuvConversionProgram_ =
            setUpProgram(PassthroughVertexShader,
                         isFullYUVRange_ ? YUVFullRangeFragmentShader : YUVVideoRangeFragmentShader,
                         {"position", "inputTextureCoordinate"});
        yuvConversionPositionAttribute_ = yuvConversionProgram_->attributeIndex("position");
        yuvConversionTextureCoordinateAttribute_ = yuvConversionProgram_->attributeIndex("inputTextureCoordinate");
        yuvConversionLuminanceTextureUniform_ = yuvConversionProgram_->uniformIndex("luminanceTexture");
        yuvConversionChrominanceTextureUniform_ = yuvConversionProgram_->uniformIndex("chrominanceTexture");
        yuvConversionMatrixUniform_ = yuvConversionProgram_->uniformIndex("colorConversionMatrix");
    });
    videoOutput_->setSampleBufferDelegate(this, cameraProcessingQueue_);
    captureSessionPreset_ = std::string(sessionPreset);
    captureSession_->setSessionPreset(sessionPreset);
    captureSession_->commitConfiguration();
    return true;
}

GfxVideoCamera::~GfxVideoCamera()
{
    stopCameraCapture();
    if (videoOutput_)
        videoOutput_->setSampleBufferDelegate(nullptr, nullptr);
    if (audioOutput_)
        audioOutput_->setSampleBufferDelegate(nullptr, nullptr);
    removeInputsAndOutputs();
}

void GfxVideoCamera::startCameraCapture()
{
    sessionQueue_->async([session = captureSession_] {
        if (!session->isRunning())
            session->startRunning();
    });
}

void GfxVideoCamera::stopCameraCapture()
{
    // Behind any start still queued, so a quick start-then-stop leaves the camera off.
    sessionQueue_->sync([session = captureSession_] {
        if (session && session->isRunning())
            session->stopRunning();
    });
}

bool GfxVideoCamera::isRunning() const
{
    return captureSession_->isRunning();
}

void GfxVideoCamera::setOutputImageOrientation(int orientation)
{
    outputImageOrientation_ = orientation;
    updateOrientationSendToTargets();
}

void GfxVideoCamera::setHorizontallyMirrorFrontFacingCamera(bool mirror)
{
    horizontallyMirrorFrontFacingCamera_ = mirror;
    updateOrientationSendToTargets();
}

void GfxVideoCamera::setHorizontallyMirrorRearFacingCamera(bool mirror)
{
    horizontallyMirrorRearFacingCamera_ = mirror;
    updateOrientationSendToTargets();
}

void GfxVideoCamera::updateOrientationSendToTargets()
{
    runOnProcessingQueueSync([this] {
        const bool front = cameraPosition() == media::DevicePosition::Front;
        const bool mirrored = front ? horizontallyMirrorFrontFacingCamera_ : horizontallyMirrorRearFacingCamera_;
        // The picture is turned while it is converted, so targets get upright frames.
        outputRotation_ = NoRotation;
        internalRotation_ = rotationFor(front, mirrored, outputImageOrientation_);
        for (std::size_t i = 0; i < targets_.size(); ++i)
            targets_[i]->setInputRotation(outputRotation_, targetTextureIndices_[i]);
    });
}

void GfxVideoCamera::setFrameRate(int frameRate)
{
    frameRate_ = frameRate;
    const media::MediaTime duration =
        frameRate > 0 ? media::MediaTime::make(1, frameRate) : media::MediaTime::invalid();
    if (inputCamera_->lockForConfiguration()) {
        inputCamera_->setActiveVideoMinFrameDuration(duration);
        inputCamera_->setActiveVideoMaxFrameDuration(duration);
        inputCamera_->unlockForConfiguration();
    }
}

void GfxVideoCamera::setAudioEncodingTarget(std::shared_ptr<GfxMovieWriter> writer)
{
    if (writer) {
        addedAudioInputsDueToEncodingTarget_ |= addAudioInputsAndOutputs();
    } else if (addedAudioInputsDueToEncodingTarget_) {
        removeAudioInputsAndOutputs();
        addedAudioInputsDueToEncodingTarget_ = false;
    }
    const std::lock_guard lock(audioTargetMutex_);
    GfxOutput::setAudioEncodingTarget(std::move(writer));
}

bool GfxVideoCamera::addAudioInputsAndOutputs()
{
    if (audioOutput_)
        return false;
    captureSession_->beginConfiguration();
    microphone_ = media::CaptureDevice::defaultDeviceWithMediaType(media::MediaType::Audio);
    audioInput_ = media::CaptureDeviceInput::create(microphone_);
    if (audioInput_ && captureSession_->canAddInput(audioInput_))
        captureSession_->addInput(audioInput_);
    audioOutput_ = std::make_shared<media::CaptureAudioDataOutput>();
    if (captureSession_->canAddOutput(audioOutput_))
        captureSession_->addOutput(audioOutput_);
    else
        fnd::log(fnd::LogLevel::Warning, "Couldn't add audio output");
    audioOutput_->setSampleBufferDelegate(this, audioProcessingQueue_);
    captureSession_->commitConfiguration();
    return true;
}

bool GfxVideoCamera::removeAudioInputsAndOutputs()
{
    if (!audioOutput_)
        return false;
    captureSession_->beginConfiguration();
    if (audioInput_)
        captureSession_->removeInput(audioInput_);
    captureSession_->removeOutput(audioOutput_);
    captureSession_->commitConfiguration();
    audioOutput_->setSampleBufferDelegate(nullptr, nullptr);
    audioInput_.reset();
    audioOutput_.reset();
    microphone_.reset();
    return true;
}

void GfxVideoCamera::removeInputsAndOutputs()
{
    if (!captureSession_)
        return;
    captureSession_->beginConfiguration();
    if (videoInput_)
        captureSession_->removeInput(videoInput_);
    if (videoOutput_)
        captureSession_->removeOutput(videoOutput_);
    if (microphone_) {
        if (audioInput_)
            captureSession_->removeInput(audioInput_);
        if (audioOutput_)
            captureSession_->removeOutput(audioOutput_);
    }
    captureSession_->commitConfiguration();
}

void GfxVideoCamera::addTarget(const std::shared_ptr<GfxInput>& target, int textureLocation)
{
    GfxOutput::addTarget(target, textureLocation);
    target->setInputRotation(outputRotation_, textureLocation);
}

media::DevicePosition GfxVideoCamera::cameraPosition() const
{
    return inputCamera_ ? inputCamera_->position() : media::DevicePosition::Unspecified;
}

void GfxVideoCamera::setCaptureSessionPreset(std::string_view preset)
{
    captureSession_->beginConfiguration();
    captureSessionPreset_ = std::string(preset);
    captureSession_->setSessionPreset(preset);
    captureSession_->commitConfiguration();
}

void GfxVideoCamera::captureOutput(media::CaptureOutput&, const std::shared_ptr<media::SampleBuffer>& buffer)
{
    if (!captureSession_->isRunning())
        return;
    // Told apart by the buffer, not by audioOutput_: the main thread sets that while capture runs.
    if (buffer->mediaType() == media::MediaType::Audio) {
        processAudioSampleBuffer(buffer);
        return;
    }
    // One frame in work at a time; a camera frame that finds one is dropped.
    if (frameInFlight_.exchange(true))
        return;
    fnd::DispatchQueue::main().async([weak = weak_from_this(), buffer] {
        const auto self = weak.lock();
        if (!self)
            return;
        if (self->delegate_)
            self->delegate_->willOutputSampleBuffer(buffer);
        self->processVideoSampleBuffer(buffer);
        self->frameInFlight_ = false;
    });
}

void GfxVideoCamera::processAudioSampleBuffer(const std::shared_ptr<media::SampleBuffer>& sampleBuffer)
{
    std::shared_ptr<GfxMovieWriter> target;
    {
        const std::lock_guard lock(audioTargetMutex_);
        target = audioEncodingTarget_;
    }
    if (target)
        target->processAudioBuffer(sampleBuffer);
}

void GfxVideoCamera::processVideoSampleBuffer(const std::shared_ptr<media::SampleBuffer>& sampleBuffer)
{
    if (capturePaused_ || !sampleBuffer || !sampleBuffer->imageBuffer())
        return;
    auto& pixels = *sampleBuffer->imageBuffer();
    if (!media::isBiPlanar(pixels.pixelFormat()))
        return;
    const int width = pixels.width();
    const int height = pixels.height();

    const auto matrix = pixels.attachments().matrix;
    if (!matrix || *matrix == media::YCbCrMatrix::ITU_R_601_4)
        preferredConversion_ = isFullYUVRange_ ? ColorConversion601FullRange : ColorConversion601;
    else
        preferredConversion_ = ColorConversion709;

    const media::MediaTime currentTime = sampleBuffer->presentationTimeStamp();
    auto& context = GfxContext::sharedImageProcessingContext();
    context.useAsCurrentContext();
    pixels.lockBaseAddress();
    // The output follows the frames' size whenever either side changes.
    imageBufferWidth_ = width;
    imageBufferHeight_ = height;

    int error = 0;
    glActiveTexture(GL_TEXTURE4);
    const auto luminance = context.coreVideoTextureCache().createTextureFromImage(
        pixels, GL_TEXTURE_2D, GL_LUMINANCE, width, height, GL_LUMINANCE, GL_UNSIGNED_BYTE, 0, &error);
    glActiveTexture(GL_TEXTURE5);
    const auto chrominance =
        luminance ? context.coreVideoTextureCache().createTextureFromImage(pixels, GL_TEXTURE_2D, GL_LUMINANCE_ALPHA,
                                                                            width / 2, height / 2,
                                                                            GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 1,
                                                                            &error)
                  : nullptr;
    if (!luminance || !chrominance) {
        // Without both planes the frame cannot be converted: it is dropped.
        fnd::log(fnd::LogLevel::Error,
                 "Error at CVOpenGLESTextureCacheCreateTextureFromImage " + std::to_string(error));
        pixels.unlockBaseAddress();
        return;
    }
    // Luma has a texel for every pixel drawn, so nearest sampling gives the same picture for less work;
    // chroma, at half size, is interpolated.
    glActiveTexture(GL_TEXTURE4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    convertYUVToRGBOutput(luminance->name(), chrominance->name());
    if (rotationSwapsWidthAndHeight(internalRotation_))
        updateTargetsForVideoCamera(height, width, currentTime);
    else
        updateTargetsForVideoCamera(width, height, currentTime);
    pixels.unlockBaseAddress();
}

void GfxVideoCamera::convertYUVToRGBOutput(unsigned luminanceTexture, unsigned chrominanceTexture)
{
    GfxContext::setActiveShaderProgram(yuvConversionProgram_);
    const ui::Size size = rotationSwapsWidthAndHeight(internalRotation_)
                              ? ui::Size{double(imageBufferHeight_), double(imageBufferWidth_)}
                              : ui::Size{double(imageBufferWidth_), double(imageBufferHeight_)};
    outputFramebuffer_ =
        GfxContext::sharedFramebufferCache().fetchFramebufferForSize(size, outputTextureOptions_, false);
    // The conversion draws over the whole frame: no clear is needed first.
    outputFramebuffer_->activateFramebuffer();
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, luminanceTexture);
    glUniform1i(yuvConversionLuminanceTextureUniform_, 4);
    glActiveTexture(GL_TEXTURE5);
    glBindTexture(GL_TEXTURE_2D, chrominanceTexture);
    glUniform1i(yuvConversionChrominanceTextureUniform_, 5);
    glUniformMatrix3fv(yuvConversionMatrixUniform_, 1, GL_FALSE, preferredConversion_.data());
    glVertexAttribPointer(yuvConversionPositionAttribute_, 2, GL_FLOAT, GL_FALSE, 0, GfxFilter::imageVertices().data());
    glVertexAttribPointer(yuvConversionTextureCoordinateAttribute_, 2, GL_FLOAT, GL_FALSE, 0,
                          GfxFilter::textureCoordinatesForRotation(internalRotation_).data());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void GfxVideoCamera::updateTargetsForVideoCamera(int width, int height, media::MediaTime time)
{
    if (targets_.empty()) {
        // Nobody to hand the frame to: it goes straight back to the cache.
        outputFramebuffer_->unlock();
        outputFramebuffer_.reset();
        return;
    }
    const auto target = targets_.front();
    const int textureIndex = targetTextureIndices_.front();
    target->setInputRotation(outputRotation_, textureIndex);
    target->setInputSize({double(width), double(height)}, textureIndex);
    target->setCurrentlyReceivingMonochromeInput(false);
    target->setInputFramebuffer(outputFramebuffer_, textureIndex);
    outputFramebuffer_->unlock();
    outputFramebuffer_.reset();
    target->newFrameReadyAtTime(time, textureIndex);
}
