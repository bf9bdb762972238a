#include "platform/ui/Application.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/ui/Context.h"
#include "platform/ui/QuitSignals.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/VisibleText.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRasterWindow>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ui {

namespace {

Application* sharedApplication = nullptr;

constexpr double pointsPerWheelNotch = 40;

std::optional<Size> parseSize(const std::string& text)
{
    const auto x = text.find('x');
    if (x == std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double w = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + x)
        return std::nullopt;
    const char* rest = text.c_str() + x + 1;
    const double h = std::strtod(rest, &end);
    if (end == rest || *end != '\0' || !(w >= 100 && w <= 4000) || !(h >= 100 && h <= 4000))
        return std::nullopt;
    return Size{std::round(w), std::round(h)};
}

std::optional<Key> keyFor(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Return;
    case Qt::Key_Backspace: return Key::Backspace;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_End: return Key::End;
    case Qt::Key_Tab: return Key::Tab;
    case Qt::Key_Escape: return Key::Escape;
    default: return std::nullopt;
    }
}

} // namespace

ApplicationOptions parseApplicationOptions(int argc, char** argv, const std::vector<AppOption>& appOptions)
{
    ApplicationOptions options;
    options.arguments.push_back(argc > 0 && argv[0] ? argv[0] : "");
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        // "--name=value" or "--name value"; a following option is no value.
        std::optional<std::string> given;
        if (const auto equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
            given = arg.substr(equals + 1);
            arg.resize(equals);
        }
        const auto value = [&]() -> std::string {
            if (!given && i + 1 < argc && argv[i + 1] && !std::string_view(argv[i + 1]).starts_with("--"))
                given = argv[++i];
            return given.value_or("");
        };
        const auto flag = [&](bool& on) {
            on = true;
            if (given)
                options.errors.push_back(arg + " takes no value");
        };
        if (arg == "--idiom") {
            const std::string idiom = value();
            if (idiom == "pad" || idiom == "phone")
                options.idiom = idiom == "pad" ? UserInterfaceIdiom::Pad : UserInterfaceIdiom::Phone;
            else
                options.errors.push_back("--idiom takes phone or pad, not \"" + idiom + "\"");
        } else if (arg == "--size") {
            const std::string text = value();
            options.size = parseSize(text);
            if (!options.size)
                options.errors.push_back("--size takes WxH in points (100 to 4000), not \"" + text + "\"");
        } else if (arg == "--screenshot") {
            options.screenshot = value();
            std::error_code ignored;
            if (options.screenshot.empty())
                options.errors.push_back("--screenshot takes a file name");
            else if (const auto folder = options.screenshot.parent_path();
                     !folder.empty() && !std::filesystem::is_directory(folder, ignored))
                options.errors.push_back("--screenshot: there is no folder " + folder.string());
        } else if (arg == "--gps-replay" || arg == "--motion-replay") {
            const std::string file = value();
            if (file.empty())
                options.errors.push_back(arg + " takes a file name");
            (arg == "--gps-replay" ? options.gpsReplay : options.motionReplay) = file;
        } else if (arg == "--quit-after") {
            const std::string text = value();
            char* end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            if (!text.empty() && *end == '\0' && seconds >= 0 && std::isfinite(seconds))
                options.quitAfter = seconds;
            else
                options.errors.push_back("--quit-after takes seconds, not \"" + text + "\"");
        } else if (arg == "--open") {
            options.open = value();
            if (options.open.empty())
                options.errors.push_back("--open takes the title of a screen, such as \"Diagnostics/Trouble Codes\"");
        } else if (arg == "--dump-text") {
            flag(options.dumpText);
        } else if (arg == "--help") {
            flag(options.help);
        } else if (arg == "--camera") {
            const std::string camera = value();
            if (camera == "synthetic" || camera == "none" || camera.rfind("/dev/", 0) == 0)
                options.camera = camera;
            else
                options.errors.push_back("--camera takes synthetic, none or /dev/videoN, not \"" + camera + "\"");
        } else if (arg == "--microphone") {
            const std::string microphone = value();
            if (microphone == "default" || microphone == "none" || microphone == "synthetic")
                options.microphone = microphone;
            else
                options.errors.push_back("--microphone takes default, none or synthetic, not \"" + microphone + "\"");
        } else if (const auto own = std::find_if(appOptions.begin(), appOptions.end(),
                                                 [&](const AppOption& o) { return arg == "--" + o.name; });
                   own != appOptions.end()) {
            const std::string text = value();
            if (text.empty())
                options.errors.push_back(arg + " takes " + own->valueName);
            else
                options.arguments.insert(options.arguments.end(), {arg, text});
        } else {
            options.errors.push_back((arg.starts_with("-") ? "unknown option \"" : "unexpected argument \"") + arg + "\"");
        }
    }
    return options;
}

std::string applicationUsage(const std::string& program, const std::vector<AppOption>& appOptions)
{
    std::vector<AppOption> all = appOptions;
    all.insert(all.end(), {
        {"idiom", "phone|pad", "the device: a phone (the default) or a tablet"},
        {"size", "WxH", "the screen in points, such as 390x844"},
        {"open", "ENTRY[/TAB]", "start on this screen, such as \"Settings\" or \"Diagnostics/Trouble Codes\""},
        {"camera", "synthetic|none|/dev/videoN", "the camera (by default the first one, else a test pattern)"},
        {"microphone", "default|none|synthetic", "the microphone"},
        {"gps-replay", "FILE", "play an NMEA log as the GPS"},
        {"motion-replay", "FILE", "play \"t,x,y,z\" lines as the device's motion"},
        {"screenshot", "FILE", "write a PNG of the window just before quitting"},
        {"quit-after", "SECONDS", "quit after this long"},
        {"dump-text", "", "at quit, print the texts on screen (alerts and toasts too), one per line"},
        {"help", "", "print this list and quit"},
    });
    std::size_t width = 0;
    for (const AppOption& option : all)
        width = std::max(width, option.name.size() + option.valueName.size() + 1);
    std::string usage = "Usage: " + program + " [OPTION]...\n";
    for (const AppOption& option : all) {
        std::string left = "--" + option.name + (option.valueName.empty() ? "" : " " + option.valueName);
        left.resize(width + 4, ' ');
        usage += "  " + left + option.help + "\n";
    }
    return usage;
}

// The Qt window: paints the view tree and turns Qt's input into ours.
class QtHostWindow : public QRasterWindow {
public:
    explicit QtHostWindow(RootWindow& root)
        : root_(root)
    {
        setTitle("Norvale");
    }

    // A change of the view tree asks for the area it damaged.
    void damaged(const Rect& area)
    {
        if (area.isEmpty()) {
            requestUpdate();
            return;
        }
        const QRect pixels = QRectF(area.x(), area.y(), area.width(), area.height()).toAlignedRect();
        update(pixels);
    }

    bool event(QEvent* event) override
    {
        // Layout before the frame, so the area it damages is painted in this frame.
        if (event->type() == QEvent::UpdateRequest)
            root_.window().layoutIfNeeded();
        return QRasterWindow::event(event);
    }

    // The last frame is kept: only the damaged rectangles are repainted into
    // it, and only the area Qt asks for is copied to the screen.
    void paintEvent(QPaintEvent* event) override
    {
        ui::Window& tree = root_.window();
        const double ratio = devicePixelRatio();
        if (!frame_ || frame_->size() != tree.bounds().size || frame_->scale() != ratio) {
            frame_ = std::make_unique<BitmapContext>(tree.bounds().size, ratio);
            tree.setNeedsDisplay();
        }
        tree.renderDamage(*frame_);
        QPainter painter(this);
        for (const QRect& area : event->region()) {
            const Image part = frame_->makeImage(makeRect(area.x(), area.y(), area.width(), area.height()));
            if (part.isNull())
                continue;
            QImage pixels(reinterpret_cast<const uchar*>(part.pixels()), part.pixelWidth(), part.pixelHeight(),
                          part.pixelWidth() * 4, QImage::Format_ARGB32_Premultiplied);
            painter.drawImage(QRectF(area), pixels);
        }
    }

    void resizeEvent(QResizeEvent* event) override
    {
        root_.setSize({static_cast<double>(event->size().width()), static_cast<double>(event->size().height())});
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || down_)
            return;
        down_ = true;
        mirrored_ = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
        root_.window().sendTouches(TouchPhase::Began, fingers(event->position()));
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (down_)
            root_.window().sendTouches(TouchPhase::Moved, fingers(event->position()));
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !down_)
            return;
        down_ = false;
        root_.window().sendTouches(TouchPhase::Ended, fingers(event->position()));
    }

    void wheelEvent(QWheelEvent* event) override
    {
        const QPointF pixels = event->pixelDelta();
        const QPointF notches = QPointF(event->angleDelta()) / 120.0 * pointsPerWheelNotch;
        const QPointF delta = pixels.isNull() ? notches : pixels;
        const QPointF at = event->position();
        root_.window().sendWheel({at.x(), at.y()}, -delta.x(), -delta.y());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        KeyEvent key;
        key.shift = event->modifiers() & Qt::ShiftModifier;
        key.control = event->modifiers() & Qt::ControlModifier;
        key.alt = event->modifiers() & Qt::AltModifier;
        if (const auto special = keyFor(event->key())) {
            key.key = *special;
        } else if (key.control && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
            // A shortcut: Qt gives a control character as its text, the letter is what it means.
            key.text = std::string(1, static_cast<char>('a' + (event->key() - Qt::Key_A)));
        } else {
            const QString text = event->text();
            if (text.isEmpty() || !text.at(0).isPrint())
                return;
            key.text = text.toStdString();
        }
        root_.window().sendKey(key);
    }

private:
    // The finger under the pointer, and its mirror image about the centre.
    std::vector<Touch> fingers(QPointF at) const
    {
        Touch first;
        first.id = 1;
        first.location = {at.x(), at.y()};
        if (!mirrored_)
            return {first};
        const Rect b = root_.window().bounds();
        Touch second;
        second.id = 2;
        second.location = {b.width() - at.x(), b.height() - at.y()};
        return {first, second};
    }

    RootWindow& root_;
    std::unique_ptr<BitmapContext> frame_;
    bool down_ = false;
    bool mirrored_ = false;
};

struct Application::HostWindow {
    std::unique_ptr<QtHostWindow> window;
};

Application::Application(int argc, char** argv, std::vector<AppOption> appOptions)
    : appOptions_(std::move(appOptions))
    , options_(parseApplicationOptions(argc, argv, appOptions_))
    , previous_(sharedApplication)
{
    sharedApplication = this;
    Device& device = Device::current();
    device.setIdiom(options_.idiom);
    const Size size = options_.size.value_or(options_.idiom == UserInterfaceIdiom::Pad ? Device::defaultPadSize
                                                                                       : Device::defaultPhoneSize);
    device.setScreenSize(size);
    rootWindow_ = std::make_unique<RootWindow>(size);

    host_ = std::make_unique<HostWindow>();
    host_->window = std::make_unique<QtHostWindow>(*rootWindow_);
    QtHostWindow& window = *host_->window;
    window.resize(static_cast<int>(size.width), static_cast<int>(size.height));
    device.setScale(window.devicePixelRatio());
    rootWindow_->window().setDisplayHandler([&window](const Rect& area) { window.damaged(area); });
    rootWindow_->setSizeChangeHandler([&window](Size s) {
        if (window.width() != static_cast<int>(s.width) || window.height() != static_cast<int>(s.height))
            window.resize(static_cast<int>(s.width), static_cast<int>(s.height));
    });
    QObject::connect(&window, &QWindow::visibilityChanged, [this](QWindow::Visibility visibility) {
        enterBackground(visibility == QWindow::Minimized || visibility == QWindow::Hidden);
    });
}

Application::~Application()
{
    terminate();
    rootWindow_->window().setDisplayHandler({});
    rootWindow_->setSizeChangeHandler({});
    host_->window.reset();
    if (sharedApplication == this)
        sharedApplication = previous_;
}

Application* Application::shared() { return sharedApplication; }

std::optional<int> Application::commandLineExit() const
{
    const std::string program = std::filesystem::path(options_.arguments.front()).filename().string();
    if (!options_.errors.empty()) {
        for (const std::string& error : options_.errors)
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
        std::fprintf(stderr, "%s --help lists the options.\n", program.c_str());
        return 2;
    }
    if (options_.help) {
        std::fputs(applicationUsage(program, appOptions_).c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

std::vector<std::string> Application::optionValues(const std::string& name) const
{
    const std::string flag = "--" + name;
    const auto& args = options_.arguments;
    std::vector<std::string> values;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == flag && i + 1 < args.size())
            values.push_back(args[++i]);
        else if (args[i].starts_with(flag + "="))
            values.push_back(args[i].substr(flag.size() + 1));
    }
    return values;
}

bool Application::hasOption(const std::string& name) const
{
    const std::string flag = "--" + name;
    for (const std::string& arg : options_.arguments) {
        if (arg == flag || arg.starts_with(flag + "="))
            return true;
    }
    return false;
}

void Application::setRootViewController(std::shared_ptr<ViewController> controller)
{
    rootWindow_->setRootViewController(std::move(controller));
}

void Application::enterBackground(bool background)
{
    if (background == background_ || terminated_)
        return;
    background_ = background;
    const auto& handler = background ? didEnterBackground_ : willEnterForeground_;
    if (handler)
        handler();
}

void Application::terminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    if (willTerminate_)
        willTerminate_();
}

int Application::run()
{
    fnd::RunLoop& loop = fnd::RunLoop::main();
    loop.useRealClock();
    host_->window->show();
    QuitSignals quitSignals([this](int) { quit(0); });
    fnd::DelayedCall quitLater;
    if (options_.quitAfter)
        quitLater = fnd::after(*options_.quitAfter, [this] { quit(0); });
    int code = loop.exec();
    quitSignals.endAtOnceFromNowOn();
    quitLater.cancel();
    if (options_.dumpText) {
        for (const std::string& text : visibleTexts(rootWindow_->window()))
            std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    if (!options_.screenshot.empty() && !saveScreenshot(options_.screenshot)) {
        fnd::log(fnd::LogLevel::Error, "could not write the screenshot " + options_.screenshot.string());
        code = code == 0 ? 1 : code;
    }
    terminate();
    return code;
}

void Application::quit(int code) { fnd::RunLoop::main().quit(code); }

bool Application::saveScreenshot(const std::filesystem::path& path) const
{
    return rootWindow_->window().renderToImage(host_->window->devicePixelRatio()).writePNG(path);
}

void Application::sendMouse(MouseAction action, Point location, bool secondFinger)
{
    const QEvent::Type type = action == MouseAction::Press ? QEvent::MouseButtonPress
        : action == MouseAction::Move                      ? QEvent::MouseMove
                                                           : QEvent::MouseButtonRelease;
    const QPointF at(location.x, location.y);
    const Qt::MouseButton button = action == MouseAction::Move ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = action == MouseAction::Release ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, button, buttons, secondFinger ? Qt::ControlModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(host_->window.get(), &event);
}

void Application::sendWheel(Point location, double notches)
{
    const QPointF at(location.x, location.y);
    QWheelEvent event(at, at, QPoint(), QPoint(0, static_cast<int>(notches * 120)), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(host_->window.get(), &event);
}

void Application::resizeHostWindow(Size size)
{
    QResizeEvent event(QSize(static_cast<int>(size.width), static_cast<int>(size.height)), host_->window->size());
    host_->window->resize(event.size());
    QCoreApplication::sendEvent(host_->window.get(), &event);
}

} // namespace ui
