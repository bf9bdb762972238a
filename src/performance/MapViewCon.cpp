#include "performance/MapViewCon.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "core/obd/SensorTable.h"
#include "performance/AddTrackViewCon.h"
#include "performance/GradientPolylineRenderer.h"
#include "performance/NavigationBarBottom.h"
#include "performance/StyledBarButton.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "shell/QueuedAlertController.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TableViewCell.h"

namespace {

bool metricSpeed() { return Manager::sharedManager().userData().isMetric(vehicleSpeedSensor); }

const ui::Color accent = ui::Color::rgb255(205, 40, 70);

}  // namespace

MapViewCon::MapViewCon(std::vector<Lap> laps) : lapArr_(std::move(laps))
{
    auto title = std::make_shared<ui::Label>();
    title->setText(fnd::L("Map"));
    title->setFont(ui::Font::named("HelveticaNeue-Light", 17));
    title->setTextColor(ui::Color::lightGray());
    title->sizeToFit();
    navigationItem().setTitleView(title);
    navigationItem().setLeftBarButtonItem(
        styledBarButton(ui::SystemItem::Done, "Digital-Serial DB", ui::Color::white(), [this] { dismissViewCon(); }));
    auto action =
        std::make_shared<ui::BarButtonItem>(ui::SystemItem::Action, [this](ui::BarButtonItem&) { displayOptions(); });
    action->setTintColor(ui::Color::white());
    navigationItem().setRightBarButtonItem(action);
}

MapViewCon::~MapViewCon()
{
    if (mapView_)
        mapView_->setDelegate(nullptr);
    if (tb_) {
        tb_->setDataSource(nullptr);
        tb_->setDelegate(nullptr);
    }
}

void MapViewCon::viewDidLoad()
{
    view()->setBackgroundColor(accent);
    const double w = view()->bounds().size.width;
    mapView_ = std::make_shared<map::MapView>();
    mapView_->setFrame({0, 65, w, w - 65});
    mapView_->setDelegate(this);
    mapView_->setShowsUserLocation(true);
    view()->addSubview(mapView_);
    tView_ = std::make_shared<TrackView>(ui::Rect{0, 65, w, w - 65}, 0);
    if (!lapArr_.empty()) {
        tView_->setCoordinatesArr(lapArr_.front().coordinatesArr);
        tView_->setDataArr(lapArr_.front().speedArr);
    }
    tView_->setLapNumber(1);
    tView_->setUnits(metricSpeed());
    view()->addSubview(tView_);
    tView_->setDataEnabled(true);
    tb_ = std::make_shared<ui::TableView>(ui::Rect{0, w + 1, w, view()->bounds().size.height - (w - 65)},
                                          ui::TableViewStyle::Grouped);
    tb_->setDataSource(this);
    tb_->setDelegate(this);
    tb_->setContentInset({-35, 0, 0, 0});
    tb_->setBackgroundColor(ui::Color::black());
    tb_->setSeparatorColor(accent);
    view()->addSubview(tb_);
    // "Sattelite" is the segment's text as the screen has always shown it.
    segments_ = std::make_shared<ui::SegmentedControl>(std::vector<std::string>{"Standard", "Sattelite", "Track"});
    segments_->addTarget(ui::ControlEvent::ValueChanged,
                         [this](ui::Control&) { setMapType(segments_->selectedSegmentIndex()); });
    segments_->sizeToFit();
    segments_->setTintColor(ui::Color::white());
    // The chosen segment's title is drawn in white, so its fill must not be the white tint.
    segments_->setSelectedSegmentTintColor(accent);
    segments_->setSelectedSegmentIndex(2);
    navigationItem().setTitleView(segments_);
}

// The navigation bar has its final height only once the window is laid out, and it changes with the size.
void MapViewCon::viewDidLayoutSubviews()
{
    changeTheViewToPortrait(!ui::isLandscape(ui::Device::current().interfaceOrientation()), 0);
}

void MapViewCon::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    if (!lapArr_.empty() && !lapArr_.front().coordinatesArr.empty()) {
        drawLineForlap(lapArr_.front());
        const auto region = map::coordinateRegionMakeWithDistance(
            lapArr_.front().coordinatesArr.front().coordinate, 500, 500);
        mapView_->setRegion(mapView_->regionThatFits(region), true);
    } else if (const auto user = mapView_->userLocation()) {
        mapView_->setRegion({user->coordinate, {0.2, 0.2}}, true);
    }
}

void MapViewCon::drawLineForlap(const Lap& lap)
{
    if (polyline_)
        mapView_->removeOverlay(polyline_);
    polyline_.reset();
    // A lap without two positions (no GPS) has no route to draw.
    if (lap.coordinatesArr.size() < 2)
        return;
    std::vector<geo::Coordinate> coordinates;
    coordinates.reserve(lap.coordinatesArr.size());
    for (const geo::Location& l : lap.coordinatesArr)
        coordinates.push_back(l.coordinate);
    polyline_ = std::make_shared<GradientPolylineOverlay>(coordinates, lap.speedArr);
    mapView_->addOverlay(polyline_);
}

std::shared_ptr<map::OverlayRenderer> MapViewCon::mapViewRendererForOverlay(map::MapView&,
                                                                            const std::shared_ptr<map::Overlay>& overlay)
{
    auto route = std::dynamic_pointer_cast<GradientPolylineOverlay>(overlay);
    if (!route)
        return nullptr;
    auto renderer = std::make_shared<GradientPolylineRenderer>(route, metricSpeed());
    renderer->setLineWidth(8.0);
    return renderer;
}

void MapViewCon::setMapType(int segment)
{
    if (segment < 0 || segment > 2)
        return;
    if (segment == 2) {
        mapView_->setHidden(true);
        tView_->setHidden(false);
        return;
    }
    mapView_->setMapType(segment == 0 ? map::MapType::Standard : map::MapType::Satellite);
    mapView_->setHidden(false);
    tView_->setHidden(true);
}

void MapViewCon::showLap(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= lapArr_.size())
        return;
    const Lap& lap = lapArr_[static_cast<std::size_t>(row)];
    drawLineForlap(lap);
    tView_->setCoordinatesArr(lap.coordinatesArr);
    tView_->setDataArr(lap.speedArr);
    tView_->setLapNumber(row + 1);
    tView_->resetHueArray();
    tView_->setDataEnabled(true);
}

std::shared_ptr<ui::TableViewCell> MapViewCon::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Value1, "Cell");
    cell->textLabel()->setText(fnd::format("%s %d", fnd::L("Lap"), indexPath.row + 1));
    cell->textLabel()->setFont(ui::Font::named("Digital-Serial DB", 18));
    cell->textLabel()->setTextColor(ui::Color::white());
    cell->detailTextLabel()->setText(lapArr_[static_cast<std::size_t>(indexPath.row)].lapTimeString());
    cell->detailTextLabel()->setFont(ui::Font::named("Digital-Serial", 20));
    cell->detailTextLabel()->setTextColor(ui::Color::lightGray());
    const double w = table.bounds().size.width;
    auto selected = std::make_shared<ui::View>(ui::Rect{0, 0, w, 44});
    selected->setBackgroundColor(ui::Color::white(0.1));
    selected->setClipsToBounds(true);
    auto strip = std::make_shared<ui::View>(ui::Rect{w - 3, 0, 3, 44});
    strip->setBackgroundColor(accent);
    selected->addSubview(strip);
    cell->setSelectedBackgroundView(selected);
    return cell;
}

void MapViewCon::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(ui::Color::black());
}

void MapViewCon::didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) { showLap(indexPath.row); }

void MapViewCon::displayOptions()
{
    auto sheet = QueuedAlertController::alertControllerWithTitle(fnd::L("Race track"), "Choose an option",
                                             ui::AlertControllerStyle::ActionSheet);
    sheet->view()->setTintColor(accent);
    sheet->setContentBackground(ui::Color::black(), 15);
    const std::weak_ptr<ui::ViewController> self = weak_from_this();
    sheet->addAction(fnd::L("Save track"), ui::AlertActionStyle::Default, [self, this] {
        if (self.lock())
            loadSaveTrackView();
    });
    sheet->addAction(fnd::L("Cancel"), ui::AlertActionStyle::Default);
    sheet->show();
}

void MapViewCon::loadSaveTrackView()
{
    if (lapArr_.empty())
        return;
    auto form = std::make_shared<AddTrackViewCon>(lapArr_.front());
    presentViewController(std::make_shared<ui::NavigationController>(form), true);
}

void MapViewCon::dismissViewCon() { dismissViewController(true); }

void MapViewCon::changeTheViewToPortrait(bool portrait, double duration)
{
    if (!mapView_)
        return;
    const ui::Size screen = ui::Device::current().screenSize();
    const double s = std::min(screen.width, screen.height);
    const double l = std::max(screen.width, screen.height);
    // On its side the map takes the whole height and the results' tab bar goes until the window stands up
    // again; Done leaves the results meanwhile.
    if (ui::TabBarController* tabs = tabBarController())
        tabs->tabBar().setHidden(!portrait);
    ui::animate(duration, [&] {
        if (portrait) {
            const double top = navigationBarBottom(*this);
            mapView_->setFrame({0, top, s, s - 65});
            tView_->setFrame({0, top, s, s - 65});
            tb_->setFrame({0, top + s - 64, s, l - s - (top - 65)});
            tb_->setHidden(false);
        } else {
            const double top = navigationBarBottom(*this, 25);
            mapView_->setFrame({0, top, l, s - top});
            tView_->setFrame({0, top, l, s - top});
            tb_->setHidden(true);
        }
    });
    tView_->setNeedsDisplay();
}
