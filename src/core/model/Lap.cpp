#include "core/model/Lap.h"

#include <cmath>
#include <numeric>

#include "platform/foundation/Strings.h"

Lap::Lap(std::vector<geo::Location> coordinates, std::vector<float> speeds, float time)
    : coordinatesArr(std::move(coordinates)), speedArr(std::move(speeds)), time(time)
{
}

std::string Lap::lapTimeString() const
{
    const double t = time;
    const double minutes = std::fmod(std::trunc(t / 600), 60);
    const double seconds = std::fmod(std::trunc(t / 10), 60);
    // Truncated like the other two: a fractional time such as 129.7 would
    // otherwise round to a tenths digit of "10".
    const double tenths = std::trunc(std::fmod(t, 10));
    return fnd::format("%02.0f:%02.0f.%01.0f", minutes, seconds, tenths);
}

int Lap::getMaxSpeed() const
{
    if (speedArr.empty())
        return 0;
    const float sum = std::accumulate(speedArr.begin(), speedArr.end(), 0.0f);
    return static_cast<int>(sum / static_cast<float>(speedArr.size()));
}
