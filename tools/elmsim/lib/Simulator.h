#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "elmsim/lib/Adapter.h"
#include "elmsim/lib/Car.h"

namespace elmsim {

// An ELM327 adapter on loopback TCP, served by a thread of its own. One client at a time: a new
// connection replaces the old one. Every setter is thread-safe and takes effect on the next request.
class Simulator {
public:
    Simulator();
    ~Simulator();  // stops the thread and closes every socket
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Listens on 127.0.0.1:port (0: any free port); returns the port, 0 when it cannot listen.
    std::uint16_t start(std::uint16_t port = 0);
    void stop();
    std::uint16_t port() const;

    void updateCar(const std::function<void(CarState&)>& change);
    CarState car() const;
    void setOptions(const std::function<void(AdapterOptions&)>& change);
    // Real time before each reply: `seconds`, give or take up to `jitter`, drawn anew for each request.
    void setLatency(double seconds, double jitter = 0);
    // The time base the car drives by, in seconds (read on the simulator's thread at each request);
    // by default the real time. Tests hand in the run loop's manual clock.
    void setClock(std::function<double()> now);
    // On the next OBD requests (only those beginning with `request` when one is given); times < 0: until cleared.
    void injectFault(Fault fault, int times = 1, const std::string& request = {});
    void clearFaults();

    // The requests received, as sent without the carriage return, oldest first.
    std::vector<std::string> requests() const;
    void clearRequests();
    // How often a byte arrived while the adapter was still answering (each one aborted a reply).
    int interruptions() const;
    // Connections accepted so far.
    int connections() const;
    // Called on the simulator's thread for each request received.
    void setRequestObserver(std::function<void(const std::string&)> observer);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace elmsim
