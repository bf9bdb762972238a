// Trouble-code bytes into codes and built-in descriptions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "diagnostics/DTCDecoding.h"
#include "diagnostics/DTCDescriptionTable.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;

struct DecodeCase {
    const char* name;
    Bytes bytes;
    Strings codes;
    Strings descriptions;
};

class DecodesCodes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodesCodes, WithDescriptions)
{
    const DecodeCase& c = GetParam();
    EXPECT_EQ(getCodes(c.bytes), c.codes);
    EXPECT_EQ(getDescription(c.bytes), c.descriptions);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, DecodesCodes,
    ::testing::Values(
        DecodeCase{"FillerPairsSkipped", {0x01, 0x33, 0x00, 0x00, 0x00, 0x00}, {"P0133"},
                   {"O2 Sensor Circuit Slow Response (Bank 1 Sensor 1)"}},
        DecodeCase{"ZeroFirstByteAloneIsNotFiller", {0x00, 0x10}, {"P0010"}, {"VTC oil control solenoid valve malfunction"}},
        DecodeCase{"ChassisCodeWithPowertrainDigitsHasNoText", {0x41, 0x33}, {"C0133"}, {""}},
        DecodeCase{"NetworkAndBodyCodes", {0xC1, 0x05, 0x81, 0x00}, {"U0105", "B0100"}, {"", ""}},
        DecodeCase{"OddLastByteIgnored", {0x01, 0x33, 0x44}, {"P0133"}, {"O2 Sensor Circuit Slow Response (Bank 1 Sensor 1)"}},
        DecodeCase{"CodeNotInTable", {0x01, 0x29}, {"P0129"}, {""}},
        DecodeCase{"LetterDigits", {0x0A, 0x7F, 0x21, 0x9A}, {"P0A7F", "P219A"},
                   {"Hybrid Battery Pack Deterioration", "Air-Fuel Ratio Imbalance (Bank 1)"}},
        DecodeCase{"GivenTexts", {0x03, 0x00, 0x04, 0x20, 0x04, 0x55, 0x07, 0x00, 0x10, 0x09, 0x14, 0x49, 0x01, 0x00},
                   {"P0300", "P0420", "P0455", "P0700", "P1009", "P1449", "P0100"},
                   {"Random/Multiple Cylinder Misfire Detected", "Catalyst System Efficiency Below Threshold (Bank 1)",
                    "Evaporative Emission Control System Leak Detected (gross leak)",
                    "Transmission Control System Malfunction", "VTC advance malfunction", "Battery Module Overheating",
                    "Mass or Volume Air Flow Circuit Malfunction"}},
        DecodeCase{"Empty", {}, {}, {}},
        DecodeCase{"SingleByte", {0x01}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DTCDescriptionTable, HoldsUniqueDescribedCodesInOrder)
{
    std::set<std::uint16_t> codes;
    int withLetterDigits = 0;
    for (const DTCDescription& row : DTCDescriptionTable) {
        EXPECT_TRUE(codes.insert(row.code).second) << std::hex << row.code;
        EXPECT_LE(row.code, 0x3FFF) << "a powertrain code has two bits of letter";
        ASSERT_NE(row.text, nullptr);
        const std::size_t length = std::strlen(row.text);
        EXPECT_GT(length, 0u) << std::hex << row.code;
        EXPECT_LE(length, 129u) << std::hex << row.code;
        bool letter = false;
        for (int shift = 0; shift < 16; shift += 4)
            letter = letter || ((row.code >> shift) & 0xF) > 9;
        withLetterDigits += letter;
    }
    EXPECT_EQ(codes.size(), 900u);
    EXPECT_EQ(withLetterDigits, 66);
    EXPECT_TRUE(std::is_sorted(DTCDescriptionTable.begin(), DTCDescriptionTable.end(),
                               [](const DTCDescription& a, const DTCDescription& b) { return a.code < b.code; }));
}

Response codeReply(std::uint8_t mode, int ecu, Bytes data)
{
    Response response;
    response.mode = mode;
    response.ecu = ecu;
    response.data = std::move(data);
    response.rawData = Bytes{mode};
    return response;
}

// Several ECUs (or lines) in one reply once replaced each other, losing the engine's codes.
TEST(TroubleCodesOf, GathersEveryEcuInReplyOrderOnce)
{
    const std::vector<Response> responses{
        codeReply(0x43, 0x7E8, {0x01, 0x71, 0x03, 0x01}),
        codeReply(0x41, 0x7E8, {0x81, 0x07}),
        codeReply(0x43, 0x7E9, {0x07, 0x00, 0x01, 0x71, 0x00, 0x00}),
        codeReply(0x47, 0x7E9, {0x04, 0x20}),
    };
    const DTCList stored = troubleCodesOf(responses, 0x43);
    EXPECT_EQ(stored.codes, (Strings{"P0171", "P0301", "P0700"}));
    EXPECT_EQ(stored.descriptions,
              (Strings{"System Too Lean (Bank 1)", "Cylinder 1 Misfire Detected", "Transmission Control System Malfunction"}));
    EXPECT_EQ(troubleCodesOf(responses, 0x47).codes, Strings{"P0420"});
    EXPECT_TRUE(troubleCodesOf(responses, 0x4A).codes.empty());
}

}  // namespace
