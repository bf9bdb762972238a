#pragma once

#include <memory>

#include "core/link/Scanner.h"

// A screen that works on the adapter link: the feature screens (TemplateViewCon) and the roots of the
// diagnostics tabs (LinkedScreen). The main menu hands each one the link, held weakly, when the screens
// are built.
//
// The link's callbacks go to one delegate at a time. A screen takes the link when it comes on screen and
// gives it back when it leaves, one line each:
//
//     void viewWillAppear(bool animated) override { ...; takeLink(); }
//     void viewWillDisappear(bool animated) override { releaseLink(); ...; }
//
// The link holds its delegate weakly, so it can never call a screen that is gone, even one that forgot to
// release it. releaseLink() changes nothing when another screen has taken the link in the meantime, and
// while no screen holds it the main menu receives the callbacks. Whatever a screen changed of the link's
// traffic when it took the link, releaseLink() undoes, connected or not.
class LinkHolder : public ScannerDelegate {
public:
    std::shared_ptr<Scanner> scanner() const { return scanner_.lock(); }
    void setScanner(const std::shared_ptr<Scanner>& scanner) { scanner_ = scanner; }

    // This screen receives the link's callbacks from now on.
    void takeLink();
    // As takeLink(), and no status request goes out until this screen gives the link back: the requests
    // of a diagnostics screen and their replies stay its own.
    void takeLinkBlockingStatus();

    // What the link polls once a screen has given it back.
    enum class PolledList {
        Keep,   // the screen's list, until another screen hands over its own
        Clear,  // nothing: the list of a connected link this screen still holds is cleared
    };
    // The link goes back to the main menu, if this screen still holds it; the status requests resume if
    // this screen stopped them.
    void releaseLink(PolledList list = PolledList::Keep);
    // Whether this screen receives the link's callbacks now.
    bool holdsLink() const;

private:
    std::weak_ptr<Scanner> scanner_;
    bool blocksStatus_ = false;
};
