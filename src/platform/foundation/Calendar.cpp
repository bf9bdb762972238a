#include "platform/foundation/Calendar.h"

#include <cmath>
#include <ctime>

namespace fnd {

namespace {

std::tm localParts(const Date& date, double& fraction)
{
    const double whole = std::floor(date.secondsSince1970);
    fraction = date.secondsSince1970 - whole;
    const auto seconds = static_cast<std::time_t>(whole);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

Date fromLocalParts(std::tm parts, double fraction)
{
    parts.tm_isdst = -1;  // let the zone's rules decide for that day
    return Date{static_cast<double>(std::mktime(&parts)) + fraction};
}

}  // namespace

DateComponents Calendar::components(const Date& date)
{
    double fraction = 0;
    const std::tm parts = localParts(date, fraction);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
            parts.tm_min,         parts.tm_sec,     parts.tm_wday + 1};
}

Date Calendar::dateByAddingDays(const Date& date, int days)
{
    double fraction = 0;
    std::tm parts = localParts(date, fraction);
    parts.tm_mday += days;
    return fromLocalParts(parts, fraction);
}

Date Calendar::startOfDay(const Date& date)
{
    double fraction = 0;
    std::tm parts = localParts(date, fraction);
    parts.tm_hour = parts.tm_min = parts.tm_sec = 0;
    return fromLocalParts(parts, 0);
}

Date Calendar::date(const DateComponents& components)
{
    std::tm parts{};
    parts.tm_year = components.year - 1900;
    parts.tm_mon = components.month - 1;
    parts.tm_mday = components.day;
    parts.tm_hour = components.hour;
    parts.tm_min = components.minute;
    parts.tm_sec = components.second;
    return fromLocalParts(parts, 0);
}

}  // namespace fnd
