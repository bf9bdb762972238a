#include "html/HTMLPreprocessedInputStream.h"

#include "html/HTMLStringEncoding.h"
#include "html/HTMLUTF8.h"

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

HTMLPreprocessedInputStream::HTMLPreprocessedInputStream(std::u16string string)
    : window_(std::move(string)), windowEnd_(window_.size())
{
}

HTMLPreprocessedInputStream::HTMLPreprocessedInputStream(HTMLUndecodedText text)
    : undecoded_(text.bytes), source_(text), undecodedEncoding_(text.encoding)
{
}

std::u16string HTMLPreprocessedInputStream::string() const
{
    if (!source_)
        return window_;
    std::u16string text;
    if (source_->encoding == HTMLUndecodedText::Encoding::Windows1252)
        AppendWindows1252(text, source_->bytes);
    else
        AppendUTF8(text, source_->bytes);
    return text;
}

void HTMLPreprocessedInputStream::decodeMore(std::size_t count)
{
    // Pieces of this many bytes keep the window small and in the cache.
    constexpr std::size_t pieceLength = 4 * 1024;
    // What lies further back than a raw read can return to goes.
    const std::size_t kept = std::min(scanLocation_, unconsumableLength);
    const std::size_t dropped = scanLocation_ - kept;
    std::copy(window_.begin() + static_cast<std::ptrdiff_t>(dropped),
              window_.begin() + static_cast<std::ptrdiff_t>(windowEnd_), window_.begin());
    windowEnd_ -= dropped;
    scanLocation_ = kept;
    while (windowEnd_ - scanLocation_ < count && !undecoded_.empty()) {
        std::size_t length = std::min(std::max(pieceLength, count), undecoded_.size());
        if (undecodedEncoding_ == HTMLUndecodedText::Encoding::UTF8) {
            // A piece ends where a sequence begins.
            while (length < undecoded_.size() && (static_cast<unsigned char>(undecoded_[length]) & 0xC0) == 0x80)
                ++length;
        }
        // No byte gives more than one unit. Room for a piece beside what is
        // kept is made at once: growing by doubling would leave the window
        // about twice as large as it needs to be.
        if (window_.size() < windowEnd_ + length) {
            window_.reserve(std::max(windowEnd_ + length, std::max(pieceLength, count) + 2 * unconsumableLength));
            window_.resize(windowEnd_ + length);
        }
        char16_t* const start = window_.data() + windowEnd_;
        if (undecodedEncoding_ == HTMLUndecodedText::Encoding::Windows1252) {
            WriteWindows1252(undecoded_.substr(0, length), start);
            windowEnd_ += length;
        } else {
            char16_t* end = start;
            const bool valid = WriteUTF8(undecoded_.substr(0, length), end);
            windowEnd_ += static_cast<std::size_t>(end - start);
            if (!valid) {
                foundInvalidUTF8_ = true;
                undecoded_ = {};
                return;
            }
        }
        undecoded_.remove_prefix(length);
    }
}

char32_t HTMLPreprocessedInputStream::nextInputCharacterAndConsume(bool consume)
{
    if (reconsume_) {
        if (consume)
            reconsume_ = false;
        return currentInputCharacter_;
    }

    // A surrogate pair or CR LF is read as one.
    fill(2);
    char32_t c;
    std::size_t length = 1;
    if (scanLocation_ >= windowEnd_) {
        c = HTMLEOFCharacter;
        length = 0;
    } else {
        const char16_t u = window_[scanLocation_];
        const bool hasNext = scanLocation_ + 1 < windowEnd_;
        const char16_t next = hasNext ? window_[scanLocation_ + 1] : 0;
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
    fill(text.size());
    if (windowEnd_ - std::min(scanLocation_, windowEnd_) < text.size())
        return false;
    const std::u16string_view candidate(window_.data() + scanLocation_, text.size());
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
    if (!isHexDigit(nextUnprocessedUnitAt(0)))
        return false;
    if (nextUnprocessedUnitAt(0) == u'0' && (nextUnprocessedUnitAt(1) | 0x20) == u'x' && isHexDigit(nextUnprocessedUnitAt(2)))
        scanLocation_ += 2;
    std::uint64_t number = 0;
    for (char16_t u; isHexDigit(u = nextUnprocessedUnitAt(0)); ++scanLocation_)
        number = std::min<std::uint64_t>(number * 16 + hexDigitValue(u), 0x100000000);
    value = number > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(number);
    return true;
}

bool HTMLPreprocessedInputStream::consumeUnsignedInt(std::uint32_t& value)
{
    const auto isDigit = [](char16_t u) { return u >= u'0' && u <= u'9'; };
    const char16_t sign = nextUnprocessedUnitAt(0);
    const std::size_t signLength = sign == u'+' || sign == u'-' ? 1 : 0;
    if (!isDigit(nextUnprocessedUnitAt(signLength)))
        return false;
    if (sign == u'-') {
        // Only zeros make a negative number that is taken.
        std::size_t length = signLength;
        while (nextUnprocessedUnitAt(length) == u'0')
            ++length;
        if (isDigit(nextUnprocessedUnitAt(length)))
            return false;
        value = 0;
        scanLocation_ += length;
        return true;
    }
    // The digits are consumed as they are read, so a long number never has
    // to be decoded all at once.
    scanLocation_ += signLength;
    std::uint64_t number = 0;
    for (char16_t u; isDigit(u = nextUnprocessedUnitAt(0)); ++scanLocation_)
        number = std::min<std::uint64_t>(number * 10 + (u - u'0'), 0x100000000);
    value = number > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(number);
    return true;
}

std::u16string_view HTMLPreprocessedInputStream::nextUnprocessedCharactersWithMaximumLength(std::size_t maximumLength)
{
    fill(maximumLength);
    if (scanLocation_ >= windowEnd_)
        return {};
    return std::u16string_view(window_.data() + scanLocation_, std::min(maximumLength, windowEnd_ - scanLocation_));
}

char16_t HTMLPreprocessedInputStream::nextUnprocessedUnitAt(std::size_t offset)
{
    fill(offset + 1);
    return scanLocation_ + offset < windowEnd_ ? window_[scanLocation_ + offset] : u'\0';
}

void HTMLPreprocessedInputStream::unconsumeInputCharacters(std::size_t count)
{
    scanLocation_ -= std::min(count, scanLocation_);
}
