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
