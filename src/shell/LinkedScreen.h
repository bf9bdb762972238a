#pragma once

#include <memory>

#include "shell/LinkHolder.h"

// The main menu's warning lamp as the trouble code screen sees it.
class DTCViewControllerDelegate {
public:
    virtual ~DTCViewControllerDelegate() = default;

    // The car reports the lamp off: the menu hides its lamp icon.
    virtual void resetMil() = 0;
};

// A screen that works on the link without being a feature screen: the roots of the diagnostics tabs, mixed
// into a ui::ViewController. The main menu hands each one the link when it is created with the screens,
// and offers itself as the warning lamp's owner, which only the trouble code screen keeps. Like a feature
// screen it takes the link when it appears and releases it when it leaves (see LinkHolder).
//
// Each tab visits the link while it shows: it sends its requests when it appears with the adapter ready,
// and again whenever the adapter becomes ready while it shows.
class LinkedScreen : public LinkHolder {
public:
    virtual void setDelegate(const std::shared_ptr<DTCViewControllerDelegate>& /*menu*/) {}

    // The adapter is ready: a tab on screen visits it.
    void scannerDidInitialize(Scanner& link) override;

protected:
    // For viewDidAppear: takes the link, held also while the adapter is not ready to hear when it is, and
    // visits it now if it is ready. Whether it did.
    bool takeLinkAndVisit();

private:
    // Sends the tab's requests; it takes the link itself, blocking the status requests or not.
    virtual void startVisit(Scanner& link) = 0;
};
