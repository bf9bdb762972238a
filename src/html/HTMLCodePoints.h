#pragma once

#include <string>
#include <string_view>

// Inside the parser a character is a Unicode code point; the end of the input
// travels through the same channel as this value.
inline constexpr char32_t HTMLEOFCharacter = 0xFFFFFFFF;

// Appends c: 0x10000 to 0x10FFFF as a surrogate pair, any other value as one
// unit (its low 16 bits).
void AppendLongCharacter(std::u16string& string, char32_t c);
std::u16string StringWithLongCharacter(char32_t c);

// Calls body once per code point: a lead surrogate followed by a trail
// surrogate is one value, every other unit (unpaired surrogates included) is
// passed as it stands.
template <typename Body>
void EnumerateLongCharacters(std::u16string_view string, Body&& body)
{
    for (std::size_t i = 0; i < string.size(); ++i) {
        const char32_t unit = string[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < string.size() && string[i + 1] >= 0xDC00
            && string[i + 1] <= 0xDFFF) {
            body(0x10000 + ((unit - 0xD800) << 10) + (string[i + 1] - 0xDC00));
            ++i;
        } else {
            body(unit);
        }
    }
}

// Tab, line feed, form feed and space; carriage return is not white space here
// because the input stream has already turned it into a line feed.
constexpr bool IsHTMLWhitespace(char32_t c)
{
    return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x20;
}

// The controls and noncharacters that the input stream reports as parse errors.
constexpr bool IsNoncharacterOrDisallowedControl(char32_t c)
{
    if (c == HTMLEOFCharacter)
        return false;
    if ((c >= 0x01 && c <= 0x08) || c == 0x0B || (c >= 0x0E && c <= 0x1F) || (c >= 0x7F && c <= 0x9F))
        return true;
    if (c >= 0xFDD0 && c <= 0xFDEF)
        return true;
    return c <= 0x10FFFF && (c & 0xFFFE) == 0xFFFE;
}

constexpr bool IsASCIIUpperAlpha(char32_t c)
{
    return c >= U'A' && c <= U'Z';
}

constexpr bool IsASCIIAlpha(char32_t c)
{
    return IsASCIIUpperAlpha(c) || (c >= U'a' && c <= U'z');
}

// The parser lowers names by adding 0x20 to A to Z only.
constexpr char32_t ASCIILowercase(char32_t c)
{
    return IsASCIIUpperAlpha(c) ? c + 0x20 : c;
}
