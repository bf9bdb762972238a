#pragma once

#include "platform/ui/View.h"

namespace ui {

// Shows an image placed by the content mode (scale to fill by default).
// Template images are drawn in the tint colour. Takes no touches unless
// user interaction is turned on.
class ImageView : public View {
public:
    ImageView();
    explicit ImageView(Rect frame);
    explicit ImageView(Image image); // sized to the image

    const Image& image() const { return image_; }
    void setImage(Image image);

    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

private:
    Image image_;
};

} // namespace ui
