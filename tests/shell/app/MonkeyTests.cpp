// The whole application shell under random input: taps, strokes, wheel turns, typing, rotations, alert
// choices, clock steps, app moments and a misbehaving adapter. Each seed makes the same moves every time;
// whatever they do, nothing may throw, the window must keep rendering and an alert shown must be on it.
// A frame kept as the host window keeps it, with only the damaged areas repainted, must show what a full
// repaint shows.

#include "Monkey.h"

namespace {

struct MonkeyCase {
    unsigned seed;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const MonkeyCase& c, std::ostream* os)
{
    *os << "seed " << c.seed;
}

// Enough steps to wander through the settings screens and their editors many times over.
constexpr int steps = 1000;

class Monkey : public monkey::RandomUser, public ::testing::WithParamInterface<MonkeyCase> {};

TEST_P(Monkey, NothingThrowsAndTheWindowKeepsRendering)
{
    const MonkeyCase& c = GetParam();
    port = sim.port();
    ui::Device::current().setIdiom(c.idiom);
    ui::Device::current().setScreenSize(c.size);
    launchApp({}, AdapterAddress{"127.0.0.1", port});
    run(c.seed, "shell-monkey-" + std::to_string(c.seed), steps);
    app->willTerminate();
}

INSTANTIATE_TEST_SUITE_P(Seeds, Monkey,
                         ::testing::Values(MonkeyCase{1, ui::UserInterfaceIdiom::Phone, {390, 844}},
                                           MonkeyCase{2, ui::UserInterfaceIdiom::Phone, {390, 844}},
                                           MonkeyCase{3, ui::UserInterfaceIdiom::Phone, {320, 568}},
                                           MonkeyCase{4, ui::UserInterfaceIdiom::Pad, {768, 1024}}),
                         [](const auto& info) { return std::to_string(info.param.seed); });

}  // namespace
