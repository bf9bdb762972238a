#include "dashcam/CompassView.h"

#include <cmath>

#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"

namespace {

constexpr double letterWidth = 40;
constexpr double letterTop = 4.5;
constexpr double letterHeight = 20;
// A letter straight ahead: 35 + 40 / 2 is the middle of the 110-point strip.
constexpr double centredX = 35;

// The sector a shown value falls in, and how far it lies from the sector's point.
struct Sector {
    int point;
    float offset;
};

Sector sectorOf(float val)
{
    if (val > 337.5f && val <= 359.999f)
        return {0, val - 360};
    if (val > 0 && val <= 22.5f)
        return {0, val};
    for (int point = 1; point < 8; ++point) {
        const float centre = 45.0f * static_cast<float>(point);
        if (val > centre - 22.5f && val <= centre + 22.5f)
            return {point, val - centre};
    }
    return {0, 0};
}

}  // namespace

CompassView::CompassView(ui::Rect frame) : ui::View(frame)
{
    setBackgroundColor(ui::Color::rgb255(20, 20, 20, 0.5));
    setClipsToBounds(true);
    for (std::size_t i = 0; i < labelArr_.size(); ++i) {
        auto label = std::make_shared<ui::Label>(ui::makeRect(0, letterTop, 50, letterHeight));
        label->setBackgroundColor(ui::Color::clear());
        label->setTextColor(ui::Color::white());
        label->setFont(ui::Font::named("Digital-Serial", 20));
        label->setTextAlignment(ui::TextAlignment::Center);
        label->setText(pointNames[i]);
        label->setAlpha(0);  // no letter until the first heading
        addSubview(label);
        labelArr_[i] = std::move(label);
    }
}

CompassView::~CompassView() = default;

void CompassView::updateData(float heading)
{
    if (!(heading >= 0) || !std::isfinite(heading))
        return;
    // The strip shows the heading a quarter turn on, as the camera looks out sideways in landscape.
    val_ = heading + 90;
    if (val_ > 360)
        val_ -= 360;
    updateCompass();
}

int CompassView::pointFor(float val) { return sectorOf(val).point; }

double CompassView::letterX(float val) { return centredX - pointsPerDegree * sectorOf(val).offset; }

void CompassView::updateCompass()
{
    const Sector sector = sectorOf(val_);
    const double d = pointsPerDegree * sector.offset;
    const ui::Rect target = ui::makeRect(centredX - d, letterTop, letterWidth, letterHeight);
    for (const auto& label : labelArr_)
        label->setAlpha(0);
    ui::Label& letter = *labelArr_[static_cast<std::size_t>(sector.point)];
    letter.setAlpha(1);
    // A long way to go jumps; a short one slides.
    if (std::abs(d) >= 40)
        letter.setFrame(target);
    shownPoint_ = sector.point;
    auto weak = std::weak_ptr<ui::Label>(labelArr_[static_cast<std::size_t>(sector.point)]);
    ui::animate(0.5, [weak, target] {
        if (auto label = weak.lock())
            label->setFrame(target);
    });
    setNeedsDisplay();
}
