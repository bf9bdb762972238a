#include "shell/TemplateViewCon.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/Image.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SwipeGestureRecognizer.h"

double TemplateViewCon::exposedWidth()
{
    const ui::Device& device = ui::Device::current();
    const ui::Size screen = device.screenSize();
    return screen.width > screen.height && device.hasHomeIndicator() ? 230 : 190;
}

void TemplateViewCon::slideViewTo(double x)
{
    ui::animate(0.15, ui::AnimationCurve::EaseOut, [this, x] {
        ui::Rect frame = view()->frame();
        frame.origin.x = x;
        view()->setFrame(frame);
    });
}

void TemplateViewCon::slideForMenu(bool open)
{
    slideViewTo(open ? exposedWidth() : 0);
    if (auto menu = delegate())
        menu->viewWillSlide(open);
}

void TemplateViewCon::addMenuSwipes(ui::View& area)
{
    for (const bool open : {true, false}) {
        auto swipe = std::make_shared<ui::SwipeGestureRecognizer>([this, open](ui::GestureRecognizer&) {
            slideForMenu(open);
        });
        swipe->setDirection(open ? ui::SwipeDirection::Right : ui::SwipeDirection::Left);
        area.addGestureRecognizer(swipe);
    }
}

void TemplateViewCon::addMenuEdgePan(ui::View& area)
{
    auto edge = std::make_shared<ui::ScreenEdgePanGestureRecognizer>([this](ui::GestureRecognizer& recognizer) {
        auto& pan = static_cast<ui::PanGestureRecognizer&>(recognizer);
        if (recognizer.state() == ui::GestureRecognizer::State::Began && pan.velocityInView(view().get()).x > 0)
            slideForMenu(true);
    });
    edge->setEdges(ui::RectEdge::Left);
    area.addGestureRecognizer(edge);
}

std::shared_ptr<ui::BarButtonItem> menuBarButton(std::function<void()> slide)
{
    return std::make_shared<ui::BarButtonItem>(ui::Image::named("menu"), ui::BarButtonItemStyle::Plain,
                                               [slide = std::move(slide)](ui::BarButtonItem&) { slide(); });
}

std::shared_ptr<ui::BarButtonItem> TemplateViewCon::makeMenuButton()
{
    return menuBarButton([this] {
        if (auto menu = delegate())
            menu->viewWillSlide2();
    });
}
