#pragma once

#include <memory>

class Scanner;

// The main menu's warning lamp as the trouble code screen sees it.
class DTCViewControllerDelegate {
public:
    virtual ~DTCViewControllerDelegate() = default;

    // The car reports the lamp off: the menu hides its lamp icon.
    virtual void resetMil() = 0;
};

// A screen that works on the link without being a feature screen: the roots of the diagnostics tabs. The
// main menu hands each one the link when it is created with the screens, and offers itself as the
// warning lamp's owner, which only the trouble code screen keeps.
class LinkedScreen {
public:
    virtual ~LinkedScreen() = default;

    std::shared_ptr<Scanner> scanner() const { return scanner_.lock(); }
    void setScanner(const std::shared_ptr<Scanner>& scanner) { scanner_ = scanner; }
    virtual void setDelegate(const std::shared_ptr<DTCViewControllerDelegate>& /*menu*/) {}

private:
    std::weak_ptr<Scanner> scanner_;
};
