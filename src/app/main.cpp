// Norvale: vehicle diagnostics and live data through an ELM327 adapter.
//   norvale [--adapter HOST:PORT] [--idiom phone|pad] [--size WxH] [--open ENTRY[/TAB]]
//           [--camera synthetic|none|/dev/videoN] [--microphone default|none|synthetic]
//           [--gps-replay FILE] [--motion-replay FILE]
//           [--screenshot FILE] [--quit-after SECONDS] [--dump-text] [--help]
// --adapter replaces the stored Wi-Fi adapter address for this run only. An unknown option or a bad
// value ends the run with status 2.
// --gps-replay plays an NMEA log as the GPS (else NORVALE_GPS_REPLAY, else gpsd); a named pipe plays as its
// writer sends, and is never waited on.
// --motion-replay plays "t,x,y,z" lines as device motion (else NORVALE_MOTION_REPLAY,
// else an IIO accelerometer).

#include <cstdio>
#include <optional>

#include "app/Features.h"
#include "platform/foundation/RunLoop.h"
#include "platform/geo/LocationService.h"
#include "platform/media/CaptureDevice.h"
#include "platform/motion/MotionService.h"
#include "platform/ui/Application.h"
#include "shell/AppDelegate.h"

namespace {

int run(int argc, char** argv)
{
    // Outlives the host window, whose handlers call it.
    AppDelegate delegate(appScreens());
    ui::Application app(argc, argv,
                        {{"adapter", "HOST:PORT", "the Wi-Fi adapter's address for this run, such as 192.168.0.10:35000"}});
    if (const auto code = app.commandLineExit())
        return *code;
    // Every option is checked before anything is opened, connected or written (the first launch's files,
    // the launch count).
    // Given twice, the last one counts; each is checked.
    std::optional<AdapterAddress> adapter;
    for (const std::string& text : app.optionValues("adapter")) {
        adapter = AppDelegate::parseAdapterAddress(text);
        if (!adapter) {
            std::fprintf(stderr, "norvale: --adapter takes HOST:PORT, such as 192.168.0.10:35000, not \"%s\"\n",
                         text.c_str());
            return 2;
        }
    }
    const std::string& screen = app.options().open;
    if (const auto error = screen.empty() ? std::nullopt : delegate.checkScreenPath(screen)) {
        std::fprintf(stderr, "norvale: --open: %s\n", error->c_str());
        return 2;
    }
    media::CaptureDevice::configure(app.options().camera, app.options().microphone);
    // The location service runs from start-up, as the phone's does.
    const std::string gpsError =
        geo::LocationService::shared().start(geo::LocationService::sourcesFromEnvironment(app.options().gpsReplay));
    if (!gpsError.empty())
        std::fprintf(stderr, "norvale: %s\n", gpsError.c_str());
    const std::string motionError = motion::MotionService::shared().start(
        motion::MotionService::sourcesFromEnvironment(app.options().motionReplay));
    if (!motionError.empty())
        std::fprintf(stderr, "norvale: %s\n", motionError.c_str());
    // A replay that cannot be played is a bad value too.
    if (!gpsError.empty() || !motionError.empty())
        return 2;
    app.setDidEnterBackgroundHandler([&delegate] { delegate.didEnterBackground(); });
    app.setWillEnterForegroundHandler([&delegate] { delegate.willEnterForeground(); });
    app.setWillTerminateHandler([&delegate] { delegate.willTerminate(); });
    delegate.didFinishLaunching(app.rootWindow(), adapter);
    if (!screen.empty()) {
        if (const auto error = delegate.openScreen(screen)) {
            std::fprintf(stderr, "norvale: --open: %s\n", error->c_str());
            return 2;
        }
    }
    return app.run();
}

}  // namespace

int main(int argc, char** argv)
{
    fnd::initPlatform(argc, argv);
    const int code = run(argc, argv);
    fnd::shutdownPlatform();
    return code;
}
