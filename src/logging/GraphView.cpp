#include "logging/GraphView.h"

#include <algorithm>
#include <cmath>

#include "core/model/Settings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Path.h"

struct GraphView::Geometry {
    double width = 0;
    double height = 0;
    double plotHeight = 0;  // H'
    double right = 0;       // R
    double left = 10;       // L
    double newestX = 0;
    double top = 4;
    double bottom = 0;

    double y(float v, float min, float max) const
    {
        return bottom - (static_cast<double>(v) - min) * (plotHeight - 6) / (static_cast<double>(max) - min);
    }
};

namespace {

// A value cut to a whole number, as text. A sensor may give anything up to a float's maximum, far past
// an int's range, so the value is not cast to one.
std::string wholeNumberText(double value)
{
    return fnd::format("%.0f", std::trunc(value) + 0.0);  // + 0.0: no "-0"
}

struct LineColors {
    ui::Color line;
    ui::Color text;
};

LineColors lineColors(int index, int theme)
{
    LineColors c;
    switch (index) {
    case 1:
        c = {ui::Color::rgb255(220, 40, 70), ui::Color::rgb255(205, 40, 70)};
        break;
    case 2:
        c = {ui::Color::systemOrange(), ui::Color::systemOrange()};
        break;
    case 3:
        c = {ui::Color::lightGray(), ui::Color::lightGray()};
        break;
    case 4:
        c = {ui::Color::rgb255(191, 64, 191), ui::Color::rgb255(216, 191, 216)};
        break;
    case 5:
        c = {ui::Color::systemGreen(), ui::Color::systemGreen()};
        break;
    case 6:
        c = {ui::Color::rgb255(0, 150, 255), ui::Color::rgb255(0, 150, 255)};
        break;
    case 7:
        c = {ui::Color::rgb255(255, 241, 226), ui::Color::rgb255(255, 241, 226)};
        break;
    case 8:
        c = {ui::Color::systemYellow(), ui::Color::systemYellow()};
        break;
    default:
        c = {ui::Color::rgb255(51, 181, 235), ui::Color::rgb255(51, 181, 235)};
        break;
    }
    if (theme == 1) {
        if (index == 3 || index == 7)
            c = {ui::Color::darkGray(), ui::Color::darkGray()};
        else if (index == 5)
            c = {ui::Color::rgb255(6, 64, 43), ui::Color::rgb255(6, 64, 43)};
        else if (index == 8)
            c = {ui::Color::systemOrange(), ui::Color::systemOrange()};
    }
    return c;
}

std::shared_ptr<ui::Label> makeLabel(const char* font, double size, ui::Color color,
                                     ui::TextAlignment alignment = ui::TextAlignment::Left)
{
    auto label = std::make_shared<ui::Label>();
    label->setFont(ui::Font::named(font, size));
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    label->setBackgroundColor(ui::Color::clear());
    return label;
}

// The name's length as the phone platform counts it (UTF-16 code units).
int utf16Length(const std::string& text)
{
    int units = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

// C's remainder, which keeps the dividend's sign.
int mod(int a, int b)
{
    return b == 0 ? 0 : a % b;
}

// The width of the scale texts' column at the right edge.
constexpr double scaleWidth = 25;
// Points between the vertical grid lines.
constexpr int gridStep = 60;

const ui::Font& timeFont()
{
    static const ui::Font font = ui::Font::named("DigitalSans NowEF ML Demo", 12);
    return font;
}

}  // namespace

StripChartSettings StripChartSettings::fromSettings(const Settings& settings)
{
    return {settings.plotSpacing, settings.scrollGraphCount, settings.graphType};
}

GraphView::GraphView(ui::Rect frame, int theme, int lineColor) : ui::View(frame), theme_(theme)
{
    setOpaque(true);
    setBackgroundColor(theme == 0 ? ui::Color::white(0.08) : ui::Color::rgb255(255, 241, 230));
    const LineColors colors = lineColors(lineColor, theme);
    lineColor_ = colors.line;
    gLabel_ = makeLabel("Digital-Serial", 16, theme == 1 ? ui::Color::black() : ui::Color::lightGray());
    unitsLabel_ = makeLabel("Digital-Serial DB", 17, theme == 1 ? ui::Color::black() : colors.text);
    valLabel_ = makeLabel("DigitalSans NowEF ML Demo", 19, colors.text, ui::TextAlignment::Right);
    // 50 points hold five characters only in the narrow digital font; its
    // fallback shrinks instead of cutting "14523" to "145...".
    valLabel_->setAdjustsFontSizeToFitWidth(true);
    valLabel_->setMinimumScaleFactor(0.5);
    if (theme == 1)
        unitsLabel_->setTextColor(ui::Color::black());
    for (auto& label : scaleLabels_) {
        label = makeLabel("DigitalSans NowEF ML Demo", 13, theme == 0 ? ui::Color::white(0.55) : ui::Color::darkGray());
        // The column right of the plot is narrow: "8.0k" shrinks instead of reaching past the chart.
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumScaleFactor(0.5);
        addSubview(label);
    }
    addSubview(gLabel_);
    addSubview(unitsLabel_);
    addSubview(valLabel_);
}

GraphView::~GraphView()
{
    reset_.cancel();
}

GraphView::Geometry GraphView::geometry() const
{
    Geometry g;
    g.width = bounds().size.width;
    g.height = bounds().size.height;
    const int perScreen = settings_.scrollGraphCount;
    g.plotHeight = (perScreen == 1 || perScreen == 2) ? g.height - 10 : g.height - 30;
    g.right = g.width - 28;
    g.newestX = g.width - 30;
    g.bottom = g.plotHeight - 2;
    return g;
}

void GraphView::updateLabel(const std::string& name, const std::string& units, float min, float max)
{
    gLabel_->setText(name);
    const double n = utf16Length(name);
    const double h = bounds().size.height;
    unitsLabel_->setFrame(ui::makeRect(8 * n + 108, h - 17, 70, 20));
    unitsLabel_->setText(units);
    valLabel_->setFrame(ui::makeRect(8 * n + 55, h - 19, 50, 22));
    spacing_ = std::clamp(settings_.plotSpacing, 1, 5);
    min_ = min;
    max_ = max;
    range_ = max - min;
    currentMaxVal_ = min;
    currentMinVal_ = max;
    points_.clear();
    line_.reset();
    delay_ = 0.1;
    haveStartTime_ = false;
    haveDelay_ = false;
    gap_ = static_cast<int>(static_cast<float>(spacing_) *
                            std::trunc(50.0f / (static_cast<float>(spacing_) / 0.1f)) / 0.1f);
}

int GraphView::timeLabelGap(int spacing, double delay)
{
    const double perSecond = spacing / std::max(delay, shortestDelay);
    // At least one whole second between labels, so the step never reaches 0.
    const double seconds = std::max(1.0, std::round(50 / perSecond));
    return std::max(1, static_cast<int>(perSecond * seconds));
}

void GraphView::setVal(float v, bool update)
{
    value_ = v;
    if (!haveDelay_) {
        const double now = fnd::RunLoop::main().now();
        if (!haveStartTime_) {
            time_ = now;
            haveStartTime_ = true;
        } else {
            delay_ = std::max(shortestDelay, std::round(std::fabs(now - time_) * 100) / 100);
            haveDelay_ = true;
            gap_ = timeLabelGap(spacing_, delay_);
        }
    }
    if (range_ > 50)
        valLabel_->setText(wholeNumberText(v));
    else
        valLabel_->setText(fnd::format(max_ <= 5 ? "%.2f" : "%.1f", static_cast<double>(v)));
    prevMin_ = min_;
    prevMax_ = max_;
    if (v > max_)
        max_ = v;
    if (v < min_)
        min_ = v;
    // Every sample counts towards the extremes, drawn or not: a chart scrolled off screen or
    // redrawn once for several samples still shows the true minimum and maximum.
    currentMinVal_ = std::min(currentMinVal_, static_cast<double>(v));
    currentMaxVal_ = std::max(currentMaxVal_, static_cast<double>(v));
    points_.push_front(v);
    ++samplesTaken_;
    if (prevMax_ != max_) {
        scaleStrings_ = scaleTexts(min_, max_);
        updateScaleLabels();
    }
    if (update)
        setNeedsDisplay();
}

std::array<std::string, 5> GraphView::scaleTexts(float min, float max)
{
    const double d = static_cast<double>(max) - min;
    const double mid = (static_cast<double>(max) + min) * 0.5;
    if (d >= 100 && d <= 1000) {
        // Whole numbers; the quarters are the truncated sums halved. Within such a span every value is far
        // inside a long long.
        const auto whole = [](double v) { return static_cast<long long>(v); };
        return {fnd::format("%lld", whole(min)), fnd::format("%lld", whole(min + mid) / 2),
                fnd::format("%lld", whole(mid)), fnd::format("%lld", whole(max + mid) / 2),
                fnd::format("%lld", whole(max))};
    }
    const double values[5] = {min, (min + mid) * 0.5, mid, (max + mid) * 0.5, max};
    std::array<std::string, 5> out;
    for (std::size_t i = 0; i < 5; ++i) {
        if (d < 10) {
            out[i] = fnd::format("%.1f", values[i]);
        } else if (d > 1000) {
            out[i] = fnd::format("%.1fk", values[i] / 1000);
        } else {
            // Below a span of 100 a whole number would misname a line (7.5 is not "7"): the tenth shows.
            const double shown = std::round(values[i] * 10) / 10;
            out[i] = shown == std::trunc(shown) ? wholeNumberText(shown) : fnd::format("%.1f", shown);
        }
    }
    return out;
}

void GraphView::updateScaleLabels()
{
    for (std::size_t i = 0; i < 5; ++i)
        scaleLabels_[i]->setText(scaleStrings_[i]);
}

void GraphView::resetRange()
{
    min_ = 0;
    max_ = 0;
}

void GraphView::adjustLabels()
{
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    const int perScreen = settings_.scrollGraphCount;
    const bool compact = perScreen == 1 || perScreen == 2;
    const double hs = compact ? h - 10 : h - 30;
    const double a = compact ? 33 : 17;
    const double b = compact ? 10 : 0;
    valLabel_->setText("");
    gLabel_->setFrame(ui::makeRect(25 - b, h - a, 180, 19));
    const double c = gLabel_->font().widthOf(gLabel_->text());
    unitsLabel_->setFrame(ui::makeRect(c + 98 - b, h - a, 70, 20));
    valLabel_->setFrame(ui::makeRect(c + 45 - b, h - a, 50, 22));
    for (auto& label : scaleLabels_)
        label->setText("");
    bgImage_.reset();
    setNeedsDisplay();
    reset_.cancel();
    reset_ = fnd::after(0.1, [this] { resetRange(); });
    if (min_ == 0 && max_ == 0) {
        min_ = prevMin_;
        max_ = prevMax_;
    } else {
        prevMin_ = min_;
        prevMax_ = max_;
    }
    scaleStrings_ = scaleTexts(min_, max_);
    const double ys[5] = {hs - 10, hs * 0.75 - 4, hs * 0.5 - 4, hs * 0.25 - 2, 0};
    for (std::size_t i = 0; i < 5; ++i)
        scaleLabels_[i]->setFrame(ui::makeRect(w - scaleWidth, ys[i], scaleWidth, 15));
    labelsAdjusted_ = true;
    labelsWidth_ = w;
}

void GraphView::setInteractionButton(std::shared_ptr<ui::View> button)
{
    if (interactionButton_)
        interactionButton_->removeFromSuperview();
    interactionButton_ = std::move(button);
    if (interactionButton_)
        addSubview(interactionButton_);
    setNeedsLayout();
}

void GraphView::layoutSubviews()
{
    const double w = bounds().size.width;
    if (interactionButton_)
        interactionButton_->setFrame(ui::makeRect(w - 65, 5.5, 35, 20));
    if (labelsAdjusted_ && w != labelsWidth_) {
        adjustLabels();
        takeSnapshot();
    }
}

// The kept background is the background pass alone, at the chart's own size. A picture of the view
// would take in its subviews (the button, drawn live anyway, twice over) and, in the middle of an
// animation such as the table's editing slide, the size it is passing through rather than its own.
void GraphView::takeSnapshot()
{
    bgImage_.reset();
    const ui::Rect area = bounds();
    if (area.size.width > 0 && area.size.height > 0) {
        ui::BitmapContext context(area.size, ui::Device::current().scale());
        context.translate(-area.x(), -area.y());
        drawBackground(context, geometry(), area);
        bgImage_ = context.makeImage();
    }
    updateScaleLabels();
}

std::optional<ui::Point> GraphView::markedPoint() const
{
    if (!interactionEnabled_ || xPoint_ < 1)
        return std::nullopt;
    return ui::Point{static_cast<double>(xPoint_), static_cast<double>(yPoint_)};
}

void GraphView::draw(ui::Context& context, ui::Rect dirty)
{
    ui::View::draw(context, dirty);
    const Geometry g = geometry();
    if (!bgImage_) {
        lastDrawWasData_ = false;
        drawBackground(context, g, dirty);
    } else {
        drawData(context, g, dirty);
    }
}

void GraphView::drawBackground(ui::Context& context, const Geometry& g, ui::Rect dirty)
{
    context.save();
    context.setLineWidth(ui::Device::current().isPad() ? 1.0 : 0.5);
    context.setStrokeColor(ui::Color::systemGray());
    const ui::Rect frame = ui::makeRect(g.left - 1, 3, g.right - g.left + 1, g.plotHeight - 3);
    const ui::Path rounded = ui::Path::roundedRect(frame, 8);
    if (theme_ == 1) {
        context.setFillColor(ui::Color::rgb255(255, 241, 225));
        context.fillRect(frame);
        context.setStrokeColor(ui::Color::darkGray());
        context.strokePath(rounded);
    } else if (settings_.graphType == 1) {
        context.save();
        context.clipToRect(ui::makeRect(g.left, 4, g.right - g.left, g.plotHeight - 4));
        context.drawLinearGradient({{0, ui::Color::rgb(0.2, 0.2, 0.2, 0.8)}, {1, ui::Color::rgb(0.02, 0.02, 0.02)}},
                                   {dirty.center().x, dirty.origin.y},
                                   {dirty.center().x, dirty.origin.y + dirty.size.height});
        context.restore();
        context.setStrokeColor(ui::Color::systemGray());
        context.strokePath(rounded);
        context.setStrokeColor(ui::Color::black());
    } else {
        context.setStrokeColor(ui::Color::white(0.28));
        context.strokePath(rounded);
        context.setFillColor(ui::Color::white(0.03));
        context.fillPath(rounded);
    }
    if (settings_.graphType == 0)
        context.setStrokeColor(ui::Color::white(0.2));
    if (g.plotHeight - 5 > 34) {
        ui::Path grid;
        for (double y = 34; y < g.plotHeight - 5; y += 30) {
            grid.moveTo({g.left, y});
            grid.lineTo({g.right - 2, y});
        }
        context.strokePath(grid);
    }
    context.restore();
}

void GraphView::drawData(ui::Context& context, const Geometry& g, ui::Rect dirty)
{
    lastDrawWasData_ = true;
    const bool pad = ui::Device::current().isPad();
    // The caller has clipped to what needs repainting; a clip of our own would only slow the lines.
    static_cast<void>(dirty);
    context.save();
    context.drawImage(*bgImage_, bounds());

    // Vertical grid, moving with the samples: left one spacing per sample, right with a drag.
    context.setLineWidth(1);
    context.setStrokeColor(settings_.graphType == 0 ? ui::Color::white(0.2) : ui::Color::black());
    const int sampleShift = static_cast<int>((samplesTaken_ * static_cast<std::uint64_t>(spacing_)) % gridStep);
    for (int x = static_cast<int>(g.right) + mod(static_cast<int>(graphDragOffset_), gridStep) - sampleShift;
         x > g.left; x -= gridStep) {
        if (x < g.right)
            context.strokePolyline({{static_cast<double>(x), 4}, {static_cast<double>(x), g.bottom}});
    }

    // Past the cap the oldest sample goes, one a draw; a chart off screen keeps all it takes until drawn.
    if (points_.size() > maxSamples) {
        points_.pop_back();
        // When the window reaches the oldest sample, the kept line still shows the one gone.
        if (newestShown() + static_cast<std::size_t>((g.newestX - g.left) / spacing_) + 1 >= points_.size())
            line_.reset();
    }
    drawLine(context, g, pad ? 2.5 : 1.5);
    drawMark(context, g);
    drawTimeLabels(context, g);

    const ui::Color textColor = theme_ == 1 ? ui::Color::darkGray() : ui::Color::systemGray();
    // Until the first sample there is no extreme to show (the running ones start from the range's far ends).
    const bool empty = points_.empty();
    context.drawText(empty ? "Min: --" : "Min: " + wholeNumberText(currentMinVal_), ui::Point{15, 5},
                     timeFont(), textColor);
    context.drawText(empty ? "Max: --" : "Max: " + wholeNumberText(currentMaxVal_), ui::Point{15, 20},
                     timeFont(), textColor);
    context.restore();
}

// The newest sample on view: a drag looks back in time.
std::size_t GraphView::newestShown() const
{
    return static_cast<std::size_t>(std::max(0, static_cast<int>(graphDragOffset_))) / static_cast<std::size_t>(spacing_);
}

// The data line comes from its kept bitmap: when samples arrived since, the bitmap moves left and
// only the strips that changed are drawn again, at the right the newest segments and at the left the
// place where the oldest ones leave the plot. Anything else that moves the line draws it whole.
void GraphView::drawLine(ui::Context& context, const Geometry& g, double lineWidth)
{
    const ui::AffineTransform t = context.ctm();
    const double scale = context.pixelsPerPoint() * t.a;
    const double shiftPixels = spacing_ * scale;
    const bool whole = std::round(shiftPixels) == shiftPixels && t.b == 0 && t.c == 0 && t.a == t.d && t.a > 0;
    const std::size_t start = newestShown();
    if (!whole) {
        // Drawn in place: kept pixels would not line up with the device's.
        line_.reset();
        context.setLineWidth(lineWidth);
        context.setStrokeColor(lineColor_);
        strokeLine(context, g, -HUGE_VAL, HUGE_VAL);
        return;
    }
    const LineKey key{min_, max_, start, spacing_, lineWidth, scale, g.width, g.plotHeight};
    const double shift = static_cast<double>(samplesTaken_ - samplesInLine_) * spacing_;
    const auto redraw = [&](double fromX, double toX) {
        line_->save();
        line_->setLineWidth(lineWidth);
        line_->setStrokeColor(lineColor_);
        const ui::Rect strip = ui::makeRect(fromX, 0, toX - fromX, g.height);
        line_->clearRect(strip);
        line_->clipToRect(strip);
        strokeLine(*line_, g, fromX, toX);
        line_->restore();
    };
    if (!line_ || key != lineKey_ || shift >= g.newestX - g.left) {
        line_ = std::make_unique<ui::BitmapContext>(ui::Size{g.width, g.height}, scale);
        redraw(0, g.width);
    } else if (shift > 0) {
        line_->scrollHorizontally(-shift);
        // Whole pixels, so the strips meet what was kept without a seam.
        const auto pixelEdge = [&](double x) { return std::ceil(x * scale) / scale; };
        redraw(0, pixelEdge(g.left + spacing_ + lineWidth + 1));
        redraw(pixelEdge(g.newestX - shift - lineWidth - 2), g.width);
    } else {
        strokeLine(context, g, HUGE_VAL, -HUGE_VAL);  // draws nothing, but finds the marked sample
    }
    lineKey_ = key;
    samplesInLine_ = samplesTaken_;
    context.drawBitmap(*line_, ui::makeRect(0, 0, g.width, g.height));
}

// The data line over the visible window of samples; segments wholly outside fromX..toX (with the line's
// width) are left out. Finds the marked sample and counts the segments shown, whatever it draws.
void GraphView::strokeLine(ui::Context& context, const Geometry& g, double fromX, double toX)
{
    xPoint_ = -1;
    segmentsDrawn_ = 0;
    const std::size_t start = newestShown();
    if (points_.empty() || points_.size() < start)
        return;
    const double reach = context.lineWidth();
    run_.clear();
    const auto flush = [&] {
        if (run_.size() >= 2)
            context.strokePolyline(run_);
        run_.clear();
    };
    const auto within = [&](double y) { return y >= g.top && y <= g.bottom; };
    const std::size_t count = points_.size() - start;
    const auto mark = [&](std::size_t j, double x, double y, float v) {
        if (!interactionEnabled_)
            return;
        if (!havePoint_ && std::fabs(x - pointLocation_.x) <= spacing_) {
            havePoint_ = true;
            pointIndex_ = j;
        }
        if (havePoint_ && j == pointIndex_ && std::isfinite(y)) {
            xPoint_ = static_cast<int>(x);
            // A value far off the scale is marked at the plot's edge.
            yPoint_ = static_cast<int>(std::clamp(y, g.top, g.bottom));
            markedValue_ = v;
        }
    };
    double prevX = g.newestX;
    double prevY = count > 0 ? g.y(points_[start], min_, max_) : 0;
    if (count > 0)
        mark(0, prevX, prevY, points_[start]);
    for (std::size_t j = 1; j < count; ++j) {
        const double x = g.newestX - static_cast<double>(j) * spacing_;
        if (x < g.left)
            break;
        const float v = points_[start + j];
        const double y = g.y(v, min_, max_);
        mark(j, x, y, v);
        ui::Point a{prevX, prevY};
        ui::Point b{x, y};
        prevX = x;
        prevY = y;
        const bool aIn = within(a.y);
        const bool bIn = within(b.y);
        // Both ends outside, or a position that is not a number: no segment.
        if (!std::isfinite(a.y) || !std::isfinite(b.y) || (!aIn && !bIn)) {
            flush();
            continue;
        }
        ++segmentsDrawn_;
        if (b.x > toX + reach || a.x < fromX - reach) {
            flush();
            continue;
        }
        if (!aIn)
            a.y = a.y < g.top ? g.top : g.bottom;
        if (!bIn)
            b.y = b.y < g.top ? g.top : g.bottom;
        if (run_.empty() || run_.back().x != a.x || run_.back().y != a.y) {
            flush();
            run_.push_back(a);
        }
        run_.push_back(b);
    }
    flush();
}

void GraphView::drawMark(ui::Context& context, const Geometry& g)
{
    if (!interactionEnabled_ || xPoint_ < 1)
        return;
    const ui::Color bubble = theme_ == 1 ? ui::Color::black() : ui::Color::rgb255(180, 0, 40);
    const ui::Color text = theme_ == 1 ? ui::Color::lightGray() : ui::Color::black();
    const ui::Color dot = theme_ == 1 ? ui::Color::systemBlue() : ui::Color::rgb255(180, 0, 40);
    const float v = markedValue_;
    const double w = v > 1000 ? 44 : v > 100 ? 33 : v > 10 ? 22 : 11;
    const double by = yPoint_ < 9 ? yPoint_ + 10 : yPoint_ - 5;
    const double bx = xPoint_ > g.right - 35 ? xPoint_ - w - 10 : xPoint_ + 5;
    context.setLineWidth(1);
    context.setFillColor(bubble);
    context.fillPath(ui::Path::roundedRect(ui::makeRect(bx + 1, by, w, 18), 4));
    context.drawText(wholeNumberText(v), ui::Point{bx + 2, by},
                     ui::Font::named("DigitalSans NowEF ML Demo", 15), text);
    context.setFillColor(dot);
    context.fillEllipse(ui::makeRect(xPoint_ - 3, yPoint_ - 3, 6, 6));
    context.setStrokeColor(dot);
    context.strokeLine({static_cast<double>(xPoint_), 4}, {static_cast<double>(xPoint_), g.bottom});
}

void GraphView::drawTimeLabels(ui::Context& context, const Geometry& g)
{
    timeTexts_.clear();
    if (gap_ < 1)
        return;
    const ui::Color color = theme_ == 1 ? ui::Color::darkGray() : ui::Color::systemGray();
    int x = static_cast<int>(g.newestX + mod(static_cast<int>(graphDragOffset_), gap_));
    if (x < 11)
        return;
    const double s = delay_ * gap_ / spacing_;
    if (!(s > 0) || !std::isfinite(s))
        return;
    double t = std::round(s) * std::trunc((graphDragOffset_ / (spacing_ / delay_)) / s);
    while (x > 10) {
        timeTexts_.push_back(fnd::format("%d", static_cast<int>(std::round(t))));
        context.drawText(timeTexts_.back(), ui::Point{static_cast<double>(x), g.plotHeight - 1}, timeFont(), color);
        t += s;
        x -= gap_;
    }
}

void GraphView::touchesBegan(const std::vector<ui::Touch>& touches)
{
    if (touches.empty())
        return;
    if (interactionEnabled_) {
        havePoint_ = false;
        pointLocation_ = touches.front().locationInView(this);
        setNeedsDisplay();
    }
}

void GraphView::touchesMoved(const std::vector<ui::Touch>& touches)
{
    if (touches.empty())
        return;
    const ui::Point p = touches.front().locationInView(this);
    const ui::Point q = touches.front().previousLocationInView(this);
    const double w = bounds().size.width;
    const double h = bounds().size.height;
    const double dx = p.x - q.x;
    if (p.x > 24 && p.x < w - 24 && p.y > 3 && p.y < h - 29 && std::fabs(p.y - q.y) < 10 && dx != 0 &&
        std::isfinite(dx)) {
        if (delegate_ && !isScrolling_) {
            isScrolling_ = true;
            delegate_->graphIsScrolling(*this);
        }
        dragBy(dx);
        return;
    }
    dragBy(0);
}

void GraphView::dragBy(double dx)
{
    graphDragOffset_ += dx;
    if (graphDragOffset_ < 0)
        graphDragOffset_ = 0;
    else
        setNeedsDisplay();
}

bool GraphView::keepsGesture(const ui::GestureRecognizer& recognizer) const
{
    if (recognizer.view() == this)
        return false;
    if (recognizer.isSidewaysSwipe())
        return true;
    const auto* pan = dynamic_cast<const ui::PanGestureRecognizer*>(&recognizer);
    // A pan from the screen's edge opens the menu.
    if (!pan || dynamic_cast<const ui::ScreenEdgePanGestureRecognizer*>(&recognizer))
        return false;
    const ui::Point moved = pan->translationInView(nullptr);
    return std::fabs(moved.x) > std::fabs(moved.y);
}

bool GraphView::scrollWheel(double dx, double dy)
{
    if (!(std::fabs(dx) > std::fabs(dy)))
        return false;
    dragBy(-dx);
    return true;
}

void GraphView::endDrag()
{
    if (!isScrolling_)
        return;
    isScrolling_ = false;
    if (delegate_)
        delegate_->touchHasEnded(*this);
}

void GraphView::touchesEnded(const std::vector<ui::Touch>&)
{
    endDrag();
}

void GraphView::touchesCancelled(const std::vector<ui::Touch>&)
{
    endDrag();
}
