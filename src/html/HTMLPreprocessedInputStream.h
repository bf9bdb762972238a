#pragma once

#include "html/HTMLCharacterRuns.h"
#include "html/HTMLCodePoints.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Bytes decoded only as they are read; they must outlive the reading.
struct HTMLUndecodedText {
    // In UTF-8 the text ends before the first invalid sequence (see
    // foundInvalidUTF8); in windows-1252 every byte is a character.
    enum class Encoding { UTF8, Windows1252 };

    std::string_view bytes;
    Encoding encoding = Encoding::UTF8;
};

// The parser's input, read one code point at a time with the standard's
// preprocessing (CR and CR LF become LF, surrogate pairs become one code
// point, unpaired surrogates, controls and noncharacters are reported). The
// text is UTF-16, either given whole or decoded from bytes a piece at a time
// into a window that moves along with the reading (so a page is never held
// twice). Beside the processed reading, the raw operations read the text as it
// stands (keywords, numbers, reference names); callers use them only when no
// character is to be reconsumed.
class HTMLPreprocessedInputStream {
public:
    using ErrorBlock = std::function<void(std::string_view message)>;

    explicit HTMLPreprocessedInputStream(std::u16string string = {});
    explicit HTMLPreprocessedInputStream(HTMLUndecodedText text);

    // The whole text, decoded anew from the bytes when the input is undecoded
    // (which must still be alive then): the reading never keeps all of it.
    std::u16string string() const;
    // Whether the reading met bytes that are not UTF-8, where its text ended.
    // The bytes are checked as they are decoded, so this is known for sure
    // only once the end has been read.
    bool foundInvalidUTF8() const { return foundInvalidUTF8_; }

    // The character the next consuming read would return (errors are still reported).
    // A plain unit (or the character to reconsume) is read inline.
    char32_t nextInputCharacter()
    {
        if (reconsume_)
            return currentInputCharacter_;
        if (scanLocation_ < windowEnd_ && isPlainUnit(window_[scanLocation_]))
            return window_[scanLocation_];
        return nextInputCharacterAndConsume(false);
    }
    char32_t consumeNextInputCharacter()
    {
        if (reconsume_) {
            reconsume_ = false;
            return currentInputCharacter_;
        }
        if (scanLocation_ < windowEnd_ && isPlainUnit(window_[scanLocation_])) {
            currentInputCharacter_ = window_[scanLocation_++];
            return currentInputCharacter_;
        }
        return nextInputCharacterAndConsume(true);
    }
    void reconsumeCurrentInputCharacter() { reconsume_ = true; }

    // Consumes characters, appending them to run, until test passes for one
    // (which is left to be consumed next) or the end is read. test may be
    // called twice for the character that stops the run, once for any other
    // it sees; it sees only Stops and the units that are not ordinary (see
    // FindRunStop), so Stops must hold every ordinary character test passes
    // or acts on.
    template <char16_t... Stops, typename Test>
    void consumeCharactersUpToFirstPassingTest(Test&& test, std::u16string& run);

    // Raw: matches text at the position (ASCII case-insensitively unless
    // matchingCase) and moves past it on a match.
    bool consumeString(std::u16string_view text, bool matchingCase);
    // Raw: a hexadecimal number (an 0x prefix is allowed after the first
    // digit check); 0xFFFFFFFF on overflow, every digit consumed.
    bool consumeHexInt(std::uint32_t& value);
    // Raw: a decimal number with an optional sign; fails on no digits or a
    // negative value, leaving the position alone; limited to 0xFFFFFFFF.
    bool consumeUnsignedInt(std::uint32_t& value);
    // Raw: up to maximumLength units from the position (empty at the end).
    std::u16string_view nextUnprocessedCharactersWithMaximumLength(std::size_t maximumLength);
    // Raw: the unit offset units past the position, or U+0000 past the end.
    char16_t nextUnprocessedUnitAt(std::size_t offset);
    // Raw: the units decoded from the position on, for a caller that reads
    // plain units itself (none while a character waits to be reconsumed), and
    // moving past count of them.
    std::u16string_view decodedUnits() const
    {
        if (reconsume_ || scanLocation_ >= windowEnd_)
            return {};
        return std::u16string_view(window_.data() + scanLocation_, windowEnd_ - scanLocation_);
    }
    void skipDecodedUnits(std::size_t count)
    {
        if (count == 0)
            return;
        scanLocation_ += count;
        currentInputCharacter_ = window_[scanLocation_ - 1];
    }
    // Raw: moves back over units already read, at most unconsumableLength of
    // them (the window always keeps that many behind the position).
    void unconsumeInputCharacters(std::size_t count);
    static constexpr std::size_t unconsumableLength = 64;

    void setErrorBlock(ErrorBlock block) { errorBlock_ = std::move(block); }

private:
    // Units that are their own code point and need no report: the run fast path.
    static constexpr bool isPlainUnit(char16_t u)
    {
        return (u >= 0x20 && u < 0x7F) || u == 0x09 || u == 0x0A || u == 0x0C || (u >= 0xA0 && u < 0xD800)
            || (u >= 0xE000 && u < 0xFDD0) || (u > 0xFDEF && u < 0xFFFE);
    }

    char32_t nextInputCharacterAndConsume(bool consume);
    void reportError(std::string_view message) const;
    // Decodes more of the bytes until the window holds count units from the
    // position on, or the whole rest of the text.
    void fill(std::size_t count)
    {
        if (windowEnd_ - scanLocation_ < count && !undecoded_.empty())
            decodeMore(count);
    }
    void decodeMore(std::size_t count);

    // The window: the text from some point before the position on, as far as
    // it is decoded, is window_[0, windowEnd_). Pieces are decoded straight
    // into the units after it, so window_ is sized only when it must grow
    // (units past windowEnd_ are not text).
    std::u16string window_;
    std::size_t windowEnd_ = 0;
    std::size_t scanLocation_ = 0;
    std::string_view undecoded_;
    // All the bytes, when the text is decoded from them.
    std::optional<HTMLUndecodedText> source_;
    HTMLUndecodedText::Encoding undecodedEncoding_ = HTMLUndecodedText::Encoding::UTF8;
    bool foundInvalidUTF8_ = false;
    bool reconsume_ = false;
    char32_t currentInputCharacter_ = 0;
    ErrorBlock errorBlock_;
};

template <char16_t... Stops, typename Test>
void HTMLPreprocessedInputStream::consumeCharactersUpToFirstPassingTest(Test&& test, std::u16string& run)
{
    for (;;) {
        if (!reconsume_) {
            const char16_t* const begin = window_.data() + scanLocation_;
            const char16_t* const end = window_.data() + windowEnd_;
            const char16_t* p = begin;
            for (;;) {
                p = FindRunStop<Stops...>(p, end);
                if (p == end || !isPlainUnit(*p) || test(static_cast<char32_t>(*p)))
                    break;
                ++p;
            }
            if (p != begin) {
                run.append(begin, static_cast<std::size_t>(p - begin));
                scanLocation_ += static_cast<std::size_t>(p - begin);
                currentInputCharacter_ = p[-1];
            }
            // A plain unit that passes the test is left for the caller to consume.
            if (p != end && isPlainUnit(*p))
                return;
        }
        const char32_t c = consumeNextInputCharacter();
        if (c == HTMLEOFCharacter || test(c)) {
            reconsumeCurrentInputCharacter();
            return;
        }
        AppendLongCharacter(run, c);
    }
}
