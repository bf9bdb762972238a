#include "Screens.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "support/TestSupport.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>

using namespace ui;
using namespace controllertests;

namespace {

std::vector<char*> argvOf(std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

const std::vector<AppOption> appOptions = {{"adapter", "HOST:PORT", "the adapter"}};

ApplicationOptions parse(std::vector<std::string> args)
{
    auto argv = argvOf(args);
    return parseApplicationOptions(static_cast<int>(args.size()), argv.data(), appOptions);
}

TEST(ApplicationOptionsTest, HostOptionsAreTakenAndTheAppsPassedOn)
{
    const auto options = parse({"norvale", "--idiom", "pad", "--size", "1024x768", "--adapter", "wifi",
                                "--screenshot", "shot.png", "--quit-after=2.5", "--open", "Diagnostics/Trouble Codes",
                                "--dump-text", "--gps-replay", "drive.nmea", "--motion-replay", "launch.csv"});
    EXPECT_EQ(options.idiom, UserInterfaceIdiom::Pad);
    EXPECT_EQ(options.size, (Size{1024, 768}));
    EXPECT_EQ(options.screenshot, "shot.png");
    EXPECT_EQ(options.quitAfter, 2.5);
    EXPECT_EQ(options.open, "Diagnostics/Trouble Codes");
    EXPECT_TRUE(options.dumpText);
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.gpsReplay, "drive.nmea");
    EXPECT_EQ(options.motionReplay, "launch.csv");
    EXPECT_EQ(options.arguments, (std::vector<std::string>{"norvale", "--adapter", "wifi"}));
    EXPECT_TRUE(options.errors.empty());
    EXPECT_TRUE(parse({"norvale", "--help"}).help);
}

// Every option --help lists, the app's first, each with its value.
TEST(ApplicationOptionsTest, UsageListsEveryOption)
{
    const std::string usage = applicationUsage("norvale", appOptions);
    EXPECT_TRUE(usage.starts_with("Usage: norvale"));
    std::size_t last = 0;
    for (const char* option : {"--adapter HOST:PORT", "--idiom phone|pad", "--size WxH", "--open ENTRY[/TAB]",
                               "--screenshot FILE", "--quit-after SECONDS", "--dump-text", "--help"}) {
        const std::size_t at = usage.find(option);
        ASSERT_NE(at, std::string::npos) << option;
        EXPECT_GT(at, last) << option;
        last = at;
    }
}

TEST(ApplicationOptionsTest, BadValuesAndUnknownOptionsAreReported)
{
    const std::vector<std::vector<std::string>> cases = {
        {"norvale", "--idiom", "watch"}, {"norvale", "--size", "390"},        {"norvale", "--size", "390x"},
        {"norvale", "--size", "10x10"},  {"norvale", "--size", "390x844px"}, {"norvale", "--quit-after", "-1"},
        {"norvale", "--quit-after", "soon"}, {"norvale", "--quit-after", "abc"}, {"norvale", "--size"},
        {"norvale", "--open"}, {"norvale", "--open", "--dump-text"}, {"norvale", "--dump-text=yes"},
        {"norvale", "--adapter"}, {"norvale", "--verbose"}, {"norvale", "-v"}, {"norvale", "stray"},
        {"norvale", "--dump-text", "stray"}, {"norvale", "--screenshot", "--help"}, {"norvale", "--gps-replay"},
        {"norvale", "--screenshot", "/nonexistent/shot.png"},
    };
    for (const auto& args : cases) {
        const auto options = parse(args);
        EXPECT_EQ(options.errors.size(), 1u) << args[1] << " " << args.back();
        EXPECT_EQ(options.idiom, UserInterfaceIdiom::Phone);
        EXPECT_FALSE(options.size);
        EXPECT_FALSE(options.quitAfter);
    }
}

TEST(ApplicationOptionsTest, CaptureDevicesAreChosenOrRefused)
{
    const auto defaults = parse({"norvale"});
    EXPECT_EQ(defaults.camera, "");
    EXPECT_EQ(defaults.microphone, "default");
    const auto chosen = parse({"norvale", "--camera", "/dev/video2", "--microphone", "synthetic"});
    EXPECT_EQ(chosen.camera, "/dev/video2");
    EXPECT_EQ(chosen.microphone, "synthetic");
    EXPECT_TRUE(chosen.errors.empty());
    const auto bad = parse({"norvale", "--camera", "webcam", "--microphone", "loud"});
    EXPECT_EQ(bad.errors.size(), 2u);
    EXPECT_EQ(bad.camera, "");
    EXPECT_EQ(bad.microphone, "default");
}

// Counts the touches that reach it.
class TouchCounter : public View {
public:
    using View::View;
    std::vector<Point> began;
    void touchesBegan(const std::vector<Touch>& touches) override
    {
        for (const Touch& t : touches)
            began.push_back(t.location);
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { Device::current().reset(); }
    ~ApplicationTest() override
    {
        fnd::RunLoop::main().useManualClock();
        Device::current().reset();
    }
    std::unique_ptr<Application> make(std::vector<std::string> args)
    {
        auto argv = argvOf(args);
        return std::make_unique<Application>(static_cast<int>(args.size()), argv.data(), appOptions);
    }
    std::shared_ptr<Log> log = std::make_shared<Log>();
};

// A mistyped command line ends the run with status 2 rather than running with the option ignored.
TEST_F(ApplicationTest, ABadCommandLineEndsTheRun)
{
    EXPECT_EQ(make({"norvale", "--quit-after", "abc"})->commandLineExit(), 2);
    EXPECT_EQ(make({"norvale", "--opne", "Settings"})->commandLineExit(), 2);
    EXPECT_EQ(make({"norvale", "--help"})->commandLineExit(), 0);
    EXPECT_EQ(make({"norvale", "--help", "--bogus"})->commandLineExit(), 2);
    EXPECT_FALSE(make({"norvale", "--open", "Settings", "--dump-text"})->commandLineExit());
}

TEST_F(ApplicationTest, TheMouseIsAFingerAndAModifierAddsAMirroredOne)
{
    auto app = make({"norvale", "--adapter=sim"});
    EXPECT_FALSE(app->commandLineExit());
    EXPECT_EQ(app->optionValues("adapter"), std::vector<std::string>{"sim"});
    EXPECT_TRUE(app->hasOption("adapter"));
    EXPECT_TRUE(app->optionValues("size").empty());
    auto home = std::make_shared<Screen>("Home", log);
    app->setRootViewController(home);
    auto button = std::make_shared<Button>(ButtonType::System, makeRect(20, 100, 120, 44));
    button->setTitle("Connect");
    int taps = 0;
    button->addTarget(ControlEvent::TouchUpInside, [&](Control&) { ++taps; });
    auto pad = std::make_shared<TouchCounter>(makeRect(0, 0, 390, 844));
    home->view()->addSubview(pad);
    home->view()->addSubview(button);

    app->sendMouse(MouseAction::Press, {60, 120});
    app->sendMouse(MouseAction::Move, {62, 121});
    app->sendMouse(MouseAction::Release, {62, 121});
    EXPECT_EQ(taps, 1);

    EXPECT_TRUE(pad->began.empty());

    app->sendMouse(MouseAction::Press, {100, 500});
    app->sendMouse(MouseAction::Release, {100, 500});
    EXPECT_EQ(pad->began, (std::vector<Point>{{100, 500}}));
    pad->began.clear();
    app->sendMouse(MouseAction::Press, {100, 600}, true);
    app->sendMouse(MouseAction::Release, {100, 600});
    EXPECT_EQ(pad->began, (std::vector<Point>{{100, 600}, {290, 244}})) << "mirrored about the centre (195, 422)";
}

TEST_F(ApplicationTest, ResizingTurnsTheDevice)
{
    auto app = make({"norvale", "--idiom", "pad"});
    EXPECT_TRUE(Device::current().isPad());
    EXPECT_EQ(app->rootWindow().size(), Device::defaultPadSize);
    auto home = std::make_shared<Screen>("Home", log);
    app->setRootViewController(home);
    log->clear();
    app->resizeHostWindow({1024, 768});
    EXPECT_EQ(Device::current().interfaceOrientation(), InterfaceOrientation::LandscapeRight);
    EXPECT_EQ(home->view()->bounds().size, (Size{1024, 768}));
    EXPECT_FALSE(log->empty());
    EXPECT_EQ(log->front(), "Home willTransition 1024");
}

TEST_F(ApplicationTest, RunTakesAScreenshotBeforeQuitting)
{
    const auto path = testsupport::artifactsDir() / "application-window.png";
    std::filesystem::remove(path);
    auto app = make({"norvale", "--screenshot", path.string(), "--quit-after", "0"});
    auto home = std::make_shared<Screen>("Home", log);
    home->view()->setBackgroundColor(Color::orange());
    app->setRootViewController(home);
    int terminations = 0;
    app->setWillTerminateHandler([&] { ++terminations; });
    EXPECT_EQ(app->run(), 0);
    EXPECT_EQ(terminations, 1);
    const auto shot = Image::fromFile(path);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->size(), Device::defaultPhoneSize);
    const Color corner = shot->pixel(10, 10);
    EXPECT_NEAR(corner.r, 1, 0.01);
    EXPECT_NEAR(corner.g, 0.5, 0.01);
    EXPECT_NEAR(corner.b, 0, 0.01);
    app.reset();
    EXPECT_EQ(terminations, 1) << "terminating once";
}

// SIGTERM, SIGINT and SIGHUP end the run as closing the window does: status 0 and the end of the run told
// once. Outside a run the signals are handled as before.
TEST_F(ApplicationTest, QuitSignalsEndTheRunInOrder)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        auto app = make({"norvale", "--quit-after", "30"});
        app->setRootViewController(std::make_shared<Screen>("Home", log));
        int terminations = 0;
        app->setWillTerminateHandler([&] { ++terminations; });
        fnd::DelayedCall raised = fnd::after(0.05, [signal] { ::raise(signal); });
        EXPECT_EQ(app->run(), 0) << sigabbrev_np(signal);
        EXPECT_EQ(terminations, 1) << sigabbrev_np(signal);
        struct sigaction now {};
        ::sigaction(signal, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << sigabbrev_np(signal);
    }
}

// Once the run is over the app may still be finishing (a movie being written) with no loop to hear the
// signal pipe: a second signal, or any signal after the window closed, ends the process at once.
TEST_F(ApplicationTest, ASignalWhileTheAppFinishesEndsItAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const bool firstBySignal : {true, false}) {
        EXPECT_EXIT(
            {
                auto app = make({"norvale", "--quit-after", firstBySignal ? "30" : "0.05"});
                app->setRootViewController(std::make_shared<Screen>("Home", log));
                app->setWillTerminateHandler([] {
                    ::raise(SIGINT);
                    std::_Exit(0);  // still finishing: the signal did not end it
                });
                fnd::DelayedCall raised;
                if (firstBySignal)
                    raised = fnd::after(0.05, [] { ::raise(SIGTERM); });
                app->run();
                std::_Exit(0);
            },
            testing::KilledBySignal(SIGINT), "")
            << (firstBySignal ? "after a first signal" : "after the window closed");
    }
}

} // namespace

TEST(RootWindowTest, TheNewestWindowAliveIsCurrentWhateverOrderWindowsGo)
{
    auto first = std::make_unique<ui::RootWindow>(ui::Size{100, 100});
    auto second = std::make_unique<ui::RootWindow>(ui::Size{100, 100});
    EXPECT_EQ(ui::RootWindow::current(), second.get());
    first.reset();  // the older one goes first
    EXPECT_EQ(ui::RootWindow::current(), second.get());
    second.reset();
    EXPECT_EQ(ui::RootWindow::current(), nullptr);
}
