#include "app/FeatureRegistry.h"

#include <algorithm>
#include <optional>

#include "platform/ui/TabBarController.h"
#include "shell/AppDelegate.h"

namespace {

std::optional<std::size_t> placeOf(std::string_view menuTitle)
{
    const auto& places = FeatureRegistry::menuPlaces();
    const auto found = std::find_if(places.begin(), places.end(),
                                    [&](const FeatureRegistry::MenuPlace& place) { return place.title == menuTitle; });
    if (found == places.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - places.begin());
}

std::string tabPath(std::string_view menuTitle, std::string_view tabTitle)
{
    return std::string(menuTitle) + "/" + std::string(tabTitle);
}

}  // namespace

const std::vector<FeatureRegistry::MenuPlace>& FeatureRegistry::menuPlaces()
{
    static const std::vector<MenuPlace> places = {
        {"Gauge list", {}},
        {"Logging", {}},
        {"Diagnostics", {"Emissions", "Trouble Codes", "Terminal", "Info", "Freeze frame"}},
        {"Fuel Economy", {"Fuel", "Trends"}},
        {"Dash Camcorder", {}},
        {"Racing", {}},
    };
    return places;
}

void FeatureRegistry::addScreen(std::string_view menuTitle, ScreenFactory make)
{
    const auto place = placeOf(menuTitle);
    if (!place || !menuPlaces()[*place].tabs.empty()) {
        errors_.push_back("the menu has no entry \"" + std::string(menuTitle) + "\" for a single screen");
        return;
    }
    fill(std::string(menuTitle), std::move(make));
}

void FeatureRegistry::addTab(std::string_view menuTitle, std::string_view tabTitle, ScreenFactory make)
{
    const auto place = placeOf(menuTitle);
    const auto& tabs = place ? menuPlaces()[*place].tabs : std::vector<std::string_view>{};
    if (std::find(tabs.begin(), tabs.end(), tabTitle) == tabs.end()) {
        errors_.push_back("the menu has no tab \"" + tabPath(menuTitle, tabTitle) + "\"");
        return;
    }
    fill(tabPath(menuTitle, tabTitle), std::move(make));
}

void FeatureRegistry::addSettings(std::string_view menuTitle, std::string rowTitle, ScreenFactory make)
{
    const auto place = placeOf(menuTitle);
    if (!place) {
        errors_.push_back("the settings row \"" + rowTitle + "\" names no menu entry \"" + std::string(menuTitle) +
                          "\"");
        return;
    }
    settings_.push_back({*place, {std::move(rowTitle), std::move(make)}});
}

void FeatureRegistry::fill(const std::string& path, ScreenFactory make)
{
    if (!filled_.emplace(path, std::move(make)).second)
        errors_.push_back("\"" + path + "\" was given two screens; the first stays");
}

AppScreens FeatureRegistry::screens() const
{
    AppScreens screens;
    for (const MenuPlace& place : menuPlaces()) {
        const std::string title(place.title);
        if (place.tabs.empty()) {
            if (const auto found = filled_.find(title); found != filled_.end())
                screens.menu.push_back({title, found->second});
            continue;
        }
        std::vector<NamedScreen> tabs;
        std::vector<std::string> tabTitles;
        for (const std::string_view tab : place.tabs) {
            if (const auto found = filled_.find(tabPath(place.title, tab)); found != filled_.end()) {
                tabs.push_back({std::string(tab), found->second});
                tabTitles.emplace_back(tab);
            }
        }
        if (tabs.empty())
            continue;
        screens.menu.push_back({title,
                                [tabs] {
                                    std::vector<AppDelegate::Tab> made;
                                    for (const NamedScreen& tab : tabs)
                                        made.push_back({tab.title, tab.make ? tab.make() : nullptr});
                                    return std::shared_ptr<ui::ViewController>(AppDelegate::makeTabBar(made));
                                },
                                std::move(tabTitles)});
    }
    std::vector<SettingsRow> rows = settings_;
    std::stable_sort(rows.begin(), rows.end(), [](const SettingsRow& a, const SettingsRow& b) { return a.place < b.place; });
    for (SettingsRow& row : rows)
        screens.settings.push_back(std::move(row.screen));
    return screens;
}
