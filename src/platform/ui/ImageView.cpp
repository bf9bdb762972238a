#include "platform/ui/ImageView.h"

#include "platform/ui/Context.h"

namespace ui {

ImageView::ImageView() { setUserInteractionEnabled(false); }

ImageView::ImageView(Rect frame) : View(frame) { setUserInteractionEnabled(false); }

ImageView::ImageView(Image image) : ImageView(Rect{{0, 0}, image.size()}) { image_ = std::move(image); }

void ImageView::setImage(Image image)
{
    image_ = std::move(image);
    setNeedsDisplay();
}

Size ImageView::sizeThatFits(Size) const { return image_.size(); }

void ImageView::draw(Context& context, Rect)
{
    if (image_.isNull())
        return;
    const Rect r = contentRect(contentMode(), image_.size(), bounds());
    if (image_.isTemplate())
        context.drawImageTinted(image_, r, tintColor());
    else
        context.drawImage(image_, r);
}

} // namespace ui
