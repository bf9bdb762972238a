// The byte-level decoders of the readiness, freeze frame and vehicle information screens.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/FreezeFrame.h"
#include "diagnostics/MonitorStatus.h"
#include "diagnostics/VehicleInformation.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using M = MonitorState;

Response reply(std::uint8_t mode, std::uint8_t pid, Bytes data)
{
    Response response;
    response.mode = mode;
    response.pid = pid;
    response.data = std::move(data);
    return response;
}

struct MonitorCase {
    const char* name;
    Bytes data;
    std::array<MonitorState, 11> states;
};

class ReadsMonitors : public ::testing::TestWithParam<MonitorCase> {};

TEST_P(ReadsMonitors, FromSupportedAndNotCompleteBits)
{
    const auto states = readMonitors(GetParam().data);
    ASSERT_TRUE(states);
    EXPECT_EQ(*states, GetParam().states);
}

INSTANTIATE_TEST_SUITE_P(
    MonitorStatus, ReadsMonitors,
    ::testing::Values(
        MonitorCase{"SparkIgnitionExample", {0x00, 0x07, 0x65, 0x00},
                    {M::Complete, M::Complete, M::Complete, M::Complete, M::Unsupported, M::Complete, M::Unsupported,
                     M::Unsupported, M::Complete, M::Complete, M::Unsupported}},
        MonitorCase{"MisfireNotComplete", {0x00, 0x17, 0x00, 0x00},
                    {M::Incomplete, M::Complete, M::Complete, M::Unsupported, M::Unsupported, M::Unsupported,
                     M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported}},
        MonitorCase{"EgrBitSeven", {0x00, 0x00, 0x80, 0x80},
                    {M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported,
                     M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported, M::Incomplete}},
        MonitorCase{"CompressionIgnitionReadTheSame", {0x00, 0x0F, 0x01, 0x00},
                    {M::Complete, M::Complete, M::Complete, M::Complete, M::Unsupported, M::Unsupported,
                     M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported, M::Unsupported}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MonitorStatus, ShortReplyGivesNothing)
{
    EXPECT_FALSE(readMonitors(Bytes{0x00, 0x07, 0x65}));
    EXPECT_FALSE(readMonitors(Bytes{}));
}

TEST(FreezeFrame, CodeAndValuesFollowTheFrameNumber)
{
    // Once the frame byte was read as the code's first byte: P0200 instead of P0171.
    EXPECT_EQ(freezeFrame::storedCode(reply(0x42, 0x02, {0x00, 0x01, 0x71})), "P0171");
    EXPECT_FALSE(freezeFrame::storedCode(reply(0x42, 0x02, {0x00, 0x00, 0x00})));
    EXPECT_FALSE(freezeFrame::storedCode(reply(0x42, 0x02, {0x00})));
    EXPECT_FALSE(freezeFrame::storedCode(reply(0x41, 0x02, {0x00, 0x01, 0x71})));

    EXPECT_EQ(freezeFrame::rowValue(reply(0x42, 0x0C, {0x00, 0x1A, 0xFA})), std::pair(8, std::string("1726 rpm")));
    EXPECT_EQ(freezeFrame::rowValue(reply(0x42, 0x06, {0x00, 0x78})), std::pair(2, std::string("-6 %")));
    EXPECT_EQ(freezeFrame::rowValue(reply(0x42, 0x05, {0x00, 0x82})), std::pair(1, std::string("90 \u00B0C")));
    EXPECT_EQ(freezeFrame::rowValue(reply(0x42, 0x11, {0x00, 0xFF})), std::pair(13, std::string("100 %")));
    // A late live reply of the same PID, a PID outside the frame, a reply without its value.
    EXPECT_FALSE(freezeFrame::rowValue(reply(0x41, 0x0C, {0x1A, 0xF8})));
    EXPECT_FALSE(freezeFrame::rowValue(reply(0x42, 0x12, {0x00, 0x04})));
    EXPECT_FALSE(freezeFrame::rowValue(reply(0x42, 0x0C, {0x00})));
}

TEST(FreezeFrame, Descriptions)
{
    EXPECT_EQ(freezeFrame::getDescription("P0171"), "Lean Air/fuel mixture");
    EXPECT_EQ(freezeFrame::getDescription("P0457"), "Gross leak detected (CAP OFF or LOOSE CAP)");
    EXPECT_EQ(freezeFrame::getDescription("P0301"), "No description available");
    EXPECT_EQ(freezeFrame::getDescription("p0171"), "No description available");
}

struct MetricCase {
    const char* name;
    std::uint8_t pid;
    Bytes data;
    std::optional<std::pair<int, std::string>> row;
};

class ShowsMetrics : public ::testing::TestWithParam<MetricCase> {};

TEST_P(ShowsMetrics, AsRowTexts)
{
    EXPECT_EQ(vehicleInformation::metricRow(reply(0x41, GetParam().pid, GetParam().data)), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    VehicleInformation, ShowsMetrics,
    ::testing::Values(
        MetricCase{"FuelSystemClosedLoop", 0x03, {0x02, 0x00}, std::pair(1, "Closed loop, using O2 sensor for feedback")},
        MetricCase{"FuelSystemHighestBit", 0x03, {0x03, 0x00}, std::pair(1, "Closed loop, using O2 sensor for feedback")},
        MetricCase{"FuelSystemZeroLeavesRow", 0x03, {0x00, 0x00}, std::nullopt},
        MetricCase{"FuelSystemBeyondTable", 0x03, {0x20, 0x00}, std::nullopt},
        MetricCase{"SecondaryAirOutside", 0x12, {0x04}, std::pair(2, "From outside atmosphere or off")},
        MetricCase{"SecondaryAirBeyondTable", 0x12, {0x10}, std::nullopt},
        MetricCase{"Diesel", 0x51, {0x04}, std::pair(0, "Diesel")},
        MetricCase{"FuelTypeUnavailable", 0x51, {0x00}, std::pair(0, "Unavailable")},
        MetricCase{"FuelTypeSixteenIsItsOwnText", 0x51, {0x10}, std::pair(0, "Bifuel running electric and gasoline")},
        MetricCase{"FuelTypeTwentyThree", 0x51, {0x17}, std::pair(0, "Bifuel running diesel")},
        MetricCase{"FuelTypeNineHasNoText", 0x51, {0x09}, std::nullopt},
        MetricCase{"RunTimeOneHour", 0x1F, {0x0E, 0x10}, std::pair(3, "01 hours 00 minutes")},
        MetricCase{"RunTimeSeconds", 0x1F, {0x00, 0x3B}, std::pair(3, "00 hours 00 minutes")},
        MetricCase{"DistanceWithMil", 0x21, {0x01, 0x02}, std::pair(4, "258 km")},
        MetricCase{"WarmUps", 0x30, {0x0C}, std::pair(5, "12 ")},
        MetricCase{"DistanceSinceClear", 0x31, {0x04, 0xB0}, std::pair(6, "1200 km")},
        MetricCase{"TimeWithMil", 0x4D, {0x05, 0xDC}, std::pair(7, "01 days 01 hours 00 minutes")},
        MetricCase{"TimeSinceClear", 0x4E, {0x00, 0x3D}, std::pair(8, "00 days 01 hours 01 minutes")},
        MetricCase{"ShortReplyLeavesRow", 0x4E, {0x05}, std::nullopt},
        MetricCase{"PidNotShown", 0x0C, {0x1A, 0xF8}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VehicleInformation, ItemTexts)
{
    const std::string vin = "1D4GP00R55B123456";
    Bytes vinBytes{0x00, 0x00, 0x00, 0x01};  // legacy padding and a stray control byte
    vinBytes.insert(vinBytes.end(), vin.begin(), vin.end());
    EXPECT_EQ(vehicleInformation::itemText(reply(0x49, 0x02, vinBytes)), vin);
    EXPECT_EQ(vehicleInformation::itemText(reply(0x49, 0x0A, {'E', 'C', 'M', 0x00, 0x7F, 0xC3})), "ECM");
    EXPECT_EQ(vehicleInformation::itemText(reply(0x49, 0x06, {0x17, 0x91, 0xBC, 0x82, 0x0A, 0x0B, 0x0C, 0x0D, 0xFF})),
              "1791BC82 0A0B0C0D");
    EXPECT_FALSE(vehicleInformation::itemText(reply(0x49, 0x02, {0x00, 0x00})));
    EXPECT_FALSE(vehicleInformation::itemText(reply(0x49, 0x08, {'A'})));
    EXPECT_FALSE(vehicleInformation::itemText(reply(0x41, 0x02, {'A'})));
}

}  // namespace
