#include <set>

#include <gtest/gtest.h>

#include "core/model/DataStore.h"

namespace {

class DataStoreTest : public ::testing::Test {
protected:
    void SetUp() override { store.resetForTesting(); }
    void TearDown() override { store.resetForTesting(); }
    DataStore& store = DataStore::sharedDataStore();
};

TEST_F(DataStoreTest, NothingIsSupportedBeforeAScan)
{
    for (int pid = 0; pid <= 0x100; ++pid)
        EXPECT_FALSE(store.isService01PIDSupported(pid)) << pid;
}

TEST_F(DataStoreTest, BitmapsAnswerPerPid)
{
    // A typical petrol car: 01 03-07 0C-11 13 15 1C 1F 20, then 21 2F 33 3C 40 from 0120.
    store.setSupportedPIDs(0x00, 0xBE1FA813);
    store.setSupportedPIDs(0x20, 0x80022011);
    const std::set<int> supported = {0x00, 0x01, 0x03, 0x04, 0x05, 0x06, 0x07, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11,
                                     0x13, 0x15, 0x1C, 0x1F, 0x20, 0x21, 0x2F, 0x33, 0x3C, 0x40};
    for (int pid = 0; pid <= 0x100; ++pid)
        EXPECT_EQ(store.isService01PIDSupported(pid), supported.count(pid) == 1) << std::hex << pid;
}

TEST_F(DataStoreTest, BadBasesAreIgnoredAndClearingForgets)
{
    store.setSupportedPIDs(0x10, 0xFFFFFFFF);
    store.setSupportedPIDs(0x100, 0xFFFFFFFF);
    store.setSupportedPIDs(-0x20, 0xFFFFFFFF);
    EXPECT_FALSE(store.isService01PIDSupported(0x11));
    store.setSupportedPIDs(0xE0, 0x00000001);
    EXPECT_TRUE(store.isService01PIDSupported(0x100));
    EXPECT_FALSE(store.isService01PIDSupported(0x101));
    store.clearSupportedPIDs();
    EXPECT_FALSE(store.isService01PIDSupported(0x100));
}

}  // namespace
