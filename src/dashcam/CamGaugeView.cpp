#include "dashcam/CamGaugeView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/Path.h"

namespace {

const char* const numberFont = "DigitalSans NowEF ML Demo";
const char* const unitFont = "Digital-Serial";
constexpr float lastNeedleImage = CamGaugeView::needleImageCount - 1;

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The needle, drawn upright in its bounds: a tapered red blade with a hub near its foot.
class NeedleView : public ui::View {
public:
    NeedleView() { setUserInteractionEnabled(false); }

    void draw(ui::Context& context, ui::Rect) override
    {
        const ui::Rect b = bounds();
        const double w = b.width();
        const double h = b.height();
        ui::Path blade;
        blade.moveTo({w / 2, 0});
        blade.lineTo({w * 0.65, h * 0.885});
        blade.lineTo({w / 2, h});
        blade.lineTo({w * 0.35, h * 0.885});
        blade.close();
        context.setFillColor(ui::Color::rgb255(220, 50, 80));
        context.fillPath(blade);
        context.setFillColor(ui::Color::white(0.85));
        context.fillEllipse(ui::makeRect(w * 0.2, h * 0.885 - w * 0.3, w * 0.6, w * 0.6));
    }
};

std::string wholeNumber(double value) { return fnd::format("%d", static_cast<int>(value)); }

}  // namespace

CamGaugeView::CamGaugeView() : timer_(tickInterval, [this] { updateGauge(); })
{
    setBackgroundColor(ui::Color::black());
    setCornerRadius(20);
    setClipsToBounds(true);
    labelLabel_ = addLabel(ui::Color::white(0.85), ui::TextAlignment::Left);
    unitsLabel_ = addLabel(ui::Color::gray(), ui::TextAlignment::Right);
    minLabel_ = addLabel(ui::Color::white(0.85), ui::TextAlignment::Left);
    maxLabel_ = addLabel(ui::Color::white(0.85), ui::TextAlignment::Right);
    minValLabel_ = addLabel(ui::Color::lightGray(), ui::TextAlignment::Left);
    maxValLabel_ = addLabel(ui::Color::lightGray(), ui::TextAlignment::Left);
    for (std::size_t i = 0; i < gaugeLabels_.size(); ++i) {
        const auto alignment = i == 2 ? ui::TextAlignment::Center
                               : i > 2 ? ui::TextAlignment::Right
                                       : ui::TextAlignment::Left;
        gaugeLabels_[i] = addLabel(ui::Color::white(0.85), alignment);
    }
    needle_ = std::make_shared<NeedleView>();
    addSubview(needle_);
}

CamGaugeView::~CamGaugeView() = default;

std::shared_ptr<ui::Label> CamGaugeView::addLabel(ui::Color color, ui::TextAlignment alignment)
{
    auto label = std::make_shared<ui::Label>();
    label->setBackgroundColor(ui::Color::clear());
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    addSubview(label);
    return label;
}

CamGaugeView::Dial CamGaugeView::dial() const
{
    const double w = bounds().width();
    const double h = bounds().height();
    const auto radius = static_cast<float>(w > h ? 0.54 * h : 0.53 * w);
    const double k = w > h ? 0.6f : 0.65f;
    return {radius, {w / 2, h * k}};
}

void CamGaugeView::resizeTextLabels()
{
    const double w = bounds().width();
    labelLabel_->setFrame(ui::makeRect(10, 5, w - 20, w * 0.125));
    labelLabel_->setFont(ui::Font::named(numberFont, w / 10));
    unitsLabel_->setFont(ui::Font::named(unitFont, w / 10));
}

void CamGaugeView::checkVisuals()
{
    labelLabel_->setFrame(ui::makeRect(10, 2, bounds().width() - 20, bounds().width() * 0.125));
    setNeedsDisplay();
}

void CamGaugeView::setupLayer()
{
    resizeTextLabels();
    const double w = bounds().width();
    const double h = bounds().height();
    barLength_ = static_cast<float>((w + h) / 12);
    const double f = w / 14;
    for (const auto& label : gaugeLabels_)
        label->setTextColor(ui::Color::white(0.9));
    minValLabel_->setFrame(ui::makeRect(5, h - 2 * f, w / 2, f));
    maxValLabel_->setFrame(ui::makeRect(5, h - f, w / 2, f));
    minValLabel_->setFont(ui::Font::named(unitFont, f - 2));
    maxValLabel_->setFont(ui::Font::named(unitFont, f - 2));
    unitsLabel_->setTextColor(ui::Color::rgb255(220, 50, 80));
    // Its line ends inside the tile, clear of the rounded corner that clips the tile's bottom.
    unitsLabel_->setFrame(ui::makeRect(0.2 * w, h - barLength_ - w / 28, 0.67 * w, barLength_));

    // Scale labels on a circle inside the ticks, at 210, 170, 130, 90, 50, 10 and -30 degrees.
    const Dial d = dial();
    const double r = d.radius - 0.9 * barLength_;
    const double cx = d.center.x;
    const double cy = d.center.y;
    const double lw = w / 5;
    const auto place = [&](ui::Label& label, double x, double y) { label.setFrame(ui::makeRect(x, y, lw, f)); };
    place(*minLabel_, cx - 0.8660 * r, cy + 0.5 * r - f / 2);
    place(*gaugeLabels_[0], cx - 0.9848 * r, cy - 0.1736 * r - f / 2);
    place(*gaugeLabels_[1], cx - 0.6428 * r, cy - 0.7660 * r);
    place(*gaugeLabels_[2], cx - w / 10, cy - r);
    place(*gaugeLabels_[3], cx + 0.6428 * r - lw, cy - 0.7660 * r);
    place(*gaugeLabels_[4], cx + 0.9848 * r - lw, cy - 0.1736 * r - f / 2);
    place(*maxLabel_, cx + 0.8660 * r - lw, cy + 0.5 * r - f / 2);
    for (const auto& label : gaugeLabels_)
        label->setFont(ui::Font::named(numberFont, f));

    needle_->setTransform(ui::AffineTransform::identity());
    needle_->setBounds(ui::makeRect(0, 0, d.radius / 7.5, d.radius));
    needle_->setAnchorPoint({0.5, 0.885});
    needle_->setCenter(d.center);
    showNeedleAt(needleAngle(getVal()));
    bringSubviewToFront(needle_.get());
    checkVisuals();
}

void CamGaugeView::initData(const std::string& label, float minVal, float maxVal, const std::string& units,
                            int index, int /*pageIndex*/)
{
    index_ = index;
    minUnit_ = minVal;
    maxUnit_ = maxVal;
    glide_.reset(minVal);
    timer_.stop();
    currMinVal_ = maxVal;
    currMaxVal_ = minVal;
    labelLabel_->setText(label);
    unitsLabel_->setText(units);
    minLabel_->setText(wholeNumber(minVal));

    const double d = static_cast<double>(maxVal) - minVal;
    for (int n = 1; n <= 5; ++n) {
        ui::Label& scaleLabel = *gaugeLabels_[static_cast<std::size_t>(n - 1)];
        if (d < 5)
            scaleLabel.setText(fnd::format("%.1f", minVal + d * n / 6));
        else if (d < 2000)
            scaleLabel.setText(fnd::format("%d", static_cast<int>(d * n / 6) + static_cast<int>(minVal)));
        else
            scaleLabel.setText(fnd::format("%.1f", (minVal + d * n / 6) / 1000));
    }
    if (d >= 2000)
        unitsLabel_->setText(units + " x1000");

    const double w = bounds().width();
    minLabel_->setFont(ui::Font::named(numberFont, w / 14));
    maxLabel_->setFont(ui::Font::named(numberFont, w / 14));
    if (maxVal >= 2000) {
        maxLabel_->setText(fnd::format("%.1f", maxVal / 1000.0));
        minLabel_->setText(fnd::format("%.1f", minVal / 1000.0));
    } else if (maxVal > 5) {
        maxLabel_->setText(wholeNumber(maxVal));
    } else {
        maxLabel_->setText(fnd::format("%.1f", static_cast<double>(maxVal)));
    }
    resizeTextLabels();
    setupLayer();
}

float CamGaugeView::clamp(float value) const { return std::max(std::min(value, maxUnit_), minUnit_); }

float CamGaugeView::fraction(float value) const
{
    const float range = maxUnit_ - minUnit_;
    const float f = (clamp(value) - minUnit_) / range;
    return range > 0 && std::isfinite(f) ? std::clamp(f, 0.0f, 1.0f) : 0.0f;
}

double CamGaugeView::needleAngle(float value) const { return fraction(value) * 240.0f - 120.0f; }

int CamGaugeView::getGaugeIndex(float value) const
{
    return static_cast<int>(fraction(value) * lastNeedleImage);
}

void CamGaugeView::showNeedleAt(double degrees) { needle_->setTransform(ui::AffineTransform::rotation(radians(degrees))); }

void CamGaugeView::setVal(float value)
{
    // A reading that is not a number leaves the needle where it is.
    if (!std::isfinite(value))
        return;
    const auto hundredths = [](float v) { return std::trunc(v * 100.0f) / 100.0f; };
    if (hundredths(value) == hundredths(getVal())) {
        timer_.stop();
        return;
    }
    const float c = clamp(value);
    if (c < currMinVal_) {
        currMinVal_ = c;
        minValLabel_->setText(fnd::format("Min: %d", static_cast<int>(c)));
    }
    if (c > currMaxVal_) {
        currMaxVal_ = c;
        maxValLabel_->setText(fnd::format("Max: %d", static_cast<int>(c)));
    }
    glide_.setTarget(c);
    timer_.start();
}

void CamGaugeView::updateGauge()
{
    glide_.tick();
    showNeedleAt(needleAngle(getVal()));
}

std::vector<ui::Image> CamGaugeView::renderGaugeNeedle()
{
    const double scale = ui::Device::current().scale();
    std::vector<ui::Image> images;
    images.reserve(needleImageCount);
    for (int d = -120; d < 120; ++d) {
        showNeedleAt(d);
        images.push_back(renderToImage(scale));
    }
    return images;
}

ui::Image CamGaugeView::takeScreenShot()
{
    const bool hidden = needle_->isHidden();
    needle_->setHidden(true);
    ui::Image image = renderToImage(ui::Device::current().scale());
    needle_->setHidden(hidden);
    return image;
}

ui::Image CamGaugeView::attachBGImages(const std::vector<ui::Image>& images) const
{
    const double w = frame().width();
    const double n = static_cast<double>(images.size());
    ui::BitmapContext context({w * n, frame().height()}, ui::Device::current().scale());
    for (std::size_t i = 0; i < images.size(); ++i)
        context.drawImage(images[i], ui::makeRect(w * n - w * static_cast<double>(i + 1), 0, w, w));
    return context.makeImage();
}

void CamGaugeView::hideContent()
{
    for (auto* label : {labelLabel_.get(), unitsLabel_.get(), minLabel_.get(), maxLabel_.get(), minValLabel_.get(),
                        maxValLabel_.get()})
        label->setHidden(true);
    for (const auto& label : gaugeLabels_)
        label->setHidden(true);
    shouldHideContent_ = true;
    setBackgroundColor(ui::Color::clear());
    setNeedsDisplay();
}

void CamGaugeView::draw(ui::Context& context, ui::Rect)
{
    if (shouldHideContent_ || bounds().isEmpty())
        return;
    const Dial d = dial();
    const double radius = d.radius - barLength_ / 2;
    context.setLineWidth(0.35 * barLength_);
    for (int k = 0; k <= 120; ++k) {
        const double a = -30 + 2 * k;
        const double span = k % 10 == 0 ? 4 : 2;
        const ui::Path tick = ui::Path::arc(d.center, radius, a * std::numbers::pi / 180 - std::numbers::pi,
                                            (a * std::numbers::pi + span) / 180 - std::numbers::pi, true);
        context.setStrokeColor(k % 10 == 0 ? ui::Color::white(0.9) : ui::Color::lightGray());
        context.strokePath(tick);
    }
}
