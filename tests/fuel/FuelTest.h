#pragma once

#include <gtest/gtest.h>

#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Device.h"
#include "support/AppState.h"

// Every fuel test starts with first-run settings, an empty data store, a phone
// upright and no sounds played.
class FuelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::freshAppState();
    }

    static Settings& settings() { return Manager::sharedManager().setting(); }
    static UserData& userData() { return Manager::sharedManager().userData(); }
    static FuelData& fuelData() { return Manager::sharedManager().fuelData(); }
};
