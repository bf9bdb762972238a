#include "platform/foundation/Strings.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace fnd {

namespace detail {

std::string formatPrintf(const char* fmt, ...)
{
    if (fmt == nullptr)
        return {};
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string result;
    if (size > 0) {
        result.resize(static_cast<std::size_t>(size));
        std::vsnprintf(result.data(), result.size() + 1, fmt, args);
    }
    va_end(args);
    return result;
}

}  // namespace detail

namespace {

std::string_view skipSpace(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    return text.substr(i);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of a leading decimal number: sign, digits, fraction, exponent.
// Hexadecimal, "inf" and "nan" are not numbers here.
std::size_t numberLength(std::string_view text, bool allowFraction)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t digitsStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    bool digits = i > digitsStart;
    if (allowFraction && i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        if (j > i + 1 || digits) {
            digits = digits || j > i + 1;
            i = j;
        }
    }
    if (!digits)
        return 0;
    if (allowFraction && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t expStart = j;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i;
}

// The leading number of a text without its sign; empty when there is none.
struct LeadingNumber {
    std::string_view unsignedPart;
    bool negative = false;
};

LeadingNumber leadingNumber(std::string_view text, bool allowFraction)
{
    text = skipSpace(text);
    const std::size_t length = numberLength(text, allowFraction);
    if (length == 0)
        return {};
    std::string_view number = text.substr(0, length);
    const bool negative = number.front() == '-';
    if (number.front() == '+' || number.front() == '-')
        number.remove_prefix(1);
    return {number, negative};
}

}  // namespace

double doubleValue(std::string_view text)
{
    const auto [number, negative] = leadingNumber(text, true);
    if (number.empty())
        return 0;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow and underflow: tell them apart
        // by the exponent's sign, as strtod would.
        const auto e = number.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

float floatValue(std::string_view text)
{
    return static_cast<float>(doubleValue(text));
}

int integerValue(std::string_view text)
{
    const auto [number, negative] = leadingNumber(text, false);
    if (number.empty())
        return 0;
    long long value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    constexpr long long maxInt = std::numeric_limits<int>::max();
    if (error == std::errc::result_out_of_range || value > maxInt)
        return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return static_cast<int>(negative ? -value : value);
}

}  // namespace fnd
