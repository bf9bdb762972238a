#include "platform/media/MediaTime.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

namespace media {

namespace {

constexpr std::int32_t maxTimescale = std::numeric_limits<std::int32_t>::max();

// Rank of a time's kind in the total order (numeric times compare by value).
int kindRank(const MediaTime& t)
{
    if (!t.isValid())
        return 4;
    if (t.isPositiveInfinity())
        return 3;
    if (t.isIndefinite())
        return 2;
    if (t.isNegativeInfinity())
        return 0;
    return 1;
}

// value * (to / from), rounded to nearest; false when it does not fit.
bool rescale(std::int64_t value, std::int32_t from, std::int32_t to, std::int64_t& out, bool& rounded)
{
    const __int128 scaled = static_cast<__int128>(value) * to;
    __int128 q = scaled / from;
    const __int128 r = scaled % from;
    if (r != 0) {
        rounded = true;
        if (2 * (r < 0 ? -r : r) >= from)
            q += (scaled < 0) ? -1 : 1;
    }
    if (q > std::numeric_limits<std::int64_t>::max() || q < std::numeric_limits<std::int64_t>::min())
        return false;
    out = static_cast<std::int64_t>(q);
    return true;
}

// Brings both numeric times to one timescale: their least common multiple when
// it fits, else the larger of the two with rounding.
std::int32_t commonTimescale(const MediaTime& a, const MediaTime& b)
{
    if (a.timescale == b.timescale)
        return a.timescale;
    const std::int64_t lcm = std::lcm<std::int64_t>(a.timescale, b.timescale);
    if (lcm <= maxTimescale)
        return static_cast<std::int32_t>(lcm);
    return std::max(a.timescale, b.timescale);
}

MediaTime numericSum(const MediaTime& a, const MediaTime& b, bool subtract)
{
    // Times of different epochs (loops of a timeline) have no common scale.
    if (a.epoch != b.epoch)
        return MediaTime::invalid();
    const std::int32_t scale = commonTimescale(a, b);
    bool rounded = ((a.flags | b.flags) & MediaTime::HasBeenRounded) != 0;
    std::int64_t va = 0;
    std::int64_t vb = 0;
    if (!rescale(a.value, a.timescale, scale, va, rounded) || !rescale(b.value, b.timescale, scale, vb, rounded))
        return MediaTime::invalid();
    std::int64_t sum = 0;
    const bool overflow = subtract ? __builtin_sub_overflow(va, vb, &sum) : __builtin_add_overflow(va, vb, &sum);
    if (overflow)
        return (subtract ? vb < 0 : vb > 0) ? MediaTime::positiveInfinity() : MediaTime::negativeInfinity();
    MediaTime result = MediaTime::make(sum, scale);
    result.epoch = a.epoch;
    if (rounded)
        result.flags |= MediaTime::HasBeenRounded;
    return result;
}

MediaTime negated(const MediaTime& t)
{
    if (t.isPositiveInfinity())
        return MediaTime::negativeInfinity();
    if (t.isNegativeInfinity())
        return MediaTime::positiveInfinity();
    return t;
}

}  // namespace

MediaTime MediaTime::make(std::int64_t value, std::int32_t timescale)
{
    if (timescale <= 0)
        return invalid();
    return {value, timescale, Valid, 0};
}

MediaTime MediaTime::makeWithSeconds(double seconds, std::int32_t preferredTimescale)
{
    if (std::isnan(seconds) || preferredTimescale <= 0)
        return invalid();
    if (std::isinf(seconds))
        return seconds > 0 ? positiveInfinity() : negativeInfinity();
    const double scaled = std::round(seconds * preferredTimescale);
    if (scaled >= 9.2e18)
        return positiveInfinity();
    if (scaled <= -9.2e18)
        return negativeInfinity();
    MediaTime t = make(static_cast<std::int64_t>(scaled), preferredTimescale);
    if (scaled != seconds * preferredTimescale)
        t.flags |= HasBeenRounded;
    return t;
}

double MediaTime::seconds() const
{
    if (isPositiveInfinity())
        return std::numeric_limits<double>::infinity();
    if (isNegativeInfinity())
        return -std::numeric_limits<double>::infinity();
    if (!isNumeric())
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(value) / timescale;
}

MediaTime MediaTime::convertScale(std::int32_t newTimescale) const
{
    if (!isNumeric() || newTimescale <= 0)
        return newTimescale <= 0 ? invalid() : *this;
    bool rounded = (flags & HasBeenRounded) != 0;
    std::int64_t v = 0;
    if (!rescale(value, timescale, newTimescale, v, rounded))
        return value > 0 ? positiveInfinity() : negativeInfinity();
    MediaTime t = make(v, newTimescale);
    t.epoch = epoch;
    if (rounded)
        t.flags |= HasBeenRounded;
    return t;
}

std::string MediaTime::description() const
{
    if (!isValid())
        return "{INVALID}";
    if (isIndefinite())
        return "{INDEFINITE}";
    if (isPositiveInfinity())
        return "{+INFINITY}";
    if (isNegativeInfinity())
        return "{-INFINITY}";
    char text[96];
    std::snprintf(text, sizeof text, "{%lld/%d = %.3f}", static_cast<long long>(value), timescale, seconds());
    return text;
}

MediaTime operator+(const MediaTime& a, const MediaTime& b)
{
    if (!a.isValid() || !b.isValid())
        return MediaTime::invalid();
    if ((a.isPositiveInfinity() && b.isNegativeInfinity()) || (a.isNegativeInfinity() && b.isPositiveInfinity()))
        return MediaTime::invalid();
    if (a.isPositiveInfinity() || b.isPositiveInfinity())
        return MediaTime::positiveInfinity();
    if (a.isNegativeInfinity() || b.isNegativeInfinity())
        return MediaTime::negativeInfinity();
    if (a.isIndefinite() || b.isIndefinite())
        return MediaTime::indefinite();
    return numericSum(a, b, false);
}

MediaTime operator-(const MediaTime& a, const MediaTime& b)
{
    if (b.isNumeric() && a.isNumeric())
        return numericSum(a, b, true);
    return a + negated(b);
}

int MediaTime::compare(const MediaTime& a, const MediaTime& b)
{
    const int ra = kindRank(a);
    const int rb = kindRank(b);
    if (ra != rb || ra != 1)
        return (ra > rb) - (ra < rb);
    if (a.epoch != b.epoch)
        return (a.epoch > b.epoch) - (a.epoch < b.epoch);
    const __int128 left = static_cast<__int128>(a.value) * b.timescale;
    const __int128 right = static_cast<__int128>(b.value) * a.timescale;
    return (left > right) - (left < right);
}

}  // namespace media
