#include "html/HTMLDocument.h"
#include "html/HTMLDocumentCreation.h"
#include "html/HTMLElement.h"
#include "html/HTMLParser.h"

#include <gtest/gtest.h>

namespace {

using Confidence = HTMLStringEncodingConfidence;

struct Determination {
    const char* name;
    std::string data;
    std::optional<std::string_view> header;
    HTMLStringEncoding expected;
    std::u16string text;
};

TEST(EncodingDetermination, FollowsMarkHeaderThenDetection)
{
    const Determination cases[] = {
        {"UTF-8 mark wins over the header", "\xEF\xBB\xBFh\xC3\xA9", "text/html; charset=iso-8859-2",
         {StringEncoding::UTF8, Confidence::Certain}, u"h\u00E9"},
        {"UTF-16BE mark", std::string("\xFE\xFF\x00h\x00i", 6), std::nullopt, {StringEncoding::UTF16BE, Confidence::Certain}, u"hi"},
        {"UTF-16LE mark", std::string("\xFF\xFEh\x00i\x00", 6), std::nullopt, {StringEncoding::UTF16LE, Confidence::Certain}, u"hi"},
        {"an odd UTF-16 length falls through to detection", std::string("\xFF\xFEh", 3), std::nullopt,
         {StringEncoding::Windows1252, Confidence::Tentative}, u"\u00FF\u00FEh"},
        {"invalid UTF-8 after its mark falls through", "\xEF\xBB\xBF\xFF", std::nullopt,
         {StringEncoding::Windows1252, Confidence::Tentative}, u"\u00EF\u00BB\u00BF\u00FF"},
        {"quoted header charset", "\xB1", "text/html; charset=\"ISO-8859-2\"", {StringEncoding::ISO8859_2, Confidence::Certain}, u"\u0105"},
        {"header parameter name in capitals", "\xB1", "text/html; Charset=iso-8859-2", {StringEncoding::ISO8859_2, Confidence::Certain}, u"\u0105"},
        {"label ends at a semicolon", "\xC3\xA9", "text/html; charset=utf-8; format=flowed", {StringEncoding::UTF8, Confidence::Certain}, u"\u00E9"},
        {"label ends at white space", "\xC3\xA9", "text/html; charset=utf-8 ", {StringEncoding::UTF8, Confidence::Certain}, u"\u00E9"},
        {"label ends at a single quote", "\xC3\xA9", "text/html; charset='utf-8'", {StringEncoding::UTF8, Confidence::Certain}, u"\u00E9"},
        {"replacement labels are ignored", "\x80", "text/html; charset=iso-2022-kr", {StringEncoding::Windows1252, Confidence::Tentative}, u"\u20AC"},
        {"unknown labels are ignored", "\x80", "text/html; charset=klingon", {StringEncoding::Windows1252, Confidence::Tentative}, u"\u20AC"},
        {"empty labels are ignored", "\x80", "text/html; charset=", {StringEncoding::Windows1252, Confidence::Tentative}, u"\u20AC"},
        {"x-user-defined decodes as windows-1252", "\x80", "text/html;charset=x-user-defined",
         {StringEncoding::Windows1252, Confidence::Certain}, u"\u20AC"},
        {"utf-16 is little-endian", std::string("h\x00", 2), "text/html; charset=utf-16", {StringEncoding::UTF16LE, Confidence::Certain}, u"h"},
        {"bytes invalid in the header's encoding fall through", "\xFF", "text/html; charset=utf-8",
         {StringEncoding::Windows1252, Confidence::Tentative}, u"\u00FF"},
        {"windows-1252 decodes the five bytes iconv refuses", "\x81\x8D\x8F\x90\x9D", std::nullopt,
         {StringEncoding::Windows1252, Confidence::Tentative}, u"\u0081\u008D\u008F\u0090\u009D"},
        {"iconv decoders", "\xE4", "text/html; charset=koi8-r", {StringEncoding::KOI8R, Confidence::Certain}, u"\u0414"},
        {"stateful decoders", "\x1B$B$\"\x1B(B", "text/html; charset=iso-2022-jp", {StringEncoding::ISO2022JP, Confidence::Certain}, u"\u3042"},
    };
    for (const Determination& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string text;
        EXPECT_EQ(DeterminedStringEncodingForData(c.data, c.header, text), c.expected);
        EXPECT_EQ(text, c.text);
    }
}

TEST(EncodingLabels, ResolveIgnoringCaseAndWhitespace)
{
    const std::pair<const char*, StringEncoding> cases[] = {
        {"utf-8", StringEncoding::UTF8},
        {" UTF8\n", StringEncoding::UTF8},
        {"\u00A0latin1", StringEncoding::Windows1252},
        {"ascii", StringEncoding::Windows1252},
        {"iso-8859-1", StringEncoding::Windows1252},
        {"ISO-8859-8-I", StringEncoding::ISO8859_8},
        {"x-mac-ukrainian", StringEncoding::MacCyrillic},
        {"windows-949", StringEncoding::EUCKR},
        {"866", StringEncoding::IBM866},
        {"x-x-big5", StringEncoding::Big5},
        {"replacement", StringEncoding::Invalid},
        {"hz-gb-2312", StringEncoding::Invalid},
        {"utf-7", StringEncoding::Invalid},
        {"", StringEncoding::Invalid},
        {"utf-8x", StringEncoding::Invalid},
    };
    for (const auto& [label, expected] : cases) {
        SCOPED_TRACE(label);
        EXPECT_EQ(StringEncodingForLabel(std::string_view(label)), expected);
    }
    EXPECT_EQ(InvalidStringEncoding(), StringEncoding::Invalid);
    EXPECT_TRUE(IsUTF16Encoding(StringEncoding::UTF16BE));
    EXPECT_TRUE(IsUTF16Encoding(StringEncoding::UTF16LE));
    EXPECT_FALSE(IsUTF16Encoding(StringEncoding::UTF8));
    EXPECT_FALSE(IsASCIICompatibleEncoding(StringEncoding::UTF16LE));
    EXPECT_TRUE(IsASCIICompatibleEncoding(StringEncoding::ShiftJIS));
}

// Every label the decoders accept has a working decoder behind it.
TEST(EncodingLabels, EveryDecoderDecodesASCII)
{
    for (auto encoding = static_cast<std::uint64_t>(StringEncoding::UTF8);
         encoding <= static_cast<std::uint64_t>(StringEncoding::ShiftJIS); ++encoding) {
        SCOPED_TRACE(encoding);
        const auto e = static_cast<StringEncoding>(encoding);
        const std::string data = IsUTF16Encoding(e) ? std::string("", 0) : std::string("plain");
        const std::optional<std::u16string> text = DecodedString(data, e);
        ASSERT_TRUE(text);
        EXPECT_EQ(*text, IsUTF16Encoding(e) ? u"" : u"plain");
    }
}

std::u16string bodyText(const std::shared_ptr<HTMLDocument>& document)
{
    return document->bodyElement()->textContent();
}

TEST(DocumentCreation, UTF8ByteOrderMarkIsNotText)
{
    // A kept U+FEFF would be text before the DOCTYPE and put the page in quirks mode.
    auto document = HTMLDocument::documentWithData("\xEF\xBB\xBF<!DOCTYPE html><p>x", std::nullopt);
    EXPECT_EQ(document->quirksMode(), HTMLQuirksMode::NoQuirks);
    EXPECT_EQ(bodyText(document), u"x");
}

TEST(DocumentCreation, MetaCharsetRestartsOnceWithTheNewEncoding)
{
    const std::string page = "<meta charset=utf-8><p>caf\xC3\xA9</p>";
    auto parser = ParserForData(page, std::nullopt);
    EXPECT_EQ(parser->encoding(), (HTMLStringEncoding{StringEncoding::UTF8, Confidence::Certain}));
    EXPECT_EQ(parser->document()->parsedStringEncoding(), StringEncoding::UTF8);
    EXPECT_EQ(bodyText(parser->document()), u"caf\u00E9");

    // The header makes the encoding certain, so the meta is not followed.
    auto certain = HTMLDocument::documentWithData(page, "text/html; charset=windows-1252");
    EXPECT_EQ(certain->parsedStringEncoding(), StringEncoding::Windows1252);
    EXPECT_EQ(bodyText(certain), u"caf\u00C3\u00A9");
}

TEST(DocumentCreation, ParserGivesItsWholeInputTextAfterTheParse)
{
    // Long enough that the parse decodes it piece by piece and lets go of the start.
    const std::string body = std::string(20000, 'a') + "caf\xC3\xA9";
    const std::string page = "<meta charset=utf-8><p>" + body;
    EXPECT_EQ(ParserForData(page, std::nullopt)->string(), UTF16FromUTF8(page));
    EXPECT_EQ(ParserForData("\xEF\xBB\xBF" + body, std::nullopt)->string(), UTF16FromUTF8(body));
    EXPECT_EQ(ParserForData(body, "text/html; charset=windows-1252")->string().substr(20000), u"caf\u00C3\u00A9");
    EXPECT_EQ(ParserForData(body, "text/html; charset=koi8-r")->string().size(), body.size());

    HTMLParser parser(u"<p>x\r\n", {StringEncoding::UTF8, Confidence::Tentative});
    parser.document();
    EXPECT_EQ(parser.string(), u"<p>x\r\n");
}

TEST(DocumentCreation, RestartThatCannotDecodeKeepsTheFirstText)
{
    auto document = HTMLDocument::documentWithData("<meta charset=utf-8><p>\xFF</p>", std::nullopt);
    EXPECT_EQ(document->parsedStringEncoding(), StringEncoding::Windows1252);
    EXPECT_EQ(bodyText(document), u"\u00FF");
}

TEST(DocumentCreation, RestartedDocumentDoesNotRestartAgain)
{
    const std::string page = "<meta charset=koi8-r><meta charset=utf-8><p>\xE4</p>";
    auto document = HTMLDocument::documentWithData(page, std::nullopt);
    EXPECT_EQ(document->parsedStringEncoding(), StringEncoding::KOI8R);
    EXPECT_EQ(bodyText(document), u"\u0414");
}

TEST(DocumentCreation, StringsNeverRestart)
{
    auto document = HTMLDocument::documentWithString("<meta charset=koi8-r><p>\u00E9");
    EXPECT_EQ(document->parsedStringEncoding(), StringEncoding::UTF8);
    EXPECT_EQ(bodyText(document), u"\u00E9");
    EXPECT_EQ(bodyText(HTMLDocument::documentWithString(u"<p>\U0001F600")), u"\U0001F600");
}

TEST(DocumentCreation, EarlyUTF8DeclarationMatchesTheRestart)
{
    // Each page has a meta charset for UTF-8 in its first bytes that the tree
    // construction does not follow first; the document must be what parsing
    // as windows-1252 and restarting gives.
    struct Case {
        const char* name;
        std::string page;
        StringEncoding expected;
        std::u16string text;
    };
    const Case cases[] = {
        {"followed when the tree construction reaches it", "<meta charset=\"UTF-8\"><p>caf\xC3\xA9", StringEncoding::UTF8,
         u"caf\u00E9"},
        {"inside a title it is text", "<title><meta charset=utf-8></title><p>caf\xC3\xA9", StringEncoding::Windows1252,
         u"caf\u00C3\u00A9"},
        {"an earlier declaration wins", "<meta charset=utf-8><meta charset=koi8-r>", StringEncoding::UTF8, u""},
        {"a label with a no-break space reads otherwise in windows-1252",
         "<meta charset=\"\xC2\xA0utf-8\"><meta charset=windows-1252><p>caf\xC3\xA9", StringEncoding::Windows1252,
         u"caf\u00C3\u00A9"},
        {"inside a script it is text", "<script>'<meta charset=utf-8>'</script><meta charset=windows-1252><p>\xC3\xA9",
         StringEncoding::Windows1252, u"\u00C3\u00A9"},
    };
    for (const Case& c : cases) {
        auto document = HTMLDocument::documentWithData(c.page, std::nullopt);
        EXPECT_EQ(document->parsedStringEncoding(), c.expected) << c.name;
        EXPECT_EQ(bodyText(document), c.text) << c.name;
    }
}

} // namespace

TEST(EncodingDetermination, DeclaredUTF8IsFoundWithoutDecoding)
{
    const std::optional<std::string_view> utf8Header = "text/html; charset=utf-8";
    EXPECT_EQ(DeclaredUTF8Text("\xEF\xBB\xBF\xC3\xA9", std::nullopt), std::optional<std::string_view>("\xC3\xA9"));
    EXPECT_EQ(DeclaredUTF8Text("\xEF\xBB\xBF\xC3\xA9", "text/html; charset=koi8-r"), std::optional<std::string_view>("\xC3\xA9"));
    EXPECT_EQ(DeclaredUTF8Text("\xC3\xA9", utf8Header), std::optional<std::string_view>("\xC3\xA9"));
    EXPECT_EQ(DeclaredUTF8Text("\xEF\xBB\xBF\xC3\xA9", utf8Header), std::optional<std::string_view>("\xC3\xA9"));
    // The bytes are not checked here: the parse finds invalid ones.
    EXPECT_EQ(DeclaredUTF8Text("\xFF", utf8Header), std::optional<std::string_view>("\xFF"));
    // A UTF-16 mark, or nothing said.
    EXPECT_EQ(DeclaredUTF8Text(std::string_view("\xFF\xFEh\x00", 4), utf8Header), std::nullopt);
    EXPECT_EQ(DeclaredUTF8Text("\xC3\xA9", std::nullopt), std::nullopt);
    EXPECT_EQ(DeclaredUTF8Text("\xC3\xA9", "text/html; charset=windows-1252"), std::nullopt);
}

TEST(DocumentCreation, InvalidUTF8FoundLateTakesTheWayOfInvalidBytes)
{
    // The invalid byte lies far past the first decoded piece; each page ends
    // up as windows-1252, as though its bytes had been checked first.
    const std::string body = "<p>caf\xC3\xA9" + std::string(5000, 'a') + "\xFF";
    const std::u16string expected = u"caf\u00C3\u00A9" + std::u16string(5000, u'a') + u"\u00FF";
    struct Case {
        const char* name;
        std::string page;
        std::optional<std::string_view> header;
        std::u16string text;
    };
    const Case cases[] = {
        // The mark's bytes are text in windows-1252.
        {"mark", "\xEF\xBB\xBF" + body, std::nullopt, u"\u00EF\u00BB\u00BF" + expected},
        {"header", body, "text/html; charset=utf-8", expected},
        {"early meta", "<meta charset=utf-8>" + body, std::nullopt, expected},
        {"late meta", std::string(2000, ' ') + "<meta charset=utf-8>" + body, std::nullopt, expected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto parser = ParserForData(c.page, c.header);
        EXPECT_FALSE(parser->foundInvalidUTF8());
        EXPECT_EQ(parser->document()->parsedStringEncoding(), StringEncoding::Windows1252);
        EXPECT_TRUE(bodyText(parser->document()) == c.text);
    }
    // The same page without the bad byte is UTF-8.
    auto valid = ParserForData("\xEF\xBB\xBF" + body.substr(0, body.size() - 1), std::nullopt);
    EXPECT_EQ(valid->document()->parsedStringEncoding(), StringEncoding::UTF8);
}

TEST(EncodingDetermination, UTF8ValidityAgreesWithStrictDecoding)
{
    // Each case sits behind enough ASCII to pass the block-wise skip first.
    const std::string cases[] = {"\xE4\xB8\xAD", "\xE4\xB8", "\xE4\x41\x80", "\xE4\xB8\xC0", "\xED\x9F\xBF", "\xED\xA0\x80",
                                 "\xE0\x80\x80", "\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80", "\xF4\x90\x80\x80",
                                 "\xC3\xA9", "\xC0\xAF", "\x80", "\xFF"};
    for (const std::string& sequence : cases) {
        for (const std::string& text : {sequence, std::string(20, 'a') + sequence + "b"}) {
            SCOPED_TRACE(text);
            const bool valid = DecodeUTF8(text, true).has_value();
            std::u16string appended = u"x";
            EXPECT_EQ(AppendUTF8(appended, text), valid);
            if (valid) {
                EXPECT_EQ(appended, u"x" + *DecodeUTF8(text, true));
            }
        }
    }
}

TEST(EncodingDetermination, ThreeByteRunsAgreeWithStrictDecodingWhereverTheyBreak)
{
    // Runs of three-byte sequences are decoded four at a time: anything else
    // at each place of a run of each length, and runs near the end of the
    // text, must come out as the sequence-by-sequence decoding has them.
    const std::string breaks[] = {"a", "\xC3\xA9", "\xE0\xA0\x80", "\xE0\x80\x80", "\xED\x9F\xBF", "\xED\xA0\x80",
                                  "\xEF\xBF\xBF", "\xE4\xB8", "\xE4\x41\x80", "\xE4\xB8\xC0", "\xF0\x9F\x98\x80", "\x80"};
    for (std::size_t length = 1; length <= 14; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            for (const std::string& other : breaks) {
                for (const std::size_t tail : {0, 1, 20}) {
                    std::string text;
                    for (std::size_t i = 0; i < length; ++i) {
                        if (i == at)
                            text += other;
                        text += i % 2 ? "\xE4\xB8\xAD" : "\xE6\x96\x87";
                    }
                    text += std::string(tail, 'b');
                    SCOPED_TRACE(testing::PrintToString(text));
                    const std::optional<std::u16string> decoded = DecodeUTF8(text, true);
                    std::u16string appended = u"x";
                    EXPECT_EQ(AppendUTF8(appended, text), decoded.has_value());
                    if (decoded) {
                        EXPECT_EQ(appended, u"x" + *decoded);
                    } else {
                        // The text ends before the invalid sequence.
                        EXPECT_EQ(appended, u"x" + UTF16FromUTF8(text).substr(0, appended.size() - 1));
                        EXPECT_EQ(UTF16FromUTF8(text)[appended.size() - 1], u'\uFFFD');
                    }
                }
            }
        }
    }
}

TEST(EncodingDetermination, ASCIIRunsAreWidenedWhereverASequenceEndsThem)
{
    // Runs are widened in blocks; a sequence at each place of a run of each
    // length, and runs that end the text, must come out unit for unit.
    for (std::size_t length = 0; length <= 70; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            std::string text;
            std::u16string expected;
            for (std::size_t i = 0; i < length; ++i) {
                if (i == at) {
                    text += "\xC3\xA9";
                    expected += u'\u00E9';
                }
                text += static_cast<char>('!' + i % 90);
                expected += static_cast<char16_t>('!' + i % 90);
            }
            SCOPED_TRACE(text);
            EXPECT_EQ(DecodeUTF8(text, true), expected);
            std::u16string appended = u"x";
            EXPECT_TRUE(AppendUTF8(appended, text));
            EXPECT_EQ(appended, u"x" + expected);
        }
    }
}

TEST(EncodingDetermination, Windows1252IsDecodedAlikeInsideAndOutsideASCIIRuns)
{
    const std::pair<char, char16_t> bytes[] = {{'\x41', u'A'},      {'\x7F', u'\x7F'},     {'\x80', u'\u20AC'},
                                               {'\x81', u'\x81'},   {'\x9F', u'\u0178'},   {'\xA0', u'\u00A0'},
                                               {'\xE9', u'\u00E9'}, {'\xFF', u'\u00FF'}};
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const auto& [byte, unit] : bytes) {
                std::string text(length, 'a');
                std::u16string expected(length, u'a');
                text[at] = byte;
                expected[at] = unit;
                std::u16string decoded = u"x";
                AppendWindows1252(decoded, text);
                EXPECT_EQ(decoded, u"x" + expected) << length << " " << at;
            }
        }
    }
}
