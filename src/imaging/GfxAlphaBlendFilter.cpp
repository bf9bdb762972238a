#include "imaging/GfxAlphaBlendFilter.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxPendingConversion.h"
#include "imaging/GLProgram.h"
#include "platform/gl/GLES.h"

#include <string>

namespace {

const char* const AlphaBlendFragmentShader =
    "varying highp vec2 textureCoordinate; varying highp vec2 textureCoordinate2; uniform sampler2D "
    "inputImageTexture; uniform sampler2D inputImageTexture2; uniform lowp float mixturePercent; void main() { lowp "
    "vec4 textureColor = texture2D(inputImageTexture, textureCoordinate); lowp vec4 textureColor2 = "
    "texture2D(inputImageTexture2, textureCoordinate2); gl_FragColor = vec4(mix(textureColor.rgb, "
    "textureColor2.rgb, textureColor2.a * mixturePercent), textureColor.a); }";

const char* const FoldedVertexShader =
    "attribute vec4 position; attribute vec4 inputTextureCoordinate; attribute vec4 inputTextureCoordinate2; "
    "varying vec2 textureCoordinate; varying vec2 textureCoordinate2; void main() { gl_Position = position; "
    "textureCoordinate = inputTextureCoordinate.xy; textureCoordinate2 = inputTextureCoordinate2.xy; }";

// The camera's picture is clamped as its own framebuffer would store it, and is opaque.
std::string foldedFragmentShader(bool fullRange)
{
    return "varying highp vec2 textureCoordinate; varying highp vec2 textureCoordinate2; uniform sampler2D "
           "inputImageTexture2; uniform lowp float mixturePercent; " +
           cameraRGBShaderFunction(fullRange) +
           " void main() { lowp vec3 camera = clamp(cameraRGB(textureCoordinate), 0.0, 1.0); lowp vec4 overlay = "
           "texture2D(inputImageTexture2, textureCoordinate2); gl_FragColor = vec4(mix(camera, overlay.rgb, "
           "overlay.a * mixturePercent), 1.0); }";
}

}  // namespace

GfxAlphaBlendFilter::GfxAlphaBlendFilter() : GfxTwoInputFilter(AlphaBlendFragmentShader)
{
    mixUniform_ = filterProgram_->uniformIndex("mixturePercent");
    setMix(0.5);
}

void GfxAlphaBlendFilter::setMix(double mix)
{
    mix_ = mix;
    setFloat(static_cast<float>(mix), mixUniform_, filterProgram_);
}

const GfxAlphaBlendFilter::FoldedProgram& GfxAlphaBlendFilter::foldedProgram(bool fullRange)
{
    FoldedProgram& folded = folded_[fullRange ? 1 : 0];
    if (!folded.program) {
        folded.program = setUpProgram(FoldedVertexShader, foldedFragmentShader(fullRange),
                                      {"position", "inputTextureCoordinate", "inputTextureCoordinate2"});
        folded.luminance = folded.program->uniformIndex("luminanceTexture");
        folded.chrominance = folded.program->uniformIndex("chrominanceTexture");
        folded.matrix = folded.program->uniformIndex("colorConversionMatrix");
        folded.overlay = folded.program->uniformIndex("inputImageTexture2");
        folded.mix = folded.program->uniformIndex("mixturePercent");
        folded.position = folded.program->attributeIndex("position");
        folded.planeCoordinate = folded.program->attributeIndex("inputTextureCoordinate");
        folded.overlayCoordinate = folded.program->attributeIndex("inputTextureCoordinate2");
    }
    return folded;
}

void GfxAlphaBlendFilter::renderToTexture(const std::array<float, 8>& vertices,
                                          const std::array<float, 8>& textureCoordinates)
{
    const GfxPendingConversion* conversion =
        firstInputFramebuffer_ ? firstInputFramebuffer_->pendingConversion() : nullptr;
    // Only a full-frame draw of the upright frame at its own size can take the conversion into its pass.
    const bool folds = conversion && !preventRendering_ && vertices == imageVertices() &&
                       inputRotation_ == NoRotation && textureCoordinates == textureCoordinatesForRotation(NoRotation) &&
                       firstInputFramebuffer_->size() == sizeOfFBO();
    if (folds)
        renderFolded(*conversion);
    else
        GfxFilter::renderToTexture(vertices, textureCoordinates);
}

void GfxAlphaBlendFilter::renderFolded(const GfxPendingConversion& conversion)
{
    const FoldedProgram& folded = foldedProgram(conversion.fullRange);
    GfxContext::setActiveShaderProgram(folded.program);
    outputFramebuffer_ =
        GfxContext::sharedFramebufferCache().fetchFramebufferForSize(sizeOfFBO(), outputTextureOptions_, false);
    outputFramebuffer_->activateFramebuffer();
    if (usingNextFrameForImageCapture_)
        outputFramebuffer_->lock();

    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, conversion.luminanceTexture);
    glUniform1i(folded.luminance, 4);
    glActiveTexture(GL_TEXTURE5);
    glBindTexture(GL_TEXTURE_2D, conversion.chrominanceTexture);
    glUniform1i(folded.chrominance, 5);
    glUniformMatrix3fv(folded.matrix, 1, GL_FALSE, conversion.matrix.data());
    glUniform1f(folded.mix, static_cast<float>(mix_));
    bindSecondInput(folded.overlay, folded.overlayCoordinate);

    glVertexAttribPointer(folded.position, 2, GL_FLOAT, GL_FALSE, 0, imageVertices().data());
    glVertexAttribPointer(folded.planeCoordinate, 2, GL_FLOAT, GL_FALSE, 0, conversion.textureCoordinates.data());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    releaseAdditionalInputs();
    // The frame's own framebuffer was never drawn: it goes back as it is.
    firstInputFramebuffer_->unlock();
}
