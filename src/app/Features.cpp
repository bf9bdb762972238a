#include "app/Features.h"

#include "logging/ListViewController.h"
#include "logging/LoggerSettViewCon.h"
#include "logging/ScrollGraphViewController.h"
#include "platform/foundation/Log.h"

void registerFeatures(FeatureRegistry& features)
{
    // Each feature library adds its lines here (see FeatureRegistry.h).
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
