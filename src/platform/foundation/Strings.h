#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace fnd {

namespace detail {
std::string formatPrintf(const char* fmt, ...);

template <typename T>
auto formatArg(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>) {
        return value.c_str();
    } else {
        static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T> || std::is_pointer_v<T> ||
                          std::is_array_v<T> || std::is_null_pointer_v<T>,
                      "format() takes numbers, pointers, C strings and std::string");
        if constexpr (std::is_array_v<T>)
            return static_cast<const std::remove_extent_t<T>*>(value);
        else
            return value;
    }
}
}  // namespace detail

// printf-style formatting; std::string arguments are passed as %s.
template <typename... Args>
std::string format(const char* fmt, const Args&... args)
{
    return detail::formatPrintf(fmt, detail::formatArg(args)...);
}

// The leading number of a text like the platform's floatValue / integerValue:
// leading white space skipped, 0 when there is no number.
float floatValue(std::string_view text);
double doubleValue(std::string_view text);
int integerValue(std::string_view text);

}  // namespace fnd
