#pragma once

#include <GLES2/gl2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "imaging/GfxOutput.h"
#include "platform/ui/Image.h"

namespace imagingtest {

using Rgba = std::array<int, 4>;

// An image from straight (not premultiplied) RGBA colours, row by row from the top.
inline ui::Image imageFromColours(int width, int height, const std::vector<Rgba>& colours)
{
    std::vector<std::uint32_t> words;
    for (const auto& c : colours) {
        const auto premultiply = [&](int v) { return static_cast<std::uint32_t>((v * c[3] + 127) / 255); };
        words.push_back((static_cast<std::uint32_t>(c[3]) << 24) | (premultiply(c[0]) << 16) |
                        (premultiply(c[1]) << 8) | premultiply(c[2]));
    }
    return ui::Image::fromPixels(width, height, words.data(), static_cast<std::size_t>(width) * 4);
}

inline ui::Image solidImage(int width, int height, Rgba colour)
{
    return imageFromColours(width, height, std::vector<Rgba>(static_cast<std::size_t>(width) * height, colour));
}

// The RGBA bytes of a framebuffer, first row first.
inline std::vector<std::uint8_t> readFramebuffer(const GfxFramebuffer& framebuffer)
{
    const int width = static_cast<int>(framebuffer.size().width);
    const int height = static_cast<int>(framebuffer.size().height);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4);
    GfxContext::useImageProcessingContext();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.framebuffer());
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

// A target that keeps the pixels of every frame it is told of.
class RecordingTarget : public GfxInput {
public:
    struct Frame {
        media::MediaTime time;
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> pixels;
        Rgba at(int x, int y) const
        {
            const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            return {p[0], p[1], p[2], p[3]};
        }
    };
    std::vector<Frame> frames;
    int endProcessingCalls = 0;
    int framebuffersReceived = 0;
    ui::Size lastInputSize;

    void setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int) override
    {
        ++framebuffersReceived;
        input_ = std::move(framebuffer);
        if (input_)
            input_->lock();
    }
    void newFrameReadyAtTime(media::MediaTime time, int) override
    {
        if (!input_)
            return;
        Frame frame{time, int(input_->size().width), int(input_->size().height), readFramebuffer(*input_)};
        frames.push_back(std::move(frame));
        input_->unlock();
        input_.reset();
    }
    void setInputSize(ui::Size size, int) override { lastInputSize = size; }
    void endProcessing() override { ++endProcessingCalls; }

private:
    std::shared_ptr<GfxFramebuffer> input_;
};

// A source that hands on a framebuffer of one colour with the time given,
// as the camera does (fetched from the cache, so its locks are counted).
class TimedSource : public GfxOutput {
public:
    TimedSource(ui::Size size, Rgba colour) : size_(size), colour_(colour) {}
    void push(media::MediaTime time)
    {
        outputFramebuffer_ = GfxContext::sharedFramebufferCache().fetchFramebufferForSize(size_, false);
        outputFramebuffer_->activateFramebuffer();
        glClearColor(colour_[0] / 255.f, colour_[1] / 255.f, colour_[2] / 255.f, colour_[3] / 255.f);
        glClear(GL_COLOR_BUFFER_BIT);
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            targets_[i]->setInputSize(size_, targetTextureIndices_[i]);
            targets_[i]->setInputFramebuffer(outputFramebuffer_, targetTextureIndices_[i]);
        }
        outputFramebuffer_->unlock();
        outputFramebuffer_.reset();
        for (std::size_t i = 0; i < targets_.size(); ++i)
            targets_[i]->newFrameReadyAtTime(time, targetTextureIndices_[i]);
    }

private:
    ui::Size size_;
    Rgba colour_;
};

inline media::MediaTime frameTime(int frame)
{
    return media::MediaTime::make(frame, 30);
}

}  // namespace imagingtest
