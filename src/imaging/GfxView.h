#pragma once

#include "imaging/GfxInput.h"
#include "platform/ui/View.h"

#include <array>
#include <memory>

namespace gl {
class Drawable;
}
class GLProgram;

enum GfxFillModeType : unsigned {
    FillModeStretch = 0,
    FillModePreserveAspectRatio = 1,
    FillModePreserveAspectRatioAndFill = 2,
};

// The pipeline target that shows frames: each frame is drawn onto a quad
// scaled by the fill mode into the view's own renderbuffer and presented.
class GfxView : public ui::View, public GfxInput {
public:
    explicit GfxView(ui::Rect frame);
    ~GfxView() override;

    void layoutSubviews() override;
    void draw(ui::Context& context, ui::Rect dirty) override;

    void setBackgroundColor(float red, float green, float blue, float alpha);
    static const std::array<float, 8>& textureCoordinatesForRotation(RotationMode rotation);

    void setFillMode(GfxFillModeType fillMode);
    GfxFillModeType fillMode() const { return fillMode_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    ui::Size sizeInPixels() const;
    const std::array<float, 8>& imageVertices() const { return imageVertices_; }
    // The last presented picture.
    ui::Image presentedImage() const;

    // GfxInput
    void newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex) override;
    void setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int textureIndex) override;
    void setInputSize(ui::Size size, int textureIndex) override;
    void setInputRotation(RotationMode rotation, int /*textureIndex*/) override { inputRotation_ = rotation; }
    ui::Size maximumOutputSize() const override;
    bool enabled() const override { return enabled_; }

private:
    void createDisplayFramebuffer();
    void destroyDisplayFramebuffer();
    void setDisplayFramebuffer();
    void presentFramebuffer();
    void recalculateViewGeometry();

    RotationMode inputRotation_ = NoRotation;
    std::shared_ptr<GfxFramebuffer> inputFramebufferForDisplay_;
    unsigned displayRenderbuffer_ = 0;
    unsigned displayFramebuffer_ = 0;
    std::shared_ptr<GLProgram> displayProgram_;
    unsigned displayPositionAttribute_ = 0;
    unsigned displayTextureCoordinateAttribute_ = 1;
    int displayInputTextureUniform_ = -1;
    ui::Size inputImageSize_;
    std::array<float, 8> imageVertices_{-1, -1, 1, -1, -1, 1, 1, 1};
    float backgroundColorRed_ = 0;
    float backgroundColorGreen_ = 0;
    float backgroundColorBlue_ = 0;
    float backgroundColorAlpha_ = 1;
    ui::Size boundsSizeAtFrameBufferEpoch_;
    bool enabled_ = true;
    GfxFillModeType fillMode_ = FillModePreserveAspectRatio;
    ui::Size sizeInPixels_;
    std::shared_ptr<gl::Drawable> drawable_;
    // Geometry updates queued on the main queue check that the view still lives.
    std::shared_ptr<GfxView*> alive_;
};
