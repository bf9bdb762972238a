#include "fuel/GraphViewCon.h"

#include "core/model/Manager.h"
#include "core/model/MethodClass.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TableViewCell.h"

namespace {

const ui::Color valueGreen = ui::Color::rgb(0.255, 0.659, 0.502);
const ui::Color valueRed = ui::Color::rgb(0.706, 0, 0.176);
const ui::Color lightRow = ui::Color::rgb(1.0, 0.945, 0.824);
const char* const titleFont = "DigitalSans NowEF ML Demo";
const char* const valueFont = "Digital-Serial";

std::shared_ptr<ui::Label> addLabel(ui::View& parent, const std::string& text, ui::Rect frame, ui::Font font,
                                    ui::Color color, ui::TextAlignment alignment = ui::TextAlignment::Left)
{
    auto label = std::make_shared<ui::Label>(frame);
    label->setText(text);
    label->setFont(std::move(font));
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    label->setAdjustsFontSizeToFitWidth(true);
    parent.addSubview(label);
    return label;
}

}  // namespace

GraphViewCon::GraphViewCon()
{
    theme_ = Manager::sharedManager().setting().theme;
    auto title = std::make_shared<ui::Label>(ui::makeRect(0, 0, 120, 30));
    title->setText(fnd::L("Trends"));
    title->setFont(ui::Font::named("Digital-Serial DB", 17));
    title->setTextColor(theme_ == 1 ? ui::Color::black() : ui::Color::white());
    title->setTextAlignment(ui::TextAlignment::Center);
    navigationItem().setTitleView(title);
    // The fuel screen saves the trip as the user comes here from it, and goes on saving while this shows.
    logSavedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        fuelLogSavedNotification, [this](const fnd::Notification&) {
            if (isViewLoaded())
                loadData();
        });
}

GraphViewCon::~GraphViewCon()
{
    *alive_ = false;
    if (gView_)
        gView_->setDelegate(nullptr);
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    if (composer_)
        composer_->setDelegate(nullptr);
}

void GraphViewCon::viewDidLoad()
{
    const ui::Rect screen = ui::Device::current().screenBounds();
    const double shortSide = std::min(screen.width(), screen.height());
    const double longSide = std::max(screen.width(), screen.height());
    const bool light = theme_ == 1;
    view()->setBackgroundColor(light ? ui::Color::rgb(1.0, 0.945, 0.863) : ui::Color::black());

    gView_ = std::make_shared<FuelGraphView>(ui::makeRect(0, topOffset_, shortSide, chartHeight), theme_);
    gView_->toggleScrolling();
    gView_->setDelegate(this);
    view()->addSubview(gView_);
    addMenuSwipes(*view());
    addMenuEdgePan(*view());
    // On a phone on its side the tab bar is hidden: a tap brings it back to reach the Fuel tab.
    view()->addGestureRecognizer(
        std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) { bars_.peek(); }));

    const std::vector<std::string> longTitles{fnd::L("Two weeks"), fnd::L("One month"), fnd::L("Three months"),
                                              fnd::L("Six months"), fnd::L("One year")};
    const std::vector<std::string> shortTitles{fnd::L("2W"), fnd::L("1M"), fnd::L("3M"), fnd::L("6M"), fnd::L("1Y")};
    graphModeSegCon_ = std::make_shared<ui::SegmentedControl>(longTitles);
    graphModeSegCon2_ = std::make_shared<ui::SegmentedControl>(shortTitles);
    for (const auto& control : {graphModeSegCon_, graphModeSegCon2_}) {
        control->setSelectedSegmentIndex(0);
        control->setTintColor(light ? ui::Color::black() : ui::Color::lightGray());
        control->addTarget(ui::ControlEvent::ValueChanged,
                           [this](ui::Control& sender) { pickOne(static_cast<ui::SegmentedControl&>(sender)); });
        view()->addSubview(control);
    }

    table_ = std::make_shared<ui::TableView>(
        ui::makeRect(0, topOffset_ + chartHeight, shortSide, longSide - topOffset_ - chartHeight),
        ui::TableViewStyle::Grouped);
    table_->setBackgroundColor(light ? ui::Color::white(0.08) : ui::Color::black());
    table_->setSeparatorColor(light ? ui::Color::black() : ui::Color::darkGray());
    table_->setContentInset({-35.0, 0, 0, 0});
    table_->setDataSource(this);
    table_->setDelegate(this);
    view()->addSubview(table_);

    if (ui::Device::current().isPad())
        buildStrip();

    navigationItem().setLeftBarButtonItem(makeMenuButton());
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::SystemItem::Action, [this](ui::BarButtonItem&) { displayOptions(); }));
}

void GraphViewCon::buildStrip()
{
    const ui::Rect screen = ui::Device::current().screenBounds();
    const double longSide = std::max(screen.width(), screen.height());
    const double shortSide = std::min(screen.width(), screen.height());
    const double height = shortSide / 5;
    const bool light = theme_ == 1;
    strip_ = std::make_shared<ui::View>(ui::makeRect(0, shortSide - height, longSide, height));
    strip_->setBackgroundColor(light ? lightRow : ui::Color::black());
    const char* const titles[] = {"Min", "Max", "Fuel", "Distance", "CO2", "Avg. speed", "Cost"};
    const double column = longSide / 7;
    for (int i = 0; i < 7; ++i) {
        const double x = i * column;
        addLabel(*strip_, fnd::L(titles[i]), ui::makeRect(x, 0.08 * height, column, 0.22 * height),
                 ui::Font::named("Digital-Serial DB", 0.16 * height), light ? ui::Color::darkGray() : ui::Color::gray(),
                 ui::TextAlignment::Center);
        stripValues_.push_back(addLabel(*strip_, "0.0", ui::makeRect(x, 0.32 * height, column, 0.36 * height),
                                        ui::Font::named(valueFont, 0.3 * height),
                                        light ? ui::Color::black() : ui::Color::lightGray(), ui::TextAlignment::Center));
        stripUnits_.push_back(addLabel(*strip_, "", ui::makeRect(x, 0.7 * height, column, 0.22 * height),
                                       ui::Font::named("HelveticaNeue-Thin", 0.15 * height),
                                       light ? ui::Color::darkGray() : ui::Color::gray(), ui::TextAlignment::Center));
    }
    strip_->setHidden(true);
    view()->addSubview(strip_);
}

void GraphViewCon::viewWillAppear(bool animated)
{
    TemplateViewCon::viewWillAppear(animated);
    loadData();
}

void GraphViewCon::viewWillDisappear(bool animated)
{
    TemplateViewCon::viewWillDisappear(animated);
    bars_.cancel();
}

void GraphViewCon::loadData()
{
    mode_ = Manager::sharedManager().setting().fuelUnitsMode;
    log_ = TrendLog::fromFuelData();
    setUnitTexts();
    gView_->dataArr = log_.dataArr;
    gView_->dateArr = log_.dateArr;
    gView_->updateMetrics(mode_);
    // The selection goes, and with it its days; its figures stay until the next one. A finger still on
    // the chart keeps its selection.
    if (!touching_) {
        gView_->resetData();
        stats_.fromDateStr.clear();
        stats_.toDateStr.clear();
    }
    table_->reloadData();
}

void GraphViewCon::setUnitTexts()
{
    const bool metric = mode_ == 1 || mode_ == 2;
    unitsStr_ = mode_ == 1 ? "kpl" : mode_ == 2 ? "l/100 km" : "mpg";
    fuelUnitStr_ = metric ? "lit." : "gal.";
    speedUnitStr_ = metric ? "km/h" : "mph";
    distUnitStr_ = metric ? "km" : "mil.";
    weightUnitStr_ = metric ? "kg" : "lb.";
    unitsArr_ = {fuelUnitStr_, "$", distUnitStr_, metric ? "kg" : "lb", speedUnitStr_};
    if (!stripUnits_.empty()) {
        const std::string units[] = {unitsStr_, unitsStr_, fuelUnitStr_, distUnitStr_, weightUnitStr_, speedUnitStr_,
                                     "$"};
        for (std::size_t i = 0; i < stripUnits_.size(); ++i)
            stripUnits_[i]->setText(units[i]);
    }
}

void GraphViewCon::pickOne(ui::SegmentedControl& control)
{
    const int segment = control.selectedSegmentIndex();
    ui::SegmentedControl& other = &control == graphModeSegCon_.get() ? *graphModeSegCon2_ : *graphModeSegCon_;
    other.setSelectedSegmentIndex(segment);
    gView_->changeGraphMode(segment);
}

ui::SegmentedControl* GraphViewCon::rangeControl(bool landscape) const
{
    return landscape ? graphModeSegCon_.get() : graphModeSegCon2_.get();
}

void GraphViewCon::graphDidUpdateRange(FuelGraphView& view)
{
    // The statistics run on a copy, away from the main thread; only the result comes back to it.
    const int lo = view.endIndex();
    const int hi = view.beginIndex();
    const int mode = mode_;
    const bool metric = mode == 1 || mode == 2;
    const float co2PerFuel =
        metric ? MethodClass::convertFuelToCO2(1.0f) : MethodClass::convertFuelToCO2(3.78541f) * 2.2046f;
    statsQueue_.async([log = log_, lo, hi, mode, co2PerFuel, alive = std::weak_ptr<bool>(alive_), this] {
        const TrendStats stats = TrendStats::compute(log, lo, hi, mode, co2PerFuel);
        fnd::DispatchQueue::main().async([alive, stats, this] {
            if (const auto living = alive.lock(); living && *living)
                showStats(stats);
        });
    });
}

void GraphViewCon::showStats(const TrendStats& stats)
{
    stats_ = stats;
    if (!stripValues_.empty()) {
        const std::vector<std::string> texts = stripTexts();
        for (std::size_t i = 0; i < stripValues_.size(); ++i)
            stripValues_[i]->setText(texts[i]);
    }
    table_->reloadData();
}

std::vector<std::string> GraphViewCon::stripTexts() const
{
    return {fnd::format("%.1f", stats_.min),     fnd::format("%.1f", stats_.max),
            fnd::format("%.1f", stats_.fuelVal), fnd::format("%.1f", stats_.distance),
            fnd::format("%.1f", stats_.co2),     fnd::format("%d", static_cast<int>(stats_.avgSpeed)),
            fnd::format("%.1f", stats_.fuelCost)};
}

void GraphViewCon::touchHasStarted(FuelGraphView&)
{
    touching_ = true;
    const ui::Size screen = ui::Device::current().screenSize();
    rangeControl(screen.width > screen.height)->setHidden(true);
}

void GraphViewCon::touchHasEnded(FuelGraphView&)
{
    touching_ = false;
    const ui::Size screen = ui::Device::current().screenSize();
    rangeControl(screen.width > screen.height)->setHidden(false);
}

int GraphViewCon::numberOfRowsInSection(ui::TableView&, int) { return 7; }

double GraphViewCon::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    return indexPath.row == 1 ? 55.0 : 47.0;
}

std::vector<std::string> GraphViewCon::rowTexts(int row) const
{
    const std::array<float, 5> values{stats_.fuelVal, stats_.fuelCost, stats_.distance, stats_.co2, stats_.avgSpeed};
    const char* const labels[] = {"Fuel consumed", "Fuel cost", "Distance", "CO2 produced", "Avg. speed"};
    if (row == 0)
        return {fnd::L("From"), fnd::L("To"), stats_.fromDateStr, stats_.toDateStr};
    if (row == 1) {
        const int whole = static_cast<int>(stats_.average);
        return {fnd::L("Average"),
                unitsStr_,
                fnd::format("%d.", whole),
                fnd::format("%d", static_cast<int>((stats_.average - static_cast<float>(whole)) * 10)),
                ChangeText::of(stats_.diffArr[0], true, ui::Color::lightGray()).text,
                fnd::L("Max"),
                fnd::format("%.1f", stats_.max),
                fnd::L("Min"),
                fnd::format("%.1f", stats_.min)};
    }
    if (row < 2 || row > 6)
        return {};
    const auto i = static_cast<std::size_t>(row - 2);
    return {fnd::L(labels[i]), fnd::format("%.1f %s", values[i], unitsArr_[i]),
            ChangeText::of(stats_.diffArr[i + 1], false, ui::Color::white()).text};
}

std::shared_ptr<ui::TableViewCell> GraphViewCon::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    const bool light = theme_ == 1;
    const ui::Color textColor = light ? ui::Color::white(0.1) : ui::Color::lightGray();
    const ui::Color valueColor = light ? ui::Color::white(0.15) : ui::Color::white(0.85);
    auto cell = std::make_shared<ui::TableViewCell>();
    cell->setBackgroundColor(light ? lightRow : ui::Color::black());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    ui::View& content = *cell->contentView();
    const double w = table.bounds().width();
    const std::vector<std::string> texts = rowTexts(indexPath.row);
    const auto font = [](const char* name, double size) { return ui::Font::named(name, size); };

    if (indexPath.row == 0) {
        addLabel(content, texts[0], ui::makeRect(15, 4, w / 2 - 20, 18), font(titleFont, 15), textColor);
        addLabel(content, texts[1], ui::makeRect(w / 2 + 15, 4, w / 2 - 20, 18), font(titleFont, 15), textColor);
        addLabel(content, texts[2], ui::makeRect(15, 24, w / 2 - 20, 18), font(valueFont, 15), valueColor);
        addLabel(content, texts[3], ui::makeRect(w / 2 + 15, 24, w / 2 - 20, 18), font(valueFont, 15), valueColor);
    } else if (indexPath.row == 1) {
        addLabel(content, texts[0], ui::makeRect(15, 6, 90, 20), font(titleFont, 15), textColor);
        addLabel(content, texts[1], ui::makeRect(15, 28, 90, 20), font(titleFont, 13), textColor);
        addLabel(content, texts[2], ui::makeRect(95, 8, 70, 38), font(valueFont, 30), valueColor,
                 ui::TextAlignment::Right);
        addLabel(content, texts[3], ui::makeRect(166, 20, 24, 24), font(valueFont, 17), valueColor);
        const ChangeText change = ChangeText::of(stats_.diffArr[0], true, ui::Color::lightGray());
        addLabel(content, change.text, ui::makeRect(w / 2 + 15 - 20, 14, 80, 26), font(titleFont, 20), change.color);
        addLabel(content, texts[5], ui::makeRect(w - 125, 6, 50, 20), font(titleFont, 15), textColor,
                 ui::TextAlignment::Right);
        addLabel(content, texts[7], ui::makeRect(w - 125, 29, 50, 20), font(titleFont, 15), textColor,
                 ui::TextAlignment::Right);
        addLabel(content, texts[6], ui::makeRect(w - 70, 6, 60, 20), font(valueFont, 17), valueGreen);
        addLabel(content, texts[8], ui::makeRect(w - 70, 29, 60, 20), font(valueFont, 17), valueRed);
    } else {
        const auto i = static_cast<std::size_t>(indexPath.row - 2);
        addLabel(content, texts[0], ui::makeRect(15, 3, w / 2, 18), font(titleFont, 13), textColor);
        addLabel(content, texts[1], ui::makeRect(15, 22, w / 2 - 15, 22), font(valueFont, 18), valueColor);
        const ChangeText change = ChangeText::of(stats_.diffArr[i + 1], false, valueColor);
        addLabel(content, change.text, ui::makeRect(w / 2 + 15, 10, w / 2 - 30, 26), font(titleFont, 20),
                 change.color);
    }
    return cell;
}
