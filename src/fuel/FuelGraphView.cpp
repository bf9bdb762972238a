#include "fuel/FuelGraphView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Window.h"
#include "shell/InputValidation.h"

namespace {

constexpr std::array rangeDayCountTable{28, 90, 180, 360};
constexpr std::array rangeLabelStepTable{4, 30, 30, 60};
constexpr std::array<const char*, 12> monthNameTable{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> monthShortNameTable{"Ja", "Fe", "Ma", "Ap", "Ma", "Ju",
                                                          "Ju", "Au", "Se", "Oc", "No", "De"};
// Log entries beyond this index are not looked for.
constexpr std::size_t searchedEntries = 99999;
constexpr double nearestSearchStart = 10000.0;

std::string monthFrom(const std::string& text, const std::array<const char*, 12>& table)
{
    const auto month = input::integer(text, 1, 12);
    if (!month)
        return "";
    return table[static_cast<std::size_t>(*month - 1)];
}

}  // namespace

FuelGraphView::FuelGraphView(ui::Rect frame, int theme) : ui::View(frame), theme_(theme)
{
    setBackgroundColor(theme == 1 ? ui::Color::rgb(1.0, 0.945, 0.8235) : ui::Color::black());
}

int FuelGraphView::rangeDayCount(int graphMode)
{
    if (graphMode < 1 || graphMode > 4)
        return 14;
    return rangeDayCountTable[static_cast<std::size_t>(graphMode - 1)];
}

int FuelGraphView::rangeLabelStep(int graphMode)
{
    if (graphMode < 1 || graphMode > 4)
        return 1;
    return rangeLabelStepTable[static_cast<std::size_t>(graphMode - 1)];
}

std::string FuelGraphView::getMonth(const std::string& month) { return monthFrom(month, monthNameTable); }

std::string FuelGraphView::getMonth2(const std::string& month) { return monthFrom(month, monthShortNameTable); }

void FuelGraphView::changeGraphMode(int mode)
{
    graphMode_ = mode;
    scan();
    setNeedsDisplay();
}

void FuelGraphView::resetData()
{
    point1_ = 0;
    point2_ = 0;
    scan();
    setNeedsDisplay();
}

float FuelGraphView::axisMax(float largest)
{
    // The axis is labelled at its quarters in whole numbers: each quarter is a round whole step.
    const float quarter = 1.1f * largest / 4;
    if (!std::isfinite(quarter) || !(quarter > 0))
        return 4.0f;
    static constexpr float mantissas[] = {1, 1.5f, 2, 2.5f, 3, 4, 5, 6, 8};
    for (float power = 1; std::isfinite(4 * 8 * power); power *= 10) {
        for (const float mantissa : mantissas) {
            const float step = mantissa * power;
            if (step >= quarter && step == std::floor(step))
                return 4 * step;
        }
    }
    return 4 * quarter;
}

void FuelGraphView::updateMetrics(int fuelUnitsMode)
{
    fuelUnitsMode_ = fuelUnitsMode;
    unitsStr_ = fuelUnitsMode == 1 ? "kpl" : fuelUnitsMode == 2 ? "l/100km" : "mpg";
    float largest = 0.0f;
    for (const float value : dataArr) {
        if (std::isfinite(value) && value > largest)
            largest = value;
    }
    max_ = axisMax(largest);
    min_ = 0;
    scan();
    setNeedsDisplay();
}

void FuelGraphView::changeToLandscape()
{
    // The fingers keep their place only across a turn, not at every layout pass.
    const bool turning = isPortrait_;
    isPortrait_ = false;
    const double w = bounds().width();
    const double h = bounds().height();
    if (turning && h > 0) {
        point1_ *= w / h;
        point2_ *= w / h;
    }
    scan();
    setNeedsDisplay();
}

void FuelGraphView::changeToPortrait()
{
    const bool turning = !isPortrait_;
    isPortrait_ = true;
    const double w = bounds().width();
    const double h = bounds().height();
    if (turning && w > 0) {
        point1_ *= h / w;
        point2_ *= h / w;
    }
    scan();
    setNeedsDisplay();
}

FuelGraphView::Layout FuelGraphView::layout() const
{
    Layout l{};
    l.width = bounds().width();
    l.height = bounds().height();
    l.gw = 0.9 * l.width;
    l.x0 = 0.025 * l.width;
    l.x1 = l.gw + l.x0;
    l.gh = 0.77 * l.height;
    l.base = l.gh + top;
    l.days = rangeDayCount(graphMode_);
    l.dx = l.gw / l.days;
    l.s = l.dx > 0 ? graphDragOffset_ / l.dx : 0;
    l.whole = static_cast<int>(l.s);
    l.frac = l.dx * (static_cast<float>(l.s) - l.whole);
    return l;
}

double FuelGraphView::yOf(const Layout& l, float value) const
{
    const float span = max_ - min_ > 0 ? max_ - min_ : 1;
    return (l.gh - l.gh * (value - min_) / span) + top;
}

std::vector<std::string> FuelGraphView::scannedDayKeys() const
{
    const Layout l = layout();
    const fnd::DateFormatter formatter("MMM d, yyyy");
    const fnd::Date today = fnd::Date::now();
    std::vector<std::string> keys;
    for (int k = 0; k <= l.days; ++k)
        keys.push_back(formatter.stringFromDate(fnd::Calendar::dateByAddingDays(today, -(l.whole + k))));
    return keys;
}

void FuelGraphView::scan()
{
    const Layout l = layout();
    pointMap_.clear();
    logIndexOf_.clear();
    points_.clear();
    selectedA_.reset();
    selectedB_.reset();
    rangeAverage_ = 0;
    selectionText_.clear();

    std::unordered_map<std::string, std::size_t> logged;
    const std::size_t entries = std::min({dateArr.size(), dataArr.size(), searchedEntries + 1});
    for (std::size_t i = 0; i < entries; ++i)
        logged.emplace(dateArr[i], i);
    const std::vector<std::string> keys = scannedDayKeys();
    for (int k = 0; k <= l.days; ++k) {
        const auto found = logged.find(keys[static_cast<std::size_t>(k)]);
        if (found == logged.end())
            continue;
        const ui::Point point{xOf(l, k), yOf(l, dataArr[found->second])};
        points_.push_back(point);
        pointMap_[k] = point;
        logIndexOf_[k] = found->second;
    }
    if (points_.empty())
        return;

    if (point1_ > 0 && point2_ == 0) {
        selectedA_ = nearestDay(point1_);
        const std::size_t index = logIndexOf_[*selectedA_];
        beginIndex_ = endIndex_ = logPosition(*selectedA_);
        selectionText_ = fnd::format("%.1f", dataArr[index]) + " " + dateArr[index];
    } else if (point2_ > 0) {
        const int a = *nearestDay(point1_);
        const int b = *nearestDay(point2_);
        selectedA_ = a;
        selectedB_ = b;
        const int newer = std::min(a, b);
        const int older = std::max(a, b);
        float sum = 0;
        int count = 0;
        for (auto it = pointMap_.lower_bound(newer); it != pointMap_.end() && it->first <= older; ++it) {
            sum += dataArr[logIndexOf_[it->first]];
            ++count;
        }
        rangeAverage_ = count > 0 ? sum / static_cast<float>(count) : 0;
        endIndex_ = logPosition(older);
        beginIndex_ = logPosition(newer);
        selectionText_ = dateArr[logIndexOf_[older]] + " - " + dateArr[logIndexOf_[newer]];
    }
}

std::optional<int> FuelGraphView::nearestDay(double x) const
{
    std::optional<int> nearest;
    double best = nearestSearchStart;
    for (const auto& [k, point] : pointMap_) {
        const double distance = std::abs(point.x - x);
        if (distance < best) {
            best = distance;
            nearest = k;
        }
    }
    if (!nearest && !pointMap_.empty())
        nearest = pointMap_.begin()->first;
    return nearest;
}

int FuelGraphView::logPosition(int dayOffset) const
{
    const auto found = logIndexOf_.find(dayOffset);
    if (found == logIndexOf_.end())
        return 0;
    return static_cast<int>(dateArr.size()) - 1 - static_cast<int>(found->second);
}

void FuelGraphView::queueRangeReport(bool force)
{
    if (point1_ <= 0 || points_.empty())
        return;
    fnd::DispatchQueue::main().async([weak = weak_from_this(), force] {
        const auto self = std::static_pointer_cast<FuelGraphView>(weak.lock());
        if (!self || !self->delegate_)
            return;
        if (!force && self->beginIndex_ == self->prevBegin_ && self->endIndex_ == self->prevEnd_)
            return;
        self->prevBegin_ = self->beginIndex_;
        self->prevEnd_ = self->endIndex_;
        self->delegate_->graphDidUpdateRange(*self);
    });
}

std::size_t FuelGraphView::fingersOnView(const std::vector<ui::Touch>& touches) const
{
    std::size_t fingers = touches.size();
    if (const auto* host = dynamic_cast<const ui::Window*>(window()))
        fingers = std::max(fingers, host->touchesForView(this).size());
    return fingers;
}

void FuelGraphView::takeTouches(const std::vector<ui::Touch>& touches, double within)
{
    if (touches.size() >= 2) {
        point1_ = touches[0].locationInView(this).x;
        point2_ = touches[1].locationInView(this).x;
        return;
    }
    if (touches.empty())
        return;
    const double x = touches[0].locationInView(this).x;
    if (std::abs(point1_ - x) <= within)
        point1_ = x;
    else if (std::abs(point2_ - x) <= within)
        point2_ = x;
}

void FuelGraphView::touchesBegan(const std::vector<ui::Touch>& touches)
{
    touchBegan_ = true;
    if (fingersOnView(touches) < 2 && !touches.empty()) {
        point1_ = touches[0].locationInView(this).x;
        point2_ = 0;
    } else {
        takeTouches(touches, 10.0);
    }
    scan();
    setNeedsDisplay();
    queueRangeReport(true);
    if (delegate_)
        delegate_->touchHasStarted(*this);
}

void FuelGraphView::touchesMoved(const std::vector<ui::Touch>& touches)
{
    touchBegan_ = false;
    if (fingersOnView(touches) < 2 && !touches.empty()) {
        const ui::Touch& touch = touches[0];
        if (isScrollEnabled_) {
            const float moved = static_cast<float>(touch.locationInView(this).x - touch.previousLocationInView(this).x);
            graphDragOffset_ = static_cast<float>(graphDragOffset_) + moved;
            if (graphDragOffset_ < 0) {
                // Scrolled past today: the window stays where it is.
                graphDragOffset_ = 0;
                return;
            }
        }
        point1_ = touch.locationInView(this).x;
        point2_ = 0;
    } else {
        takeTouches(touches, 25.0);
    }
    scan();
    setNeedsDisplay();
    queueRangeReport(false);
}

void FuelGraphView::touchesEnded(const std::vector<ui::Touch>&)
{
    touchBegan_ = false;
    point1_ = 0;
    point2_ = 0;
    scan();
    setNeedsDisplay();
    if (delegate_)
        delegate_->touchHasEnded(*this);
}

bool FuelGraphView::keepsGesture(const ui::GestureRecognizer& recognizer) const
{
    return recognizer.view() != this && recognizer.isSidewaysSwipe();
}
