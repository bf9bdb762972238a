#include "html/HTMLCodePoints.h"

void AppendLongCharacter(std::u16string& string, char32_t c)
{
    if (c >= 0x10000 && c <= 0x10FFFF) {
        string.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        string.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
        string.push_back(static_cast<char16_t>(c & 0xFFFF));
    }
}

std::u16string StringWithLongCharacter(char32_t c)
{
    std::u16string string;
    AppendLongCharacter(string, c);
    return string;
}
