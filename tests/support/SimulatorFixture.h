#pragma once

#include <algorithm>
#include <functional>
#include <string>

#include "core/model/Manager.h"
#include "elmsim/lib/Simulator.h"
#include "platform/foundation/RunLoop.h"

namespace testsupport {

// The adapter simulator on loopback with the car standing still, and the settings pointed at it. Time is
// the manual clock; I/O is waited for. Header only: the support library does not link the app model.
class SimulatorFixture {
protected:
    // False when the simulator could not listen.
    bool startSimulator()
    {
        if (sim.start() == 0)
            return false;
        sim.updateCar([](elmsim::CarState& car) { car.moving = false; });
        Settings& settings = Manager::sharedManager().setting();
        settings.hostIP = "127.0.0.1";
        settings.port = sim.port();
        return true;
    }

    static bool waitFor(const std::function<bool()>& done, double seconds = 10.0)
    {
        return fnd::RunLoop::main().runUntil(done, seconds);
    }

    // How many times the adapter received `request` so far.
    int requestCount(const std::string& request) const
    {
        const auto log = sim.requests();
        return static_cast<int>(std::count(log.begin(), log.end(), request));
    }

    elmsim::Simulator sim;
};

}  // namespace testsupport
