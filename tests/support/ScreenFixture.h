#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>

#include "core/link/Scanner.h"
#include "core/model/Manager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Device.h"
#include "support/SimulatorFixture.h"
#include "support/WindowFixture.h"

namespace testsupport {

// What the screen tests share, beside their own first-run state: the adapter simulator on loopback, the
// real link to it and the window.
class ScreenFixture : protected SimulatorFixture, protected WindowFixture {
protected:
    // A link to the simulator, made from the settings as they are now.
    void makeLink() { link = Scanner::ScannerForMode(0, Manager::sharedManager().linkSettings()); }

    // Connects the link, made first when there is none.
    bool connect()
    {
        if (!link)
            makeLink();
        link->connect();
        return waitFor([&] { return link->isConnected(); });
    }

    // Moves the clock on a second at a time, letting the link exchange a request in each, so that its reply
    // timeout never sees a silent adapter.
    void drive(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            const std::size_t before = sim.requests().size();
            fnd::RunLoop::main().advance(1);
            if (link && link->isConnected())
                EXPECT_TRUE(waitFor([&] { return sim.requests().size() > before + 1; })) << "the adapter answers";
        }
    }

    // No alert left up, the window closed, the link and the simulator stopped, the device as at start.
    void closeAll()
    {
        ui::AlertController::dismissAll();
        closeWindow();
        if (link) {
            link->setDelegate(nullptr);
            link->disconnect();
        }
        sim.stop();
        ui::Device::current().reset();
    }

    std::shared_ptr<Scanner> link;
};

}  // namespace testsupport
