#include "platform/foundation/RunLoop.h"
#include "platform/ui/ActivityIndicator.h"
#include "platform/ui/Button.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include "platform/ui/drawing/Pixels.h"

#include <map>

using namespace ui;

namespace {

// Sends one finger's phase straight to a view, at a point in window coordinates.
void finger(View& view, TouchPhase phase, Point location)
{
    Touch touch;
    touch.id = 1;
    touch.location = location;
    touch.phase = phase;
    const std::vector<Touch> touches{touch};
    switch (phase) {
    case TouchPhase::Began: view.touchesBegan(touches); break;
    case TouchPhase::Moved: view.touchesMoved(touches); break;
    case TouchPhase::Ended: view.touchesEnded(touches); break;
    default: view.touchesCancelled(touches); break;
    }
}

void tap(View& view, Point location)
{
    finger(view, TouchPhase::Began, location);
    finger(view, TouchPhase::Ended, location);
}

// Counts the events a control sends.
struct Events {
    std::map<ControlEvent, int> counts;
    void watch(Control& control)
    {
        for (ControlEvent e : {ControlEvent::TouchDown, ControlEvent::TouchUpInside, ControlEvent::TouchUpOutside,
                               ControlEvent::TouchCancel, ControlEvent::ValueChanged, ControlEvent::EditingDidBegin,
                               ControlEvent::EditingChanged, ControlEvent::EditingDidEnd})
            control.addTarget(e, [this, e](Control&) { ++counts[e]; });
    }
    int operator[](ControlEvent e) const { return counts.contains(e) ? counts.at(e) : 0; }
};

} // namespace

TEST(Button, TouchUpInsideOnlyWhenReleasedInside)
{
    struct Case {
        const char* name;
        Point release;
        int upInside;
        int upOutside;
    };
    for (const Case& c : {Case{"inside", {20, 10}, 1, 0}, Case{"outside", {120, 10}, 0, 1},
                          Case{"dragged out and back", {30, 15}, 1, 0}}) {
        SCOPED_TRACE(c.name);
        auto button = std::make_shared<Button>(ButtonType::System, makeRect(0, 0, 80, 30));
        Events events;
        events.watch(*button);
        finger(*button, TouchPhase::Began, {10, 10});
        EXPECT_TRUE(button->isHighlighted());
        finger(*button, TouchPhase::Moved, {150, 10});
        EXPECT_FALSE(button->isHighlighted());
        finger(*button, TouchPhase::Moved, c.release);
        finger(*button, TouchPhase::Ended, c.release);
        EXPECT_FALSE(button->isHighlighted());
        EXPECT_EQ(events[ControlEvent::TouchDown], 1);
        EXPECT_EQ(events[ControlEvent::TouchUpInside], c.upInside);
        EXPECT_EQ(events[ControlEvent::TouchUpOutside], c.upOutside);
    }
}

TEST(Button, CancelledOrDisabledSendsNoTouchUp)
{
    auto button = std::make_shared<Button>(ButtonType::Custom, makeRect(0, 0, 80, 30));
    Events events;
    events.watch(*button);
    finger(*button, TouchPhase::Began, {10, 10});
    finger(*button, TouchPhase::Cancelled, {10, 10});
    finger(*button, TouchPhase::Ended, {10, 10});
    EXPECT_EQ(events[ControlEvent::TouchCancel], 1);
    EXPECT_EQ(events[ControlEvent::TouchUpInside], 0);
    button->setEnabled(false);
    tap(*button, {10, 10});
    EXPECT_EQ(events[ControlEvent::TouchDown], 1);
}

TEST(Button, PerStateValuesFallBackToNormal)
{
    Button button(ButtonType::Custom);
    button.setTitle("Start");
    button.setTitle("Stop", ControlState::Selected);
    button.setTitleColor(Color::red(), ControlState::Highlighted);
    EXPECT_EQ(button.currentTitle(), "Start");
    EXPECT_EQ(button.currentTitleColor(), Color::white());
    button.setSelected(true);
    EXPECT_EQ(button.currentTitle(), "Stop");
    button.setHighlighted(true);
    EXPECT_EQ(button.currentTitle(), "Stop"); // highlighted while selected: the selected title
    EXPECT_EQ(button.currentTitleColor(), Color::red());
    button.setEnabled(false);
    EXPECT_EQ(button.state(), ControlState::Disabled);
    EXPECT_EQ(button.currentTitleColor(), Color::white());
    button.setTitle(std::nullopt, ControlState::Selected);
    EXPECT_EQ(button.currentTitle(), "Start");

    Button system(ButtonType::System);
    system.setTintColor(Color::orange());
    EXPECT_EQ(system.currentTitleColor(), Color::orange());
}

TEST(Button, DrawsItsTitleInTheTitleColour)
{
    auto button = std::make_shared<Button>(ButtonType::Custom, makeRect(0, 0, 100, 40));
    button->setBackgroundColor(Color::black());
    button->setTitle("WWW");
    button->setTitleFont(Font::boldSystemFont(24));
    const Image image = button->renderToImage();
    drawingtest::keep(image, "button-title");
    int white = 0;
    for (int x = 0; x < 100; ++x)
        white += image.pixel(x, 20).r > 0.9 ? 1 : 0;
    EXPECT_GT(white, 5);
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(2, 20), Color::black()));
}

TEST(SegmentedControl, OnlyTheUserChangingTheSelectionSendsValueChanged)
{
    auto control = std::make_shared<SegmentedControl>(std::vector<std::string>{"Map", "Track", "List"});
    control->setFrame(makeRect(0, 0, 150, 30));
    Events events;
    events.watch(*control);
    control->setSelectedSegmentIndex(1);
    EXPECT_EQ(events[ControlEvent::ValueChanged], 0);
    tap(*control, {125, 15});
    EXPECT_EQ(control->selectedSegmentIndex(), 2);
    EXPECT_EQ(events[ControlEvent::ValueChanged], 1);
    tap(*control, {140, 15}); // the selected segment again
    EXPECT_EQ(events[ControlEvent::ValueChanged], 1);
    control->setSelectedSegmentIndex(9);
    EXPECT_EQ(control->selectedSegmentIndex(), SegmentedControl::noSegment);
    EXPECT_EQ(control->titleForSegment(1), "Track");
    EXPECT_EQ(control->titleForSegment(5), "");
    drawingtest::keep(control->renderToImage(2), "segmented-control");
}

TEST(SegmentedControl, TheSelectedSegmentTakesItsOwnTint)
{
    auto control = std::make_shared<SegmentedControl>(std::vector<std::string>{"Drag", "Track"});
    control->setFrame(makeRect(0, 0, 120, 30));
    control->setTintColor(Color::white(2.0 / 3));
    control->setSelectedSegmentIndex(1);
    EXPECT_TRUE(drawingtest::sameColor(control->renderToImage(1).pixel(115, 4), Color::white(2.0 / 3))) << "no selected tint: the tint";
    const Color accent = Color::rgb255(205, 40, 70);
    control->setSelectedSegmentTintColor(accent);
    const Image image = control->renderToImage(1);
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(115, 4), accent));
    EXPECT_FALSE(drawingtest::isInk(image.pixel(5, 4))) << "the other segment stays unfilled";
    drawingtest::keep(image, "segmented-control-selected-tint");
}

TEST(Switch, ATapTogglesAndReportsButCodeDoesNot)
{
    auto toggle = std::make_shared<Switch>();
    EXPECT_EQ(toggle->bounds().size, (Size{51, 31}));
    Events events;
    events.watch(*toggle);
    tap(*toggle, {20, 15});
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(events[ControlEvent::ValueChanged], 1);
    toggle->setOn(false);
    EXPECT_EQ(events[ControlEvent::ValueChanged], 1);
    finger(*toggle, TouchPhase::Began, {20, 15});
    finger(*toggle, TouchPhase::Ended, {200, 15}); // released away: no toggle
    EXPECT_FALSE(toggle->isOn());
    toggle->setOn(true);
    toggle->setOnTintColor(Color::red());
    const Image image = toggle->renderToImage();
    drawingtest::keep(image, "switch-on");
    EXPECT_TRUE(drawingtest::sameColor(image.pixel(8, 15), Color::red()));
    // Off, its outline takes a tint given to the switch itself, not one it inherits.
    toggle->setOn(false);
    auto holder = std::make_shared<View>();
    holder->setTintColor(Color::blue());
    holder->addSubview(toggle);
    EXPECT_TRUE(drawingtest::sameColor(toggle->renderToImage().pixel(25, 0), Color::white(0.9)));
    toggle->setTintColor(Color::red());
    EXPECT_TRUE(drawingtest::sameColor(toggle->renderToImage().pixel(25, 0), Color::red()));
}

TEST(Slider, FollowsTheFingerContinuouslyOrOnceAtTheEnd)
{
    for (bool continuous : {true, false}) {
        SCOPED_TRACE(continuous);
        auto slider = std::make_shared<Slider>(makeRect(0, 0, 128, 31));
        slider->setMinimumValue(10);
        slider->setMaximumValue(20);
        slider->setContinuous(continuous);
        Events events;
        events.watch(*slider);
        finger(*slider, TouchPhase::Began, {14, 15});
        finger(*slider, TouchPhase::Moved, {64, 15});
        finger(*slider, TouchPhase::Moved, {300, 15});
        finger(*slider, TouchPhase::Ended, {300, 15});
        EXPECT_FLOAT_EQ(slider->value(), 20);
        EXPECT_EQ(events[ControlEvent::ValueChanged], continuous ? 2 : 1);
    }
    Slider slider;
    slider.setValue(5);
    EXPECT_FLOAT_EQ(slider.value(), 1); // clamped to the default range
}

TEST(PageControl, TapsStepOnePageTowardsTheTappedSide)
{
    auto pages = std::make_shared<PageControl>(makeRect(0, 0, 200, 37));
    pages->setNumberOfPages(3);
    Events events;
    events.watch(*pages);
    tap(*pages, {180, 18});
    EXPECT_EQ(pages->currentPage(), 1);
    tap(*pages, {180, 18});
    tap(*pages, {180, 18}); // already at the last page
    EXPECT_EQ(pages->currentPage(), 2);
    EXPECT_EQ(events[ControlEvent::ValueChanged], 2);
    tap(*pages, {10, 18});
    EXPECT_EQ(pages->currentPage(), 1);
    pages->setCurrentPage(7);
    EXPECT_EQ(pages->currentPage(), 2);
    EXPECT_EQ(events[ControlEvent::ValueChanged], 3);
}

TEST(ActivityIndicator, SpinsOnTheRunLoopClockAndHidesWhenStopped)
{
    auto spinner = std::make_shared<ActivityIndicator>(ActivityIndicatorStyle::Large);
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimating();
    EXPECT_FALSE(spinner->isHidden());
    EXPECT_EQ(spinner->step(), 0);
    fnd::RunLoop::main().advance(0.3);
    EXPECT_EQ(spinner->step(), 3);
    drawingtest::keep(spinner->renderToImage(2), "activity-indicator");
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    fnd::RunLoop::main().advance(0.5);
    EXPECT_EQ(spinner->step(), 3);
    spinner->setHidesWhenStopped(false);
    EXPECT_FALSE(spinner->isHidden());
}

namespace {

struct RecordingDelegate : TextFieldDelegate {
    std::vector<std::string> calls;
    bool endOnReturn = false;
    void textFieldDidBeginEditing(TextField&) override { calls.push_back("begin"); }
    void textFieldDidEndEditing(TextField& field) override { calls.push_back("end:" + field.text()); }
    bool textFieldShouldReturn(TextField& field) override
    {
        calls.push_back("return");
        if (endOnReturn)
            field.resignFirstResponder();
        return true;
    }
};

void type(TextField& field, const std::string& text) { field.keyPressed({Key::Character, text}); }

} // namespace

TEST(TextField, ATapStartsEditingAndReturnGoesToTheDelegate)
{
    auto field = std::make_shared<TextField>(makeRect(0, 0, 160, 30));
    RecordingDelegate delegate;
    field->setDelegate(&delegate);
    Events events;
    events.watch(*field);
    type(*field, "ignored"); // not editing yet
    tap(*field, {20, 15});
    EXPECT_TRUE(field->isEditing());
    type(*field, "Lap 1");
    field->keyPressed({Key::Return, ""});
    EXPECT_TRUE(field->isEditing()); // the delegate did not end it
    delegate.endOnReturn = true;
    field->keyPressed({Key::Return, ""});
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"begin", "return", "return", "end:Lap 1"}));
    EXPECT_EQ(events[ControlEvent::EditingDidBegin], 1);
    EXPECT_EQ(events[ControlEvent::EditingChanged], 1);
    EXPECT_EQ(events[ControlEvent::EditingDidEnd], 1);
    field->setText("set in code");
    EXPECT_EQ(events[ControlEvent::EditingChanged], 1);
}

// A hardware keyboard types every character whatever the keyboard type: the screen reading a number
// refuses "1.5e3" as a whole rather than getting "153".
TEST(TextField, EveryKeyboardKeepsWhatIsTypedButLineBreaks)
{
    for (const KeyboardType keyboard : {KeyboardType::NumberPad, KeyboardType::DecimalPad, KeyboardType::PhonePad,
                                        KeyboardType::Default}) {
        auto field = std::make_shared<TextField>(makeRect(0, 0, 100, 30));
        field->setKeyboardType(keyboard);
        ASSERT_TRUE(field->becomeFirstResponder());
        type(*field, "1x2");
        field->insertText(".+5e\n");
        EXPECT_EQ(field->text(), "1x2.+5e");
        field->resignFirstResponder();
    }
}

TEST(TextField, ControlASelectsAllAndTypingReplacesTheSelection)
{
    auto field = std::make_shared<TextField>(makeRect(0, 0, 160, 30));
    field->setText("35000");
    ASSERT_TRUE(field->becomeFirstResponder());
    field->keyPressed({Key::Character, "a", false, true, false});
    EXPECT_EQ(field->text(), "35000"); // the shortcut types nothing
    type(*field, "4242");
    EXPECT_EQ(field->text(), "4242");

    field->keyPressed({Key::Character, "a", false, true, false});
    field->keyPressed({Key::Backspace, ""});
    EXPECT_EQ(field->text(), "");
    type(*field, "ab");
    field->keyPressed({Key::Character, "a", false, true, false});
    field->keyPressed({Key::Left, ""}); // an arrow ends the selection at its start
    type(*field, "x");
    EXPECT_EQ(field->text(), "xab");
}

TEST(TextField, EditingKeysWorkOnWholeCharacters)
{
    auto field = std::make_shared<TextField>(makeRect(0, 0, 100, 30));
    field->setText("caf\u00e9s");
    ASSERT_TRUE(field->becomeFirstResponder());
    field->keyPressed({Key::Backspace, ""});
    field->keyPressed({Key::Backspace, ""});
    EXPECT_EQ(field->text(), "caf");
    field->keyPressed({Key::Left, ""});
    field->keyPressed({Key::Left, ""});
    type(*field, "\u00fc");
    field->keyPressed({Key::Delete, ""});
    EXPECT_EQ(field->text(), "c\u00fcf");
    field->keyPressed({Key::Home, ""});
    field->keyPressed({Key::Backspace, ""});
    EXPECT_EQ(field->text(), "c\u00fcf");
}

TEST(TextField, ClearsOnBeginAndEndsWhenHiddenOrRemoved)
{
    auto root = std::make_shared<View>(makeRect(0, 0, 200, 200));
    auto field = std::make_shared<TextField>(makeRect(0, 0, 100, 30));
    root->addSubview(field);
    RecordingDelegate delegate;
    field->setDelegate(&delegate);
    field->setText("old");
    field->setClearsOnBeginEditing(true);
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(field->text(), "");
    type(*field, "new");
    root->setHidden(true);
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(delegate.calls.back(), "end:new");
    root->setHidden(false);
    field->becomeFirstResponder();
    field->removeFromSuperview();
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(delegate.calls.size(), 4u);
}

TEST(TextField, DrawsPlaceholderOrTextAndSecureBullets)
{
    auto field = std::make_shared<TextField>(makeRect(0, 0, 160, 30));
    field->setBorderStyle(TextBorderStyle::RoundedRect);
    field->setPlaceholder("Enter command here");
    drawingtest::keep(field->renderToImage(2), "text-field-placeholder");
    field->setSecureTextEntry(true);
    field->setText("secret");
    EXPECT_EQ(field->sizeThatFits({}).width, std::max(0.0, field->font().widthOf("\u2022\u2022\u2022\u2022\u2022\u2022") + 14));
    drawingtest::keep(field->renderToImage(2), "text-field-secure");
}

TEST(TextView, ScrollsToItsEndAndEditsOnlyWhenEditable)
{
    auto view = std::make_shared<TextView>(makeRect(0, 0, 200, 100));
    view->setEditable(false);
    std::string text = "> 0100";
    for (int i = 0; i < 30; ++i)
        text += "\n> 41 00 be 3f a8 13 ";
    view->setText(text);
    EXPECT_GT(view->contentSize().height, 100);
    view->scrollToEnd();
    EXPECT_NEAR(view->contentOffset().y, view->contentSize().height - 100, 1e-9);
    drawingtest::keep(view->renderToImage(), "text-view-end");
    view->setContentOffset({0, -50});
    EXPECT_EQ(view->contentOffset().y, 0);

    EXPECT_FALSE(view->becomeFirstResponder());
    view->setEditable(true);
    tap(*view, {10, 10});
    EXPECT_TRUE(view->isFirstResponder());
    view->keyPressed({Key::Return, ""});
    view->insertText("ok");
    EXPECT_TRUE(view->text().ends_with("\nok"));
    view->resignFirstResponder();
}
