#pragma once

// A random user of the whole application: taps, strokes, wheel turns, typing, rotations, alert choices,
// clock steps, app moments and a misbehaving adapter. Each seed makes the same moves every time;
// whatever they do, nothing may throw, the window must keep rendering and an alert shown must be on it.
// A frame kept as the host window keeps it, with only the damaged areas repainted, must show what a full
// repaint shows.

#include "ShellAppTest.h"

#include <array>
#include <cmath>
#include <deque>
#include <random>
#include <sstream>
#include <typeinfo>

#include "platform/ui/Context.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/TableViewCell.h"
#include "shell/AppDelegate.h"
#include "support/ImageCompare.h"

namespace monkey {

// Drawing the whole window, to compare it with the kept frame where the damage of the moves since the last
// time is repainted, is the slow part of a step.
constexpr int renderEvery = 20;
// The last actions, reported with a failure.
constexpr std::size_t historyLength = 25;

const std::array<const char*, 24> typedTexts = {
    "0", "7", "12", "-5", "3.5", "35000", "65536", "192.168.0.10", "localhost", "abc", "A*256+B", "(A*256+B)/4",
    "((A+B", "A/0", "B-C*D", "1e308", "nan", "-0", "", " ", "é€😀", "%s%n", "\t", "9999999999999999999999",
};

const std::array<const char*, 4> identifications = {"ELM327 v1.5", "ELM327 v2.1", "", "OBDII to RS232 Interpreter"};

class RandomUser : public ShellAppTest {
protected:
    ui::Window& screen() { return window->window(); }
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    ui::Point anywhere()
    {
        const ui::Size size = window->size();
        return {uniform(0, size.width), uniform(0, size.height)};
    }

    // The controls and cells a finger could reach: shown, not see-through, on screen.
    void collectTargets(const std::shared_ptr<ui::View>& view, std::vector<std::shared_ptr<ui::View>>& found)
    {
        if (view->isHidden() || view->alpha() < 0.01 || !view->isUserInteractionEnabled())
            return;
        if (dynamic_cast<ui::Control*>(view.get()) || dynamic_cast<ui::TableViewCell*>(view.get())) {
            const ui::Point at = view->convertPoint(view->bounds().center(), nullptr);
            const ui::Size size = window->size();
            if (at.x >= 0 && at.y >= 0 && at.x < size.width && at.y < size.height)
                found.push_back(view);
        }
        for (const auto& child : view->subviews())
            collectTargets(child, found);
    }

    void tapAt(ui::Point at)
    {
        screen().sendTouch(ui::TouchPhase::Began, at);
        if (below(4) == 0)
            advance(uniform(0, 0.8));  // now and then held long enough to count as a long press
        screen().sendTouch(ui::TouchPhase::Ended, at);
    }

    void tapTarget()
    {
        std::vector<std::shared_ptr<ui::View>> targets;
        collectTargets(window->windowPointer(), targets);
        if (targets.empty())
            return tapAt(anywhere());
        const auto& view = targets[static_cast<std::size_t>(below(static_cast<int>(targets.size())))];
        // Its centre, or anywhere inside it so that every segment of a segmented control gets its turn.
        const ui::Rect bounds = view->bounds();
        const ui::Point inside = below(2) == 0 ? bounds.center()
                                               : ui::Point{uniform(bounds.minX(), bounds.maxX()),
                                                           uniform(bounds.minY(), bounds.maxY())};
        const ui::View& target = *view;
        note("tap on a " + std::string(typeid(target).name()));
        tapAt(view->convertPoint(inside, nullptr));
    }

    // A finger from one point to another over a few moves; quick ones are flicks and swipes.
    void stroke()
    {
        const ui::Point from = anywhere();
        const ui::Point to = below(2) == 0 ? anywhere() : ui::Point{uniform(0, window->size().width), from.y};
        const int moves = 1 + below(8);
        const double pace = below(2) == 0 ? 0.005 : 0.05;
        note("stroke of " + std::to_string(moves) + " moves");
        screen().sendTouch(ui::TouchPhase::Began, from);
        for (int i = 1; i <= moves; ++i) {
            advance(pace);
            const double t = static_cast<double>(i) / moves;
            screen().sendTouch(ui::TouchPhase::Moved, {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
        }
        screen().sendTouch(below(10) == 0 ? ui::TouchPhase::Cancelled : ui::TouchPhase::Ended, to);
    }

    static ui::Touch finger(std::uint64_t id, ui::Point at)
    {
        ui::Touch touch;
        touch.id = id;
        touch.location = at;
        return touch;
    }

    void twoFingers()
    {
        note("two fingers");
        const ui::Point a = anywhere();
        const ui::Point b = anywhere();
        const ui::Point a2{a.x + uniform(-80, 80), a.y + uniform(-80, 80)};
        const ui::Point b2{b.x + uniform(-80, 80), b.y + uniform(-80, 80)};
        screen().sendTouches(ui::TouchPhase::Began, {finger(1, a), finger(2, b)});
        advance(0.02);
        screen().sendTouches(ui::TouchPhase::Moved, {finger(1, a2), finger(2, b2)});
        screen().sendTouches(ui::TouchPhase::Ended, {finger(1, a2), finger(2, b2)});
    }

    void type()
    {
        switch (below(3)) {
        case 0: {
            const char* text = typedTexts[static_cast<std::size_t>(below(typedTexts.size()))];
            note(std::string("text \"") + text + "\"");
            screen().sendText(text);
            break;
        }
        case 1:
            note("long text");
            screen().sendText(std::string(static_cast<std::size_t>(1 + below(below(10) == 0 ? 5000 : 300)), "9A.(-"[below(5)]));
            break;
        default: {
            constexpr std::array keys = {ui::Key::Return, ui::Key::Backspace, ui::Key::Escape, ui::Key::Delete,
                                         ui::Key::Left,   ui::Key::Right,     ui::Key::Home,   ui::Key::End,
                                         ui::Key::Tab,    ui::Key::Up,        ui::Key::Down};
            const ui::Key key = keys[static_cast<std::size_t>(below(keys.size()))];
            note("key " + std::to_string(static_cast<int>(key)));
            screen().sendKey({key, {}, below(4) == 0, false, false});
        }
        }
    }

    // A rotation, or now and then the host window dragged to any size, down to almost nothing.
    void rotate()
    {
        const ui::Size size = window->size();
        const double duration = below(2) == 0 ? 0.3 : 0;
        if (below(4) > 0) {
            note("rotation");
            window->setSize({size.height, size.width}, duration);
            return;
        }
        const ui::Size resized{std::round(uniform(1, 1400)), std::round(uniform(1, 1400))};
        note("resize to " + std::to_string(resized.width) + " x " + std::to_string(resized.height));
        window->setSize(resized, duration);
    }

    void chooseInAlert()
    {
        const auto alert = ui::AlertController::visible();
        if (!alert || alert->actions().empty())
            return;
        const std::string title = alert->actions()[static_cast<std::size_t>(below(alert->actions().size()))].title;
        note("alert action \"" + title + "\"");
        alert->triggerAction(title);
    }

    void troubleTheAdapter()
    {
        switch (below(4)) {
        case 0:
            note("adapter restarts");
            sim.stop();
            ASSERT_EQ(sim.start(port), port);
            break;
        case 1: {
            const auto fault = static_cast<elmsim::Fault>(below(static_cast<int>(elmsim::Fault::Unknown) + 1));
            note("fault " + std::to_string(static_cast<int>(fault)));
            sim.injectFault(fault, 1 + below(3));
            break;
        }
        case 2: {
            const int ecus = 1 + below(3);
            const int protocol = 1 + below(9);
            note("car with " + std::to_string(ecus) + " ECUs on protocol " + std::to_string(protocol));
            sim.setOptions([&](elmsim::AdapterOptions& options) {
                options.ecuCount = ecus;
                options.carProtocol = protocol;
                options.packedRequests = below(2) == 0;
                options.identification = identifications[static_cast<std::size_t>(below(identifications.size()))];
                options.spaces = below(2) == 0;
            });
            sim.updateCar([&](elmsim::CarState& car) {
                car.storedCodes = below(2) == 0 ? std::vector<std::string>{} : std::vector<std::string>{"P0301"};
            });
            break;
        }
        default:
            note("faults cleared");
            sim.clearFaults();
        }
    }

    void appMoment()
    {
        if (below(2) == 0) {
            note("background");
            app->didEnterBackground();
        } else {
            note("foreground");
            app->willEnterForeground();
        }
    }

    void step()
    {
        const int pick = below(100);
        if (pick < 30)
            tapTarget();
        else if (pick < 38) {
            note("tap anywhere");
            tapAt(anywhere());
        }
        else if (pick < 50)
            stroke();
        else if (pick < 53)
            twoFingers();
        else if (pick < 58) {
            note("wheel");
            screen().sendWheel(anywhere(), uniform(-50, 50), uniform(-400, 400));
        } else if (pick < 72)
            type();
        else if (pick < 74)
            rotate();
        else if (pick < 82)
            chooseInAlert();
        else if (pick < 95) {
            const double seconds = below(10) == 0 ? uniform(1, RootController::reconnectDelay * 2) : uniform(0, 0.3);
            note("advance " + std::to_string(seconds));
            advance(seconds);
        } else if (pick < 98)
            troubleTheAdapter();
        else
            appMoment();
        fnd::RunLoop::main().processEvents();
    }

    void note(std::string action)
    {
        history.push_back(std::move(action));
        if (history.size() > historyLength)
            history.pop_front();
    }

    std::string recentActions() const
    {
        std::ostringstream out;
        for (const std::string& action : history)
            out << "\n  " << action;
        return out.str();
    }

    // Repaints what the last moves damaged into the kept frame; a new window size starts a new frame.
    void repaintDamage()
    {
        if (!frame || frame->size() != screen().bounds().size) {
            frame = std::make_unique<ui::BitmapContext>(screen().bounds().size, 1);
            screen().setNeedsDisplay();
        }
        screen().renderDamage(*frame);
    }

    // Random moves from `seed`, checking after each; pictures are named from `name`.
    void run(unsigned seed, const std::string& name, int stepCount)
    {
        rng.seed(seed);
        for (int i = 0; i < stepCount; ++i) {
            try {
                step();
                if (i % renderEvery == 0) {
                    repaintDamage();
                    const ui::Image full = screen().renderToImage(1);
                    const ui::Image kept = frame->makeImage();
                    const auto same = testsupport::samePixels(kept, full, 2, 32);
                    if (!same) {
                        const std::string picture = name + "-step-" + std::to_string(i);
                        kept.writePNG(testsupport::artifactsDir() / (picture + "-damaged.png"));
                        full.writePNG(testsupport::artifactsDir() / (picture + "-full.png"));
                    }
                    ASSERT_TRUE(same) << "step " << i << " after:" << recentActions();
                }
            } catch (const std::exception& e) {
                FAIL() << "step " << i << " threw: " << e.what() << "\nafter:" << recentActions();
            }
            ASSERT_FALSE(HasFatalFailure()) << "step " << i << " after:" << recentActions();
            // The alert that holds the queue is one the user can see and answer.
            if (const auto alert = ui::AlertController::visible()) {
                ASSERT_EQ(alert->view()->window(), &screen())
                    << "\"" << alert->message() << "\" at step " << i << " after:" << recentActions();
            }
        }
        const ui::Image shot = screen().renderToImage(1);
        EXPECT_TRUE(shot.writePNG(testsupport::artifactsDir() / (name + ".png")));
    }

    std::unique_ptr<ui::BitmapContext> frame;
    std::mt19937 rng;
    std::deque<std::string> history;
    std::uint16_t port = 0;
};

}  // namespace monkey
