#include "app/Features.h"

#include "diagnostics/CommandViewController.h"
#include "diagnostics/DTCViewController.h"
#include "diagnostics/DiagViewController.h"
#include "diagnostics/FreezeViewController.h"
#include "diagnostics/InfoViewController.h"
#include "logging/ListViewController.h"
#include "logging/LoggerSettViewCon.h"
#include "logging/ScrollGraphViewController.h"
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
}

AppScreens appScreens()
{
    FeatureRegistry features;
    registerFeatures(features);
    for (const std::string& error : features.errors())
        fnd::log(fnd::LogLevel::Error, "app screens: " + error);
    return features.screens();
}
