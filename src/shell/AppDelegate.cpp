#include "shell/AppDelegate.h"

#include <algorithm>
#include <limits>

#include "core/Notifications.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/TabBarController.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"
#include "shell/SettingsViewController.h"
#include "shell/TableLook.h"
#include "shell/VersionTracking.h"

AppDelegate::AppDelegate(AppScreens screens)
    : screens_(std::move(screens))
{
}

void AppDelegate::didFinishLaunching(ui::RootWindow& window, std::optional<AdapterAddress> adapter)
{
    // Checked before the launch is recorded, so that a copy of damaged preferences is of them as they were.
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();
    if (const auto stored = defaults.objectForKey(launchCountKey); !stored.is_null() && !stored.is_number())
        defaults.noteDamage(std::string(launchCountKey) + " is not a number; counting from 0");
    VersionTracking::track(version, build);

    Manager& manager = Manager::sharedManager();
    manager.noteKeptAside(defaults.file().filename().string(), defaults.takeKeptAside());
    manager.scanner();
    DataStore::sharedDataStore().protocol = manager.setting().protocol;

    setBarAppearance();

    // The menu in its order, the settings screen last; an entry whose screen was not made is left out.
    std::vector<std::shared_ptr<ui::ViewController>> screens;
    std::vector<std::string> titles;
    for (const NamedScreen& entry : screens_.menu) {
        if (auto screen = entry.make ? entry.make() : nullptr) {
            titles.push_back(entry.title);
            screens.push_back(std::move(screen));
        }
    }
    const bool startsOnFeature = !screens.empty();
    titles.push_back("Settings");
    screens.push_back(
        std::make_shared<ui::NavigationController>(std::make_shared<SettingsViewController>(screens_.settings)));

    Manager::sharedManager().setAdapterOverride(std::move(adapter));
    root_ = RootController::create(std::move(screens), std::move(titles));
    window.setRootViewController(root_);
    if (startsOnFeature)
        root_->setMenuOpen(false, false);
    storageAlerts_ = std::make_unique<StorageAlerts>();
    mailAlerts_ = std::make_unique<MailAlerts>();

    showRatingPromptIfDue();
}

namespace {

bool titled(std::string_view wanted, const std::string& title)
{
    return wanted == title || wanted == fnd::L(title);
}

ui::TabBarController* tabsOf(ui::ViewController& entry)
{
    return dynamic_cast<ui::TabBarController*>(&entry);
}

}  // namespace

std::vector<std::string> AppDelegate::screenPaths() const
{
    std::vector<std::string> paths;
    for (const NamedScreen& entry : screens_.menu) {
        paths.push_back(entry.title);
        for (const std::string& tab : entry.tabs)
            paths.push_back(entry.title + "/" + tab);
    }
    paths.push_back("Settings");
    return paths;
}

std::optional<std::string> AppDelegate::checkScreenPath(std::string_view path) const
{
    const std::vector<std::string> paths = screenPaths();
    const auto names = [&](const std::string& known) {
        const std::size_t slash = path.find('/');
        const std::size_t knownSlash = known.find('/');
        if ((slash == std::string_view::npos) != (knownSlash == std::string::npos))
            return false;
        if (slash == std::string_view::npos)
            return titled(path, known);
        return titled(path.substr(0, slash), known.substr(0, knownSlash)) &&
               titled(path.substr(slash + 1), known.substr(knownSlash + 1));
    };
    if (std::any_of(paths.begin(), paths.end(), names))
        return std::nullopt;
    std::string message = "no screen \"" + std::string(path) + "\"; the screens are:";
    for (const std::string& known : paths)
        message += " \"" + known + "\"";
    return message;
}

std::optional<std::string> AppDelegate::openScreen(std::string_view path)
{
    if (auto error = checkScreenPath(path))
        return error;
    const std::size_t slash = path.find('/');
    const std::string_view entryTitle = path.substr(0, slash);
    const std::optional<std::string_view> tabTitle =
        slash == std::string_view::npos ? std::nullopt : std::optional(path.substr(slash + 1));
    // A screen that was listed but not made (its factory gave none) cannot be shown.
    const auto noScreen = [&] { return "the screen \"" + std::string(path) + "\" could not be made"; };
    if (!root_)
        return noScreen();

    const auto& titles = root_->menuTitles();
    const auto entry = std::find_if(titles.begin(), titles.end(),
                                    [&](const std::string& title) { return titled(entryTitle, title); });
    if (entry == titles.end())
        return noScreen();
    const auto index = static_cast<std::size_t>(entry - titles.begin());
    if (tabTitle) {
        auto* tabs = tabsOf(*root_->menuScreens()[index]);
        if (!tabs)
            return noScreen();
        const auto& controllers = tabs->viewControllers();
        const auto tab = std::find_if(controllers.begin(), controllers.end(), [&](const auto& controller) {
            return titled(*tabTitle, controller->tabBarItem().title());
        });
        if (tab == controllers.end())
            return noScreen();
        tabs->setSelectedIndex(static_cast<int>(tab - controllers.begin()));
    }
    root_->selectEntry(static_cast<int>(index));
    root_->setMenuOpen(false, false);
    return std::nullopt;
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

std::shared_ptr<ui::TabBarController> AppDelegate::makeTabBar(const std::vector<Tab>& tabs)
{
    std::vector<std::shared_ptr<ui::ViewController>> controllers;
    for (const Tab& tab : tabs) {
        if (!tab.screen)
            continue;
        tab.screen->setTitle(fnd::L(tab.title));
        auto navigation = std::make_shared<ui::NavigationController>(tab.screen);
        navigation->tabBarItem().setTitle(fnd::L(tab.title));
        controllers.push_back(std::move(navigation));
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
    TableLook::current().applyToBars();
}

void AppDelegate::reportDamagedPreferences()
{
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();
    if (const auto copy = defaults.takeDamagedCopy(); !copy.empty())
        Manager::sharedManager().noteMended(defaults.file().filename().string(), copy);
}

// On the fourth and seventh launch, a plain alert of our own asks for a rating.
void AppDelegate::showRatingPromptIfDue()
{
    // A run that only takes a screenshot (scripts/run without a display) is no launch by the user, and
    // the prompt would cover the screen it pictures.
    if (const ui::Application* app = ui::Application::shared(); app && !app->options().screenshot.empty()) {
        reportDamagedPreferences();
        return;
    }
    fnd::UserDefaults& defaults = fnd::UserDefaults::standard();
    reportDamagedPreferences();
    const int launches = defaults.integerForKey(launchCountKey);
    if (launches == 3 || launches == 6)
        QueuedAlertController::showMessage("Enjoying Norvale?", "Rate msg");
    if (launches < std::numeric_limits<int>::max())
        defaults.setInteger(launchCountKey, launches + 1);
    defaults.synchronize();
}
