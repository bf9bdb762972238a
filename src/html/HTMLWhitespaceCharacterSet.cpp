#include "html/HTMLWhitespaceCharacterSet.h"

std::vector<std::u16string_view> ComponentsSeparatedByHTMLWhitespace(std::u16string_view text)
{
    std::vector<std::u16string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsInHTMLWhitespaceCharacterSet(text[i])) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool ContainsHTMLWhitespaceSeparatedWord(std::u16string_view text, std::u16string_view word)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsInHTMLWhitespaceCharacterSet(text[i])) {
            if (text.substr(start, i - start) == word)
                return true;
            start = i + 1;
        }
    }
    return false;
}

bool IsUnicodeWhitespace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string_view TrimmingUnicodeWhitespace(std::u16string_view text)
{
    while (!text.empty() && IsUnicodeWhitespace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsUnicodeWhitespace(text.back()))
        text.remove_suffix(1);
    return text;
}
