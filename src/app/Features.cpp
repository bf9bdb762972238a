#include "app/Features.h"

#include <memory>

#include "dashcam/CamSettViewController.h"
#include "dashcam/CameraViewController.h"
#include "diagnostics/CommandViewController.h"
#include "diagnostics/DTCViewController.h"
#include "diagnostics/DiagViewController.h"
#include "diagnostics/FreezeViewController.h"
#include "diagnostics/InfoViewController.h"
#include "fuel/FuelSettingViewCon.h"
#include "fuel/FuelViewController.h"
#include "fuel/GraphViewCon.h"
#include "logging/ListViewController.h"
#include "logging/LoggerSettViewCon.h"
#include "logging/ScrollGraphViewController.h"
#include "performance/RaceSettViewController.h"
#include "performance/RaceViewController.h"
#include "performance/TrackSelectViewCon.h"
#include "platform/foundation/Log.h"

void registerFeatures(FeatureRegistry& features)
{
    // Each feature library adds its lines here (see FeatureRegistry.h).
    features.addTab("Diagnostics", "Emissions", [] { return std::make_shared<DiagViewController>(); });
    features.addTab("Diagnostics", "Trouble Codes", [] { return std::make_shared<DTCViewController>(); });
    features.addTab("Diagnostics", "Terminal", [] { return std::make_shared<CommandViewController>(); });
    features.addTab("Diagnostics", "Info", [] { return std::make_shared<InfoViewController>(); });
    features.addTab("Diagnostics", "Freeze frame", [] { return std::make_shared<FreezeViewController>(); });
    features.addScreen("Gauge list", [] { return std::make_shared<ListViewController>(); });
    features.addScreen("Logging", [] { return std::make_shared<ScrollGraphViewController>(); });
    features.addSettings("Logging", "Logger settings", [] { return std::make_shared<LoggerSettViewCon>(); });
    features.addTab("Fuel Economy", "Fuel", [] { return std::make_shared<FuelViewController>(); });
    features.addTab("Fuel Economy", "Trends", [] { return std::make_shared<GraphViewCon>(); });
    features.addSettings("Fuel Economy", "Fuel economy settings", [] { return std::make_shared<FuelSettingViewCon>(); });
    features.addScreen("Dash Camcorder", [] {
        // Made at launch, when the movies an earlier run left are promised to reach the album.
        auto camera = std::make_shared<CameraViewController>();
        camera->saveMoviesLeftToAlbum();
        return camera;
    });
    features.addSettings("Dash Camcorder", "Dashcam settings", [] {
        return std::make_shared<CamSettViewController>([] { return std::make_shared<TrackSelectViewCon>(); });
    });
    features.addScreen("Racing", [] { return std::make_shared<RaceViewController>(); });
    features.addSettings("Racing", "Race track settings", [] { return std::make_shared<RaceSettViewController>(); });
}

AppScreens appScreens()
{
    FeatureRegistry features;
    registerFeatures(features);
    for (const std::string& error : features.errors())
        fnd::log(fnd::LogLevel::Error, "app screens: " + error);
    return features.screens();
}
