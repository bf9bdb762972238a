#include "imaging/GfxTwoInputFilter.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GLProgram.h"
#include "platform/gl/Context.h"
#include "platform/gl/GLES.h"

namespace {

const char* const TwoInputTextureVertexShader =
    "attribute vec4 position; attribute vec4 inputTextureCoordinate; attribute vec4 inputTextureCoordinate2; "
    "varying vec2 textureCoordinate; varying vec2 textureCoordinate2; void main() { gl_Position = position; "
    "textureCoordinate = inputTextureCoordinate.xy; textureCoordinate2 = inputTextureCoordinate2.xy; }";

}  // namespace

GfxTwoInputFilter::GfxTwoInputFilter(const std::string& fragmentShader)
    : GfxTwoInputFilter(TwoInputTextureVertexShader, fragmentShader)
{
}

GfxTwoInputFilter::GfxTwoInputFilter(const std::string& vertexShader, const std::string& fragmentShader)
    : GfxFilter(vertexShader, fragmentShader, {"position", "inputTextureCoordinate", "inputTextureCoordinate2"})
{
    runOnProcessingQueueSync([this] {
        GfxContext::useImageProcessingContext();
        filterSecondTextureCoordinateAttribute_ = filterProgram_->attributeIndex("inputTextureCoordinate2");
        filterInputTextureUniform2_ = filterProgram_->uniformIndex("inputImageTexture2");
        glEnableVertexAttribArray(filterSecondTextureCoordinateAttribute_);
    });
}

GfxTwoInputFilter::~GfxTwoInputFilter()
{
    releaseSecondInput();
    if (const unsigned texture = transparentTexture_) {
        GfxContext::sharedImageProcessingContext().context()->deleteObjects(
            [texture] { glDeleteTextures(1, &texture); });
    }
}

void GfxTwoInputFilter::releaseSecondInput()
{
    if (auto previous = std::move(secondInputFramebuffer_))
        previous->unlock();
}

void GfxTwoInputFilter::setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int textureIndex)
{
    if (textureIndex == 0) {
        // A first-input frame still waiting for its partner is superseded by this one and never drawn:
        // its lock goes back now (after the new one is locked, as it may be the same framebuffer).
        const auto superseded = hasReceivedFirstFrame_ ? firstInputFramebuffer_ : nullptr;
        GfxFilter::setInputFramebuffer(std::move(framebuffer), 0);
        if (superseded)
            superseded->unlock();
        hasSetFirstTexture_ = true;
        return;
    }
    // Lock the new one before letting go of the old, which may be the same.
    if (framebuffer)
        framebuffer->lock();
    releaseSecondInput();
    secondInputFramebuffer_ = std::move(framebuffer);
}

void GfxTwoInputFilter::setInputSize(ui::Size size, int textureIndex)
{
    if (textureIndex == 0) {
        GfxFilter::setInputSize(size, textureIndex);
        if (size.width == 0 && size.height == 0)
            hasSetFirstTexture_ = false;
    } else if (size.width == 0 && size.height == 0) {
        // The second source was removed: nothing of it is drawn any more.
        releaseSecondInput();
    }
}

void GfxTwoInputFilter::setInputRotation(RotationMode rotation, int textureIndex)
{
    if (textureIndex == 0)
        inputRotation_ = rotation;
    else
        inputRotation2_ = rotation;
}

ui::Size GfxTwoInputFilter::rotatedSize(ui::Size size, int textureIndex) const
{
    const RotationMode rotation = textureIndex == 0 ? inputRotation_ : inputRotation2_;
    return rotationSwapsWidthAndHeight(rotation) ? ui::Size{size.height, size.width} : size;
}

void GfxTwoInputFilter::newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex)
{
    if (hasReceivedFirstFrame_ && hasReceivedSecondFrame_)
        return;
    bool stillImage = false;
    if (textureIndex == 0) {
        hasReceivedFirstFrame_ = true;
        firstFrameTime_ = frameTime;
        if (secondFrameCheckDisabled_)
            hasReceivedSecondFrame_ = true;
        stillImage = !frameTime.isIndefinite() && secondFrameTime_.isIndefinite();
    } else {
        hasReceivedSecondFrame_ = true;
        secondFrameTime_ = frameTime;
        if (firstFrameCheckDisabled_)
            hasReceivedFirstFrame_ = true;
        stillImage = !frameTime.isIndefinite() && firstFrameTime_.isIndefinite();
    }
    if ((hasReceivedFirstFrame_ && hasReceivedSecondFrame_) || stillImage) {
        const media::MediaTime time = firstFrameTime_.isIndefinite() ? secondFrameTime_ : firstFrameTime_;
        GfxFilter::newFrameReadyAtTime(time, 0);
        hasReceivedFirstFrame_ = false;
        hasReceivedSecondFrame_ = false;
    }
}

unsigned GfxTwoInputFilter::transparentTexture()
{
    if (transparentTexture_ == 0) {
        const unsigned char clear[4] = {0, 0, 0, 0};
        glGenTextures(1, &transparentTexture_);
        glBindTexture(GL_TEXTURE_2D, transparentTexture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, clear);
    }
    return transparentTexture_;
}

void GfxTwoInputFilter::bindAdditionalInputs()
{
    glActiveTexture(GL_TEXTURE3);
    // Without a second input the overlay is transparent (texture 0 would sample black).
    glBindTexture(GL_TEXTURE_2D, secondInputFramebuffer_ ? secondInputFramebuffer_->texture() : transparentTexture());
    if (secondInputFramebuffer_)
        secondInputSampling_.emplace(secondInputFramebuffer_->texture(),
                                     rotatedSize(secondInputFramebuffer_->size(), 1) == sizeOfFBO());
    glUniform1i(filterInputTextureUniform2_, 3);
    glVertexAttribPointer(filterSecondTextureCoordinateAttribute_, 2, GL_FLOAT, GL_FALSE, 0,
                          textureCoordinatesForRotation(inputRotation2_).data());
}

void GfxTwoInputFilter::releaseAdditionalInputs()
{
    secondInputSampling_.reset();
}
