#include "diagnostics/FreezeViewController.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "core/obd/PidLengths.h"
#include "core/obd/PidNames.h"
#include "diagnostics/DiagnosticsLook.h"
#include "diagnostics/FreezeFrame.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Toast.h"
#include "shell/RoundedCell.h"
#include "shell/VersionTracking.h"

namespace look = diagnosticsLook;

namespace {

// The panel sits below the navigation bar, so its contents start at its top.
constexpr double kPanelHeight = 92;

bool isCodeReply(const Response& response)
{
    return response.mode == service::freezeFrameReply && response.pid == pid::freezeFrameCode;
}

}  // namespace

FreezeViewController::FreezeViewController() : theme_(Manager::sharedManager().setting().theme)
{
    navigationItem().setTitleView(look::titleLabel(fnd::L("Freeze frame"), look::digitalSerial(17)));
    for (const freezeFrame::Row& row : freezeFrame::rows) {
        labelArr_.push_back(row.localized ? fnd::L(row.name) : row.name);
        dataArr_.push_back(row.unit);
    }
}

FreezeViewController::~FreezeViewController()
{
    loadingEnd_.cancel();
    if (tb_) {
        tb_->setDataSource(nullptr);
        tb_->setDelegate(nullptr);
    }
}

void FreezeViewController::viewDidLoad()
{
    ui::View& root = *view();
    root.setBackgroundColor(look::accent());
    tb_ = std::make_shared<ui::TableView>(ui::Rect{}, ui::TableViewStyle::Grouped);
    tb_->setTableHeaderView(std::make_shared<ui::View>(ui::Rect{0, 0, 1, 0.01}));
    tb_->setBackgroundColor(theme_ != 0 ? ui::Color::white(0.85) : ui::Color::white(0.1));
    tb_->setSeparatorColor(ui::Color::white(0.2));
    tb_->setAllowsSelection(false);
    tb_->setDataSource(this);
    tb_->setDelegate(this);
    root.addSubview(tb_);

    topView_ = std::make_shared<ui::View>();
    topView_->setBackgroundColor(theme_ == 1 ? ui::Color::white(0.8) : ui::Color::white(10.0 / 255));
    label_ = std::make_shared<ui::Label>(ui::Rect{71, 2, 140, 30});
    label_->setText(fnd::L("Trouble Code"));
    label_->setFont(look::digitalSerialBold(16));
    label_->setTextColor(theme_ == 1 ? ui::Color::black() : ui::Color::white(0.8));
    dtcLabel_ = std::make_shared<ui::Label>(ui::Rect{73, 32, 140, 30});
    dtcLabel_->setText("N/A");
    dtcLabel_->setFont(look::digitalSerial(23));
    dtcLabel_->setTextColor(look::accent());
    descLabel_ = std::make_shared<ui::Label>(ui::Rect{73, 52, 260, 30});
    descLabel_->setText(fnd::L("No description"));
    descLabel_->setFont(look::digitalSerialBold(12));
    descLabel_->setTextColor(theme_ == 1 ? ui::Color::white(0.1) : ui::Color::white(0.9));
    auto icon = std::make_shared<ui::ImageView>(ui::Rect{10, 17, 50, 50});
    icon->setImage(ui::Image::named("freeze.png"));
    icon->setContentMode(ui::ContentMode::ScaleAspectFit);
    spinner_ = std::make_shared<ui::ActivityIndicator>(ui::ActivityIndicatorStyle::Large);
    spinner_->setColor(ui::Color::rgb255(65, 168, 128));
    for (const auto& child : std::vector<std::shared_ptr<ui::View>>{label_, dtcLabel_, descLabel_, icon, spinner_})
        topView_->addSubview(child);
    root.addSubview(topView_);
}

// Portrait: the panel under the bar and the values below; landscape: the same, clear of the notch.
void FreezeViewController::viewDidLayoutSubviews()
{
    const ui::Rect bounds = view()->bounds();
    const ui::EdgeInsets safe = ui::safeAreaInsets(*view());
    const bool landscape = bounds.size.width > bounds.size.height;
    const double left = landscape ? std::max(safe.left, safe.right) : 0;
    const double width = bounds.size.width - 2 * left;
    const double top = look::topBarSpace(*this);
    const double panel = kPanelHeight;
    topView_->setFrame({left, top, width, panel});
    spinner_->setFrame({width - 50, 42, 50, 50});
    const double tableTop = top + panel + 3;
    tb_->setFrame({left, tableTop, width, std::max(0.0, bounds.size.height - tableTop - look::bottomBarSpace(*this))});
}

void FreezeViewController::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    takeLinkAndVisit();
    if (VersionTracking::isFirstLaunchEver() || VersionTracking::isFirstLaunchForVersion())
        ui::makeToast(*view(), fnd::L("freeze msg"), explanationPeriod, ui::ToastPosition::Center,
                      {.messageColor = look::green(), .messageFont = look::digitalSans(15)});
}

void FreezeViewController::viewWillDisappear(bool animated)
{
    ui::ViewController::viewWillDisappear(animated);
    LinkHolder::releaseLink();
}

void FreezeViewController::startVisit(Scanner& link)
{
    LinkHolder::takeLinkBlockingStatus();
    link.sendCommand(link.commandForOBD2(service::freezeFrame, pid::freezeFrameCode, freezeFrame::frameNumber));
}

void FreezeViewController::sendCommands()
{
    const auto link = scanner();
    if (!link || !link->isConnected())
        return;
    std::vector<Command> commands;
    for (int i = 0; i < freezeFrame::rowCount; ++i)
        commands.push_back(link->commandForOBD2(service::freezeFrame, freezeFrame::firstPid + i, freezeFrame::frameNumber));
    link->setInitCommands(std::move(commands), false);
}

void FreezeViewController::removeLoadingIndicator()
{
    spinner_->stopAnimating();
}

void FreezeViewController::startReadingValues()
{
    spinner_->startAnimating();
    loadingEnd_.cancel();
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    loadingEnd_ = fnd::after(loadingPeriod, [weak] {
        if (const auto self = std::static_pointer_cast<FreezeViewController>(weak.lock()))
            self->removeLoadingIndicator();
    });
    sendCommands();
}

void FreezeViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    for (const Response& response : responses) {
        if (isCodeReply(response)) {
            if (const auto code = freezeFrame::storedCode(response)) {
                dtcLabel_->setText(*code);
                descLabel_->setText(freezeFrame::getDescription(*code));
            }
            startReadingValues();
        } else if (const auto value = freezeFrame::rowValue(response)) {
            dataArr_[static_cast<std::size_t>(value->first)] = value->second;
        }
    }
    tb_->reloadData();
}

// The link keeps a code reply too short to hold a code ("42 02 00 00") from didReceiveResponse; the car
// answered all the same, so the values are read as after a reply that names no code.
void FreezeViewController::scannerDidReceiveReply(Scanner&, const std::string&, const std::vector<Response>& responses,
                                                  const std::vector<std::string>&)
{
    const auto isShortCodeReply = [](const Response& r) { return isCodeReply(r) && !fitsPidLength(r); };
    const auto isWholeCodeReply = [](const Response& r) { return isCodeReply(r) && fitsPidLength(r); };
    if (std::any_of(responses.begin(), responses.end(), isShortCodeReply) &&
        std::none_of(responses.begin(), responses.end(), isWholeCodeReply))
        startReadingValues();
}

std::shared_ptr<ui::TableViewCell> FreezeViewController::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = std::dynamic_pointer_cast<RoundedCell>(table.dequeueReusableCellWithIdentifier("Cell"));
    if (!cell)
        cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Value1, "Cell");
    const auto row = static_cast<std::size_t>(indexPath.row);
    cell->setTop(row == 0);
    cell->setBottom(row + 1 == dataArr_.size());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::white(10.0 / 255));
    cell->textLabel()->setText(labelArr_[row]);
    cell->textLabel()->setFont(look::digitalSans(16));
    cell->textLabel()->setTextColor(look::accent());
    cell->detailTextLabel()->setText(dataArr_[row]);
    cell->detailTextLabel()->setFont(look::digitalSerial(14));
    cell->detailTextLabel()->setTextColor(theme_ != 0 ? ui::Color::white(0.1) : ui::Color::white(0.8));
    return cell;
}

std::shared_ptr<ui::View> FreezeViewController::viewForHeaderInSection(ui::TableView&, int)
{
    return look::textHeader("Freeze frame data", theme_ != 0 ? ui::Color::white(0.2) : ui::Color::white(0.8), 18, 5, 5,
                            look::digitalSerial(17));
}
