#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/walker/ScreenChecks.h"
#include "platform/ui/Geometry.h"

class RootController;

namespace ui {
class NavigationController;
class ScrollView;
class RootWindow;
class View;
class ViewController;
}  // namespace ui

namespace walker {

// A finding on a screen ("Racing", "Settings > Adapter", "Racing / Reset data" for a sheet).
struct Reported {
    std::string screen;
    Finding finding;
};

struct Counts {
    int screens = 0;
    int controlsTapped = 0;
    int sheetsOpened = 0;
    int sheetsClosed = 0;
};

// Walks the application as a user would, only by taps, swipes and keys on the window: every menu entry
// and tab, every enabled control (buttons, bar buttons, segments, switches, sliders, text fields, left
// with Return) and disclosure row it shows, the sheets, alerts and screens
// they open, and back. Each state it reaches is checked (ScreenChecks), pictured into `pictures`, and
// every way out is tried: one button of each alert closes it, a pushed screen goes back, a presented
// one is dismissed by its own Done or Cancel, and both a right swipe and the menu button show the menu.
class ScreenWalker {
public:
    ScreenWalker(ui::RootWindow& root, RootController& menu, std::filesystem::path pictures);

    // Each path is a menu entry or "Entry/Tab".
    void walk(const std::vector<std::string>& paths);
    // Walks on from the screen as it shows now (reached by other means than the walk), named `screen`.
    void walkFromHere(const std::string& screen);

    const std::vector<Reported>& reported() const { return reported_; }
    const Counts& counts() const { return counts_; }
    // One line per screen, sheet and tap, in order.
    const std::vector<std::string>& trail() const { return trail_; }

private:
    struct Target {
        std::string name;
        ui::Point at;  // window coordinates: the middle of its title
        ui::View* control = nullptr;
        bool reached = false;  // a tap at `at` reaches it
    };
    struct Snapshot {
        ui::ViewController* top = nullptr;
        ui::NavigationController* navigation = nullptr;
        std::size_t depth = 0;
    };

    void open(const std::string& path);
    bool openMenu();
    void closeMenu(const std::string& screen);
    bool menuShows();
    ui::View* menuButton();
    void checkMenu(const std::string& screen);
    void revealBar();

    void visit(const std::string& screen, int depth);
    bool tapNext(const std::string& screen, std::set<std::string>& tapped, int depth, bool onTheBar);
    void tapTarget(const std::string& screen, const Target& target, int depth);
    bool scrollOn();
    void turnPages(const std::string& screen, const Snapshot& start);
    ui::ScrollView* findPager();
    static const ui::View* pageShown(ui::ScrollView& pager);
    void findScrollViews(ui::View& view, const std::function<void(ui::ScrollView&)>& found);
    void answerAlerts(const std::string& screen);
    void leavePresented(const std::string& screen, const Snapshot& before);
    void goBack(const std::string& screen, const Snapshot& before);

    std::vector<Target> targets();
    void collectTargets(ui::View& view, std::vector<Target>& found);
    ui::View& topLayer();
    bool onScreen(ui::Point at) const;
    bool reachable(ui::View& view, ui::Point at);
    // A navigation bar other than the control's own takes a tap at the point.
    bool barOver(ui::Point at, const ui::View& control);
    Snapshot snapshot() const;
    bool left(const Snapshot& before) const;
    static std::string titleOf(ui::ViewController& screen);

    void check(const std::string& screen);
    void report(const std::string& screen, Finding finding);
    void picture(const std::string& name);
    void settle();

    ui::RootWindow& root_;
    RootController& menu_;
    std::filesystem::path pictures_;
    std::vector<Reported> reported_;
    std::set<std::tuple<std::string, std::string, std::string>> seen_;
    std::vector<std::string> missingImages_;  // the process's missing images, as of the last check
    std::vector<std::string> trail_;
    std::string current_;  // the entry or tab walked last
    Counts counts_;
    int pictureCount_ = 0;
};

}  // namespace walker
