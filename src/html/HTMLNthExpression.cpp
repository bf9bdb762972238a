#include "html/HTMLNthExpression.h"

#include "html/HTMLCodePoints.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>

#include <limits>
#include <optional>
#include <vector>

namespace {

bool equalsIgnoringCase(std::u16string_view text, std::u16string_view lowercase)
{
    return std::equal(text.begin(), text.end(), lowercase.begin(), lowercase.end(),
                      [](char16_t a, char16_t b) { return ASCIILowercase(a) == b; });
}

// One decimal integer with an optional sign touching its digits; an empty piece
// gives the default.
std::optional<std::int64_t> parseNthInteger(std::u16string_view piece, std::int64_t defaultValue)
{
    piece = TrimmingUnicodeWhitespace(piece);
    if (piece.empty())
        return defaultValue;
    bool negative = false;
    if (piece.front() == u'+' || piece.front() == u'-') {
        negative = piece.front() == u'-';
        piece.remove_prefix(1);
    }
    if (piece.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char16_t c : piece) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value > (std::numeric_limits<std::int64_t>::max() - (c - u'0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

} // namespace

HTMLNthExpression HTMLNthExpressionFromString(std::u16string_view text)
{
    text = TrimmingUnicodeWhitespace(text);
    if (equalsIgnoringCase(text, u"odd"))
        return {2, 1};
    if (equalsIgnoringCase(text, u"even"))
        return {2, 0};
    for (char16_t c : text) {
        const bool allowed = (c >= u'0' && c <= u'9') || c == u' ' || c == u'n' || c == u'N' || c == u'+' || c == u'-';
        if (!allowed)
            return {};
    }

    std::vector<std::u16string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'n' || text[i] == u'N') {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (pieces.size() > 2)
        return {};
    if (pieces.size() == 1)
        return {0, parseNthInteger(pieces[0], 1).value_or(0)};

    const std::optional<std::int64_t> b = parseNthInteger(pieces[1], 0);
    if (pieces[0] == u"-" && b)
        return {-1, *b};
    const std::optional<std::int64_t> a = parseNthInteger(pieces[0], 1);
    if (a && b)
        return {*a, *b};
    return {};
}
