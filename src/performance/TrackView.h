#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "dashboard/GaugeGlide.h"
#include "dashboard/TickTimer.h"
#include "platform/geo/Location.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// A race track or a recorded lap drawn from its positions, each axis stretched
// to the view (higher latitudes to the left, higher longitudes to the top),
// with a start/finish tick across the direction of travel.
//
// Live mode (race screen page, dash-camera overlay): the outline, a dot at the
// current position and a speed read-out. Speed-colour mode (lap map): one lap
// coloured by speed, with a "Lap n" caption. Preview mode (saving a track):
// thicker lines, kept as a PNG image.
class TrackView : public ui::View {
public:
    static constexpr double tickInterval = 0.1;

    TrackView(ui::Rect frame, int theme);

    // A different list starts a new bounding box; the same list again keeps it.
    void setCoordinatesArr(const std::vector<geo::Location>& coordinates);
    const std::vector<geo::Location>& coordinatesArr() const { return coordinatesArr_; }
    void setTrackBounds();
    void setCurrentLocation(const geo::Location& location);
    const std::optional<geo::Location>& currentLocation() const { return currentLocation_; }

    void updateSpeed(float speed);
    void updateLabel();
    void stopTimer();
    bool isTimerRunning() const { return timer_.isRunning(); }
    void resetData();
    // The speed unit of the read-out and of the speed colours (km/h until told).
    void setUnits(bool metric);
    void updateLabels();
    void hideSpeedLabel();
    void hideContent();
    ui::Image takeScreenShot();

    void setPreviewMode();
    // PNG of the outline, made at the first draw in preview mode.
    const std::vector<std::uint8_t>& trackImageData() const { return trackImageData_; }
    // Draws the preview now (for an owner that needs the image before the view is shown).
    void renderPreview();

    void setDataEnabled(bool enabled);
    bool dataEnabled() const { return dataEnabled_; }
    void setDataArr(const std::vector<float>& speeds) { dataArr_ = speeds; }
    void setLapNumber(int lap) { lapNumber_ = lap; }
    int lapNumber() const { return lapNumber_; }
    void populateHueArr();
    void resetHueArray() { hues_.clear(); }
    const std::vector<float>& hues() const { return hues_; }

    ui::Label& speedLabel() { return *speedLabel_; }
    ui::Label& unitLabel() { return *unitLabel_; }
    bool isDotHidden() const { return dot_->isHidden(); }
    ui::Point dotPosition() const { return dot_->center(); }
    // Where a coordinate lands in a drawing area of this size.
    ui::Point map(const geo::Coordinate& coordinate, ui::Size area) const;
    // The two ends of the start/finish tick, with no tick below two points.
    std::optional<std::pair<ui::Point, ui::Point>> startTick(ui::Size area) const;

    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    void placeDot();
    void drawContent(ui::Context& context, ui::Size area);

    double minX_ = 100000.0, minY_ = 100000.0, maxX_ = -100000.0, maxY_ = -100000.0;
    std::shared_ptr<ui::Label> speedLabel_, unitLabel_;
    GaugeGlide readout_;
    TickTimer timer_;
    bool metric_ = true;
    float min_ = 0, max_ = 255;
    bool previewMode_ = false;
    bool dataEnabled_ = false;
    int theme_ = 0;
    std::shared_ptr<ui::View> dot_;
    bool shouldHideContent_ = false;
    std::vector<float> hues_;
    int lapNumber_ = 0;
    std::vector<geo::Location> coordinatesArr_;
    std::optional<geo::Location> currentLocation_;
    std::vector<float> dataArr_;
    std::vector<std::uint8_t> trackImageData_;
};
