#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "DashcamTest.h"
#include "core/link/Scanner.h"
#include "dashcam/CameraViewController.h"
#include "elmsim/lib/Simulator.h"
#include "platform/media/CaptureDevice.h"
#include "platform/media/PhotoAlbum.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Window.h"

// The screen in a landscape phone window, with the synthetic camera and a real
// link to the adapter simulator on loopback; the movie is really encoded.
class CameraViewControllerTest : public DashcamTest {
protected:
    void SetUp() override
    {
        DashcamTest::SetUp();
        ui::AlertController::dismissAll();
        media::CaptureDevice::configure("synthetic", "synthetic");
        ASSERT_NE(sim.start(), 0);
        settings().hostIP = "127.0.0.1";
        settings().port = sim.port();
        settings().recordMode = 0;
        settings().camGaugeCount = 2;
        settings().sensors[16] = sensorOf(0x0C);
        settings().sensors[17] = sensorOf(0x0D);
        link = Scanner::ScannerForMode(0, Manager::sharedManager().linkSettings());
        link->connect();
        ASSERT_TRUE(waitFor([&] { return link->isConnected(); }));
    }

    void TearDown() override
    {
        ui::AlertController::dismissAll();
        root.reset();
        camera.reset();
        link->disconnect();
        sim.stop();
    }

    static int sensorOf(int pid)
    {
        const auto& pids = DataStore::sharedDataStore().pidArr;
        return static_cast<int>(std::find(pids.begin(), pids.end(), pid) - pids.begin());
    }

    static bool waitFor(const std::function<bool()>& done, double seconds = 20.0)
    {
        return fnd::RunLoop::main().runUntil(done, seconds);
    }

    void show()
    {
        root = std::make_unique<ui::RootWindow>(ui::Device::current().screenSize());
        camera = std::make_shared<CameraViewController>();
        camera->setScanner(link);
        root->setRootViewController(camera);
        root->window().layoutIfNeeded();
        advance(0.1);
    }

    void leave()
    {
        root->setRootViewController(std::make_shared<ui::ViewController>());
        root->window().layoutIfNeeded();
    }

    // Lets the camera run for a while, its clock moving with real time.
    static void film(double seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds * 30); ++i) {
            advance(1.0 / 30);
            fnd::RunLoop::main().runUntil([] { return false; }, 1.0 / 30);
        }
    }

    static std::size_t albumMovies()
    {
        std::size_t count = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(media::PhotoAlbum::videosFolder(), error))
            count += entry.is_regular_file() ? 1 : 0;
        return count;
    }

    elmsim::Simulator sim;
    std::shared_ptr<Scanner> link;
    std::unique_ptr<ui::RootWindow> root;
    std::shared_ptr<CameraViewController> camera;
};
