#include "dashcam/CamSettViewController.h"

#include <sys/utsname.h>

#include <algorithm>
#include <set>
#include <utility>

#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TableViewCell.h"
#include "shell/DetailViewCon.h"
#include "shell/QueuedAlertController.h"

namespace {

constexpr int frameRateRow = 1;
constexpr int trackRow = 3;  // in race mode
constexpr int firstGaugeEntry = 16;  // Settings.sensors entry of gauge 1
constexpr int maxGauges = 5;

void save() { Manager::sharedManager().saveChanges(); }

}  // namespace

CamSettViewController::CamSettViewController(ScreenFactory makeTrackSelection)
    : FormViewCon(fnd::L("Dashcam settings")), makeTrackSelection_(std::move(makeTrackSelection))
{
}

const std::vector<std::string>& CamSettViewController::resolutionNames()
{
    static const std::vector<std::string> names{"SD 352x288", "HQ 640x480", "HD 1280x720", "FHD 1920x1080",
                                                "UHD 3840x2160"};
    return names;
}

std::vector<std::string> CamSettViewController::resolutionsFor(const std::string& machine)
{
    static const std::set<std::string> twoModes{"iPod2,1", "iPod3,1", "iPhone1,2", "iPhone2,1"};
    static const std::set<std::string> threeModes{"iPod4,1", "iPhone3,1"};
    static const std::set<std::string> fourModes{"iPhone3,3", "iPhone4,1", "iPhone5,1", "iPhone5,2", "iPhone5,3",
                                                 "iPhone5,4", "iPhone6,1", "iPhone6,2", "iPhone7,1", "iPhone7,2"};
    if (twoModes.contains(machine))
        return {"SD 352x288", "HQ 640x480"};
    if (threeModes.contains(machine))
        return {"SD 352x288", "HQ 640x480", "HD 720"};
    if (fourModes.contains(machine))
        return {"SD 352x288", "HQ 640x480", "HD 720p", "FHD 1080p"};
    return {"SD 352x288", "HQ 640x480", "HD 720p", "FHD 1080p", "UHD 2160p"};
}

std::string CamSettViewController::machineName()
{
    utsname name{};
    if (uname(&name) != 0)
        return {};
    return name.machine;
}

std::string CamSettViewController::gaugeCountText(int count)
{
    if (count == 1)
        return "1 Gauge";
    if (count >= 2 && count <= maxGauges)
        return fnd::format("%d Gauges", count);
    return {};
}

void CamSettViewController::viewDidLoad()
{
    framerate_ = std::clamp(Manager::sharedManager().setting().frameRate, minFrameRate, maxFrameRate);
    FormViewCon::viewDidLoad();
}

void CamSettViewController::viewDidAppear(bool animated)
{
    FormViewCon::viewDidAppear(animated);
    QueuedAlertController::showMessage("Attention", "Dashcam msg");
}

void CamSettViewController::push(std::shared_ptr<ui::ViewController> screen)
{
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::move(screen), true);
}

std::string CamSettViewController::sensorName(int sensorIndex) const
{
    if (sensorIndex >= firstCustomSensorIndex) {
        const auto& pids = Manager::sharedManager().userData().pids;
        const auto n = static_cast<std::size_t>(sensorIndex - firstCustomSensorIndex);
        return n < pids.size() ? pids[n].lName : std::string();
    }
    // The sensor table's label, not the short name the user gave the sensor for the gauges.
    const auto& labels = DataStore::sharedDataStore().sensorLabelArr;
    if (sensorIndex < 0 || static_cast<std::size_t>(sensorIndex) >= labels.size())
        return {};
    return labels[static_cast<std::size_t>(sensorIndex)];
}

std::vector<FormSection> CamSettViewController::formSections()
{
    Settings& settings = Manager::sharedManager().setting();
    const RaceData& race = Manager::sharedManager().raceData();
    FormSection camera;
    const auto& names = resolutionNames();
    const std::string resolution = settings.recordMode >= 0 && settings.recordMode < static_cast<int>(names.size())
                                       ? names[static_cast<std::size_t>(settings.recordMode)]
                                       : std::string();
    camera.rows.push_back(FormRow::disclosure(fnd::L("Resolution"), resolution, [this, &settings] {
        push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, settings.recordMode,
                                             resolutionsFor(machineName()), DetailViewCon::SelectResolution,
                                             fnd::L("Resolution")));
    }));
    camera.rows.push_back(FormRow::disclosure("Framerate", "", nullptr));
    camera.rows.push_back(FormRow::toggle(fnd::L("Race mode"), settings.isRaceMode, [&settings](bool on) {
        settings.isRaceMode = on;
        save();
    }));
    if (settings.isRaceMode) {
        const int track = race.selectedTrackIndex;
        const std::string trackName = track >= 0 && static_cast<std::size_t>(track) < race.trackArr.size()
                                          ? race.trackArr[static_cast<std::size_t>(track)].trackName
                                          : std::string("No track selected");
        camera.rows.push_back(FormRow::disclosure("Select race track", trackName,
                                                  [this] { push(makeTrackSelection_()); }));
    }
    const int count = settings.camGaugeCount;
    camera.rows.push_back(FormRow::disclosure(fnd::L("Gauge count"), gaugeCountText(count), [this, &settings] {
        std::vector<std::string> rows;
        for (int n = 1; n <= maxGauges; ++n)
            rows.push_back(gaugeCountText(n));
        push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, settings.camGaugeCount - 1, rows,
                                             DetailViewCon::SelectCamGaugeCount, fnd::L("Gauge count")));
    }));
    for (int k = 1; k <= std::clamp(count, 0, maxGauges); ++k) {
        const int entry = firstGaugeEntry - 1 + k;
        const int sensor = settings.sensors.at(static_cast<std::size_t>(entry));
        camera.rows.push_back(
            FormRow::disclosure(fnd::format("Gauge %ld", static_cast<long>(k)), sensorName(sensor),
                                [this, entry] { loadSensrView(entry); }));
    }

    FormSection overlay;
    const auto toggle = [&overlay](const std::string& title, bool& setting) {
        overlay.rows.push_back(FormRow::toggle(title, setting, [&setting](bool on) {
            setting = on;
            save();
        }));
    };
    toggle("GPS", settings.gpsEnabled);
    toggle(fnd::L("Time"), settings.displayTimeEnabled);
    toggle(fnd::L("G-sensor"), settings.gMeterEnabled);
    toggle(fnd::L("Map"), settings.mapEnabled);
    toggle(fnd::L("Compass"), settings.compassEnabled);
    return {camera, overlay};
}

std::shared_ptr<ui::TableViewCell> CamSettViewController::cellForRowAtIndexPath(ui::TableView& table,
                                                                                ui::IndexPath indexPath)
{
    auto cell = FormViewCon::cellForRowAtIndexPath(table, indexPath);
    if (indexPath.section != 0)
        return cell;
    // The chosen track is a plain value, in the theme's colour, where the other values take the accent.
    if (indexPath.row == trackRow && Manager::sharedManager().setting().isRaceMode)
        cell->detailTextLabel()->setTextColor(look().detail);
    if (indexPath.row != frameRateRow)
        return cell;
    cell->setAccessoryType(ui::TableViewCellAccessoryType::None);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    slider_ = std::make_shared<ui::Slider>(ui::makeRect(table.bounds().width() - 200, 15, 170, 15));
    slider_->setMinimumValue(minFrameRate);
    slider_->setMaximumValue(maxFrameRate);
    slider_->setContinuous(true);
    slider_->setMinimumTrackTintColor(TableLook::accent());
    slider_->setValue(static_cast<float>(framerate_));
    slider_->addTarget(ui::ControlEvent::ValueChanged,
                       [this](ui::Control& sender) { sliderAction(static_cast<ui::Slider&>(sender).value()); });
    // The number follows the title, which a stand-in font can draw wider than the design's.
    const ui::Label& title = *cell->textLabel();
    const double titleEnd = ui::TableViewCell::margin + ui::measureText(title.text(), title.font()).width;
    frameLabel_ = std::make_shared<ui::Label>(ui::makeRect(std::max(95.0, titleEnd + 8), 14, 50, 18));
    frameLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 16));
    frameLabel_->setTextColor(TableLook::accent());
    frameLabel_->setText(fnd::format("%d", framerate_));
    cell->contentView()->addSubview(slider_);
    cell->contentView()->addSubview(frameLabel_);
    return cell;
}

void CamSettViewController::sliderAction(float value)
{
    framerate_ = std::clamp(static_cast<int>(value), minFrameRate, maxFrameRate);
    Manager::sharedManager().setting().frameRate = framerate_;
    if (frameLabel_)
        frameLabel_->setText(fnd::format("%d", framerate_));
    save();
}

void CamSettViewController::loadSensrView(int entry)
{
    selectedIndex_ = entry;
    const int current = Manager::sharedManager().setting().sensors.at(static_cast<std::size_t>(entry));
    auto picker = std::make_shared<SensorSelectViewController>(ui::TableViewStyle::Grouped, current,
                                                               SensorSelectViewController::singleChoice, false, false);
    picker->setDelegate(std::weak_ptr<SensorSelectViewControllerDelegate>(
        std::static_pointer_cast<CamSettViewController>(shared_from_this())));
    push(picker);
}

void CamSettViewController::viewWillDismiss(SensorSelectViewController& picker)
{
    const auto picked = picker.checkedSensorIndex();
    if (!picked)
        return;
    Settings& settings = Manager::sharedManager().setting();
    std::vector<int> sensors = settings.sensors;
    sensors.at(static_cast<std::size_t>(selectedIndex_)) = *picked;
    settings.sensors = sensors;
    save();
    reloadForm();
}
