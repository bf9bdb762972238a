#include "dashboard/GaugeGlide.h"

#include <algorithm>

void GaugeGlide::reset(float value)
{
    target_ = value;
    start_ = value;
    offset_ = 0;
    count_ = 1;
    limit_ = 2;
}

void GaugeGlide::setTarget(float target)
{
    // A reading that came early shortens the next glide to the gap it came after.
    limit_ = std::min(limit_, count_);
    count_ = 1;
    start_ += offset_;
    offset_ = 0;
    target_ = target;
}

void GaugeGlide::tick()
{
    if (count_ < limit_) {
        offset_ = (target_ - start_) * (static_cast<float>(count_) / static_cast<float>(limit_));
    } else {
        // Arrived. From here both grow together, so that limit_ counts the
        // ticks since the latest reading.
        start_ = target_;
        offset_ = 0;
        ++limit_;
    }
    ++count_;
}
