#pragma once

#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Device.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/Input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace controllertests {

inline void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }

// Where a view shows now: its frame changes at once, the drawing follows
// while an animation runs.
inline ui::Rect shownFrame(const ui::View& view)
{
    const ui::LayerState shown = view.presentationState();
    const ui::Size size = shown.bounds.size;
    return {{shown.center.x - size.width / 2, shown.center.y - size.height / 2}, size};
}

using Log = std::vector<std::string>;

// A screen that writes its callbacks to a shared log as "<name> <callback>".
class Screen : public ui::ViewController {
public:
    Screen(std::string name, std::shared_ptr<Log> log)
        : name_(std::move(name))
        , log_(std::move(log))
    {
        setTitle(name_);
    }
    void viewDidLoad() override { write("didLoad"); }
    void viewWillAppear(bool) override { write("willAppear"); }
    void viewDidAppear(bool) override { write("didAppear"); }
    void viewWillDisappear(bool) override { write("willDisappear"); }
    void viewDidDisappear(bool) override { write("didDisappear"); }
    void viewWillTransitionToSize(ui::Size size, ui::TransitionCoordinator& coordinator) override
    {
        write("willTransition " + std::to_string(static_cast<int>(size.width)));
        // Completions may come after the screen went: hold it weakly.
        const auto self = std::static_pointer_cast<Screen>(shared_from_this());
        const std::weak_ptr<Screen> weak = self;
        coordinator.animateAlongsideTransition([weak] { if (auto s = weak.lock()) s->write("alongside"); },
                                               [weak] { if (auto s = weak.lock()) s->write("transitionDone"); });
        ViewController::viewWillTransitionToSize(size, coordinator);
    }
    void willRotateToInterfaceOrientation(ui::InterfaceOrientation o, double) override
    {
        write("willRotate " + std::to_string(static_cast<int>(o)));
    }
    void didRotateFromInterfaceOrientation(ui::InterfaceOrientation o) override
    {
        write("didRotate " + std::to_string(static_cast<int>(o)));
    }
    void viewDidLayoutSubviews() override { write("didLayout"); }

private:
    void write(const std::string& what) { log_->push_back(name_ + " " + what); }
    std::string name_;
    std::shared_ptr<Log> log_;
};

// A phone-sized key window for each test, with a fresh device and no alerts.
class ControllerTest : public ::testing::Test {
protected:
    ControllerTest()
    {
        ui::Device::current().reset();
        ui::AlertController::dismissAll();
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
    }
    ~ControllerTest() override
    {
        ui::AlertController::dismissAll();
        root.reset();
        ui::Device::current().reset();
    }

    std::shared_ptr<Screen> screen(const std::string& name) { return std::make_shared<Screen>(name, log); }
    ui::Window& window() { return root->window(); }
    // The log from here on.
    Log take()
    {
        Log taken = *log;
        log->clear();
        return taken;
    }
    // The log without layout passes.
    Log appearance()
    {
        Log kept;
        for (const std::string& line : take()) {
            if (line.find("didLayout") == std::string::npos)
                kept.push_back(line);
        }
        return kept;
    }
    void tap(ui::Point at, std::uint64_t id = 1) { testsupport::tap(window(), at, id); }
    // A tap on the middle of a view, as laid out on screen.
    void tap(const ui::View& view) { testsupport::tap(window(), view); }

    std::shared_ptr<Log> log = std::make_shared<Log>();
    std::unique_ptr<ui::RootWindow> root;
};

} // namespace controllertests
