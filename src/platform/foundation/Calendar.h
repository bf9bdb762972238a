#pragma once

#include "platform/foundation/Date.h"

namespace fnd {

// A moment read on the local wall clock.
struct DateComponents {
    int year = 0;
    int month = 0;    // 1-12
    int day = 0;      // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;   // whole seconds
    int weekday = 0;  // 1 Sunday ... 7 Saturday
};

// The Gregorian calendar in the local time zone (TZ). Day arithmetic keeps
// the wall-clock time, so across a daylight-saving change a day lasts 23 or
// 25 hours.
class Calendar {
public:
    static DateComponents components(const Date& date);
    // The same wall-clock time `days` days later (earlier when negative); a
    // time the clock skips that day moves on by the skipped hour.
    static Date dateByAddingDays(const Date& date, int days);
    // Local midnight at the start of the date's day.
    static Date startOfDay(const Date& date);
    // The moment of these local year, month, day, hour, minute and second
    // (out-of-range fields roll over, as 32 January is 1 February).
    static Date date(const DateComponents& components);
};

}  // namespace fnd
