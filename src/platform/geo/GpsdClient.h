#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Timer.h"
#include "platform/geo/LocationSource.h"
#include "platform/net/TcpStream.h"

namespace geo {

// A client of gpsd's JSON protocol over TCP: it asks for the watch stream and
// turns each TPV report with a 2D or 3D fix into a location. A refused or lost
// connection is tried again after 1 s, doubling up to 30 s, on the run loop's clock.
class GpsdClient : public LocationSource, private net::TcpStream::Delegate {
public:
    static constexpr double firstRetryDelay = 1;
    static constexpr double longestRetryDelay = 30;

    GpsdClient(std::string host, std::uint16_t port, SourceEvents events);
    ~GpsdClient() override;

    void start() override;
    bool isReachable() const override { return !down_; }

    // The fix one report line gives; nullopt for other classes, no fix, or bad JSON.
    static std::optional<Fix> fixFromReport(std::string_view line);

private:
    void connect();
    void dropAndRetry(const std::string& message);
    void streamDidOpen(net::TcpStream&) override;
    void streamHasBytes(net::TcpStream&) override;
    void streamError(net::TcpStream&, const std::string& message) override;
    void streamEnded(net::TcpStream&) override;

    std::string host_;
    std::uint16_t port_;
    SourceEvents events_;
    net::TcpStream stream_;
    std::string buffer_;
    bool connected_ = false;
    bool down_ = false;  // refused or lost, and not back yet
    double retryDelay_ = firstRetryDelay;
    fnd::DelayedCall retry_;
};

}  // namespace geo
