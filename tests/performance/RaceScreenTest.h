#pragma once

#include <functional>
#include <memory>

#include "RaceTest.h"
#include "performance/RaceViewController.h"
#include "platform/foundation/Log.h"
#include "platform/geo/LocationService.h"
#include "platform/motion/MotionService.h"
#include "platform/ui/AlertController.h"
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
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        root->setRootViewController(race);
        advance(0.5);
        return race;
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
