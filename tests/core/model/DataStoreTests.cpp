#include <gtest/gtest.h>

#include "core/model/DataStore.h"

namespace {

TEST(DataStore, ArraysCoverEverySensorIndex)
{
    const auto& store = DataStore::sharedDataStore();
    EXPECT_EQ(store.pidArr.size(), 95u);
    EXPECT_EQ(store.sensorLabelArr.size(), 101u);
    EXPECT_EQ(store.sensorMetUnitsArr.size(), 101u);
    EXPECT_EQ(store.sensorImpUnitsArr.size(), 101u);
    EXPECT_EQ(store.pidArr[8], 0x0C);
    EXPECT_EQ(store.sensorImpUnitsArr[9], "mph");
    EXPECT_EQ(store.sensorLabelArr[100], "Gear");
    EXPECT_EQ(store.protocolArr.front(), "Automatic");
}

}  // namespace
