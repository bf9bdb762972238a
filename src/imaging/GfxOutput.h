#pragma once

#include "imaging/GfxInput.h"
#include "imaging/GfxTextureOptions.h"

#include <functional>
#include <memory>
#include <vector>

class GfxMovieWriter;

// The base of every pipeline source: an ordered list of targets, each with
// the input index at which it receives this source's frames.
class GfxOutput {
public:
    using FrameProcessingCompletionBlock = std::function<void(GfxOutput& output, media::MediaTime frameTime)>;

    GfxOutput();
    virtual ~GfxOutput();
    GfxOutput(const GfxOutput&) = delete;
    GfxOutput& operator=(const GfxOutput&) = delete;

    void setInputFramebufferForTarget(GfxInput& target, int textureIndex);
    virtual std::shared_ptr<GfxFramebuffer> framebufferForOutput() const { return outputFramebuffer_; }
    void removeOutputFramebuffer() { outputFramebuffer_.reset(); }
    void notifyTargetsAboutNewOutputTexture();

    std::vector<std::shared_ptr<GfxInput>> targets() const { return targets_; }
    void addTarget(const std::shared_ptr<GfxInput>& target);
    virtual void addTarget(const std::shared_ptr<GfxInput>& target, int textureLocation);
    void removeTarget(const std::shared_ptr<GfxInput>& target);
    virtual void removeAllTargets();

    virtual void forceProcessingAtSize(ui::Size /*frameSize*/) {}
    virtual void forceProcessingAtSizeRespectingAspectRatio(ui::Size /*frameSize*/) {}
    virtual bool providesMonochromeOutput() const { return false; }

    // A source with sound sends it to this writer.
    virtual void setAudioEncodingTarget(std::shared_ptr<GfxMovieWriter> writer);
    const std::shared_ptr<GfxMovieWriter>& audioEncodingTarget() const { return audioEncodingTarget_; }

    void setOutputTextureOptions(const GfxTextureOptions& options);
    const GfxTextureOptions& outputTextureOptions() const { return outputTextureOptions_; }

    // Called for every frame a filter produces, before its targets see it.
    void setFrameProcessingCompletionBlock(FrameProcessingCompletionBlock block)
    {
        frameProcessingCompletionBlock_ = std::move(block);
    }
    const FrameProcessingCompletionBlock& frameProcessingCompletionBlock() const
    {
        return frameProcessingCompletionBlock_;
    }

    void setShouldSmoothlyScaleOutput(bool smoothly) { shouldSmoothlyScaleOutput_ = smoothly; }
    void setShouldIgnoreUpdatesToThisTarget(bool ignore) { shouldIgnoreUpdatesToThisTarget_ = ignore; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    GfxInput* targetToIgnoreForUpdates() const { return targetToIgnoreForUpdates_; }
    void setTargetToIgnoreForUpdates(GfxInput* target) { targetToIgnoreForUpdates_ = target; }

protected:
    std::shared_ptr<GfxFramebuffer> outputFramebuffer_;
    std::vector<std::shared_ptr<GfxInput>> targets_;
    std::vector<int> targetTextureIndices_;
    ui::Size inputTextureSize_;
    ui::Size forcedMaximumSize_;
    bool overrideInputSize_ = false;
    bool usingNextFrameForImageCapture_ = false;
    bool shouldSmoothlyScaleOutput_ = false;
    bool shouldIgnoreUpdatesToThisTarget_ = false;
    bool enabled_ = true;
    GfxInput* targetToIgnoreForUpdates_ = nullptr;
    std::shared_ptr<GfxMovieWriter> audioEncodingTarget_;
    FrameProcessingCompletionBlock frameProcessingCompletionBlock_;
    GfxTextureOptions outputTextureOptions_;
};
