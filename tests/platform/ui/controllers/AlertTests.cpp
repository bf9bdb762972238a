#include "Screens.h"

#include "platform/ui/Button.h"
#include "support/ScreenShape.h"
#include "support/TestSupport.h"

using namespace ui;
using namespace controllertests;

namespace {

std::shared_ptr<AlertController> makeAlert(const std::string& title, std::vector<std::string>* chosen,
                                           AlertControllerStyle style = AlertControllerStyle::Alert)
{
    auto alert = AlertController::create(title, "Choose an option", style);
    for (const std::string name : {"Ok", "Cancel"}) {
        alert->addAction({name, name == "Cancel" ? AlertActionStyle::Cancel : AlertActionStyle::Default,
                          [chosen, title](const AlertAction& a) { chosen->push_back(title + ":" + a.title); }});
    }
    return alert;
}

// The button showing `title` among an alert's views.
Button* buttonTitled(View& view, const std::string& title)
{
    if (auto* button = dynamic_cast<Button*>(&view); button && button->currentTitle() == title)
        return button;
    for (const auto& child : view.subviews()) {
        if (Button* found = buttonTitled(*child, title))
            return found;
    }
    return nullptr;
}

class AlertTest : public ControllerTest {
protected:
    AlertTest()
    {
        home = screen("Home");
        root->setRootViewController(home);
        take();
    }
    std::shared_ptr<Screen> home;
    std::vector<std::string> chosen;
};

TEST_F(AlertTest, ALaterAlertWaitsForTheEarlierOne)
{
    auto first = makeAlert("First", &chosen);
    auto second = makeAlert("Second", &chosen);
    first->show();
    home->presentViewController(second, true);
    advance(1);
    EXPECT_EQ(AlertController::visible(), first);
    EXPECT_EQ(AlertController::queuedCount(), 1u);
    EXPECT_EQ(first->presentingViewController(), home.get());
    EXPECT_EQ(appearance(), Log{}) << "an alert leaves the screen beneath on view";

    EXPECT_TRUE(first->triggerAction("Ok"));
    EXPECT_EQ(chosen, (std::vector<std::string>{"First:Ok"}));
    advance(1);
    ASSERT_EQ(AlertController::visible(), second);
    EXPECT_EQ(second->title(), "Second");
    EXPECT_EQ(second->message(), "Choose an option");
    EXPECT_EQ(second->actionTitles(), (std::vector<std::string>{"Ok", "Cancel"}));
    EXPECT_EQ(AlertController::queuedCount(), 0u);

    EXPECT_TRUE(second->triggerAction("Cancel"));
    advance(1);
    EXPECT_EQ(AlertController::visible(), nullptr);
    EXPECT_EQ(home->presentedViewController(), nullptr);
    EXPECT_EQ(chosen, (std::vector<std::string>{"First:Ok", "Second:Cancel"}));
}

TEST_F(AlertTest, AnActionRunsItsHandlerOnce)
{
    auto alert = makeAlert("Once", &chosen);
    alert->show(false);
    advance(1);
    Button* ok = buttonTitled(*alert->view(), "Ok");
    ASSERT_NE(ok, nullptr);
    tap(*ok);
    EXPECT_FALSE(alert->triggerAction("Ok")) << "a dismissed alert takes no more actions";
    EXPECT_FALSE(AlertController::create("x", "y")->triggerAction("Ok"));
    advance(1);
    EXPECT_EQ(chosen, (std::vector<std::string>{"Once:Ok"}));
    EXPECT_FALSE(makeAlert("Missing", &chosen)->triggerAction("Nope"));
}

TEST_F(AlertTest, AnAlertShownFromAHandlerWaitsBehindThoseQueued)
{
    auto first = AlertController::create("First", "");
    auto queued = makeAlert("Queued", &chosen);
    auto fromHandler = makeAlert("FromHandler", &chosen);
    first->addAction({"Go", AlertActionStyle::Default, [&](const AlertAction&) { fromHandler->show(); }});
    first->show();
    queued->show();
    first->triggerAction("Go");
    EXPECT_EQ(AlertController::visible(), queued);
    queued->triggerAction("Ok");
    EXPECT_EQ(AlertController::visible(), fromHandler);
}

// The next alert goes over the screen that stays, not over the one still sliding away, whether it
// waited in the queue or came while the earlier one left (with nothing else holding that one).
TEST_F(AlertTest, AnAlertAfterAChoiceGoesOverTheScreenBeneath)
{
    auto second = makeAlert("Second", &chosen);
    {
        auto first = makeAlert("First", &chosen);
        first->show(false);
        second->show();
        first->triggerAction("Ok");
    }
    EXPECT_EQ(second->presentingViewController(), home.get());
    EXPECT_EQ(second->view()->window(), &window());

    second->triggerAction("Ok");
    auto third = makeAlert("Third", &chosen);
    third->show();
    EXPECT_EQ(third->presentingViewController(), home.get());
    EXPECT_EQ(third->view()->window(), &window());
    advance(1);
    EXPECT_EQ(home->presentedViewController(), third.get());
}

TEST_F(AlertTest, TextFieldsAndSheetsRender)
{
    auto alert = makeAlert("Name the track", &chosen);
    alert->addTextField([](TextField& field) { field.setPlaceholder("Track name"); });
    alert->show(false);
    ASSERT_EQ(alert->textFields().size(), 1u);
    EXPECT_EQ(alert->textFields()[0]->window(), &window());
    alert->textFields()[0]->setText("Home circuit");
    window().renderToImage().writePNG(testsupport::artifactsDir() / "alert-with-text-field.png");
    alert->triggerAction("Ok");
    advance(1);

    auto sheet = makeAlert("Adapter data", &chosen, AlertControllerStyle::ActionSheet);
    sheet->addAction({"Export all data", AlertActionStyle::Destructive, {}});
    sheet->addTextField();
    EXPECT_TRUE(sheet->textFields().empty()) << "sheets take no text fields";
    sheet->show(false);
    const Image image = window().renderToImage();
    image.writePNG(testsupport::artifactsDir() / "action-sheet.png");
    View* content = sheet->view()->subviews().front().get();
    EXPECT_GT(content->frame().minY(), window().bounds().height() / 2) << "a sheet rises from the bottom edge";
    ASSERT_NE(buttonTitled(*sheet->view(), "Cancel"), nullptr);
}

TEST_F(AlertTest, ASheetTakesTheFillAndCornersItIsGiven)
{
    auto sheet = makeAlert("Race track", &chosen, AlertControllerStyle::ActionSheet);
    sheet->setContentBackground(Color::black(), 15);
    sheet->show(false);
    const Image image = window().renderToImage();
    View& content = *sheet->view()->subviews().front();
    ASSERT_EQ(content.subviews().size(), 2u) << "the box and, apart, the cancel button's";
    for (const auto& box : content.subviews()) {
        EXPECT_EQ(box->backgroundColor(), Color::black());
        EXPECT_EQ(box->cornerRadius(), 15);
        const Point inside = box->convertPoint({4, box->bounds().height() / 2}, nullptr);
        EXPECT_EQ(image.pixel(int(inside.x), int(inside.y)), Color::black());
    }
}

// A screen may touch a sheet's view (to tint it) before it adds the actions: the sheet still shows every
// one of them, and a tap on one closes it.
TEST_F(AlertTest, ActionsAddedAfterTheViewWasTouchedAreShownAndClose)
{
    auto sheet = AlertController::create("Fuel export", "", AlertControllerStyle::ActionSheet);
    sheet->view()->setTintColor(Color::systemRed());
    for (const std::string name : {"Mail", "Save", "Cancel"}) {
        sheet->addAction({name, name == "Cancel" ? AlertActionStyle::Cancel : AlertActionStyle::Default,
                          [this](const AlertAction& a) { chosen.push_back(a.title); }});
    }
    sheet->show();
    advance(1);
    for (const char* shown : {"Fuel export", "Mail", "Save", "Cancel"})
        EXPECT_TRUE(testsupport::shows(window(), shown)) << shown;

    ASSERT_TRUE(testsupport::tapText(window(), "Save"));
    advance(1);
    EXPECT_EQ(AlertController::visible(), nullptr);
    EXPECT_FALSE(testsupport::shows(window(), "Fuel export"));
    EXPECT_EQ(chosen, (std::vector<std::string>{"Save"}));

    // Shown again with one more action, it shows that one too.
    sheet->addAction({"Print", AlertActionStyle::Default, {}});
    sheet->show(false);
    EXPECT_TRUE(testsupport::shows(window(), "Print"));
    ASSERT_TRUE(testsupport::tapText(window(), "Cancel"));
    advance(1);
    EXPECT_EQ(AlertController::visible(), nullptr);
}

// A screen that goes away by itself (a recording ending as its screen closes) takes the alert shown over it
// along: the alert comes back over the screen that stays, and the next one still waits for its answer.
TEST_F(AlertTest, AnAlertTakenAlongByItsScreenIsShownAgainOverTheOneThatStays)
{
    auto sheet = screen("Sheet");
    home->presentViewController(sheet, false);
    advance(1);
    auto saved = makeAlert("Saved", &chosen);
    saved->show();
    advance(1);
    ASSERT_EQ(saved->presentingViewController(), sheet.get());

    sheet->dismissViewController(true);
    advance(1);
    EXPECT_EQ(AlertController::visible(), saved);
    EXPECT_EQ(saved->view()->window(), &window());
    EXPECT_TRUE(testsupport::shows(window(), "Saved"));
    auto next = makeAlert("Next", &chosen);
    next->show();
    ASSERT_TRUE(testsupport::tapText(window(), "Ok"));
    advance(1);
    EXPECT_EQ(chosen, (std::vector<std::string>{"Saved:Ok"}));
    EXPECT_EQ(AlertController::visible(), next);
    EXPECT_TRUE(testsupport::shows(window(), "Next"));
}

// A screen that ends its work as it goes (a recording saved when its settings close) shows an alert from the
// end of its exit: the alert goes over the screen that stays, not over the one leaving.
class AlertOnExit : public ui::ViewController {
public:
    explicit AlertOnExit(std::shared_ptr<AlertController> alert) : alert_(std::move(alert)) {}
    void viewDidDisappear(bool animated) override
    {
        ui::ViewController::viewDidDisappear(animated);
        alert_->show();
    }

private:
    std::shared_ptr<AlertController> alert_;
};

TEST_F(AlertTest, AnAlertShownAsAScreenLeavesGoesOverTheScreenThatStays)
{
    auto saved = makeAlert("Saved", &chosen);
    auto settings = std::make_shared<AlertOnExit>(saved);
    home->presentViewController(settings, false);
    advance(1);
    settings->dismissViewController(true);
    advance(1);
    EXPECT_EQ(AlertController::visible(), saved);
    EXPECT_EQ(saved->view()->window(), &window());
    ASSERT_TRUE(testsupport::tapText(window(), "Ok"));
    EXPECT_EQ(chosen, (std::vector<std::string>{"Saved:Ok"}));
}

// A message far taller than the window scrolls inside the alert: the title and the button stay on screen.
// Buttons too many for the window scroll with the texts, which show first.
TEST_F(AlertTest, AnAlertTallerThanTheWindowKeepsItsTitleAndButtonOnScreen)
{
    auto alert = makeAlert("Too long", &chosen);
    alert->setMessage(std::string(3000, 'n'));
    alert->show(false);
    for (const auto& shape : {testsupport::phonePortrait, testsupport::phoneLandscape, testsupport::pad}) {
        Device::current().setIdiom(shape.idiom);
        root->setSize(shape.size);
        for (const char* text : {"Too long", "Ok"}) {
            const auto frame = testsupport::frameOfText(window(), text);
            EXPECT_TRUE(frame && window().bounds().contains(*frame)) << text << " on " << shape.name;
        }
    }
    ASSERT_TRUE(testsupport::tapText(window(), "Ok"));
    auto sheet = AlertController::create("Choose", "One of eight", AlertControllerStyle::ActionSheet);
    for (const char* name : {"7E8", "7E9", "7EA", "7EB", "7EC", "7ED", "7EE", "7EF"})
        sheet->addAction({name});
    sheet->show(false);
    Device::current().setIdiom(testsupport::phoneLandscape.idiom);
    root->setSize(testsupport::phoneLandscape.size);
    for (const char* text : {"Choose", "One of eight", "7E8"})
        EXPECT_GE(testsupport::frameOfText(window(), text).value_or(Rect{{0, -1}, {}}).minY(), 0) << text;
}

TEST_F(AlertTest, WithoutAWindowTheAlertIsStillReadable)
{
    root.reset();
    auto alert = makeAlert("Headless", &chosen);
    alert->show();
    EXPECT_EQ(AlertController::visible(), alert);
    EXPECT_TRUE(alert->triggerAction("Cancel"));
    EXPECT_EQ(chosen, (std::vector<std::string>{"Headless:Cancel"}));
}

} // namespace
