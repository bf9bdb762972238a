#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/InputValidation.h"

namespace {

TEST(InputValidationTest, HostAddressTakesIPv4AndHostNamesOnly)
{
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"192.168.0.10", "192.168.0.10"},
        {"  10.0.0.1 ", "10.0.0.1"},
        {"255.255.255.255", "255.255.255.255"},
        {"localhost", "localhost"},
        {"obd-adapter.local", "obd-adapter.local"},
        {"adapter.local.", "adapter.local."},
        {"192.168.0.300", std::nullopt},   // an octet past 255, not a name either
        {"192.168.0", std::nullopt},
        {"192.168.0.-1", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"bad host", std::nullopt},
        {"-adapter", std::nullopt},
        {"adapter-.local", std::nullopt},
        {"a..b", std::nullopt},
        {"host:35000", std::nullopt},
        {"http://192.168.0.10", std::nullopt},
        {"ad\xC3\xA4pter", std::nullopt},
        {std::string(64, 'a'), std::nullopt},  // a label longer than 63
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(input::hostAddress(text), expected) << '"' << text << '"';
}

TEST(InputValidationTest, PortIsOneTo65535)
{
    const std::vector<std::pair<const char*, std::optional<unsigned>>> cases = {
        {"35000", 35000u}, {" 1 ", 1u}, {"65535", 65535u}, {"0", std::nullopt}, {"65536", std::nullopt},
        {"-1", std::nullopt}, {"35000x", std::nullopt}, {"", std::nullopt}, {"3.5", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(input::port(text), expected) << '"' << text << '"';
}

TEST(InputValidationTest, NumbersMustBeWhole)
{
    const std::vector<std::pair<const char*, std::optional<double>>> cases = {
        {"12", 12.0}, {"-3.5", -3.5}, {".25", 0.25}, {" +7 ", 7.0}, {"0", 0.0},
        {"", std::nullopt}, {"-", std::nullopt}, {"--1", std::nullopt}, {"1e5", std::nullopt},
        {"12abc", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt}, {"1.2.3", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(input::number(text), expected) << '"' << text << '"';
}

TEST(InputValidationTest, HexBytes)
{
    const std::vector<std::pair<const char*, std::optional<int>>> cases = {
        {"0C", 0x0C}, {"c", 0x0C}, {"0x1f", 0x1F}, {"FF", 0xFF}, {" 22 ", 0x22},
        {"100", std::nullopt}, {"G1", std::nullopt}, {"-1", std::nullopt}, {"", std::nullopt}, {"0x", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(input::hexByte(text), expected) << '"' << text << '"';
}

TEST(InputValidationTest, NumberTextDropsTrailingZeros)
{
    const std::vector<std::pair<double, const char*>> cases = {
        {8000, "8000"}, {0.5, "0.5"}, {-40, "-40"}, {0.008, "0.008"}, {0.0001, "0"}, {-0.0001, "0"}, {2.125, "2.125"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(input::numberText(value), expected) << value;
}

}  // namespace
