#include "imaging/GfxOneToOneSampling.h"

#include "platform/gl/GLES.h"

GfxOneToOneSampling::GfxOneToOneSampling(unsigned texture, bool oneToOne)
{
    if (!oneToOne || texture == 0)
        return;
    texture_ = texture;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit_);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter_);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

GfxOneToOneSampling::~GfxOneToOneSampling()
{
    if (texture_ == 0)
        return;
    GLint activeUnit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glActiveTexture(static_cast<GLenum>(unit_));
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter_);
    glActiveTexture(static_cast<GLenum>(activeUnit));
}
