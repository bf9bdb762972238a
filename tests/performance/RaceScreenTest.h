#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "core/model/RaceTest.h"
#include "performance/RaceViewController.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/geo/LocationService.h"
#include "platform/motion/MotionService.h"
#include "platform/ui/AlertController.h"
#include "support/Input.h"
#include "support/ScreenFixture.h"

// The race screen in a phone-sized window, with a real link to the adapter
// simulator on loopback, injected GPS fixes and motion. The car stands still
// unless a test drives it; timers run on the manual clock.
class RaceScreenTest : public RaceTest, protected testsupport::ScreenFixture {
protected:
    void SetUp() override
    {
        RaceTest::SetUp();
        ui::AlertController::dismissAll();
        geo::LocationService::shared().startInjection();
        motion::MotionService::shared().startInjection();
        ASSERT_TRUE(startSimulator());
        settings().firstRace = false;
    }

    void TearDown() override
    {
        EXPECT_FALSE(log_.contains("missing image")) << "every image the race screens name is bundled";
        race.reset();
        closeAll();
        motion::MotionService::shared().inject({});
        motion::MotionService::shared().stop();
        geo::LocationService::shared().stop();
    }

    std::shared_ptr<RaceViewController> showRace()
    {
        race = std::make_shared<RaceViewController>();
        race->setScanner(link);
        makeWindow();
        show(race);
        return race;
    }

    RacePanels& panels() { return *race->panels(); }
    RaceMenus& menus() { return *race->menus(); }

    // "Drag", then "Ready", tapped as the user does on a connected link.
    void armDrag()
    {
        ASSERT_TRUE(testsupport::tapText(window(), "Drag"));
        ASSERT_TRUE(testsupport::tapText(window(), "Ready"));
        advance(0.5);
        ASSERT_TRUE(race->engine().raceReady());
        ASSERT_TRUE(testsupport::shows(window(), fnd::L("Accelerate")));
    }

    // The race screen's options, from the bar a tap drops in.
    void chooseOption(const std::string& option)
    {
        testsupport::tap(window(), panels().statPanel());
        advance(0.5);
        window().layoutIfNeeded();
        ASSERT_NE(menus().optionsButton(), nullptr);
        testsupport::tap(window(), *menus().optionsButton());
        advance(0.5);
        ASSERT_TRUE(testsupport::tapText(window(), fnd::L(option))) << option;
        advance(1);
    }

    // The phone feels the launch; samples come on the motion queue's thread as the clock moves on.
    void launch()
    {
        motion::MotionService::shared().inject({0, 0, 0.5});
        for (int i = 0; i < 100 && !race->engine().recording(); ++i) {
            advance(0.05);
            fnd::RunLoop::main().runUntil([&] { return race->engine().recording(); }, 0.02);
        }
        motion::MotionService::shared().inject({});
        advance(0.5);
    }

    // A quick stroke from right to left across the page area: the next page; from left to right, the one before.
    void swipeToNextPage() { strokeAcrossPages(false); }
    void swipeToPreviousPage() { strokeAcrossPages(true); }

    void strokeAcrossPages(bool rightwards)
    {
        window().layoutIfNeeded();
        ui::View& pages = *panels().pageView().view();
        const ui::Rect b = pages.bounds();
        ui::Point from = pages.convertPoint({b.maxX() - 20, b.midY()}, nullptr);
        ui::Point to = pages.convertPoint({b.minX() + 20, b.midY()}, nullptr);
        if (rightwards)
            std::swap(from, to);
        testsupport::drag(window(), from, to, 0.16, 8);
        advance(2);
    }

    std::vector<std::string> polled() const
    {
        std::vector<std::string> requests;
        for (const Command& command : link->commands().value_or(std::vector<Command>{}))
            requests.push_back(command.commandString);
        return requests;
    }

    static Response reply(int pid, std::vector<std::uint8_t> data)
    {
        Response r;
        r.mode = 0x41;
        r.pid = static_cast<std::uint8_t>(pid);
        r.data = std::move(data);
        return r;
    }

    fnd::LogCapture log_;
    std::shared_ptr<RaceViewController> race;
};
