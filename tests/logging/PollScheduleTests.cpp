#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logging/PollSchedule.h"

namespace {

// Requests named by one letter; the letter's group gives the priority.
struct Case {
    const char* name;
    std::string fast;
    std::string normal;
    std::string slow;
    std::string input;  // the order handed in, letters of the groups above (and '0'/'4' for odd priorities)
    std::string expected;
};

std::vector<Command> commands(const Case& c)
{
    std::vector<Command> out;
    for (char letter : c.input) {
        Command command;
        command.commandString = std::string(1, letter);
        if (c.fast.find(letter) != std::string::npos)
            command.priority = 1;
        else if (c.normal.find(letter) != std::string::npos)
            command.priority = 2;
        else if (c.slow.find(letter) != std::string::npos)
            command.priority = 3;
        else
            command.priority = letter - '0';
        out.push_back(command);
    }
    return out;
}

std::string order(const std::vector<Command>& list)
{
    std::string out;
    for (const Command& c : list)
        out += c.commandString;
    return out;
}

class Interleaving : public ::testing::TestWithParam<Case> {};

TEST_P(Interleaving, PollsFastRequestsMoreOften)
{
    EXPECT_EQ(order(getCommandArray(commands(GetParam()))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Interleaving,
    ::testing::Values(Case{"worked_example", "abcd", "xyz", "m", "abcdxyzm", "abcxdabycdambcdz"},
                      Case{"input_order_within_groups", "abcd", "xyz", "m", "mxaybzcd", "abcxdabycdambcdz"},
                      Case{"empty", "", "", "", "", ""},
                      Case{"fast_only", "abc", "", "", "abc", "abc"},
                      Case{"one_normal_two_slow", "", "x", "mn", "xmn", "xmxn"},
                      Case{"many_normal_one_slow", "", "xyzwv", "m", "xyzwvm", "xymzwv"},
                      Case{"one_fast_two_normal", "a", "xy", "", "axy", "axay"},
                      Case{"two_fast_one_normal", "ab", "x", "", "abx", "abx"},
                      Case{"five_fast_one_slow", "abcde", "", "m", "abcdem", "abcmde"},
                      Case{"odd_priorities_left_out", "a", "", "", "0a4", "a"},
                      Case{"battery_first_ends_after_fast", "ab", "", "v", "vab", "abv"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
