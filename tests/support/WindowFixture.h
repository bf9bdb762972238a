#pragma once

#include <filesystem>
#include <memory>

#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/ViewController.h"

namespace testsupport {

// A screen in a window of the device's size, reached the way a user reaches it: every tap goes through
// the window's input path (support/Input). What the user reads is support/Input's texts(window()), left
// unwrapped so that tests calling it unqualified still find it.
class WindowFixture {
protected:
    // A new window of the device's size, in place of the one before.
    void makeWindow();
    // The screen at the root of the window (made when there is none), laid out after `settle` seconds of the
    // manual clock.
    void show(std::shared_ptr<ui::ViewController> screen, double settle = 0.5);
    // The same at the root of a navigation stack.
    void showInNavigation(std::shared_ptr<ui::ViewController> screen, double settle = 0.5);
    // An empty screen in place of the shown one, as when the user goes elsewhere.
    void leave(double settle = 0);
    // The window let go of its screen and closed.
    void closeWindow();

    ui::Window& window() { return root->window(); }

    // A finger down and up, then `settle` seconds more for what the tap set going.
    void tap(ui::Point at, double settle = 0);
    // The same on the middle of a view, as laid out now.
    void tap(const ui::View& view, double settle = 0);

    // What the window shows, kept as a PNG at `name` under the artifacts folder.
    void saveScreenshot(const std::filesystem::path& name);

    std::unique_ptr<ui::RootWindow> root;
    std::shared_ptr<ui::NavigationController> navigation;
};

}  // namespace testsupport
