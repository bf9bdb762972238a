#include "diagnostics/DTCViewController.h"

#include <algorithm>
#include <cmath>

#include "core/model/Manager.h"
#include "core/obd/PidNames.h"
#include "diagnostics/DTCDecoding.h"
#include "diagnostics/DTCDetViewCon.h"
#include "diagnostics/DTCReferencePage.h"
#include "diagnostics/DiagnosticsLook.h"
#include "html/HTMLUTF8.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Timer.h"
#include "platform/net/UrlSession.h"
#include "platform/ui/NavigationController.h"
#include "shell/QueuedAlertController.h"
#include "shell/RoundedCell.h"
#include "shell/TableLook.h"

namespace look = diagnosticsLook;

namespace {

constexpr int kRequestModes[DTCViewController::listCount] = {service::storedCodes, service::pendingCodes,
                                                              service::permanentCodes};
constexpr int kReplyModes[DTCViewController::listCount] = {service::storedCodesReply, service::pendingCodesReply,
                                                            service::permanentCodesReply};
constexpr const char* kSectionTitles[DTCViewController::listCount] = {"Current DTCs", "Pending DTCs", "Permanent DTCs"};
constexpr double kPanelHeight = 70;
constexpr double kRowHeight = 44;      // a code row with one line of each text
constexpr double kRowPadding = 12;     // above and below a row's wrapped texts
constexpr double kTallestRow = 9999;   // room to measure a row's texts in
// Room between the lamp banner's rounded edges and its lines.
constexpr ui::EdgeInsets kBannerInsets{2, 10, 2, 10};

// Pages are parsed away from the main thread, one after the other.
fnd::DispatchQueue& lookupQueue()
{
    static fnd::DispatchQueue queue("dtc-reference");
    return queue;
}

}  // namespace

DTCViewController::DTCViewController() : theme_(Manager::sharedManager().setting().theme)
{
    navigationItem().setTitleView(look::titleLabel(fnd::L("Trouble Codes"), look::digitalSerial(17)));
    dtcButton_ = std::make_shared<ui::BarButtonItem>(fnd::L("Clear DTCs"), ui::BarButtonItemStyle::Plain,
                                                     [this](ui::BarButtonItem&) { clearDTCs(); });
    dtcButton_->setTitleTextAttributes({look::digitalSerial(17), look::accent()});
    navigationItem().setRightBarButtonItem(dtcButton_);
}

DTCViewController::~DTCViewController()
{
    if (tb_) {
        tb_->setDataSource(nullptr);
        tb_->setDelegate(nullptr);
    }
}

void DTCViewController::viewDidLoad()
{
    ui::View& root = *view();
    const ui::Color grey = theme_ == 1 ? ui::Color::darkGray() : ui::Color::lightGray();
    root.setBackgroundColor(theme_ == 1 ? ui::Color::white(0.9) : ui::Color::white(0.1));

    tb_ = std::make_shared<ui::TableView>(ui::Rect{}, ui::TableViewStyle::Grouped);
    tb_->setTableHeaderView(std::make_shared<ui::View>(ui::Rect{0, 0, 1, 0.01}));
    tb_->setContentInset({10, 0, 0, 0});
    tb_->setBackgroundColor(theme_ == 1 ? ui::Color::white(0.9) : ui::Color::white(0.1));
    tb_->setSeparatorColor(ui::Color::white(0.2));
    tb_->setDataSource(this);
    tb_->setDelegate(this);
    root.addSubview(tb_);

    topView_ = std::make_shared<ui::View>();
    topView_->setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::white(1, 0.039));
    MILImageView_ = std::make_shared<ui::ImageView>(ui::Rect{5, 10, 55, 55});
    MILImageView_->setContentMode(ui::ContentMode::ScaleAspectFit);
    DTCMILLabel_ = std::make_shared<ui::Label>();
    DTCMILLabel_->setFont(look::digitalSans(16));
    DTCMILLabel_->setNumberOfLines(0);
    // The fallback for a missing design font runs wider: long messages shrink to fit rather than be cut.
    DTCMILLabel_->setAdjustsFontSizeToFitWidth(true);
    DTCMILLabel_->setMinimumScaleFactor(0.5);
    DTCMILLabel_->setTextColor(grey);
    spinner_ = std::make_shared<ui::ActivityIndicator>(ui::ActivityIndicatorStyle::Large);
    spinner_->setColor(look::accent());
    // The lamp message sits inside its banner, clear of the banner's rounded edges.
    MILBannerView_ = std::make_shared<ui::View>();
    MILBannerView_->setClipsToBounds(true);
    MILBannerView_->addSubview(DTCMILLabel_);
    topView_->addSubview(MILImageView_);
    topView_->addSubview(MILBannerView_);
    topView_->addSubview(spinner_);
    root.addSubview(topView_);

    DTCLabel_ = std::make_shared<ui::Label>();
    DTCLabel_->setText(fnd::L("No trouble codes"));
    DTCLabel_->setFont(look::digitalSerialBold(25));
    DTCLabel_->setNumberOfLines(2);
    DTCLabel_->setAdjustsFontSizeToFitWidth(true);
    DTCLabel_->setTextAlignment(ui::TextAlignment::Center);
    DTCLabel_->setTextColor(grey);
    DTCLabel_->setHidden(true);
    checkMarkImageView_ = std::make_shared<ui::ImageView>(ui::Image::named("check.png"));
    checkMarkImageView_->setHidden(true);
    partNote_ = std::make_shared<ui::Label>(ui::Rect{0, 0, 1, 50});
    partNote_->setText(fnd::L("DTC part unread msg"));
    partNote_->setFont(look::digitalSans(14));
    partNote_->setNumberOfLines(0);
    partNote_->setTextAlignment(ui::TextAlignment::Center);
    partNote_->setTextColor(grey);
    root.addSubview(DTCLabel_);
    root.addSubview(checkMarkImageView_);
}

// Portrait and landscape alike: the lamp panel under the bar, the codes below it.
void DTCViewController::viewDidLayoutSubviews()
{
    const ui::Rect bounds = view()->bounds();
    const bool landscape = bounds.size.width > bounds.size.height;
    const ui::EdgeInsets safe = ui::safeAreaInsets(*view());
    const double top = look::topBarSpace(*this);
    const double panel = landscape ? 50 : kPanelHeight;
    const double left = landscape ? std::max(safe.left, safe.right) : 0;
    const double width = bounds.size.width - left;
    topView_->setFrame({left, top, width, panel});
    // The lamp keeps within the panel: the landscape panel is lower than the lamp image.
    const double lamp = std::min(55.0, panel - 4);
    MILImageView_->setFrame({5, (panel - lamp) / 2 + (landscape ? 0 : 5), lamp, lamp});
    MILBannerView_->setFrame({80, 4, width - 80 - 90, panel - 8});  // clear of the spinner
    DTCMILLabel_->setFrame(ui::insetRect(MILBannerView_->bounds(), kBannerInsets));
    spinner_->setFrame({width - 50 - 30, (panel - 60) / 2, 60, 60});
    const double tableTop = top + panel + 2;
    tb_->setFrame({left, tableTop, width, std::max(0.0, bounds.size.height - tableTop - look::bottomBarSpace(*this))});
    DTCLabel_->setFrame({10, bounds.size.height / 2 - 30, bounds.size.width - 20, 60});
    const ui::Size check = checkMarkImageView_->sizeThatFits({});
    checkMarkImageView_->setFrame({bounds.size.width / 2 - check.width / 2, bounds.size.height / 2 + 25, check.width,
                                   check.height});
}

void DTCViewController::buildCommands(const Scanner& link)
{
    // Every ECU may answer the lamp request, so it goes out without the one-reply suffix.
    commandArr_ = {link.commandForOBD2(service::currentData, pid::monitorStatus, pid::none, Scanner::FastPolling::Off)};
    for (const int mode : kRequestModes)
        commandArr_.push_back(link.commandForOBD2(mode, pid::none, pid::none));
}

void DTCViewController::viewDidAppear(bool animated)
{
    loadViewIfNeeded();
    DTCLabel_->setHidden(true);
    checkMarkImageView_->setHidden(true);
    if (!takeLinkAndVisit()) {
        DTCMILLabel_->setText(fnd::L("Device msg"));
        dtcButton_->setEnabled(false);
        tb_->reloadData();
    }
    ui::ViewController::viewDidAppear(animated);
}

// The adapter became ready while the screen is on view: it reads as if it had just appeared.
void DTCViewController::startVisit(Scanner& link)
{
    LinkHolder::takeLinkBlockingStatus();
    buildCommands(link);
    startReading();
    link.setInitCommands(commandArr_, false);
    scheduleLoadingEnd();
    spinner_->startAnimating();
    haveMilData_ = false;
    milAnswered_ = false;
    reportedCodes_ = 0;
    DTCMILLabel_->setText(fnd::L("MIL msg"));
    DTCMILLabel_->setTextColor(ui::Color::lightGray());
    MILBannerView_->setBackgroundColor(ui::Color::clear());
    MILImageView_->setImage({});
    dtcButton_->setEnabled(true);
    tb_->reloadData();
}

void DTCViewController::viewWillDisappear(bool animated)
{
    ui::ViewController::viewWillDisappear(animated);
    LinkHolder::releaseLink();
    if (const auto link = scanner(); !link || !link->isConnected())
        return;
    commandArr_.clear();
    for (auto& list : codeArrays_)
        list.clear();
}

// Only the latest end counts: an earlier appearance's end must not cut a newer loading period short.
void DTCViewController::scheduleLoadingEnd()
{
    const std::uint64_t generation = ++loadingEnd_;
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    fnd::after(loadingPeriod, [weak, generation] {
        const auto self = std::static_pointer_cast<DTCViewController>(weak.lock());
        if (self && self->loadingEnd_ == generation)
            self->removeLoadingIndicator();
    });
}

void DTCViewController::startReading()
{
    std::fill(std::begin(listStates_), std::end(listStates_), ListState::Waiting);
    loadingEnded_ = false;
    DTCLabel_->setHidden(true);
    checkMarkImageView_->setHidden(true);
    tb_->setTableFooterView(nullptr);
}

// A list that could not be read, or a stored list left empty while the lamp counts stored codes: what
// the car holds is unknown, which is never the all-clear.
bool DTCViewController::isUnread(int list) const
{
    if (listStates_[list] != ListState::Read)
        return true;
    return list == 0 && codeArrays_[0].empty() && reportedCodes_ > 0;
}

// "No trouble codes" only when every list was read whole and none holds a code; a list that could not be
// read (or has not been, by the end of the loading period) is never the all-clear.
void DTCViewController::showVerdict()
{
    const bool anyCode = std::any_of(std::begin(codeArrays_), std::end(codeArrays_), [](const auto& list) { return !list.empty(); });
    bool allRead = true;
    for (int list = 0; list < listCount; ++list)
        allRead = allRead && !isUnread(list);
    if (allRead)
        DTCLabel_->setText(fnd::L("No trouble codes"));
    else if (reportedCodes_ > 0 && codeArrays_[0].empty())
        DTCLabel_->setText(fnd::format(fnd::L("DTC count unread msg").c_str(), reportedCodes_));
    else
        DTCLabel_->setText(fnd::L("DTC unread msg"));
    DTCLabel_->setHidden(anyCode);
    checkMarkImageView_->setHidden(anyCode || !allRead);
    // The codes of a list read only in part are listed as read; that the rest is missing is said once, below.
    bool partly = false;
    for (int list = 0; list < listCount; ++list)
        partly = partly || (isUnread(list) && !codeArrays_[list].empty());
    tb_->setTableFooterView(partly ? partNote_ : nullptr);
}

void DTCViewController::removeLoadingIndicator()
{
    spinner_->stopAnimating();
    spinner_->setColor(look::accent());
    loadingEnded_ = true;
    showVerdict();
    tb_->reloadData();
    // The lamp is reported off only when the car said so; silence is not an answer.
    if (haveMilData_)
        return;
    if (milAnswered_) {
        showMilOff();
        if (const auto menu = delegate_.lock())
            menu->resetMil();
    } else {
        DTCMILLabel_->setText(fnd::L("MIL msg4"));
        DTCMILLabel_->setTextColor(ui::Color::lightGray());
    }
}

void DTCViewController::showMilOff()
{
    MILImageView_->setImage(ui::Image::named("milOff.png"));
    DTCMILLabel_->setText(fnd::L("MIL msg3"));
    DTCMILLabel_->setTextColor(ui::Color::lightGray());
    MILBannerView_->setBackgroundColor(ui::Color::clear());
}

// Every ECU of the car may answer: the lamp is on when any of them has it on, and the count of stored
// codes is theirs together.
void DTCViewController::showMil(const std::vector<const Response*>& statuses)
{
    milAnswered_ = true;
    bool on = false;
    int count = 0;
    for (const Response* status : statuses) {
        const std::uint8_t a = status->data.empty() ? 0 : status->data[0];
        on = on || (a & monitorStatusBits::milOn) != 0;
        count += a & monitorStatusBits::storedCodeCount;
    }
    haveMilData_ = on;
    reportedCodes_ = count;
    if (!on) {
        showMilOff();
        return;
    }
    spinner_->setColor(ui::Color::black());
    MILImageView_->setImage(ui::Image::named("milOn.png").asTemplate());
    MILImageView_->setTintColor(look::accent());
    DTCMILLabel_->setText(fnd::format("%s  %d", fnd::L("MIL msg2"), count));
    DTCMILLabel_->setTextColor(ui::Color::black());
    MILBannerView_->setBackgroundColor(look::accent());
    MILBannerView_->setCornerRadius(10);
}

void DTCViewController::didReceiveResponse(const std::vector<Response>& responses)
{
    std::vector<const Response*> statuses;
    bool codesReplaced[listCount] = {};
    for (const Response& response : responses) {
        if (response.mode == service::currentDataReply && response.pid == pid::monitorStatus)
            statuses.push_back(&response);
        else if (response.mode == service::negativeReply && response.pid == service::clearCodes)
            QueuedAlertController::showMessage("Clear DTCs", "Clear refused msg");
        for (int list = 0; list < listCount; ++list)
            codesReplaced[list] = codesReplaced[list] || response.mode == kReplyModes[list];
    }
    if (!statuses.empty())
        showMil(statuses);
    for (int list = 0; list < listCount; ++list) {
        const bool refused = std::any_of(responses.begin(), responses.end(), [&](const Response& r) {
            return r.mode == service::negativeReply && r.pid == kRequestModes[list];
        });
        if (!codesReplaced[list]) {
            // "Response pending" (0x78) is followed by the answer in the same reply, when one comes at all.
            if (refused)
                listStates_[list] = ListState::Failed;
            continue;
        }
        DTCList found = troubleCodesOf(responses, kReplyModes[list]);
        if (listStates_[list] != ListState::Failed)
            listStates_[list] = found.whole ? ListState::Read : ListState::Failed;
        codeArrays_[list] = std::move(found.codes);
        descArrays_[list] = std::move(found.descriptions);
        for (const std::string& code : codeArrays_[list])
            crawlURL(code, list + 1);
    }
    tb_->setScrollEnabled(std::any_of(std::begin(codeArrays_), std::end(codeArrays_),
                                      [](const auto& list) { return !list.empty(); }));
    if (loadingEnded_)
        showVerdict();
    tb_->reloadData();
}

void DTCViewController::scannerRequestFailed(Scanner&, const Command& command, ReplyProblem problem)
{
    const auto* mode = std::find(std::begin(kRequestModes), std::end(kRequestModes), command.mode);
    if (mode == std::end(kRequestModes) || command.pid != pid::none)
        return;
    ListState& state = listStates_[mode - std::begin(kRequestModes)];
    // No ECU answering a service is a car without that service (permanent codes are recent), not a fault.
    if (problem != ReplyProblem::NoData)
        state = ListState::Failed;
    else if (state == ListState::Waiting)
        state = ListState::Read;
    if (loadingEnded_)
        showVerdict();
    tb_->reloadData();
}

void DTCViewController::clearDTCs()
{
    const auto link = scanner();
    if (!link || !link->isConnected())
        return;
    auto alert = QueuedAlertController::alertControllerWithTitle("Clear DTCs", "DTC msg");
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    alert->addAction("Ok", ui::AlertActionStyle::Default, [weak] {
        const auto self = std::static_pointer_cast<DTCViewController>(weak.lock());
        const auto link = self ? self->scanner() : nullptr;
        if (!link || !link->isConnected())
            return;
        link->sendCommand(link->commandForOBD2(service::clearCodes, pid::none, pid::none));
        self->spinner_->startAnimating();
        fnd::after(refreshDelay, [weak] {
            if (const auto again = std::static_pointer_cast<DTCViewController>(weak.lock()))
                again->refreshDTC();
        });
    });
    alert->addAction("Cancel");
    alert->show();
}

void DTCViewController::refreshDTC()
{
    const auto link = scanner();
    if (!link || !link->isConnected())
        return;
    if (commandArr_.empty())
        buildCommands(*link);
    milAnswered_ = false;
    reportedCodes_ = 0;
    startReading();
    link->setInitCommands(commandArr_, false);
    for (auto& list : codeArrays_)
        list.clear();
    tb_->reloadData();
    scheduleLoadingEnd();
}

std::string DTCViewController::lookupNote(int list, const std::string& code) const
{
    const auto found = lookupNotes_[list].find(code);
    return found == lookupNotes_[list].end() ? std::string() : found->second;
}

void DTCViewController::crawlURL(const std::string& code, int listNumber)
{
    const int list = std::clamp(listNumber, 1, listCount) - 1;
    lookupNotes_[list].erase(code);
    const std::string base = net::UrlSession::referenceBaseUrl();
    if (base.empty()) {
        lookupNotes_[list][code] = "No reference site is set.";
        return;
    }
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    net::UrlSession::shared().get(base + "/" + code, [weak, code, list](const net::UrlResponse& response) {
        const auto self = std::static_pointer_cast<DTCViewController>(weak.lock());
        if (!self)
            return;
        if (!response.error.empty()) {
            fnd::log(fnd::LogLevel::Warning, "Error in transport " + response.error);
            self->lookupNotes_[list][code] = "The reference site could not be reached: " + response.error;
            return;
        }
        if (response.status != 200) {
            fnd::log(fnd::LogLevel::Warning, fnd::format("HTTP Error %d", response.status));
            self->lookupNotes_[list][code] = fnd::format("The reference site has no page for this code (HTTP %d).",
                                                         response.status);
            return;
        }
        if (!DecodeUTF8(response.body, true)) {
            self->lookupNotes_[list][code] = "The reference page could not be read.";
            return;
        }
        lookupQueue().async([weak, code, list, page = response.body] {
            DTCReferenceTexts texts = readReferencePage(page);
            fnd::DispatchQueue::main().async([weak, code, list, texts = std::move(texts)] {
                const auto self = std::static_pointer_cast<DTCViewController>(weak.lock());
                if (!self)
                    return;
                if (texts.symptoms)
                    self->symptomDicts_[list][code] = *texts.symptoms;
                if (texts.causes)
                    self->causeDicts_[list][code] = *texts.causes;
                self->lookupNotes_[list][code] = "Not found on the reference page.";
            });
        });
    });
}

int DTCViewController::numberOfRowsInSection(ui::TableView&, int section)
{
    return section >= 0 && section < listCount ? static_cast<int>(codeArrays_[section].size()) : 0;
}

// A list that could not be read, and shows no code, says so in its header once the loading period is over.
std::shared_ptr<ui::View> DTCViewController::viewForHeaderInSection(ui::TableView&, int section)
{
    if (section < 0 || section >= listCount)
        return look::badgeHeader({}, look::teal(), 30, 10, 9);
    const std::string title = fnd::L(kSectionTitles[section]);
    if (loadingEnded_ && isUnread(section) && codeArrays_[section].empty())
        return look::badgeHeader(fnd::format("  %s: %s ", title, fnd::L("not read msg")), look::accent(), 30, 10, 9);
    return look::badgeHeader(codeArrays_[section].empty() ? std::string() : fnd::format("  %s ", title), look::teal(),
                             30, 10, 9);
}

std::shared_ptr<ui::TableViewCell> DTCViewController::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    const int list = indexPath.section;
    const std::string& code = codeArrays_[list][indexPath.row];
    const std::string& desc = descArrays_[list][indexPath.row];
    auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Subtitle);
    // The settings tables' rounding and selected background (dark grey with the green strip).
    TableLook::forTheme(theme_ == 1 ? 1 : 0).apply(*cell, indexPath.row, static_cast<int>(codeArrays_[list].size()));
    const ui::Image dot = ui::Image::named("dot.png");
    cell->imageView()->setImage(list < 2 ? dot.asTemplate() : dot);
    cell->imageView()->setTintColor(look::accent());
    const std::string title = fnd::format("%s %s", fnd::L("trouble code"), code);
    ui::Label& text = *cell->textLabel();
    ui::Label& detail = *cell->detailTextLabel();
    if (!desc.empty()) {
        text.setText(desc);
        detail.setText(title);
        detail.setTextColor(look::accent());
    } else {
        text.setText(title);
        detail.setText(fnd::L("no desc msg"));
        detail.setTextColor(ui::Color::white(1, 0.8));
    }
    text.setFont(look::digitalSans(18));
    detail.setFont(look::digitalSans(14));
    // Descriptions run long: they wrap at full size, and the row grows to hold them.
    for (ui::Label* label : {&text, &detail}) {
        label->setNumberOfLines(0);
        label->setLineBreakMode(ui::LineBreakMode::WordWrap);
        label->setAdjustsFontSizeToFitWidth(false);
    }
    text.setTextColor(theme_ == 0 ? ui::Color::white() : ui::Color::black());
    cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

// As high as the row's wrapped texts, measured in the cell laid out at the table's width.
double DTCViewController::heightForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    const auto cell = cellForRowAtIndexPath(table, indexPath);
    cell->setFrame({0, 0, table.bounds().size.width, kTallestRow});
    cell->layoutIfNeeded();
    const double texts = cell->textLabel()->frame().size.height + cell->detailTextLabel()->frame().size.height;
    return std::max(kRowHeight, std::ceil(texts) + kRowPadding);
}

void DTCViewController::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::black());
}

void DTCViewController::didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    const int list = indexPath.section;
    const std::string code = codeArrays_[list][indexPath.row];
    auto find = [&](const std::map<std::string, std::string>& dict) -> std::optional<std::string> {
        const auto found = dict.find(code);
        return found == dict.end() ? std::nullopt : std::optional(found->second);
    };
    auto detail = std::make_shared<DTCDetViewCon>(ui::TableViewStyle::Grouped, code, descArrays_[list][indexPath.row],
                                                  find(symptomDicts_[list]), find(causeDicts_[list]),
                                                  lookupNote(list, code));
    auto navigation = std::make_shared<ui::NavigationController>(detail);
    navigation->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
    presentViewController(navigation, true);
    const std::weak_ptr<ui::TableView> weakTable = tb_;
    fnd::after(0.3, [weakTable, indexPath] {
        if (const auto t = weakTable.lock())
            t->deselectRowAtIndexPath(indexPath, true);
    });
}
