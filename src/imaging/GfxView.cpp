#include "imaging/GfxView.h"

#include "imaging/GfxContext.h"
#include "imaging/GfxFilter.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GLProgram.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/gl/Context.h"
#include "platform/gl/Drawable.h"
#include "platform/gl/GLES.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

GfxView::GfxView(ui::Rect frame)
    : ui::View(frame), drawable_(std::make_shared<gl::Drawable>()), alive_(std::make_shared<GfxView*>(this))
{
    setOpaque(true);
    setHidden(false);
    runOnProcessingQueueSync([this] {
        displayProgram_ = setUpProgram(PassthroughVertexShader, PassthroughFragmentShader,
                                       {"position", "inputTextureCoordinate"});
        displayPositionAttribute_ = displayProgram_->attributeIndex("position");
        displayTextureCoordinateAttribute_ = displayProgram_->attributeIndex("inputTextureCoordinate");
        displayInputTextureUniform_ = displayProgram_->uniformIndex("inputImageTexture");
        setBackgroundColor(0, 0, 0, 1);
        createDisplayFramebuffer();
    });
}

GfxView::~GfxView()
{
    *alive_ = nullptr;
    runOnProcessingQueueSync([this] { destroyDisplayFramebuffer(); });
    if (inputFramebufferForDisplay_)
        inputFramebufferForDisplay_->unlock();
}

const std::array<float, 8>& GfxView::textureCoordinatesForRotation(RotationMode rotation)
{
    static const std::array<std::array<float, 8>, 8> rows{{
        {0, 1, 1, 1, 0, 0, 1, 0},
        {0, 0, 0, 1, 1, 0, 1, 1},
        {1, 1, 1, 0, 0, 1, 0, 0},
        {0, 0, 1, 0, 0, 1, 1, 1},
        {1, 1, 0, 1, 1, 0, 0, 0},
        {1, 0, 1, 1, 0, 0, 0, 1},
        {0, 1, 0, 0, 1, 1, 1, 0},
        {1, 0, 0, 0, 1, 1, 0, 1},
    }};
    const auto row = static_cast<std::size_t>(rotation);
    return rows[row < rows.size() ? row : 0];
}

void GfxView::setBackgroundColor(float red, float green, float blue, float alpha)
{
    backgroundColorRed_ = red;
    backgroundColorGreen_ = green;
    backgroundColorBlue_ = blue;
    backgroundColorAlpha_ = alpha;
}

ui::Size GfxView::maximumOutputSize() const
{
    const double scale = ui::Device::current().scale();
    return {bounds().size.width * scale, bounds().size.height * scale};
}

ui::Size GfxView::sizeInPixels() const
{
    if (sizeInPixels_.width == 0 && sizeInPixels_.height == 0)
        return maximumOutputSize();
    return sizeInPixels_;
}

ui::Image GfxView::presentedImage() const
{
    return drawable_->image();
}

void GfxView::createDisplayFramebuffer()
{
    auto& shared = GfxContext::sharedImageProcessingContext();
    shared.useAsCurrentContext();
    glGenFramebuffers(1, &displayFramebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, displayFramebuffer_);
    glGenRenderbuffers(1, &displayRenderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, displayRenderbuffer_);

    const ui::Size pixels = maximumOutputSize();
    drawable_->setPixelSize(static_cast<int>(pixels.width), static_cast<int>(pixels.height));
    gl::renderbufferStorageFromDrawable(*shared.context(), drawable_);
    GLint width = 0;
    GLint height = 0;
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
    if (width == 0 || height == 0) {
        destroyDisplayFramebuffer();
        return;
    }
    sizeInPixels_ = {double(width), double(height)};
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, displayRenderbuffer_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "Failure with display framebuffer generation for display of size: %f, %f\n",
                     bounds().size.width, bounds().size.height);
        std::abort();
    }
    boundsSizeAtFrameBufferEpoch_ = bounds().size;
    recalculateViewGeometry();
}

void GfxView::destroyDisplayFramebuffer()
{
    GfxContext::useImageProcessingContext();
    if (displayFramebuffer_) {
        glDeleteFramebuffers(1, &displayFramebuffer_);
        displayFramebuffer_ = 0;
    }
    if (displayRenderbuffer_) {
        glDeleteRenderbuffers(1, &displayRenderbuffer_);
        displayRenderbuffer_ = 0;
    }
}

void GfxView::setDisplayFramebuffer()
{
    if (!displayFramebuffer_)
        createDisplayFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, displayFramebuffer_);
    glViewport(0, 0, static_cast<GLsizei>(sizeInPixels_.width), static_cast<GLsizei>(sizeInPixels_.height));
}

void GfxView::presentFramebuffer()
{
    glBindRenderbuffer(GL_RENDERBUFFER, displayRenderbuffer_);
    GfxContext::sharedImageProcessingContext().presentBufferForDisplay();
    setNeedsDisplay();
}

void GfxView::layoutSubviews()
{
    const ui::Size size = bounds().size;
    if (size.width == 0 || size.height == 0)
        return;
    if (size != boundsSizeAtFrameBufferEpoch_) {
        runOnProcessingQueueSync([this] {
            destroyDisplayFramebuffer();
            createDisplayFramebuffer();
        });
    } else {
        recalculateViewGeometry();
    }
}

void GfxView::draw(ui::Context& context, ui::Rect /*dirty*/)
{
    const ui::Image image = drawable_->image();
    if (!image.isNull())
        context.drawImage(image, bounds());
}

void GfxView::recalculateViewGeometry()
{
    // Queued, also on the main queue: it takes effect from the next frame drawn.
    fnd::DispatchQueue::main().async([alive = alive_] {
        GfxView* view = *alive;
        if (!view)
            return;
        const ui::Size bounds = view->bounds().size;
        const ui::Size image = view->inputImageSize_;
        double sx = 1;
        double sy = 1;
        if (bounds.width > 0 && bounds.height > 0 && image.width > 0 && image.height > 0 &&
            view->fillMode_ != FillModeStretch) {
            const double fit = std::min(bounds.width / image.width, bounds.height / image.height);
            const double iw = image.width * fit;
            const double ih = image.height * fit;
            if (view->fillMode_ == FillModePreserveAspectRatio) {
                sx = iw / bounds.width;
                sy = ih / bounds.height;
            } else if (view->fillMode_ == FillModePreserveAspectRatioAndFill) {
                sx = bounds.height / ih;
                sy = bounds.width / iw;
            }
        }
        const auto x = static_cast<float>(sx);
        const auto y = static_cast<float>(sy);
        view->imageVertices_ = {-x, -y, x, -y, -x, y, x, y};
    });
}

void GfxView::setFillMode(GfxFillModeType fillMode)
{
    fillMode_ = fillMode;
    recalculateViewGeometry();
}

void GfxView::setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int /*textureIndex*/)
{
    if (framebuffer)
        framebuffer->lock();
    if (inputFramebufferForDisplay_)
        inputFramebufferForDisplay_->unlock();
    inputFramebufferForDisplay_ = std::move(framebuffer);
}

void GfxView::setInputSize(ui::Size size, int /*textureIndex*/)
{
    runOnProcessingQueueSync([&] {
        const ui::Size rotated = rotationSwapsWidthAndHeight(inputRotation_) ? ui::Size{size.height, size.width} : size;
        if (rotated != inputImageSize_) {
            inputImageSize_ = rotated;
            recalculateViewGeometry();
        }
    });
}

void GfxView::newFrameReadyAtTime(media::MediaTime /*frameTime*/, int /*textureIndex*/)
{
    runOnProcessingQueueSync([this] {
        auto input = std::move(inputFramebufferForDisplay_);
        if (!input)
            return;
        GfxContext::setActiveShaderProgram(displayProgram_);
        setDisplayFramebuffer();
        if (displayFramebuffer_) {
            glClearColor(backgroundColorRed_, backgroundColorGreen_, backgroundColorBlue_, backgroundColorAlpha_);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glActiveTexture(GL_TEXTURE4);
            glBindTexture(GL_TEXTURE_2D, input->texture());
            glUniform1i(displayInputTextureUniform_, 4);
            glVertexAttribPointer(displayPositionAttribute_, 2, GL_FLOAT, GL_FALSE, 0, imageVertices_.data());
            glVertexAttribPointer(displayTextureCoordinateAttribute_, 2, GL_FLOAT, GL_FALSE, 0,
                                  textureCoordinatesForRotation(inputRotation_).data());
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
            presentFramebuffer();
        }
        input->unlock();
    });
}
