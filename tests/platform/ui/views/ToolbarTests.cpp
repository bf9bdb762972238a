#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"

#include "support/Input.h"

#include <gtest/gtest.h>

using namespace ui;
using testsupport::tap;

namespace {

std::shared_ptr<BarButtonItem> titled(const std::string& title, BarButtonItemStyle style, int* taps = nullptr)
{
    return std::make_shared<BarButtonItem>(title, style, [taps](BarButtonItem&) {
        if (taps)
            ++*taps;
    });
}

std::shared_ptr<BarButtonItem> space(SystemItem kind, double width = 0)
{
    auto item = std::make_shared<BarButtonItem>(kind, BarButtonItem::Action{});
    item->setWidth(width);
    return item;
}

struct Screen {
    std::shared_ptr<Window> window = std::make_shared<Window>(makeRect(0, 0, 320, 480));
    std::shared_ptr<Toolbar> toolbar = std::make_shared<Toolbar>(makeRect(0, 200, 320, 50));
    Screen()
    {
        window->addSubview(toolbar);
    }
};

} // namespace

TEST(Toolbar, PlacesItemsFromTheLeftWithSpacesTakingTheirShare)
{
    auto cancel = titled("Cancel", BarButtonItemStyle::Plain);
    auto apply = titled("Apply", BarButtonItemStyle::Done);
    auto other = titled("Other", BarButtonItemStyle::Plain);
    struct Case {
        const char* name;
        BarButtonItems items;
    };
    const Case cases[] = {
        {"no space", {cancel, apply}},
        {"flexible", {cancel, space(SystemItem::FlexibleSpace), apply}},
        {"fixed", {cancel, space(SystemItem::FixedSpace, 20), apply}},
        {"two flexible", {cancel, space(SystemItem::FlexibleSpace), other, space(SystemItem::FlexibleSpace), apply}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Screen screen;
        screen.toolbar->setItems(c.items);
        screen.window->layoutIfNeeded();
        screen.toolbar->layoutIfNeeded();
        View* first = screen.toolbar->viewForItem(*cancel);
        View* last = screen.toolbar->viewForItem(*apply);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(last, nullptr);
        EXPECT_DOUBLE_EQ(first->frame().minX(), 8);
        EXPECT_DOUBLE_EQ(first->frame().midY(), 25); // centred in the bar's height
        const double afterFirst = first->frame().maxX() + 8;
        const std::string name = c.name;
        if (name == "no space")
            EXPECT_DOUBLE_EQ(last->frame().minX(), afterFirst);
        else if (name == "fixed")
            EXPECT_DOUBLE_EQ(last->frame().minX(), afterFirst + 20);
        else
            EXPECT_DOUBLE_EQ(last->frame().maxX(), 312);
        if (name == "two flexible") {
            View* middle = screen.toolbar->viewForItem(*other);
            ASSERT_NE(middle, nullptr);
            EXPECT_NEAR(middle->frame().minX() - first->frame().maxX(), last->frame().minX() - middle->frame().maxX(), 1e-9);
        }
    }
}

TEST(Toolbar, TappingAnItemRunsItsActionEvenWhenTheActionReplacesTheItems)
{
    Screen screen;
    int cancelTaps = 0;
    auto cancel = titled("Cancel", BarButtonItemStyle::Plain, &cancelTaps);
    auto done = titled("Done", BarButtonItemStyle::Done);
    cancel->setAction([&](BarButtonItem&) {
        ++cancelTaps;
        screen.toolbar->setItems({done});
    });
    screen.toolbar->setItems({cancel});
    screen.toolbar->layoutIfNeeded();
    const Rect frame = screen.toolbar->viewForItem(*cancel)->frame();
    tap(*screen.window, screen.toolbar->convertPoint({frame.midX(), frame.midY()}, nullptr));
    EXPECT_EQ(cancelTaps, 1);
    EXPECT_EQ(screen.toolbar->viewForItem(*cancel), nullptr);
    EXPECT_NE(screen.toolbar->viewForItem(*done), nullptr);
}

TEST(Toolbar, FollowsChangesOfItsItemsUntilTheyAreReplaced)
{
    Screen screen;
    auto item = titled("Go", BarButtonItemStyle::Plain);
    screen.toolbar->setItems({item});
    screen.toolbar->layoutIfNeeded();
    const double narrow = screen.toolbar->viewForItem(*item)->frame().width();
    item->setTitle("Go somewhere far away");
    screen.toolbar->layoutIfNeeded();
    EXPECT_GT(screen.toolbar->viewForItem(*item)->frame().width(), narrow);

    screen.toolbar->setItems({});
    item->setTitle("Changed after removal");
    EXPECT_EQ(screen.toolbar->viewForItem(*item), nullptr);

    // An item outliving its bar changes without reaching the bar.
    {
        auto shortLived = std::make_shared<Toolbar>(makeRect(0, 0, 320, 44));
        shortLived->setItems({item});
    }
    item->setTitle("Changed after the bar went");
}

TEST(TextFieldAccessory, ShowsAtTheWindowBottomOnlyWhileEditing)
{
    Screen screen;
    auto field = std::make_shared<TextField>(makeRect(10, 10, 100, 30));
    screen.window->addSubview(field);
    auto bar = std::make_shared<Toolbar>(makeRect(0, 0, 320, 50));
    auto apply = titled("Apply", BarButtonItemStyle::Done);
    apply->setAction([&](BarButtonItem&) { field->resignFirstResponder(); });
    bar->setItems({space(SystemItem::FlexibleSpace), apply});
    field->setInputAccessoryView(bar);
    EXPECT_EQ(bar->superview(), nullptr);

    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(bar->superview(), screen.window.get());
    EXPECT_EQ(bar->frame(), makeRect(0, 430, 320, 50));

    // The accessory's own button ends editing: the bar goes while its button runs.
    bar->layoutIfNeeded();
    const Rect frame = bar->viewForItem(*apply)->frame();
    tap(*screen.window, bar->convertPoint({frame.midX(), frame.midY()}, nullptr));
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(bar->superview(), nullptr);

    // Editing that ends because the field leaves the window takes the bar too.
    ASSERT_TRUE(field->becomeFirstResponder());
    field->removeFromSuperview();
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(bar->superview(), nullptr);
}

TEST(TextFieldAccessory, ReplacingItWhileEditingSwapsWhatShows)
{
    Screen screen;
    auto field = std::make_shared<TextField>(makeRect(10, 10, 100, 30));
    screen.window->addSubview(field);
    auto first = std::make_shared<View>(makeRect(0, 0, 10, 40));
    auto second = std::make_shared<View>(makeRect(0, 0, 10, 60));
    field->setInputAccessoryView(first);
    ASSERT_TRUE(field->becomeFirstResponder());
    field->setInputAccessoryView(second);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_EQ(second->superview(), screen.window.get());
    EXPECT_EQ(second->frame(), makeRect(0, 420, 320, 60));
    field->setInputAccessoryView(nullptr);
    EXPECT_EQ(second->superview(), nullptr);
    EXPECT_TRUE(field->isEditing());
}
