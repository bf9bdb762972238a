#pragma once

#include <memory>
#include <string>

namespace ui {
class AlertController;
}

// A warning that the link's replies raise again every few seconds while the cause lasts (a hot engine).
// At most one alert of it waits for the user at a time: the next is shown once the user has closed the
// last one with "Ok" (or it has gone some other way).
class WarningAlert {
public:
    explicit WarningAlert(std::string title) : title_(std::move(title)) {}

    // Shows an alert with the title, the message and one "Ok" button that only closes it, unless the last
    // one still waits. True when it showed one.
    bool show(const std::string& message);
    // Whether the last alert is still on screen or waiting its turn.
    bool isWaiting() const;

private:
    std::string title_;
    std::weak_ptr<ui::AlertController> alert_;
    // Shared with the "Ok" handler, which may run after this object is gone.
    std::shared_ptr<bool> open_ = std::make_shared<bool>(false);
};
