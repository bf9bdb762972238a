#include "performance/AddTrackViewCon.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "performance/NavigationBarBottom.h"
#include "performance/StyledBarButton.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/TableViewCell.h"
#include "shell/QueuedAlertController.h"

AddTrackViewCon::AddTrackViewCon(Lap lap) : lap_(std::move(lap)), coordinatesArr_(lap_.coordinatesArr)
{
    const ui::Color blue = ui::Color::rgb255(0, 114, 188);
    auto save = styledBarButton(ui::SystemItem::Save, "Digital-Serial DB", blue, [this] { saveTrack(); });
    save->setTintColor(blue);
    navigationItem().setRightBarButtonItem(save);
    navigationItem().setLeftBarButtonItem(
        styledBarButton(ui::SystemItem::Cancel, "Digital-Serial DB", ui::Color::white(0.8), [this] { dismissView(); }));
}

AddTrackViewCon::~AddTrackViewCon()
{
    if (tV_) {
        tV_->setDataSource(nullptr);
        tV_->setDelegate(nullptr);
    }
    for (const auto& field : fields_)
        field->setDelegate(nullptr);
}

void AddTrackViewCon::viewDidLoad()
{
    view()->setBackgroundColor(ui::Color::black());
    tView_ = std::make_shared<TrackView>(ui::Rect{}, 0);
    view()->addSubview(tView_);
    tV_ = std::make_shared<ui::TableView>(ui::Rect{}, ui::TableViewStyle::Grouped);
    tV_->setBackgroundColor(ui::Color::black());
    tV_->setSeparatorColor(ui::Color::black());
    tV_->setContentInset({-35, 0, 0, 0});
    tableViewDataArr_ = {fnd::L("Track name"), fnd::L("Distance")};
    trackname_ = fnd::format("%s %d", fnd::L("Track"),
                             static_cast<int>(Manager::sharedManager().raceData().trackArr.size()) + 1);
    for (int row = 0; row < 2; ++row) {
        auto field = std::make_shared<ui::TextField>();
        field->setBackgroundColor(ui::Color::rgb255(30, 30, 30, 0.4));
        field->setFont(ui::Font::named("DINAlternate-Bold", 17));
        field->setTextColor(ui::Color::lightGray());
        field->setTextAlignment(ui::TextAlignment::Right);
        field->setKeyboardAppearance(ui::KeyboardAppearance::Dark);
        field->setTag(row);
        field->setDelegate(this);
        fields_.push_back(field);
    }
    fields_[0]->setText(trackname_);
    fields_[1]->setKeyboardType(ui::KeyboardType::NumbersAndPunctuation);
    tV_->setDataSource(this);
    tV_->setDelegate(this);
    view()->addSubview(tV_);
    layoutForm();
}

// The navigation bar's height and the form's own size (a sheet on a pad) are known only once the window is
// laid out: the preview starts below the bar and the rows fit the form.
void AddTrackViewCon::viewDidLayoutSubviews()
{
    if (tView_)
        layoutForm();
}

void AddTrackViewCon::layoutForm()
{
    const ui::Size size = view()->bounds().size;
    const double top = navigationBarBottom(*this);
    tView_->setFrame({0, top, size.width, std::max(0.0, size.height / 2 - top)});
    tV_->setFrame({0, size.height / 2 + 1, size.width, size.height / 3 - 1});
    for (const auto& field : fields_)
        field->setFrame({0, 0, size.width / 2, 25});
}

void AddTrackViewCon::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    tView_->setCoordinatesArr(coordinatesArr_);
    tView_->setPreviewMode();
}

ui::TextField* AddTrackViewCon::field(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < fields_.size() ? fields_[static_cast<std::size_t>(row)].get()
                                                                       : nullptr;
}

std::shared_ptr<ui::TableViewCell> AddTrackViewCon::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, "Cell");
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    const auto row = static_cast<std::size_t>(indexPath.row);
    cell->textLabel()->setText(tableViewDataArr_[row]);
    cell->textLabel()->setFont(ui::Font::named("HelveticaNeue-Thin", 15));
    cell->textLabel()->setTextColor(ui::Color::lightGray());
    cell->setAccessoryView(fields_[row]);
    return cell;
}

void AddTrackViewCon::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(ui::Color::rgb255(20, 20, 20));
}

void AddTrackViewCon::textFieldDidEndEditing(ui::TextField& field)
{
    if (field.tag() == 1)
        trackDistance_ = fnd::floatValue(field.text());
    else if (field.tag() == 0)
        trackname_ = field.text();
}

bool AddTrackViewCon::textFieldShouldReturn(ui::TextField& field)
{
    field.resignFirstResponder();
    return true;
}

bool AddTrackViewCon::saveTrack()
{
    view()->endEditing(true);
    // Without GPS a lap has no outline: a track of it could never be drawn or timed.
    if (coordinatesArr_.size() < 2) {
        QueuedAlertController::showMessage(fnd::L("Error"), fnd::L("Track too short"));
        return false;
    }
    if (tView_->trackImageData().empty())
        tView_->renderPreview();
    Manager::sharedManager().raceData().trackArr.emplace_back(trackname_, tView_->trackImageData(), coordinatesArr_,
                                                              trackDistance_);
    Manager::sharedManager().saveChanges();
    dismissView();
    return true;
}

void AddTrackViewCon::dismissView() { dismissViewController(true); }
