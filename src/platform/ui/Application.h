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

// An option of the app's own, which takes a value ("--name value" or "--name=value"): the host accepts it,
// lists it in --help and leaves its value to the app.
struct AppOption {
    std::string name;       // without the dashes
    std::string valueName;  // what --help shows as its value, such as "HOST:PORT"
    std::string help;
};

// The host's own command-line options; the app's own are passed on in `arguments`.
struct ApplicationOptions {
    UserInterfaceIdiom idiom = UserInterfaceIdiom::Phone;
    std::optional<Size> size;                 // --size WxH (points)
    std::filesystem::path screenshot;         // --screenshot FILE: PNG of the window just before quitting
    std::optional<double> quitAfter;          // --quit-after SECONDS
    std::filesystem::path gpsReplay;          // --gps-replay FILE: NMEA log fed to the location service
    std::filesystem::path motionReplay;       // --motion-replay FILE: "t,x,y,z" lines fed to device motion
    std::string camera;                       // --camera synthetic|none|/dev/videoN (empty: first V4L2 camera, else synthetic)
    std::string microphone = "default";       // --microphone default|none|synthetic
    std::string open;                         // --open PATH: the screen to start on, for the app to find
    bool dumpText = false;                    // --dump-text: print the visible texts at quit
    bool help = false;                        // --help
    std::vector<std::string> arguments;       // the app's options, program name first
    std::vector<std::string> errors;          // unknown options and bad values (each ignored)
};

ApplicationOptions parseApplicationOptions(int argc, char** argv, const std::vector<AppOption>& appOptions = {});
// What --help prints: every option the host and the app take.
std::string applicationUsage(const std::string& program, const std::vector<AppOption>& appOptions);

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
    Application(int argc, char** argv, std::vector<AppOption> appOptions = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* shared();

    const ApplicationOptions& options() const { return options_; }
    // With --help, prints the usage to standard output and gives 0; with an unknown option or a bad value,
    // prints what is wrong to standard error and gives 2; otherwise nothing: the app may run.
    std::optional<int> commandLineExit() const;
    // The values of an option left to the app ("--name value" or "--name=value"), in the order given.
    std::vector<std::string> optionValues(const std::string& name) const;
    bool hasOption(const std::string& name) const;

    RootWindow& rootWindow() { return *rootWindow_; }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    // The application delegate's moments: the window hidden or minimised,
    // shown again, and the end of the run.
    void setDidEnterBackgroundHandler(std::function<void()> handler) { didEnterBackground_ = std::move(handler); }
    void setWillEnterForegroundHandler(std::function<void()> handler) { willEnterForeground_ = std::move(handler); }
    void setWillTerminateHandler(std::function<void()> handler) { willTerminate_ = std::move(handler); }

    // Shows the window and runs until it closes or quit() (or --quit-after, or
    // SIGTERM, SIGINT or SIGHUP, which end the run as closing does); returns the
    // exit code. With --dump-text the visible texts go to standard output at the
    // end, one per line in reading order.
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

    std::vector<AppOption> appOptions_;
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
