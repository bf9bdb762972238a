#include "imaging/GfxFilter.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxOneToOneSampling.h"
#include "imaging/GLProgram.h"
#include "platform/gl/GLES.h"

#include <algorithm>
#include <cmath>

const char* const PassthroughVertexShader =
    "attribute vec4 position; attribute vec4 inputTextureCoordinate; varying vec2 textureCoordinate; void main() { "
    "gl_Position = position; textureCoordinate = inputTextureCoordinate.xy; }";
const char* const PassthroughFragmentShader =
    "varying highp vec2 textureCoordinate; uniform sampler2D inputImageTexture; void main() { gl_FragColor = "
    "texture2D(inputImageTexture, textureCoordinate); }";

GfxFilter::GfxFilter(const std::string& vertexShader, const std::string& fragmentShader,
                     const std::vector<std::string>& attributes)
{
    filterProgram_ = ::setUpProgram(vertexShader, fragmentShader, attributes);
    runOnProcessingQueueSync([this] {
        filterPositionAttribute_ = filterProgram_->attributeIndex("position");
        filterTextureCoordinateAttribute_ = filterProgram_->attributeIndex("inputTextureCoordinate");
        filterInputTextureUniform_ = filterProgram_->uniformIndex("inputImageTexture");
    });
}

GfxFilter::GfxFilter(const std::string& vertexShader, const std::string& fragmentShader)
    : GfxFilter(vertexShader, fragmentShader, {"position", "inputTextureCoordinate"})
{
}

GfxFilter::GfxFilter(const std::string& fragmentShader) : GfxFilter(PassthroughVertexShader, fragmentShader) {}

GfxFilter::GfxFilter() : GfxFilter(PassthroughVertexShader, PassthroughFragmentShader) {}

GfxFilter::~GfxFilter() = default;

const std::array<float, 8>& GfxFilter::imageVertices()
{
    static const std::array<float, 8> vertices{-1, -1, 1, -1, -1, 1, 1, 1};
    return vertices;
}

const std::array<float, 8>& GfxFilter::textureCoordinatesForRotation(RotationMode rotation)
{
    static const std::array<std::array<float, 8>, 8> rows{{
        {0, 0, 1, 0, 0, 1, 1, 1},
        {1, 0, 1, 1, 0, 0, 0, 1},
        {0, 1, 0, 0, 1, 1, 1, 0},
        {0, 1, 1, 1, 0, 0, 1, 0},
        {1, 0, 0, 0, 1, 1, 0, 1},
        {0, 0, 0, 1, 1, 0, 1, 1},
        {1, 1, 1, 0, 0, 1, 0, 0},
        {1, 1, 0, 1, 1, 0, 0, 0},
    }};
    const auto row = static_cast<std::size_t>(rotation);
    return rows[row < rows.size() ? row : 0];
}

ui::Point GfxFilter::rotatedPoint(ui::Point p, RotationMode rotation)
{
    switch (rotation) {
    case RotateLeft: return {1 - p.y, p.x};
    case RotateRight: return {p.y, 1 - p.x};
    case FlipVertical: return {p.x, 1 - p.y};
    case FlipHorizontal: return {1 - p.x, p.y};
    case RotateRightFlipVertical: return {p.y, p.x};
    case RotateRightFlipHorizontal: return {1 - p.y, 1 - p.x};
    case Rotate180: return {1 - p.x, 1 - p.y};
    default: return p;
    }
}

ui::Size GfxFilter::sizeOfFBO() const
{
    const ui::Size maximum = maximumOutputSize();
    if ((maximum.width == 0 && maximum.height == 0) || inputTextureSize_.width < maximum.width)
        return inputTextureSize_;
    return maximum;
}

void GfxFilter::renderToTexture(const std::array<float, 8>& vertices, const std::array<float, 8>& textureCoordinates)
{
    if (preventRendering_) {
        if (firstInputFramebuffer_)
            firstInputFramebuffer_->unlock();
        return;
    }
    GfxContext::setActiveShaderProgram(filterProgram_);
    outputFramebuffer_ =
        GfxContext::sharedFramebufferCache().fetchFramebufferForSize(sizeOfFBO(), outputTextureOptions_, false);
    outputFramebuffer_->activateFramebuffer();
    if (usingNextFrameForImageCapture_)
        outputFramebuffer_->lock();
    setUniformsForProgramAtIndex(0);

    // A draw over the whole frame (blending is never on) sets every pixel: a clear first would be wasted.
    if (vertices != imageVertices()) {
        glClearColor(backgroundColorRed_, backgroundColorGreen_, backgroundColorBlue_, backgroundColorAlpha_);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    glActiveTexture(GL_TEXTURE2);
    const unsigned input = firstInputFramebuffer_ ? firstInputFramebuffer_->texture() : 0;
    glBindTexture(GL_TEXTURE_2D, input);
    const GfxOneToOneSampling sampling(
        input, firstInputFramebuffer_ && rotatedSize(firstInputFramebuffer_->size(), 0) == sizeOfFBO() &&
                   vertices == imageVertices() && textureCoordinates == textureCoordinatesForRotation(inputRotation_));
    glUniform1i(filterInputTextureUniform_, 2);
    bindAdditionalInputs();

    glVertexAttribPointer(filterPositionAttribute_, 2, GL_FLOAT, GL_FALSE, 0, vertices.data());
    glVertexAttribPointer(filterTextureCoordinateAttribute_, 2, GL_FLOAT, GL_FALSE, 0, textureCoordinates.data());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    releaseAdditionalInputs();

    if (firstInputFramebuffer_)
        firstInputFramebuffer_->unlock();
}

void GfxFilter::informTargetsAboutNewFrameAtTime(media::MediaTime frameTime)
{
    if (frameProcessingCompletionBlock_)
        frameProcessingCompletionBlock_(*this, frameTime);
    // The completion block may change the target list; hand on to the list as it is now.
    const auto targets = targets_;
    const auto indices = targetTextureIndices_;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (targets[i].get() == targetToIgnoreForUpdates_)
            continue;
        setInputFramebufferForTarget(*targets[i], indices[i]);
        targets[i]->setInputSize(outputFrameSize(), indices[i]);
    }
    if (outputFramebuffer_)
        outputFramebuffer_->unlock();
    if (!usingNextFrameForImageCapture_)
        removeOutputFramebuffer();
    for (const bool elsewhere : {true, false}) {
        for (std::size_t i = 0; i < targets.size(); ++i) {
            if (targets[i].get() == targetToIgnoreForUpdates_ || targets[i]->worksOnAnotherQueue() != elsewhere)
                continue;
            targets[i]->newFrameReadyAtTime(frameTime, indices[i]);
        }
    }
}

void GfxFilter::setBackgroundColor(float red, float green, float blue, float alpha)
{
    backgroundColorRed_ = red;
    backgroundColorGreen_ = green;
    backgroundColorBlue_ = blue;
    backgroundColorAlpha_ = alpha;
}

void GfxFilter::setAndExecuteUniformStateCallbackAtIndex(int uniform, const std::shared_ptr<GLProgram>& /*program*/,
                                                         std::function<void()> callback)
{
    uniformStateRestorationBlocks_[uniform] = callback;
    callback();
}

void GfxFilter::setUniformsForProgramAtIndex(int /*programIndex*/)
{
    for (const auto& [uniform, callback] : uniformStateRestorationBlocks_)
        callback();
}

namespace {

// Sets a uniform on the processing queue and keeps the setter for later draws.
void applyUniform(GfxFilter& filter, int uniform, const std::shared_ptr<GLProgram>& program,
                  std::function<void()> call)
{
    runOnProcessingQueueAsync([&filter, uniform, program, call = std::move(call)] {
        GfxContext::setActiveShaderProgram(program);
        filter.setAndExecuteUniformStateCallbackAtIndex(uniform, program, call);
    });
}

}  // namespace

void GfxFilter::setFloat(float value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    applyUniform(*this, uniform, program, [=] { glUniform1f(uniform, value); });
}

void GfxFilter::setInteger(int value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    applyUniform(*this, uniform, program, [=] { glUniform1i(uniform, value); });
}

void GfxFilter::setSize(ui::Size value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    const float v[2] = {static_cast<float>(value.width), static_cast<float>(value.height)};
    applyUniform(*this, uniform, program, [=] { glUniform2fv(uniform, 1, v); });
}

void GfxFilter::setPoint(ui::Point value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    const float v[2] = {static_cast<float>(value.x), static_cast<float>(value.y)};
    applyUniform(*this, uniform, program, [=] { glUniform2fv(uniform, 1, v); });
}

void GfxFilter::setVec3(std::array<float, 3> value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    applyUniform(*this, uniform, program, [=] { glUniform3fv(uniform, 1, value.data()); });
}

void GfxFilter::setVec4(std::array<float, 4> value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    applyUniform(*this, uniform, program, [=] { glUniform4fv(uniform, 1, value.data()); });
}

void GfxFilter::setMatrix3f(std::array<float, 9> value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    applyUniform(*this, uniform, program, [=] { glUniformMatrix3fv(uniform, 1, GL_FALSE, value.data()); });
}

void GfxFilter::setMatrix4f(std::array<float, 16> value, int uniform, const std::shared_ptr<GLProgram>& program)
{
    applyUniform(*this, uniform, program, [=] { glUniformMatrix4fv(uniform, 1, GL_FALSE, value.data()); });
}

void GfxFilter::setFloatArray(const float* values, int length, int uniform, const std::shared_ptr<GLProgram>& program)
{
    std::vector<float> copy(values, values + std::max(length, 0));
    applyUniform(*this, uniform, program, [=] { glUniform1fv(uniform, length, copy.data()); });
}

void GfxFilter::setFloat(float value, const std::string& uniformName)
{
    setFloat(value, filterProgram_->uniformIndex(uniformName), filterProgram_);
}

void GfxFilter::setInteger(int value, const std::string& uniformName)
{
    setInteger(value, filterProgram_->uniformIndex(uniformName), filterProgram_);
}

void GfxFilter::newFrameReadyAtTime(media::MediaTime frameTime, int /*textureIndex*/)
{
    renderToTexture(imageVertices(), textureCoordinatesForRotation(inputRotation_));
    informTargetsAboutNewFrameAtTime(frameTime);
}

void GfxFilter::setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int /*textureIndex*/)
{
    firstInputFramebuffer_ = std::move(framebuffer);
    if (firstInputFramebuffer_)
        firstInputFramebuffer_->lock();
}

ui::Size GfxFilter::rotatedSize(ui::Size size, int /*textureIndex*/) const
{
    return rotationSwapsWidthAndHeight(inputRotation_) ? ui::Size{size.height, size.width} : size;
}

void GfxFilter::setInputSize(ui::Size size, int textureIndex)
{
    if (preventRendering_)
        return;
    if (overrideInputSize_) {
        if (forcedMaximumSize_.width == 0 && forcedMaximumSize_.height == 0)
            return;
        // The largest rectangle of the new size's aspect ratio inside the forced size.
        const ui::Size rotated = rotatedSize(size, textureIndex);
        if (rotated.width <= 0 || rotated.height <= 0)
            return;
        const double scale = std::min(forcedMaximumSize_.width / rotated.width,
                                      forcedMaximumSize_.height / rotated.height);
        inputTextureSize_ = {rotated.width * scale, rotated.height * scale};
        return;
    }
    inputTextureSize_ = rotatedSize(size, textureIndex);
}

void GfxFilter::setInputRotation(RotationMode rotation, int /*textureIndex*/)
{
    inputRotation_ = rotation;
}

void GfxFilter::forceProcessingAtSize(ui::Size frameSize)
{
    if (frameSize.width == 0 && frameSize.height == 0) {
        overrideInputSize_ = false;
        return;
    }
    overrideInputSize_ = true;
    inputTextureSize_ = frameSize;
    forcedMaximumSize_ = {};
}

void GfxFilter::forceProcessingAtSizeRespectingAspectRatio(ui::Size frameSize)
{
    if (frameSize.width == 0 && frameSize.height == 0) {
        overrideInputSize_ = false;
        inputTextureSize_ = {};
        forcedMaximumSize_ = {};
        return;
    }
    overrideInputSize_ = true;
    forcedMaximumSize_ = frameSize;
}

void GfxFilter::endProcessing()
{
    if (isEndProcessing_)
        return;
    isEndProcessing_ = true;
    for (const auto& target : targets_)
        target->endProcessing();
}
