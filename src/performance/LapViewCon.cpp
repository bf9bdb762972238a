#include "performance/LapViewCon.h"

#include <algorithm>
#include <cmath>

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/Device.h"
#include "performance/NavigationBarBottom.h"
#include "performance/StyledBarButton.h"
#include "platform/ui/TableViewCell.h"

namespace {

std::string timeText(float t)
{
    const int minutes = static_cast<int>(std::trunc(t / 600)) % 60;
    const int seconds = static_cast<int>(std::trunc(t / 10)) % 60;
    const int tenths = static_cast<int>(std::fmod(t, 10.0f));
    return fnd::format("%02d:%02d.%01d", minutes, seconds, tenths);
}

std::shared_ptr<ui::Label> makeLabel(const std::string& text, const char* font, double size, ui::Color color)
{
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(ui::Font::named(font, size));
    label->setTextColor(color);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setBackgroundColor(ui::Color::clear());
    return label;
}

}  // namespace

LapViewCon::LapViewCon(const std::vector<Lap>& laps, int averageSpeed, float distance)
    : averageSpeed_(averageSpeed), distance_(distance)
{
    auto title = makeLabel(fnd::L("Lap times"), "Digital-Serial", 17, ui::Color::lightGray());
    title->sizeToFit();
    navigationItem().setTitleView(title);
    const auto& units = Manager::sharedManager().userData().unitsArr;
    const bool metric = !(units.size() > 9 && units[9] == 0);
    distUnitStr_ = metric ? "km" : "mil";
    speedUnitStr_ = metric ? "km/h" : "mph";
    float best = 10000000.0f;
    float total = 0;
    for (std::size_t i = 0; i < laps.size(); ++i) {
        const float t = laps[i].time;
        timeArr_.push_back(t);
        dataArr_.push_back(timeText(t));
        maxSpeedArr_.push_back(laps[i].getMaxSpeed());
        if (t < best) {
            bestLapStr_ = dataArr_.back();
            bestLapIndex_ = static_cast<int>(i);
            best = t;
        }
        total += t;
    }
    totalTimeStr_ = fnd::format("%02d h %02d min", static_cast<int>(std::trunc(total / 36000)) % 24,
                                static_cast<int>(std::trunc(total / 600)) % 60);
    navigationItem().setLeftBarButtonItem(
        styledBarButton(ui::SystemItem::Done, "Digital-Serial", ui::Color::white(0.8), [this] { dismissViewCon(); }));
}

LapViewCon::~LapViewCon()
{
    if (tB_) {
        tB_->setDataSource(nullptr);
        tB_->setDelegate(nullptr);
    }
}

std::string LapViewCon::getGapStr(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= timeArr_.size())
        return {};
    const float d = timeArr_[static_cast<std::size_t>(row)] - timeArr_[static_cast<std::size_t>(bestLapIndex_)];
    const int tenths = static_cast<int>(std::fmod(d, 10.0f));
    const int seconds = static_cast<int>(std::trunc(d / 10)) % 60;
    return fnd::format(d == 0 ? "%02d.%01d" : "+%02d.%01d", seconds, tenths);
}

std::string LapViewCon::distanceText() const { return fnd::format("%.1f %s", distance_, distUnitStr_); }
std::string LapViewCon::averageSpeedText() const { return fnd::format("%d %s", averageSpeed_, speedUnitStr_); }

std::vector<std::string> LapViewCon::rowTexts(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    return {fnd::format("%d", row + 1), dataArr_[r], getGapStr(row),
            fnd::format("%d %s", maxSpeedArr_[r], speedUnitStr_)};
}

ui::Color LapViewCon::rowHighlight(int row) const
{
    return row == bestLapIndex_ ? ui::Color::rgb255(13, 75, 177, 0.5) : ui::Color::rgb255(180, 0, 45);
}

void LapViewCon::viewDidLoad()
{
    view()->setBackgroundColor(ui::Color::rgb255(10, 10, 10));
    topView_ = std::make_shared<ui::View>();
    topView_->setBackgroundColor(ui::Color::white(0.12));
    lowerBorder_ = std::make_shared<ui::View>();
    lowerBorder_->setBackgroundColor(ui::Color::rgb255(180, 0, 40, 0.7));
    topView_->addSubview(lowerBorder_);
    view()->addSubview(topView_);
    const std::pair<const char*, std::string> figures[] = {{"Time", totalTimeStr_},
                                                           {"Best lap", bestLapStr_},
                                                           {"Distance", distanceText()},
                                                           {"Average speed", averageSpeedText()}};
    for (const auto& [caption, value] : figures) {
        auto c = makeLabel(fnd::L(caption), "Digital-Serial DB", 12, ui::Color::lightGray());
        auto v = makeLabel(value, "Digital-Serial", 18, ui::Color::white());
        topView_->addSubview(c);
        topView_->addSubview(v);
        pairs_.emplace_back(c, v);
    }
    tB_ = std::make_shared<ui::TableView>(ui::Rect{}, ui::TableViewStyle::Grouped);
    tB_->setBackgroundColor(ui::Color::rgb255(10, 10, 10));
    tB_->setSeparatorColor(ui::Color::black());
    tB_->setDataSource(this);
    tB_->setDelegate(this);
    view()->addSubview(tB_);
}

void LapViewCon::viewDidLayoutSubviews()
{
    changeTheViewToPortrait(!ui::isLandscape(ui::Device::current().interfaceOrientation()), 0);
}

void LapViewCon::changeTheViewToPortrait(bool portrait, double)
{
    if (!topView_)
        return;
    const ui::Size screen = ui::Device::current().screenSize();
    const double s = std::min(screen.width, screen.height);
    const double l = std::max(screen.width, screen.height);
    const ui::Size size = view()->bounds().size;
    const double b = size.height > size.width ? 0.3 * size.width : 0.2 * size.height;
    for (auto& [caption, value] : pairs_) {
        caption->setFont(caption->font().withSize(0.13 * b));
        value->setFont(value->font().withSize(0.2 * b));
    }
    if (portrait) {
        const double p = 0.2 * l;
        const double top = navigationBarBottom(*this);
        topView_->setFrame({0, top, s, p});
        tB_->setFrame({0, p + top + 1, s, size.height - p - top - 1});
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            const double x = (i % 2) * s / 2;
            const double row = i < 2 ? 0 : 0.5 * p - 5;
            pairs_[i].second->setFrame({x, 5 + row, s / 2, 0.2 * p});
            pairs_[i].first->setFrame({x, 0.2 * p + 5 + row, s / 2, 0.15 * p});
        }
        lowerBorder_->setFrame({0, p - 3, s, 3});
    } else {
        const double p = 0.16 * s;
        // Below the bar wherever it ends: a pad's status bar puts it lower than on a phone on its side.
        const double top = navigationBarBottom(*this, 35);
        topView_->setFrame({0, top, l, p});
        tB_->setFrame({0, p + top, l, 0.8 * s - 26});
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            pairs_[i].second->setFrame({i * l / 4, 8, l / 4, 0.35 * p});
            pairs_[i].first->setFrame({i * l / 4, 0.5 * p, l / 4, 0.25 * p});
        }
        lowerBorder_->setFrame({0, p - 3, l, 3});
    }
}

std::shared_ptr<ui::View> LapViewCon::viewForHeaderInSection(ui::TableView& table, int)
{
    const double w = table.bounds().size.width;
    auto header = std::make_shared<ui::View>(ui::Rect{0, 0, w, 30});
    const std::pair<const char*, std::pair<double, double>> columns[] = {
        {"Lap", {0, w / 6}}, {"Time", {w / 6, w / 3}}, {"Diff", {w / 2, w / 4}}, {"Max speed", {0.75 * w, w / 4}}};
    for (const auto& [title, span] : columns) {
        auto label = makeLabel(fnd::L(title), "Digital-Serial DB", title == std::string("Max speed") ? 15 : 16,
                               ui::Color::lightGray());
        label->setFrame({span.first, 0, span.second, 30});
        header->addSubview(label);
    }
    return header;
}

std::shared_ptr<ui::TableViewCell> LapViewCon::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Value1, "Cell");
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    const double w = table.bounds().size.width;
    const auto texts = rowTexts(indexPath.row);
    const ui::Color highlight = rowHighlight(indexPath.row);
    const double xs[] = {0, w / 6, w / 2, 0.75 * w};
    const double ws[] = {w / 6, w / 3, w / 4, w / 4};
    const char* fonts[] = {"Digital-Serial DB", "Digital-Serial DB", "Digital-Serial", "Digital-Serial"};
    const double sizes[] = {23, 23, 23, 18};
    for (std::size_t i = 0; i < 4; ++i) {
        auto label = makeLabel(texts[i], fonts[i], sizes[i], ui::Color::white(0.8));
        label->setFrame({xs[i] + 1, 1, ws[i] - 2, 42});
        label->setBackgroundColor(i == 0 ? ui::Color::white(0.15) : highlight);
        cell->contentView()->addSubview(label);
    }
    return cell;
}

void LapViewCon::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(ui::Color::black());
}

void LapViewCon::dismissViewCon() { dismissViewController(true); }
