#include "dashcam/PictureTextView.h"

#include "imaging/GfxView.h"
#include "platform/ui/Context.h"

PictureTextView::PictureTextView(const GfxView& picture) : ui::View(picture.bounds()), picture_(picture)
{
    setUserInteractionEnabled(false);
    setBackgroundColor(ui::Color::clear());
}

void PictureTextView::setTexts(std::vector<OverlayCanvas::PaintedText> texts, ui::Size overlaySize)
{
    texts_ = std::move(texts);
    overlaySize_ = overlaySize;
}

void PictureTextView::draw(ui::Context& context, ui::Rect)
{
    if (overlaySize_.width <= 0 || overlaySize_.height <= 0)
        return;
    // The picture fills the centre of the view by the share its vertices give.
    const auto& vertices = picture_.imageVertices();
    const ui::Size view = bounds().size;
    const double width = -vertices[0] * view.width;
    const double height = -vertices[1] * view.height;
    const double x0 = (view.width - width) / 2;
    const double y0 = (view.height - height) / 2;
    const double sx = width / overlaySize_.width;
    const double sy = height / overlaySize_.height;
    for (const OverlayCanvas::PaintedText& shown : texts_) {
        const ui::Rect& r = shown.line;
        context.textShownInImage(shown.text, ui::makeRect(x0 + r.x() * sx, y0 + r.y() * sy, r.width() * sx,
                                                          r.height() * sy));
    }
}
