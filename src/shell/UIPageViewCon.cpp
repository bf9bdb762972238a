#include "shell/UIPageViewCon.h"

#include "platform/ui/PageControl.h"
#include "platform/ui/ScrollView.h"

UIPageViewCon::UIPageViewCon(ui::PageViewControllerTransitionStyle style,
                             ui::PageViewControllerNavigationOrientation orientation, double interPageSpacing)
    : ui::PageViewController(style, orientation, interPageSpacing)
{
}

void UIPageViewCon::viewDidLayoutSubviews()
{
    ui::PageViewController::viewDidLayoutSubviews();
    ui::View& root = *view();
    if (root.subviews().size() != 2)
        return;
    ui::ScrollView* scroll = nullptr;
    ui::PageControl* dots = nullptr;
    for (const auto& subview : root.subviews()) {
        if (auto* s = dynamic_cast<ui::ScrollView*>(subview.get()))
            scroll = s;
        else if (auto* p = dynamic_cast<ui::PageControl*>(subview.get()))
            dots = p;
    }
    if (!scroll || !dots)
        return;
    scroll->setFrame(root.bounds());
    root.bringSubviewToFront(dots);
}
