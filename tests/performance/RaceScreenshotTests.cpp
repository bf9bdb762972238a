#include <filesystem>

#include "RaceScreenTest.h"
#include "performance/AddTrackViewCon.h"
#include "performance/LapViewCon.h"
#include "performance/MapViewCon.h"
#include "performance/RaceResViewCon.h"
#include "performance/TrackSelectViewCon.h"
#include "performance/TrackView.h"
#include "platform/ui/NavigationController.h"
#include "platform/map/TileLoader.h"
#include "platform/ui/Context.h"
#include "platform/ui/PageViewController.h"
#include "support/ApplicationBars.h"
#include "support/LoopbackServer.h"
#include "support/ReferenceImage.h"

namespace {

// Pictures of the race screens for review, kept in the artifacts folder; the lap table is compared with its
// reference.
class RaceScreenshotTest : public RaceScreenTest {
protected:
    static ui::Image save(ui::View& view, const std::string& name)
    {
        const auto file = testsupport::artifactsDir() / ("race-" + name + ".png");
        const ui::Image image = view.renderToImage(1);
        EXPECT_TRUE(image.writePNG(file)) << file;
        return image;
    }

    void showInWindow(const std::shared_ptr<ui::ViewController>& screen)
    {
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(std::make_shared<ui::NavigationController>(screen));
        advance(0.5);
    }

    static std::vector<Lap> circleLaps()
    {
        std::vector<Lap> laps;
        for (int n = 0; n < 3; ++n) {
            std::vector<geo::Location> positions;
            std::vector<float> speeds;
            for (int i = 0; i < 22; ++i) {
                positions.push_back(onCircle(27.8 * i));
                speeds.push_back(static_cast<float>(60 + 40 * std::sin(i / 3.0) + 10 * n));
            }
            laps.emplace_back(positions, speeds, 216.0f + 7 * n);
        }
        return laps;
    }
};

TEST_F(RaceScreenshotTest, EveryPageInBothOrientations)
{
    auto screen = showRace();
    panels().trackView().setCoordinatesArr(circleLaps()[0].coordinatesArr);
    for (const bool portrait : {true, false}) {
        if (!portrait) {
            ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
            root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
            root->setRootViewController(screen);
            advance(0.5);
        }
        ui::PageViewController* pages = &panels().pageView();
        std::shared_ptr<ui::ViewController> page = pages->viewControllers().front();
        while (auto before = panels().viewControllerBeforeViewController(*pages, *page))
            page = before;
        for (int index = 0; page; ++index) {
            pages->setViewControllers({page}, ui::PageViewControllerNavigationDirection::Forward, false);
            screen->turnedToPage(index);
            advance(0.3);
            save(*screen->view(), std::string(portrait ? "portrait" : "landscape") + "-page" + std::to_string(index));
            EXPECT_EQ(race->pageIndex(), index);
            EXPECT_EQ(testsupport::cutTexts(root->window()), std::vector<std::string>{})
                << (portrait ? "portrait" : "landscape") << " page " << index;
            page = panels().viewControllerAfterViewController(*pages, *page);
        }
    }
}

TEST_F(RaceScreenshotTest, ResultScreensAndTrackForms)
{
    const testsupport::ApplicationBars bars;
    const auto laps = circleLaps();
    auto table = std::make_shared<LapViewCon>(laps, 92, 1.8f);
    showInWindow(table);
    const ui::Image lapTable = save(*root->rootViewController()->view(), "lap-table");
    EXPECT_TRUE(testsupport::matchesReference(lapTable, "race-lap-table"));
    auto results = std::make_shared<RaceResViewCon>(
        std::vector<float>{187, 6400, 147.5f, 0.45f, 9, 15, 11.6f, 16.4f, 3900, 96}, ui::TableViewStyle::Grouped);
    showInWindow(results);
    save(*root->rootViewController()->view(), "results");
    EXPECT_TRUE(results->tableImage().writePNG(testsupport::artifactsDir() / "race-results-whole.png"));
    auto mapScreen = std::make_shared<MapViewCon>(laps);
    showInWindow(mapScreen);
    save(*root->rootViewController()->view(), "lap-map-track");
    mapScreen->setMapType(0);
    advance(0.5);
    save(*root->rootViewController()->view(), "lap-map-offline");
    // On tiles from a loopback tile server (every tile a plain green-grey square).
    ui::BitmapContext tile({256, 256});
    tile.setFillColor(ui::Color::rgb255(200, 215, 190));
    tile.fillRect(ui::makeRect(0, 0, 256, 256));
    const std::string png = tile.makeImage().pngData();
    testsupport::LoopbackHttpServer server(
        [&](const std::string&) { return testsupport::HttpReply{200, "image/png", png}; });
    const map::TileSettings offline = map::TileLoader::shared().settings();
    map::TileSettings tiles;
    tiles.standardUrl = server.url("/tiles/{z}/{x}/{y}.png");
    tiles.attribution = "Test tiles";
    tiles.cacheFolder = testsupport::programHome() / "cache" / "tiles";
    map::TileLoader::shared().setSettings(tiles);
    auto onTiles = std::make_shared<MapViewCon>(laps);
    showInWindow(onTiles);
    onTiles->setMapType(0);
    onTiles->mapView()->renderToImage(1);
    for (int i = 0; i < 20; ++i) {
        fnd::RunLoop::main().runUntil([] { return false; }, 0.05);
        advance(0.1);
    }
    EXPECT_FALSE(onTiles->mapView()->isOffline());
    save(*root->rootViewController()->view(), "lap-map-tiles");
    root.reset();
    map::TileLoader::shared().setSettings(offline);

    auto form = std::make_shared<AddTrackViewCon>(laps[0]);
    showInWindow(form);
    save(*root->rootViewController()->view(), "track-form");
    Manager::sharedManager().raceData().trackArr = {Track("Circle", form->tView()->trackImageData(),
                                                          laps[0].coordinatesArr, 0.6f)};
    auto list = std::make_shared<TrackSelectViewCon>();
    showInWindow(list);
    save(*root->rootViewController()->view(), "track-list");
}

}  // namespace
