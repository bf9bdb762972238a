#include "diagnostics/DTCDetViewCon.h"

#include "core/model/Manager.h"
#include "diagnostics/DTCWebViewController.h"
#include "diagnostics/DiagnosticsLook.h"
#include "platform/net/UrlSession.h"
#include "platform/ui/NavigationController.h"
#include "shell/RoundedCell.h"

namespace look = diagnosticsLook;

namespace {

constexpr const char* kHeaders[] = {"  Description ", "  Possible symptoms ", "  Possible causes "};

ui::Font rowFont()
{
    return look::digitalSans(16);
}

}  // namespace

DTCDetViewCon::DTCDetViewCon(ui::TableViewStyle style, std::string code, std::string desc,
                             std::optional<std::string> symptom, std::optional<std::string> cause,
                             std::string lookupNote)
    : ui::TableViewController(style),
      codeString_(std::move(code)),
      descString_(std::move(desc)),
      symptomString_(std::move(symptom)),
      causeString_(std::move(cause)),
      lookupNote_(std::move(lookupNote)),
      theme_(Manager::sharedManager().setting().theme)
{
    navigationItem().setTitleView(look::titleLabel(codeString_, look::digitalSans(19)));
    static_cast<ui::Label&>(*navigationItem().titleView()).setTextColor(look::accent());
    const ui::TitleTextAttributes attributes{look::digitalSans(17), ui::Color::white(0.8)};
    auto done = std::make_shared<ui::BarButtonItem>(ui::SystemItem::Done, [this](ui::BarButtonItem&) { dismissViewCon(); });
    done->setTitleTextAttributes(attributes);
    auto more = std::make_shared<ui::BarButtonItem>("More", ui::BarButtonItemStyle::Plain,
                                                    [this](ui::BarButtonItem&) { loadWebsite(); });
    more->setTitleTextAttributes(attributes);
    // Dimmed when there is no page to show, as a button that does nothing should look.
    more->setTitleTextAttributes({attributes.font, ui::Color::white(0.8).withAlpha(0.3)}, ui::ControlState::Disabled);
    // Without a reference site there is no page to show; the rows say why.
    more->setEnabled(!net::UrlSession::referenceBaseUrl().empty());
    navigationItem().setLeftBarButtonItem(done);
    navigationItem().setRightBarButtonItem(more);
}

std::string DTCDetViewCon::pageAddress(const std::string& code)
{
    return net::UrlSession::referenceBaseUrl() + "/" + code;
}

void DTCDetViewCon::viewDidLoad()
{
    ui::TableView& table = tableView();
    table.setBackgroundColor(theme_ == 1 ? ui::Color::white(0.9) : ui::Color::white(0.1));
    table.setSeparatorColor(ui::Color::white(0.2));
    if (auto* navigation = navigationController())
        navigation->navigationBar().setTintColor(ui::Color::lightGray());
}

const std::optional<std::string>& DTCDetViewCon::field(int section) const
{
    return section == 0 ? descString_ : section == 1 ? symptomString_ : causeString_;
}

// An empty description reads "Data unavailable"; an empty web text "Info not available"; a lookup that
// stored nothing says why, when it knows.
std::string DTCDetViewCon::rowText(int section) const
{
    const std::optional<std::string>& text = field(section);
    if (!text)
        return section == 0 ? "Data unavailable" : lookupNote_;
    if (text->empty())
        return section == 0 ? "Data unavailable" : "Info not available";
    return *text;
}

double DTCDetViewCon::heightForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    return look::textHeight(rowText(indexPath.section), rowFont(), table.bounds().size.width - 35) + 20;
}

std::shared_ptr<ui::View> DTCDetViewCon::viewForHeaderInSection(ui::TableView&, int section)
{
    return look::badgeHeader(kHeaders[section], section == 2 ? look::accent() : look::teal(), 30, 10, 5);
}

std::shared_ptr<ui::TableViewCell> DTCDetViewCon::cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    auto cell = std::make_shared<RoundedCell>(ui::TableViewCellStyle::Subtitle);
    cell->setTop(true);
    cell->setBottom(true);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    const double width = table.bounds().size.width - 35;
    auto label = std::make_shared<ui::Label>();
    label->setNumberOfLines(0);
    label->setLineBreakMode(ui::LineBreakMode::WordWrap);
    label->setTextAlignment(ui::TextAlignment::Left);
    label->setFont(rowFont());
    label->setTextColor(theme_ == 1 ? ui::Color::black() : ui::Color::white());
    label->setText(rowText(indexPath.section));
    label->setFrame({10, 10, width, look::textHeight(label->text(), rowFont(), width)});
    cell->contentView()->addSubview(label);
    return cell;
}

void DTCDetViewCon::willDisplayCell(ui::TableView&, ui::TableViewCell& cell, ui::IndexPath)
{
    cell.setBackgroundColor(theme_ == 1 ? ui::Color::white() : ui::Color::black());
}

void DTCDetViewCon::loadWebsite()
{
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::make_shared<DTCWebViewController>(pageAddress(codeString_)), true);
}

void DTCDetViewCon::dismissViewCon()
{
    dismissViewController(true);
}
