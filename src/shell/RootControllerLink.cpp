// The main menu's side of the adapter link: connecting, the status strip, reconnection, the ECU choice,
// the warning lamp and handing polling over to the visible feature screen.

#include <utility>

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
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

void RootController::takeLink()
{
    const auto current = link();
    if (current != handedOut_.lock()) {
        if (const auto old = handedOut_.lock(); old && old->delegate() == this)
            old->setDelegate(nullptr);
        handOutLink();
    }
    current->setDelegate(this);
}

void RootController::connect()
{
    loadViewIfNeeded();
    reconnect_.cancel();
    milRead_.cancel();
    takeLink();
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
    milRead_.cancel();
    connecting_ = false;
    const auto current = link();
    current->disconnect();
    takeLink();
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
    milRead_.cancel();
    takeLink();
    status_->setPower(MenuStatusView::Power::Off);
    status_->setStatusText(fnd::L("Disconnected"));
    status_->setDeviceName({});
    status_->setMilShown(false);
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

void RootController::scannerDidInitialize(Scanner& current)
{
    fnd::log(fnd::LogLevel::Info, "main menu: connected to " + current.deviceName());
    connecting_ = false;
    status_->setPower(MenuStatusView::Power::On);
    status_->setDeviceName(current.deviceName());
    current.sendCommand(current.commandForOBD2(0x01, 0x01, 255));
    milRead_ = fnd::after(milReadTimeout, [this] { startScanning(); });
}

void RootController::didReceiveResponse(const std::vector<Response>& responses)
{
    if (!milRead_.isPending())
        return;
    for (const Response& response : responses) {
        if (response.mode == 0x41 && response.pid == 0x01 && !response.data.empty()) {
            status_->setMilShown((response.data[0] & 0x80) != 0);
            milRead_.cancel();
            startScanning();
            return;
        }
    }
}

void RootController::startScanning()
{
    if (TemplateViewCon* screen = visibleFeatureScreen())
        screen->startScanning();
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
