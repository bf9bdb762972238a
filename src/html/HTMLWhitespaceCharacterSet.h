#pragma once

#include <string_view>
#include <vector>

// Space, tab, line feed, carriage return and form feed: what separates the
// words of a class list and the parts of a selector.
inline constexpr std::u16string_view HTMLWhitespaceCharacterSet = u" \t\n\r\f";

inline bool IsInHTMLWhitespaceCharacterSet(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The pieces between white-space characters, empty pieces included (so "a  b"
// has three pieces and "" has one).
std::vector<std::u16string_view> ComponentsSeparatedByHTMLWhitespace(std::u16string_view text);

// Whether some piece of the text, split as above, equals the word.
bool ContainsHTMLWhitespaceSeparatedWord(std::u16string_view text, std::u16string_view word);

// White space and line breaks in the Unicode sense (what trimming a label or a
// selector removes).
bool IsUnicodeWhitespace(char16_t c);
std::u16string_view TrimmingUnicodeWhitespace(std::u16string_view text);
