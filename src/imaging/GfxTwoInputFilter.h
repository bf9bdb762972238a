#pragma once

#include "imaging/GfxFilter.h"
#include "imaging/GfxOneToOneSampling.h"

#include <optional>

// A filter with two inputs, drawn together once a frame is pending on both
// (or at once when one side is a still image with an indefinite time). The
// second input's framebuffer is held under one lock until a new one
// replaces it or its source is removed, so a slow overlay is drawn again
// from the framebuffer it handed over last. A first-input frame that is still
// waiting when the next one comes is dropped for the newer one.
class GfxTwoInputFilter : public GfxFilter {
public:
    explicit GfxTwoInputFilter(const std::string& fragmentShader);
    GfxTwoInputFilter(const std::string& vertexShader, const std::string& fragmentShader);
    ~GfxTwoInputFilter() override;

    void disableFirstFrameCheck() { firstFrameCheckDisabled_ = true; }
    void disableSecondFrameCheck() { secondFrameCheckDisabled_ = true; }

    int nextAvailableTextureIndex() const override { return hasSetFirstTexture_ ? 1 : 0; }
    void setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int textureIndex) override;
    void setInputSize(ui::Size size, int textureIndex) override;
    void setInputRotation(RotationMode rotation, int textureIndex) override;
    ui::Size rotatedSize(ui::Size size, int textureIndex) const override;
    void newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex) override;

    const std::shared_ptr<GfxFramebuffer>& secondInputFramebuffer() const { return secondInputFramebuffer_; }

protected:
    void bindAdditionalInputs() override;
    void releaseAdditionalInputs() override;

private:
    void releaseSecondInput();
    unsigned transparentTexture();

    std::shared_ptr<GfxFramebuffer> secondInputFramebuffer_;
    std::optional<GfxOneToOneSampling> secondInputSampling_;  // during a draw
    unsigned filterSecondTextureCoordinateAttribute_ = 2;
    int filterInputTextureUniform2_ = -1;
    RotationMode inputRotation2_ = NoRotation;
    media::MediaTime firstFrameTime_ = media::MediaTime::invalid();
    media::MediaTime secondFrameTime_ = media::MediaTime::invalid();
    bool hasSetFirstTexture_ = false;
    bool hasReceivedFirstFrame_ = false;
    bool hasReceivedSecondFrame_ = false;
    bool firstFrameCheckDisabled_ = false;
    bool secondFrameCheckDisabled_ = false;
    unsigned transparentTexture_ = 0;
};
