#include "app/walker/ScreenWalker.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>

#include "platform/foundation/Localization.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/VisibleText.h"
#include "platform/ui/Window.h"
#include "shell/RootController.h"
#include "support/Input.h"

namespace walker {

namespace {

// Pushed and presented screens are opened this many levels deep.
constexpr int deepest = 2;
// Enough for the busiest screen; keeps a walk within CI's time.
constexpr std::size_t mostTargets = 40;
constexpr int mostAlertsInARow = 4;
// Pages of a long list walked, each scrolled on by most of its height.
constexpr int mostPages = 6;
// The longest a bar that a tap drops in stays (the race screen's: 1.8 s).
constexpr double barDroppedInFor = 2;

ui::NavigationController* navigationOf(ui::ViewController* screen)
{
    if (!screen)
        return nullptr;
    if (auto* navigation = dynamic_cast<ui::NavigationController*>(screen))
        return navigation;
    if (auto* tabs = dynamic_cast<ui::TabBarController*>(screen))
        return navigationOf(tabs->selectedViewController());
    return screen->navigationController();
}

// The action a user closes an alert with: its cancel action, else one that says so, else the first.
std::string closingAction(const ui::AlertController& alert)
{
    const auto& actions = alert.actions();
    for (const ui::AlertAction& action : actions) {
        if (action.style == ui::AlertActionStyle::Cancel)
            return action.title;
    }
    for (const char* title : {"Cancel", "Close", "OK", "Ok", "No", "Done"}) {
        if (std::any_of(actions.begin(), actions.end(), [&](const ui::AlertAction& a) { return a.title == title; }))
            return title;
    }
    return actions.empty() ? std::string() : actions.front().title;
}

// The navigation bar nearest the top among those shown in a screen.
ui::NavigationBar* topBar(ui::View& view)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return nullptr;
    if (auto* bar = dynamic_cast<ui::NavigationBar*>(&view))
        return bar;
    ui::NavigationBar* best = nullptr;
    for (const auto& child : view.subviews()) {
        ui::NavigationBar* found = topBar(*child);
        if (found && (!best || found->convertPoint({0, 0}, nullptr).y < best->convertPoint({0, 0}, nullptr).y))
            best = found;
    }
    return best;
}

// Whether a view, or one in it, shows other values than its own while an animation runs.
bool animating(const ui::View& view)
{
    const ui::LayerState shown = view.presentationState();
    const ui::LayerState model = view.layerState();
    if (shown.center != model.center || shown.bounds != model.bounds || shown.alpha != model.alpha)
        return true;
    return std::any_of(view.subviews().begin(), view.subviews().end(),
                       [](const auto& child) { return animating(*child); });
}

// Whether an image view or a button shown in `view` shows `image` (the same pixels).
bool showsImage(const ui::View& view, const ui::Image& image)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return false;
    const auto* imageView = dynamic_cast<const ui::ImageView*>(&view);
    const auto* button = dynamic_cast<const ui::Button*>(&view);
    const ui::Image shown = imageView ? imageView->image() : button ? button->currentImage() : ui::Image();
    if (!shown.isNull() && shown.pixels() == image.pixels())
        return true;
    return std::any_of(view.subviews().begin(), view.subviews().end(),
                       [&](const auto& child) { return showsImage(*child, image); });
}

// The list row a control lies in, else its place in what scrolls: unlike its order on screen, both stay put.
std::string placeInContent(ui::View& control, ui::Point at)
{
    for (ui::View* a = control.superview(); a; a = a->superview()) {
        auto* scroll = dynamic_cast<ui::ScrollView*>(a);
        const ui::Point place = scroll ? scroll->convertPointFromView(at, nullptr) : at;
        auto* list = dynamic_cast<ui::TableView*>(a);
        if (const auto row = list ? list->indexPathForRowAtPoint(place) : std::nullopt)
            return " in row " + std::to_string(row->row + 1) + " of section " + std::to_string(row->section + 1);
        if (scroll && scroll->maximumContentOffset().y > scroll->minimumContentOffset().y)
            return " at " + std::to_string(std::lround(place.x)) + "," + std::to_string(std::lround(place.y));
    }
    return {};
}

bool onABar(const ui::View* v) { return v && (dynamic_cast<const ui::NavigationBar*>(v) || onABar(v->superview())); }

std::string fileName(std::string name)
{
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '-';
    }
    return name;
}

}  // namespace

ScreenWalker::ScreenWalker(ui::RootWindow& root, RootController& menu, std::filesystem::path pictures)
    : root_(root)
    , menu_(menu)
    , pictures_(std::move(pictures))
    , missingImages_(ui::Image::missingNames())
{
    std::filesystem::create_directories(pictures_);
}

void ScreenWalker::walk(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        // An entry with tabs is walked tab by tab.
        const bool hasTabs = std::any_of(paths.begin(), paths.end(),
                                         [&](const std::string& p) { return p.starts_with(path + "/"); });
        if (hasTabs)
            continue;
        open(path);
        // A first visit may greet with an alert, which a user answers before anything else.
        answerAlerts(path);
        checkMenu(path);
        visit(path, 0);
        current_ = path;
    }
    open(paths.front());
}

void ScreenWalker::walkFromHere(const std::string& screen)
{
    settle();
    visit(screen, 0);
    answerAlerts(screen);
}

void ScreenWalker::settle()
{
    testsupport::advance(0.6);
    fnd::RunLoop::main().processEvents();
    root_.window().layoutIfNeeded();
}

// Opens the menu the way a user does and picks the entry, then the tab.
void ScreenWalker::open(const std::string& path)
{
    const std::size_t slash = path.find('/');
    const std::string entry = path.substr(0, slash);
    const auto& titles = menu_.menuTitles();
    const auto found = std::find_if(titles.begin(), titles.end(),
                                    [&](const std::string& t) { return t == entry || fnd::L(t) == entry; });
    if (found == titles.end())
        return report(path, {"menu entry", "not in the menu"});
    const int index = static_cast<int>(found - titles.begin());
    if (menu_.selectedIndex() != index) {
        if (!openMenu()) {
            report(current_, {"leaving to the menu", "neither the menu button nor a right swipe shows the menu"});
            menu_.setMenuOpen(true, false);
        }
        const auto cell = menu_.menuTable().cellForRowAtIndexPath({0, index});
        if (cell)
            testsupport::tap(root_.window(), *cell);
        settle();
        if (menu_.selectedIndex() != index) {
            report(path, {"menu entry", "a tap on it does not show it"});
            menu_.selectEntry(index);
            settle();
        }
    }
    if (slash == std::string::npos)
        return;
    auto* tabs = dynamic_cast<ui::TabBarController*>(&menu_.selectedViewController());
    if (!tabs)
        return report(path, {"tab", "the entry has no tab bar"});
    const std::string tab = path.substr(slash + 1);
    for (std::size_t i = 0; i < tabs->viewControllers().size(); ++i) {
        const std::string& title = tabs->viewControllers()[i]->tabBarItem().title();
        if (title != tab && title != fnd::L(tab))
            continue;
        ui::TabBar& bar = tabs->tabBar();
        // Screens that hide their bars (fuel on its side) show them again at a tap, as a user finds out.
        if (bar.isHidden())
            revealBar();
        testsupport::tap(root_.window(), bar.convertPoint(bar.rectForItem(static_cast<int>(i)).center(), nullptr));
        settle();
        if (tabs->selectedIndex() != static_cast<int>(i))
            report(path, {"tab", "a tap on it does not show it"});
        return;
    }
    report(path, {"tab", "not in the tab bar"});
}

bool ScreenWalker::menuShows()
{
    const std::vector<std::string> shown = testsupport::texts(root_.window());
    return std::all_of(menu_.menuTitles().begin(), menu_.menuTitles().end(), [&](const std::string& title) {
        return std::find(shown.begin(), shown.end(), fnd::L(title)) != shown.end();
    });
}

// The button at the left end of the screen's top bar.
ui::View* ScreenWalker::menuButton()
{
    ui::ViewController& entry = menu_.selectedViewController();
    ui::NavigationBar* bar = entry.isViewLoaded() ? topBar(*entry.view()) : nullptr;
    if (!bar)
        return nullptr;
    std::vector<Target> buttons;
    collectTargets(*bar, buttons);
    std::erase_if(buttons, [](const Target& t) { return !t.reached; });
    const auto leftmost = std::min_element(buttons.begin(), buttons.end(),
                                           [](const Target& a, const Target& b) { return a.at.x < b.at.x; });
    if (leftmost == buttons.end() || leftmost->at.x > root_.size().width / 3)
        return nullptr;
    return root_.window().hitTest(leftmost->at);
}

bool ScreenWalker::openMenu()
{
    if (ui::View* button = menuButton()) {
        testsupport::tap(root_.window(), *button);
        settle();
        if (menuShows())
            return true;
    }
    const ui::Size size = root_.size();
    testsupport::swipe(root_.window(), {10, size.height / 2}, {size.width * 0.8, size.height / 2});
    settle();
    return menuShows();
}

// A left swipe puts the menu away, or else the menu button.
void ScreenWalker::closeMenu(const std::string& screen)
{
    if (!menu_.isMenuOpen() && !menuShows())
        return;
    const ui::Size size = root_.size();
    testsupport::swipe(root_.window(), {size.width - 10, size.height / 2}, {size.width * 0.2, size.height / 2});
    settle();
    if (menu_.isMenuOpen() || menuShows()) {
        report(screen, {"closing the menu", "a left swipe leaves it open"});
        if (ui::View* button = menuButton()) {
            testsupport::tap(root_.window(), *button);
            settle();
        }
    }
    if (menu_.isMenuOpen() || menuShows()) {
        report(screen, {"closing the menu", "neither a left swipe nor the menu button closes it"});
        menu_.setMenuOpen(false, false);
        settle();
    }
}

// Some screens show their bar, and with it the menu button, only for a moment after a tap on the screen.
void ScreenWalker::revealBar()
{
    testsupport::tap(root_.window(), {root_.size().width / 2, ui::safeAreaInsets(root_.window()).top + 22});
    settle();
}

void ScreenWalker::checkMenu(const std::string& screen)
{
    const ui::Size size = root_.size();
    testsupport::swipe(root_.window(), {10, size.height / 2}, {size.width * 0.8, size.height / 2});
    settle();
    trail_.push_back(screen + ": right swipe");
    if (!menuShows()) {
        picture(screen + " right swipe");
        report(screen, {"menu by right swipe", "the menu does not show"});
    }
    closeMenu(screen);

    ui::View* button = menuButton();
    if (!button) {
        revealBar();
        button = menuButton();
    }
    if (!button)
        return trail_.push_back(screen + ": no menu button on view");
    testsupport::tap(root_.window(), *button);
    settle();
    trail_.push_back(screen + ": menu button");
    if (!menuShows())
        report(screen, {"menu button", "the menu does not show"});
    closeMenu(screen);
}

void ScreenWalker::visit(const std::string& screen, int depth)
{
    const Snapshot start = snapshot();
    ++counts_.screens;
    trail_.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + "screen " + screen);
    picture(screen);
    check(screen);
    if (depth > deepest)
        return;
    turnPages(screen, start);
    if (left(start))
        return;
    if (depth == 0 && !menuButton())
        revealBar();
    std::set<std::string> tapped;
    // Taps every new control it finds (those on its top bar too, or not yet); true once the screen has gone.
    const auto tapAll = [&](bool onTheBar) {
        for (bool tappedOne = true; tappedOne && tapped.size() < mostTargets;) {
            tappedOne = tapNext(screen, tapped, depth, onTheBar);
            // Some screens show their bar, and the controls on it, only for a while after a tap.
            if (!tappedOne && depth == 0 && !left(start)) {
                revealBar();
                tappedOne = tapNext(screen, tapped, depth, onTheBar);
            }
            if (left(start))
                return true;
        }
        return false;
    };
    // A long list is read page by page to its end before its bar's back, Done or Cancel takes it away.
    for (int page = 0; page < mostPages && tapped.size() < mostTargets; ++page) {
        if (tapAll(false))
            return;
        if (!scrollOn())
            break;
        picture(screen + " scrolled");
        check(screen);
    }
    tapAll(true);
}

// Controls are looked for again before each tap: a tap may show controls that were not there (a run's
// STOP) and move or remove others. Each is checked for reach once; the first new one a finger reaches is
// tapped, one on a navigation bar only when `onTheBar`.
bool ScreenWalker::tapNext(const std::string& screen, std::set<std::string>& tapped, int depth, bool onTheBar)
{
    // An alert shown late (queued behind another) is answered before anything else.
    answerAlerts(screen);
    for (Target target : targets()) {
        if ((!onTheBar && onABar(target.control)) || !tapped.insert(target.name).second)
            continue;
        std::vector<Finding> findings = checkReach(*target.control, topLayer(), target.at);
        // A bar a tap dropped in lies over the top of some screens for a moment; what is under it counts
        // once it has gone again.
        if (!findings.empty() && barOver(target.at, *target.control)) {
            testsupport::advance(barDroppedInFor);
            settle();
            const std::vector<Target> now = targets();
            const auto same = std::find_if(now.begin(), now.end(), [&](const Target& t) { return t.name == target.name; });
            if (same != now.end()) {
                target = *same;
                findings = checkReach(*target.control, topLayer(), target.at);
            }
        }
        for (Finding& finding : findings)
            report(screen, std::move(finding));
        if (target.reached) {
            tapTarget(screen, target, depth);
            return true;
        }
    }
    return false;
}

// The screen's main list or scroll area, scrolled on by most of its height; false at its end.
bool ScreenWalker::scrollOn()
{
    ui::ScrollView* list = nullptr;
    double largest = 0;
    findScrollViews(root_.window(), [&](ui::ScrollView& scroll) {
        const ui::Rect shown = scroll.convertRect(scroll.bounds(), nullptr);
        if (shown.width() * shown.height() > largest && reachable(scroll, shown.center())) {
            largest = shown.width() * shown.height();
            list = &scroll;
        }
    });
    if (!list)
        return false;
    const double before = list->contentOffset().y;
    const ui::Rect frame = list->convertRect(list->bounds(), nullptr).intersection(root_.window().bounds());
    const double from = frame.maxY() - 20;
    testsupport::drag(root_.window(), {frame.midX(), from}, {frame.midX(), from - frame.height() * 0.6}, 0.6, 12);
    settle();
    // A user reads the page once it rests: a tap while it still glides only stops it.
    for (int wait = 0; wait < 10 && list->isDecelerating(); ++wait)
        settle();
    return list->contentOffset().y > before + 1;
}

// The page a pager shows: the one of its pages lying at its middle (a page view keeps only its neighbours).
const ui::View* ScreenWalker::pageShown(ui::ScrollView& pager)
{
    const ui::Point middle = pager.bounds().center();
    for (const auto& page : pager.subviews()) {
        if (!page->isHidden() && page->frame().contains(middle))
            return page.get();
    }
    return nullptr;
}

// The largest pager a finger reaches: a paging scroll view, of a page view or its own.
ui::ScrollView* ScreenWalker::findPager()
{
    ui::ScrollView* pager = nullptr;
    double largest = 0;
    findScrollViews(root_.window(), [&](ui::ScrollView& scroll) {
        const ui::Rect shown = scroll.convertRect(scroll.bounds(), nullptr);
        if (scroll.isPagingEnabled() && shown.width() * shown.height() > largest && reachable(scroll, shown.center())) {
            largest = shown.width() * shown.height();
            pager = &scroll;
        }
    });
    return pager;
}

// Turns a pager page by page with leftward swipes, each page pictured and checked, then back to its first.
void ScreenWalker::turnPages(const std::string& screen, const Snapshot& start)
{
    ui::ScrollView* pager = findPager();
    if (!pager)
        return;
    const auto swipeAcross = [&](bool forward) {
        const ui::Rect frame = pager->convertRect(pager->bounds(), nullptr).intersection(root_.window().bounds());
        const ui::Point right{frame.maxX() - 20, frame.midY()};
        const ui::Point left{frame.minX() + 20, frame.midY()};
        testsupport::swipe(root_.window(), forward ? right : left, forward ? left : right);
        settle();
        settle();
    };
    int turned = 0;
    for (int page = 2; page <= mostPages; ++page) {
        const double offset = pager->contentOffset().x;
        const ui::View* shown = pageShown(*pager);
        swipeAcross(true);
        trail_.push_back("  page " + std::to_string(page));
        if (left(start) || findPager() != pager)
            return;
        if (pageShown(*pager) == shown && std::abs(pager->contentOffset().x - offset) < 1)
            break;
        ++turned;
        const std::string name = screen + " page " + std::to_string(page);
        picture(name);
        check(name);
    }
    for (; turned > 0 && !left(start); --turned)
        swipeAcross(false);
}

void ScreenWalker::findScrollViews(ui::View& view, const std::function<void(ui::ScrollView&)>& found)
{
    if (view.isHidden() || view.alpha() < 0.01 || &view == menu_.menuTable().superview())
        return;
    if (auto* scroll = dynamic_cast<ui::ScrollView*>(&view))
        found(*scroll);
    for (const auto& child : view.subviews())
        findScrollViews(*child, found);
}

void ScreenWalker::tapTarget(const std::string& screen, const Target& target, int depth)
{
    const Snapshot before = snapshot();
    trail_.push_back(std::string(static_cast<std::size_t>(depth) * 2 + 2, ' ') + "tap " + target.name);
    ++counts_.controlsTapped;
    testsupport::tap(root_.window(), target.at);
    settle();
    // A field taken up for typing is left the way a user leaves it: with Return.
    if (dynamic_cast<ui::TextField*>(ui::View::firstResponder()) && testsupport::key(root_.window(), ui::Key::Return))
        settle();
    answerAlerts(screen + " / " + target.name);

    const Snapshot after = snapshot();
    if (left(before))
        return;
    if (after.top != before.top) {
        const std::string shown = screen + " > " + titleOf(*after.top);
        visit(shown, depth + 1);
        leavePresented(shown, before);
    } else if (after.navigation && after.navigation == before.navigation && after.depth > before.depth) {
        const std::string shown = screen + " > " + titleOf(*after.navigation->topViewController());
        visit(shown, depth + 1);
        goBack(shown, before);
    } else if (menu_.isMenuOpen() || menuShows()) {
        closeMenu(screen);
    } else {
        check(screen);
    }
    answerAlerts(screen + " / " + target.name);
}

void ScreenWalker::answerAlerts(const std::string& screen)
{
    for (int i = 0; i < mostAlertsInARow; ++i) {
        const auto alert = ui::AlertController::visible();
        if (!alert)
            return;
        settle();
        ++counts_.sheetsOpened;
        const std::string where = screen + (alert->title().empty() ? "" : " \"" + alert->title() + "\"");
        trail_.push_back("    sheet " + where);
        picture(where);
        check(where);
        const std::vector<std::string> shown = testsupport::texts(root_.window());
        for (const std::string& title : alert->actionTitles()) {
            if (std::find(shown.begin(), shown.end(), title) == shown.end())
                report(where, {"alert buttons", "\"" + title + "\" is not shown"});
        }
        const std::string close = closingAction(*alert);
        const bool tapped = !close.empty() && testsupport::tapText(root_.window(), close);
        if (!tapped)
            report(where, {"alert closes", "no button to close it"});
        settle();
        // Only a sheet the user's tap took away counts as closed.
        if (tapped && ui::AlertController::visible() != alert) {
            ++counts_.sheetsClosed;
            continue;
        }
        if (tapped)
            report(where, {"alert closes", "\"" + close + "\" leaves it on screen"});
        ui::AlertController::dismissAll();
        settle();
    }
}

// A presented screen closes by its own Done, Cancel or Close.
void ScreenWalker::leavePresented(const std::string& screen, const Snapshot& before)
{
    for (const char* title : {"Done", "Cancel", "Close", "Back"}) {
        if (snapshot().top == before.top)
            return;
        if (testsupport::tapText(root_.window(), title)) {
            settle();
            answerAlerts(screen);
        }
    }
    if (snapshot().top == before.top)
        return;
    report(screen, {"stuck modal", "no Done, Cancel or Close takes it away"});
    if (before.top)
        before.top->dismissViewController(false);
    settle();
}

void ScreenWalker::goBack(const std::string& screen, const Snapshot& before)
{
    // Its own back button, walked as one of its controls, may have taken it away already.
    if (before.navigation->viewControllers().size() <= before.depth)
        return;
    ui::NavigationBar& bar = before.navigation->navigationBar();
    if (ui::Button* back = bar.backButton())
        testsupport::tap(root_.window(), *back);
    settle();
    answerAlerts(screen);
    if (before.navigation->viewControllers().size() <= before.depth)
        return;
    for (const char* title : {"Done", "Cancel"}) {
        if (testsupport::tapText(root_.window(), title)) {
            settle();
            answerAlerts(screen);
        }
        if (before.navigation->viewControllers().size() <= before.depth)
            return;
    }
    report(screen, {"going back", "neither the back button nor Done or Cancel leaves it"});
    while (before.navigation->viewControllers().size() > before.depth)
        before.navigation->popViewController(false);
    settle();
}

// The screen of `before` has gone: a presented screen was dismissed, or a pushed one popped.
bool ScreenWalker::left(const Snapshot& before) const
{
    const Snapshot now = snapshot();
    for (ui::ViewController* above = now.top; above; above = above->presentingViewController()) {
        if (above == before.top)
            return now.navigation == before.navigation && now.depth < before.depth;
    }
    return true;
}

ScreenWalker::Snapshot ScreenWalker::snapshot() const
{
    Snapshot s;
    s.top = root_.topViewController();
    s.navigation = s.top == root_.rootViewController() ? navigationOf(&menu_.selectedViewController()) : navigationOf(s.top);
    s.depth = s.navigation ? s.navigation->viewControllers().size() : 0;
    return s;
}

// The title its top bar shows, else its own.
std::string ScreenWalker::titleOf(ui::ViewController& screen)
{
    if (ui::NavigationBar* bar = topBar(*screen.view()); bar && !bar->displayedTitle().empty())
        return bar->displayedTitle();
    ui::NavigationController* navigation = navigationOf(&screen);
    ui::ViewController* top = navigation ? navigation->topViewController() : &screen;
    return top && !top->title().empty() ? top->title() : describe(*screen.view());
}

std::vector<ScreenWalker::Target> ScreenWalker::targets()
{
    root_.window().layoutIfNeeded();
    std::vector<Target> found;
    collectTargets(topLayer(), found);
    // Names tell apart controls that describe alike, in the order they come.
    std::map<std::string, int> seen;
    for (Target& target : found) {
        const int n = seen[target.name]++;
        if (n > 0)
            target.name += " #" + std::to_string(n + 1);
    }
    return found;
}

bool ScreenWalker::onScreen(ui::Point at) const
{
    const ui::Size size = root_.size();
    return at.x >= 0 && at.y >= 0 && at.x < size.width && at.y < size.height;
}

bool ScreenWalker::barOver(ui::Point at, const ui::View& control)
{
    for (ui::View* hit = root_.window().hitTest(at); hit; hit = hit->superview()) {
        if (dynamic_cast<ui::NavigationBar*>(hit))
            return !control.isDescendantOf(hit);
    }
    return false;
}

// Only what a finger reaches at a point counts: nothing covering it, on screen.
bool ScreenWalker::reachable(ui::View& view, ui::Point at)
{
    if (!onScreen(at))
        return false;
    for (ui::View* hit = root_.window().hitTest(at); hit; hit = hit->superview()) {
        if (hit == &view)
            return true;
    }
    return false;
}

void ScreenWalker::collectTargets(ui::View& view, std::vector<Target>& found)
{
    if (view.isHidden() || view.alpha() < 0.01 || !view.isUserInteractionEnabled())
        return;
    // The menu and the tabs are walked on their own.
    if (dynamic_cast<ui::TabBar*>(&view) || &view == menu_.menuTable().superview())
        return;
    if (auto* segments = dynamic_cast<ui::SegmentedControl*>(&view)) {
        const ui::Rect b = view.bounds();
        const int count = segments->numberOfSegments();
        for (int i = 0; i < count; ++i) {
            const ui::Point middle{b.x() + b.width() * (i + 0.5) / count, b.midY()};
            const ui::Point at = view.convertPoint(middle, nullptr);
            if (onScreen(at))
                found.push_back({"segment \"" + segments->titleForSegment(i) + "\"", at, &view, reachable(view, at)});
        }
        return;
    }
    auto* control = dynamic_cast<ui::Control*>(&view);
    auto* cell = dynamic_cast<ui::TableViewCell*>(&view);
    const bool opensMore = cell && cell->accessoryType() == ui::TableViewCellAccessoryType::DisclosureIndicator;
    if ((control && control->isEnabled()) || opensMore) {
        const ui::Rect title = titleArea(view);
        const ui::Point at = title.center();
        if (!title.isEmpty() && onScreen(at)) {
            // Rows are known by what they say: scrolling changes which of them come first.
            const std::vector<std::string> says = cell ? ui::visibleTexts(view) : std::vector<std::string>{};
            found.push_back({says.empty() ? describe(view) + placeInContent(view, at) : "row \"" + says.front() + "\"",
                             at, &view, reachable(view, at)});
        }
        return;
    }
    for (const auto& child : view.subviews())
        collectTargets(*child, found);
}

// What a user can tap now: the top sheet, else the screen presented last, else the whole window.
ui::View& ScreenWalker::topLayer()
{
    if (const auto alert = ui::AlertController::visible(); alert && alert->isViewLoaded())
        return *alert->view();
    ui::ViewController* top = root_.topViewController();
    if (top && top != root_.rootViewController() && top->isViewLoaded())
        return *top->view();
    return root_.window();
}

void ScreenWalker::check(const std::string& screen)
{
    // A user reads a screen once it rests: what slides in or out is judged where it comes to.
    for (int wait = 0; wait < 10 && animating(root_.window()); ++wait)
        testsupport::advance(0.1);
    // An alert is read on its own: the screen beneath shows through its dimming.
    const auto alert = ui::AlertController::visible();
    ui::View& shown = alert && alert->isViewLoaded() ? *alert->view() : root_.window();
    for (Finding& finding : checkView(shown))
        report(screen, std::move(finding));
    // An image first missed in this walk is reported where it was asked for; one missed before (the list
    // is the process's) only where it shows.
    const std::vector<std::string> missing = ui::Image::missingNames();
    for (std::size_t i = missingImages_.size(); i < missing.size(); ++i)
        report(screen, {"missing image", "\"" + missing[i] + "\" drawn as a placeholder"});
    missingImages_ = missing;
    for (const std::string& name : missing) {
        if (showsImage(shown, ui::Image::named(name)))
            report(screen, {"missing image", "\"" + name + "\" drawn as a placeholder"});
    }
}

void ScreenWalker::report(const std::string& screen, Finding finding)
{
    if (seen_.emplace(screen, finding.check, finding.detail).second)
        reported_.push_back({screen, std::move(finding)});
}

void ScreenWalker::picture(const std::string& name)
{
    root_.window().layoutIfNeeded();
    char number[12];
    std::snprintf(number, sizeof number, "%03d", ++pictureCount_);
    root_.window().renderToImage(1).writePNG(pictures_ / (std::string(number) + "-" + fileName(name) + ".png"));
}

}  // namespace walker
