#pragma once

#include "app/FeatureRegistry.h"
#include "shell/AppScreens.h"

// Every feature library's screens, given to the registry: the one place that knows the feature folders.
void registerFeatures(FeatureRegistry& features);

// The screens of registerFeatures() in their places, for the shell. A registration that went wrong is
// logged.
AppScreens appScreens();
