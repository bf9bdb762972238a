#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "DashcamTest.h"
#include "dashcam/CameraViewController.h"
#include "platform/media/CaptureDevice.h"
#include "platform/media/PhotoAlbum.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/Window.h"
#include "support/ScreenFixture.h"

// The screen in a landscape phone window, with the synthetic camera and a real
// link to the adapter simulator on loopback; the movie is really encoded.
class CameraViewControllerTest : public DashcamTest, protected testsupport::ScreenFixture {
protected:
    void SetUp() override
    {
        DashcamTest::SetUp();
        ui::AlertController::dismissAll();
        media::CaptureDevice::configure("synthetic", "synthetic");
        ASSERT_TRUE(startSimulator());
        settings().recordMode = 0;
        settings().camGaugeCount = 2;
        settings().sensors[16] = sensorOf(0x0C);
        settings().sensors[17] = sensorOf(0x0D);
        ASSERT_TRUE(connect());
    }

    void TearDown() override
    {
        camera.reset();
        closeAll();
    }

    static int sensorOf(int pid)
    {
        const auto& pids = DataStore::sharedDataStore().pidArr;
        return static_cast<int>(std::find(pids.begin(), pids.end(), pid) - pids.begin());
    }

    // Finishing a movie means encoding it, which takes longer than the link's exchanges.
    static bool waitFor(const std::function<bool()>& done, double seconds = 20.0)
    {
        return ScreenFixture::waitFor(done, seconds);
    }

    void show()
    {
        camera = std::make_shared<CameraViewController>();
        camera->saveMoviesLeftToAlbum();  // as the app makes it at launch
        camera->setScanner(link);
        makeWindow();
        ScreenFixture::show(camera, 0.1);
    }

public:
    // Lets the camera run for a while, its clock moving with real time.
    static void film(double seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds * 30); ++i) {
            advance(1.0 / 30);
            fnd::RunLoop::main().runUntil([] { return false; }, 1.0 / 30);
        }
    }

protected:
    static std::size_t albumMovies()
    {
        std::size_t count = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(media::PhotoAlbum::videosFolder(), error))
            count += entry.is_regular_file() ? 1 : 0;
        return count;
    }

    std::shared_ptr<CameraViewController> camera;
};
