// gpsd's report stream of any bytes, one line at a time as the client splits it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/RunLoop.h"
#include "platform/geo/GpsdClient.h"

// A report without a time is stamped by the run loop's clock, which lives with
// the application object: made first and shut down at exit, as in the app.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fnd::initPlatform(*argc, *argv);
    std::atexit(fnd::shutdownPlatform);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const auto fix = geo::GpsdClient::fixFromReport(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!fix)
            continue;
        const geo::Location& location = fix->location;
        if (!(std::abs(location.coordinate.latitude) <= 90) || !(std::abs(location.coordinate.longitude) <= 180) ||
            !std::isfinite(location.horizontalAccuracy) || !std::isfinite(location.timestamp.secondsSince1970))
            __builtin_trap();
    }
    return 0;
}
