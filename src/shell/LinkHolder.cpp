#include "shell/LinkHolder.h"

#include "platform/ui/ViewController.h"

void LinkHolder::takeLink()
{
    const auto link = scanner();
    // A screen is shared by its owner, and the link shares in that ownership weakly.
    const auto* screen = dynamic_cast<const ui::ViewController*>(this);
    const auto owner = screen ? screen->weak_from_this().lock() : nullptr;
    if (link && owner)
        link->setDelegate(std::shared_ptr<ScannerDelegate>(owner, this));
}

void LinkHolder::releaseLink()
{
    if (const auto link = scanner())
        link->releaseDelegate(this);
}

bool LinkHolder::holdsLink() const
{
    const auto link = scanner();
    return link && link->delegate().get() == this;
}
