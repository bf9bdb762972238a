#include "shell/TutViewCon.h"

#include <algorithm>

#include "platform/foundation/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "shell/UIPageViewCon.h"

namespace {

constexpr double closeButtonSize = 44;

std::shared_ptr<ui::ViewController> makePage(const std::string& imageName)
{
    auto page = std::make_shared<ui::ViewController>();
    auto image = std::make_shared<ui::ImageView>();
    image->setContentMode(ui::ContentMode::ScaleAspectFit);
    image->setBackgroundColor(ui::Color::black());
    if (!imageName.empty())
        image->setImage(ui::Image::named(imageName));
    page->setView(image);
    return page;
}

}  // namespace

TutViewCon::TutViewCon(std::vector<std::string> imageNames)
    : names_(std::move(imageNames))
    , pages_(std::make_shared<UIPageViewCon>(ui::PageViewControllerTransitionStyle::Scroll,
                                             ui::PageViewControllerNavigationOrientation::Horizontal))
{
    for (const auto& name : names_)
        pageScreens_.push_back(makePage(name));
    setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
}

TutViewCon::~TutViewCon()
{
    pages_->setDataSource(nullptr);
    pages_->setDelegate(nullptr);
}

void TutViewCon::viewDidLoad()
{
    ui::View& root = *view();
    root.setBackgroundColor(ui::Color::black());

    addChildViewController(pages_);
    root.addSubview(pages_->view());
    pages_->didMoveToParentViewController(this);
    pages_->setDataSource(this);
    pages_->setDelegate(this);
    if (!pageScreens_.empty())
        pages_->setViewControllers({pageScreens_.front()}, ui::PageViewControllerNavigationDirection::Forward, false);

    close_ = std::make_shared<ui::Button>(ui::ButtonType::System);
    close_->setTitle(fnd::L("Close"));
    close_->setTitleColor(ui::Color::white(0.8));
    close_->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) { dismissViewController(true); });
    root.addSubview(close_);
}

void TutViewCon::viewDidLayoutSubviews()
{
    const ui::Rect bounds = view()->bounds();
    pages_->view()->setFrame(bounds);
    const double width = closeButtonSize * 2;
    close_->setFrame(ui::makeRect(bounds.maxX() - width - 8, ui::safeAreaInsets(*view()).top + 8, width, closeButtonSize));
}

int TutViewCon::currentPage() const
{
    const auto shown = pages_->viewControllers();
    return shown.empty() ? -1 : indexOf(*shown.front());
}

int TutViewCon::indexOf(const ui::ViewController& page) const
{
    for (std::size_t i = 0; i < pageScreens_.size(); ++i) {
        if (pageScreens_[i].get() == &page)
            return static_cast<int>(i);
    }
    return -1;
}

std::shared_ptr<ui::ViewController> TutViewCon::viewControllerBeforeViewController(ui::PageViewController&,
                                                                                   ui::ViewController& page)
{
    const int index = indexOf(page);
    return index > 0 ? pageScreens_[static_cast<std::size_t>(index - 1)] : nullptr;
}

std::shared_ptr<ui::ViewController> TutViewCon::viewControllerAfterViewController(ui::PageViewController&,
                                                                                  ui::ViewController& page)
{
    const int index = indexOf(page);
    const auto next = static_cast<std::size_t>(index + 1);
    return index >= 0 && next < pageScreens_.size() ? pageScreens_[next] : nullptr;
}

int TutViewCon::presentationCountForPageViewController(ui::PageViewController&)
{
    return static_cast<int>(pageScreens_.size());
}

int TutViewCon::presentationIndexForPageViewController(ui::PageViewController&)
{
    return std::max(0, currentPage());
}

void TutViewCon::didFinishAnimating(ui::PageViewController&, bool, const std::vector<std::shared_ptr<ui::ViewController>>&,
                                    bool completed)
{
    const int page = currentPage();
    if (completed && page >= 0 && names_[static_cast<std::size_t>(page)].empty())
        dismissViewController(true);
}
