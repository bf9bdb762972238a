#include "logging/ScrollGraphViewController.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "logging/GraphCell.h"
#include "logging/GraphSettingViewCon.h"
#include "core/model/ReplyRouting.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/foundation/FileIO.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/Switch.h"
#include "platform/ui/Toast.h"
#include "platform/ui/Window.h"
#include "shell/QueuedAlertController.h"
#include "core/Notifications.h"

namespace {

constexpr const char* cellIdentifier = "Cell";
constexpr double barHeight = 44;
constexpr int recordSound = 1052;
constexpr int tapSound = 1103;

ui::ToastStyle toastStyle(ui::Color color)
{
    return {.messageColor = color, .messageFont = ui::Font::named("DigitalSans NowEF ML Demo", 15)};
}

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

}  // namespace

ScrollGraphViewController::ScrollGraphViewController()
{
    theme_ = Manager::sharedManager().setting().theme;
    modifiedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        gaugeModifiedNotification, [this](const fnd::Notification&) { firstLaunch_ = true; });
    droppedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [this](const fnd::Notification&) {
            fuel_.stop();
            if (recording_)
                stopRecording(RecordingEnd::LinkDropped);
        });
}

ScrollGraphViewController::~ScrollGraphViewController()
{
    releaseLink(PolledList::Clear);
    if (counterTimer_)
        counterTimer_->invalidate();
    if (composer_)
        composer_->setDelegate(nullptr);
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (Graph& graph : graphs_)
        graph.view->setDelegate(nullptr);
}

void ScrollGraphViewController::viewDidLoad()
{
    view()->setBackgroundColor(ui::Color::black());
    loadViews();
    addMenuEdgePan(*view());
    // Back from the menu: a left swipe. The menu's content, not this view, is what slid aside.
    auto back = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { slideForMenu(false); });
    back->setDirection(ui::SwipeDirection::Left);
    view()->addGestureRecognizer(back);
}

void ScrollGraphViewController::loadViews()
{
    table_ = std::make_shared<ui::TableView>(view()->bounds(), ui::TableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    table_->setSeparatorStyle(ui::TableViewSeparatorStyle::None);
    table_->setBackgroundColor(ui::Color::black());
    table_->setDecelerationRate(ui::ScrollView::decelerationRateFast);
    table_->registerClass([] { return std::make_shared<GraphCell>(cellIdentifier); }, cellIdentifier);
    view()->addSubview(table_);

    emptyLabel_ = std::make_shared<ui::Label>();
    emptyLabel_->setText(fnd::L("No graphs.\nTap \"+\" to add"));
    emptyLabel_->setFont(ui::Font::named("Digital-Serial DB", 17));
    emptyLabel_->setTextColor(ui::Color::lightGray());
    emptyLabel_->setTextAlignment(ui::TextAlignment::Center);
    emptyLabel_->setNumberOfLines(0);
    emptyLabel_->setBackgroundColor(ui::Color::clear());
    view()->addSubview(emptyLabel_);

    navBar_ = std::make_shared<ui::NavigationBar>();
    navBar_->setBarTintColor(ui::Color::white(0.149));
    recordSwitch_ = std::make_shared<ui::Switch>();
    recordSwitch_->setOnTintColor(ui::Color::rgb(0.8, 0, 0.176));
    recordSwitch_->setThumbTintColor(theme_ == 1 ? ui::Color::white() : ui::Color::black());
    recordSwitch_->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control&) { recordData(); });
    titleLabel_ = std::make_shared<ui::Label>(ui::makeRect(0, 0, 120, 19));
    titleLabel_->setText(fnd::L("Graph list"));
    titleLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 17));
    titleLabel_->setTextColor(ui::Color::white());
    titleLabel_->setTextAlignment(ui::TextAlignment::Center);
    titleLabel_->setBackgroundColor(ui::Color::clear());
    barItem_.setTitleView(titleLabel_);
    barItem_.setLeftBarButtonItems(
{makeMenuButton(), std::make_shared<ui::BarButtonItem>(recordSwitch_)});
    // The bar shows the item as it was when shown: rebuild it when "Edit" becomes "Done" and back.
    barItem_.setChangeHandler([this] { navBar_->showItem(&barItem_, std::nullopt); });
    updateBarItems();
    navBar_->showItem(&barItem_, std::nullopt);
    view()->addSubview(navBar_);
    layOut();
}

void ScrollGraphViewController::updateBarItems()
{
    auto add = std::make_shared<ui::BarButtonItem>(ui::SystemItem::Add,
                                                   [this](ui::BarButtonItem&) { addSensorToList(); });
    auto edit = std::make_shared<ui::BarButtonItem>(editingMode_ ? fnd::L("Done") : fnd::L("Edit"),
                                                    ui::BarButtonItemStyle::Plain,
                                                    [this](ui::BarButtonItem&) { setEditMode(); });
    edit->setTitleTextAttributes({ui::Font::named("DigitalSans NowEF ML Demo", 17), ui::Color::white(0.8)});
    barItem_.setRightBarButtonItems({edit, add});
}

void ScrollGraphViewController::layOut()
{
    if (!table_)
        return;
    const ui::Rect bounds = view()->bounds();
    const double top = ui::safeAreaInsets(*view()).top;
    navBar_->setFrame(ui::makeRect(0, top, bounds.size.width, barHeight));
    navBar_->setBackgroundExtension(top);
    const double tableTop = top + barHeight;
    const double free = bounds.size.height - tableTop;
    table_->setFrame(ui::makeRect(0, tableTop, bounds.size.width, free));
    const bool phoneLandscape =
        !ui::Device::current().isPad() && ui::isLandscape(ui::Device::current().interfaceOrientation());
    const int perScreen = phoneLandscape ? (graphCount_ == 0 ? 1 : 2) : (graphCount_ == 0 ? 2 : graphCount_ == 1 ? 3 : 4);
    const double height = std::max(40.0, free / perScreen);
    emptyLabel_->setFrame(ui::makeRect(0, bounds.size.height / 2 - 60, bounds.size.width, 120));
    if (height != cellHeight_) {
        cellHeight_ = height;
        for (Graph& graph : graphs_) {
            graph.needsLayout = true;
            graph.view->setLabelsAdjusted(false);
        }
        table_->reloadData();
    }
}

void ScrollGraphViewController::viewDidLayoutSubviews()
{
    layOut();
}

void ScrollGraphViewController::viewWillAppear(bool animated)
{
    // The settings may have changed while the screen was away.
    const Settings& settings = Manager::sharedManager().setting();
    graphCount_ = settings.scrollGraphCount;
    for (Graph& graph : graphs_)
        graph.view->setChartSettings(StripChartSettings::fromSettings(settings));
    TemplateViewCon::viewWillAppear(animated);
}

void ScrollGraphViewController::viewDidAppear(bool animated)
{
    if (firstLaunch_) {
        firstLaunch_ = false;
        loadData();
    }
    layOut();
    startScanning();
    table_->panGestureRecognizer()->setMinimumNumberOfTouches(
        Manager::sharedManager().setting().twoFingerScroll ? 2 : 1);
    TemplateViewCon::viewDidAppear(animated);
}

void ScrollGraphViewController::viewWillDisappear(bool animated)
{
    fuel_.stop();
    if (recording_)
        stopRecording(RecordingEnd::LeavingScreen);
    releaseLink(PolledList::Clear);
    TemplateViewCon::viewWillDisappear(animated);
}

void ScrollGraphViewController::loadData()
{
    loadViewIfNeeded();
    const auto link = scanner();
    const Settings& settings = Manager::sharedManager().setting();
    for (Graph& graph : graphs_)
        graph.view->setDelegate(nullptr);
    graphs_.clear();
    pidMap_.clear();
    decoder_ = SensorDecoder();
    commandArr_.clear();
    fuelBgTracking_ = false;
    for (std::size_t i = 0; i < settings.graphListArr.size(); ++i) {
        const int s = settings.graphListArr[i];
        std::optional<SensorPlan> plan;
        if (link)
            plan = planSensor(s, link.get(), SensorName::Long, decoder_.fuelMethod());
        if (!plan)
            continue;
        askEngineSpeedFirst(*plan);
        const int g = static_cast<int>(graphs_.size());
        const int color = i < settings.graphLineColorArr.size() ? settings.graphLineColorArr[i] : 0;
        Graph graph;
        graph.settingsEntry = i;
        graph.view = std::make_shared<GraphView>(ui::Rect{}, settings.theme, color);
        graph.view->setDelegate(this);
        graph.view->setChartSettings(StripChartSettings::fromSettings(settings));
        graph.view->updateLabel(plan->title, plan->units, plan->min, plan->max);
        graph.button = std::make_shared<ui::Button>(ui::ButtonType::Custom);
        graph.button->setImage(ui::Image::named("scroll"));
        graph.button->setImage(ui::Image::named("scroll2"), ui::ControlState::Highlighted);
        graph.button->setTag(g);
        graph.button->addTarget(ui::ControlEvent::TouchDown, [this, g](ui::Control&) { toggleInteraction(g); });
        graph.view->setInteractionButton(graph.button);
        if (s == fuelEconomySensor)
            fuelBgTracking_ = true;
        addRoutes(pidMap_, g, plan->commands);
        commandArr_.insert(commandArr_.end(), plan->commands.begin(), plan->commands.end());
        graph.plan = std::move(*plan);
        graphs_.push_back(std::move(graph));
    }
    emptyLabel_->setHidden(!graphs_.empty());
    table_->reloadData();
}

std::shared_ptr<ui::TableViewCell> ScrollGraphViewController::cellForRowAtIndexPath(ui::TableView& table,
                                                                                     ui::IndexPath indexPath)
{
    auto cell = std::dynamic_pointer_cast<GraphCell>(table.dequeueReusableCellWithIdentifier(cellIdentifier));
    if (!cell)
        cell = std::make_shared<GraphCell>(cellIdentifier);
    if (indexPath.row < 0 || indexPath.row >= numOfGraphs())
        return cell;
    Graph& graph = graphs_[static_cast<std::size_t>(indexPath.row)];
    if (cell->graph() == graph.view.get() && !graph.needsLayout)
        return cell;
    graph.needsLayout = false;
    const double width = table.bounds().size.width - GraphCell::trailingSpace;
    graph.view->setFrame(ui::makeRect(0, 3, width, cellHeight_ - 15));
    if (!graph.view->labelsAdjusted()) {
        graph.view->adjustLabels();
        graph.view->takeSnapshot();
    }
    cell->setGraph(graph.view);
    return cell;
}

void ScrollGraphViewController::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(theme_ != 0 ? ui::Color::rgb255(255, 241, 226) : ui::Color::white(0.08));
}

ui::TableViewCellEditingStyle ScrollGraphViewController::editingStyleForRowAtIndexPath(ui::TableView& table,
                                                                                       ui::IndexPath)
{
    return table.isEditing() ? ui::TableViewCellEditingStyle::Delete : ui::TableViewCellEditingStyle::None;
}

void ScrollGraphViewController::commitEditingStyle(ui::TableView& table, ui::TableViewCellEditingStyle style,
                                                   ui::IndexPath path)
{
    if (style != ui::TableViewCellEditingStyle::Delete || path.row < 0 || path.row >= numOfGraphs())
        return;
    Settings& settings = Manager::sharedManager().setting();
    // The settings may list sensors that have no chart (a deleted custom sensor), and a sensor twice:
    // the entry removed is the one this chart was built from.
    const std::size_t entry = graphs_[static_cast<std::size_t>(path.row)].settingsEntry;
    if (entry < settings.graphListArr.size()) {
        settings.graphListArr.erase(settings.graphListArr.begin() + static_cast<std::ptrdiff_t>(entry));
        if (entry < settings.graphLineColorArr.size())
            settings.graphLineColorArr.erase(settings.graphLineColorArr.begin() + static_cast<std::ptrdiff_t>(entry));
    }
    settings.numOfGraphs = static_cast<int>(settings.graphListArr.size());
    graphs_.erase(graphs_.begin() + path.row);
    table.deleteRowsAtIndexPaths({path});
    Manager::sharedManager().saveChanges();
    loadData();
    for (Graph& graph : graphs_)
        graph.view->setLabelsAdjusted(false);
    // The link polls the new list from its next request on.
    sendCommands();
}

void ScrollGraphViewController::sendCommands()
{
    const auto link = scanner();
    if (!link || !link->isConnected() || !holdsLink())
        return;
    if (commandArr_.empty())
        link->setCommands(std::nullopt);
    else
        link->setInitCommands(commandArr_, true);
}

void ScrollGraphViewController::startScanning()
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
    if (graphs_.empty())
        return;
    sendCommands();
    if (fuelBgTracking_)
        fuel_.start();
}

bool ScrollGraphViewController::isOnScreen(int g)
{
    if (!table_->window())
        return false;
    // A row scrolled partly under the top still shows its chart, which must follow the samples.
    const auto visible = table_->indexPathsForVisibleRows();
    return std::find(visible.begin(), visible.end(), ui::IndexPath{0, g}) != visible.end();
}

void ScrollGraphViewController::updateGraph(int g, float value)
{
    graphs_[static_cast<std::size_t>(g)].view->setVal(value, isOnScreen(g));
    if (recording_)
        recording_->record(g, value);
}

void ScrollGraphViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    routeReplies(responses, pidMap_, decoder_, fuel_, fuelBgTracking_,
                 {[this](int g) { return graphs_[static_cast<std::size_t>(g)].plan.sensorIndex; },
                  [this](int g, float value) { updateGraph(g, value); }});
}

void ScrollGraphViewController::scannerDidReceiveVoltage(Scanner&, const std::vector<Response>& responses)
{
    const auto battery = std::find_if(graphs_.begin(), graphs_.end(), [](const Graph& graph) {
        return graph.plan.sensorIndex == batteryVoltageSensor;
    });
    if (battery == graphs_.end())
        return;
    showBatteryVolts(responses, static_cast<int>(battery - graphs_.begin()),
                     [this](int g, float volts) { updateGraph(g, volts); });
}

void ScrollGraphViewController::scannerDidReceiveStatusResponse(Scanner&, const std::vector<Response>& responses)
{
    for (const Response& response : responses)
        warnings_.checkSensor(response);
}

void ScrollGraphViewController::graphIsScrolling(GraphView&)
{
    table_->setScrollEnabled(false);
}

void ScrollGraphViewController::touchHasEnded(GraphView&)
{
    table_->setScrollEnabled(true);
}

void ScrollGraphViewController::toggleInteraction(int g)
{
    if (g < 0 || g >= numOfGraphs())
        return;
    Graph& graph = graphs_[static_cast<std::size_t>(g)];
    graph.view->toggleInteraction();
    graph.button->setImage(ui::Image::named(graph.view->interactionEnabled() ? "scroll2" : "scroll"));
    fnd::SystemSound::play(tapSound);
}

void ScrollGraphViewController::addSensorToList()
{
    if (editingMode_)
        setEditMode();
    auto settings = std::make_shared<GraphSettingViewCon>(ui::TableViewStyle::Grouped);
    auto navigation = std::make_shared<ui::NavigationController>(settings);
    navigation->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
    presentViewController(navigation, true);
}

void ScrollGraphViewController::setEditMode()
{
    if (recording_)
        return;
    editingMode_ = !editingMode_;
    table_->setEditing(editingMode_, true);
    updateBarItems();
}

void ScrollGraphViewController::recordData()
{
    if (editingMode_) {
        recordSwitch_->setOn(false);
        return;
    }
    if (recording_) {
        stopRecording(RecordingEnd::Switch);
        return;
    }
    if (graphs_.empty()) {
        recordSwitch_->setOn(false);
        QueuedAlertController::showMessage("Error", "graph msg2");
        return;
    }
    const auto link = scanner();
    if (!link || !link->isConnected()) {
        QueuedAlertController::showMessage("Attention", "Connect msg");
        recordSwitch_->setOn(false);
        return;
    }
    startRecording();
}

void ScrollGraphViewController::startRecording()
{
    std::vector<std::string> names;
    std::vector<std::string> units;
    for (const Graph& graph : graphs_) {
        names.push_back(graph.plan.title);
        units.push_back(graph.plan.units);
    }
    // A TCP connection that fails or ends ends the recording: the switch must not
    // stay on while nothing is sent. The logger may say so before the recording
    // is in place, so the end waits for the run loop.
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    const auto started = std::make_shared<const Recording*>(nullptr);
    const auto closed = [this, weak, started] {
        fnd::RunLoop::main().post([this, weak, started] {
            if (!weak.expired() && recording_ && recording_.get() == *started)
                stopRecording(RecordingEnd::SocketEnded);
        });
    };
    // Rows that cannot be written (a full disk) end the recording at once, keeping the rows written: the
    // clock must not run on over values that are lost.
    const auto writeFailed = [this, weak, started] {
        fnd::RunLoop::main().post([this, weak, started] {
            if (!weak.expired() && recording_ && recording_.get() == *started)
                stopRecording(RecordingEnd::WriteFailed);
        });
    };
    const auto retry = [this, weak] {
        if (weak.expired() || recording_)
            return;
        recordSwitch_->setOn(true);
        recordData();
    };
    auto recording = std::make_unique<Recording>(names, units, Recording::Events{closed, retry, writeFailed});
    if (!recording->unstartedFiles().empty()) {
        // Nothing could be kept: say so now rather than run a clock over an empty recording.
        recordSwitch_->setOn(false);
        QueuedAlertController::showMessage(
            "Error", fnd::format(fnd::L("Log cannot start msg").c_str(), joined(recording->unstartedFiles()),
                                 fnd::Paths::documents().string()));
        return;
    }
    recording_ = std::move(recording);
    *started = recording_.get();
    ui::makeToast(*view(), fnd::L("Recording has started"), 3.0, ui::ToastPosition::Center,
                  toastStyle(ui::Color::lightGray()));
    ticks_ = 0;
    counterTimer_ = fnd::Timer::scheduled(1.0, true, [this](fnd::Timer&) { updateRecordLabel(); });
    recordSwitch_->setOn(true);
    fnd::SystemSound::play(recordSound);
}

void ScrollGraphViewController::stopRecording(RecordingEnd end)
{
    const bool mail = end == RecordingEnd::Switch;
    std::unique_ptr<Recording> recording = std::move(recording_);
    const bool socket = recording->sink() == Recording::Sink::Socket;
    const SocketLog* socketLog = recording->socketLog();
    const bool wasConnected = socket && socketLog && socketLog->wasOpened();
    const std::string server =
        socketLog ? fnd::format("%s:%d", socketLog->hostIP(), static_cast<int>(socketLog->hostPort())) : std::string();
    Recording::Files files = recording->finish();
    recording.reset();
    if (counterTimer_) {
        counterTimer_->invalidate();
        counterTimer_.reset();
    }
    ticks_ = 0;
    titleLabel_->setText(fnd::L("Graph list"));
    recordSwitch_->setOn(false);
    fnd::SystemSound::play(recordSound);
    if (socket) {
        // A server that went away is not a stop the user asked for. (One never reached has said so already.)
        if (end == RecordingEnd::SocketEnded && wasConnected)
            QueuedAlertController::showMessage("Attention", fnd::format(fnd::L("Logger lost msg").c_str(), server));
        else if (wasConnected) {
            // Over the window: when the user leaves the screen, its view goes, and a toast on it with it.
            ui::View* window = view()->window();
            ui::makeToast(window ? *window : *view(), fnd::L("Connection closed"), 2.0, ui::ToastPosition::Top,
                          toastStyle(ui::Color::rgb255(0, 185, 109)));
        }
        return;
    }
    const bool sendMail = mail && mail::MailComposer::canSendMail();
    std::vector<std::string> attachments;
    for (const Recording::SavedFile& file : files.saved) {
        std::optional<std::string> bytes = sendMail ? fnd::readFile(file.path) : std::string();
        if (bytes)
            attachments.push_back(std::move(*bytes));
        else
            files.unsaved.push_back(file.path.filename().string());
    }
    const std::string folder = fnd::Paths::documents().string();
    if (end == RecordingEnd::WriteFailed && !files.unsaved.empty()) {
        QueuedAlertController::showMessage(
            "Error", fnd::format(fnd::L("Log stopped msg").c_str(), joined(files.unsaved), folder));
        return;
    }
    if (!files.unsaved.empty()) {
        // Nothing is mailed then: a mail must never go without its file.
        QueuedAlertController::showMessage("Error",
                                           fnd::format(fnd::L("Log unsaved msg").c_str(), joined(files.unsaved), folder));
        return;
    }
    const std::string where = fnd::format("%s\n%s", fnd::L("Log saved msg"), folder);
    if (!sendMail) {
        QueuedAlertController::showMessage(mail ? "Error" : "Attention",
                                           mail ? fnd::L("Mail msg") + "\n\n" + where : where);
        return;
    }
    composer_ = std::make_unique<mail::MailComposer>();
    composer_->setDelegate(this);
    composer_->setSubject("Norvale Logging");
    for (std::size_t i = 0; i < attachments.size(); ++i)
        composer_->addAttachmentData(attachments[i], "text/csv", files.saved[i].attachmentName);
    composer_->present();
}

void ScrollGraphViewController::mailComposeControllerDidFinish(mail::MailComposer&, mail::MailComposeResult)
{
    // The files stay in Documents: the mail may not have gone out.
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    fnd::RunLoop::main().post([this, weak] {
        if (!weak.expired())
            composer_.reset();
    });
    layOut();
}

void ScrollGraphViewController::updateRecordLabel()
{
    ++ticks_;
    titleLabel_->setText(fnd::format("%02d:%02d", (ticks_ / 60) % 60, ticks_ % 60));
}

void ScrollGraphViewController::scrollViewDidEndDragging(ui::ScrollView&, bool willDecelerate)
{
    if (!willDecelerate)
        autoAdjustScrollToTop();
}

void ScrollGraphViewController::scrollViewDidEndDecelerating(ui::ScrollView&)
{
    autoAdjustScrollToTop();
}

void ScrollGraphViewController::autoAdjustScrollToTop()
{
    const auto visible = table_->indexPathsForVisibleRows();
    if (visible.empty())
        return;
    if (visible.size() == 1) {
        table_->scrollToRowAtIndexPath(visible[0], ui::TableViewScrollPosition::Top, true);
        return;
    }
    const double y = table_->rectForRowAtIndexPath(visible[0]).origin.y + cellHeight_ / 2;
    table_->scrollToRowAtIndexPath(y > table_->contentOffset().y ? visible[0] : visible[1],
                                   ui::TableViewScrollPosition::Top, true);
}
