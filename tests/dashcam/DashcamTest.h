#pragma once

#include <gtest/gtest.h>

#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/Device.h"
#include "support/AppState.h"

// Every dash camera test starts with first-run settings, an empty data store,
// a phone at scale 1 and no sounds played.
class DashcamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::freshAppState();
    }

    static void advance(double seconds) { fnd::RunLoop::main().advance(seconds); }
    static Settings& settings() { return Manager::sharedManager().setting(); }
    static UserData& userData() { return Manager::sharedManager().userData(); }
};
