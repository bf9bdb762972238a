#include "imaging/GfxPendingConversion.h"

std::string cameraRGBShaderFunction(bool fullRange)
{
    return std::string("uniform sampler2D luminanceTexture; uniform sampler2D chrominanceTexture; uniform mediump mat3 "
                       "colorConversionMatrix; lowp vec3 cameraRGB(highp vec2 coordinate) { mediump vec3 yuv; "
                       "yuv.x = texture2D(luminanceTexture, coordinate).r") +
           (fullRange ? "" : " - (16.0/255.0)") +
           "; yuv.yz = texture2D(chrominanceTexture, coordinate).ra - vec2(0.5, 0.5); return "
           "colorConversionMatrix * yuv; }";
}
