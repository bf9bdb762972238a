#pragma once

#include "platform/foundation/Date.h"

// Calendar days in local time: adding days keeps the wall-clock time across a
// daylight-saving change, where adding multiples of 86,400 s would not.
namespace localcalendar {

fnd::Date addingDays(const fnd::Date& date, int days);
int dayOfMonth(const fnd::Date& date);  // 1-31
int month(const fnd::Date& date);       // 1-12

}  // namespace localcalendar
