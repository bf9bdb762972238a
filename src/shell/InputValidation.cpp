#include "shell/InputValidation.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "platform/foundation/Strings.h"

namespace input {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAlphanumeric(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool isIPv4(std::string_view text)
{
    const auto parts = split(text, '.');
    if (parts.size() != 4)
        return false;
    for (const auto part : parts) {
        if (part.empty() || part.size() > 3)
            return false;
        unsigned value = 0;  // unsigned: from_chars then takes no minus sign
        const auto [end, status] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (status != std::errc() || end != part.data() + part.size() || value > 255)
            return false;
    }
    return true;
}

// RFC 1123 names: labels of 1-63 letters, digits and inner hyphens, 253
// characters in all; the last label is not all digits, so a mistyped address
// such as "192.168.0.300" is not taken for a name.
bool isHostName(std::string_view text)
{
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 253)
        return false;
    const auto labels = split(text, '.');
    for (const auto label : labels) {
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (const char c : label) {
            if (!isAlphanumeric(c) && c != '-')
                return false;
        }
    }
    const auto last = labels.back();
    for (const char c : last) {
        if (!isDigit(c))
            return true;
    }
    return false;
}

}  // namespace

std::string trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::optional<double> number(std::string_view text)
{
    const std::string clean = trimmed(text);
    std::string_view digits = clean;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative || (!digits.empty() && digits.front() == '+'))
        digits.remove_prefix(1);
    // from_chars takes no sign of its own besides '-', and "-" alone or "--1" must fail.
    if (digits.empty() || !(isDigit(digits.front()) || digits.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                               std::chars_format::fixed);
    if (status != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> integer(std::string_view text, int min, int max)
{
    const std::string clean = trimmed(text);
    int value = 0;
    const auto [end, status] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (clean.empty() || status != std::errc() || end != clean.data() + clean.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<int> hexByte(std::string_view text)
{
    const std::string clean = trimmed(text);
    std::string_view digits = clean;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.remove_prefix(2);
    if (digits.empty() || digits.size() > 2)
        return std::nullopt;
    unsigned value = 0;  // unsigned: from_chars then takes no minus sign
    const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (status != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::string> hostAddress(std::string_view text)
{
    const std::string clean = trimmed(text);
    if (isIPv4(clean) || isHostName(clean))
        return clean;
    return std::nullopt;
}

std::optional<unsigned> port(std::string_view text)
{
    const auto value = integer(text, 1, 65535);
    if (!value)
        return std::nullopt;
    return static_cast<unsigned>(*value);
}

std::string numberText(double value)
{
    std::string text = fnd::format("%.3f", value);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

}  // namespace input
