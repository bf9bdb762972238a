#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "core/obd/SensorTable.h"

namespace {

TEST(SensorTable, EveryRowSitsAtItsOwnIndex)
{
    for (std::size_t position = 0; position < sensorTable.size(); ++position)
        EXPECT_EQ(sensorTable[position].index, static_cast<int>(position));
}

TEST(SensorTable, FirstFourteenSensorsArePids04To11)
{
    for (int n = 0; n <= 13; ++n)
        EXPECT_EQ(sensorTable[static_cast<std::size_t>(n)].pid, 0x04 + n) << "index " << n;
    EXPECT_EQ(sensorTable[1].label, "Engine coolant temperature");
    EXPECT_EQ(sensorTable[8].label, "Engine speed");
    EXPECT_EQ(sensorTable[9].label, "Vehicle speed");
}

TEST(SensorTable, StandardRowsAscendAndNeverReadTheSameValueTwice)
{
    std::set<std::pair<int, int>> valuesRead;  // (PID, first byte)
    for (int index = 0; index < standardSensorCount; ++index) {
        const auto& row = sensorTable[static_cast<std::size_t>(index)];
        EXPECT_NE(row.decoder, nullptr) << index;
        EXPECT_GT(row.pid, 0) << index;
        EXPECT_TRUE(row.byteCount == 1 || row.byteCount == 2) << index;
        EXPECT_TRUE(valuesRead.emplace(row.pid, row.firstByte).second) << "index " << index << " repeats a value";
        if (index > 0) {
            EXPECT_GE(row.pid, sensorTable[static_cast<std::size_t>(index - 1)].pid) << "index " << index;
        }
    }
}

TEST(SensorTable, OnlyMultiValuePidsShareRows)
{
    // The oxygen sensor voltage and trim (14, 15) and the exhaust gas temperatures
    // of each bank (87-90, 91-94) come from one reply each.
    std::multiset<int> pids;
    for (int index = 0; index < standardSensorCount; ++index)
        pids.insert(sensorTable[static_cast<std::size_t>(index)].pid);
    for (const int pid : pids) {
        const auto expected = pid == 0x14 ? 2u : (pid == 0x78 || pid == 0x79) ? 4u : 1u;
        EXPECT_EQ(pids.count(pid), expected) << "PID " << pid;
    }
    EXPECT_EQ(sensorTable[14].pid, 0x14);
    EXPECT_EQ(sensorTable[15].pid, 0x14);
    EXPECT_EQ(sensorTable[87].pid, 0x78);
    EXPECT_EQ(sensorTable[90].pid, 0x78);
}

TEST(SensorTable, CalculatedSensorsFollowTheStandardOnes)
{
    const std::pair<int, const char*> calculated[] = {
        {fuelEconomySensor, "Fuel economy"}, {boostSensor, "Boost pressure"}, {horsepowerSensor, "Horsepower"},
        {batteryVoltageSensor, "Battery voltage"}, {gForceSensor, "G-force"}, {gearSensor, "Gear"},
    };
    for (const auto& [index, label] : calculated) {
        const auto& row = sensorTable[static_cast<std::size_t>(index)];
        EXPECT_EQ(row.label, label);
        EXPECT_EQ(row.decoder, nullptr) << index;
        EXPECT_EQ(row.pid, 0) << index;
    }
}

TEST(SensorTable, RangesAreOrderedAndAgreeAcrossUnitSystems)
{
    for (const auto& row : sensorTable) {
        EXPECT_LT(row.metricMin, row.metricMax) << row.label;
        EXPECT_LT(row.imperialMin, row.imperialMax) << row.label;
        EXPECT_FALSE(row.label.empty());
        EXPECT_FALSE(row.shortLabel.empty());
        if (row.decoder == nullptr)
            continue;
        // A typo in either range shows as an imperial range that is not the
        // converted metric one (the table rounds, so allow 2 % of the span).
        const float span = row.imperialMax - row.imperialMin;
        EXPECT_NEAR(row.toImperial(row.metricMin), row.imperialMin, 0.02f * span) << row.label;
        EXPECT_NEAR(row.toImperial(row.metricMax), row.imperialMax, 0.02f * span) << row.label;
    }
}

// A decoder swapped into the wrong row shows as a range the decoder cannot reach. One-byte values use the
// whole scale: 0x00 reads as the range's bottom and 0xFF as its top. Two-byte rows may show only part of
// their decoder's scale (engine speed up to 8000 of 16383.75 rpm), but every value of the range is one the
// decoder gives.
TEST(SensorTable, EachDecoderSpansItsRowsRange)
{
    for (int index = 0; index < standardSensorCount; ++index) {
        const auto& row = sensorTable[static_cast<std::size_t>(index)];
        SCOPED_TRACE(row.label);
        ASSERT_NE(row.decoder, nullptr);
        const float tolerance = 0.01f * (row.metricMax - row.metricMin);
        if (row.byteCount == 1) {
            EXPECT_NEAR(row.decoder(0x00, 0), row.metricMin, tolerance);
            EXPECT_NEAR(row.decoder(0xFF, 0), row.metricMax, tolerance);
            continue;
        }
        float lowest = row.decoder(0, 0);
        float highest = lowest;
        for (unsigned a = 0; a <= 0xFF; ++a) {
            for (unsigned b = 0; b <= 0xFF; ++b) {
                const float value = row.decoder(a, b);
                lowest = std::min(lowest, value);
                highest = std::max(highest, value);
            }
        }
        EXPECT_LE(lowest, row.metricMin + tolerance);
        EXPECT_GE(highest, row.metricMax - tolerance);
    }
}

}  // namespace
