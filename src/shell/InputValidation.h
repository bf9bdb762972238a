#pragma once

#include <optional>
#include <string>
#include <string_view>

// Checks of what the user types into the settings and editors. Each gives the
// value, or nothing when the whole text (spaces around it aside) is not one.
namespace input {

std::string trimmed(std::string_view text);

// A decimal number such as "12", "-3.5" or ".25"; no exponent, no trailing text.
std::optional<double> number(std::string_view text);
// A whole decimal number within [min, max].
std::optional<int> integer(std::string_view text, int min, int max);
// One byte in hexadecimal: "0C", "c", "0x0c".
std::optional<int> hexByte(std::string_view text);

// A dotted IPv4 address ("192.168.0.10") or a host name of letters, digits and
// hyphens ("obd.local"); the text without the spaces around it.
std::optional<std::string> hostAddress(std::string_view text);
// A TCP port, 1 to 65535.
std::optional<unsigned> port(std::string_view text);

// A number as the editors show it for editing: up to three decimals, no
// trailing zeros ("8000", "0.5", "-40", "0.008").
std::string numberText(double value);

}  // namespace input
