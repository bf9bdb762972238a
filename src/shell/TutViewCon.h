#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/PageViewController.h"
#include "platform/ui/ViewController.h"

class UIPageViewCon;
namespace ui {
class Button;
}

// A paged tutorial of full-screen images, presented over a screen. A page with
// an empty image name is blank, and turning to it closes the tutorial (the
// usual last page); the close button closes it from any page.
class TutViewCon : public ui::ViewController,
                   private ui::PageViewControllerDataSource,
                   private ui::PageViewControllerDelegate {
public:
    explicit TutViewCon(std::vector<std::string> imageNames);
    ~TutViewCon() override;

    UIPageViewCon& pageViewController() { return *pages_; }
    // The index of the page shown.
    int currentPage() const;

    void viewDidLayoutSubviews() override;

protected:
    void viewDidLoad() override;

private:
    std::shared_ptr<ui::ViewController> viewControllerBeforeViewController(ui::PageViewController&,
                                                                           ui::ViewController& page) override;
    std::shared_ptr<ui::ViewController> viewControllerAfterViewController(ui::PageViewController&,
                                                                          ui::ViewController& page) override;
    int presentationCountForPageViewController(ui::PageViewController&) override;
    int presentationIndexForPageViewController(ui::PageViewController&) override;
    void didFinishAnimating(ui::PageViewController&, bool finished,
                            const std::vector<std::shared_ptr<ui::ViewController>>& previous,
                            bool completed) override;

    int indexOf(const ui::ViewController& page) const;

    std::vector<std::string> names_;
    std::vector<std::shared_ptr<ui::ViewController>> pageScreens_;
    std::shared_ptr<UIPageViewCon> pages_;
    std::shared_ptr<ui::Button> close_;
};
