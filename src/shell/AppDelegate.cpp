#include "shell/AppDelegate.h"

#include <limits>

#include "core/Notifications.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/TabBarController.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"
#include "shell/SettingsViewController.h"
#include "shell/TableLook.h"
#include "shell/VersionTracking.h"

void AppDelegate::didFinishLaunching(ui::RootWindow& window, std::optional<AdapterAddress> adapter)
{
    VersionTracking::track(version, build);

    Manager& manager = Manager::sharedManager();
    manager.scanner();
    DataStore::sharedDataStore().protocol = manager.setting().protocol;

    setBarAppearance();

    settings_ = std::make_shared<ui::NavigationController>(std::make_shared<SettingsViewController>());

    // The diagnostics tabs "Emissions", "Trouble Codes", "Terminal", "Info" and "Freeze frame", each in its
    // own navigation stack, and the fuel tabs (the fuel screen and its trends) have no screens built yet:
    // their tab bars stay out of the menu until they do.
    diagnostics_ = makeTabBar({}, true);
    fuel_ = makeTabBar({}, false);

    // The menu in its order; an entry whose screen is not built is left out.
    std::vector<std::shared_ptr<ui::ViewController>> screens;
    std::vector<std::string> titles;
    const auto addEntry = [&](const char* title, std::shared_ptr<ui::ViewController> screen) {
        if (screen) {
            titles.push_back(title);
            screens.push_back(std::move(screen));
        }
    };
    addEntry("Diagnostics", diagnostics_);
    addEntry("Fuel Economy", fuel_);
    addEntry("Settings", settings_);

    Manager::sharedManager().setAdapterOverride(std::move(adapter));
    root_ = RootController::create(std::move(screens), std::move(titles));
    window.setRootViewController(root_);

    showRatingPromptIfDue();
}

void AppDelegate::didEnterBackground()
{
    Manager::sharedManager().saveChanges();
    fnd::NotificationCenter::defaultCenter().post(enteredBackgroundNotification, this);
}

void AppDelegate::willEnterForeground()
{
    fnd::NotificationCenter::defaultCenter().post(appMovedToForeground, this);
}

void AppDelegate::willTerminate()
{
    Manager::sharedManager().saveChanges();
    fnd::NotificationCenter::defaultCenter().post(appClosedNotification, this);
}

std::shared_ptr<ui::TabBarController> AppDelegate::makeTabBar(const std::vector<Tab>& tabs, bool inNavigation)
{
    std::vector<std::shared_ptr<ui::ViewController>> controllers;
    for (const Tab& tab : tabs) {
        if (!tab.screen)
            continue;
        tab.screen->setTitle(fnd::L(tab.title));
        if (inNavigation) {
            auto navigation = std::make_shared<ui::NavigationController>(tab.screen);
            navigation->tabBarItem().setTitle(fnd::L(tab.title));
            controllers.push_back(std::move(navigation));
        } else {
            controllers.push_back(tab.screen);
        }
    }
    if (controllers.empty())
        return nullptr;
    auto tabBar = std::make_shared<ui::TabBarController>();
    tabBar->setViewControllers(std::move(controllers));
    return tabBar;
}

std::optional<AdapterAddress> AppDelegate::parseAdapterAddress(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    auto host = input::hostAddress(text.substr(0, colon));
    const auto port = input::port(text.substr(colon + 1));
    if (!host || !port)
        return std::nullopt;
    return AdapterAddress{std::move(*host), *port};
}

void AppDelegate::setBarAppearance()
{
    const TableLook look = TableLook::current();
    ui::BarAppearance& bars = ui::NavigationBar::appearance();
    bars.barTintColor = look.cellBackground;
    bars.tintColor = TableLook::selectionStrip();
    bars.titleTextAttributes = {TableLook::titleFont(), look.text};
}

// On the fourth and seventh launch, a plain alert of our own asks for a rating.
void AppDelegate::showRatingPromptIfDue()
{
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();
    const int launches = defaults.integerForKey(launchCountKey);
    if (launches == 3 || launches == 6)
        QueuedAlertController::showMessage("Enjoying Norvale?", "Rate msg");
    if (launches < std::numeric_limits<int>::max())
        defaults.setInteger(launchCountKey, launches + 1);
    defaults.synchronize();
}
