#include "shell/QueuedAlertController.h"

#include "platform/foundation/Localization.h"

QueuedAlertController::QueuedAlertController(const std::string& title, const std::string& message,
                                             ui::AlertControllerStyle style)
    : ui::AlertController(fnd::L(title), fnd::L(message), style)
{
}

std::shared_ptr<QueuedAlertController> QueuedAlertController::alertControllerWithTitle(const std::string& title,
                                                                                       const std::string& message,
                                                                                       ui::AlertControllerStyle style)
{
    return std::make_shared<QueuedAlertController>(title, message, style);
}

void QueuedAlertController::showMessage(const std::string& title, const std::string& message)
{
    auto alert = alertControllerWithTitle(title, message);
    alert->addAction("Ok");
    alert->show();
}

void QueuedAlertController::addAction(const std::string& title, ui::AlertActionStyle style,
                                      std::function<void()> handler)
{
    ui::AlertController::addAction({fnd::L(title), style, [handler = std::move(handler)](const ui::AlertAction&) {
                                        if (handler)
                                            handler();
                                    }});
}

void QueuedAlertController::show()
{
    // The platform's alerts already take turns; one shown while another is up waits for it.
    ui::AlertController::show(true);
}

std::shared_ptr<ui::AlertController> AlertQueue::current()
{
    return ui::AlertController::visible();
}

std::size_t AlertQueue::waitingCount()
{
    return ui::AlertController::queuedCount();
}
