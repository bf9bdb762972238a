#include "core/model/Manager.h"
#include "performance/RaceViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"

void RaceViewController::viewDidLoad()
{
    const Settings& settings = Manager::sharedManager().setting();
    view()->setBackgroundColor(settings.theme != 0 ? ui::Color::black() : ui::Color::white(0.1));
    panels_ = std::make_unique<RacePanels>(*this, settings.theme, settings.rpmEnabled, settings.shiftAssistEnabled);
    panels_->pageView().setDelegate(this);
    panels_->stopButton().addTarget(ui::ControlEvent::TouchDown, [this](ui::Control&) { stopRecording(); });
    panels_->resultsButton().addTarget(ui::ControlEvent::TouchDown, [this](ui::Control&) { showResults(); });

    auto edge = std::make_shared<ui::ScreenEdgePanGestureRecognizer>([this](ui::GestureRecognizer& recognizer) {
        auto& pan = static_cast<ui::PanGestureRecognizer&>(recognizer);
        if (pan.velocityInView(view().get()).x > 0 && !menuOpen_)
            openMenu();
    });
    edge->setEdges(ui::RectEdge::Left);
    view()->addGestureRecognizer(edge);
    menus_ = std::make_unique<RaceMenus>(*view(), *panels_, settings.theme, makeMenuButton(),
                                         RaceMenus::Actions{[this](int mode) { toggleDragTrack(mode); },
                                                            [this](int ready) { toggleRacing(ready); },
                                                            [this] { resetData(); }, [this] { showTrackSelection(); }});
    view()->addGestureRecognizer(
        std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer&) { menus_->dropBar(); }));

    auto left = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { closeMenu(); });
    left->setDirection(ui::SwipeDirection::Left);
    view()->addGestureRecognizer(left);
    auto right = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { openMenu(); });
    right->setDirection(ui::SwipeDirection::Right);
    view()->addGestureRecognizer(right);
}

void RaceViewController::didFinishAnimating(ui::PageViewController& pages, bool,
                                            const std::vector<std::shared_ptr<ui::ViewController>>&, bool)
{
    const auto shown = pages.viewControllers();
    if (shown.empty())
        return;
    turnedToPage(static_cast<int>(static_cast<RacePageViewController&>(*shown.front()).index()));
}

void RaceViewController::turnedToPage(int index)
{
    pageIndex_ = index;
    panels_->showPage(index);
}
