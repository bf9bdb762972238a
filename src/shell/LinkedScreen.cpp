#include "shell/LinkedScreen.h"

#include "platform/ui/ViewController.h"

void LinkedScreen::scannerDidInitialize(Scanner& link)
{
    const auto* screen = dynamic_cast<const ui::ViewController*>(this);
    if (screen && screen->isVisible() && link.isConnected())
        startVisit(link);
}

bool LinkedScreen::takeLinkAndVisit()
{
    takeLink();
    const auto link = scanner();
    if (!link || !link->isConnected())
        return false;
    startVisit(*link);
    return true;
}
