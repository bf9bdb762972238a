#include <algorithm>
#include <memory>
#include <string>

#include "FuelScreenTest.h"
#include "fuel/FuelView.h"
#include "fuel/FuelViewController.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "platform/ui/VisibleText.h"
#include "support/ImageCompare.h"
#include "support/Input.h"

namespace {

class FuelViewControllerTest : public FuelScreenTest {
protected:
    std::shared_ptr<FuelViewController> showFuel()
    {
        auto fuel = std::make_shared<FuelViewController>();
        fuel->setScanner(link);
        showTabs({{"Fuel", fuel}});
        return fuel;
    }

    std::vector<std::string> polled() const
    {
        std::vector<std::string> requests;
        for (const Command& command : link->commands().value_or(std::vector<Command>{}))
            requests.push_back(command.commandString);
        return requests;
    }

    // Waits for replies to arrive until the gauge has a sample.
    bool waitForEconomy(FuelViewController& fuel)
    {
        return waitFor([&] { return fuel.fView()->insMpgVal() > 0; });
    }
};

TEST_F(FuelViewControllerTest, PollsThePidsOfEachMethod)
{
    ASSERT_TRUE(connect());
    settings().fastPollingEnabled = false;
    settings().fuelCalcMethod = 2;
    auto fuel = showFuel();
    EXPECT_EQ(polled(), (std::vector<std::string>{"010d", "015e", "012f"}));
    EXPECT_TRUE(fuel->holdsLink());

    settings().fuelCalcMethod = 1;
    leave();
    EXPECT_FALSE(fuel->holdsLink());
    EXPECT_FALSE(fuel->isPolling());
    show(tabs);
    EXPECT_EQ(polled(), (std::vector<std::string>{"010d", "010b", "010f", "010c", "012f"}));
    settings().fuelCalcMethod = 0;
    leave();
    show(tabs);
    EXPECT_EQ(polled(), (std::vector<std::string>{"010d", "0110", "012f"}));
}

TEST_F(FuelViewControllerTest, WithoutALinkNothingIsPolled)
{
    auto fuel = showFuel();
    EXPECT_FALSE(fuel->isPolling());
    EXPECT_EQ(fuel->timeText(), "00:00:00");
}

TEST_F(FuelViewControllerTest, AirFlowMethodShowsTheEconomyOfTheReplies)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.speed = 100;
        s.maf = 10;
    });
    ASSERT_TRUE(connect());
    settings().fuelCalcMethod = 0;
    auto fuel = showFuel();
    ASSERT_TRUE(waitForEconomy(*fuel));
    EXPECT_NEAR(fuel->fView()->insMpgVal(), 71.07, 0.05);
    // Each reply restarts the glide from the value shown; it settles on the steady figure.
    drive(3);
    EXPECT_EQ(fuel->fView()->largeValueText(), "71.0");
    EXPECT_EQ(fuel->fView()->fuelLevelText(), "61");
}

// The theme chosen in the settings reaches the gauge's digits: black on the light theme, the colour of the
// economy on the dark one.
// With its injection cut the coasting engine reports no fuel flow: that makes no figure, so neither the
// gauge nor the saved day sees one of thousands of mpg.
TEST_F(FuelViewControllerTest, FuelRateMethodIgnoresTheFuelCutWhileCoasting)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.speed = 90;
        s.fuelRate = 6;
    });
    ASSERT_TRUE(connect());
    settings().fuelCalcMethod = 2;
    auto fuel = showFuel();
    ASSERT_TRUE(waitForEconomy(*fuel));
    drive(20);
    sim.updateCar([](elmsim::CarState& s) { s.fuelRate = 0; });
    drive(45);
    EXPECT_TRUE(testsupport::shows(window(), "35")) << "the figure stays where the fuel last flowed";
    EXPECT_TRUE(testsupport::shows(window(), ".2"));
    leave();
    ASSERT_EQ(fuelData().dayCount(), 1u);
    EXPECT_NEAR(fuelData().dataArr[0], 35.28, 0.1);
}

// The gauge is drawn again when what it shows changes, not at every 0.05 s tick of its glide: a steady
// figure damages no more than the trip panel's clock. Frames kept that way are those a full redraw gives.
TEST_F(FuelViewControllerTest, ASteadyFigureIsNotDrawnAgainAtEveryTick)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.speed = 100;
        s.maf = 10;
    });
    ASSERT_TRUE(connect());
    settings().fuelCalcMethod = 0;
    auto fuel = showFuel();
    ASSERT_TRUE(waitForEconomy(*fuel));
    drive(5);
    ui::Window& screen = window();
    ui::BitmapContext frame(screen.bounds().size, 1);
    screen.setNeedsDisplay();
    screen.renderDamage(frame);
    drive(2);
    double damaged = 0;
    for (const ui::Rect& area : screen.damage())
        damaged += area.width() * area.height();
    EXPECT_LT(damaged, 0.05 * screen.bounds().width() * screen.bounds().height());

    sim.updateCar([](elmsim::CarState& s) { s.maf = 12; });
    for (int tick = 0; tick < 100 && fuel->fView()->largeValueText() == "71.0"; ++tick) {
        const std::size_t before = sim.requests().size();
        advance(FuelView::tickInterval);
        ASSERT_TRUE(waitFor([&] { return sim.requests().size() > before; })) << "the adapter answers";
        screen.renderDamage(frame);
    }
    ASSERT_NE(fuel->fView()->largeValueText(), "71.0");
    for (int tick = 0; tick < 20; ++tick) {
        advance(FuelView::tickInterval);
        screen.renderDamage(frame);
    }
    EXPECT_TRUE(testsupport::samePixels(frame.makeImage(), screen.renderToImage(1), 2));
}

TEST_F(FuelViewControllerTest, TheDigitsFollowTheThemeOfTheSettings)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.speed = 100;
        s.maf = 10;
    });
    ASSERT_TRUE(connect());
    for (const int theme : {1, 0}) {
        settings().theme = theme;
        auto fuel = showFuel();
        ASSERT_TRUE(waitForEconomy(*fuel));
        drive(3);
        const ui::Label* digits = nullptr;
        for (const auto& sub : fuel->fView()->subviews()) {
            const auto* label = dynamic_cast<const ui::Label*>(sub.get());
            if (label && !label->isHidden() && label->text() == "71")
                digits = label;
        }
        ASSERT_NE(digits, nullptr) << theme;
        EXPECT_EQ(digits->textColor(), theme == 1 ? ui::Color::black() : ui::Color::rgb(0.4, 1, 0)) << theme;
    }
}

TEST_F(FuelViewControllerTest, TripPanelCountsWhileConnectedAndStopsWhenTheLinkDrops)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.speed = 90;
        s.fuelRate = 6;
    });
    ASSERT_TRUE(connect());
    settings().fuelCalcMethod = 2;
    settings().fuelUnitsMode = 2;
    auto fuel = showFuel();
    ASSERT_TRUE(waitFor([&] { return fuel->fView()->insMpgVal() > 30; }));
    drive(10);
    EXPECT_EQ(fuel->timeText(), "00:00:11");
    EXPECT_EQ(fuel->speedText(), "90 km/h");
    // 90 km/h at 6 L/h is 6.7 l/100km; 0.275 km driven.
    EXPECT_EQ(fuel->fuelText(), "0.0 lit.");
    // The first second may pass before the first speed reply.
    EXPECT_NEAR(fuel->trip().distance(), 10.5 * 90 / 3600.0, 0.013);

    link->disconnect();
    const float distance = fuel->trip().distance();
    advance(130);
    EXPECT_FLOAT_EQ(fuel->trip().distance(), distance);
    EXPECT_FALSE(fuel->isPolling());
    EXPECT_FALSE(fuel->fView()->isTimerRunning());
    // The drop ends the trip: what it drove is logged, and nothing after.
    ASSERT_EQ(fuelData().dayCount(), 1u);
    EXPECT_NEAR(fuelData().distanceArr[0], distance / 1.60934f, 1e-4);
}

// Every label with a text under `view`.
void labelsIn(ui::View& view, std::vector<ui::Label*>& labels)
{
    if (auto* label = dynamic_cast<ui::Label*>(&view); label && !label->text().empty())
        labels.push_back(label);
    for (const auto& sub : view.subviews())
        labelsIn(*sub, labels);
}

TEST_F(FuelViewControllerTest, TripPanelTextsFitTheirPlacesWithoutOverlapping)
{
    struct Screen {
        ui::UserInterfaceIdiom idiom;
        ui::Size size;
        ui::DeviceOrientation orientation;
    };
    const Screen screens[] = {{ui::UserInterfaceIdiom::Phone, {390, 844}, ui::DeviceOrientation::Portrait},
                              {ui::UserInterfaceIdiom::Phone, {844, 390}, ui::DeviceOrientation::LandscapeLeft},
                              {ui::UserInterfaceIdiom::Pad, {1024, 768}, ui::DeviceOrientation::LandscapeLeft},
                              {ui::UserInterfaceIdiom::Pad, {768, 1024}, ui::DeviceOrientation::Portrait}};
    for (const Screen& screen : screens) {
        ui::Device::current().setIdiom(screen.idiom);
        ui::Device::current().setScreenSize(screen.size);
        ui::Device::current().setOrientation(screen.orientation);
        root.reset();
        showFuel();
        advance(2);
        root->window().layoutIfNeeded();
        std::vector<ui::Label*> labels;
        labelsIn(root->window(), labels);
        const auto texts = ui::visibleTexts(root->window());
        const bool panel = std::find(texts.begin(), texts.end(), "Time elapsed") != texts.end();
        EXPECT_EQ(panel, screen.idiom == ui::UserInterfaceIdiom::Pad || screen.size.width < screen.size.height)
            << screen.size.width;
        for (const std::string title : {"Time elapsed", "Avg. speed", "Fuel consumed", "CO2 produced"})
            EXPECT_EQ(std::find(texts.begin(), texts.end(), title) != texts.end(), panel) << screen.size.width << title;
        // The trip panel: the labels beside "Time elapsed".
        const auto elapsed = std::find_if(labels.begin(), labels.end(),
                                          [](ui::Label* label) { return label->text() == "Time elapsed"; });
        ASSERT_NE(elapsed, labels.end());
        ui::View* tripPanel = (*elapsed)->superview();
        std::erase_if(labels, [&](ui::Label* label) { return label->superview() != tripPanel; });
        EXPECT_EQ(labels.size(), 8u);
        if (!panel)
            continue;
        for (ui::Label* label : labels) {
            const ui::Rect place = label->convertRect(label->bounds(), nullptr);
            const double line = label->font().withSize(label->fittedFontSize()).lineHeight();
            EXPECT_LE(line, place.height() + 0.5) << screen.size.width << ": " << label->text() << " is cut";
            for (ui::Label* other : labels) {
                if (other == label)
                    continue;
                const ui::Rect otherPlace = other->convertRect(other->bounds(), nullptr);
                EXPECT_FALSE(place.intersects(otherPlace))
                    << screen.size.width << ": " << label->text() << " over " << other->text();
            }
        }
    }
}

TEST_F(FuelViewControllerTest, GaugeFiguresOnItsSideLieApartWithBarsFilled)
{
    struct Screen {
        ui::UserInterfaceIdiom idiom;
        ui::Size size;
    };
    const Screen screens[] = {{ui::UserInterfaceIdiom::Phone, {844, 390}}, {ui::UserInterfaceIdiom::Pad, {1024, 768}}};
    for (const Screen& screen : screens) {
        ui::Device::current().setIdiom(screen.idiom);
        ui::Device::current().setScreenSize(screen.size);
        ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
        sim.updateCar([](elmsim::CarState& s) {
            s.speed = 60;
            s.maf = 9;
        });
        if (!link || !link->isConnected())
            ASSERT_TRUE(connect());
        settings().fuelCalcMethod = 0;
        root.reset();
        auto fuel = showFuel();
        ASSERT_TRUE(waitForEconomy(*fuel));
        drive(125);
        root->window().layoutIfNeeded();
        ASSERT_FALSE(fuel->fView()->barText(1).empty()) << screen.size.width;
        const auto shown = ui::visibleTextFrames(*fuel->fView());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_FALSE(shown[i].cut) << screen.size.width << ": " << shown[i].text << " is cut";
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                const ui::Rect both = shown[i].frame.intersection(shown[j].frame);
                EXPECT_FALSE(both.width() > 2 && both.height() > 0.4 * std::min(shown[i].frame.height(), shown[j].frame.height()))
                    << screen.size.width << ": " << shown[i].text << " over " << shown[j].text;
            }
        }
    }
}

TEST_F(FuelViewControllerTest, TripResetClearsThePanel)
{
    ASSERT_TRUE(connect());
    auto fuel = showFuel();
    drive(20);
    fuel->resetData();
    EXPECT_EQ(fuel->timeText(), "00:00:00");
    EXPECT_EQ(fuel->speedText(), "0 mph");
    EXPECT_EQ(fuel->fuelText(), "0 gal.");
    EXPECT_EQ(fuel->co2Text(), "0 lb.");
    EXPECT_EQ(fnd::SystemSound::played().back(), FuelViewController::resetSound);
    EXPECT_TRUE(fuel->fView()->isTimerRunning());
}

TEST_F(FuelViewControllerTest, HandOverTakesTheOtherScreensFiguresOnce)
{
    DataStore& store = DataStore::sharedDataStore();
    store.fuelEconomyArr = {20, 22, 24, 26, 28};
    store.fuelEcoMinArr = {30, 31};
    store.fuelElapsedTime = 65;
    store.distance = 1.5f;
    ASSERT_TRUE(connect());
    auto fuel = showFuel();
    EXPECT_GE(fuel->fView()->averages().tally().minuteSamples().size(), 2u);
    EXPECT_FLOAT_EQ(fuel->fView()->avgMpgArr2()[1], 24);
    EXPECT_TRUE(store.fuelEconomyArr.empty());
    EXPECT_TRUE(store.fuelEcoMinArr.empty());
    EXPECT_EQ(store.fuelElapsedTime, 0);
    EXPECT_FLOAT_EQ(store.distance, 0);
    EXPECT_GE(fuel->trip().ticks(), 65);
}

TEST_F(FuelViewControllerTest, LeavingTheScreenSavesTheDay)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.speed = 100;
        s.maf = 10;
    });
    ASSERT_TRUE(connect());
    auto fuel = showFuel();
    ASSERT_TRUE(waitForEconomy(*fuel));
    drive(60);
    ASSERT_TRUE(fuel->fView()->hasData());
    leave();
    ASSERT_EQ(fuelData().dayCount(), 1u);
    EXPECT_EQ(fuelData().dateArr[0], fnd::DateFormatter("MMM d, yyyy").stringFromDate(fnd::Date::now()));
    EXPECT_NEAR(fuelData().dataArr[0], 71.07, 0.1);
}

TEST_F(FuelViewControllerTest, TemperatureWarningsWaitForTheUserOneAtATime)
{
    auto fuel = showFuel();
    Response coolant;
    coolant.mode = 0x41;
    coolant.pid = 0x05;
    coolant.data = {40 + 120};
    fuel->checkSensor(coolant);
    fuel->checkSensor(coolant);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(), "High coolant temperature\n 120");
    EXPECT_EQ(ui::AlertController::queuedCount(), 0u);
    ui::AlertController::visible()->triggerAction("Ok");
    advance(1);
    fuel->checkSensor(coolant);
    EXPECT_NE(ui::AlertController::visible(), nullptr);

    settings().speedLimitEnabled = true;
    Response speed;
    speed.mode = 0x41;
    speed.pid = 0x0D;
    speed.data = {130};
    fnd::SystemSound::clearPlayed();
    fuel->checkSensor(speed);
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{FuelViewController::warningSound}));
}

}  // namespace
