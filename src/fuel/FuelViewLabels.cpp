#include <algorithm>
#include <cmath>

#include "core/model/MethodClass.h"
#include "fuel/FuelView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

namespace {

const char* const valueFont = "Digital-Serial";
const char* const titleFont = "DigitalSans NowEF ML Demo";
const char* const unitFont = "Digital-Serial DB";

std::shared_ptr<ui::Label> makeLabel(ui::View& parent, const std::string& text, const char* fontName, double size,
                                     ui::Color color)
{
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(ui::Font::named(fontName, size));
    label->setTextColor(color);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setAdjustsFontSizeToFitWidth(true);
    parent.addSubview(label);
    return label;
}

// The bar colour rule: green for good economy, through yellow to red.
ui::Color barColor(float fraction, bool perDistance, double scale)
{
    double red = 1;
    double green = 1;
    if (perDistance) {
        if (fraction < 0.5f)
            red = 2 * fraction * scale;
        else
            green = (1 - 2 * (fraction - 0.5)) * 0.8;
    } else if (fraction > 0.5f) {
        red = (1 - (fraction - 0.5)) * scale;
    } else {
        green = 2 * fraction * scale;
    }
    return ui::Color::rgb(red, green, 0);
}

}  // namespace

FuelView::Geometry FuelView::makeGeometry(ui::Size area)
{
    const ui::Device& device = ui::Device::current();
    const bool upright = area.width <= area.height;
    Geometry g;
    double longSide = std::max(area.width, area.height);
    const double shortSide = std::min(area.width, area.height);
    if (upright && device.safeAreaInsets().bottom > 0)
        longSide -= 78;
    g.gHOffset = 0.16 * shortSide;
    g.gHeight = shortSide - g.gHOffset - 0.05 * shortSide;
    g.gWOffset = 0.16 * longSide;
    g.gWidth = longSide - g.gWOffset - 0.015 * longSide;
    g.plotBase = shortSide - 0.05 * shortSide;
    g.lineWidth = longSide > 568 ? 4 : 2;
    g.longSide = std::max(area.width, area.height);
    g.shortSide = std::min(area.width, area.height);
    g.barWidth2 = g.longSide / 12;
    g.barWidth = (g.gWidth - 18 * g.lineWidth) / 15;
    return g;
}

void FuelView::buildLabels()
{
    const bool light = theme_ == 1;
    setBackgroundColor(light ? ui::Color::rgb(1.0, 0.945, 0.886) : ui::Color::black());
    const ui::Color valueColor = light ? ui::Color::black() : ui::Color::lightGray();
    const ui::Color titleColor = light ? ui::Color::darkGray() : ui::Color::lightGray();
    const ui::Color groupColor = ui::Color::rgb(0, 0.7216, 0.5451, 0.8);
    const double s = geometry_.shortSide;

    insMpgTitle_ = makeLabel(*this, fnd::L("Instant. fuel"), titleFont, s / 22, titleColor);
    insMpgLargeLabel_ = makeLabel(*this, "00", valueFont, s / 4, valueColor);
    insMpgLargeLabel_->setTextAlignment(ui::TextAlignment::Right);
    insMpgDecimalLabel_ = makeLabel(*this, ".0", valueFont, s / 9, valueColor);
    insMpgDecimalLabel_->setTextAlignment(ui::TextAlignment::Left);
    mpgLabel_ = makeLabel(*this, unitText(), unitFont, s / 20, titleColor);
    avgLabel_ = makeLabel(*this, "00.0", titleFont, s / 11, valueColor);
    avgTitle_ = makeLabel(*this, fnd::L("Average"), titleFont, s / 26, titleColor);
    fuelLevelLabel_ = makeLabel(*this, "00", valueFont, s / 12, valueColor);
    fuelLevelTitle_ = makeLabel(*this, fnd::L("Fuel level"), titleFont, s / 28, titleColor);
    fuelLevelUnits_ = makeLabel(*this, "%", unitFont, s / 24, titleColor);

    insMpgTitle2_ = makeLabel(*this, fnd::L("Instant. fuel"), titleFont, s / 24, titleColor);
    insMpgLabel_ = makeLabel(*this, "00", valueFont, 0.06 * s, valueColor);
    const char* const groups[] = {"0-5 min.", "0-30 min.", "0-2 hr."};
    for (std::size_t i = 0; i < 3; ++i) {
        avgMpgLabels_[i] = makeLabel(*this, "0.0", titleFont, s / 14, valueColor);
        groupTitles_[i] = makeLabel(*this, fnd::L(groups[i]), valueFont, s / 22, groupColor);
    }
    const ui::Color barTextColor = light ? ui::Color::black() : ui::Color::white();
    for (std::size_t i = 0; i < barCount; ++i) {
        auto label = makeLabel(*this, "", valueFont, geometry_.barWidth / 2.5, barTextColor);
        label->setBackgroundColor(ui::Color::clear());
        labelArr_.push_back(std::move(label));
    }
}

// On its side the texts take their size from the room the chart has, between the bars while they show.
void FuelView::sizeLandscapeTexts()
{
    const double s = geometry_.shortSide;
    const auto resize = [](ui::Label& label, double size) { label.setFont(label.font().withSize(size)); };
    resize(*insMpgTitle2_, s / 24);
    resize(*insMpgLabel_, 0.06 * s);
    for (std::size_t i = 0; i < 3; ++i) {
        resize(*avgMpgLabels_[i], s / 14);
        resize(*groupTitles_[i], s / 22);
    }
    for (const auto& label : labelArr_)
        resize(*label, geometry_.barWidth / 2.5);
}

void FuelView::layoutSubviews()
{
    geometry_ = makeGeometry(isPortrait_ ? ui::Device::current().screenSize() : bounds().size);
    if (!isPortrait_)
        sizeLandscapeTexts();
    const double w = bounds().width();
    const double h = bounds().height();
    const double s = geometry_.shortSide;

    // Upright: the digits inside the large arc, the trip average inside the
    // small one, the tank level inside the fuel arc.
    const double cx = 0.5 * w;
    const double cy = 0.425 * h;
    insMpgTitle_->setFrame(ui::makeRect(cx - 0.3 * w, cy - 0.2 * s, 0.6 * w, s / 16));
    insMpgLargeLabel_->setFrame(ui::makeRect(cx - 0.35 * w, cy - 0.14 * s, 0.4 * w, 0.26 * s));
    insMpgDecimalLabel_->setFrame(ui::makeRect(cx + 0.05 * w, cy - 0.01 * s, 0.2 * w, 0.12 * s));
    mpgLabel_->setFrame(ui::makeRect(cx - 0.2 * w, cy + 0.13 * s, 0.4 * w, s / 16));
    const double ax = 0.75 * w;
    const double ay = 0.425 * h + 0.25 * w;
    avgLabel_->setFrame(ui::makeRect(ax - 0.15 * w, ay - 0.05 * s, 0.3 * w, 0.1 * s));
    avgTitle_->setFrame(ui::makeRect(ax - 0.15 * w, ay + 0.05 * s, 0.3 * w, s / 20));
    const double fx = 0.2 * w;
    const double fy = 0.84 * h;
    fuelLevelLabel_->setFrame(ui::makeRect(fx - 0.12 * w, fy - 0.06 * s, 0.2 * w, 0.09 * s));
    fuelLevelUnits_->setFrame(ui::makeRect(fx + 0.06 * w, fy - 0.04 * s, 0.06 * w, 0.06 * s));
    fuelLevelTitle_->setFrame(ui::makeRect(fx - 0.15 * w, fy + 0.04 * s, 0.3 * w, s / 22));

    // On its side: the instantaneous figure over its bar, the three averages
    // over their bar groups.
    insMpgLabel_->setFrame(ui::makeRect(5, s / 35, 0.25 * s, 0.06 * s));
    insMpgTitle2_->setFrame(ui::makeRect(5, s / 35 + 0.06 * s, 0.25 * s, s / 22));
    const double groupX[] = {0.17, 0.46, 0.81};
    for (std::size_t i = 0; i < 3; ++i) {
        const double x = groupX[i] * w - 0.05 * w;
        avgMpgLabels_[i]->setFrame(ui::makeRect(x, 0.02 * h, 0.2 * w, 0.08 * h));
        groupTitles_[i]->setFrame(ui::makeRect(x, geometry_.plotBase, 0.2 * w, h / 20));
    }
    updateLabels();
    // The geometry the drawing uses may have changed with the bounds.
    redraw();
}

void FuelView::changeToLandscape()
{
    // The screen says so at each of its layout passes; only a turn lays the view out and draws it anew.
    if (isPortrait_) {
        isPortrait_ = false;
        setNeedsLayout();
        showOrientation();
    }
    updateLabels();
    refreshPicture();
}

void FuelView::changeToPortrait()
{
    if (!isPortrait_) {
        isPortrait_ = true;
        setNeedsLayout();
    }
    updateLabels();
    showOrientation();
    refreshPicture();
}

void FuelView::showOrientation()
{
    const bool portrait = isPortrait_;
    for (const auto& label : {insMpgTitle_, insMpgLargeLabel_, insMpgDecimalLabel_, mpgLabel_, avgLabel_, avgTitle_,
                              fuelLevelLabel_, fuelLevelTitle_, fuelLevelUnits_})
        label->setHidden(!portrait);
    for (const auto& label : {insMpgTitle2_, insMpgLabel_})
        label->setHidden(portrait);
    for (std::size_t i = 0; i < 3; ++i) {
        avgMpgLabels_[i]->setHidden(portrait);
        groupTitles_[i]->setHidden(portrait);
    }
    for (const auto& label : labelArr_)
        label->setHidden(portrait);
}

float FuelView::barValue(std::size_t bar) const
{
    const auto& a = averages_;
    if (bar < FuelAverages::minuteBars)
        return a.avgMpgArr[bar];
    bar -= FuelAverages::minuteBars;
    if (bar < FuelAverages::fiveMinuteBars)
        return a.avgMpgArr2[bar];
    return a.avgMpgArr3[bar - FuelAverages::fiveMinuteBars];
}

void FuelView::updateLabels()
{
    avgLabel_->setText(tripAverageText());
    updateColors();
    const Geometry& g = geometry_;
    const bool perDistance = mode_ == 2;
    double x = g.gWOffset + g.lineWidth;
    for (std::size_t i = 0; i < barCount; ++i) {
        const float shown = MethodClass::convertFromMPG(barValue(i), mode_);
        if (shown - minVal_ > 0) {
            const float f = perDistance ? 1 - minVal_ / shown : shown / maxVal_;
            const double top = std::max(g.plotBase - 1 - f * g.gHeight, g.gHOffset);
            const float clamped = std::min(f, 1.0f);
            Bar& bar = bars_[i];
            bar.drawn = true;
            bar.fraction = clamped;
            bar.rect = ui::makeRect(x, top, g.barWidth, clamped * g.gHeight);
            bar.top = barColor(clamped, perDistance, 0.85);
            bar.bottom = theme_ == 1 ? bar.top : ui::Color::black();
            labelArr_[i]->setFrame(ui::makeRect(x, top - g.barWidth / 2.5, g.barWidth, g.barWidth / 2.5));
            labelArr_[i]->setText(fnd::format("%.1f", shown));
        }
        x += g.barWidth + g.lineWidth;
        if (i == 4 || i == 10)
            x += g.lineWidth;
    }
    refreshPicture();
}

void FuelView::setFuel(float percent)
{
    if (!std::isfinite(percent))
        return;
    fuelLevel_ = percent;
    fuelLevelLabel_->setText(fuelLevelText());
    refreshPicture();
}

std::string FuelView::largeValueText() const { return insMpgLargeLabel_->text() + insMpgDecimalLabel_->text(); }

std::string FuelView::smallValueText() const { return fnd::format("%.1f", shownValue()); }

std::string FuelView::averageText(int which) const
{
    float mpg = 0;
    switch (which) {
    case 0:
        mpg = averages_.avgMpgArr2[0];
        break;
    case 1:
        mpg = averages_.avgMpgArr3[0];
        break;
    default:
        mpg = averages_.longMean();
        break;
    }
    return fnd::format("%.1f", MethodClass::convertFromMPG(mpg, mode_));
}

std::string FuelView::tripAverageText() const { return fnd::format("%.1f", average_); }

std::string FuelView::unitText() const
{
    switch (mode_) {
    case 1:
        return "km/l";
    case 2:
        return "l/100km";
    default:
        return "mpg";
    }
}

std::string FuelView::fuelLevelText() const { return std::to_string(static_cast<int>(fuelLevel_)); }

std::string FuelView::barText(std::size_t bar) const { return labelArr_.at(bar)->text(); }

float FuelView::fractionOf(float shown) const
{
    if (mode_ == 2)
        return shown < maxVal_ ? 1 - minVal_ / shown : 0;
    return shown / maxVal_;
}
