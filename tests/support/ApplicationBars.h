#pragma once

#include "platform/ui/NavigationBar.h"
#include "shell/TableLook.h"

// For the test programs of screens (they link the shell, which the support
// library does not).
namespace testsupport {

// The navigation bars in the look the application gives them when it starts,
// while this lives; the look they had before afterwards. Pictures of screens
// in navigation controllers need it to show their bars as a user sees them.
class ApplicationBars {
public:
    ApplicationBars() { TableLook::current().applyToBars(); }
    ~ApplicationBars() { ui::NavigationBar::appearance() = before_; }
    ApplicationBars(const ApplicationBars&) = delete;
    ApplicationBars& operator=(const ApplicationBars&) = delete;

private:
    ui::BarAppearance before_ = ui::NavigationBar::appearance();
};

}  // namespace testsupport
