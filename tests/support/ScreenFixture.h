#pragma once

#include <functional>
#include <memory>

#include "core/link/Scanner.h"
#include "core/model/Manager.h"
#include "elmsim/lib/Simulator.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Device.h"
#include "platform/ui/RootWindow.h"

namespace testsupport {

// What the screen tests share, beside their own first-run state: the adapter simulator on loopback with
// the car standing still and the settings pointed at it, the real link, and the window. Time is the manual
// clock; I/O is waited for. Header only: the support library does not link the app model.
class ScreenFixture {
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

    bool connect()
    {
        link = Scanner::ScannerForMode(0, Manager::sharedManager().linkSettings());
        link->connect();
        return waitFor([&] { return link->isConnected(); });
    }

    static bool waitFor(const std::function<bool()>& done, double seconds = 10.0)
    {
        return fnd::RunLoop::main().runUntil(done, seconds);
    }

    // No alert left up, the window closed, the link and the simulator stopped, the device as at start.
    void closeAll()
    {
        ui::AlertController::dismissAll();
        root.reset();
        if (link)
            link->disconnect();
        sim.stop();
        ui::Device::current().reset();
    }

    elmsim::Simulator sim;
    std::shared_ptr<Scanner> link;
    std::unique_ptr<ui::RootWindow> root;
};

}  // namespace testsupport
