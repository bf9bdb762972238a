#include "imaging/GfxBrightnessFilter.h"

#include "imaging/GfxFramebuffer.h"
#include "imaging/GLProgram.h"

namespace {

const char* const BrightnessFragmentShader =
    "varying highp vec2 textureCoordinate; uniform sampler2D inputImageTexture; uniform lowp float brightness; void "
    "main() { lowp vec4 textureColor = texture2D(inputImageTexture, textureCoordinate); gl_FragColor = "
    "vec4((textureColor.rgb + vec3(brightness)), textureColor.w); }";

}  // namespace

GfxBrightnessFilter::GfxBrightnessFilter() : GfxFilter(BrightnessFragmentShader)
{
    brightnessUniform_ = filterProgram_->uniformIndex("brightness");
    setBrightness(0.0);
}

void GfxBrightnessFilter::setBrightness(double brightness)
{
    brightness_ = brightness;
    setFloat(static_cast<float>(brightness), brightnessUniform_, filterProgram_);
}

bool GfxBrightnessFilter::passesInputThrough() const
{
    // A bare texture (no framebuffer around it) is drawn, as targets may read the output back.
    return brightness_ == 0 && !preventRendering_ && firstInputFramebuffer_ && firstInputFramebuffer_->framebuffer() &&
           inputRotation_ == NoRotation &&
           firstInputFramebuffer_->size() == sizeOfFBO() &&
           firstInputFramebuffer_->textureOptions() == outputTextureOptions_;
}

void GfxBrightnessFilter::newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex)
{
    if (!passesInputThrough()) {
        GfxFilter::newFrameReadyAtTime(frameTime, textureIndex);
        return;
    }
    // Adding nothing changes no pixel, so the full-frame pass is saved: the
    // lock taken on the input becomes the output's, as after a draw.
    outputFramebuffer_ = std::move(firstInputFramebuffer_);
    if (usingNextFrameForImageCapture_)
        outputFramebuffer_->lock();
    informTargetsAboutNewFrameAtTime(frameTime);
}
