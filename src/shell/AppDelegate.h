#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/Manager.h"
#include "shell/RootController.h"

namespace ui {
class NavigationController;
class RootWindow;
class TabBarController;
class ViewController;
}  // namespace ui

// The application's start-up, its moments in the background and foreground, and its end. It owns every
// top-level screen for the life of the process.
class AppDelegate {
public:
    static constexpr const char* version = "1.0.0";
    static constexpr const char* build = "1";
    // The number of launches before this one, for the rating prompt on the fourth and seventh.
    static constexpr const char* launchCountKey = "LaunchAmounts";

    // In this order: records the launch, loads the records and makes the link, copies the protocol into
    // the data store, sets the bars' look, makes the screens and the tab bars, makes the main menu the
    // window's root, and shows the rating prompt when its launch has come. `adapter` replaces the stored
    // Wi-Fi adapter address for this run only.
    void didFinishLaunching(ui::RootWindow& window, std::optional<AdapterAddress> adapter = std::nullopt);
    // The window was hidden: everything is saved.
    void didEnterBackground();
    void willEnterForeground();
    // The end of the run: everything is saved.
    void willTerminate();

    const std::shared_ptr<RootController>& rootController() const { return root_; }
    // Null while they would have no tabs.
    const std::shared_ptr<ui::TabBarController>& diagnosticsTabBar() const { return diagnostics_; }
    const std::shared_ptr<ui::TabBarController>& fuelTabBar() const { return fuel_; }

    struct Tab {
        std::string title;
        std::shared_ptr<ui::ViewController> screen;
    };
    // A tab bar of the screens in order, each the root of its own navigation stack when `inNavigation`;
    // null when there are no screens.
    static std::shared_ptr<ui::TabBarController> makeTabBar(const std::vector<Tab>& tabs, bool inNavigation);

    // "HOST:PORT" as --adapter takes it; nothing when either part is not valid.
    static std::optional<AdapterAddress> parseAdapterAddress(std::string_view text);

private:
    void setBarAppearance();
    void showRatingPromptIfDue();

    std::shared_ptr<ui::NavigationController> settings_;
    std::shared_ptr<ui::TabBarController> diagnostics_;
    std::shared_ptr<ui::TabBarController> fuel_;
    std::shared_ptr<RootController> root_;
};
