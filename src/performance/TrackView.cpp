#include "performance/TrackView.h"

#include <algorithm>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"

namespace {

bool sameCoordinates(const std::vector<geo::Location>& a, const std::vector<geo::Location>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const geo::Location& l, const geo::Location& r) { return l.coordinate == r.coordinate; });
}

// One axis of the mapping; a track with no extent on it lies on the middle line.
double mapAxis(double maxValue, double minValue, double value, double size)
{
    const double range = maxValue - minValue;
    if (!(range > 0))
        return size / 2;
    return (maxValue - value) / range * (size - size / 8) + size / 16;
}

}  // namespace

TrackView::TrackView(ui::Rect frame, int theme)
    : ui::View(frame), timer_(tickInterval, [this] { updateLabel(); }), theme_(theme)
{
    const bool light = theme_ == 1;
    setBackgroundColor(light ? ui::Color::rgb255(255, 241, 226) : ui::Color::black());
    speedLabel_ = std::make_shared<ui::Label>();
    speedLabel_->setText("00");
    speedLabel_->setTextAlignment(ui::TextAlignment::Right);
    speedLabel_->setTextColor(light ? ui::Color::black() : ui::Color::lightGray());
    addSubview(speedLabel_);
    unitLabel_ = std::make_shared<ui::Label>();
    unitLabel_->setText("km/h");
    unitLabel_->setTextColor(light ? ui::Color::white(1.0 / 3.0) : ui::Color::gray());
    unitLabel_->setAdjustsFontSizeToFitWidth(true);
    addSubview(unitLabel_);
    updateLabels();
    dot_ = std::make_shared<ui::View>();
    const double side = bounds().size.width / 14;
    dot_->setBounds({0, 0, side, side});
    dot_->setCornerRadius(side / 2);
    dot_->setBackgroundColor(light ? ui::Color::rgb255(31, 100, 150) : ui::Color::rgb255(205, 40, 70));
    dot_->setUserInteractionEnabled(false);
    dot_->setHidden(true);
    addSubview(dot_);
}

void TrackView::setCoordinatesArr(const std::vector<geo::Location>& coordinates)
{
    // A different track gets its own box; the old one would shrink it into a corner.
    if (!sameCoordinates(coordinates, coordinatesArr_)) {
        minX_ = minY_ = 100000.0;
        maxX_ = maxY_ = -100000.0;
    }
    coordinatesArr_ = coordinates;
    setTrackBounds();
    setNeedsDisplay();
    placeDot();
}

void TrackView::setTrackBounds()
{
    for (const geo::Location& l : coordinatesArr_) {
        const double lat = l.coordinate.latitude;
        const double lon = l.coordinate.longitude;
        if (lon < minY_)
            minY_ = static_cast<float>(lon);
        if (lon > maxY_)
            maxY_ = static_cast<float>(lon);
        if (lat < minX_)
            minX_ = static_cast<float>(lat);
        if (lat > maxX_)
            maxX_ = static_cast<float>(lat);
    }
}

ui::Point TrackView::map(const geo::Coordinate& c, ui::Size area) const
{
    return {mapAxis(maxX_, minX_, c.latitude, area.width), mapAxis(maxY_, minY_, c.longitude, area.height)};
}

void TrackView::setCurrentLocation(const geo::Location& location)
{
    currentLocation_ = location;
    placeDot();
}

// The dot stands for the car: without a position or an outline to place it on it would claim a place
// the car is not at, so it stays hidden until both are there.
void TrackView::placeDot()
{
    if (previewMode_ || dataEnabled_)
        return;
    if (!currentLocation_ || coordinatesArr_.empty()) {
        dot_->setHidden(true);
        return;
    }
    const ui::Point to = map(currentLocation_->coordinate, bounds().size);
    if (dot_->isHidden()) {
        dot_->setCenter(to);
        dot_->setHidden(false);
        return;
    }
    ui::animate(0.1, ui::AnimationCurve::Linear, [this, to] { dot_->setCenter(to); });
}

void TrackView::updateSpeed(float speed)
{
    readout_.setTarget(speed);
    timer_.start();
}

void TrackView::updateLabel()
{
    speedLabel_->setText(fnd::format("%d", static_cast<int>(readout_.shown())));
    readout_.tick();
}

void TrackView::stopTimer() { timer_.stop(); }
void TrackView::resetData() { readout_.reset(0); }
void TrackView::setUnits(bool metric)
{
    metric_ = metric;
    unitLabel_->setText(metric ? "km/h" : "mph");
}

void TrackView::updateLabels()
{
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    speedLabel_->setFrame({0.6 * w, 0.85 * h, 0.25 * w, 0.15 * h});
    speedLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 0.15 * h));
    unitLabel_->setFrame({0.85 * w, 0.9 * h, 0.15 * w, 0.1 * h});
    unitLabel_->setFont(ui::Font::named("Digital-Serial DB", 0.07 * h));
}

void TrackView::hideSpeedLabel()
{
    speedLabel_->setHidden(true);
    unitLabel_->setHidden(true);
}

void TrackView::hideContent()
{
    setBackgroundColor(ui::Color::clear());
    shouldHideContent_ = true;
    setNeedsDisplay();
}

ui::Image TrackView::takeScreenShot()
{
    const bool hidden = dot_->isHidden();
    dot_->setHidden(true);
    ui::Image image = renderToImage(ui::Device::current().scale());
    dot_->setHidden(hidden);
    return image;
}

void TrackView::setPreviewMode()
{
    dot_->setHidden(true);
    hideSpeedLabel();
    previewMode_ = true;
    setNeedsDisplay();
}

void TrackView::renderPreview()
{
    const ui::Image image = renderToImage(1);
    const std::string png = image.pngData();
    trackImageData_.assign(png.begin(), png.end());
}

void TrackView::setDataEnabled(bool)
{
    dot_->setHidden(true);
    hideSpeedLabel();
    dataEnabled_ = true;
    min_ = 0;
    max_ = metric_ ? 255.0f : 160.0f;
    populateHueArr();
}

void TrackView::populateHueArr()
{
    hues_.clear();
    for (const float v : dataArr_) {
        const float clamped = std::clamp(v, min_, max_) - min_;
        hues_.push_back(static_cast<float>(clamped * 0.27 / (static_cast<double>(max_) - min_) + 0.03));
    }
    setNeedsDisplay();
}

std::optional<std::pair<ui::Point, ui::Point>> TrackView::startTick(ui::Size area) const
{
    if (coordinatesArr_.size() < 2)
        return std::nullopt;
    const ui::Point p0 = map(coordinatesArr_[0].coordinate, area);
    const ui::Point p1 = map(coordinatesArr_[1].coordinate, area);
    const double dx = p1.x - p0.x;
    const double dy = p1.y - p0.y;
    // Turned a quarter from the direction of travel, centred on the start.
    return std::pair{ui::Point{p0.x - dy / 2, p0.y + dx / 2}, ui::Point{p0.x + dy / 2, p0.y - dx / 2}};
}

void TrackView::draw(ui::Context& context, ui::Rect)
{
    if (shouldHideContent_ || coordinatesArr_.size() < 2)
        return;
    drawContent(context, bounds().size);
    if (previewMode_ && trackImageData_.empty())
        fnd::DispatchQueue::main().async([weak = weak_from_this()] {
            if (auto self = std::static_pointer_cast<TrackView>(weak.lock()))
                self->renderPreview();
        });
}

void TrackView::drawContent(ui::Context& context, ui::Size area)
{
    const double lineWidth = previewMode_ ? 4.0 : 2.0;
    if (!dataEnabled_) {
        ui::Path outline;
        outline.moveTo(map(coordinatesArr_[0].coordinate, area));
        for (std::size_t i = 1; i < coordinatesArr_.size(); ++i)
            outline.lineTo(map(coordinatesArr_[i].coordinate, area));
        outline.close();
        context.setStrokeColor(theme_ == 0 ? ui::Color::white() : ui::Color::black());
        context.setLineWidth(lineWidth);
        context.strokePath(outline);
    } else {
        context.setLineWidth(2.5);
        // Only the points that have a speed are coloured.
        const std::size_t n = std::min(coordinatesArr_.size(), hues_.size());
        for (std::size_t i = 1; i < n; ++i) {
            context.setStrokeColorHsb(hues_[i], 1.0, 1.0, 1.0);
            context.strokeLine(map(coordinatesArr_[i].coordinate, area), map(coordinatesArr_[i - 1].coordinate, area));
        }
        context.drawText(fnd::format("%s %d", fnd::L("Lap"), lapNumber_), ui::Point{10, 6},
                         ui::Font::named("Digital-Serial", 18), ui::Color::rgb255(205, 40, 70));
    }
    if (const auto tick = startTick(area)) {
        context.setStrokeColor(ui::Color::rgb255(151, 81, 25));
        context.setLineWidth(lineWidth);
        context.strokeLine(tick->first, tick->second);
    }
}
