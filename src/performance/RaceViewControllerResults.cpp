#include "performance/LapViewCon.h"
#include "performance/MapViewCon.h"
#include "performance/RaceResViewCon.h"
#include "performance/RaceViewController.h"
#include "performance/TrackSelectViewCon.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"

namespace {

std::shared_ptr<ui::NavigationController> inNavigation(const std::shared_ptr<ui::ViewController>& screen,
                                                       const char* title, const char* tabImage)
{
    screen->setTitle(fnd::L(title));
    auto navigation = std::make_shared<ui::NavigationController>(screen);
    navigation->tabBarItem().setTitle(fnd::L(title));
    navigation->tabBarItem().setImage(ui::Image::named(tabImage));
    return navigation;
}

}  // namespace

void RaceViewController::showResults()
{
    if (engine_.dataArr().empty())
        return;
    auto results = inNavigation(std::make_shared<RaceResViewCon>(engine_.dataArr(), ui::TableViewStyle::Grouped),
                                "Race info", "page");
    if (!engine_.isTrackMode()) {
        results->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
        presentViewController(results, true);
        return;
    }
    auto laps = inNavigation(std::make_shared<LapViewCon>(engine_.lapArr(), static_cast<int>(engine_.avgSpeed()),
                                                          engine_.distance()),
                             "Lap times", "timer");
    auto map = inNavigation(std::make_shared<MapViewCon>(engine_.lapArr()), "Map", "marker");
    auto tabs = std::make_shared<ui::TabBarController>();
    tabs->setViewControllers({laps, results, map});
    tabs->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
    presentViewController(tabs, true);
}

void RaceViewController::showTrackSelection()
{
    auto list = std::make_shared<ui::NavigationController>(std::make_shared<TrackSelectViewCon>());
    list->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
    presentViewController(list, true);
}
