#include "logging/PollSchedule.h"

#include <algorithm>

namespace {

// Up to `most` requests of `faster` before each request of `slower`, round-robin;
// the unvisited rest of `faster` closes the list when it never wrapped.
std::vector<Command> interleave(const std::vector<Command>& faster, const std::vector<Command>& slower,
                                std::size_t most)
{
    std::vector<Command> out;
    const std::size_t k = std::min(faster.size(), most);
    std::size_t i = 0;
    bool wrapped = false;
    for (const Command& slow : slower) {
        for (std::size_t n = 0; n < k; ++n) {
            out.push_back(faster[i]);
            if (i + 1 >= faster.size()) {
                wrapped = true;
                i = 0;
            } else {
                ++i;
            }
        }
        out.push_back(slow);
    }
    if (!wrapped)
        out.insert(out.end(), faster.begin() + static_cast<std::ptrdiff_t>(i), faster.end());
    return out;
}

}  // namespace

std::vector<Command> getCommandArray(const std::vector<Command>& commands)
{
    std::vector<Command> fast, normal, slow;
    for (const Command& command : commands) {
        if (command.priority == 1)
            fast.push_back(command);
        else if (command.priority == 2)
            normal.push_back(command);
        else if (command.priority == 3)
            slow.push_back(command);
    }
    std::vector<Command> mix;
    if (normal.empty() || slow.empty())
        mix = normal.empty() ? slow : normal;
    else
        mix = interleave(normal, slow, 2);
    if (fast.empty())
        return mix;
    if (mix.empty())
        return fast;
    return interleave(fast, mix, 3);
}
