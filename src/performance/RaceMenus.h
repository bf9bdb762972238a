#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/Timer.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/NavigationBar.h"
#include "shell/WarningAlert.h"

class RacePanels;
namespace ui {
class SegmentedControl;
}

// The race screen's menus: the mode ("Drag", "Track") and ready ("Not ready", "Ready") selectors on the
// timer panel, the navigation bar that drops in on a tap with the menu button and the options sheet
// ("Reset data", "Track selection"), and the alerts the screen raises.
class RaceMenus {
public:
    struct Actions {
        std::function<void(int)> modeChosen;   // 0 drag, 1 track
        std::function<void(int)> readyChosen;  // 0 not ready, 1 ready
        std::function<void()> resetData;
        std::function<void()> trackSelection;
    };

    // The selectors go on the panels' timer panel; the bar waits above the screen's view until a tap drops
    // it in over the panels.
    RaceMenus(ui::View& host, RacePanels& panels, int theme, std::shared_ptr<ui::BarButtonItem> menuButton,
              Actions actions);
    ~RaceMenus();
    RaceMenus(const RaceMenus&) = delete;
    RaceMenus& operator=(const RaceMenus&) = delete;

    // The selectors hide while a run is under way.
    void showSelectors(bool shown);
    // Back to "Not ready".
    void showNotReady();
    void layOutSelectors();
    ui::SegmentedControl& modeSelector() const { return *raceModeSegCon_; }
    ui::SegmentedControl& readySelector() const { return *readySegCon_; }

    // Drops the bar in (upright on a phone it pushes the panels down) and hides it again shortly after.
    void dropBar();
    void hideBar();
    bool barShown() const { return barShown_; }
    // The bar is in over the panels (upright, or on a pad): the screen must not place the pages meanwhile.
    bool barHoldsPanels() const { return barShown_ && barOverPanels_; }
    void bringBarToFront();
    // The bar's action button, which opens the options (null while the bar does not show it).
    ui::View* optionsButton() { return bar_->viewForItem(*barItem_.rightBarButtonItem()); }

    void showOptions();
    static void showError(const std::string& key);
    // The first visit's note on how a run starts, over the middle of the screen for a while.
    void explainFirstRace();
    // One high-temperature alert at a time; false while one is still up.
    bool warnTemperature(const std::string& message) { return temperatureWarning_.show(message); }

private:
    ui::View& host_;
    RacePanels& panels_;
    Actions actions_;
    std::shared_ptr<ui::SegmentedControl> raceModeSegCon_, readySegCon_;
    std::shared_ptr<ui::NavigationBar> bar_;
    ui::NavigationItem barItem_;
    fnd::DelayedCall hideBarCall_;
    bool barShown_ = false;
    bool barOverPanels_ = false;
    bool panelsPushed_ = false;
    WarningAlert temperatureWarning_{"WARNING"};
};
