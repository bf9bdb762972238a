#include "logging/ListViewController.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "logging/PollSchedule.h"
#include "core/model/ReplyRouting.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "core/Notifications.h"

namespace {

constexpr const char* cellIdentifier = "CustomCell";
constexpr double tableTop = 26;

std::shared_ptr<ui::Label> titleLabel(const char* font)
{
    auto label = std::make_shared<ui::Label>(ui::makeRect(0, 0, 120, 19));
    label->setText(fnd::L("Gauge list"));
    label->setFont(ui::Font::named(font, 17));
    label->setTextColor(ui::Color::white());
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setBackgroundColor(ui::Color::clear());
    return label;
}

}  // namespace

ListViewController::ListViewController()
{
    theme_ = Manager::sharedManager().setting().theme;
    navigationItem().setTitleView(titleLabel("Digital-Serial DB"));
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::SystemItem::Add, [this](ui::BarButtonItem&) { loadSensorList(); }));
    modifiedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        gaugeModifiedNotification, [this](const fnd::Notification&) { gaugesModified(); });
    droppedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [this](const fnd::Notification&) { fuel_.stop(); });
}

ListViewController::~ListViewController()
{
    hideBar_.cancel();
    releaseLink(PolledList::Clear);
    for (const auto& table : {tb1_, tb2_}) {
        if (table) {
            table->setDataSource(nullptr);
            table->setDelegate(nullptr);
        }
    }
}

bool ListViewController::isPad() const
{
    return ui::Device::current().isPad();
}

void ListViewController::viewDidLoad()
{
    view()->setBackgroundColor(ui::Color::black());
    loadViews();
    view()->addGestureRecognizer(
        std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) { slideMenuBar(); }));
}

void ListViewController::loadViews()
{
    const ui::Rect bounds = view()->bounds();
    const double w = bounds.size.width;
    const double h = bounds.size.height;
    const auto makeTable = [&](ui::Rect frame, bool leftOfPad) {
        auto table = std::make_shared<ui::TableView>(frame, ui::TableViewStyle::Grouped);
        table->setDataSource(this);
        table->setDelegate(this);
        table->setContentInset({3, 0, 0, 0});
        table->setSeparatorStyle(ui::TableViewSeparatorStyle::None);
        if (theme_ == 0)
            table->setBackgroundColor(ui::Color::rgb(0, 0.529, 0.647, 0.6));
        else
            table->setBackgroundColor(leftOfPad ? ui::Color::rgb(1.0, 0.945, 0.886) : ui::Color::gray());
        if (isPad())
            table->setBorder(1, ui::Color::rgb(0.2, 0.7098, 0.8824, 0.4));
        table->registerClass(
            [this] {
                const double width = isPad() ? tb1_->bounds().size.width : tb1_->bounds().size.width;
                return std::make_shared<GaugeCell>(width, theme_, cellIdentifier);
            },
            cellIdentifier);
        addMenuSwipes(*table);
        view()->addSubview(table);
        return table;
    };
    if (isPad()) {
        tb1_ = makeTable(ui::makeRect(0, tableTop, w / 2, h - 28), true);
        tb2_ = makeTable(ui::makeRect(w / 2, tableTop, w / 2, h - 28), false);
    } else {
        tb1_ = makeTable(ui::makeRect(0, tableTop, w, h - 28), false);
        tb2_.reset();
    }

    noGaugesLabel_ = std::make_shared<ui::Label>(ui::makeRect(0, h / 2 - 80, w, 120));
    noGaugesLabel_->setText(fnd::L("No gauges\nTap '+' to add"));
    noGaugesLabel_->setFont(ui::Font::named("Digital-Serial DB", 25));
    noGaugesLabel_->setTextColor(ui::Color::lightGray());
    noGaugesLabel_->setTextAlignment(ui::TextAlignment::Center);
    noGaugesLabel_->setNumberOfLines(0);
    noGaugesLabel_->setBackgroundColor(ui::Color::clear());
    view()->addSubview(noGaugesLabel_);

    topNavBar_ = std::make_shared<ui::NavigationBar>();
    topNavBar_->setFrame(ui::makeRect(0, -46, w, 44));
    topNavBar_->setBarTintColor(ui::Color::rgb(0.2, 0.7098, 0.8824));
    topItem_.setTitleView(titleLabel("DigitalSans NowEF ML Demo"));
    topItem_.setLeftBarButtonItem(makeMenuButton());
    topItem_.setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::SystemItem::Add, [this](ui::BarButtonItem&) { loadSensorList(); }));
    topNavBar_->showItem(&topItem_, std::nullopt);
    view()->addSubview(topNavBar_);
}

void ListViewController::viewDidAppear(bool animated)
{
    // The row count is what the rebuild made of the list (it leaves out sensors that no longer
    // exist), never the length of the list itself.
    if (firstLaunch_) {
        firstLaunch_ = false;
        loadData();
    }
    if (gaugeCount_ == 0)
        slideMenuBar();
    startScanning();
    TemplateViewCon::viewDidAppear(animated);
}

void ListViewController::viewWillDisappear(bool animated)
{
    // The fuel timers stop whether or not the link is still up.
    fuel_.stop();
    releaseLink(PolledList::Clear);
    stopTimers();
    TemplateViewCon::viewWillDisappear(animated);
}

void ListViewController::loadData()
{
    loadViewIfNeeded();
    const auto link = scanner();
    const std::vector<int>& sensors = Manager::sharedManager().setting().gaugeListArr;
    rows_.clear();
    pidMap_.clear();
    decoder_ = SensorDecoder();
    std::vector<Command> commands;
    for (int s : sensors) {
        std::optional<SensorPlan> plan;
        if (link)
            plan = planSensor(s, link.get(), SensorName::Short, decoder_.fuelMethod());
        // A row whose custom sensor was deleted is left out.
        if (!plan)
            continue;
        const int r = static_cast<int>(rows_.size());
        addRoutes(pidMap_, r, plan->commands);
        commands.insert(commands.end(), plan->commands.begin(), plan->commands.end());
        if (s == fuelEconomySensor)
            fuelBgTracking_ = true;
        Row row;
        row.min = static_cast<int>(plan->min);
        row.max = static_cast<int>(plan->max);
        row.plan = std::move(*plan);
        rows_.push_back(std::move(row));
    }
    gaugeCount_ = static_cast<int>(rows_.size());
    noGaugesLabel_->setHidden(gaugeCount_ > 0);
    commandArr_ = std::move(commands);
    if (tb2_)
        tb2_->reloadData();
    tb1_->reloadData();
}

int ListViewController::numberOfSectionsInTableView(ui::TableView& table)
{
    if (!isPad())
        return gaugeCount_;
    return &table == tb1_.get() ? gaugeCount_ - gaugeCount_ / 2 : gaugeCount_ / 2;
}

int ListViewController::rowFor(const ui::TableView& table, int section) const
{
    if (!isPad())
        return section;
    return &table == tb1_.get() ? 2 * section : 2 * section + 1;
}

std::shared_ptr<ui::TableViewCell> ListViewController::cellForRowAtIndexPath(ui::TableView& table,
                                                                              ui::IndexPath indexPath)
{
    auto cell = std::dynamic_pointer_cast<GaugeCell>(table.dequeueReusableCellWithIdentifier(cellIdentifier));
    if (!cell)
        cell = std::make_shared<GaugeCell>(table.bounds().size.width, theme_, cellIdentifier);
    if (reloadCells_) {
        cell->setFrame(ui::makeRect(0, 0, tb1_->frame().size.width, GaugeCell::rowHeight));
        cell->reloadCell();
    }
    const int r = rowFor(table, indexPath.section);
    if (r >= 0 && r < gaugeCount_) {
        const Row& row = rows_[static_cast<std::size_t>(r)];
        cell->setDelegate(this);
        cell->setCellData(row.min, row.max, row.plan.title, row.plan.units, row.plan.sensorIndex);
        cell->setLimits(Manager::sharedManager().userData().limits(row.plan.sensorIndex));
        showState(row, *cell);
    }
    return cell;
}

// A row shows no number until its first value: a zero would look like a reading.
void ListViewController::showState(const Row& row, GaugeCell& cell) const
{
    if (row.fault != FormulaFault::None) {
        cell.showFault(formulaFaultText(row.fault));
        return;
    }
    cell.showNoValue();
    if (row.last)
        cell.updateCell(*row.last);
}

std::shared_ptr<ui::View> ListViewController::viewForHeaderInSection(ui::TableView&, int)
{
    auto view = std::make_shared<ui::View>();
    view->setBackgroundColor(ui::Color::clear());
    return view;
}

std::shared_ptr<ui::View> ListViewController::viewForFooterInSection(ui::TableView& table, int section)
{
    return viewForHeaderInSection(table, section);
}

void ListViewController::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(theme_ == 1 ? ui::Color::rgb(1.0, 0.945, 0.886) : ui::Color::black());
}

void ListViewController::cellDataDidUpdate(GaugeCell&)
{
    tb1_->reloadData();
    if (tb2_)
        tb2_->reloadData();
}

std::vector<Command> ListViewController::visibleRequests()
{
    std::optional<Command> battery;
    const auto collect = [&](ui::TableView& table) {
        std::vector<Command> out;
        for (const ui::IndexPath& path : table.indexPathsForVisibleRows()) {
            const int r = rowFor(table, path.section);
            if (r < 0 || r >= gaugeCount_)
                continue;
            for (const Command& command : rows_[static_cast<std::size_t>(r)].plan.commands) {
                if (command.isVoltageCommand)
                    battery = command;
                else
                    out.push_back(command);
            }
        }
        return out;
    };
    std::vector<Command> list = collect(*tb1_);
    if (tb2_) {
        const std::vector<Command> a = std::move(list);
        const std::vector<Command> b = collect(*tb2_);
        list.clear();
        for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            if (i < a.size())
                list.push_back(a[i]);
            if (i < b.size())
                list.push_back(b[i]);
        }
    }
    if (battery)
        list.insert(list.begin(), *battery);
    return list;
}

void ListViewController::startScanning()
{
    const auto link = scanner();
    if (!link || !link->isConnected())
        return;
    loadViewIfNeeded();
    if (firstLaunch_) {
        firstLaunch_ = false;
        loadData();
    }
    takeLink();
    if (gaugeCount_ == 0) {
        if (link->commands())
            link->setCommands(std::nullopt);
        return;
    }
    link->setInitCommands(visibleRequests(), true);
    if (fuelBgTracking_)
        fuel_.start();
}

void ListViewController::scrollingFinish()
{
    const auto link = scanner();
    if (!link || !link->isConnected() || gaugeCount_ == 0)
        return;
    std::vector<Command> list = visibleRequests();
    if (!Manager::sharedManager().setting().multiMessageCANEnabled)
        list = getCommandArray(list);
    link->setInitCommands(std::move(list), true);
}

void ListViewController::scrollViewDidEndDragging(ui::ScrollView&, bool willDecelerate)
{
    if (!willDecelerate)
        scrollingFinish();
}

void ListViewController::scrollViewDidEndDecelerating(ui::ScrollView&)
{
    scrollingFinish();
}

void ListViewController::stopTimers()
{
    for (const auto& table : {tb1_, tb2_}) {
        if (!table)
            continue;
        for (const auto& cell : table->visibleCells())
            if (auto gauge = std::dynamic_pointer_cast<GaugeCell>(cell))
                gauge->stopTimer();
    }
}

GaugeCell* ListViewController::cellForRow(int row)
{
    if (!tb1_ || row < 0 || row >= gaugeCount_)
        return nullptr;
    ui::TableView* table = tb1_.get();
    int section = row;
    if (isPad()) {
        table = row % 2 == 0 ? tb1_.get() : tb2_.get();
        section = row / 2;
    }
    return dynamic_cast<GaugeCell*>(table->cellForRowAtIndexPath({section, 0}).get());
}

void ListViewController::showValue(int row, float value)
{
    Row& shown = rows_[static_cast<std::size_t>(row)];
    shown.last = value;
    const bool recovered = shown.fault != FormulaFault::None;
    shown.fault = FormulaFault::None;
    if (GaugeCell* cell = cellForRow(row)) {
        if (recovered)
            cell->showNoValue();
        cell->updateCell(value);
    }
}

void ListViewController::showFault(int row, FormulaFault fault)
{
    Row& shown = rows_[static_cast<std::size_t>(row)];
    shown.last.reset();
    shown.fault = fault;
    if (GaugeCell* cell = cellForRow(row))
        cell->showFault(formulaFaultText(fault));
}

void ListViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    routeReplies(responses, pidMap_, decoder_, fuel_, fuelBgTracking_,
                 {[this](int r) { return rows_[static_cast<std::size_t>(r)].plan.sensorIndex; },
                  [this](int r, float value) { showValue(r, value); },
                  [this](int r, FormulaFault fault) { showFault(r, fault); }});
}

void ListViewController::scannerDidReceiveVoltage(Scanner&, const std::vector<Response>& responses)
{
    const auto battery = std::find_if(rows_.begin(), rows_.end(),
                                      [](const Row& row) { return row.plan.sensorIndex == batteryVoltageSensor; });
    if (battery == rows_.end())
        return;
    showBatteryVolts(responses, static_cast<int>(battery - rows_.begin()),
                     [this](int r, float volts) { showValue(r, volts); });
}

void ListViewController::scannerDidReceiveStatusResponse(Scanner&, const std::vector<Response>& responses)
{
    for (const Response& response : responses)
        warnings_.checkSensor(response);
}

void ListViewController::loadSensorList()
{
    auto picker = std::make_shared<SensorSelectViewController>(ui::TableViewStyle::Grouped, -1,
                                                               SensorSelectViewController::multipleChoice, false, true);
    picker->setDelegate(std::dynamic_pointer_cast<SensorSelectViewControllerDelegate>(shared_from_this()));
    auto navigation = std::make_shared<ui::NavigationController>(picker);
    navigation->navigationBar().setBarTintColor(ui::Color::white(0.149));
    navigation->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
    presentViewController(navigation, true);
}

void ListViewController::viewWillDismiss(SensorSelectViewController&)
{
    loadData();
    if (gaugeCount_ == 0)
        noGaugesLabel_->setHidden(false);
    Manager::sharedManager().saveChanges();
}

void ListViewController::slideMenuBar()
{
    if (tapDetected_)
        return;
    tapDetected_ = true;
    const ui::Rect bounds = view()->bounds();
    const double w = bounds.size.width;
    // On a phone held upright the bar pushes the rows down rather than covering the first one.
    const bool phonePortrait = !isPad() && !ui::isLandscape(ui::Device::current().interfaceOrientation());
    const ui::EdgeInsets insets = ui::safeAreaInsets(*view());
    ui::animate(0.3, [this, w, bounds, phonePortrait, insets] {
        if (!phonePortrait) {
            topNavBar_->setFrame(ui::makeRect(0, isPad() ? 10 : 0, w, 44));
            return;
        }
        const bool homeIndicator = insets.bottom > 0;
        const ui::Rect bar = homeIndicator ? ui::makeRect(0, insets.top, w, 44) : ui::makeRect(0, 0, w, 64);
        topNavBar_->setFrame(bar);
        const double top = bar.y() + bar.height();
        tb1_->setFrame(ui::makeRect(0, top, w, bounds.size.height - top));
    });
    hideBar_.cancel();
    hideBar_ = fnd::after(hideBarDelay, [this] { hideNavBar(); });
}

void ListViewController::hideNavBar()
{
    const double w = view()->bounds().size.width;
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    ui::animate(0.3,
                [this, w] {
                    topNavBar_->setFrame(ui::makeRect(0, -46, w, 44));
                    layOutTables();
                },
                [this, weak](bool) {
                    if (!weak.expired())
                        tapDetected_ = false;
                });
}

void ListViewController::viewDidLayoutSubviews()
{
    if (!tapDetected_)
        changeTheViewToPortrait(!ui::isLandscape(ui::Device::current().interfaceOrientation()));
}

void ListViewController::viewWillTransitionToSize(ui::Size size, ui::TransitionCoordinator& coordinator)
{
    TemplateViewCon::viewWillTransitionToSize(size, coordinator);
    coordinator.animateAlongsideTransition(
        [this] { changeTheViewToPortrait(!ui::isLandscape(ui::Device::current().interfaceOrientation())); });
}

void ListViewController::layOutTables()
{
    const ui::Rect bounds = view()->bounds();
    const double top = std::max(20.0, ui::safeAreaInsets(*view()).top);
    const double height = bounds.size.height - top;
    if (tb2_) {
        const double half = (bounds.size.width - 1) / 2;
        tb1_->setFrame(ui::makeRect(0, top, half, height));
        tb2_->setFrame(ui::makeRect(half + 1, top, half, height));
    } else {
        tb1_->setFrame(ui::makeRect(0, top, bounds.size.width, height));
    }
}

void ListViewController::changeTheViewToPortrait(bool)
{
    if (!tb1_)
        return;
    const ui::Rect bounds = view()->bounds();
    layOutTables();
    noGaugesLabel_->setFrame(ui::makeRect(0, bounds.size.height / 2 - 80, bounds.size.width, 120));
    if (!tapDetected_)
        topNavBar_->setFrame(ui::makeRect(0, -46, bounds.size.width, 44));
    reloadCells_ = true;
    // The rows on screen take the new width now, not when they next scroll into view.
    if (bounds.size != laidOutSize_) {
        laidOutSize_ = bounds.size;
        tb1_->reloadData();
        if (tb2_)
            tb2_->reloadData();
    }
}
