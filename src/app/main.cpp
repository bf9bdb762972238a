// Norvale: vehicle diagnostics and live data through an ELM327 adapter.
//   norvale [--adapter HOST:PORT] [--idiom phone|pad] [--size WxH] [--screenshot FILE] [--quit-after SECONDS]
//           [--camera synthetic|none|/dev/videoN] [--microphone default|none|synthetic]
// --adapter replaces the stored Wi-Fi adapter address for this run only.

#include <cstdio>
#include <optional>

#include "app/Features.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/CaptureDevice.h"
#include "platform/ui/Application.h"
#include "shell/AppDelegate.h"

int main(int argc, char** argv)
{
    fnd::initPlatform(argc, argv);
    int code = 2;
    {
        // Outlives the host window, whose handlers call it.
        AppDelegate delegate(appScreens());
        ui::Application app(argc, argv);
        media::CaptureDevice::configure(app.options().camera, app.options().microphone);
        std::optional<AdapterAddress> adapter;
        const std::optional<std::string> text = app.optionValue("adapter");
        if (text)
            adapter = AppDelegate::parseAdapterAddress(*text);
        if (app.hasOption("adapter") && !adapter) {
            std::fprintf(stderr, "norvale: --adapter takes HOST:PORT, such as 192.168.0.10:35000\n");
        } else {
            app.setDidEnterBackgroundHandler([&delegate] { delegate.didEnterBackground(); });
            app.setWillEnterForegroundHandler([&delegate] { delegate.willEnterForeground(); });
            app.setWillTerminateHandler([&delegate] { delegate.willTerminate(); });
            delegate.didFinishLaunching(app.rootWindow(), adapter);
            code = app.run();
        }
    }
    fnd::shutdownPlatform();
    return code;
}
