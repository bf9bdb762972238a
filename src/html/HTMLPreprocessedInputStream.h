#pragma once

#include "html/HTMLCharacterRuns.h"
#include "html/HTMLCodePoints.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The parser's input: the whole text, read one code point at a time with the
// standard's preprocessing (CR and CR LF become LF, surrogate pairs become one
// code point, unpaired surrogates, controls and noncharacters are reported).
// Positions count UTF-16 code units. Beside the processed reading, the raw
// operations read the text as it stands (keywords, numbers, reference names);
// callers use them only when no character is to be reconsumed.
class HTMLPreprocessedInputStream {
public:
    using ErrorBlock = std::function<void(std::string_view message)>;

    explicit HTMLPreprocessedInputStream(std::u16string string = {});

    const std::u16string& string() const { return string_; }

    // The character the next consuming read would return (errors are still reported).
    char32_t nextInputCharacter() { return nextInputCharacterAndConsume(false); }
    char32_t consumeNextInputCharacter()
    {
        if (!reconsume_ && scanLocation_ < string_.size() && isPlainUnit(string_[scanLocation_])) {
            currentInputCharacter_ = string_[scanLocation_++];
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
    std::u16string_view nextUnprocessedCharactersWithMaximumLength(std::size_t maximumLength) const;
    void unconsumeInputCharacters(std::size_t count);

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

    std::u16string string_;
    std::size_t scanLocation_ = 0;
    bool reconsume_ = false;
    char32_t currentInputCharacter_ = 0;
    ErrorBlock errorBlock_;
};

template <char16_t... Stops, typename Test>
void HTMLPreprocessedInputStream::consumeCharactersUpToFirstPassingTest(Test&& test, std::u16string& run)
{
    for (;;) {
        if (!reconsume_) {
            const char16_t* const begin = string_.data() + scanLocation_;
            const char16_t* const end = string_.data() + string_.size();
            const char16_t* p = begin;
            for (;;) {
                p = FindRunStop<Stops...>(p, end);
                if (p == end || !isPlainUnit(*p) || test(static_cast<char32_t>(*p)))
                    break;
                ++p;
            }
            if (p != begin) {
                run.append(begin, p);
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
