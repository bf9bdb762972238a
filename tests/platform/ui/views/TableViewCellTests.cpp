#include "support/Input.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

std::shared_ptr<TableViewCell> laidOutCell(TableViewCellStyle style, const std::string& detail,
                                           TableViewCellAccessoryType accessory = TableViewCellAccessoryType::None)
{
    auto cell = std::make_shared<TableViewCell>(style);
    cell->setFrame(makeRect(0, 0, 320, 44));
    cell->textLabel()->setText("Coolant");
    if (Label* label = cell->detailTextLabel())
        label->setText(detail);
    cell->setAccessoryType(accessory);
    cell->layoutIfNeeded();
    return cell;
}

Rect inCell(const TableViewCell& cell, const View* view)
{
    return view->convertRect(view->bounds(), &cell);
}

} // namespace

TEST(TableViewCell, LabelsAreMadeOnlyWhenAskedFor)
{
    TableViewCell plain;
    EXPECT_TRUE(plain.contentView()->subviews().empty());
    EXPECT_EQ(plain.detailTextLabel(), nullptr) << "the default style has no detail";
    TableViewCell subtitle(TableViewCellStyle::Subtitle);
    ASSERT_NE(subtitle.detailTextLabel(), nullptr);
    EXPECT_EQ(subtitle.contentView()->subviews().size(), 1u);
}

TEST(TableViewCell, StylesPlaceTheirLabels)
{
    const double right = 320 - TableViewCell::margin;
    {
        auto cell = laidOutCell(TableViewCellStyle::Default, "");
        EXPECT_EQ(inCell(*cell, cell->textLabel()), makeRect(16, 0, right - 16, 44));
    }
    {
        auto cell = laidOutCell(TableViewCellStyle::Value1, "90 C");
        const Rect detail = inCell(*cell, cell->detailTextLabel());
        EXPECT_EQ(detail.maxX(), right) << "the value sits on the right";
        EXPECT_GT(detail.width(), 0);
        EXPECT_LE(inCell(*cell, cell->textLabel()).maxX(), detail.minX());
    }
    {
        auto cell = laidOutCell(TableViewCellStyle::Subtitle, "P0133");
        const Rect text = inCell(*cell, cell->textLabel());
        const Rect detail = inCell(*cell, cell->detailTextLabel());
        EXPECT_EQ(detail.minY(), text.maxY()) << "the detail sits below";
        EXPECT_NEAR(text.minY() + detail.maxY(), 44, 0.001) << "the pair is centred";
        EXPECT_EQ(detail.x(), text.x());
    }
    {
        auto cell = laidOutCell(TableViewCellStyle::Value2, "4");
        EXPECT_LT(inCell(*cell, cell->textLabel()).maxX(), inCell(*cell, cell->detailTextLabel()).minX());
    }
}

TEST(TableViewCell, ALongValueSharesTheRowWithItsTitle)
{
    auto cell = laidOutCell(TableViewCellStyle::Value1, "A value much too long to fit beside its title at all");
    const Rect text = inCell(*cell, cell->textLabel());
    const Rect detail = inCell(*cell, cell->detailTextLabel());
    const double title = cell->textLabel()->sizeThatFits({320, 44}).width;
    EXPECT_GT(text.width(), title / 2) << "the title keeps its share";
    EXPECT_LE(text.maxX() + 8, detail.minX() + 0.001);
    EXPECT_NEAR(detail.maxX(), 320 - TableViewCell::margin, 0.001);
}

TEST(TableViewCell, AccessoriesAndImagesTakeTheirPlace)
{
    auto cell = laidOutCell(TableViewCellStyle::Value1, "On", TableViewCellAccessoryType::DisclosureIndicator);
    const Rect content = cell->contentView()->frame();
    EXPECT_LT(content.maxX(), 320 - TableViewCell::margin);
    EXPECT_EQ(inCell(*cell, cell->detailTextLabel()).maxX(), content.maxX() - 8);

    auto custom = std::make_shared<View>(makeRect(0, 0, 51, 31));
    cell->setAccessoryView(custom);
    cell->layoutIfNeeded();
    EXPECT_EQ(custom->frame(), makeRect(320 - 16 - 51, 6.5, 51, 31));

    cell->imageView()->setImage(Image::placeholder({29, 29}));
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_EQ(inCell(*cell, cell->imageView()), makeRect(16, 7.5, 29, 29));
    EXPECT_EQ(inCell(*cell, cell->textLabel()).x(), 16 + 29 + 16);
}

TEST(TableViewCell, SelectionShowsTheSelectedBackgroundUnlessStyleIsNone)
{
    auto cell = laidOutCell(TableViewCellStyle::Default, "");
    EXPECT_TRUE(cell->selectedBackgroundView()->isHidden());
    cell->setSelected(true);
    EXPECT_FALSE(cell->selectedBackgroundView()->isHidden());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    EXPECT_TRUE(cell->selectedBackgroundView()->isHidden());
    cell->setSelectionStyle(TableViewCellSelectionStyle::Default);
    cell->prepareForReuse();
    EXPECT_FALSE(cell->isSelected());
    EXPECT_TRUE(cell->selectedBackgroundView()->isHidden());
}

namespace {

class Settings : public TableViewDataSource {
public:
    int numberOfSectionsInTableView(TableView&) override { return 2; }
    int numberOfRowsInSection(TableView&, int section) override { return section == 0 ? 3 : 2; }
    std::string titleForHeaderInSection(TableView&, int section) override { return section == 0 ? "Adapter" : "Units"; }
    std::string titleForFooterInSection(TableView&, int section) override
    {
        return section == 1 ? "Changes apply to every gauge." : "";
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath ip) override
    {
        static const TableViewCellStyle styles[] = {TableViewCellStyle::Default, TableViewCellStyle::Value1,
                                                    TableViewCellStyle::Subtitle};
        auto cell = std::make_shared<TableViewCell>(ip.section == 0 ? styles[ip.row] : TableViewCellStyle::Default);
        cell->textLabel()->setText(ip.section == 0 ? "Connection" : ip.row == 0 ? "Metric" : "Imperial");
        if (Label* detail = cell->detailTextLabel())
            detail->setText(ip.row == 1 ? "Wi-Fi" : "192.168.0.10");
        cell->setAccessoryType(ip.section == 0 ? TableViewCellAccessoryType::DisclosureIndicator
                               : ip.row == 0   ? TableViewCellAccessoryType::Checkmark
                                               : TableViewCellAccessoryType::None);
        return cell;
    }
};

} // namespace

TEST(TableViewCell, GroupedSettingsTableRenders)
{
    Settings settings;
    TableView table(makeRect(0, 0, 320, 400), TableViewStyle::Grouped);
    table.setDataSource(&settings);
    table.selectRowAtIndexPath(IndexPath{0, 1}, false);
    const Image image = table.renderToImage(2);
    ASSERT_TRUE(image.writePNG(testsupport::artifactsDir() / "grouped-settings-table.png"));

    const auto at = [&](double x, double y) { return image.pixel(static_cast<int>(x * 2), static_cast<int>(y * 2)); };
    EXPECT_EQ(at(300, 5), Color::groupTableViewBackground()) << "above the first section";
    const Rect selected = table.rectForRowAtIndexPath({0, 1});
    EXPECT_EQ(at(250, selected.minY() + 4), Color::systemGray4()) << "the selected row";
    const Rect plain = table.rectForRowAtIndexPath({1, 1});
    EXPECT_EQ(at(250, plain.midY()), Color::white());
    const Rect footer = table.rectForFooterInSection(1);
    EXPECT_GT(footer.height(), 18) << "a titled footer makes room for its text";
}

namespace {

class Codes : public TableViewDataSource {
public:
    int numberOfRowsInSection(TableView&, int) override { return 4; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath ip) override
    {
        auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle);
        cell->textLabel()->setText("P013" + std::to_string(ip.row));
        cell->detailTextLabel()->setText("O2 Sensor Circuit Slow Response");
        return cell;
    }
    bool canEditRowAtIndexPath(TableView&, IndexPath ip) override { return ip.row != 3; }
};

} // namespace

TEST(TableViewCell, EditingRowsRender)
{
    auto window = std::make_shared<Window>(makeRect(0, 0, 320, 240));
    Codes codes;
    auto table = std::make_shared<TableView>(makeRect(0, 0, 320, 240));
    table->setDataSource(&codes);
    window->addSubview(table);
    table->setEditing(true);
    testsupport::tap(*window, table->convertPoint({TableViewCell::margin + 8, 44 + 22}, nullptr));
    const Image image = table->renderToImage(2);
    ASSERT_TRUE(image.writePNG(testsupport::artifactsDir() / "editing-table.png"));
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 1})->showingDeleteConfirmation());
    EXPECT_EQ(image.pixel(2 * 310, 2 * 66), Color::systemRed()) << "the Delete button";
    EXPECT_EQ(image.pixel(2 * 24, 2 * 15), Color::systemRed()) << "the delete control";
    EXPECT_NE(image.pixel(2 * 24, 2 * (3 * 44 + 15)), Color::systemRed()) << "no control on a row that cannot be deleted";
}
