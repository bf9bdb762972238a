#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/foundation/Strings.h"

namespace {

TEST(Strings, FormatIsPrintfThatTakesStdString)
{
    const std::string name = "Coolant";
    EXPECT_EQ(fnd::format("%s in %s", name, "°C"), "Coolant in °C");
    EXPECT_EQ(fnd::format("%d%%", 42), "42%");
    EXPECT_EQ(fnd::format("%.2f|%5.1f|%-4d|%02X", 3.14159, 2.25f, 7, 0xA), "3.14|  2.2|7   |0A");
    EXPECT_EQ(fnd::format("100%%"), "100%");
    EXPECT_EQ(fnd::format(""), "");
    const std::string longText(5000, 'x');
    EXPECT_EQ(fnd::format("<%s>", longText).size(), 5002u);
}

TEST(Strings, FloatValueReadsTheLeadingNumber)
{
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"12.5", 12.5f},  {"  -3.25xyz", -3.25f}, {"\t+7", 7.f},      {".5", 0.5f},    {"5.", 5.f},
        {"1e3", 1000.f},  {"2.5E-1 ", 0.25f},     {"1e", 1.f},        {"abc", 0.f},    {"", 0.f},
        {"-", 0.f},       {".", 0.f},             {"0x1A", 0.f},      {"inf", 0.f},    {"nan", 0.f},
        {"12,5", 12.f},   {"3.3V", 3.3f},         {"\n 42 km", 42.f}, {"--1", 0.f},    {"1.2.3", 1.2f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(fnd::floatValue(c.text), c.expected) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(fnd::floatValue("1e999")));
    EXPECT_EQ(fnd::doubleValue("1e-999"), 0.0);
}

TEST(Strings, IntegerValueReadsTheLeadingIntegerAndClamps)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},        {"  -17 apples", -17},       {"+8", 8},           {"3.9", 3},
        {"-3.9", -3},      {"x1", 0},                   {"", 0},             {"  ", 0},
        {"007", 7},        {"2147483647", 2147483647},  {"-2147483648", std::numeric_limits<int>::min()},
        {"99999999999", std::numeric_limits<int>::max()}, {"-99999999999", std::numeric_limits<int>::min()},
        {"1e5", 1},        {".7", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fnd::integerValue(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace
