// A motion recording of any bytes: its samples, and the value at their times.
#include <cstdint>
#include <string>

#include "platform/motion/MotionReplay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const motion::MotionReplay replay =
        motion::MotionReplay::parse(std::string(reinterpret_cast<const char*>(data), size));
    double previous = -1e308;
    for (const auto& sample : replay.samples()) {
        if (sample.time < previous)
            __builtin_trap();
        previous = sample.time;
        replay.at(sample.time);
    }
    return 0;
}
