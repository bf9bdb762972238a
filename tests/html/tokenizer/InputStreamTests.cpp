#include "html/HTMLCodePoints.h"
#include "html/HTMLPreprocessedInputStream.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Reading {
    std::vector<char32_t> characters;
    std::vector<std::string> errors;
};

// Consumes the whole stream one character at a time.
template <typename Input>
Reading readAll(Input input)
{
    Reading reading;
    HTMLPreprocessedInputStream stream(std::move(input));
    stream.setErrorBlock([&](std::string_view message) { reading.errors.emplace_back(message); });
    for (char32_t c = stream.consumeNextInputCharacter(); c != HTMLEOFCharacter; c = stream.consumeNextInputCharacter())
        reading.characters.push_back(c);
    return reading;
}

struct PreprocessingCase {
    const char* name;
    std::u16string input;
    std::vector<char32_t> characters;
    std::vector<std::string> errors;
};

TEST(InputStream, PreprocessesLineBreaksSurrogatesAndControls)
{
    const std::u16string loneLead(1, char16_t(0xD800));
    const std::u16string loneTrail(1, char16_t(0xDC00));
    const PreprocessingCase cases[] = {
        {"CR LF is one line feed", u"a\r\nb", {U'a', U'\n', U'b'}, {}},
        {"lone CR is a line feed", u"a\rb", {U'a', U'\n', U'b'}, {}},
        {"CR at the end", u"a\r", {U'a', U'\n'}, {}},
        {"CR CR LF", u"\r\r\n", {U'\n', U'\n'}, {}},
        {"U+0000 inside is a character", std::u16string(u"a\0b", 3), {U'a', 0, U'b'}, {}},
        {"surrogate pair", u"\U0001F600", {0x1F600}, {}},
        {"lone trail surrogate", u"a" + loneTrail, {U'a', 0xDC00}, {"Isloated trail surrogate"}},
        {"lone lead surrogate before a letter", loneLead + u"a", {0xD800, U'a'}, {"Isolated lead surrogate"}},
        {"lone lead surrogate at the end", loneLead, {0xD800}, {"Isolated lead surrogate"}},
        {"control character", u"\u0001", {0x01}, {"Noncharacter or disallowed control character"}},
        {"noncharacter", u"\uFDD0", {0xFDD0}, {"Noncharacter or disallowed control character"}},
        {"astral noncharacter", u"\U0001FFFE", {0x1FFFE}, {"Noncharacter or disallowed control character"}},
        {"tab, form feed and no-break space are fine", u"\t\f\u00A0", {U'\t', U'\f', 0xA0}, {}},
    };
    for (const PreprocessingCase& c : cases) {
        const Reading reading = readAll(c.input);
        EXPECT_EQ(std::vector<std::uint32_t>(reading.characters.begin(), reading.characters.end()),
                  std::vector<std::uint32_t>(c.characters.begin(), c.characters.end()))
            << c.name;
        EXPECT_EQ(reading.errors, c.errors) << c.name;
    }
}

TEST(InputStream, EndOfFileRepeatsWithoutMoving)
{
    HTMLPreprocessedInputStream stream(u"a");
    EXPECT_EQ(stream.consumeNextInputCharacter(), U'a');
    EXPECT_EQ(stream.consumeNextInputCharacter(), HTMLEOFCharacter);
    EXPECT_EQ(stream.consumeNextInputCharacter(), HTMLEOFCharacter);
    stream.unconsumeInputCharacters(1);
    EXPECT_EQ(stream.consumeNextInputCharacter(), U'a');
}

TEST(InputStream, PeekingReportsAgainButReconsumingDoesNot)
{
    std::vector<std::string> errors;
    HTMLPreprocessedInputStream stream(u"\u0001");
    stream.setErrorBlock([&](std::string_view message) { errors.emplace_back(message); });
    EXPECT_EQ(stream.nextInputCharacter(), 0x01u);
    EXPECT_EQ(stream.consumeNextInputCharacter(), 0x01u);
    EXPECT_EQ(errors.size(), 2u);
    stream.reconsumeCurrentInputCharacter();
    EXPECT_EQ(stream.consumeNextInputCharacter(), 0x01u);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(stream.consumeNextInputCharacter(), HTMLEOFCharacter);
}

TEST(InputStream, RunsStopAtTheTestAndPreprocessAsTheyGo)
{
    HTMLPreprocessedInputStream stream(u"ab\r\nc\U0001F600d\rx<rest");
    std::vector<std::string> errors;
    stream.setErrorBlock([&](std::string_view message) { errors.emplace_back(message); });
    std::u16string run;
    stream.consumeCharactersUpToFirstPassingTest<u'<'>([](char32_t c) { return c == U'<'; }, run);
    EXPECT_EQ(run, u"ab\nc\U0001F600d\nx");
    EXPECT_EQ(stream.consumeNextInputCharacter(), U'<');

    run.clear();
    stream.consumeCharactersUpToFirstPassingTest([](char32_t) { return false; }, run);
    EXPECT_EQ(run, u"rest");
    EXPECT_EQ(stream.consumeNextInputCharacter(), HTMLEOFCharacter);
    EXPECT_TRUE(errors.empty());
}

TEST(InputStream, RunBeginsWithTheReconsumedCharacter)
{
    HTMLPreprocessedInputStream stream(u"?x>");
    EXPECT_EQ(stream.consumeNextInputCharacter(), U'?');
    stream.reconsumeCurrentInputCharacter();
    std::u16string run;
    stream.consumeCharactersUpToFirstPassingTest<u'>'>([](char32_t c) { return c == U'>'; }, run);
    EXPECT_EQ(run, u"?x");
}

TEST(InputStream, RawNumbers)
{
    struct Case {
        std::u16string input;
        bool hex;
        bool found;
        std::uint32_t value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {u"+65;", false, true, 65, 3},
        {u"-5;", false, false, 0, 0},
        {u"-0", false, true, 0, 2},
        {u";", false, false, 0, 0},
        {u"99999999999999999999999;", false, true, 0xFFFFFFFF, 23},
        {u"41;", true, true, 0x41, 2},
        {u"0x41;", true, true, 0x41, 4},
        {u"0xg", true, true, 0, 1},
        {u"x41", true, false, 0, 0},
        {u"FFFFFFFFFF;", true, true, 0xFFFFFFFF, 10},
    };
    for (const Case& c : cases) {
        HTMLPreprocessedInputStream stream(c.input);
        std::uint32_t value = 0;
        EXPECT_EQ(c.hex ? stream.consumeHexInt(value) : stream.consumeUnsignedInt(value), c.found);
        if (c.found) {
            EXPECT_EQ(value, c.value);
        }
        EXPECT_EQ(stream.nextUnprocessedCharactersWithMaximumLength(100), c.input.substr(c.consumed));
    }
}

TEST(InputStream, RawKeywordMatching)
{
    for (const std::u16string input : {u"doctype html", u"DocType html", u"DOCTYPE html"}) {
        HTMLPreprocessedInputStream stream(input);
        EXPECT_TRUE(stream.consumeString(u"DOCTYPE", false));
        EXPECT_EQ(stream.nextUnprocessedCharactersWithMaximumLength(5), u" html");
    }
    HTMLPreprocessedInputStream stream(u"doctyp");
    EXPECT_FALSE(stream.consumeString(u"DOCTYPE", false));
    EXPECT_FALSE(stream.consumeString(u"DOCTYP", true));
    EXPECT_EQ(stream.nextUnprocessedCharactersWithMaximumLength(2), u"do");
}

TEST(CodePoints, AppendAndEnumerateLongCharacters)
{
    std::u16string text;
    AppendLongCharacter(text, U'a');
    AppendLongCharacter(text, 0x1D504);
    AppendLongCharacter(text, 0xDC00);
    EXPECT_EQ(text, u"a\U0001D504" + std::u16string(1, char16_t(0xDC00)));
    EXPECT_EQ(StringWithLongCharacter(0x10FFFF), u"\U0010FFFF");

    // A lone lead before a proper pair must not swallow the pair.
    const std::u16string leadLeadTrail = {char16_t(0xD800), char16_t(0xD83D), char16_t(0xDE00)};
    std::vector<char32_t> values;
    EnumerateLongCharacters(leadLeadTrail, [&](char32_t c) { values.push_back(c); });
    EXPECT_EQ(values, (std::vector<char32_t>{0xD800, 0x1F600}));

    values.clear();
    EnumerateLongCharacters(std::u16string{char16_t(0xDC00), char16_t(0xD800)}, [&](char32_t c) { values.push_back(c); });
    EXPECT_EQ(values, (std::vector<char32_t>{0xDC00, 0xD800}));
}

TEST(CodePoints, CharacterClasses)
{
    for (const std::uint32_t c : {0x09u, 0x0Au, 0x0Cu, 0x20u})
        EXPECT_TRUE(IsHTMLWhitespace(c)) << c;
    for (const std::uint32_t c : {0x0Du, 0x0Bu, 0xA0u, 0xFFFFFFFFu})
        EXPECT_FALSE(IsHTMLWhitespace(c)) << c;

    for (const std::uint32_t c : {0x01u, 0x08u, 0x0Bu, 0x0Eu, 0x1Fu, 0x7Fu, 0x9Fu, 0xFDD0u, 0xFDEFu, 0xFFFEu, 0xFFFFu,
                                  0x1FFFEu, 0x10FFFFu})
        EXPECT_TRUE(IsNoncharacterOrDisallowedControl(c)) << c;
    for (const std::uint32_t c : {0x00u, 0x09u, 0x0Au, 0x0Cu, 0x0Du, 0x20u, 0xA0u, 0xD800u, 0xDFFFu, 0xFDCFu, 0xFDF0u,
                                  0xFFFDu, 0x1FFFDu, 0x110000u, 0xFFFFFFFFu})
        EXPECT_FALSE(IsNoncharacterOrDisallowedControl(c)) << c;
}

} // namespace

TEST(InputStream, RunStopsAtEveryUnitThatNeedsCare)
{
    // Each unit at each position of a text longer than two blocks, so both
    // the block-wise search and the tail see it.
    const char16_t stopping[] = {u'<', u'&', 0x00, 0x0D, 0x0B, 0x1F, 0x7F, 0x9F, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFDD0, 0xFFFE, 0xFFFF};
    const char16_t passing[] = {u' ', u'~', 0x09, 0x0A, 0x0C, 0xA0, 0x3000, 0xD7FF};
    for (std::size_t position = 0; position < 20; ++position) {
        for (const char16_t unit : stopping) {
            std::u16string text(20, u'a');
            text[position] = unit;
            const char16_t* stop = FindRunStop<u'<', u'&'>(text.data(), text.data() + text.size());
            EXPECT_EQ(stop - text.data(), static_cast<std::ptrdiff_t>(position)) << std::hex << unsigned(unit);
        }
        for (const char16_t unit : passing) {
            std::u16string text(20, u'a');
            text[position] = unit;
            const char16_t* stop = FindRunStop<u'<', u'&'>(text.data(), text.data() + text.size());
            EXPECT_EQ(stop, text.data() + text.size()) << std::hex << unsigned(unit);
        }
    }
}

TEST(InputStream, RunStopsAgreeWithTheOrdinaryUnitsForEveryUnit)
{
    // Every unit in a block: the block-wise tests agree with IsOrdinaryUnit.
    for (std::uint32_t value = 0; value <= 0xFFFF; ++value) {
        const auto unit = static_cast<char16_t>(value);
        std::u16string text(16, u'a');
        text[3] = unit;
        const char16_t* stop = FindRunStop<u'<', u'&'>(text.data(), text.data() + text.size());
        const bool passes = IsOrdinaryUnit(unit) && unit != u'<' && unit != u'&';
        EXPECT_EQ(stop - text.data(), passes ? 16 : 3) << std::hex << value;
    }
}

TEST(InputStream, BytesDecodedPieceByPieceReadAsTheWholeText)
{
    // Sequences that the reading takes as one, or looks past, straddle the
    // places where the decoding of a long text stops for a while.
    const std::string pieces[] = {"\r\n", "\r", "\xF0\x9F\x98\x80", "\xE4\xB8\xAD", "\xEF\xBF\xBE", "\x01"};
    for (const std::string& piece : pieces) {
        for (std::size_t offset = 16 * 1024 - 4; offset <= 16 * 1024 + 1; ++offset) {
            const std::string bytes = std::string(offset, 'a') + piece + "b" + piece;
            const Reading whole = readAll(UTF16FromUTF8(bytes));
            const Reading streamed = readAll(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::UTF8});
            EXPECT_EQ(streamed.characters, whole.characters) << offset;
            EXPECT_EQ(streamed.errors, whole.errors) << offset;
        }
    }
    const std::string latin = std::string(40000, 'a') + "\x80\xE9";
    EXPECT_EQ(readAll(HTMLUndecodedText {latin, HTMLUndecodedText::Encoding::Windows1252}).characters.back(), U'\u00E9');
}

// Reads the stream peeking before every character and taking every third
// one twice (reconsumed), keeping one of each.
template <typename Input>
Reading readPeekingAndReconsuming(Input input)
{
    Reading reading;
    HTMLPreprocessedInputStream stream(std::move(input));
    stream.setErrorBlock([&](std::string_view message) { reading.errors.emplace_back(message); });
    for (std::size_t i = 0;; ++i) {
        const char32_t peeked = stream.nextInputCharacter();
        const char32_t c = stream.consumeNextInputCharacter();
        EXPECT_EQ(peeked, c) << i;
        if (c == HTMLEOFCharacter)
            return reading;
        if (i % 3 == 0) {
            stream.reconsumeCurrentInputCharacter();
            EXPECT_EQ(stream.nextInputCharacter(), c) << i;
            EXPECT_EQ(stream.consumeNextInputCharacter(), c) << i;
        }
        reading.characters.push_back(c);
    }
}

TEST(InputStream, PeekingAndReconsumingReadAsConsumingDoes)
{
    // Plain units are read inline, the others the careful way: both kinds,
    // next to each other and where the decoding of a long text stops.
    const std::string pieces[] = {"a", "\r\n", "\r", "\n", "\t", "\xF0\x9F\x98\x80", "\xE4\xB8\xAD", "\xEF\xBF\xBE",
                                  "\xEF\xB7\x90", "\x01", "\x7F", "\xC2\x85", "\xC2\xA0", "<"};
    for (const std::string& piece : pieces) {
        for (std::size_t offset = 16 * 1024 - 3; offset <= 16 * 1024 + 1; ++offset) {
            const std::string bytes = std::string(offset, 'a') + piece + "b" + piece + piece;
            SCOPED_TRACE(offset);
            const Reading consumed = readAll(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::UTF8});
            const Reading peeked = readPeekingAndReconsuming(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::UTF8});
            EXPECT_EQ(peeked.characters, consumed.characters);
            // A peek reports what the read after it reports again.
            std::vector<std::string> reportedTwice;
            for (const std::string& error : consumed.errors) {
                reportedTwice.push_back(error);
                reportedTwice.push_back(error);
            }
            EXPECT_EQ(peeked.errors, reportedTwice);
        }
    }
    // A pair, a lone trail and a lone lead surrogate among the others.
    const std::u16string text = {u'\r', u'\n', u'\r', u'a', 0xD83D, 0xDE00, 0xDC00, 0xD800, u'x', 0x0001, 0xFDD0, 0xFFFF, 0x00A0};
    EXPECT_EQ(readPeekingAndReconsuming(text).characters, readAll(text).characters);
}

TEST(InputStream, RawReadsEndWhereTheDecodedTextEnds)
{
    // Three bytes give one unit, so pieces decode to far fewer units than
    // earlier ones took room for: nothing past the text may show through.
    std::string bytes;
    for (int i = 0; i < 9000; ++i)
        bytes += "\xE4\xB8\xAD";
    bytes = std::string(20000, 'a') + bytes + "&no";
    HTMLPreprocessedInputStream stream(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::UTF8});
    std::u16string run;
    stream.consumeCharactersUpToFirstPassingTest<u'&'>([](char32_t c) { return c == U'&'; }, run);
    EXPECT_EQ(run, std::u16string(20000, u'a') + std::u16string(9000, u'\u4E2D'));
    EXPECT_EQ(stream.nextUnprocessedCharactersWithMaximumLength(100), u"&no");
    EXPECT_EQ(stream.nextUnprocessedUnitAt(3), u'\0');
    EXPECT_FALSE(stream.consumeString(u"&not", true));
    EXPECT_TRUE(stream.consumeString(u"&NO", false));
    EXPECT_EQ(stream.consumeNextInputCharacter(), HTMLEOFCharacter);
}

TEST(InputStream, InvalidUTF8EndsTheText)
{
    const std::string bytes = std::string(5000, 'a') + "\xC3\xA9\xE4\x41" + std::string(5000, 'b');
    HTMLPreprocessedInputStream stream(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::UTF8});
    std::u16string run;
    stream.consumeCharactersUpToFirstPassingTest([](char32_t) { return false; }, run);
    EXPECT_EQ(run, std::u16string(5000, u'a') + u"\u00E9");
    EXPECT_TRUE(stream.foundInvalidUTF8());
    EXPECT_EQ(stream.string(), run);
}

TEST(InputStream, RawReadsReachPastTheDecodedPiece)
{
    // A number far longer than a piece, then a reference name put back.
    const std::string bytes = std::string(16 * 1024 - 3, 'a') + std::string(40000, '0') + "65;&notin";
    HTMLPreprocessedInputStream stream(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::UTF8});
    std::u16string run;
    stream.consumeCharactersUpToFirstPassingTest<u'0'>([](char32_t c) { return c == U'0'; }, run);
    EXPECT_EQ(run.size(), 16u * 1024 - 3);
    std::uint32_t value = 0;
    ASSERT_TRUE(stream.consumeUnsignedInt(value));
    EXPECT_EQ(value, 65u);
    EXPECT_TRUE(stream.consumeString(u";&", true));
    EXPECT_TRUE(stream.consumeString(u"notin", true));
    stream.unconsumeInputCharacters(5);
    EXPECT_EQ(stream.nextUnprocessedCharactersWithMaximumLength(32), u"notin");
    EXPECT_EQ(stream.nextUnprocessedUnitAt(5), u'\0');
}
