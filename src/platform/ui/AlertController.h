#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class AlertController;

enum class AlertControllerStyle { ActionSheet = 0, Alert = 1 };
enum class AlertActionStyle { Default = 0, Cancel = 1, Destructive = 2 };

struct AlertAction {
    std::string title;
    AlertActionStyle style = AlertActionStyle::Default;
    std::function<void(const AlertAction&)> handler;
    bool enabled = true;
};

// An alert (a centred box) or an action sheet (buttons from the bottom edge)
// with a title, a message, actions and, in alerts, text fields. Alerts are
// shown one at a time over the top-most screen of the current window: one
// shown while another is on screen waits until the earlier one is
// dismissed. Choosing an action dismisses the alert, then runs its handler.
class AlertController : public ViewController {
public:
    AlertController(std::string title, std::string message, AlertControllerStyle style);
    static std::shared_ptr<AlertController> create(std::string title, std::string message,
                                                   AlertControllerStyle style = AlertControllerStyle::Alert);

    const std::string& message() const { return message_; }
    void setMessage(std::string message);
    AlertControllerStyle preferredStyle() const { return style_; }

    void addAction(AlertAction action);
    const std::vector<AlertAction>& actions() const { return actions_; }
    std::vector<std::string> actionTitles() const;
    // Alerts only; configure runs on the new field.
    void addTextField(const std::function<void(TextField&)>& configure = {});
    const std::vector<std::shared_ptr<TextField>>& textFields() const { return textFields_; }

    // The fill and corner radius of the box that holds the texts and buttons (and of a sheet's cancel
    // box); by default a light box with the platform's corner radius.
    void setContentBackground(Color color, double cornerRadius);

    // Where an action sheet points on a pad; sheets show from the bottom edge here.
    void setSourceView(View* view, Rect rect);

    // Shows the alert over the top-most screen, or queues it behind the one shown.
    void show(bool animated = true, std::function<void()> completion = {});
    // As a tap on the action's button: dismisses the alert and runs the handler
    // once. False when the alert is not on screen or has no enabled action of that title.
    bool triggerAction(const std::string& title);

    // The alert on screen, if any, and the number waiting behind it (tests).
    static std::shared_ptr<AlertController> visible();
    static std::size_t queuedCount();
    // Drops every alert, shown or waiting, without running handlers (tests).
    static void dismissAll();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) override;

private:
    class AlertView;
    // Shows the first alert waiting when none is shown.
    static void showNext();
    void choose(std::size_t index);
    void showContent();
    std::shared_ptr<View> buildContent(Rect bounds);

    std::string message_;
    AlertControllerStyle style_;
    std::vector<AlertAction> actions_;
    std::vector<std::shared_ptr<TextField>> textFields_;
    std::shared_ptr<View> content_;
    Color contentBackground_ = Color::white(0.97);
    Color cancelBackground_ = Color::white();
    double contentCornerRadius_ = 13;
    bool chosen_ = false;
};

} // namespace ui
