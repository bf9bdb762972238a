#include <cmath>

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/geo/LocationService.h"
#include "platform/map/MapView.h"
#include "support/LoopbackServer.h"
#include "support/TestSupport.h"

namespace {

using namespace map;

// A lap as the lap map draws it: map points with a speed each, stroked
// segment by segment with a gradient from one point's hue to the next.
class Route : public Overlay {
public:
    Route(std::vector<geo::Coordinate> coordinates, std::vector<float> speeds) : speeds_(std::move(speeds))
    {
        for (const auto& c : coordinates)
            points_.push_back(mapPointForCoordinate(c));
        const MapPoint p0 = points_.front();
        bounds_ = mapRectIntersection({{p0.x - worldPoints / 8, p0.y - worldPoints / 8}, {worldPoints / 4, worldPoints / 4}},
                                      mapRectWorld);
    }
    geo::Coordinate coordinate() const override { return coordinateForMapPoint(points_.front()); }
    MapRect boundingMapRect() const override { return bounds_; }
    std::vector<MapPoint> points_;
    std::vector<float> speeds_;

private:
    MapRect bounds_;
};

class RouteRenderer : public OverlayPathRenderer {
public:
    explicit RouteRenderer(std::shared_ptr<Route> route) : OverlayPathRenderer(route), route_(std::move(route)) {}

    void createPath() override
    {
        ui::Path path;
        for (const auto& p : route_->points_)
            path.lineTo(pointForMapPoint(p));
        setPath(path);
    }

    void drawMapRect(const MapRect& mapRect, double, ui::Context& context) override
    {
        if (!path())
            createPath();
        // A straight east-west lap has a bounding box of no height: widen it.
        if (!rectForMapRect(mapRect).intersects(path()->controlBounds().inset(-1, -1)))
            return;
        const auto hue = [](float speed) { return std::clamp(speed, 0.0f, 255.0f) * 0.27 / 255 + 0.03; };
        for (std::size_t i = 1; i < route_->points_.size(); ++i) {
            const ui::Point a = pointForMapPoint(route_->points_[i - 1]);
            const ui::Point b = pointForMapPoint(route_->points_[i]);
            context.save();
            context.setLineWidth(context.convertSizeToUserSpace({lineWidth(), lineWidth()}).width);
            context.setLineCap(lineCap());
            ui::Path segment;
            segment.moveTo(a);
            segment.lineTo(b);
            context.clipToStrokedPath(segment);
            context.drawLinearGradient({{0, ui::Color::hsb(hue(route_->speeds_[i - 1]), 1, 1)},
                                        {1, ui::Color::hsb(hue(route_->speeds_[i]), 1, 1)}},
                                       a, b, {false, true});
            context.restore();
        }
        ++draws;
    }
    int draws = 0;

private:
    std::shared_ptr<Route> route_;
};

struct Delegate : MapViewDelegate {
    int asked = 0;
    std::shared_ptr<OverlayRenderer> mapViewRendererForOverlay(MapView&, const std::shared_ptr<Overlay>& overlay) override
    {
        ++asked;
        auto renderer = std::make_shared<RouteRenderer>(std::static_pointer_cast<Route>(overlay));
        renderer->setLineWidth(8);
        return renderer;
    }
};

TileSettings tilesFrom(const std::string& url)
{
    TileSettings settings;
    settings.standardUrl = url;
    settings.attribution = url.empty() ? "" : "Test tiles";
    settings.cacheFolder = testsupport::freshDocuments().parent_path() / "cache" / "tiles";
    return settings;
}

class MapViewTest : public ::testing::Test {
protected:
    void SetUp() override { TileLoader::shared().setSettings(tilesFrom("")); }
    void TearDown() override
    {
        TileLoader::shared().setSettings(tilesFrom(""));
        geo::LocationService::shared().stop();
    }
};

TEST_F(MapViewTest, RegionsAreFittedToTheViewsShape)
{
    auto view = std::make_shared<MapView>();
    view->setFrame(ui::makeRect(0, 0, 400, 200));
    const CoordinateRegion asked = coordinateRegionMakeWithDistance({48.1, 11.5}, 500, 500);
    const CoordinateRegion fitted = view->regionThatFits(asked);
    const MapRect fittedRect = mapRectForCoordinateRegion(fitted);
    EXPECT_NEAR(fittedRect.size.width / fittedRect.size.height, 2.0, 1e-3);
    const MapRect askedRect = mapRectForCoordinateRegion(asked);
    EXPECT_GE(fittedRect.size.height, askedRect.size.height * 0.999) << "the whole region stays in view";
    EXPECT_GE(fittedRect.size.width, askedRect.size.width);

    view->setRegion(fitted);
    const MapRect visible = view->visibleMapRect();
    EXPECT_NEAR(visible.size.width / visible.size.height, 2.0, 1e-9);
    EXPECT_NEAR(view->centerCoordinate().latitude, 48.1, 1e-4);
    EXPECT_NEAR(view->zoomScale(), 400 / visible.size.width, 1e-12);

    const ui::Point centre = view->convertCoordinate({48.1, 11.5});
    EXPECT_NEAR(centre.x, 200, 0.5);
    EXPECT_NEAR(centre.y, 100, 0.5);
    const geo::Coordinate back = view->convertPoint({37, 150});
    const ui::Point again = view->convertCoordinate(back);
    EXPECT_NEAR(again.x, 37, 1e-6);
    EXPECT_NEAR(again.y, 150, 1e-6);

    // The view changes shape: the same place stays in view, at the new aspect.
    view->setFrame(ui::makeRect(0, 0, 200, 400));
    EXPECT_NEAR(view->visibleMapRect().size.height / view->visibleMapRect().size.width, 2.0, 1e-9);
    EXPECT_NEAR(view->centerCoordinate().longitude, 11.5, 1e-9);
}

TEST_F(MapViewTest, WheelZoomsAboutTheCentreFingersDragAndPinch)
{
    auto view = std::make_shared<MapView>();
    view->setFrame(ui::makeRect(0, 0, 300, 300));
    view->setRegion(coordinateRegionMakeWithDistance({48.1, 11.5}, 2000, 2000));
    const double before = view->zoomScale();
    const geo::Coordinate centre = view->centerCoordinate();
    EXPECT_TRUE(view->scrollWheel(0, -120));
    EXPECT_NEAR(view->zoomScale(), before * 2, before * 1e-9) << "turned away from the user: closer";
    EXPECT_NEAR(view->centerCoordinate().latitude, centre.latitude, 1e-9);
    EXPECT_NEAR(view->centerCoordinate().longitude, centre.longitude, 1e-9);

    for (int i = 0; i < 100; ++i)
        view->scrollWheel(0, -120);
    EXPECT_DOUBLE_EQ(view->zoomScale(), MapView::largestZoomScale);

    ui::Touch finger;
    finger.id = 7;
    finger.location = {100, 100};
    view->touchesBegan({finger});
    const geo::Coordinate grabbed = view->convertPoint({100, 100});
    finger.location = {130, 90};
    finger.phase = ui::TouchPhase::Moved;
    view->touchesMoved({finger});
    finger.phase = ui::TouchPhase::Ended;
    view->touchesEnded({finger});
    const ui::Point moved = view->convertCoordinate(grabbed);
    EXPECT_NEAR(moved.x, 130, 1e-6);
    EXPECT_NEAR(moved.y, 90, 1e-6);

    // Two fingers spread from 100 to 50 points apart: half the zoom, centred between them.
    const double deep = view->zoomScale();
    ui::Touch left;
    left.id = 1;
    left.location = {100, 150};
    ui::Touch right;
    right.id = 2;
    right.location = {200, 150};
    view->touchesBegan({left, right});
    const geo::Coordinate between = view->convertPoint({150, 150});
    left.location = {125, 150};
    right.location = {175, 150};
    view->touchesMoved({left, right});
    view->touchesEnded({left, right});
    EXPECT_NEAR(view->zoomScale(), deep / 2, deep * 1e-9);
    const ui::Point pinched = view->convertCoordinate(between);
    EXPECT_NEAR(pinched.x, 150, 1e-6);
    EXPECT_NEAR(pinched.y, 150, 1e-6);
}

TEST_F(MapViewTest, ASpeedColouredRouteIsDrawnByItsRenderer)
{
    auto view = std::make_shared<MapView>();
    view->setFrame(ui::makeRect(0, 0, 300, 300));
    Delegate delegate;
    view->setDelegate(&delegate);
    // 1 km due east: a standstill start and a full-speed end.
    const geo::Coordinate start{48.1, 11.5};
    const geo::Coordinate end{48.1, 11.5 + 1000 / (geo::meanEarthRadius * M_PI / 180 * std::cos(48.1 * M_PI / 180))};
    auto route = std::make_shared<Route>(std::vector{start, end}, std::vector<float>{0, 255});
    view->addOverlay(route);
    view->addOverlay(route);
    EXPECT_EQ(delegate.asked, 1);
    ASSERT_EQ(view->overlays().size(), 1u);
    view->setRegion(coordinateRegionMakeWithDistance({48.1, 11.5067}, 1500, 1500));

    const ui::Image image = view->renderToImage(1);
    image.writePNG(testsupport::artifactsDir() / "map" / "speed-route.png");
    const ui::Point a = view->convertCoordinate(start);
    const ui::Point b = view->convertCoordinate(end);
    EXPECT_NEAR(a.y, 150, 1);
    EXPECT_GT(b.x - a.x, 150) << "1 km across a 1.5 km view";
    const auto at = [&](double x, double dy) { return image.pixel(static_cast<int>(x), static_cast<int>(a.y + dy)); };
    const ui::Color red = at(a.x + 4, 0);
    const ui::Color green = at(b.x - 4, 0);
    EXPECT_GT(red.r, 0.9);
    EXPECT_LT(red.g, 0.4);
    EXPECT_GT(green.g, 0.9);
    EXPECT_LT(green.r, 0.5);
    const ui::Color middle = at((a.x + b.x) / 2, 0);
    EXPECT_GT(middle.r, 0.5) << "a blend between the two hues";
    EXPECT_GT(middle.g, 0.5);
    // The line is 8 view points wide, whatever the zoom.
    EXPECT_LT(at((a.x + b.x) / 2, 3).b, 0.2) << "on the line";
    EXPECT_GT(at((a.x + b.x) / 2, 6).b, 0.8) << "the ground beside it";
    EXPECT_EQ(view->rendererForOverlay(route) != nullptr, true);

    view->removeOverlay(route);
    EXPECT_EQ(view->rendererForOverlay(route), nullptr);
}

TEST_F(MapViewTest, TilesComeOnceFromTheServerThenFromTheCache)
{
    ui::BitmapContext tile({256, 256});
    tile.setFillColor(ui::Color::rgb255(30, 90, 200));
    tile.fillRect(ui::makeRect(0, 0, 256, 256));
    const std::string png = tile.makeImage().pngData();
    testsupport::LoopbackHttpServer server([&](const std::string& path) {
        if (path == "/tiles/0/0/0.png")
            return testsupport::HttpReply{200, "image/png", png};
        return testsupport::HttpReply{404, "text/plain", "no such tile"};
    });
    const TileSettings settings = tilesFrom(server.url("/tiles/{z}/{x}/{y}.png"));
    TileLoader::shared().setSettings(settings);

    auto view = std::make_shared<MapView>();
    view->setFrame(ui::makeRect(0, 0, 256, 256));
    view->setVisibleMapRect(mapRectWorld);
    EXPECT_FALSE(view->isOffline());
    view->renderToImage(1);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return TileLoader::shared().tile({MapType::Standard, 0, 0, 0}).has_value(); }));
    const ui::Image shown = view->renderToImage(1);
    EXPECT_NEAR(shown.pixel(128, 60).b, 200 / 255.0, 0.02);
    EXPECT_TRUE(std::filesystem::exists(TileLoader::shared().cacheFileFor({MapType::Standard, 0, 0, 0})));

    // Another run of the application: nothing in memory, the tile is on disk.
    TileLoader::shared().setSettings(settings);
    view->setMapType(MapType::Satellite);  // no satellite server: the same pictures
    EXPECT_NEAR(view->renderToImage(1).pixel(128, 60).b, 200 / 255.0, 0.02);
    fnd::RunLoop::main().runUntil([] { return false; }, 0.1);
    EXPECT_EQ(server.requestedPaths(), std::vector<std::string>{"/tiles/0/0/0.png"});
    EXPECT_FALSE(view->isOffline());

    // Tiles the server does not have are asked for once, then left alone for a while.
    view->setVisibleMapRect({{0, 0}, {worldPoints / 2, worldPoints / 2}});  // the four tiles of zoom 1
    view->renderToImage(1);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return server.requestedPaths().size() == 5; }));
    fnd::RunLoop::main().runUntil([] { return false; }, 0.1);
    view->renderToImage(1);
    fnd::RunLoop::main().runUntil([] { return false; }, 0.1);
    EXPECT_EQ(server.requestedPaths().size(), 5u);
    EXPECT_FALSE(view->isOffline()) << "a missing tile is not a missing network";
}

TEST_F(MapViewTest, OfflineTheMapDrawsAGraticuleAndSaysSo)
{
    auto view = std::make_shared<MapView>();
    view->setFrame(ui::makeRect(0, 0, 300, 300));
    view->setRegion(coordinateRegionMakeWithDistance({48.1, 11.5}, 3000, 3000));
    EXPECT_TRUE(view->isOffline()) << "no tile source";
    const ui::Image off = view->renderToImage(1);
    off.writePNG(testsupport::artifactsDir() / "map" / "offline.png");

    // A server that cannot be reached: offline as well, after the first try.
    TileLoader::shared().setSettings(tilesFrom("http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()) +
                                               "/{z}/{x}/{y}.png"));
    EXPECT_FALSE(view->isOffline());
    view->renderToImage(1);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return view->isOffline(); }));
    const ui::Image unreachable = view->renderToImage(1);
    // Both show the grid over the plain ground.
    int gridPixels = 0;
    for (int x = 0; x < 300; ++x) {
        const ui::Color c = unreachable.pixel(x, 150);
        gridPixels += c.r < 0.85 && c.r > 0.7 ? 1 : 0;
    }
    EXPECT_GE(gridPixels, 2);
    EXPECT_EQ(unreachable.pixel(20, 20), off.pixel(20, 20));
}

TEST_F(MapViewTest, TheUserLocationIsShownWhereTheServiceSaysItIs)
{
    geo::LocationService::shared().startInjection();
    geo::Location here;
    here.coordinate = {48.1, 11.5};
    here.horizontalAccuracy = 5;
    geo::LocationService::shared().inject(here);
    auto view = std::make_shared<MapView>();
    view->setFrame(ui::makeRect(0, 0, 200, 200));
    view->setRegion(coordinateRegionMakeWithDistance({48.1, 11.5}, 500, 500));
    EXPECT_FALSE(view->userLocation());
    view->setShowsUserLocation(true);
    ASSERT_TRUE(view->userLocation());
    const ui::Color dot = view->renderToImage(1).pixel(100, 100);
    EXPECT_GT(dot.b, 0.9);
    EXPECT_LT(dot.r, 0.2);
}

}  // namespace
