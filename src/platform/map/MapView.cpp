#include "platform/map/MapView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Localization.h"
#include "platform/ui/Font.h"

namespace map {

namespace {

constexpr double tilePoints = 256;  // a tile's side in view points at its own zoom
const ui::Color groundColor = ui::Color::rgb255(236, 232, 224);
const ui::Color gridColor = ui::Color::rgb255(200, 196, 188);
const ui::Color userDotColor = ui::Color::rgb255(0, 122, 255);

// A grid step in degrees that puts a handful of lines across `span` degrees.
double graticuleStep(double span)
{
    static constexpr double steps[] = {0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05,
                                       0.1,    0.2,    0.5,    1,     2,     5,     10,   15,   30};
    for (const double step : steps)
        if (span / step <= 8)
            return step;
    return 45;
}

ui::Point middle(ui::Point a, ui::Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
double distance(ui::Point a, ui::Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

MapView::MapView()
{
    tileObserver_ = TileLoader::shared().addObserver([this] { setNeedsDisplay(); });
}

MapView::~MapView()
{
    TileLoader::shared().removeObserver(tileObserver_);
}

void MapView::setMapType(MapType type)
{
    mapType_ = type;
    setNeedsDisplay();
}

MapRect MapView::mapRectThatFits(const MapRect& rect) const
{
    const ui::Size view = bounds().size;
    if (rect.isEmpty() || view.width <= 0 || view.height <= 0)
        return rect;
    const double aspect = view.width / view.height;
    double width = std::max(rect.size.width, rect.size.height * aspect);
    width = std::max(width, view.width / largestZoomScale);
    const double height = width / aspect;
    return {{rect.midX() - width / 2, rect.midY() - height / 2}, {width, height}};
}

MapRect MapView::visibleMapRect() const
{
    return mapRectThatFits(shown_);
}

void MapView::setVisibleMapRect(const MapRect& rect, bool)
{
    if (rect.isEmpty())
        return;
    shown_ = rect;
    setNeedsDisplay();
}

CoordinateRegion MapView::region() const
{
    return coordinateRegionForMapRect(visibleMapRect());
}

void MapView::setRegion(const CoordinateRegion& region, bool animated)
{
    setVisibleMapRect(mapRectForCoordinateRegion(region), animated);
}

CoordinateRegion MapView::regionThatFits(const CoordinateRegion& region) const
{
    return coordinateRegionForMapRect(mapRectThatFits(mapRectForCoordinateRegion(region)));
}

geo::Coordinate MapView::centerCoordinate() const
{
    const MapRect visible = visibleMapRect();
    return coordinateForMapPoint({visible.midX(), visible.midY()});
}

void MapView::setCenterCoordinate(geo::Coordinate center, bool animated)
{
    const MapPoint point = mapPointForCoordinate(center);
    setVisibleMapRect({{point.x - shown_.size.width / 2, point.y - shown_.size.height / 2}, shown_.size}, animated);
}

double MapView::zoomScale() const
{
    const MapRect visible = visibleMapRect();
    return visible.size.width > 0 ? bounds().size.width / visible.size.width : 0;
}

ui::Point MapView::pointForMapPoint(MapPoint point) const
{
    const MapRect visible = visibleMapRect();
    const double scale = zoomScale();
    return {bounds().minX() + (point.x - visible.minX()) * scale, bounds().minY() + (point.y - visible.minY()) * scale};
}

MapPoint MapView::mapPointForPoint(ui::Point point) const
{
    const MapRect visible = visibleMapRect();
    const double scale = zoomScale();
    if (scale <= 0)
        return visible.origin;
    return {visible.minX() + (point.x - bounds().minX()) / scale, visible.minY() + (point.y - bounds().minY()) / scale};
}

ui::Point MapView::convertCoordinate(geo::Coordinate coordinate) const
{
    return pointForMapPoint(mapPointForCoordinate(coordinate));
}

geo::Coordinate MapView::convertPoint(ui::Point point) const
{
    return coordinateForMapPoint(mapPointForPoint(point));
}

void MapView::addOverlay(std::shared_ptr<Overlay> overlay)
{
    if (!overlay || std::find(overlays_.begin(), overlays_.end(), overlay) != overlays_.end())
        return;
    overlays_.push_back(overlay);
    if (delegate_ != nullptr)
        renderers_[overlay.get()] = delegate_->mapViewRendererForOverlay(*this, overlay);
    setNeedsDisplay();
}

void MapView::removeOverlay(const std::shared_ptr<Overlay>& overlay)
{
    if (!overlay)
        return;
    std::erase(overlays_, overlay);
    renderers_.erase(overlay.get());
    setNeedsDisplay();
}

std::shared_ptr<OverlayRenderer> MapView::rendererForOverlay(const std::shared_ptr<Overlay>& overlay) const
{
    const auto found = renderers_.find(overlay.get());
    return found != renderers_.end() ? found->second : nullptr;
}

void MapView::setShowsUserLocation(bool shows)
{
    if (shows == showsUserLocation())
        return;
    if (shows) {
        locationManager_ = std::make_unique<geo::LocationManager>();
        locationManager_->setDelegate(this);
        locationManager_->startUpdatingLocation();
    } else {
        locationManager_.reset();
    }
    setNeedsDisplay();
}

std::optional<geo::Location> MapView::userLocation() const
{
    return locationManager_ ? locationManager_->location() : std::nullopt;
}

void MapView::locationManagerDidUpdateLocations(geo::LocationManager&, const std::vector<geo::Location>&)
{
    setNeedsDisplay();
}

bool MapView::isOffline() const
{
    return TileLoader::shared().isOffline();
}

void MapView::draw(ui::Context& context, ui::Rect)
{
    const MapRect visible = visibleMapRect();
    const double scale = zoomScale();
    if (scale <= 0)
        return;
    context.save();
    context.clipToRect(bounds());
    context.setFillColor(groundColor);
    context.fillRect(bounds());
    const bool offline = isOffline();
    if (offline)
        drawGraticule(context, visible);
    drawTiles(context, visible, scale);
    drawOverlays(context, visible, scale);
    drawUserLocation(context, scale);
    if (offline)
        drawCaption(context, fnd::L("Map offline"));
    else
        drawCaption(context, TileLoader::shared().settings().attribution);
    context.restore();
}

void MapView::drawTiles(ui::Context& context, const MapRect& visible, double scale)
{
    TileLoader& loader = TileLoader::shared();
    if (!loader.hasSource())
        return;
    const int zoom = std::clamp(static_cast<int>(std::lround(std::log2(scale * worldPoints / tilePoints))), 0,
                                TileLoader::maximumZoom);
    const int count = 1 << zoom;
    const double side = worldPoints / count;
    const int x0 = std::max(0, static_cast<int>(std::floor(visible.minX() / side)));
    const int x1 = std::min(count - 1, static_cast<int>(std::floor(visible.maxX() / side)));
    const int y0 = std::max(0, static_cast<int>(std::floor(visible.minY() / side)));
    const int y1 = std::min(count - 1, static_cast<int>(std::floor(visible.maxY() / side)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const auto image = loader.tile({mapType_, zoom, x, y});
            if (!image)
                continue;
            const ui::Point corner = pointForMapPoint({x * side, y * side});
            context.drawImage(*image, {corner, {side * scale, side * scale}});
        }
    }
}

void MapView::drawGraticule(ui::Context& context, const MapRect& visible)
{
    const geo::Coordinate topLeft = coordinateForMapPoint(visible.origin);
    const geo::Coordinate bottomRight = coordinateForMapPoint({visible.maxX(), visible.maxY()});
    const double step = graticuleStep(std::max(bottomRight.longitude - topLeft.longitude, 1e-9));
    context.setStrokeColor(gridColor);
    context.setLineWidth(1);
    const ui::Rect b = bounds();
    for (double lon = std::ceil(std::max(topLeft.longitude, -180.0) / step) * step;
         lon <= std::min(bottomRight.longitude, 180.0); lon += step) {
        const double x = pointForMapPoint(mapPointForCoordinate({0, lon})).x;
        context.strokeLine({x, b.minY()}, {x, b.maxY()});
    }
    const double top = std::min(topLeft.latitude, mercatorLatitudeLimit);
    const double bottom = std::max(bottomRight.latitude, -mercatorLatitudeLimit);
    for (double lat = std::ceil(bottom / step) * step; lat <= top; lat += step) {
        const double y = pointForMapPoint(mapPointForCoordinate({lat, 0})).y;
        context.strokeLine({b.minX(), y}, {b.maxX(), y});
    }
}

void MapView::drawOverlays(ui::Context& context, const MapRect& visible, double scale)
{
    for (const auto& overlay : overlays_) {
        auto found = renderers_.find(overlay.get());
        if (found == renderers_.end() && delegate_ != nullptr)
            found = renderers_.emplace(overlay.get(), delegate_->mapViewRendererForOverlay(*this, overlay)).first;
        if (found == renderers_.end() || !found->second)
            continue;
        const MapRect area = overlay->boundingMapRect();
        const MapRect drawn = area.isNull() ? visible : mapRectIntersection(area, visible);
        if (drawn.isNull())
            continue;
        const ui::Point origin = pointForMapPoint(area.isNull() ? MapPoint{} : area.origin);
        context.save();
        context.translate(origin.x, origin.y);
        context.scale(scale, scale);
        context.setAlpha(found->second->alpha());
        found->second->drawMapRect(drawn, scale, context);
        context.restore();
    }
}

void MapView::drawUserLocation(ui::Context& context, double scale)
{
    const auto location = userLocation();
    if (!location)
        return;
    const ui::Point at = convertCoordinate(location->coordinate);
    const double accuracy =
        location->horizontalAccuracy * mapPointsPerMeterAtLatitude(location->coordinate.latitude) * scale;
    if (accuracy > 8) {
        context.setFillColor(userDotColor.withAlpha(0.15));
        context.fillEllipse({{at.x - accuracy, at.y - accuracy}, {2 * accuracy, 2 * accuracy}});
    }
    context.setFillColor(ui::Color::white());
    context.fillEllipse({{at.x - 9, at.y - 9}, {18, 18}});
    context.setFillColor(userDotColor);
    context.fillEllipse({{at.x - 7, at.y - 7}, {14, 14}});
}

void MapView::drawCaption(ui::Context& context, const std::string& text)
{
    if (text.empty())
        return;
    const ui::Font font = ui::Font::systemFont(10);
    const ui::TextLayout layout = ui::layoutText(text, font, {bounds().size.width - 8, 1, ui::LineBreakMode::TruncateTail});
    const ui::Rect box{{bounds().maxX() - layout.size.width - 6, bounds().maxY() - layout.size.height - 4},
                       {layout.size.width + 6, layout.size.height + 4}};
    context.setFillColor(ui::Color::white(1, 0.7));
    context.fillRect(box);
    context.drawTextLayout(layout, {box.minX() + 3, box.minY() + 2}, font, ui::Color::white(0.2));
}

void MapView::zoom(double factor, ui::Point anchor)
{
    const MapRect visible = visibleMapRect();
    const double scale = zoomScale();
    if (scale <= 0 || factor <= 0)
        return;
    const MapPoint fixed = mapPointForPoint(anchor);
    const double newScale = std::clamp(scale * factor, bounds().size.width / (2 * worldPoints), largestZoomScale);
    const double width = visible.size.width * scale / newScale;
    const double height = visible.size.height * scale / newScale;
    shown_ = {{fixed.x - (anchor.x - bounds().minX()) / newScale, fixed.y - (anchor.y - bounds().minY()) / newScale},
              {width, height}};
    setNeedsDisplay();
}

void MapView::pan(ui::Point delta)
{
    const double scale = zoomScale();
    if (scale <= 0)
        return;
    const MapRect visible = visibleMapRect();
    shown_ = {{visible.minX() - delta.x / scale, visible.minY() - delta.y / scale}, visible.size};
    setNeedsDisplay();
}

void MapView::touchesBegan(const std::vector<ui::Touch>& touches)
{
    for (const auto& touch : touches)
        fingers_[touch.id] = touch.locationInView(this);
}

void MapView::touchesMoved(const std::vector<ui::Touch>& touches)
{
    if (fingers_.empty())
        return;
    std::map<std::uint64_t, ui::Point> moved = fingers_;
    for (const auto& touch : touches)
        if (moved.contains(touch.id))
            moved[touch.id] = touch.locationInView(this);
    if (fingers_.size() == 1) {
        const ui::Point before = fingers_.begin()->second;
        const ui::Point after = moved.begin()->second;
        pan({after.x - before.x, after.y - before.y});
    } else {
        const auto first = fingers_.begin();
        const auto second = std::next(first);
        const ui::Point a0 = first->second, b0 = second->second;
        const ui::Point a1 = moved[first->first], b1 = moved[second->first];
        const ui::Point mid0 = middle(a0, b0), mid1 = middle(a1, b1);
        if (distance(a0, b0) > 1)
            zoom(distance(a1, b1) / distance(a0, b0), mid0);
        pan({mid1.x - mid0.x, mid1.y - mid0.y});
    }
    fingers_ = std::move(moved);
}

void MapView::touchesEnded(const std::vector<ui::Touch>& touches)
{
    for (const auto& touch : touches)
        fingers_.erase(touch.id);
}

void MapView::touchesCancelled(const std::vector<ui::Touch>& touches)
{
    touchesEnded(touches);
}

bool MapView::scrollWheel(double, double dy)
{
    // One notch (40 points) zooms by about a fifth; turning towards the user zooms out.
    zoom(std::pow(2.0, -dy / 120.0), {bounds().midX(), bounds().midY()});
    return true;
}

}  // namespace map
