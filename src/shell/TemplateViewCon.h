#pragma once

#include <functional>
#include <memory>

#include "platform/ui/BarItems.h"
#include "platform/ui/ViewController.h"
#include "shell/LinkHolder.h"

// The main menu as the feature screens see it. Every method is optional (empty by default).
class TemplateViewControllerDelegate {
public:
    virtual ~TemplateViewControllerDelegate() = default;

    // The screen has moved its own view right by the menu width (true) or back to 0 (false); the menu
    // takes the move over, sliding its content with the screen in it.
    virtual void viewWillSlide(bool /*open*/) {}
    // A screen's menu button: the menu opens or closes itself.
    virtual void viewWillSlide2() {}
};

// The bar button that slides the main menu in and out: `slide` is what it does.
std::shared_ptr<ui::BarButtonItem> menuBarButton(std::function<void()> slide);

// The base of the feature screens. The main menu hands each one the link and itself when it is created
// with the screens, and once the adapter has initialised gives the link to the visible one (takeLink) and
// calls its startScanning. A feature screen takes the link when it appears and releases it when it
// leaves (see LinkHolder).
class TemplateViewCon : public ui::ViewController, public LinkHolder {
public:
    std::shared_ptr<TemplateViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<TemplateViewControllerDelegate>& delegate) { delegate_ = delegate; }

    // Starts polling the adapter for what the screen shows.
    virtual void startScanning() = 0;
    // The menu is switching the content to this screen (the dash camera turns to landscape).
    virtual void rotateScreen() {}
    // The menu has closed, by this screen's swipe or by a touch the menu took itself.
    virtual void menuDidClose() {}

protected:
    // How far a screen slides aside to show the menu: further on a landscape phone with a home indicator.
    static double exposedWidth();
    // Slides the screen's view to x, as the menu's swipes do, without telling the menu.
    void slideViewTo(double x);
    // Slides the screen's view aside by exposedWidth (open) or back to 0, then tells the menu.
    void slideForMenu(bool open);
    // A right swipe on `area` slides the screen aside onto the menu, a left swipe slides it back.
    void addMenuSwipes(ui::View& area);
    // A pan from the window's left edge over `area` slides the screen aside onto the menu, where the content
    // keeps sideways swipes for itself (charts).
    void addMenuEdgePan(ui::View& area);
    // A bar button that opens or closes the menu.
    std::shared_ptr<ui::BarButtonItem> makeMenuButton();

private:
    std::weak_ptr<TemplateViewControllerDelegate> delegate_;
};
