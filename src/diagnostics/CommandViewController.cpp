#include "diagnostics/CommandViewController.h"

#include "core/link/LinkSettings.h"
#include "core/model/Manager.h"
#include "diagnostics/DiagnosticsLook.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "shell/QueuedAlertController.h"

namespace look = diagnosticsLook;

namespace {

constexpr int kTapSound = 1103;

// Adapter types whose command language the terminal speaks.
bool takesTypedCommands(int deviceMode)
{
    return deviceMode >= 0 && deviceMode <= 2;
}

std::string hexLine(const std::vector<std::uint8_t>& bytes)
{
    std::string line;
    for (const std::uint8_t byte : bytes)
        line += fnd::format("%02x ", byte);
    return line;
}

}  // namespace

CommandViewController::CommandViewController()
{
    navigationItem().setTitleView(look::titleLabel(fnd::L("Terminal"), look::digitalSerialBold(17)));
}

CommandViewController::~CommandViewController()
{
    if (commandTextField_)
        commandTextField_->setDelegate(nullptr);
}

void CommandViewController::viewDidLoad()
{
    ui::View& root = *view();
    root.setBackgroundColor(ui::Color::white(0.1));
    commandTextField_ = std::make_shared<ui::TextField>(ui::Rect{15, 75, 240, 30});
    commandTextField_->setBackgroundColor(ui::Color::white(1, 0.09));
    commandTextField_->setTextColor(look::accent());
    commandTextField_->setCornerRadius(10);
    commandTextField_->setBorderColor(look::accent());
    commandTextField_->setBorderWidth(1.5);
    commandTextField_->setFont(look::digitalSans(16));
    commandTextField_->setPlaceholder("Enter command here");
    commandTextField_->setPlaceholderColor(ui::Color::white(1, 0.45));
    commandTextField_->setLeftView(std::make_shared<ui::View>(ui::Rect{0, 0, 10, 20}));
    commandTextField_->setLeftViewMode(ui::TextFieldViewMode::Always);
    commandTextField_->setKeyboardAppearance(ui::KeyboardAppearance::Dark);
    commandTextField_->setDelegate(this);
    root.addSubview(commandTextField_);

    btn_ = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect{253, 75, 60, 30});
    btn_->setTitle(fnd::L("Send"));
    btn_->setTitleColor(look::accent());
    btn_->setTitleFont(look::digitalSans(16));
    btn_->addTarget(ui::ControlEvent::TouchDown, [this](ui::Control&) { sendCode(); });
    root.addSubview(btn_);

    consoleView_ = std::make_shared<ui::TextView>();
    consoleView_->setEditable(false);
    consoleView_->setBackgroundColor(ui::Color::white(1, 0.09));
    consoleView_->setTextColor(look::accent());
    consoleView_->setFont(look::digitalSans(16));
    consoleView_->setCornerRadius(10);
    consoleView_->setBorderColor(look::accent());
    consoleView_->setBorderWidth(2);
    root.addSubview(consoleView_);

    root.addGestureRecognizer(std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) { dismissKeyboard(); }));
}

// The field and "Send" on one line, the console below them; wider fields in landscape.
void CommandViewController::viewDidLayoutSubviews()
{
    const ui::Rect bounds = view()->bounds();
    const ui::EdgeInsets safe = ui::safeAreaInsets(*view());
    const bool landscape = bounds.size.width > bounds.size.height;
    const double left = landscape ? std::max(safe.left, safe.right) : 0;
    const double top = look::topBarSpace(*this) + 11;
    const double field = landscape ? 340 : std::max(120.0, bounds.size.width - 150);
    commandTextField_->setFrame({15 + left, top, field, 30});
    btn_->setFrame({15 + left + field - 2, top, 60, 30});
    const double consoleTop = top + 50;
    consoleView_->setFrame({15 + left, consoleTop, bounds.size.width - 30 - 2 * left,
                            std::max(0.0, bounds.size.height - consoleTop - 10 - look::bottomBarSpace(*this))});
    // The text wraps anew at the new width: the newest lines stay in sight.
    consoleView_->scrollToEnd();
}

void CommandViewController::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    takeLinkAndVisit();
    commandTextField_->becomeFirstResponder();
}

void CommandViewController::startVisit(Scanner& link)
{
    LinkHolder::takeLinkBlockingStatus();
    lines_.clear();
    appendLines({link.deviceName()});
    if (link.commands())
        link.setCommands(std::nullopt);
}

void CommandViewController::viewWillDisappear(bool animated)
{
    ui::ViewController::viewWillDisappear(animated);
    LinkHolder::releaseLink();
    // Typed commands may have changed the adapter's settings: the link sets it up again for the next
    // screen (a link that is not connected has nothing to restore).
    if (const auto link = scanner())
        link->restoreSetup();
}

void CommandViewController::dismissKeyboard()
{
    view()->endEditing(true);
}

void CommandViewController::sendCode()
{
    const auto link = scanner();
    const Settings& settings = Manager::sharedManager().setting();
    if (link && link->isConnected()) {
        fnd::SystemSound::play(kTapSound);
        dismissKeyboard();
        if (takesTypedCommands(settings.deviceMode)) {
            link->sendCommand(ELMCommand(commandTextField_->text()));
        } else {
            auto alert = QueuedAlertController::alertControllerWithTitle(
                "Attention", "This feature is only available to ELM327 adapters at the moment.");
            alert->addAction("Ok");
            alert->show();
        }
    } else {
        // The address the link is given (--adapter may stand in for the saved one for this run).
        const AdapterAddress adapter = link ? link->settings().adapter : Manager::sharedManager().linkSettings().adapter;
        auto alert = QueuedAlertController::alertControllerWithTitle(
            "Connection error", fnd::format("No connection to host %s:%ld", adapter.host, static_cast<long>(adapter.port)));
        alert->addAction("Ok");
        alert->show();
    }
    dismissKeyboard();
}

bool CommandViewController::textFieldShouldReturn(ui::TextField&)
{
    dismissKeyboard();
    return true;
}

// The request as it was sent, then one line per adapter text and per ECU's answer.
void CommandViewController::scannerDidReceiveReply(Scanner&, const std::string& request,
                                                   const std::vector<Response>& responses,
                                                   const std::vector<std::string>& texts)
{
    std::vector<std::string> entry{"> " + request};
    for (const std::string& text : texts)
        entry.push_back("> " + text);
    for (const Response& response : responses) {
        if (response.rawData && !response.rawData->empty())
            entry.push_back("> " + hexLine(*response.rawData));
    }
    appendLines(entry);
}

void CommandViewController::appendLines(const std::vector<std::string>& lines)
{
    lines_.insert(lines_.end(), lines.begin(), lines.end());
    while (lines_.size() > maxConsoleLines)
        lines_.pop_front();
    std::string text;
    for (const std::string& line : lines_) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    consoleView_->setText(std::move(text));
    consoleView_->scrollToEnd();
}
