#include "app/Features.h"

#include "platform/foundation/Log.h"

void registerFeatures(FeatureRegistry& features)
{
    // Each feature library adds its lines here (see FeatureRegistry.h); none has screens yet.
    static_cast<void>(features);
}

AppScreens appScreens()
{
    FeatureRegistry features;
    registerFeatures(features);
    for (const std::string& error : features.errors())
        fnd::log(fnd::LogLevel::Error, "app screens: " + error);
    return features.screens();
}
