#pragma once

#include <memory>
#include <vector>

#include "core/model/Lap.h"
#include "performance/GradientPolylineOverlay.h"
#include "platform/map/MapView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class TrackView;

// "Map": the laps of a run, one at a time, as a speed-coloured route on the
// map or on a plain track view (switched in the navigation bar), above the
// list of laps. "Save track" keeps the first lap as a named track.
class MapViewCon : public ui::ViewController,
                   public map::MapViewDelegate,
                   public ui::TableViewDataSource,
                   public ui::TableViewDelegate {
public:
    explicit MapViewCon(std::vector<Lap> laps);
    ~MapViewCon() override;

    void drawLineForlap(const Lap& lap);
    void showLap(int row);
    void setMapType(int segment);
    void displayOptions();
    void loadSaveTrackView();
    void dismissViewCon();
    void changeTheViewToPortrait(bool portrait, double duration);

    map::MapView* mapView() const { return mapView_.get(); }
    TrackView* tView() const { return tView_.get(); }
    ui::TableView* table() const { return tb_.get(); }
    ui::SegmentedControl* segments() const { return segments_.get(); }
    const std::shared_ptr<GradientPolylineOverlay>& polyline() const { return polyline_; }

    std::shared_ptr<map::OverlayRenderer> mapViewRendererForOverlay(map::MapView&,
                                                                    const std::shared_ptr<map::Overlay>&) override;
    int numberOfRowsInSection(ui::TableView&, int) override { return static_cast<int>(lapArr_.size()); }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;
    void willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath) override;
    void didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) override;

    void viewDidAppear(bool animated) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    std::vector<Lap> lapArr_;
    std::shared_ptr<map::MapView> mapView_;
    std::shared_ptr<TrackView> tView_;
    std::shared_ptr<ui::TableView> tb_;
    std::shared_ptr<ui::SegmentedControl> segments_;
    std::shared_ptr<GradientPolylineOverlay> polyline_;
};
