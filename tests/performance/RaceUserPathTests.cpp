// The race screen as the user drives it: taps through the window, what is read from the screen.
#include <algorithm>
#include <cmath>
#include <functional>

#include "RaceScreenTest.h"
#include "performance/LapViewCon.h"
#include "performance/MapViewCon.h"
#include "performance/RaceSettViewController.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Switch.h"
#include "platform/ui/Button.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/VisibleText.h"
#include "platform/ui/Window.h"
#include "support/Input.h"
#include "support/ScreenShape.h"

namespace {

// Every view of this kind in the tree, from the top of the screen down.
template <typename T>
std::vector<T*> viewsOf(ui::View& root)
{
    std::vector<T*> found;
    if (auto* view = dynamic_cast<T*>(&root))
        found.push_back(view);
    for (const auto& child : root.subviews()) {
        for (T* view : viewsOf<T>(*child))
            found.push_back(view);
    }
    std::stable_sort(found.begin(), found.end(), [](T* a, T* b) {
        return a->convertPoint({0, 0}, nullptr).y < b->convertPoint({0, 0}, nullptr).y;
    });
    return found;
}

bool sameFrame(const ui::Rect& a, const ui::Rect& b)
{
    return std::abs(a.minX() - b.minX()) < 0.01 && std::abs(a.minY() - b.minY()) < 0.01
        && std::abs(a.width() - b.width()) < 0.01 && std::abs(a.height() - b.height()) < 0.01;
}

class RaceUserPathTest : public RaceScreenTest {
protected:
    void touchAt(ui::View& view, ui::Point point)
    {
        root->window().layoutIfNeeded();  // as the window is before it is drawn
        const ui::Point at = view.convertPoint(point, nullptr);
        root->window().sendTouch(ui::TouchPhase::Began, at);
        root->window().sendTouch(ui::TouchPhase::Ended, at);
        advance(0.5);
    }

    void tap(ui::View& view) { touchAt(view, view.bounds().center()); }

    void tapSegment(ui::SegmentedControl& control, int index)
    {
        const ui::Rect b = control.bounds();
        const double width = b.width() / control.numberOfSegments();
        touchAt(control, {b.minX() + width * (index + 0.5), b.midY()});
    }

    std::vector<std::string> texts() { return ui::visibleTexts(root->window()); }

    bool shows(const std::string& text)
    {
        const auto all = texts();
        return std::find(all.begin(), all.end(), text) != all.end();
    }

    std::shared_ptr<MapViewCon> showLapMap()
    {
        std::vector<geo::Location> positions;
        for (int i = 0; i < 22; ++i)
            positions.push_back(onCircle(27.8 * i));
        auto map = std::make_shared<MapViewCon>(std::vector<Lap>{Lap(positions, std::vector<float>(22, 80), 216)});
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(std::make_shared<ui::NavigationController>(map));
        advance(0.5);
        return map;
    }

    // The texts on screen that are cut short.
    std::vector<std::string> cutTexts()
    {
        std::vector<std::string> cut;
        for (const std::string& text : texts()) {
            if (text.find("\u2026") != std::string::npos)
                cut.push_back(text);
        }
        return cut;
    }

    // The bar button at the right of the screen's navigation bar, as the user finds it.
    ui::View& rightBarButton(ui::ViewController& screen)
    {
        root->window().layoutIfNeeded();
        ui::NavigationBar& bar = screen.navigationController()->navigationBar();
        ui::View* button = bar.viewForItem(*screen.navigationItem().rightBarButtonItem());
        EXPECT_NE(button, nullptr);
        return button ? *button : bar;
    }

    // An action sheet is open when it shows its title and every one of its buttons.
    bool sheetShows(const std::string& title, const std::vector<std::string>& buttons)
    {
        return ui::AlertController::visible() && shows(title)
            && std::all_of(buttons.begin(), buttons.end(), [&](const std::string& b) { return shows(b); });
    }

    void tapOn(const std::string& text)
    {
        ASSERT_TRUE(testsupport::tapText(root->window(), text)) << text;
        advance(0.5);
    }

    // The sheet on screen is black with corners of radius 15, and reads so beside its title.
    void expectBlackRoundedSheet(const std::string& what)
    {
        const auto sheet = ui::AlertController::visible();
        ASSERT_NE(sheet, nullptr) << what;
        root->window().layoutIfNeeded();
        const std::function<bool(ui::View&)> blackRounded = [&](ui::View& view) {
            if (view.backgroundColor() == ui::Color::black() && view.cornerRadius() == 15)
                return true;
            return std::any_of(view.subviews().begin(), view.subviews().end(),
                               [&](const std::shared_ptr<ui::View>& child) { return blackRounded(*child); });
        };
        EXPECT_TRUE(blackRounded(*sheet->view())) << what;
        const auto title = testsupport::frameOfText(root->window(), sheet->title());
        ASSERT_TRUE(title) << what;
        const ui::Image shot = root->window().renderToImage(1);
        EXPECT_EQ(shot.pixel(int(title->x()) - 4, int(title->midY())), ui::Color::black()) << what;
    }

    // A bar button's title face, size and colour, as its bar shows it.
    void expectBarButton(ui::ViewController& screen, const std::shared_ptr<ui::BarButtonItem>& item, const char* face,
                         ui::Color color, const std::string& what)
    {
        root->window().layoutIfNeeded();
        ASSERT_NE(item, nullptr) << what;
        auto* button = dynamic_cast<ui::Button*>(screen.navigationController()->navigationBar().viewForItem(*item));
        ASSERT_NE(button, nullptr) << what;
        EXPECT_EQ(button->titleFont().name(), face) << what;
        EXPECT_EQ(button->titleFont().pointSize(), 17) << what;
        EXPECT_EQ(button->currentTitleColor(), color) << what;
    }
};

TEST_F(RaceUserPathTest, AfterStopOnlyResetDataBringsTheControlsBackForTheNextRun)
{
    ASSERT_TRUE(connect());
    for (const testsupport::ScreenShape& shape : {testsupport::phonePortrait, testsupport::phoneLandscape, testsupport::pad}) {
        shape.apply();
        const std::string& where = shape.name;
        showRace();
        armDrag();
        launch();
        ASSERT_TRUE(shows("STOP")) << where;
        advance(2);
        tapOn("STOP");
        // The run's time and lap stay in view beside its results; the controls for a next run do not come back.
        EXPECT_TRUE(shows("00:02")) << where;
        EXPECT_TRUE(shows(fnd::L("Lap"))) << where;
        for (const char* hidden : {"Drag", "Track", "Not ready", "Ready"})
            EXPECT_FALSE(shows(hidden)) << where << ": " << hidden;
        const double w = std::min(shape.size.width, shape.size.height), h = std::max(shape.size.width, shape.size.height);
        ui::Button& results = panels().resultsButton();
        EXPECT_TRUE(sameFrame(results.frame(), {0.375 * w, -1, 0.25 * w, 0.05 * h})) << where;
        tapOn("Results");
        EXPECT_NE(race->presentedViewController(), nullptr) << where << ": the run's results";
        tapOn("Done");

        chooseOption("Reset data");
        const double panel = panels().infoPanel().bounds().width();
        EXPECT_TRUE(sameFrame(menus().modeSelector().frame(), {20, 5, panel * 0.4, 30})) << where;
        EXPECT_TRUE(sameFrame(menus().readySelector().frame(), {panel / 2 + 10, 5, panel * 0.4, 30})) << where;
        EXPECT_FALSE(shows("Results")) << where;
        EXPECT_FALSE(shows(fnd::L("Lap"))) << where;
        // The second run is timed from its own start alone.
        armDrag();
        launch();
        advance(1);
        tapOn("STOP");
        EXPECT_TRUE(shows("00:01")) << where;
        ASSERT_EQ(race->engine().lapArr().size(), 1u) << where;
        EXPECT_NEAR(race->engine().lapArr().front().time, 15, 1) << where;
    }
}

TEST_F(RaceUserPathTest, TheBarATapDropsInMovesThePanelsOnlyUprightOnAPhoneAndControlsKeepTheirTaps)
{
    ASSERT_TRUE(connect());
    for (const testsupport::ScreenShape& shape : {testsupport::pad, testsupport::phoneLandscape, testsupport::phonePortrait}) {
        shape.apply();
        const std::string& where = shape.name;
        showRace();
        ui::Window& window = root->window();
        const auto panelFrames = [&] {
            window.layoutIfNeeded();
            std::vector<ui::Rect> frames;
            for (ui::View* panel : {panels().pageView().view().get(), &panels().infoPanel(), &panels().statPanel(),
                                    &panels().gapPanel()})
                frames.push_back(panel->convertRect(panel->bounds(), nullptr));
            return frames;
        };
        const std::vector<ui::Rect> before = panelFrames();
        testsupport::tap(window, panels().statPanel());
        advance(0.4);
        ASSERT_TRUE(menus().barShown()) << where;
        const auto title = testsupport::frameOfText(window, fnd::L("Racetrack"));
        ASSERT_TRUE(title) << where;
        const bool pad = shape.idiom == ui::UserInterfaceIdiom::Pad;
        const bool pushes = !pad && shape.size.width < shape.size.height;
        EXPECT_NEAR(title->midY(), (pad ? 10 : pushes ? ui::safeAreaInsets(window).top : 0) + 22, 1) << where;
        const auto movedBy = [&](double dy) {
            const std::vector<ui::Rect> now = panelFrames();
            for (std::size_t i = 0; i < now.size(); ++i) {
                if (!sameFrame(now[i], before[i].offset(0, dy)))
                    return false;
            }
            return true;
        };
        EXPECT_TRUE(movedBy(pushes ? 44 : 0)) << where << ": with the bar in";
        advance(2);
        EXPECT_TRUE(movedBy(0)) << where << ": once it has gone, back by as much as they moved";

        // A tap on a control is the control's: it chooses, and drops no bar over the controls.
        tapSegment(menus().modeSelector(), 0);
        EXPECT_FALSE(race->engine().isTrackMode()) << where;
        tapSegment(menus().readySelector(), 1);
        EXPECT_TRUE(race->engine().raceReady()) << where;
        EXPECT_FALSE(menus().barShown()) << where;
    }
}

TEST_F(RaceUserPathTest, CoolantShowsAFigureOnlyOnceTheCarHasToldIt)
{
    sim.updateCar([](elmsim::CarState& s) { s.coolant = 87; });
    // With the temperature warning on, the link asks for coolant every 5 s; with it off nothing does.
    for (const bool warning : {false, true}) {
        settings().highTempEnabled = warning;
        if (link) {
            link->disconnect();
            link.reset();
        }
        ASSERT_TRUE(connect());
        showRace();
        drive(12);
        const auto shown = ui::visibleTexts(panels().temperaturePanel());
        EXPECT_EQ(std::vector<std::string>(shown.begin() + 1, shown.end()),
                  (std::vector<std::string>{warning ? "87" : "--", "°C"}))
            << (warning ? "the car's reply" : "nothing asked the car for coolant");
    }
}

TEST_F(RaceUserPathTest, TheSummaryShowsNoTimeForAMarkNotTimedFromAStandingStart)
{
    ASSERT_TRUE(connect());
    struct Run {
        double kmh;
        const char* what;
    };
    for (const Run run : {Run{0, "a standing start that reached no mark"}, Run{100, "a rolling start at 100 km/h"}}) {
        sim.updateCar([&](elmsim::CarState& s) { s.speed = run.kmh; });
        showRace();
        drive(2);
        armDrag();
        launch();
        drive(3);
        tapOn("STOP");
        tapOn("Results");
        advance(1);
        const auto shown = texts();
        const auto figureOf = [&](const std::string& row) {
            const auto at = std::find(shown.begin(), shown.end(), fnd::L(row));
            return at != shown.end() && at + 1 != shown.end() ? *(at + 1) : std::string("(no row)");
        };
        for (const char* mark : {"0-60 mph", "0-100 mph", "1/8 mile time", "1/4 mile time"})
            EXPECT_EQ(figureOf(mark), "--") << run.what << ": " << mark;
        EXPECT_EQ(figureOf("Max speed"), fnd::format("%.1f km/h", run.kmh)) << run.what;
    }
}

TEST_F(RaceUserPathTest, EveryPageShowsItsTextsWholeOnPhonesAndPads)
{
    ASSERT_TRUE(connect());
    struct Screen {
        ui::Size size;
        ui::UserInterfaceIdiom idiom;
    };
    for (const Screen screen : {Screen{{390, 844}, ui::UserInterfaceIdiom::Phone}, Screen{{844, 390}, ui::UserInterfaceIdiom::Phone},
                                Screen{{1024, 768}, ui::UserInterfaceIdiom::Pad}}) {
        ui::Device::current().setIdiom(screen.idiom);
        ui::Device::current().setScreenSize(screen.size);
        const std::string where = std::to_string(int(screen.size.width)) + "x" + std::to_string(int(screen.size.height));
        showRace();
        armDrag();
        launch();
        advance(1);
        tapOn("STOP");
        for (int page = 0; page < panels().pageCount(); ++page) {
            EXPECT_EQ(race->pageIndex(), page) << where;
            EXPECT_EQ(cutTexts(), std::vector<std::string>{}) << where << " page " << page;
            swipeToNextPage();
        }
    }
}

TEST_F(RaceUserPathTest, NoPageDrawsItsFiguresOverThePageDots)
{
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
        ui::Device::current().setIdiom(size.width == 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
        ui::Device::current().setScreenSize(size);
        showRace();
        const ui::PageControl& dots = panels().pageView().pageControl();
        for (int page = 0; page < panels().pageCount(); ++page) {
            root->window().layoutIfNeeded();
            advance(0.2);  // the pages take their size a moment after the layout
            ASSERT_FALSE(dots.isHidden());
            const ui::Rect dotsFrame = dots.convertRect(dots.bounds(), nullptr);
            for (const ui::ShownText& shown : ui::visibleTextFrames(root->window()))
                EXPECT_FALSE(shown.frame.intersects(dotsFrame))
                    << size.width << "x" << size.height << " page " << page << ": \"" << shown.text << "\" at "
                    << shown.frame.y() << ".." << shown.frame.maxY() << ", dots from " << dotsFrame.y();
            swipeToNextPage();
        }
    }
}

TEST_F(RaceUserPathTest, ALinkLostWhileArmedDisarmsAndSaysSo)
{
    ASSERT_TRUE(connect());
    showRace();
    armDrag();
    sim.stop();
    ASSERT_TRUE(waitFor([&] { return !link->isConnected(); }));
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Connect msg2"));
    ui::AlertController::dismissAll();
    EXPECT_FALSE(shows(fnd::L("Accelerate")));

    launch();
    EXPECT_FALSE(race->engine().recording());
    EXPECT_FALSE(shows("STOP"));
    EXPECT_EQ(menus().readySelector().selectedSegmentIndex(), 0);
}

TEST_F(RaceUserPathTest, TheRestartNoteSaysWhatWasChosenForEngineSpeed)
{
    settings().rpmEnabled = true;
    root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    root->setRootViewController(std::make_shared<ui::NavigationController>(std::make_shared<RaceSettViewController>()));
    advance(0.5);
    for (const bool on : {false, true}) {
        // The table is made again after each change.
        root->window().layoutIfNeeded();
        const auto switches = viewsOf<ui::Switch>(root->window());
        ASSERT_FALSE(switches.empty());
        tap(*switches.front());
        EXPECT_EQ(settings().rpmEnabled, on);
        ASSERT_TRUE(ui::AlertController::visible());
        const std::string note = ui::AlertController::visible()->message();
        EXPECT_NE(note.find(on ? "tracking is on" : "tracking is off"), std::string::npos) << note;
        ui::AlertController::dismissAll();
    }
}

TEST_F(RaceUserPathTest, TheSettingsTutorialShowsItsPictures)
{
    auto form = std::make_shared<RaceSettViewController>();
    root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    root->setRootViewController(std::make_shared<ui::NavigationController>(form));
    advance(0.5);
    root->window().layoutIfNeeded();
    ui::Button* info = nullptr;
    for (ui::Button* button : viewsOf<ui::Button>(root->window())) {
        if (button->buttonType() == ui::ButtonType::InfoLight)
            info = button;
    }
    ASSERT_NE(info, nullptr);
    tap(*info);
    advance(1);
    ui::ViewController* tutorial = form->navigationController()->presentedViewController();
    ASSERT_NE(tutorial, nullptr);
    root->window().layoutIfNeeded();
    const auto pictures = viewsOf<ui::ImageView>(*tutorial->view());
    ASSERT_FALSE(pictures.empty());
    EXPECT_GE(pictures.front()->image().size().height, 90) << "a picture, not the stand-in for a missing one";
}

TEST_F(RaceUserPathTest, TheLapMapStartsBelowTheNavigationBarAtEverySize)
{
    const auto expectClearOfTheBar = [&](MapViewCon& map, const std::string& where) {
        root->window().layoutIfNeeded();
        const double barBottom = map.navigationController()->navigationBar().frame().maxY();
        for (ui::View* content : {static_cast<ui::View*>(map.tView()), static_cast<ui::View*>(map.mapView())})
            EXPECT_GE(content->convertPoint({0, 0}, nullptr).y, barBottom) << where;
        if (!map.table()->isHidden())
            EXPECT_GE(map.table()->frame().minY(), map.tView()->frame().maxY()) << where;
    };
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{375, 667}}) {
        ui::Device::current().setScreenSize(size);
        auto map = showLapMap();
        expectClearOfTheBar(*map, "opened at " + std::to_string(int(size.width)));
        EXPECT_TRUE(shows(fnd::L("Lap") + " 1"));
    }
    auto map = showLapMap();
    for (const ui::Size size : {ui::Size{667, 375}, ui::Size{375, 667}}) {
        ui::Device::current().setScreenSize(size);
        root->setSize(size, 0);
        advance(0.5);
        expectClearOfTheBar(*map, "turned to " + std::to_string(int(size.width)));
        EXPECT_EQ(map->table()->isHidden(), size.width > size.height);
    }
}

TEST_F(RaceUserPathTest, TheLapMapsChosenViewReadsOnItsSegment)
{
    auto map = showLapMap();
    ui::SegmentedControl& segments = *map->segments();
    for (const int chosen : {2, 0}) {
        tapSegment(segments, chosen);
        ASSERT_EQ(segments.selectedSegmentIndex(), chosen);
        // The title's strokes must stand out from the fill of the chosen segment.
        const ui::Image picture = segments.renderToImage(2);
        const int width = picture.pixelWidth() / segments.numberOfSegments();
        double darkest = 1, lightest = 0;
        for (int y = picture.pixelHeight() / 4; y < picture.pixelHeight() * 3 / 4; ++y) {
            for (int x = chosen * width + width / 8; x < (chosen + 1) * width - width / 8; ++x) {
                const ui::Color c = picture.pixel(x, y);
                const double luminance = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
                darkest = std::min(darkest, luminance);
                lightest = std::max(lightest, luminance);
            }
        }
        EXPECT_GT(lightest - darkest, 0.5) << "segment " << chosen;
    }
}

TEST_F(RaceUserPathTest, TheLapMapsActionButtonOffersToSaveTheTrack)
{
    auto map = showLapMap();
    const std::vector<std::string> buttons{fnd::L("Save track"), fnd::L("Cancel")};
    tap(rightBarButton(*map));
    ASSERT_TRUE(sheetShows(fnd::L("Race track"), buttons)) << ::testing::PrintToString(texts());
    ASSERT_TRUE(testsupport::tapText(root->window(), fnd::L("Cancel")));
    advance(0.5);
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(map->presentedViewController(), nullptr);

    tap(rightBarButton(*map));
    ASSERT_TRUE(sheetShows(fnd::L("Race track"), buttons));
    ASSERT_TRUE(testsupport::tapText(root->window(), fnd::L("Save track")));
    advance(1);
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
    EXPECT_NE(map->presentedViewController(), nullptr) << "the form that names and saves the track";
}

TEST_F(RaceUserPathTest, TheResultAndTrackScreensWearTheirBarButtonsAndBlackSheets)
{
    ASSERT_TRUE(connect());
    showRace();
    // The options sheet and the saved-track list, from the bar a tap drops in.
    testsupport::tap(root->window(), ui::Point{200, 300});
    advance(0.5);
    root->window().layoutIfNeeded();
    ASSERT_NE(menus().optionsButton(), nullptr);
    tap(*menus().optionsButton());
    expectBlackRoundedSheet("race options");
    tapOn(fnd::L("Track selection"));
    auto* list = dynamic_cast<ui::NavigationController*>(race->presentedViewController());
    ASSERT_NE(list, nullptr);
    ui::ViewController& tracks = *list->topViewController();
    expectBarButton(tracks, tracks.navigationItem().rightBarButtonItem(), "Digital-Serial DB", ui::Color::white(0.8),
                    "track list Done");
    tapOn("Done");

    armDrag();
    launch();
    advance(1);
    tapOn("STOP");
    tapOn("Results");
    auto* shown = dynamic_cast<ui::NavigationController*>(race->presentedViewController());
    ASSERT_NE(shown, nullptr);
    ui::ViewController& summary = *shown->topViewController();
    expectBarButton(summary, summary.navigationItem().leftBarButtonItem(), "Digital-Serial", ui::Color::white(0.8),
                    "summary Done");
    tap(rightBarButton(summary));
    expectBlackRoundedSheet("sharing");
    tapOn(fnd::L("Cancel"));

    testsupport::pad.apply();
    auto laps = std::make_shared<LapViewCon>(std::vector<Lap>{Lap({}, {80}, 610)}, 80, 1.2f);
    root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    root->setRootViewController(std::make_shared<ui::NavigationController>(laps));
    advance(0.5);
    const ui::Rect best = testsupport::frameOfText(root->window(), "01:01.0").value();  // lays the window out
    EXPECT_GE(best.minY(), laps->navigationController()->navigationBar().frame().maxY()) << "on a pad, below the bar";
    expectBarButton(*laps, laps->navigationItem().leftBarButtonItem(), "Digital-Serial", ui::Color::white(0.8),
                    "lap table Done");

    auto map = showLapMap();
    expectBarButton(*map, map->navigationItem().leftBarButtonItem(), "Digital-Serial DB", ui::Color::white(),
                    "lap map Done");
    EXPECT_EQ(map->navigationItem().rightBarButtonItem()->tintColor(), ui::Color::white());
    tap(rightBarButton(*map));
    expectBlackRoundedSheet("lap map options");
    tapOn(fnd::L("Save track"));
    advance(0.5);
    ui::ViewController& form =
        *static_cast<ui::NavigationController&>(*map->presentedViewController()).topViewController();
    const ui::Color blue = ui::Color::rgb255(0, 114, 188);
    expectBarButton(form, form.navigationItem().rightBarButtonItem(), "Digital-Serial DB", blue, "form Save");
    expectBarButton(form, form.navigationItem().leftBarButtonItem(), "Digital-Serial DB", ui::Color::white(0.8),
                    "form Cancel");
}

TEST_F(RaceUserPathTest, ARunsResultsOfferToShareThem)
{
    ASSERT_TRUE(connect());
    showRace();
    armDrag();
    launch();
    advance(2);
    tapOn("STOP");
    tapOn("Results");
    advance(1);
    auto* shown = dynamic_cast<ui::NavigationController*>(race->presentedViewController());
    ASSERT_NE(shown, nullptr) << "the run's results";
    ui::ViewController& results = *shown->topViewController();
    const std::vector<std::string> buttons{fnd::L("Share via E-mail"), fnd::L("Save to Camera Roll"), fnd::L("Cancel")};
    tap(rightBarButton(results));
    ASSERT_TRUE(sheetShows(fnd::L("Select Sharing option:"), buttons)) << ::testing::PrintToString(texts());
    ASSERT_TRUE(testsupport::tapText(root->window(), fnd::L("Cancel")));
    advance(0.5);
    EXPECT_EQ(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(race->presentedViewController(), shown) << "the results stay open";
}

}  // namespace
