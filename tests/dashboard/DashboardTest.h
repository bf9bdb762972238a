#pragma once

#include <gtest/gtest.h>

#include "core/model/Manager.h"
#include "platform/foundation/SystemSound.h"
#include "support/TestSupport.h"

// Every dashboard test starts with first-run settings and no sounds played.
class DashboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::freshDocuments();
        Manager::resetForTesting();
        fnd::SystemSound::clearPlayed();
    }

    static Settings& settings() { return Manager::sharedManager().setting(); }
    static UserData& userData() { return Manager::sharedManager().userData(); }
};
