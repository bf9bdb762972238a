// A track fills its view on each axis wherever it is drawn: on the race screen's track page, in the form that
// saves it and in the list of saved tracks, at every window shape; the lap map opens on the start of the lap.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "RaceScreenTest.h"
#include "performance/AddTrackViewCon.h"
#include "performance/MapViewCon.h"
#include "performance/TrackSelectViewCon.h"
#include "performance/TrackView.h"
#include "platform/map/MapView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/VisibleText.h"

namespace {

// The oval of the sample replay: 600 m from east to west, 220 m from north to south.
std::vector<geo::Location> oval()
{
    std::vector<geo::Location> points;
    for (int degree = 0; degree < 360; degree += 4) {
        const double angle = degree * std::numbers::pi / 180;
        points.push_back(RaceTest::at(-110 * std::cos(angle), 300 * std::sin(angle)));
    }
    return points;
}

// The box of the white pixels of a picture: the outline, not the grey read-out or the brown start tick.
ui::Rect outlineBox(const ui::Image& picture)
{
    int minX = picture.pixelWidth(), minY = picture.pixelHeight(), maxX = -1, maxY = -1;
    for (int y = 0; y < picture.pixelHeight(); ++y) {
        for (int x = 0; x < picture.pixelWidth(); ++x) {
            const ui::Color c = picture.pixel(x, y);
            if (c.r > 0.9 && c.g > 0.9 && c.b > 0.9) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    return maxX < 0 ? ui::Rect{} : ui::Rect{{double(minX), double(minY)}, {double(maxX - minX), double(maxY - minY)}};
}

// Each axis is stretched on its own: the outline spans the middle seven eighths of the picture both ways.
void expectStretched(const ui::Image& picture, const std::string& where)
{
    const ui::Rect box = outlineBox(picture);
    EXPECT_NEAR(box.width() / picture.pixelWidth(), 7.0 / 8, 0.03) << where << ": " << box.width() << " wide";
    EXPECT_NEAR(box.height() / picture.pixelHeight(), 7.0 / 8, 0.03) << where << ": " << box.height() << " high";
}

class RaceTrackOutlineTest : public RaceScreenTest {
protected:
    static void setScreen(ui::Size size)
    {
        ui::Device::current().setIdiom(size.width == 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
        ui::Device::current().setScreenSize(size);
    }

    static std::string named(ui::Size size)
    {
        return std::to_string(int(size.width)) + "x" + std::to_string(int(size.height));
    }

    // The results of a track run of one oval lap at 80 km/h, as the race screen presents them, on the map tab.
    std::shared_ptr<MapViewCon> showLapMap()
    {
        const auto points = oval();
        auto map = std::make_shared<MapViewCon>(
            std::vector<Lap>{Lap(points, std::vector<float>(points.size(), 80), 610)});
        auto tabs = std::make_shared<ui::TabBarController>();
        tabs->setViewControllers({std::make_shared<ui::NavigationController>(std::make_shared<ui::ViewController>()),
                                  std::make_shared<ui::NavigationController>(map)});
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(tabs);
        advance(0.5);
        EXPECT_TRUE(tabs->selectFromTabBar(1));
        advance(1);
        root->window().layoutIfNeeded();
        return map;
    }

    void tapOn(const std::string& text)
    {
        ASSERT_TRUE(testsupport::tapText(root->window(), text)) << text;
        advance(1);
    }

    // The action button at the right of the screen's navigation bar.
    void tapActionButton(ui::ViewController& screen)
    {
        root->window().layoutIfNeeded();
        ui::NavigationBar& bar = screen.navigationController()->navigationBar();
        ui::View* button = bar.viewForItem(*screen.navigationItem().rightBarButtonItem());
        ASSERT_NE(button, nullptr);
        testsupport::tap(root->window(), *button);
        advance(1);
    }
};

TEST_F(RaceTrackOutlineTest, TheTrackPageStretchesTheChosenTrackAndShowsNoDotBeforeAPosition)
{
    Manager::sharedManager().raceData().trackArr.push_back(Track("Oval", {}, oval(), 0.6f));
    for (const bool chosen : {true, false}) {
        Manager::sharedManager().raceData().selectedTrackIndex = chosen ? 0 : -1;
        for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
            setScreen(size);
            showRace();
            swipeToNextPage();
            swipeToNextPage();
            ASSERT_EQ(race->pageIndex(), 2) << named(size);
            if (chosen) {
                expectStretched(panels().trackView().renderToImage(1), named(size));
            } else {  // no run to draw, and none after a reset
                testsupport::tap(window(), ui::Point{window().bounds().width() / 2, 150});
                advance(0.5);
                window().layoutIfNeeded();
                testsupport::tap(window(), *menus().optionsButton());
                advance(0.5);
                tapOn(fnd::L("Reset data"));
            }
            EXPECT_TRUE(panels().trackView().isDotHidden()) << named(size) << (chosen ? " with" : " no") << " track";
        }
    }
}

TEST_F(RaceTrackOutlineTest, TheSaveFormAndTheTrackListStretchTheLapBelowTheBar)
{
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
        setScreen(size);
        Manager::sharedManager().raceData().trackArr.clear();
        auto map = showLapMap();
        tapActionButton(*map);
        tapOn(fnd::L("Save track"));
        auto* form = dynamic_cast<AddTrackViewCon*>(
            static_cast<ui::NavigationController&>(*map->presentedViewController()).topViewController());
        ASSERT_NE(form, nullptr) << named(size);
        advance(1);
        root->window().layoutIfNeeded();
        const ui::NavigationBar& bar = form->navigationController()->navigationBar();
        const double barBottom = bar.convertRect(bar.bounds(), nullptr).maxY();
        EXPECT_GE(form->tView()->convertPoint({0, 0}, nullptr).y, barBottom) << named(size);
        const auto name = testsupport::frameOfText(root->window(), "Track 1");
        EXPECT_TRUE(name && form->view()->convertRect(form->view()->bounds(), nullptr).contains(*name)) << named(size);
        expectStretched(form->tView()->renderToImage(1), named(size) + " form");
        tapOn(fnd::L("Save"));
        ASSERT_EQ(Manager::sharedManager().raceData().trackArr.size(), 1u);

        auto list = std::make_shared<TrackSelectViewCon>();
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(std::make_shared<ui::NavigationController>(list));
        advance(1);
        root->window().layoutIfNeeded();
        const auto cell = list->tableView().cellForRowAtIndexPath({0, 1});
        ASSERT_NE(cell, nullptr);
        ui::ImageView& thumbnail = *cell->imageView();
        expectStretched(thumbnail.renderToImage(thumbnail.image().scale()), named(size) + " list");
        const ui::Rect picture = thumbnail.convertRect(thumbnail.bounds(), nullptr);
        for (const std::string& text : {std::string("Track 1"), fnd::L("Distance") + ": 0.0 km"}) {
            const auto shown = testsupport::frameOfText(root->window(), text);
            ASSERT_TRUE(shown) << named(size) << ": " << text;
            EXPECT_FALSE(picture.intersects(*shown)) << named(size) << ": the picture covers " << text;
        }
    }
}

TEST_F(RaceTrackOutlineTest, TheStandardMapShows500MetresAroundTheStartOfTheLap)
{
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
        setScreen(size);
        auto map = showLapMap();
        tapOn("Standard");
        advance(2);  // the map moves to the lap
        map::MapView& shown = *map->mapView();
        ASSERT_FALSE(shown.isHidden());
        const ui::Rect b = shown.bounds();
        const ui::Point start = shown.convertCoordinate(oval().front().coordinate);
        EXPECT_NEAR(start.x, b.midX(), 1) << named(size);
        EXPECT_NEAR(start.y, b.midY(), 1) << named(size);
        // The map is wider than high: 250 m north of the start is its top edge.
        EXPECT_NEAR(shown.convertCoordinate(RaceTest::at(140, 0).coordinate).y, b.minY(), 2) << named(size);
    }
}

TEST_F(RaceTrackOutlineTest, NoTabBarCoversTheMapOnItsSide)
{
    for (const ui::Size size : {ui::Size{844, 390}, ui::Size{1024, 768}, ui::Size{390, 844}}) {
        setScreen(size);
        auto map = showLapMap();
        ui::TabBar& tabs = map->tabBarController()->tabBar();
        for (ui::View* content : {static_cast<ui::View*>(map->mapView()), static_cast<ui::View*>(map->tView())}) {
            const ui::Rect frame = content->convertRect(content->bounds(), nullptr);
            if (!tabs.isHidden()) {
                EXPECT_FALSE(frame.intersects(tabs.convertRect(tabs.bounds(), nullptr))) << named(size);
            }
        }
        EXPECT_EQ(tabs.isHidden(), size.width > size.height) << named(size) << ": hidden on its side, pad or phone";
        root->setSize({size.height, size.width}, 0);
        EXPECT_EQ(tabs.isHidden(), size.width < size.height) << named(size) << " turned";
    }
}

}  // namespace
