#include "shell/StorageAlerts.h"

#include "core/Notifications.h"
#include "core/model/Manager.h"
#include "shell/QueuedAlertController.h"

StorageAlerts::StorageAlerts()
{
    token_ = fnd::NotificationCenter::defaultCenter().addObserver(storageProblemNotification,
                                                                  [this](const fnd::Notification&) { showPending(); });
    showPending();
}

void StorageAlerts::showPending()
{
    for (const std::string& problem : Manager::sharedManager().takeStorageProblems())
        QueuedAlertController::showMessage("Attention", problem);
}
