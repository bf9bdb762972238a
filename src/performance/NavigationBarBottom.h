#pragma once

#include <algorithm>

#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

// Where a result screen's content starts: one point below its navigation bar,
// and at least at `least` (65 on a phone whose bar ends at 64, lower where the
// status bar is taller).
inline double navigationBarBottom(ui::ViewController& screen, double least = 65)
{
    ui::NavigationController* navigation = screen.navigationController();
    if (!navigation)
        return least;
    return std::max(least, navigation->navigationBar().frame().maxY() + 1);
}
