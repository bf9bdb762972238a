#pragma once

#include <optional>
#include <string>

#include "platform/foundation/Date.h"

namespace fnd {

// Formats and parses dates with the platform's pattern letters (y, M, d, E, H, h,
// m, s, S, a; quoted literals) in a fixed English locale and the local time zone.
class DateFormatter {
public:
    explicit DateFormatter(std::string pattern);  // "HH:mm:ss", "MMM d, yyyy", "MMM d, yyyy-HH:mm a" ...
    const std::string& pattern() const { return pattern_; }
    std::string stringFromDate(const Date& date) const;
    std::optional<Date> dateFromString(const std::string& text) const;

private:
    std::string pattern_;
};

}  // namespace fnd
