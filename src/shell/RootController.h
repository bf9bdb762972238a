#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/Scanner.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "shell/LinkedScreen.h"
#include "shell/MenuStatusView.h"
#include "shell/TemplateViewCon.h"

// The slide-out main menu: one entry per top-level screen, shown beneath the content, which slides right
// to reveal it. Its status strip shows the connection; it connects by itself in automatic connection
// mode and by its power button in manual mode, reconnects after a drop in automatic mode, lets the user
// pick the ECU when several answer, and once the adapter has initialised hands the link to the visible
// feature screen and asks it to start polling. It is the link's default delegate: it hears of the
// connection's progress whichever screen holds the link, and receives the replies while none does.
class RootController : public ui::ViewController,
                       public TemplateViewControllerDelegate,
                       public DTCViewControllerDelegate,
                       public ScannerDelegate,
                       private ui::TableViewDataSource,
                       private ui::TableViewDelegate {
    struct Key {
        explicit Key() = default;
    };

public:
    // Menu entry i (a message key or English text in menuTitles[i]) shows viewControllers[i]. Hands the
    // link and itself to every feature screen and every diagnostics tab root among them. The first entry
    // is shown, with the menu open.
    static std::shared_ptr<RootController> create(std::vector<std::shared_ptr<ui::ViewController>> viewControllers,
                                                  std::vector<std::string> menuTitles);
    RootController(Key, std::vector<std::shared_ptr<ui::ViewController>> viewControllers,
                   std::vector<std::string> menuTitles);
    ~RootController() override;

    // The content: a menu entry's screen. Switching closes the menu.
    void selectEntry(int index);
    int selectedIndex() const { return selected_; }
    const std::vector<std::string>& menuTitles() const { return titles_; }
    const std::vector<std::shared_ptr<ui::ViewController>>& menuScreens() const { return screens_; }
    ui::ViewController& selectedViewController() const { return *screens_[selected_]; }
    // The feature screen on view inside the selected entry (through tab bars and navigation stacks).
    TemplateViewCon* visibleFeatureScreen() const;

    bool isMenuOpen() const { return menuOpen_; }
    // Slides the content right by the menu width (open) or back, over slideDuration.
    void setMenuOpen(bool open, bool animated = true);

    void viewWillSlide(bool open) override;
    void viewWillSlide2() override;
    void resetMil() override;

    // The power button's two sides.
    void connect();
    void disconnect();

    MenuStatusView& statusView() { return *status_; }
    ui::TableView& menuTable() { return *table_; }

    // The menu's width, which is how far the content slides: wider in landscape on screens with a
    // safe-area inset.
    static double menuWidth();
    static constexpr double slideDuration = 0.15;
    // After a drop in automatic mode, the next attempt waits this long on the run loop's clock.
    static constexpr double reconnectDelay = 3.0;
    // How long a screen on view shows why the connection failed or ended.
    static constexpr double droppedToastDuration = 4.0;
    // The system sound played when the adapter has connected.
    static constexpr int connectedSound = 1052;

    // ScannerDelegate
    void scannerDidInitialize(Scanner& link) override;
    void scannerDidUpdateStatus(Scanner& link, const std::string& text) override;
    bool scannerShouldChooseECU(Scanner& link, const std::vector<int>& ecus) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:

    // ui::TableViewDataSource, ui::TableViewDelegate
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

    void showEntry(int index);
    void showEdgeShadow(bool shown);
    // The menu in the theme of the settings: its background, status strip, rows and separators.
    void applyTheme();
    void handOutLink();
    void addMenuButtons();

    std::shared_ptr<Scanner> link() const;
    // Hands the link out again when it was replaced (a new adapter type).
    void followLink();
    void refreshConnection();
    void linkDropped();
    void startScanning();
    void showMil(const std::vector<Response>& responses);

    std::vector<std::shared_ptr<ui::ViewController>> screens_;
    std::vector<std::string> titles_;
    int selected_ = -1;
    bool menuOpen_ = true;

    std::shared_ptr<ui::View> menu_;
    std::shared_ptr<MenuStatusView> status_;
    std::shared_ptr<ui::TableView> table_;
    std::shared_ptr<ui::View> content_;
    std::shared_ptr<ui::View> shield_;  // over the screen while the menu is open

    std::weak_ptr<Scanner> handedOut_;  // the link the screens were given
    bool appeared_ = false;
    bool connecting_ = false;
    fnd::DelayedCall reconnect_;
    fnd::NotificationCenter::Token droppedToken_;
    fnd::NotificationCenter::Token themeToken_;
};
