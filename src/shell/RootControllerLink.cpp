// The main menu's side of the adapter link: connecting, the status strip, reconnection, the ECU choice,
// the warning lamp and handing polling over to the visible feature screen.

#include <utility>

#include "core/model/Manager.h"
#include "core/obd/PidNames.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Toast.h"
#include "shell/QueuedAlertController.h"
#include "shell/RootController.h"

namespace {

bool isAutomatic()
{
    return Manager::sharedManager().setting().connectionMode == 0;
}

}  // namespace

std::shared_ptr<Scanner> RootController::link() const
{
    return Manager::sharedManager().scanner();
}

void RootController::followLink()
{
    if (link() != handedOut_.lock())
        handOutLink();
}

void RootController::connect()
{
    loadViewIfNeeded();
    reconnect_.cancel();
    followLink();
    connecting_ = true;
    status_->setPower(MenuStatusView::Power::Connecting);
    status_->setDeviceName({});
    status_->setMilShown(false);
    link()->connect();
}

void RootController::disconnect()
{
    loadViewIfNeeded();
    reconnect_.cancel();
    connecting_ = false;
    link()->disconnect();
    followLink();
    status_->setPower(MenuStatusView::Power::Off);
    status_->setStatusText(fnd::L("Disconnected"));
    status_->setDeviceName({});
    status_->setMilShown(false);
}

// The strip follows the link and the connection mode, which the settings may have changed; automatic
// mode connects when nothing is under way.
void RootController::refreshConnection()
{
    if (!isViewLoaded())
        return;
    status_->setPowerButtonShown(!isAutomatic());
    const auto current = link();
    if (current->isConnected()) {
        status_->setPower(MenuStatusView::Power::On);
        status_->setStatusText(fnd::L("Connected"));
        status_->setDeviceName(current->deviceName());
    } else if (!connecting_ && appeared_ && isAutomatic() && !reconnect_.isPending()) {
        connect();
    }
}

void RootController::linkDropped()
{
    if (!isViewLoaded())
        return;
    connecting_ = false;
    followLink();
    // Why the connection failed or ended stays on the strip until the next attempt.
    const std::string& reason = link()->statusText();
    status_->setPower(MenuStatusView::Power::Off);
    status_->setStatusText(fnd::L(reason.empty() ? "Disconnected" : reason));
    status_->setDeviceName({});
    status_->setMilShown(false);
    // With the menu closed the strip is out of sight: the screen on view says it instead, whatever it is.
    // Only the latest reason shows: a failing adapter fails again at every attempt.
    ui::hideToasts(*content_);
    if (!menuOpen_)
        ui::makeToast(*content_, fnd::L(reason.empty() ? "Disconnected" : reason), droppedToastDuration,
                      ui::ToastPosition::Center);
    if (isAutomatic()) {
        reconnect_.cancel();
        reconnect_ = fnd::after(reconnectDelay, [this] {
            if (isAutomatic() && !connecting_ && !link()->isConnected())
                connect();
        });
    }
}

void RootController::scannerDidUpdateStatus(Scanner&, const std::string& text)
{
    status_->setStatusText(fnd::L(text));
}

// The warning lamp's state (01 01) is read on the side: its reply comes back here whoever holds the
// link, and the screen's polling starts at once, right behind it.
void RootController::scannerDidInitialize(Scanner& current)
{
    fnd::log(fnd::LogLevel::Info, "main menu: connected to " + current.deviceName());
    connecting_ = false;
    status_->setPower(MenuStatusView::Power::On);
    status_->setDeviceName(current.deviceName());
    // Why earlier attempts failed no longer holds, and would cover the live values.
    ui::hideToasts(*content_);
    fnd::SystemSound::play(connectedSound);
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    const Command lampStatus = current.commandForOBD2(service::currentData, pid::monitorStatus, pid::none);
    current.sendCommand(lampStatus, [weak](const std::vector<Response>& responses) {
        if (const auto self = std::static_pointer_cast<RootController>(weak.lock()))
            self->showMil(responses);
    });
    startScanning();
}

void RootController::showMil(const std::vector<Response>& responses)
{
    for (const Response& response : responses) {
        if (response.mode == service::currentDataReply && response.pid == pid::monitorStatus &&
            !response.data.empty()) {
            status_->setMilShown((response.data[0] & monitorStatusBits::milOn) != 0);
            return;
        }
    }
}

void RootController::startScanning()
{
    if (TemplateViewCon* screen = visibleFeatureScreen()) {
        screen->takeLink();
        screen->startScanning();
    }
}

void RootController::resetMil()
{
    if (isViewLoaded())
        status_->setMilShown(false);
}

// Initialisation waits until the user has picked one.
bool RootController::scannerShouldChooseECU(Scanner&, const std::vector<int>& ecus)
{
    auto sheet = QueuedAlertController::alertControllerWithTitle("Choose the ECU", "ECU msg",
                                                                 ui::AlertControllerStyle::ActionSheet);
    const std::weak_ptr<Scanner> weakLink = link();
    for (const int ecu : ecus) {
        sheet->addAction(fnd::format("%X", ecu), ui::AlertActionStyle::Default, [weakLink, ecu] {
            if (const auto chosen = weakLink.lock())
                chosen->selectECU(ecu);
        });
    }
    sheet->show();
    return true;
}
