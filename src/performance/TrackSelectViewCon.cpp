#include "performance/TrackSelectViewCon.h"

#include <algorithm>
#include <optional>

#include "core/model/Manager.h"
#include "performance/StyledBarButton.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

namespace {

RaceData& raceData() { return Manager::sharedManager().raceData(); }

std::shared_ptr<ui::Label> makeLabel(ui::Rect frame, const std::string& text, const char* font, double size)
{
    auto label = std::make_shared<ui::Label>(frame);
    label->setText(text);
    label->setFont(ui::Font::named(font, size));
    label->setTextColor(ui::Color::lightGray());
    label->setBackgroundColor(ui::Color::clear());
    return label;
}

// The preview at a size that keeps its proportions and leaves the name and length at x 110 clear: the
// picture is as large as the form's track view was.
std::optional<ui::Image> thumbnail(const Track& track)
{
    constexpr ui::Size box{90, 56};
    const std::string png(track.trackImgData.begin(), track.trackImgData.end());
    const auto image = ui::Image::fromData(png);
    if (!image || image->pixelWidth() <= 0 || image->pixelHeight() <= 0)
        return image;
    const double scale = std::max({1.0, image->pixelWidth() / box.width, image->pixelHeight() / box.height});
    return image->withScale(scale);
}

}  // namespace

TrackSelectViewCon::TrackSelectViewCon() : ui::TableViewController(ui::TableViewStyle::Grouped) {}

void TrackSelectViewCon::viewDidLoad()
{
    auto title = makeLabel({}, fnd::L("Track selection"), "Digital-Serial DB", 17);
    title->setTextColor(ui::Color::white(0.8));
    title->sizeToFit();
    navigationItem().setTitleView(title);
    const ui::Size size = view()->bounds().size;
    noTracksLabel_ = makeLabel({0, size.height / 2 - 80, size.width, 30}, fnd::L("No tracks"), "Digital-Serial DB", 30);
    noTracksLabel_->setTextAlignment(ui::TextAlignment::Center);
    noTracksLabel_->setHidden(true);
    view()->addSubview(noTracksLabel_);
    tableView().setBackgroundColor(ui::Color::white(15.0 / 255));
    tableView().setSeparatorColor(ui::Color::white(0.3));
    const int selected = raceData().selectedTrackIndex;
    index_ = selected >= 0 && static_cast<std::size_t>(selected) < raceData().trackArr.size() ? selected + 1 : 0;
    navigationItem().setRightBarButtonItem(
        styledBarButton(ui::SystemItem::Done, "Digital-Serial DB", ui::Color::white(0.8), [this] { removeView(); }));
}

void TrackSelectViewCon::viewDidAppear(bool animated)
{
    ui::TableViewController::viewDidAppear(animated);
    noTracksLabel_->setHidden(!raceData().trackArr.empty());
}

void TrackSelectViewCon::viewWillDisappear(bool animated)
{
    ui::TableViewController::viewWillDisappear(animated);
    raceData().selectedTrackIndex = index_ - 1;
    Manager::sharedManager().saveChanges();
}

// The race screen presents the list; the camera settings push it.
void TrackSelectViewCon::removeView()
{
    if (presentingViewController() || !navigationController())
        dismissViewController(true);
    else
        navigationController()->popViewController(true);
}

int TrackSelectViewCon::numberOfRowsInSection(ui::TableView&, int)
{
    const auto& tracks = raceData().trackArr;
    return tracks.empty() ? 0 : static_cast<int>(tracks.size()) + 1;
}

double TrackSelectViewCon::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    return indexPath.row == 0 ? 44 : 60;
}

std::shared_ptr<ui::TableViewCell> TrackSelectViewCon::cellForRowAtIndexPath(ui::TableView& table,
                                                                             ui::IndexPath indexPath)
{
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, "Cell");
    const double width = table.bounds().size.width;
    if (indexPath.row == 0) {
        auto label = makeLabel({0, 0, width, 44}, fnd::L("New track"), "Digital-Serial", 17);
        label->setTextAlignment(ui::TextAlignment::Center);
        cell->contentView()->addSubview(label);
    } else {
        const Track& track = raceData().trackArr[static_cast<std::size_t>(indexPath.row - 1)];
        if (auto image = thumbnail(track))
            cell->imageView()->setImage(*image);
        cell->contentView()->addSubview(makeLabel({110, 8, width / 3, 20}, track.trackName, "Digital-Serial", 20));
        const auto& units = Manager::sharedManager().userData().unitsArr;
        const bool metric = !(units.size() > 9 && units[9] == 0);
        cell->contentView()->addSubview(
            makeLabel({110, 35, width * 0.45, 15},
                      fnd::format("%s: %.1f %s", fnd::L("Distance"), track.trackDistance, metric ? "km" : "miles"),
                      "Digital-Serial DB", 15));
    }
    cell->setAccessoryType(indexPath.row == index_ ? ui::TableViewCellAccessoryType::Checkmark
                                                   : ui::TableViewCellAccessoryType::None);
    return cell;
}

void TrackSelectViewCon::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(ui::Color::black());
}

void TrackSelectViewCon::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    if (auto old = table.cellForRowAtIndexPath({0, index_}))
        old->setAccessoryType(ui::TableViewCellAccessoryType::None);
    if (auto cell = table.cellForRowAtIndexPath(indexPath))
        cell->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
    index_ = indexPath.row;
    const std::weak_ptr<ui::ViewController> self = weak_from_this();
    fnd::after(0.2, [self, this, indexPath] {
        if (self.lock())
            tableView().deselectRowAtIndexPath(indexPath, true);
    });
}

bool TrackSelectViewCon::canEditRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) { return indexPath.row >= 1; }

void TrackSelectViewCon::commitEditingStyle(ui::TableView& table, ui::TableViewCellEditingStyle,
                                            ui::IndexPath indexPath)
{
    auto& tracks = raceData().trackArr;
    const int removed = indexPath.row;
    if (removed < 1 || static_cast<std::size_t>(removed) > tracks.size())
        return;
    tracks.erase(tracks.begin() + (removed - 1));
    // The check mark stays on the same track: a deletion before it moves it up
    // one row, deleting the checked track falls back to "New track".
    if (removed == index_)
        index_ = 0;
    else if (removed < index_)
        --index_;
    if (tracks.empty()) {
        index_ = 0;
        table.reloadData();
        noTracksLabel_->setHidden(false);
    } else {
        table.deleteRowsAtIndexPaths({indexPath}, ui::TableViewRowAnimation::Fade);
        if (auto checked = table.cellForRowAtIndexPath({0, index_}))
            checked->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
    }
    raceData().selectedTrackIndex = index_ - 1;
    Manager::sharedManager().saveChanges();
}
