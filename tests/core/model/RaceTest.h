#pragma once

#include <cmath>
#include <functional>
#include <numbers>

#include <gtest/gtest.h>

#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemSound.h"
#include "platform/geo/Location.h"
#include "platform/ui/Device.h"
#include "support/AppState.h"

// Every race test starts with first-run settings, nothing saved, a phone
// upright and no sounds played.
class RaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::freshAppState();
    }

    static Settings& settings() { return Manager::sharedManager().setting(); }
    static UserData& userData() { return Manager::sharedManager().userData(); }
    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }

public:

    // A place `north` and `east` metres from a fixed origin.
    static geo::Location at(double north, double east)
    {
        constexpr double lat0 = 48.0;
        constexpr double lon0 = 11.0;
        constexpr double metresPerDegree = geo::meanEarthRadius * std::numbers::pi / 180.0;
        geo::Location l;
        l.coordinate.latitude = lat0 + north / metresPerDegree;
        l.coordinate.longitude = lon0 + east / (metresPerDegree * std::cos(lat0 * std::numbers::pi / 180.0));
        l.horizontalAccuracy = 5;
        return l;
    }

    // The point `metres` along a circle of circumference 600 m, starting at its
    // southernmost point, driving anticlockwise.
    static geo::Location onCircle(double metres)
    {
        constexpr double circumference = 600;
        const double radius = circumference / (2 * std::numbers::pi);
        const double angle = metres / radius;
        return at(radius - radius * std::cos(angle), radius * std::sin(angle));
    }
};
