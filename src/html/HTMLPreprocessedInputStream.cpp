#include "html/HTMLPreprocessedInputStream.h"

#include <algorithm>
#include <limits>

namespace {

bool isHexDigit(char16_t u)
{
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

std::uint32_t hexDigitValue(char16_t u)
{
    if (u <= u'9')
        return u - u'0';
    return (u | 0x20) - u'a' + 10;
}

} // namespace

HTMLPreprocessedInputStream::HTMLPreprocessedInputStream(std::u16string string) : string_(std::move(string)) {}

char32_t HTMLPreprocessedInputStream::nextInputCharacterAndConsume(bool consume)
{
    if (reconsume_) {
        if (consume)
            reconsume_ = false;
        return currentInputCharacter_;
    }

    char32_t c;
    std::size_t length = 1;
    if (scanLocation_ >= string_.size()) {
        c = HTMLEOFCharacter;
        length = 0;
    } else {
        const char16_t u = string_[scanLocation_];
        const bool hasNext = scanLocation_ + 1 < string_.size();
        const char16_t next = hasNext ? string_[scanLocation_ + 1] : 0;
        c = u;
        if (u >= 0xDC00 && u <= 0xDFFF) {
            reportError("Isloated trail surrogate");
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            if (hasNext && next >= 0xDC00 && next <= 0xDFFF) {
                c = 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00);
                length = 2;
            } else {
                reportError("Isolated lead surrogate");
            }
        } else if (u == u'\r') {
            c = u'\n';
            if (hasNext && next == u'\n')
                length = 2;
        }
    }

    if (IsNoncharacterOrDisallowedControl(c))
        reportError("Noncharacter or disallowed control character");
    if (consume) {
        scanLocation_ += length;
        currentInputCharacter_ = c;
    }
    return c;
}

void HTMLPreprocessedInputStream::reportError(std::string_view message) const
{
    if (errorBlock_)
        errorBlock_(message);
}

bool HTMLPreprocessedInputStream::consumeString(std::u16string_view text, bool matchingCase)
{
    if (string_.size() - std::min(scanLocation_, string_.size()) < text.size())
        return false;
    const std::u16string_view candidate(string_.data() + scanLocation_, text.size());
    const bool matches = matchingCase
        ? candidate == text
        : std::equal(candidate.begin(), candidate.end(), text.begin(),
                     [](char16_t a, char16_t b) { return ASCIILowercase(a) == ASCIILowercase(b); });
    if (matches)
        scanLocation_ += text.size();
    return matches;
}

bool HTMLPreprocessedInputStream::consumeHexInt(std::uint32_t& value)
{
    std::size_t i = scanLocation_;
    if (i >= string_.size() || !isHexDigit(string_[i]))
        return false;
    if (string_[i] == u'0' && i + 2 < string_.size() && (string_[i + 1] | 0x20) == u'x' && isHexDigit(string_[i + 2]))
        i += 2;
    std::uint64_t number = 0;
    for (; i < string_.size() && isHexDigit(string_[i]); ++i)
        number = std::min<std::uint64_t>(number * 16 + hexDigitValue(string_[i]), 0x100000000);
    value = number > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(number);
    scanLocation_ = i;
    return true;
}

bool HTMLPreprocessedInputStream::consumeUnsignedInt(std::uint32_t& value)
{
    std::size_t i = scanLocation_;
    bool negative = false;
    if (i < string_.size() && (string_[i] == u'+' || string_[i] == u'-')) {
        negative = string_[i] == u'-';
        ++i;
    }
    const std::size_t digitsStart = i;
    std::uint64_t number = 0;
    for (; i < string_.size() && string_[i] >= u'0' && string_[i] <= u'9'; ++i)
        number = std::min<std::uint64_t>(number * 10 + (string_[i] - u'0'), 0x100000000);
    if (i == digitsStart || (negative && number != 0))
        return false;
    value = number > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(number);
    scanLocation_ = i;
    return true;
}

std::u16string_view HTMLPreprocessedInputStream::nextUnprocessedCharactersWithMaximumLength(std::size_t maximumLength) const
{
    if (scanLocation_ >= string_.size())
        return {};
    return std::u16string_view(string_).substr(scanLocation_, maximumLength);
}

void HTMLPreprocessedInputStream::unconsumeInputCharacters(std::size_t count)
{
    scanLocation_ -= std::min(count, scanLocation_);
}
