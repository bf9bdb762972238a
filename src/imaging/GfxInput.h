#pragma once

#include "platform/media/MediaTime.h"
#include "platform/ui/Geometry.h"

#include <memory>

class GfxFramebuffer;

// How a target samples its input; 1, 2, 5 and 6 exchange width and height.
enum RotationMode : unsigned {
    NoRotation = 0,
    RotateLeft = 1,
    RotateRight = 2,
    FlipVertical = 3,
    FlipHorizontal = 4,
    RotateRightFlipVertical = 5,
    RotateRightFlipHorizontal = 6,
    Rotate180 = 7,
};

inline bool rotationSwapsWidthAndHeight(RotationMode mode)
{
    return mode == RotateLeft || mode == RotateRight || mode == RotateRightFlipVertical ||
           mode == RotateRightFlipHorizontal;
}

// What every pipeline target offers its sources.
class GfxInput {
public:
    virtual ~GfxInput() = default;

    virtual void newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex) = 0;
    // The framebuffer of the coming frame; the target locks it once.
    virtual void setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int textureIndex) = 0;
    virtual int nextAvailableTextureIndex() const { return 0; }
    virtual void setInputSize(ui::Size /*size*/, int /*textureIndex*/) {}
    virtual void setInputRotation(RotationMode /*rotation*/, int /*textureIndex*/) {}
    // Zero: no limit.
    virtual ui::Size maximumOutputSize() const { return {}; }
    virtual void endProcessing() {}
    virtual bool shouldIgnoreUpdatesToThisTarget() const { return false; }
    virtual bool enabled() const { return true; }
    virtual bool wantsMonochromeInput() const { return false; }
    virtual void setCurrentlyReceivingMonochromeInput(bool /*monochrome*/) {}
    // True for a target that hands its frames to another thread: sources tell it first, so its
    // work runs while they draw for the others.
    virtual bool worksOnAnotherQueue() const { return false; }
};
