// The Manager builds the link from the settings, keeps it current, and stores what it reads.

#include <gtest/gtest.h>

#include "core/link/Scanner.h"
#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "support/SimulatorFixture.h"
#include "support/TestSupport.h"

namespace {

class ManagerLinkTest : public ::testing::Test, protected testsupport::SimulatorFixture {
protected:
    void SetUp() override
    {
        testsupport::freshDocuments();
        Manager::resetForTesting();
        DataStore::sharedDataStore().resetForTesting();
    }
    void TearDown() override
    {
        Manager::sharedManager().scanner()->disconnect();
        Manager::resetForTesting();
        DataStore::sharedDataStore().resetForTesting();
    }
    static Settings& settings() { return Manager::sharedManager().setting(); }
};

TEST_F(ManagerLinkTest, LinkIsGivenTheSettingsAndEverySavedChange)
{
    settings().hostIP = "192.168.4.1";
    settings().port = 23;
    settings().protocol = 6;
    settings().speedLimitEnabled = true;
    Manager& manager = Manager::sharedManager();
    const auto link = manager.scanner();
    LinkSettings expected;
    expected.adapter = {"192.168.4.1", 23};
    expected.protocol = 6;
    expected.speedWarning = true;
    EXPECT_EQ(link->settings(), expected);

    settings().fastPollingEnabled = true;
    settings().multiMessageCANEnabled = true;
    settings().highTempEnabled = true;
    manager.saveChanges();
    expected.fastPolling = expected.multiMessageCAN = expected.temperatureWarning = true;
    EXPECT_EQ(link->settings(), expected);
    EXPECT_EQ(link->commandForOBD2(0x01, 0x0C, 255).commandString, "010c1");

    // An address given for this run goes to the link, not into the settings.
    manager.setAdapterOverride(AdapterAddress{"127.0.0.1", 35001});
    EXPECT_EQ(link->settings().adapter, (AdapterAddress{"127.0.0.1", 35001}));
    EXPECT_EQ(settings().hostIP, "192.168.4.1");
    manager.setAdapterOverride(std::nullopt);
    EXPECT_EQ(link->settings().adapter, (AdapterAddress{"192.168.4.1", 23}));
}

TEST_F(ManagerLinkTest, SupportedPidsTheLinkReadsReachTheDataStore)
{
    ASSERT_TRUE(startSimulator());
    sim.updateCar([](elmsim::CarState& car) { car.missingPids = {0x0D}; });
    DataStore& store = DataStore::sharedDataStore();
    store.setSupportedPIDs(0x00, 0xFFFFFFFF);  // left from an earlier car

    const auto link = Manager::sharedManager().scanner();
    link->connect();
    EXPECT_FALSE(store.isService01PIDSupported(0x0D)) << "cleared as the connection starts";
    ASSERT_TRUE(waitFor([&] { return link->isConnected(); }));
    EXPECT_TRUE(store.isService01PIDSupported(0x0C));
    EXPECT_TRUE(store.isService01PIDSupported(0x5C));
    EXPECT_FALSE(store.isService01PIDSupported(0x0D));
    link->disconnect();
    sim.stop();
}

}  // namespace
