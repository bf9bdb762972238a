#pragma once

#include <algorithm>

#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

// Where a result screen's content starts: one point below its navigation bar
// (65 on a phone whose bar ends at 64, lower where the status bar is taller).
inline double navigationBarBottom(ui::ViewController& screen)
{
    ui::NavigationController* navigation = screen.navigationController();
    if (!navigation)
        return 65;
    return std::max(65.0, navigation->navigationBar().frame().maxY() + 1);
}
