#pragma once

// Where a texture's texels fall one to one on the pixels drawn, nearest
// sampling draws the same picture as linear filtering for less work. Made
// while the texture is bound to the active unit, this switches it to nearest
// sampling when `oneToOne`; gone, it puts the texture's own filters back.
class GfxOneToOneSampling {
public:
    GfxOneToOneSampling(unsigned texture, bool oneToOne);
    ~GfxOneToOneSampling();
    GfxOneToOneSampling(const GfxOneToOneSampling&) = delete;
    GfxOneToOneSampling& operator=(const GfxOneToOneSampling&) = delete;

private:
    unsigned texture_ = 0;  // 0: nothing to put back
    int unit_ = 0;
    int minFilter_ = 0;
    int magFilter_ = 0;
};
