#include "imaging/GfxBrightnessFilter.h"

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
