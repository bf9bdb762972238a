#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Notifications.h"
#include "core/link/Scanner.h"
#include "elmsim/lib/Simulator.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"

// Records every callback of the link.
struct LinkRecorder : ScannerDelegate {
    int initialized = 0;
    bool connectedAtInitialize = false;
    std::vector<std::vector<Response>> responses;
    std::vector<std::vector<Response>> voltages;
    std::vector<std::vector<Response>> statuses;
    std::vector<std::string> statusTexts;
    std::vector<int> offeredECUs;
    bool choosesECU = false;
    std::vector<std::pair<std::string, ReplyProblem>> failures;  // the request and what came of it

    void scannerDidInitialize(Scanner& scanner) override
    {
        ++initialized;
        connectedAtInitialize = scanner.isConnected();
    }
    void didReceiveResponse(const std::vector<Response>& r) override { responses.push_back(r); }
    void scannerDidReceiveVoltage(Scanner&, const std::vector<Response>& r) override { voltages.push_back(r); }
    void scannerDidReceiveStatusResponse(Scanner&, const std::vector<Response>& r) override { statuses.push_back(r); }
    void scannerDidUpdateStatus(Scanner&, const std::string& text) override { statusTexts.push_back(text); }
    void scannerRequestFailed(Scanner&, const Command& command, ReplyProblem problem) override
    {
        failures.emplace_back(command.commandString, problem);
    }
    bool scannerShouldChooseECU(Scanner&, const std::vector<int>& ecus) override
    {
        offeredECUs = ecus;
        return choosesECU;
    }

    // Every Response delivered through didReceiveResponse, in order.
    std::vector<Response> all() const
    {
        std::vector<Response> out;
        for (const auto& call : responses)
            out.insert(out.end(), call.begin(), call.end());
        return out;
    }
};

// The real link against the simulator on loopback, with its settings as a plain value and a sink that
// keeps the supported PIDs it reports. Time for the link's timers comes from the manual clock; I/O is
// waited for with runUntil.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(sim.start(), 0);
        sim.updateCar([](elmsim::CarState& s) { s.moving = false; });
        settings.adapter = {"127.0.0.1", sim.port()};
        droppedToken = fnd::NotificationCenter::defaultCenter().addObserver(
            connectionDroppedNotification, [this](const fnd::Notification&) { ++dropped; });
    }

    void TearDown() override
    {
        if (link) {
            link->setDelegate(nullptr);
            link->disconnect();
        }
        sim.stop();
    }

    // A link with the settings as they are now.
    void makeLink(int deviceMode = 0)
    {
        link = Scanner::ScannerForMode(deviceMode, settings);
        link->setDelegate(recorder);
        link->setSupportedPIDsSink([this](const SupportedPIDs& pids) {
            supported = pids;
            ++supportedReports;
        });
    }

    static bool waitFor(const std::function<bool()>& done) { return fnd::RunLoop::main().runUntil(done, 10.0); }

    // Connects and waits until the link is connected or has given up.
    bool connect()
    {
        if (!link)
            makeLink();
        const int droppedBefore = dropped;
        link->connect();
        return waitFor([&] { return link->isConnected() || dropped > droppedBefore; }) && link->isConnected();
    }

    bool waitForResponses(std::size_t count)
    {
        return waitFor([&] { return recorder->all().size() >= count; });
    }

    int requestCount(const std::string& request) const
    {
        const auto log = sim.requests();
        return static_cast<int>(std::count(log.begin(), log.end(), request));
    }

    bool waitForRequests(const std::string& request, int count)
    {
        return waitFor([&] { return requestCount(request) >= count; });
    }

    // A request through sendCommand and its reply: everything sent before it has been answered.
    bool roundTrip()
    {
        const std::size_t before = recorder->all().size();
        link->sendCommand(link->commandForOBD2(0x01, 0x1C, 255));
        return waitForResponses(before + 1);
    }

    elmsim::Simulator sim;
    LinkSettings settings;
    std::shared_ptr<Scanner> link;
    std::shared_ptr<LinkRecorder> recorder = std::make_shared<LinkRecorder>();
    SupportedPIDs supported;  // what the sink was given last
    int supportedReports = 0;
    int dropped = 0;
    fnd::NotificationCenter::Token droppedToken;
};
