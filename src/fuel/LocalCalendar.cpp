#include "fuel/LocalCalendar.h"

#include <cmath>
#include <ctime>

namespace localcalendar {

namespace {

std::tm localTime(const fnd::Date& date)
{
    const auto seconds = static_cast<std::time_t>(std::floor(date.secondsSince1970));
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

}  // namespace

fnd::Date addingDays(const fnd::Date& date, int days)
{
    std::tm parts = localTime(date);
    const double fraction = date.secondsSince1970 - std::floor(date.secondsSince1970);
    parts.tm_mday += days;
    parts.tm_isdst = -1;  // the offset of the day reached, not of the day left
    const std::time_t moved = std::mktime(&parts);
    if (moved == static_cast<std::time_t>(-1))
        return date.addingTimeInterval(days * 86400.0);
    return fnd::Date{static_cast<double>(moved) + fraction};
}

int dayOfMonth(const fnd::Date& date) { return localTime(date).tm_mday; }

int month(const fnd::Date& date) { return localTime(date).tm_mon + 1; }

}  // namespace localcalendar
