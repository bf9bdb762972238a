#include "imaging/GfxOutput.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxMovieWriter.h"
#include "platform/gl/GLES.h"

#include <algorithm>

GfxOutput::GfxOutput() = default;

GfxOutput::~GfxOutput()
{
    GfxOutput::removeAllTargets();
}

void GfxOutput::setInputFramebufferForTarget(GfxInput& target, int textureIndex)
{
    target.setInputFramebuffer(framebufferForOutput(), textureIndex);
}

void GfxOutput::notifyTargetsAboutNewOutputTexture()
{
    for (std::size_t i = 0; i < targets_.size(); ++i)
        setInputFramebufferForTarget(*targets_[i], targetTextureIndices_[i]);
}

void GfxOutput::addTarget(const std::shared_ptr<GfxInput>& target)
{
    addTarget(target, target->nextAvailableTextureIndex());
    if (target->shouldIgnoreUpdatesToThisTarget())
        targetToIgnoreForUpdates_ = target.get();
}

void GfxOutput::addTarget(const std::shared_ptr<GfxInput>& target, int textureLocation)
{
    if (std::find(targets_.begin(), targets_.end(), target) != targets_.end())
        return;
    runOnProcessingQueueSync([&] {
        setInputFramebufferForTarget(*target, textureLocation);
        targets_.push_back(target);
        targetTextureIndices_.push_back(textureLocation);
    });
}

void GfxOutput::removeTarget(const std::shared_ptr<GfxInput>& target)
{
    const auto found = std::find(targets_.begin(), targets_.end(), target);
    if (found == targets_.end())
        return;
    if (targetToIgnoreForUpdates_ == target.get())
        targetToIgnoreForUpdates_ = nullptr;
    runOnProcessingQueueSync([&] {
        const auto position = found - targets_.begin();
        const int textureIndex = targetTextureIndices_[static_cast<std::size_t>(position)];
        target->setInputSize({}, textureIndex);
        target->setInputRotation(NoRotation, textureIndex);
        targets_.erase(found);
        targetTextureIndices_.erase(targetTextureIndices_.begin() + position);
        target->endProcessing();
    });
}

void GfxOutput::removeAllTargets()
{
    if (targets_.empty())
        return;
    runOnProcessingQueueSync([&] {
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            targets_[i]->setInputSize({}, targetTextureIndices_[i]);
            targets_[i]->setInputRotation(NoRotation, targetTextureIndices_[i]);
        }
        targets_.clear();
        targetTextureIndices_.clear();
    });
}

void GfxOutput::setAudioEncodingTarget(std::shared_ptr<GfxMovieWriter> writer)
{
    audioEncodingTarget_ = std::move(writer);
    if (audioEncodingTarget_ && !audioEncodingTarget_->hasAudioTrack())
        audioEncodingTarget_->setHasAudioTrack(true);
}

void GfxOutput::setOutputTextureOptions(const GfxTextureOptions& options)
{
    outputTextureOptions_ = options;
    if (outputFramebuffer_ && outputFramebuffer_->texture()) {
        runOnProcessingQueueSync([&] {
            GfxContext::useImageProcessingContext();
            glBindTexture(GL_TEXTURE_2D, outputFramebuffer_->texture());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(options.wrapS));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(options.wrapT));
            glBindTexture(GL_TEXTURE_2D, 0);
        });
    }
}
