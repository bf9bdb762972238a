#pragma once

#include "platform/ui/PageViewController.h"

// A page view screen whose pages fill its whole view: when the view holds just
// the scroll view and the page control, the scroll view takes the full view
// and the page control floats over the pages' bottom edge.
class UIPageViewCon : public ui::PageViewController {
public:
    UIPageViewCon(ui::PageViewControllerTransitionStyle style, ui::PageViewControllerNavigationOrientation orientation,
                  double interPageSpacing = 0);

    void viewDidLayoutSubviews() override;
};
