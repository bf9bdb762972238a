#include "support/Input.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TableView.h"

#include <gtest/gtest.h>

#include <string>

using namespace ui;
using namespace testsupport;

namespace {

// A list of texts per section, with a record of what the table asked and told.
class Model : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> headers;
    bool editable = false;
    bool deleteOnlyWhileEditing = false; // no swipe to delete
    int cellsAsked = 0;
    int cellsMade = 0;
    std::string log; // s<row> selected, d<row> deselected, x<row> deletion committed, E end of deceleration

    explicit Model(int count = 100)
    {
        rows.emplace_back();
        for (int i = 0; i < count; ++i)
            rows[0].push_back("Row " + std::to_string(i));
    }

    int numberOfSectionsInTableView(TableView&) override { return static_cast<int>(rows.size()); }
    int numberOfRowsInSection(TableView&, int section) override
    {
        return static_cast<int>(rows[static_cast<std::size_t>(section)].size());
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override
    {
        ++cellsAsked;
        auto cell = table.dequeueReusableCellWithIdentifier("Cell");
        if (!cell) {
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Value1, "Cell");
            ++cellsMade;
        }
        cell->textLabel()->setText(text(ip));
        return cell;
    }
    std::string titleForHeaderInSection(TableView&, int section) override
    {
        return static_cast<std::size_t>(section) < headers.size() ? headers[static_cast<std::size_t>(section)] : "";
    }
    bool canEditRowAtIndexPath(TableView&, IndexPath) override { return editable; }
    TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView& table, IndexPath) override
    {
        return !deleteOnlyWhileEditing || table.isEditing() ? TableViewCellEditingStyle::Delete
                                                            : TableViewCellEditingStyle::None;
    }
    void commitEditingStyle(TableView& table, TableViewCellEditingStyle, IndexPath ip) override
    {
        log += "x" + std::to_string(ip.row);
        auto& section = rows[static_cast<std::size_t>(ip.section)];
        section.erase(section.begin() + ip.row);
        table.deleteRowsAtIndexPaths({ip});
    }
    void didSelectRowAtIndexPath(TableView&, IndexPath ip) override { log += "s" + std::to_string(ip.row); }
    void didDeselectRowAtIndexPath(TableView&, IndexPath ip) override { log += "d" + std::to_string(ip.row); }
    void scrollViewDidEndDecelerating(ScrollView&) override { log += "E"; }

    std::string text(IndexPath ip) const
    {
        return rows[static_cast<std::size_t>(ip.section)][static_cast<std::size_t>(ip.row)];
    }
};

struct Scene {
    std::shared_ptr<Window> window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    std::shared_ptr<TableView> table;
    Model model;

    explicit Scene(int count = 100, TableViewStyle style = TableViewStyle::Plain)
        : table(std::make_shared<TableView>(makeRect(0, 0, 320, 480), style))
        , model(count)
    {
        table->setDataSource(&model);
        table->setDelegate(&model);
        window->addSubview(table);
    }

    std::string shownText(IndexPath ip)
    {
        auto cell = table->cellForRowAtIndexPath(ip);
        return cell ? cell->textLabel()->text() : "(none)";
    }
    Point centerOf(IndexPath ip)
    {
        return table->convertPoint(table->rectForRowAtIndexPath(ip).center(), nullptr);
    }
};

} // namespace

TEST(TableView, OnlyRowsOnScreenHaveCells)
{
    Scene s;
    const auto rows = s.table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 11u) << "480 points of 44-point rows";
    EXPECT_EQ(rows.front(), (IndexPath{0, 0}));
    EXPECT_EQ(rows.back(), (IndexPath{0, 10}));
    EXPECT_EQ(s.model.cellsAsked, 11);
    EXPECT_EQ(s.table->cellForRowAtIndexPath({0, 50}), nullptr);
    EXPECT_EQ(s.shownText({0, 3}), "Row 3");
    EXPECT_EQ(s.table->contentSize().height, 4400);
}

// A row that only touches an edge of the visible area shows nothing of itself, so it has no cell: neither
// the row whose top is the visible bottom nor the one whose bottom is the visible top.
TEST(TableView, ARowTouchingAnEdgeHasNoCell)
{
    Scene s;
    s.table->setFrame(makeRect(0, 0, 320, 440));
    auto rows = s.table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 10u) << "440 points of 44-point rows";
    EXPECT_EQ(rows.back(), (IndexPath{0, 9}));
    EXPECT_EQ(s.table->cellForRowAtIndexPath({0, 10}), nullptr);

    s.table->setContentOffset({0, 44});
    rows = s.table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows.front(), (IndexPath{0, 1}));
    EXPECT_EQ(rows.back(), (IndexPath{0, 10}));

    s.table->setContentOffset({0, 45});
    rows = s.table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 11u) << "one point of row 11 comes into view";
    EXPECT_EQ(rows.back(), (IndexPath{0, 11}));
}

TEST(TableView, FlickedTableEndsOnceAndShowsOtherRowsWithReusedCells)
{
    Scene s;
    drag(*s.window, {160, 440}, {160, 140}, 0.1, 10);
    advance(5);
    EXPECT_EQ(s.model.log, "E");
    const auto rows = s.table->indexPathsForVisibleRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_GT(rows.front().row, 20) << "momentum carried it well past the first screen";
    EXPECT_EQ(s.shownText(rows.front()), s.model.text(rows.front()));
    EXPECT_LE(s.model.cellsMade, 13) << "cells leaving the screen are reused";
    EXPECT_EQ(s.table->subviews().size(), s.table->visibleCells().size() + 2) << "only visible cells and the two indicators";
}

TEST(TableView, TapSelectsOneRowAtATime)
{
    Scene s;
    tap(*s.window, s.centerOf({0, 2}));
    tap(*s.window, s.centerOf({0, 4}));
    EXPECT_EQ(s.model.log, "s2d2s4");
    EXPECT_EQ(s.table->indexPathForSelectedRow(), (IndexPath{0, 4}));
    EXPECT_TRUE(s.table->cellForRowAtIndexPath({0, 4})->isSelected());
    EXPECT_FALSE(s.table->cellForRowAtIndexPath({0, 2})->isSelected());

    s.table->deselectRowAtIndexPath({0, 4}, true);
    const auto row4 = s.table->cellForRowAtIndexPath({0, 4});
    EXPECT_FALSE(row4->isSelected());
    advance(0.1);
    EXPECT_FALSE(row4->selectedBackgroundView()->isHidden()) << "fading out";
    EXPECT_LT(row4->selectedBackgroundView()->presentationState().alpha, 1);
    advance(TableViewCell::animationDuration);
    EXPECT_TRUE(row4->selectedBackgroundView()->isHidden());
    EXPECT_EQ(row4->selectedBackgroundView()->alpha(), 1) << "ready for the next selection";
    EXPECT_EQ(s.model.log, "s2d2s4") << "deselecting in code tells nothing";

    s.table->setAllowsSelection(false);
    tap(*s.window, s.centerOf({0, 1}));
    EXPECT_EQ(s.model.log, "s2d2s4");
}

TEST(TableView, DragsAndTapsThatStopAFlickSelectNothing)
{
    Scene s;
    drag(*s.window, {160, 440}, {160, 240}, 0.5, 20, false);
    advance(0.3);
    s.window->sendTouch(TouchPhase::Ended, {160, 240});
    for (const auto& cell : s.table->visibleCells())
        EXPECT_FALSE(cell->isHighlighted());
    drag(*s.window, {160, 440}, {160, 140}, 0.1, 10);
    advance(0.1);
    tap(*s.window, {160, 200});
    EXPECT_EQ(s.model.log, "E") << "the tap only stopped the flick";
}

TEST(TableView, ReloadShowsNewDataAndClearsSelection)
{
    Scene s(5);
    s.table->selectRowAtIndexPath(IndexPath{0, 1}, false);
    s.model.rows[0] = {"a", "b"};
    s.table->reloadData();
    EXPECT_EQ(s.table->indexPathsForVisibleRows().size(), 2u);
    EXPECT_EQ(s.shownText({0, 1}), "b");
    EXPECT_EQ(s.table->indexPathForSelectedRow(), std::nullopt);

    s.model.rows[0][0] = "changed";
    s.table->reloadRowsAtIndexPaths({{0, 0}});
    EXPECT_EQ(s.shownText({0, 0}), "changed");
}

TEST(TableView, EditModeDeletesARowThroughItsConfirmation)
{
    Scene s(5);
    s.model.editable = true;
    auto cell = s.table->cellForRowAtIndexPath({0, 2});
    s.table->setEditing(true, true);
    ASSERT_TRUE(cell->isEditing());
    const double indent = cell->contentView()->frame().x();
    EXPECT_GT(indent, 0) << "the content made room for the delete control";
    EXPECT_LT(cell->contentView()->presentationState().center.x, cell->contentView()->center().x) << "sliding there";
    advance(TableViewCell::animationDuration);
    tap(*s.window, cell->convertPoint({TableViewCell::margin + 8, 22}, nullptr)); // the red control
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    tap(*s.window, cell->convertPoint({cell->bounds().width() - 20, 22}, nullptr)); // "Delete"
    EXPECT_EQ(s.model.log, "x2");
    EXPECT_EQ(s.table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(s.shownText({0, 2}), "Row 3");
    EXPECT_EQ(s.table->cellForRowAtIndexPath({0, 4}), nullptr);
}

TEST(TableView, RowsOnScreenTakeTheStyleTheyHaveWhileEditing)
{
    Scene s(5);
    s.model.editable = true;
    s.model.deleteOnlyWhileEditing = true;
    auto cell = s.table->cellForRowAtIndexPath({0, 2});
    drag(*s.window, s.centerOf({0, 2}) + Point{100, 0}, s.centerOf({0, 2}) - Point{100, 0}, 0.1);
    EXPECT_FALSE(cell->showingDeleteConfirmation()) << "no swipe to delete outside editing";
    s.model.log.clear(); // the stroke selected the row
    s.table->setEditing(true, true);
    advance(TableViewCell::animationDuration);
    tap(*s.window, cell->convertPoint({TableViewCell::margin + 8, 22}, nullptr));
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    tap(*s.window, cell->convertPoint({cell->bounds().width() - 20, 22}, nullptr));
    EXPECT_EQ(s.model.log, "x2");
}

TEST(TableView, LeftSwipeOffersDeleteOnlyOnEditableRows)
{
    for (const bool editable : {true, false}) {
        Scene s(5);
        s.model.editable = editable;
        int screenSwipes = 0;
        auto swipe = std::make_shared<SwipeGestureRecognizer>([&](GestureRecognizer&) { ++screenSwipes; });
        swipe->setDirection(SwipeDirection::Left);
        s.table->addGestureRecognizer(swipe);
        drag(*s.window, s.centerOf({0, 1}) + Point{100, 0}, s.centerOf({0, 1}) - Point{100, 0}, 0.1);
        EXPECT_EQ(s.table->cellForRowAtIndexPath({0, 1})->showingDeleteConfirmation(), editable);
        EXPECT_EQ(screenSwipes, editable ? 0 : 1) << "a row that cannot be deleted leaves the swipe to others";
        EXPECT_EQ(s.model.log, "");
        if (editable) {
            tap(*s.window, s.centerOf({0, 3}));
            EXPECT_FALSE(s.table->cellForRowAtIndexPath({0, 1})->showingDeleteConfirmation());
            EXPECT_EQ(s.model.log, "") << "that tap only put the button away";
        }
    }
}

TEST(TableView, RowChangesKeepCellsAndSelectionOnTheirRows)
{
    Scene s(5);
    s.table->selectRowAtIndexPath(IndexPath{0, 3}, false);
    auto row3 = s.table->cellForRowAtIndexPath({0, 3});
    s.model.rows[0].insert(s.model.rows[0].begin() + 1, "new");
    s.table->insertRowsAtIndexPaths({{0, 1}});
    EXPECT_EQ(s.shownText({0, 1}), "new");
    EXPECT_EQ(s.table->cellForRowAtIndexPath({0, 4}), row3);
    EXPECT_EQ(s.table->indexPathForSelectedRow(), (IndexPath{0, 4}));

    s.model.rows[0].erase(s.model.rows[0].begin() + 4);
    s.table->deleteRowsAtIndexPaths({{0, 4}});
    EXPECT_EQ(s.table->indexPathForSelectedRow(), std::nullopt);
    EXPECT_EQ(s.shownText({0, 4}), "Row 4");
}

TEST(TableView, DeletionThatDisagreesWithTheDataReloadsInstead)
{
    Scene s(5);
    ASSERT_EQ(s.table->visibleCells().size(), 5u);
    fnd::LogCapture log;
    s.model.rows[0].pop_back(); // one row gone, two announced
    s.table->deleteRowsAtIndexPaths({{0, 0}, {0, 1}});
    EXPECT_TRUE(log.contains("do not match"));
    EXPECT_EQ(s.table->indexPathsForVisibleRows().size(), 4u);
    EXPECT_EQ(s.shownText({0, 0}), "Row 0");
}

TEST(TableView, GroupedSectionsStackHeadersRowsAndFooters)
{
    Scene s(0, TableViewStyle::Grouped);
    s.model.rows = {{"a", "b"}, {"c"}};
    s.model.headers = {"Current", ""};
    s.table->reloadData();
    EXPECT_EQ(s.table->rectForHeaderInSection(0), makeRect(0, 0, 320, 38));
    EXPECT_EQ(s.table->rectForRowAtIndexPath({0, 1}), makeRect(0, 82, 320, 44));
    EXPECT_EQ(s.table->rectForHeaderInSection(1).y(), 126 + 18) << "after the first section's footer gap";
    EXPECT_EQ(s.table->rectForRowAtIndexPath({1, 0}).y(), 162);
    View* header = s.table->headerViewForSection(0);
    ASSERT_NE(header, nullptr);
    auto* caption = dynamic_cast<Label*>(header->subviews().at(0).get());
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "CURRENT");
    EXPECT_EQ(s.table->headerViewForSection(1), nullptr) << "an untitled header is only a gap";
    EXPECT_EQ(s.table->indexPathForRowAtPoint({10, 100}), (IndexPath{0, 1}));
    EXPECT_EQ(s.table->indexPathForRowAtPoint({10, 130}), std::nullopt);
}

TEST(TableView, PlainSectionHeaderStaysOnTopWhileItsRowsPass)
{
    Scene s(0);
    s.model.rows = {std::vector<std::string>(20, "x"), std::vector<std::string>(20, "y")};
    s.model.headers = {"First", "Second"};
    s.table->reloadData();
    s.table->setContentOffset({0, 300});
    EXPECT_EQ(s.table->headerViewForSection(0)->frame().y(), 300);
    const double secondTop = s.table->rectForHeaderInSection(1).y();
    s.table->setContentOffset({0, secondTop - 10});
    EXPECT_EQ(s.table->headerViewForSection(0)->frame().maxY(), secondTop) << "pushed up by the next header";
}

TEST(TableView, ScrollToRowPlacesIt)
{
    struct Case {
        TableViewScrollPosition position;
        double offset;
    };
    const Case cases[] = {
        {TableViewScrollPosition::Top, 50 * 44},
        {TableViewScrollPosition::Middle, 50 * 44 + 22 - 240},
        {TableViewScrollPosition::Bottom, 51 * 44 - 480},
        {TableViewScrollPosition::None, 51 * 44 - 480},
    };
    for (const Case& c : cases) {
        Scene s;
        s.table->scrollToRowAtIndexPath({0, 50}, c.position, false);
        EXPECT_EQ(s.table->contentOffset().y, c.offset);
        EXPECT_NE(s.table->cellForRowAtIndexPath({0, 50}), nullptr);
    }
    Scene s;
    s.table->scrollToRowAtIndexPath({0, 99}, TableViewScrollPosition::Top, false);
    EXPECT_EQ(s.table->contentOffset().y, 4400 - 480) << "not past the end";
    s.table->scrollToRowAtIndexPath({0, 2}, TableViewScrollPosition::Top, true);
    advance(1);
    EXPECT_EQ(s.table->contentOffset().y, 88);
    EXPECT_EQ(s.model.log, "") << "a scroll asked for in code is no deceleration";
}

TEST(TableView, RegisteredCellsComeFromTheirFactory)
{
    TableView table(makeRect(0, 0, 320, 480));
    EXPECT_EQ(table.dequeueReusableCellWithIdentifier("CustomCell"), nullptr);
    table.registerClass([] { return std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle); }, "CustomCell");
    auto cell = table.dequeueReusableCellWithIdentifier("CustomCell");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "CustomCell");
    EXPECT_EQ(cell->style(), TableViewCellStyle::Subtitle);
}

namespace {

// One 65-point row per section between 1.5-point header and footer views,
// the layout of a sensor list.
class OneRowSections : public Model {
public:
    OneRowSections()
        : Model(0)
    {
        rows.assign(30, {"sensor"});
    }
    double heightForRowAtIndexPath(TableView&, IndexPath) override { return 65; }
    double heightForHeaderInSection(TableView&, int) override { return 1.5; }
    double heightForFooterInSection(TableView&, int) override { return 1.5; }
    std::shared_ptr<View> viewForHeaderInSection(TableView&, int section) override
    {
        auto view = std::make_shared<View>();
        view->setTag(1000 + section);
        return view;
    }
};

} // namespace

TEST(TableView, DelegateHeightsHeaderViewsAndTableViews)
{
    auto window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    OneRowSections model;
    auto table = std::make_shared<TableView>(makeRect(0, 0, 320, 480), TableViewStyle::Grouped);
    auto top = std::make_shared<View>(makeRect(0, 0, 320, 0.01));
    table->setTableHeaderView(top);
    auto bottom = std::make_shared<View>(makeRect(0, 0, 320, 40));
    table->setTableFooterView(bottom);
    auto background = std::make_shared<View>();
    table->setBackgroundView(background);
    table->setDataSource(&model);
    table->setDelegate(&model);
    window->addSubview(table);

    EXPECT_DOUBLE_EQ(table->rectForRowAtIndexPath({2, 0}).y(), 0.01 + 2 * 68 + 1.5);
    EXPECT_DOUBLE_EQ(table->contentSize().height, 0.01 + 30 * 68 + 40);
    ASSERT_NE(table->headerViewForSection(1), nullptr);
    EXPECT_EQ(table->headerViewForSection(1)->tag(), 1001);
    EXPECT_EQ(table->headerViewForSection(20), nullptr) << "off screen";

    table->setContentOffset(table->maximumContentOffset());
    table->layoutIfNeeded();
    EXPECT_EQ(bottom->frame().maxY(), table->contentSize().height);
    EXPECT_EQ(background->frame(), table->bounds()) << "the background stays put";
    EXPECT_EQ(table->subviews().front(), background);
    EXPECT_EQ(table->indexPathsForVisibleRows().back(), (IndexPath{29, 0}));
}
