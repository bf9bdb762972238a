#pragma once

#include "platform/ui/AnimationCurve.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/Device.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class NavigationController;
class TabBarController;
class Window;

enum class ModalPresentationStyle {
    FullScreen,     // covers the screen: the screen beneath disappears
    PageSheet,      // a card on a pad; full screen on a phone
    FormSheet,      // a smaller centred card on a pad; full screen on a phone
    OverFullScreen, // covers the screen, which stays (no appearance callbacks)
    Automatic,      // a page sheet
};

enum class ModalTransitionStyle { CoverVertical, CrossDissolve };

enum class StatusBarStyle { Default, LightContent, DarkContent };

// What a size change of the host window (a rotation) offers the screens:
// blocks to run alongside the change, with the new size in place, and
// blocks to run once it is over.
class TransitionCoordinator {
public:
    explicit TransitionCoordinator(double duration) : duration_(duration) {}
    double transitionDuration() const { return duration_; }
    void animateAlongsideTransition(std::function<void()> alongside, std::function<void()> completion = {});

    // For the window that runs the transition.
    void runAlongside();
    void complete();

private:
    double duration_;
    std::vector<std::function<void()>> alongside_;
    std::vector<std::function<void()>> completions_;
};

// A screen transition animated with ui::animate, and what happens at its end
// (appearance callbacks, views leaving). Starting another one first brings
// the running one's end forward, so screens never overlap half-way.
// Destroying it drops a pending end without running it.
class ScreenTransition {
public:
    // Animates what `changes` does and runs `end` once, when the animation
    // completes (or is interrupted) or earlier through finish(). A duration
    // of 0 ends at once.
    void start(double duration, AnimationCurve curve, const std::function<void()>& changes, std::function<void()> end);
    // Runs the pending end now; the views keep animating to their places.
    void finish();
    bool isRunning() const { return end_ != nullptr; }

private:
    std::shared_ptr<std::function<void()>> end_;
};

// A screen: owns a lazily loaded view, a title, what the bars show for it,
// child screens (containment) and screens it presents. The appearance
// callbacks come in the phone platform's order:
//   push B over A:  A willDisappear, B willAppear, A didDisappear, B didAppear
//   pop back to A:  B willDisappear, A willAppear, B didDisappear, A didAppear
//   present B (full screen) from A:  A willDisappear, B willAppear, B didAppear, A didDisappear
//   dismiss B:      B willDisappear, A willAppear, A didAppear, B didDisappear
//   tab switch A to B:  B willAppear, A willDisappear, A didDisappear, B didAppear
// Each pair comes once: a screen already appearing is not told again.
//
// Screens are held by std::shared_ptr (make them with std::make_shared).
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    ViewController();
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, loaded on first use: loadView, then viewDidLoad.
    const std::shared_ptr<View>& view();
    View* viewIfLoaded() const { return view_.get(); }
    bool isViewLoaded() const { return view_ != nullptr; }
    void loadViewIfNeeded();
    // Replaces the view (before loading, it becomes the loaded view and
    // viewDidLoad still runs on first use of view()).
    void setView(std::shared_ptr<View> view);

    // Setting the title also titles the navigation and tab bar items.
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    NavigationItem& navigationItem() { return navigationItem_; }
    TabBarItem& tabBarItem() { return tabBarItem_; }

    // Editing mode (table screens show their delete controls). The edit
    // button item toggles it and reads "Edit" or "Done".
    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing, bool animated);
    const std::shared_ptr<BarButtonItem>& editButtonItem();

    // Containment. addChildViewController calls willMoveToParentViewController
    // on the child; the caller adds the child's view and then calls the child's
    // didMoveToParentViewController. For removal: willMoveToParentViewController
    // (nullptr), remove the view, removeFromParentViewController (which calls
    // didMoveToParentViewController(nullptr)).
    void addChildViewController(std::shared_ptr<ViewController> child);
    void removeFromParentViewController();
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return children_; }
    ViewController* parentViewController() const { return parent_; }
    virtual void willMoveToParentViewController(ViewController* parent);
    virtual void didMoveToParentViewController(ViewController* parent);

    // The nearest navigation or tab bar controller among this screen and its ancestors.
    NavigationController* navigationController() const;
    TabBarController* tabBarController() const;

    // Modal presentation over the whole window. A screen can present one
    // screen at a time; alerts wait their turn (AlertController).
    void presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                               std::function<void()> completion = {});
    // Dismisses what this screen presents or, when it presents nothing, the
    // presentation this screen is part of.
    void dismissViewController(bool animated, std::function<void()> completion = {});
    ViewController* presentingViewController() const;
    ViewController* presentedViewController() const;
    ModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(ModalPresentationStyle style) { presentationStyle_ = style; }
    ModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
    void setModalTransitionStyle(ModalTransitionStyle style) { transitionStyle_ = style; }
    static constexpr double presentationDuration = 0.4; // cover vertical
    static constexpr double dissolveDuration = 0.25;    // cross dissolve

    // Appearance: what the callbacks below are driven by. Containers call
    // them on their children; screens rarely need to.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    // Between viewDidAppear and viewWillDisappear.
    bool isVisible() const { return appearance_ == Appearance::Appeared; }
    bool isAppearing() const { return appearance_ == Appearance::Appearing; }

    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);
    // Around each layout pass of the view the screen made itself (the base
    // loadView's, and those of the containers).
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}

    // A size change of the window. The base forwards it to the children.
    virtual void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator);
    // Sent to the screens on the window when the interface orientation changes.
    virtual void willRotateToInterfaceOrientation(InterfaceOrientation orientation, double duration);
    virtual void didRotateFromInterfaceOrientation(InterfaceOrientation from);

    virtual unsigned supportedInterfaceOrientations() const;
    virtual bool shouldAutorotate() const { return true; }
    virtual InterfaceOrientation preferredInterfaceOrientationForPresentation() const;
    virtual bool prefersStatusBarHidden() const { return false; }
    virtual StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::Default; }

protected:
    // Makes the view; the default is a plain view of the screen's size that
    // reports its layout passes.
    virtual void loadView();
    virtual void viewDidLoad() {}
    // The children that appear and disappear with this screen: by default
    // those whose views are inside this screen's view.
    virtual std::vector<ViewController*> childrenForAppearance() const;
    // A child's title or bar items changed.
    virtual void childNavigationItemDidChange(ViewController&) {}
    virtual void childTabBarItemDidChange(ViewController&) {}

private:
    friend class AlertController;
    friend class RootWindow;
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    struct Presentation;

    void attachView();
    ViewController* presentationHost();
    void presentModally(std::shared_ptr<ViewController> controller, bool animated, std::function<void()> completion);
    // Ends a presentation or dismissal still animating.
    static void finishModalTransition();
    void dismissPresented(bool animated, std::function<void()> completion);
    Rect presentedFrame(const Rect& windowBounds) const;
    // A presented screen follows a new window size.
    void fitPresentation(const Rect& windowBounds);
    bool coversPresenter() const;

    std::shared_ptr<View> view_;
    bool viewDidLoadCalled_ = false;
    std::string title_;
    NavigationItem navigationItem_;
    TabBarItem tabBarItem_;
    ViewController* parent_ = nullptr;
    std::vector<std::shared_ptr<ViewController>> children_;

    std::shared_ptr<ViewController> presented_;
    ViewController* presenting_ = nullptr;
    std::unique_ptr<Presentation> presentation_; // on the presented screen
    ModalPresentationStyle presentationStyle_ = ModalPresentationStyle::Automatic;
    ModalTransitionStyle transitionStyle_ = ModalTransitionStyle::CoverVertical;

    bool editing_ = false;
    std::shared_ptr<BarButtonItem> editButtonItem_;

    Appearance appearance_ = Appearance::Disappeared;
    bool appearanceAnimated_ = false;
    std::vector<std::weak_ptr<ViewController>> appearanceChildren_;
};

} // namespace ui
