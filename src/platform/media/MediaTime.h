#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace media {

// A time as a rational number of seconds: value / timescale. Besides numeric
// times there are the invalid time, the indefinite time (unknown, such as the
// time of a still image) and the two infinities; flags tell them apart.
struct MediaTime {
    enum Flags : std::uint32_t {
        Valid = 1,
        HasBeenRounded = 2,
        PositiveInfinity = 4,
        NegativeInfinity = 8,
        Indefinite = 16,
    };

    std::int64_t value = 0;
    std::int32_t timescale = 0;
    std::uint32_t flags = 0;
    std::int64_t epoch = 0;

    static MediaTime make(std::int64_t value, std::int32_t timescale);
    // Rounds to the nearest value at the timescale.
    static MediaTime makeWithSeconds(double seconds, std::int32_t preferredTimescale);
    static MediaTime invalid() { return {}; }
    static MediaTime zero() { return make(0, 1); }
    static MediaTime indefinite() { return {0, 0, Valid | Indefinite, 0}; }
    static MediaTime positiveInfinity() { return {0, 0, Valid | PositiveInfinity, 0}; }
    static MediaTime negativeInfinity() { return {0, 0, Valid | NegativeInfinity, 0}; }

    bool isValid() const { return (flags & Valid) != 0; }
    bool isIndefinite() const { return isValid() && (flags & Indefinite) != 0; }
    bool isPositiveInfinity() const { return isValid() && (flags & PositiveInfinity) != 0; }
    bool isNegativeInfinity() const { return isValid() && (flags & NegativeInfinity) != 0; }
    // Valid and neither indefinite nor infinite.
    bool isNumeric() const
    {
        return isValid() && (flags & (Indefinite | PositiveInfinity | NegativeInfinity)) == 0;
    }

    // NaN for invalid and indefinite times, +-infinity for the infinities.
    double seconds() const;
    // The same time at another timescale, rounded to the nearest value.
    MediaTime convertScale(std::int32_t newTimescale) const;
    // "{1001/30000 = 0.033}", "{INVALID}", "{INDEFINITE}", "{+INFINITY}", "{-INFINITY}".
    std::string description() const;

    // Sums and differences of numeric times of one epoch are exact at the least common
    // multiple of the timescales (or rounded to the larger timescale, with
    // HasBeenRounded, when that does not fit). Invalid in, invalid out;
    // +inf + -inf and inf - inf are invalid; indefinite absorbs numeric times;
    // an infinity absorbs numeric and indefinite times.
    friend MediaTime operator+(const MediaTime& a, const MediaTime& b);
    friend MediaTime operator-(const MediaTime& a, const MediaTime& b);
    MediaTime& operator+=(const MediaTime& other) { return *this = *this + other; }
    MediaTime& operator-=(const MediaTime& other) { return *this = *this - other; }

    // Total order: -inf < numeric times (by epoch, then value) < indefinite < +inf < invalid;
    // equal kinds of special time are equal. 1/2 equals 2/4.
    static int compare(const MediaTime& a, const MediaTime& b);
    friend bool operator==(const MediaTime& a, const MediaTime& b) { return compare(a, b) == 0; }
    friend std::strong_ordering operator<=>(const MediaTime& a, const MediaTime& b)
    {
        return compare(a, b) <=> 0;
    }
};

}  // namespace media
