#include "shell/ScreenClosing.h"

#include "platform/ui/NavigationController.h"

void closeScreen(ui::ViewController& screen)
{
    auto* navigation = screen.navigationController();
    if (navigation && navigation->viewControllers().size() > 1 && navigation->topViewController() == &screen)
        navigation->popViewController(true);
    else
        screen.dismissViewController(true);
}
