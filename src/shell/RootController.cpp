#include "shell/RootController.h"

#include <algorithm>

#include "core/Notifications.h"
#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "shell/TableLook.h"

namespace {

constexpr double narrowMenuWidth = 190;
constexpr double wideMenuWidth = 230;
constexpr double menuRowHeight = 48;

// The screens an entry shows at once: the entry itself, or its tabs' and navigation stacks' screens.
std::vector<ui::ViewController*> entryScreens(ui::ViewController& entry)
{
    if (auto* tabs = dynamic_cast<ui::TabBarController*>(&entry)) {
        std::vector<ui::ViewController*> all;
        for (const auto& tab : tabs->viewControllers()) {
            const auto inner = entryScreens(*tab);
            all.insert(all.end(), inner.begin(), inner.end());
        }
        return all;
    }
    if (auto* navigation = dynamic_cast<ui::NavigationController*>(&entry)) {
        if (navigation->viewControllers().empty())
            return {};
        return {navigation->viewControllers().front().get()};
    }
    return {&entry};
}

// The screens at the root of an entry's navigation stacks (its own, or its tabs'): they show a bar.
std::vector<ui::ViewController*> navigationRoots(ui::ViewController& entry)
{
    std::vector<ui::ViewController*> roots;
    if (auto* tabs = dynamic_cast<ui::TabBarController*>(&entry)) {
        for (const auto& tab : tabs->viewControllers()) {
            const auto inner = navigationRoots(*tab);
            roots.insert(roots.end(), inner.begin(), inner.end());
        }
    } else if (auto* navigation = dynamic_cast<ui::NavigationController*>(&entry)) {
        if (!navigation->viewControllers().empty())
            roots.push_back(navigation->viewControllers().front().get());
    }
    return roots;
}

ui::ViewController* visibleScreen(ui::ViewController* entry)
{
    while (entry) {
        if (auto* tabs = dynamic_cast<ui::TabBarController*>(entry))
            entry = tabs->selectedViewController();
        else if (auto* navigation = dynamic_cast<ui::NavigationController*>(entry))
            entry = navigation->topViewController();
        else
            return entry;
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<RootController> RootController::create(std::vector<std::shared_ptr<ui::ViewController>> viewControllers,
                                                       std::vector<std::string> menuTitles)
{
    auto root = std::make_shared<RootController>(Key{}, std::move(viewControllers), std::move(menuTitles));
    root->handOutLink();
    root->addMenuButtons();
    return root;
}

RootController::RootController(Key, std::vector<std::shared_ptr<ui::ViewController>> viewControllers,
                               std::vector<std::string> menuTitles)
    : screens_(std::move(viewControllers))
    , titles_(std::move(menuTitles))
{
    if (titles_.size() != screens_.size()) {
        fnd::log(fnd::LogLevel::Error, "main menu: as many titles as screens are needed; the extra ones are left out");
        const std::size_t count = std::min(titles_.size(), screens_.size());
        titles_.resize(count);
        screens_.resize(count);
    }
    for (std::size_t i = screens_.size(); i-- > 0;) {
        if (!screens_[i]) {
            screens_.erase(screens_.begin() + static_cast<std::ptrdiff_t>(i));
            titles_.erase(titles_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    droppedToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        connectionDroppedNotification, [this](const fnd::Notification&) { linkDropped(); });
}

RootController::~RootController()
{
    reconnect_.cancel();
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

double RootController::menuWidth()
{
    const ui::Device& device = ui::Device::current();
    return ui::isLandscape(device.interfaceOrientation()) && device.hasHomeIndicator() ? wideMenuWidth
                                                                                        : narrowMenuWidth;
}

// Every screen gets the link (held weakly) and the menu, and the menu becomes the link's default
// delegate; again whenever the link was replaced (a new adapter type).
void RootController::handOutLink()
{
    const std::shared_ptr<Scanner> current = link();
    handedOut_ = current;
    const auto self = std::static_pointer_cast<RootController>(shared_from_this());
    current->setDefaultDelegate(self);
    for (const auto& entry : screens_) {
        for (ui::ViewController* screen : entryScreens(*entry)) {
            if (auto* feature = dynamic_cast<TemplateViewCon*>(screen)) {
                feature->setScanner(current);
                feature->setDelegate(self);
            }
            if (auto* linked = dynamic_cast<LinkedScreen*>(screen)) {
                linked->setScanner(current);
                linked->setDelegate(self);
            }
        }
    }
}

// Every screen at the root of an entry with a bar has a way to the menu: a screen that put no button of
// its own at the left gets the menu button there.
void RootController::addMenuButtons()
{
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    for (const auto& entry : screens_) {
        for (ui::ViewController* screen : navigationRoots(*entry)) {
            if (screen->navigationItem().leftBarButtonItem())
                continue;
            screen->navigationItem().setLeftBarButtonItem(menuBarButton([weak] {
                if (const auto self = std::static_pointer_cast<RootController>(weak.lock()))
                    self->viewWillSlide2();
            }));
        }
    }
}

void RootController::viewDidLoad()
{
    ui::View& view = *this->view();
    menu_ = std::make_shared<ui::View>();
    status_ = std::make_shared<MenuStatusView>(TableLook::current().theme);
    status_->setStatusText(fnd::L("Disconnected"));
    status_->setPowerAction([this] {
        const auto current = link();
        if (connecting_ || current->isConnected())
            disconnect();
        else
            connect();
    });
    menu_->addSubview(status_);

    table_ = std::make_shared<ui::TableView>();
    table_->setRowHeight(menuRowHeight);
    table_->setDataSource(this);
    table_->setDelegate(this);
    menu_->addSubview(table_);
    view.addSubview(menu_);

    content_ = std::make_shared<ui::View>();
    content_->setBackgroundColor(ui::Color::black());
    showEdgeShadow(menuOpen_);
    view.addSubview(content_);
    applyTheme();
    // A new theme repaints the whole menu at once, not only the rows drawn after it.
    themeToken_ = fnd::NotificationCenter::defaultCenter().addObserver(
        iconChangedNotification, [this](const fnd::Notification&) { applyTheme(); });

    // Screens that are not feature screens have no swipes of their own to move the menu.
    const auto onlyOverPlainScreens = [this](ui::GestureRecognizer&) { return visibleFeatureScreen() == nullptr; };
    auto openSwipe = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { setMenuOpen(true); });
    openSwipe->setDirection(ui::SwipeDirection::Right);
    openSwipe->setShouldBegin(onlyOverPlainScreens);
    content_->addGestureRecognizer(openSwipe);

    // While the menu is out the slid screen takes no touches of its own: a tap or a left swipe on it puts
    // the menu away.
    shield_ = std::make_shared<ui::View>();
    shield_->addGestureRecognizer(
        std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) { setMenuOpen(false); }));
    auto closeSwipe = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { setMenuOpen(false); });
    closeSwipe->setDirection(ui::SwipeDirection::Left);
    shield_->addGestureRecognizer(closeSwipe);
    content_->addSubview(shield_);
    auto menuSwipe = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { setMenuOpen(false); });
    menuSwipe->setDirection(ui::SwipeDirection::Left);
    menu_->addGestureRecognizer(menuSwipe);

    if (!screens_.empty())
        showEntry(0);
    viewDidLayoutSubviews();
}

void RootController::applyTheme()
{
    const TableLook look = TableLook::current();
    view()->setBackgroundColor(look.tableBackground);
    menu_->setBackgroundColor(look.tableBackground);
    status_->setTheme(look.theme);
    table_->setBackgroundColor(look.tableBackground);
    table_->setSeparatorColor(look.separator);
    table_->reloadData();
}

void RootController::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    appeared_ = true;
    refreshConnection();
}

void RootController::viewDidLayoutSubviews()
{
    const ui::Rect bounds = view()->bounds();
    const double width = menuWidth();
    const double top = ui::safeAreaInsets(*view()).top;
    menu_->setFrame({{0, 0}, {width, bounds.height()}});
    status_->setFrame({{0, top}, {width, MenuStatusView::height}});
    const double tableTop = top + MenuStatusView::height;
    table_->setFrame({{0, tableTop}, {width, std::max(0.0, bounds.height() - tableTop)}});
    // Setting an unchanged frame would cut a slide short.
    if (const ui::Rect frame{{menuOpen_ ? width : 0, 0}, bounds.size}; content_->frame() != frame)
        content_->setFrame(frame);
    shield_->setFrame(content_->bounds());
    if (selected_ >= 0) {
        ui::View& screen = *screens_[selected_]->view();
        if (const ui::Rect frame{{0, 0}, bounds.size}; screen.frame() != frame)
            screen.setFrame(frame);
    }
}

// --- Menu entries -----------------------------------------------------------------------------------

int RootController::numberOfRowsInSection(ui::TableView&, int)
{
    return static_cast<int>(titles_.size());
}

std::shared_ptr<ui::TableViewCell> RootController::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier("menu");
    if (!cell)
        cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, "menu");
    const TableLook look = TableLook::current();
    cell->setBackgroundColor(look.tableBackground);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    ui::Label& label = *cell->textLabel();
    label.setText(fnd::L(titles_[indexPath.row]));
    label.setFont(TableLook::titleFont());
    label.setTextColor(indexPath.row == selected_ ? TableLook::selectionStrip() : look.text);
    return cell;
}

void RootController::didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    selectEntry(indexPath.row);
}

void RootController::selectEntry(int index)
{
    if (index < 0 || index >= static_cast<int>(screens_.size()))
        return;
    loadViewIfNeeded();
    if (index != selected_)
        showEntry(index);
    setMenuOpen(false);
}

void RootController::showEntry(int index)
{
    // Containment tells the screens of their appearance while the menu is on view.
    if (selected_ >= 0) {
        const std::shared_ptr<ui::ViewController> old = screens_[selected_];
        old->willMoveToParentViewController(nullptr);
        old->removeFromParentViewController();
        old->view()->removeFromSuperview();
    }
    selected_ = index;
    const std::shared_ptr<ui::ViewController> next = screens_[index];
    addChildViewController(next);
    next->view()->setFrame(content_->bounds());
    content_->insertSubviewBelow(next->view(), shield_.get());
    next->didMoveToParentViewController(this);
    table_->reloadData();

    if (TemplateViewCon* feature = visibleFeatureScreen())
        feature->rotateScreen();
}

TemplateViewCon* RootController::visibleFeatureScreen() const
{
    if (selected_ < 0)
        return nullptr;
    return dynamic_cast<TemplateViewCon*>(visibleScreen(screens_[selected_].get()));
}

// --- Sliding --------------------------------------------------------------------------------------------

void RootController::setMenuOpen(bool open, bool animated)
{
    loadViewIfNeeded();
    if (open)
        refreshConnection();
    menuOpen_ = open;
    shield_->setHidden(!open);
    // A screen that keeps its own record of the menu hears that it closed, whatever closed it.
    if (TemplateViewCon* feature = visibleFeatureScreen(); feature && !open)
        feature->menuDidClose();
    // A feature screen that slid its own view aside hands the move over to the content, which carries the
    // menu's edge and shadow, so the menu is under it either way.
    // A feature screen inside a tab moved its own view, not the entry's: both go back in place.
    std::vector<std::shared_ptr<ui::View>> slid;
    if (selected_ >= 0)
        slid.push_back(screens_[selected_]->view());
    if (TemplateViewCon* feature = visibleFeatureScreen())
        slid.push_back(feature->view());
    if (open)
        showEdgeShadow(true);
    const std::weak_ptr<ui::ViewController> alive = weak_from_this();
    ui::animate(
        animated ? slideDuration : 0, ui::AnimationCurve::EaseOut,
        [this, slid, open] {
            content_->setFrame({{open ? menuWidth() : 0, 0}, content_->frame().size});
            for (const auto& screen : slid) {
                ui::Rect frame = screen->frame();
                frame.origin.x = 0;
                screen->setFrame(frame);
            }
        },
        [this, alive](bool) {
            if (alive.lock() && !menuOpen_)
                showEdgeShadow(false);
        });
}

// The content's edge casts a shadow on the menu. Closed, the content covers the screen and its own
// shadow: blurring the shadow of a whole screen would cost every frame that touches it for nothing.
void RootController::showEdgeShadow(bool shown)
{
    content_->setShadow(ui::Color::black(), {-2, 0}, 6, shown ? 0.6 : 0);
}

// The feature screen has already moved its own view; the content takes the move over.
void RootController::viewWillSlide(bool open)
{
    setMenuOpen(open);
}

void RootController::viewWillSlide2()
{
    setMenuOpen(!menuOpen_);
}
