// The walker's checks, each on a small screen with its fault planted, and on the same screen without it.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/walker/ScreenChecks.h"
#include "app/walker/ScreenWalker.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Context.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "shell/app/ShellAppTest.h"
#include "support/TestSupport.h"

namespace {

// A screen built by the test on a dark background.
class PlantedScreen : public ui::ViewController {
public:
    explicit PlantedScreen(std::function<void(ui::View&)> build) : build_(std::move(build)) {}

protected:
    void viewDidLoad() override
    {
        view()->setBackgroundColor(ui::Color::white(0.1));
        build_(*view());
    }

private:
    std::function<void(ui::View&)> build_;
};

std::vector<std::string> checksFound(const std::vector<walker::Finding>& findings)
{
    std::vector<std::string> checks;
    for (const walker::Finding& finding : findings)
        checks.push_back(finding.check + ": " + finding.detail);
    return checks;
}

bool found(const std::vector<walker::Finding>& findings, const std::string& check)
{
    return std::any_of(findings.begin(), findings.end(), [&](const walker::Finding& f) { return f.check == check; });
}

std::shared_ptr<ui::Label> label(ui::View& parent, const std::string& text, ui::Color color, ui::Rect frame)
{
    auto shown = std::make_shared<ui::Label>(frame);
    shown->setText(text);
    shown->setFont(ui::Font::systemFont(10));
    shown->setTextColor(color);
    parent.addSubview(shown);
    return shown;
}

// Paints a band across its middle in draw(), or nothing.
class Band : public ui::View {
public:
    using ui::View::View;
    bool paintsBand = true;

    void draw(ui::Context& context, ui::Rect) override
    {
        context.setFillColor(ui::Color::white(0.2));
        if (paintsBand)
            context.fillRect({{0, bounds().height() / 2 - 5}, {bounds().width(), 10}});
    }
};

class ScreenChecks : public ::testing::Test {
protected:
    void TearDown() override { ui::AlertController::dismissAll(); }

    // The screen on view in a phone-sized window.
    ui::View& show(std::function<void(ui::View&)> build)
    {
        window = std::make_unique<ui::RootWindow>(ui::Size{390, 844});
        window->setRootViewController(std::make_shared<PlantedScreen>(std::move(build)));
        window->window().layoutIfNeeded();
        return window->window();
    }

    std::unique_ptr<ui::RootWindow> window;
};

// A separator line across the middle of the text below it, which a text in the background's colour crosses.
void separator(ui::View& parent)
{
    const auto line = std::make_shared<ui::View>(ui::Rect{{0, 149}, {390, 2}});
    line->setBackgroundColor(ui::Color::white(0.8));
    parent.addSubview(line);
}

TEST_F(ScreenChecks, ATextInTheColourOfItsBackgroundOrTransparentIsUnseen)
{
    const ui::Color background = ui::Color::white(0.1);
    for (const ui::Color planted : {background, ui::Color::white(1, 0)}) {
        ui::View& shown = show([&](ui::View& v) {
            label(v, "Adapter 192.168.0.10", ui::Color::white(0.9), {{20, 100}, {200, 20}});
            separator(v);
            label(v, "Port 35000", planted, {{20, 140}, {200, 20}});
        });
        const auto findings = walker::checkTextsSeen(shown);
        ASSERT_EQ(findings.size(), 1u) << ::testing::PrintToString(checksFound(findings));
        EXPECT_EQ(findings.front().check, "unseen text");
        EXPECT_NE(findings.front().detail.find("Port 35000"), std::string::npos) << findings.front().detail;
    }
    // Of two lines, the one on a light panel in the panel's colour is unseen, though the other stands out.
    const auto twoLines = walker::checkTextsSeen(show([&](ui::View& v) {
        label(v, "", ui::Color::white(), {{0, 130}, {390, 40}})->setBackgroundColor(ui::Color::white(0.9));
        label(v, "Adapter 192.168.0.10\nPort", ui::Color::white(0.9), {{20, 110}, {200, 40}})->setNumberOfLines(2);
    }));
    ASSERT_EQ(twoLines.size(), 1u) << ::testing::PrintToString(checksFound(twoLines));
    EXPECT_NE(twoLines.front().detail.find("draws \"Port\""), std::string::npos) << twoLines.front().detail;
    // The same text in a colour that stands out, even a dim one, is seen.
    ui::View& shown = show([&](ui::View& v) {
        separator(v);
        label(v, "Port 35000", ui::Color::white(0.35), {{20, 140}, {200, 20}});
    });
    const auto findings = walker::checkTextsSeen(shown);
    EXPECT_TRUE(findings.empty()) << ::testing::PrintToString(checksFound(findings));
}

TEST_F(ScreenChecks, AFieldWithNoRoomForItsTextDrawsNoneOfIt)
{
    const auto field = std::make_shared<ui::TextField>(ui::Rect{{16, 100}, {0, 44}});
    field->setText("192.168.0.10");
    field->setTextColor(ui::Color::white());
    ui::View& shown = show([&](ui::View& v) { v.addSubview(field); });
    const auto findings = walker::checkTextsSeen(shown);
    ASSERT_EQ(findings.size(), 1u) << ::testing::PrintToString(checksFound(findings));
    EXPECT_EQ(findings.front().detail, "ui::TextField draws none of its text");

    field->setFrame({{16, 100}, {300, 44}});
    EXPECT_TRUE(walker::checkTextsSeen(shown).empty());
}

TEST_F(ScreenChecks, AViewOverAButtonsTitleCoversItAndTakesItsTaps)
{
    const auto results = std::make_shared<ui::Button>();
    const auto cover = std::make_shared<ui::View>(ui::Rect{{0, 190}, {390, 30}});
    ui::View& shown = show([&](ui::View& v) {
        results->setTitle("Results");
        results->setFrame({{100, 180}, {190, 50}});
        results->setBackgroundColor(ui::Color::rgb255(13, 105, 190));
        v.addSubview(results);
        cover->setBackgroundColor(ui::Color::white(0.2));
        v.addSubview(cover);
    });
    const ui::Point middle = walker::titleArea(*results).center();
    const auto findings = walker::checkReach(*results, shown, middle);
    EXPECT_TRUE(found(findings, "unreachable control")) << ::testing::PrintToString(checksFound(findings));
    EXPECT_TRUE(found(findings, "covered control")) << ::testing::PrintToString(checksFound(findings));

    // Drawn over but letting taps through: still covered.
    cover->setUserInteractionEnabled(false);
    const auto seeThrough = walker::checkReach(*results, shown, middle);
    EXPECT_FALSE(found(seeThrough, "unreachable control"));
    EXPECT_TRUE(found(seeThrough, "covered control"));

    // Moved clear of the button: nothing in the way.
    cover->setUserInteractionEnabled(true);
    cover->setFrame({{0, 300}, {390, 30}});
    EXPECT_TRUE(walker::checkReach(*results, shown, walker::titleArea(*results).center()).empty());

    // A view with no background of its own painting a band across the title in its draw().
    const auto band = std::make_shared<Band>(ui::Rect{{0, 180}, {390, 50}});
    band->setUserInteractionEnabled(false);
    results->superview()->addSubview(band);
    EXPECT_TRUE(found(walker::checkReach(*results, shown, middle), "covered control"));
    band->paintsBand = false;
    EXPECT_TRUE(walker::checkReach(*results, shown, middle).empty());
}

// The walker on a menu of planted screens, as the whole walk uses it.
class PlantedWalk : public ShellAppTest {
protected:
    std::vector<walker::Reported> walk(std::function<void(ui::View&)> build, walker::Counts* counts = nullptr)
    {
        showMenu({std::make_shared<PlantedScreen>(std::move(build))}, {"Planted"});
        walker::ScreenWalker walker(*window, *root, testsupport::artifactsDir() / "walker-planted");
        walker.walk({"Planted"});
        if (counts)
            *counts = walker.counts();
        return walker.reported();
    }

    static bool reports(const std::vector<walker::Reported>& reported, const std::string& check,
                        const std::string& detail)
    {
        return std::any_of(reported.begin(), reported.end(), [&](const walker::Reported& r) {
            return r.finding.check == check && r.finding.detail.find(detail) != std::string::npos;
        });
    }
};

TEST_F(PlantedWalk, AnImageMissingBeforeTheWalkStartsIsReportedWhereItShowsOnly)
{
    // Asked for while the screen is made, before the walker starts; the other by something else before.
    const ui::Image missing = ui::Image::named("planted-missing-image");
    ui::Image::named("planted-image-missing-elsewhere");
    const auto missingNow = ui::Image::missingNames();
    ASSERT_NE(std::find(missingNow.begin(), missingNow.end(), "planted-missing-image"), missingNow.end());
    const auto reported = walk([&](ui::View& v) {
        auto image = std::make_shared<ui::ImageView>(missing);
        image->setFrame({{20, 200}, {40, 40}});
        v.addSubview(image);
    });
    EXPECT_TRUE(reports(reported, "missing image", "planted-missing-image"));
    EXPECT_FALSE(reports(reported, "missing image", "planted-image-missing-elsewhere"));
}

TEST_F(PlantedWalk, ASheetItsButtonsCannotCloseIsNotCountedClosed)
{
    const auto opener = std::make_shared<ui::Button>();
    walker::Counts counts;
    const auto reported = walk(
        [&](ui::View& v) {
            opener->setTitle("Reset data");
            opener->setTitleColor(ui::Color::white());
            opener->setFrame({{100, 300}, {190, 50}});
            opener->addTarget(ui::ControlEvent::TouchUpInside, [](ui::Control&) {
                const auto sheet = ui::AlertController::create("Reset", "Reset every figure?");
                sheet->addAction({"Cancel", ui::AlertActionStyle::Cancel, {}, false});
                sheet->show(false);
            });
            v.addSubview(opener);
        },
        &counts);
    EXPECT_TRUE(reports(reported, "alert closes", "leaves it on screen"));
    EXPECT_EQ(counts.sheetsOpened, 1);
    EXPECT_EQ(counts.sheetsClosed, 0);
}

TEST_F(PlantedWalk, EveryEnabledControlIsTappedAndADisabledOneIsNot)
{
    const auto on = std::make_shared<ui::Switch>(ui::Point{20, 200});
    const auto disabled = std::make_shared<ui::Switch>(ui::Point{20, 260});
    const auto slider = std::make_shared<ui::Slider>(ui::Rect{{20, 320}, {300, 30}});
    const auto field = std::make_shared<ui::TextField>(ui::Rect{{20, 380}, {300, 40}});
    int editing = 0;
    walker::Counts counts;
    walk(
        [&](ui::View& v) {
            disabled->setEnabled(false);
            field->setPlaceholder("Port");
            field->setPlaceholderColor(ui::Color::white(0.6));
            field->addTarget(ui::ControlEvent::EditingDidBegin, [&](ui::Control&) { ++editing; });
            for (const auto& control : std::vector<std::shared_ptr<ui::View>>{on, disabled, slider, field})
                v.addSubview(control);
        },
        &counts);
    EXPECT_TRUE(on->isOn());
    EXPECT_FALSE(disabled->isOn());
    EXPECT_EQ(editing, 1);
    EXPECT_EQ(counts.controlsTapped, 3);
}

TEST_F(PlantedWalk, SwitchesAlikeScrolledIntoViewOnAPushedScreenAreTappedOnceEach)
{
    std::vector<std::shared_ptr<ui::Switch>> switches;
    const auto list = std::make_shared<ui::ScrollView>(ui::Rect{{0, 100}, {390, 700}});
    list->setContentSize({390, 20 * 70});
    for (int i = 0; i < 20; ++i)
        list->addSubview(switches.emplace_back(std::make_shared<ui::Switch>(ui::Point{20, 20 + 70.0 * i})));
    const auto nav = std::make_shared<ui::NavigationController>(std::make_shared<PlantedScreen>([](ui::View&) {}));
    showMenu({nav}, {"Planted"});
    nav->pushViewController(std::make_shared<PlantedScreen>([&](ui::View& v) { v.addSubview(list); }), false);
    walker::ScreenWalker(*window, *root, testsupport::artifactsDir() / "walker-planted").walkFromHere("Switches");
    EXPECT_EQ(std::count_if(switches.begin(), switches.end(), [](const auto& s) { return s->isOn(); }), 20);
}

TEST_F(PlantedWalk, AControlUnderAnotherIsReportedAndNotTapped)
{
    int taps = 0;
    const auto reported = walk([&](ui::View& v) {
        const auto results = std::make_shared<ui::Button>();
        results->setTitle("Results");
        results->setFrame({{100, 300}, {190, 50}});
        results->setBackgroundColor(ui::Color::rgb255(13, 105, 190));
        results->addTarget(ui::ControlEvent::TouchUpInside, [&](ui::Control&) { ++taps; });
        v.addSubview(results);
        const auto cover = std::make_shared<ui::Label>(ui::Rect{{0, 310}, {390, 30}});
        cover->setText("Not ready");
        cover->setTextColor(ui::Color::white());
        cover->setBackgroundColor(ui::Color::rgb255(205, 40, 70));
        cover->setUserInteractionEnabled(true);
        v.addSubview(cover);
    });
    EXPECT_TRUE(reports(reported, "unreachable control", "\"Results\" reaches ui::Label \"Not ready\""));
    EXPECT_TRUE(reports(reported, "covered control", "\"Results\" under ui::Label \"Not ready\""));
    EXPECT_EQ(taps, 0);
}

}  // namespace
