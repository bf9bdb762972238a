#include "shell/WarningAlert.h"

#include "shell/QueuedAlertController.h"

bool WarningAlert::show(const std::string& message)
{
    if (isWaiting())
        return false;
    auto alert = QueuedAlertController::alertControllerWithTitle(title_, message);
    alert->addAction("Ok", ui::AlertActionStyle::Default, [open = open_] { *open = false; });
    *open_ = true;
    alert_ = alert;
    alert->show();
    return true;
}

bool WarningAlert::isWaiting() const
{
    return *open_ && !alert_.expired();
}
