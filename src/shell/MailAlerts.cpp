#include "shell/MailAlerts.h"

#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/mail/MailComposer.h"
#include "shell/QueuedAlertController.h"

MailAlerts::MailAlerts()
{
    mail::MailComposer::setHandOffFailedHandler([](const mail::MailHandOffFailure& failure) {
        QueuedAlertController::showMessage(
            "Error", fnd::format(fnd::L("Mail handoff msg").c_str(), failure.reason, failure.keptFile));
    });
}

MailAlerts::~MailAlerts() { mail::MailComposer::setHandOffFailedHandler({}); }
