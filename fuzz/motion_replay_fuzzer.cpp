// A motion recording of any bytes: its samples, and the value at their times.
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "platform/motion/MotionReplay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    motion::MotionReplay samples(std::make_unique<std::istringstream>(text));
    motion::MotionReplay played(std::make_unique<std::istringstream>(text));
    double previous = -1e308;
    while (const auto sample = samples.nextSample()) {
        if (sample->time < previous)
            __builtin_trap();
        previous = sample->time;
        played.at(sample->time);
    }
    return 0;
}
