#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/geo/LocationManager.h"
#include "platform/map/MapGeometry.h"
#include "platform/map/Overlay.h"
#include "platform/map/OverlayRenderer.h"
#include "platform/map/TileLoader.h"
#include "platform/ui/View.h"

namespace map {

class MapView;

class MapViewDelegate {
public:
    virtual ~MapViewDelegate() = default;
    // The renderer that draws an overlay, asked once per overlay; nullptr draws nothing.
    virtual std::shared_ptr<OverlayRenderer> mapViewRendererForOverlay(MapView&, const std::shared_ptr<Overlay>&)
    {
        return nullptr;
    }
};

// A map: raster tiles of the configured tile server (see TileLoader) under
// the overlays and the user's position. Offline, or with no tile server, it
// draws a plain graticule and says so; the overlays are drawn the same way
// either way. One finger drags it, two pinch it, the wheel zooms it about its centre.
class MapView : public ui::View, private geo::LocationManagerDelegate {
public:
    MapView();
    ~MapView() override;

    void setDelegate(MapViewDelegate* delegate) { delegate_ = delegate; }  // a raw pointer the owner clears
    MapViewDelegate* delegate() const { return delegate_; }

    MapType mapType() const { return mapType_; }
    void setMapType(MapType type);

    // What the view shows: always a rect of the view's aspect, around the one asked for.
    MapRect visibleMapRect() const;
    // The map moves at once; there is no animation.
    void setVisibleMapRect(const MapRect& rect, bool animated = false);
    MapRect mapRectThatFits(const MapRect& rect) const;
    CoordinateRegion region() const;
    void setRegion(const CoordinateRegion& region, bool animated = false);
    CoordinateRegion regionThatFits(const CoordinateRegion& region) const;
    geo::Coordinate centerCoordinate() const;
    void setCenterCoordinate(geo::Coordinate center, bool animated = false);
    // View points per map point.
    double zoomScale() const;

    ui::Point pointForMapPoint(MapPoint point) const;  // in the view's bounds
    MapPoint mapPointForPoint(ui::Point point) const;
    ui::Point convertCoordinate(geo::Coordinate coordinate) const;
    geo::Coordinate convertPoint(ui::Point point) const;

    void addOverlay(std::shared_ptr<Overlay> overlay);
    void removeOverlay(const std::shared_ptr<Overlay>& overlay);
    const std::vector<std::shared_ptr<Overlay>>& overlays() const { return overlays_; }
    // The renderer drawing the overlay, once the delegate has given one.
    std::shared_ptr<OverlayRenderer> rendererForOverlay(const std::shared_ptr<Overlay>& overlay) const;

    bool showsUserLocation() const { return locationManager_ != nullptr; }
    void setShowsUserLocation(bool shows);
    std::optional<geo::Location> userLocation() const;

    // Offline: the graticule, not tiles, is the ground.
    bool isOffline() const;

    void draw(ui::Context& context, ui::Rect dirty) override;
    void touchesBegan(const std::vector<ui::Touch>& touches) override;
    void touchesMoved(const std::vector<ui::Touch>& touches) override;
    void touchesEnded(const std::vector<ui::Touch>& touches) override;
    void touchesCancelled(const std::vector<ui::Touch>& touches) override;
    bool scrollWheel(double dx, double dy) override;

    // The deepest zoom: four view points to a map point.
    static constexpr double largestZoomScale = 4;

private:
    void locationManagerDidUpdateLocations(geo::LocationManager&, const std::vector<geo::Location>&) override;
    void drawTiles(ui::Context& context, const MapRect& visible, double scale);
    void drawGraticule(ui::Context& context, const MapRect& visible);
    void drawOverlays(ui::Context& context, const MapRect& visible, double scale);
    void drawUserLocation(ui::Context& context, double scale);
    void drawCaption(ui::Context& context, const std::string& text);
    // Zooms by `factor` (above 1 closer) keeping the map point under `anchor` in place.
    void zoom(double factor, ui::Point anchor);
    void pan(ui::Point delta);
    void takeTouches(const std::vector<ui::Touch>& touches, bool ending);

    MapViewDelegate* delegate_ = nullptr;
    MapType mapType_ = MapType::Standard;
    MapRect shown_ = mapRectWorld;  // the rect asked for, before fitting to the view
    std::vector<std::shared_ptr<Overlay>> overlays_;
    std::map<const Overlay*, std::shared_ptr<OverlayRenderer>> renderers_;
    std::unique_ptr<geo::LocationManager> locationManager_;
    std::map<std::uint64_t, ui::Point> fingers_;  // in the view's bounds
    TileLoader::ObserverId tileObserver_ = 0;
};

}  // namespace map
