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

void LinkHolder::takeLinkBlockingStatus()
{
    takeLink();
    if (const auto link = scanner()) {
        link->shoulBlockStatus(true);
        blocksStatus_ = true;
    }
}

void LinkHolder::releaseLink(PolledList list)
{
    const auto link = scanner();
    if (!link)
        return;
    // A link that dropped while the screen blocked the status requests must not keep them blocked
    // after it connects again.
    if (blocksStatus_) {
        link->shoulBlockStatus(false);
        blocksStatus_ = false;
    }
    if (list == PolledList::Clear && holdsLink() && link->isConnected())
        link->setCommands(std::nullopt);
    link->releaseDelegate(this);
}

bool LinkHolder::holdsLink() const
{
    const auto link = scanner();
    return link && link->delegate().get() == this;
}
