#pragma once

#include "platform/ui/Device.h"
#include "platform/ui/Geometry.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class RootWindow;
class ViewController;

// The host's own command-line options; everything else is left to the app.
struct ApplicationOptions {
    UserInterfaceIdiom idiom = UserInterfaceIdiom::Phone;
    std::optional<Size> size;                 // --size WxH (points)
    std::filesystem::path screenshot;         // --screenshot FILE: PNG of the window just before quitting
    std::optional<double> quitAfter;          // --quit-after SECONDS
    std::filesystem::path gpsReplay;          // --gps-replay FILE: NMEA log fed to the location service
    std::filesystem::path motionReplay;       // --motion-replay FILE: "t,x,y,z" lines fed to device motion
    std::string camera;                       // --camera synthetic|none|/dev/videoN (empty: first V4L2 camera, else synthetic)
    std::string microphone = "default";       // --microphone default|none|synthetic
    std::vector<std::string> arguments;       // the rest, program name first
    std::vector<std::string> errors;          // options given bad values (ignored)
};

ApplicationOptions parseApplicationOptions(int argc, char** argv);

enum class MouseAction { Press, Move, Release };

// The desktop window that shows the screens: a window of the device's size
// (from --idiom and --size) showing the key window's view tree. The mouse
// is one finger; with Ctrl or Alt held when the button goes down a second
// finger follows, mirrored about the window's centre. The wheel scrolls,
// keys go to the first responder, resizing turns the device and sends the
// size-transition callbacks. The run loop runs on the real clock.
//
//     ui::Application app(argc, argv);
//     app.setRootViewController(root);
//     return app.run();
//
// Made after fnd::initPlatform, destroyed before fnd::shutdownPlatform.
class Application {
public:
    Application(int argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* shared();

    const ApplicationOptions& options() const { return options_; }
    // The value of an option left to the app: "--name value" or "--name=value".
    std::optional<std::string> optionValue(const std::string& name) const;
    bool hasOption(const std::string& name) const;

    RootWindow& rootWindow() { return *rootWindow_; }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    // The application delegate's moments: the window hidden or minimised,
    // shown again, and the end of the run.
    void setDidEnterBackgroundHandler(std::function<void()> handler) { didEnterBackground_ = std::move(handler); }
    void setWillEnterForegroundHandler(std::function<void()> handler) { willEnterForeground_ = std::move(handler); }
    void setWillTerminateHandler(std::function<void()> handler) { willTerminate_ = std::move(handler); }

    // Shows the window and runs until it closes or quit() (or --quit-after);
    // returns the exit code.
    int run();
    void quit(int code = 0);

    // The window's content as a PNG (at the window's pixel ratio).
    bool saveScreenshot(const std::filesystem::path& path) const;

    // Input as the windowing system delivers it, in window points (tests).
    void sendMouse(MouseAction action, Point location, bool secondFinger = false);
    void sendWheel(Point location, double notches);
    void resizeHostWindow(Size size);

private:
    struct HostWindow;
    void enterBackground(bool background);
    void terminate();

    ApplicationOptions options_;
    std::unique_ptr<RootWindow> rootWindow_;
    std::unique_ptr<HostWindow> host_;
    std::function<void()> didEnterBackground_;
    std::function<void()> willEnterForeground_;
    std::function<void()> willTerminate_;
    bool background_ = false;
    bool terminated_ = false;
    Application* previous_ = nullptr;
};

} // namespace ui
