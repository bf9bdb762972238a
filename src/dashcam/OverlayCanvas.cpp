#include "dashcam/OverlayCanvas.h"


#include "dashcam/CameraScreenGeometry.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

namespace {

const char* const numberFont = "DigitalSans NowEF ML Demo";
const ui::Color textColor = ui::Color::white(0.7);

// Text centred vertically in a rectangle's top line, as the tile texts are laid out.
void drawText(ui::Context& context, const std::string& text, const ui::Rect& r, double size,
              ui::TextAlignment alignment)
{
    context.drawText(text, r, ui::Font::named(numberFont, size), textColor, alignment, ui::LineBreakMode::Clip);
}

}  // namespace

// A bitmap that also keeps each line of text painted on it.
class OverlayCanvas::Bitmap : public ui::BitmapContext {
public:
    Bitmap(ui::Size size, double scale, std::vector<PaintedText>& texts) : ui::BitmapContext(size, scale), texts_(texts)
    {
    }

protected:
    void textLineDrawn(const std::string& text, const ui::Rect& line, bool) override
    {
        texts_.push_back({text, ctm().apply(line)});
    }

private:
    std::vector<PaintedText>& texts_;
};

OverlayCanvas::OverlayCanvas(std::shared_ptr<ui::View> view) : view_(std::move(view))
{
    const ui::Rect bounds = view_->bounds();
    layerWidth_ = static_cast<float>(bounds.width());
    layerHeight_ = static_cast<float>(bounds.height());
    gaugeWidth_ = static_cast<float>(layerWidth_ / camerascreen::tilesPerHeight);
    imageOffset_ = layerHeight_ - camerascreen::overlayEnd(layerWidth_, layerHeight_,
                                                           ui::Device::current().safeAreaInsets().bottom > 0);
    gaugeValPosition_ = layerWidth_ + layerWidth_ / -10.0f;
    yLoc_ = layerWidth_ + layerWidth_ / -13.0f;
    xLoc_ = layerWidth_ - layerWidth_ / 5.0f;
}

OverlayCanvas::~OverlayCanvas() = default;

ui::Rect OverlayCanvas::slotRect(int i) const
{
    const double end = layerHeight_ - imageOffset_;
    return ui::makeRect(end - gaugeWidth_ * (i + 1), layerWidth_ - gaugeWidth_, gaugeWidth_, gaugeWidth_);
}

ui::Rect OverlayCanvas::gForceYRect(int n) const
{
    return ui::makeRect(slotRect(n).x(), yLoc_, gaugeWidth_, gaugeWidth_);
}

ui::Rect OverlayCanvas::gForceXRect(int n) const
{
    return ui::makeRect(slotRect(n).x(), xLoc_, gaugeWidth_, gaugeWidth_);
}

ui::Size OverlayCanvas::sizeInPixels(double scale) const
{
    const ui::Rect bounds = view_->bounds();
    return {bounds.width() * scale, bounds.height() * scale};
}

ui::Image OverlayCanvas::paint(double scale)
{
    const ui::Size size = view_->bounds().size;
    if (!bitmap_ || bitmap_->size() != size || bitmap_->scale() != scale)
        bitmap_ = std::make_unique<Bitmap>(size, scale, paintedTexts_);
    paintedTexts_.clear();
    Bitmap& context = *bitmap_;
    context.save();
    context.clearRect(ui::makeRect(0, 0, size.width, size.height));
    const double end = layerHeight_ - imageOffset_;
    const double top = layerWidth_ - gaugeWidth_;
    if (!bgImage.isNull()) {
        const double width = bgImage.size().width;
        context.drawImage(bgImage, ui::makeRect(end - width, top, width, gaugeWidth_));
    }
    if (!trackImage.isNull())
        context.drawImage(trackImage, ui::makeRect(0, top, gaugeWidth_, gaugeWidth_));

    const double valueSize = gaugeWidth_ / 5;
    const auto valueRect = [&](int i) {
        return ui::makeRect(slotRect(i).x(), gaugeValPosition_, gaugeWidth_, gaugeWidth_);
    };
    int painted = 0;
    if (!is30Framerate) {
        for (std::size_t i = 0; i < needleImageArray.size(); ++i) {
            const int slot = static_cast<int>(i);
            context.drawImage(needleImageArray[i], slotRect(slot));
            // Fewer texts than needles: the tile shows its needle alone.
            if (i < valArray.size())
                drawText(context, valArray[i], valueRect(slot), valueSize, ui::TextAlignment::Center);
        }
        painted = static_cast<int>(needleImageArray.size());
    } else {
        for (std::size_t i = 0; i < valArray.size(); ++i)
            drawText(context, valArray[i], valueRect(static_cast<int>(i)), valueSize, ui::TextAlignment::Center);
        painted = static_cast<int>(valArray.size());
    }
    if (gForceEnabled) {
        const double figureSize = layerWidth_ / 18.0;
        drawText(context, fnd::format("%.1f", gForcePoint.y), gForceYRect(painted), figureSize,
                 ui::TextAlignment::Center);
        drawText(context, fnd::format("%.1f", gForcePoint.x), gForceXRect(painted), figureSize,
                 ui::TextAlignment::Right);
    }
    view_->render(context);
    context.restore();
    return context.makeImage();
}
