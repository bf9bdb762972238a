#include "performance/RaceResViewCon.h"
#include "performance/StyledBarButton.h"

#include <algorithm>

#include "core/model/Manager.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"
#include "platform/media/PhotoAlbum.h"
#include "shell/QueuedAlertController.h"
#include "platform/ui/BarItems.h"
#include "platform/ui/Context.h"
#include "platform/ui/Device.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "shell/RoundedCell.h"

namespace {

// The rows of the 0-60 mph, 0-100 mph, 1/8 and 1/4 mile times.
constexpr std::size_t firstTimeRow = 4;
constexpr std::size_t lastTimeRow = 7;

}  // namespace

RaceResViewCon::RaceResViewCon(std::vector<float> data, ui::TableViewStyle style)
    : ui::TableViewController(style), dataArr_(std::move(data))
{
    auto title = std::make_shared<ui::Label>();
    title->setText(fnd::L("Summary"));
    title->setFont(ui::Font::named("Digital-Serial", 17));
    title->setTextColor(ui::Color::lightGray());
    title->sizeToFit();
    navigationItem().setTitleView(title);
    theme_ = Manager::sharedManager().setting().theme;
    navigationItem().setLeftBarButtonItem(
        styledBarButton(ui::SystemItem::Done, "Digital-Serial", ui::Color::white(0.8), [this] { dismissViewCon(); }));
    const auto& units = Manager::sharedManager().userData().unitsArr;
    const bool metric = !(units.size() > 9 && units[9] == 0);
    for (const char* key : {"Max speed", "Max RPM", "Max horsepower", "Max acceleration", "0-60 mph", "0-100 mph",
                            "1/8 mile time", "1/4 mile time", "Average RPM", "Average HP"})
        descArr_.push_back(fnd::L(key));
    unitsArr_ = {metric ? "km/h" : "mph", "rpm", "HP", "g", "s", "s", "s", "s", "rpm", "HP"};
    navigationItem().setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::SystemItem::Action, [this](ui::BarButtonItem&) { actionBtnPressed(); }));
}

RaceResViewCon::~RaceResViewCon()
{
    if (composer_)
        composer_->setDelegate(nullptr);
}

void RaceResViewCon::viewDidLoad()
{
    tableView().setBackgroundColor(theme_ == 1 ? ui::Color::white(0.85) : ui::Color::white(0.1));
    tableView().setSeparatorColor(ui::Color::white(0.2));
}

int RaceResViewCon::numberOfRowsInSection(ui::TableView&, int section)
{
    return section == 0 ? 2 : static_cast<int>(dataArr_.size());
}

std::shared_ptr<ui::TableViewCell> RaceResViewCon::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Value1, "Cell");
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->textLabel()->setTextColor(ui::Color::lightGray());
    cell->textLabel()->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 15));
    cell->detailTextLabel()->setTextColor(ui::Color::lightGray());
    cell->detailTextLabel()->setFont(ui::Font::named("Digital-Serial", 17));
    const UserData& vehicle = Manager::sharedManager().userData();
    if (indexPath.section == 0) {
        if (indexPath.row == 0) {
            cell->setTop(true);
            cell->imageView()->setImage(ui::Image::named("logo"));
            cell->detailTextLabel()->setText(vehicle.model);
        } else {
            cell->setBottom(true);
            cell->textLabel()->setText(fnd::L("Year"));
            cell->detailTextLabel()->setText(fnd::format("%d", vehicle.year));
        }
        return cell;
    }
    const auto row = static_cast<std::size_t>(indexPath.row);
    cell->setTop(indexPath.row == 0);
    cell->setBottom(row + 1 == dataArr_.size());
    cell->textLabel()->setText(row < descArr_.size() ? descArr_[row] : "");
    // A time of 0 is a mark the run never reached from a standing start: it has no time to show.
    const bool untimed = row >= firstTimeRow && row <= lastTimeRow && dataArr_[row] == 0;
    cell->detailTextLabel()->setText(
        untimed ? "--" : fnd::format("%.1f %s", dataArr_[row], row < unitsArr_.size() ? unitsArr_[row] : std::string()));
    return cell;
}

void RaceResViewCon::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::rgb255(10, 10, 10));
}

ui::Image RaceResViewCon::tableImage()
{
    // Every row, not only those on screen: the table is stretched to its
    // content for the picture and put back.
    ui::TableView& table = tableView();
    const ui::Rect frame = table.frame();
    const ui::Point offset = table.contentOffset();
    table.layoutIfNeeded();
    const double height = std::max(table.contentSize().height, frame.size.height);
    table.setFrame({frame.origin.x, frame.origin.y, frame.size.width, height});
    table.setContentOffset({0, 0});
    table.layoutIfNeeded();
    ui::Image image = table.renderToImage(ui::Device::current().scale());
    table.setFrame(frame);
    table.setContentOffset(offset);
    table.layoutIfNeeded();
    return image;
}

void RaceResViewCon::actionBtnPressed()
{
    auto sheet = QueuedAlertController::alertControllerWithTitle(fnd::L("Select Sharing option:"), "", ui::AlertControllerStyle::ActionSheet);
    sheet->view()->setTintColor(ui::Color::rgb255(205, 40, 70));
    sheet->setContentBackground(ui::Color::black(), 15);
    const std::weak_ptr<ui::ViewController> self = weak_from_this();
    sheet->addAction(fnd::L("Share via E-mail"), ui::AlertActionStyle::Default, [self, this] {
        if (self.lock())
            shareResultsByEmail();
    });
    sheet->addAction(fnd::L("Save to Camera Roll"), ui::AlertActionStyle::Default, [self, this] {
        if (self.lock())
            saveResultsToCameraRoll();
    });
    sheet->addAction(fnd::L("Cancel"), ui::AlertActionStyle::Default);
    sheet->show();
}

std::string RaceResViewCon::createPDFfromUIView(ui::View& view, const std::string& name)
{
    ui::PdfContext pdf(view.bounds().size);
    view.render(pdf);
    pdf.finish();
    fnd::writeFileAtomically(fnd::Paths::documents() / name, pdf.data());
    return pdf.data();
}

void RaceResViewCon::shareResultsByEmail()
{
    if (!mail::MailComposer::canSendMail())
        return;
    const ui::Image image = tableImage();
    ui::ImageView picture(image);
    picture.setFrame({{0, 0}, image.size()});
    const std::string pdf = createPDFfromUIView(picture, filename);
    composer_ = std::make_unique<mail::MailComposer>();
    composer_->setDelegate(this);
    composer_->setSubject("Norvale race results");
    composer_->addAttachmentData(pdf, "application/pdf", filename);
    composer_->present();
}

void RaceResViewCon::saveResultsToCameraRoll() { media::PhotoAlbum::saveImage(tableImage()); }

void RaceResViewCon::mailComposeControllerDidFinish(mail::MailComposer& composer, mail::MailComposeResult)
{
    composer.setDelegate(nullptr);
}

void RaceResViewCon::dismissViewCon() { dismissViewController(true); }
