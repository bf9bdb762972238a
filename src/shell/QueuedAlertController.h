#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/AlertController.h"

// An alert that waits its turn: show() puts it on screen over the top-most screen, or behind the alerts
// already shown or waiting (AlertQueue). Titles, messages and button titles are message keys or English
// texts, localized here.
class QueuedAlertController : public ui::AlertController {
public:
    QueuedAlertController(const std::string& title, const std::string& message, ui::AlertControllerStyle style);

    static std::shared_ptr<QueuedAlertController> alertControllerWithTitle(
        const std::string& title, const std::string& message,
        ui::AlertControllerStyle style = ui::AlertControllerStyle::Alert);
    // The common case: the title and message with one "Ok" button that only closes the alert.
    static void showMessage(const std::string& title, const std::string& message);

    void addAction(const std::string& title, ui::AlertActionStyle style = ui::AlertActionStyle::Default,
                   std::function<void()> handler = {});
    void show();
};

// The alerts of the application, one on screen at a time, the others in the order they were shown.
class AlertQueue {
public:
    // The alert on screen, if any.
    static std::shared_ptr<ui::AlertController> current();
    // The alerts waiting behind it.
    static std::size_t waitingCount();
};
