// What --dump-text prints: the texts on screen, as the user reads them.

#include "Screens.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Toast.h"
#include "platform/ui/VisibleText.h"

#include <algorithm>
#include <map>

using namespace ui;
using namespace controllertests;

namespace {

std::shared_ptr<Label> label(View& parent, const std::string& text, Rect frame)
{
    auto made = std::make_shared<Label>(frame);
    made->setText(text);
    parent.addSubview(made);
    return made;
}

class VisibleTextTest : public ControllerTest {
protected:
    VisibleTextTest()
    {
        home = screen("Home");
        root->setRootViewController(home);
        home->view()->setBackgroundColor(Color::white());
    }
    View& view() { return *home->view(); }
    std::shared_ptr<Screen> home;
};

// Rows from the top, left to right within a row, whatever order the views were added in; a text a little
// lower on the same row (another font) stays in its row.
TEST_F(VisibleTextTest, TextsComeInReadingOrder)
{
    label(view(), "Value", makeRect(250, 103, 100, 20));
    label(view(), "Second row", makeRect(20, 160, 200, 20));
    label(view(), "Title", makeRect(20, 100, 100, 20));
    auto button = std::make_shared<Button>(ButtonType::System, makeRect(20, 300, 120, 44));
    button->setTitle("Connect");
    view().addSubview(button);
    label(view(), "Two lines\nof text", makeRect(200, 200, 150, 60))->setNumberOfLines(0);

    EXPECT_EQ(visibleTexts(window()),
              (std::vector<std::string>{"Title", "Value", "Second row", "Two lines", "of text", "Connect"}));
}

// Only what the user can see: hidden, transparent, clipped away, off the window or under an opaque view
// is left out; a see-through view over a text leaves it readable.
TEST_F(VisibleTextTest, TextsNobodyCanSeeAreLeftOut)
{
    label(view(), "Shown", makeRect(20, 100, 100, 20));
    label(view(), "Hidden", makeRect(20, 130, 100, 20))->setHidden(true);
    label(view(), "Faded out", makeRect(20, 160, 100, 20))->setAlpha(0);
    label(view(), "Off the window", makeRect(500, 190, 100, 20));
    auto box = std::make_shared<View>(makeRect(20, 220, 100, 30));
    box->setClipsToBounds(true);
    label(*box, "Clipped away", makeRect(0, 40, 100, 20));
    label(*box, "In the box", makeRect(0, 5, 100, 20));
    view().addSubview(box);
    label(view(), "Under a cover", makeRect(20, 300, 100, 20));
    auto cover = std::make_shared<View>(makeRect(10, 290, 200, 40));
    cover->setBackgroundColor(Color::black());
    view().addSubview(cover);
    label(view(), "Under a veil", makeRect(20, 400, 150, 20));
    auto veil = std::make_shared<View>(makeRect(10, 390, 200, 40));
    veil->setBackgroundColor(Color::black().withAlpha(0.4));
    view().addSubview(veil);
    label(view(), "Under a faded cover", makeRect(20, 500, 180, 20));
    auto faded = std::make_shared<View>(makeRect(10, 490, 200, 40));
    faded->setBackgroundColor(Color::black());
    faded->setAlpha(0.5);
    view().addSubview(faded);

    EXPECT_EQ(visibleTexts(window()),
              (std::vector<std::string>{"Shown", "In the box", "Under a veil", "Under a faded cover"}));
}

TEST_F(VisibleTextTest, AlertsAndToastsAreRead)
{
    label(view(), "Beneath", makeRect(20, 100, 100, 20));
    makeToast(view(), "Recording has started", 3.0, ToastPosition::Bottom);
    auto alert = AlertController::create("Connection lost", "The adapter stopped answering", AlertControllerStyle::Alert);
    alert->addAction({"Ok", AlertActionStyle::Default, {}});
    alert->show(false);
    advance(0.5);

    const auto texts = visibleTexts(window());
    for (const char* text : {"Beneath", "Connection lost", "The adapter stopped answering", "Ok", "Recording has started"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
    const auto at = [&](const char* text) { return std::find(texts.begin(), texts.end(), text) - texts.begin(); };
    EXPECT_LT(at("Connection lost"), at("The adapter stopped answering"));
    EXPECT_LT(at("The adapter stopped answering"), at("Ok"));
}

// Every way a text shows less than itself is told: elided in its label or button, clipped across by a
// view that clips, or spilling out of a label far too short for its font. Texts that fit are whole.
TEST_F(VisibleTextTest, CutTextsAreTold)
{
    label(view(), "Fits", makeRect(20, 100, 200, 24));
    label(view(), "Calculation method", makeRect(20, 130, 60, 24));
    auto tall = label(view(), "43", makeRect(20, 160, 100, 25.6));
    tall->setFont(Font::systemFont(43));
    auto button = std::make_shared<Button>(ButtonType::System, makeRect(20, 220, 50, 44));
    button->setTitle("Results");
    view().addSubview(button);
    auto box = std::make_shared<View>(makeRect(20, 300, 40, 30));
    box->setClipsToBounds(true);
    view().addSubview(box);
    label(*box, "Clipped across", makeRect(0, 0, 200, 30));
    auto wrapped = label(view(), "Two lines that wrap in their label", makeRect(20, 400, 150, 60));
    wrapped->setNumberOfLines(0);

    std::map<std::string, bool> cut;
    for (const ShownText& shown : visibleTextFrames(window()))
        cut[shown.text] = shown.cut;
    EXPECT_FALSE(cut.at("Fits"));
    EXPECT_TRUE(std::any_of(cut.begin(), cut.end(), [](const auto& t) { return t.first.starts_with("Calc") && t.second; }));
    EXPECT_TRUE(cut.at("43"));
    EXPECT_TRUE(std::any_of(cut.begin(), cut.end(), [](const auto& t) { return t.first.starts_with("Re") && t.first != "Results" && t.second; }));
    EXPECT_TRUE(cut.at("Clipped across"));
    EXPECT_FALSE(cut.at("Two lines that")) << "wrapping shows every word";
}

} // namespace
