#pragma once

namespace fnd {

// A moment as seconds since 1970-01-01 00:00 UTC.
struct Date {
    double secondsSince1970 = 0;

    // Wall-clock time; on the run loop's manual clock a fixed epoch plus the
    // clock, so tests get the same dates every run.
    static Date now();
    double timeIntervalSince(const Date& other) const { return secondsSince1970 - other.secondsSince1970; }
    Date addingTimeInterval(double seconds) const { return Date{secondsSince1970 + seconds}; }
    friend bool operator==(const Date&, const Date&) = default;
};

// The date Date::now() gives when the manual clock reads 0.
inline constexpr double manualClockEpoch = 1700000000.0;  // 2023-11-14 22:13:20 UTC

}  // namespace fnd
