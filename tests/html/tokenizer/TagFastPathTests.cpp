#include "TokenizerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

std::vector<std::string> tokenizeWindows1252(const std::string& bytes)
{
    return Tokenize(HTMLPreprocessedInputStream(HTMLUndecodedText {bytes, HTMLUndecodedText::Encoding::Windows1252}));
}

// Attributes a0, a1, ... of the given count, each with the value made from its number, quoted.
template <typename Value>
std::string numberedAttributes(int count, Value value)
{
    std::string attributes;
    for (int i = 0; i < count; ++i)
        attributes += "a" + std::to_string(i) + "=\"" + value(i) + "\" ";
    return attributes;
}

} // namespace

// Tags of the usual shape are read in one go, and the state machine takes
// over wherever that reading stops. The decoded text ends for a while after
// each 4 KiB piece of the bytes, and reading in one go stops there too: placed
// so that the piece ends at each of its units in turn, a tag must give the
// tokens it gives when it is all at hand.
TEST(Tokenizer, TagsReadInOneGoAgreeWithTheStateMachineWhereverItTakesOver)
{
    const std::string tags[] = {
        "<a href=\"x\" class='y' id=z disabled>t",
        "<DIV Class=\"A\" CLASS=\"b\" cLaSs>t",
        "<a x=\"1\" x='2' x=3 x x>t",
        "<br/>t<br />t<br/ >t<img src=x/>t<p/x>t",
        "</div>t</DIV >t</a b=\"c\">t</a/>t</a\t>t",
        "<a b = \"c\" d= e f =g\th\n=\fi>t",
        "<a b=\"c\"d>t<a b='c'/d>t",
        "<a b=c\"d e=f'g h=i<j k=l=m n=o`p>t",
        "<a b=\"x&amp;y\" c='&lt;' d=&gt; e=&f>t",
        "<a b=\"\0\" c\0d=e f=\0>t<a\0b>t"s,
        "<a b=\"c\rd\" e\r\nf g\r=h>t",
        "<a \"b\"='c' <d =e 'f>t",
        "<a b=>t<a b= >t<a b==c>t",
        "<a b>=\"c\">t<a b<=\"c\">t<a b/=\"c\">t<a b\"=\"c\">t<a b'='c'>t<a b;=\"c\" d?=\"e\">t",
        "<a \xE9=\"\xFC\" b=\xE9 \xE9" "c=d>t",
        "<svg viewBox=\"0 0 1 1\"><path d=\"M0 0\"/></svg>",
        "<x-y data-a-b=\"1\" data-a-b='2'>t",
        "<Template>t<TEMPLATES>t<basefont>t<BASEFONTS>t<clippath>t<FigCaption>t</Template>t</basefont\t>t",
        "<a abcdefg=\"1\" ABCDEFGH=\"2\" Abcdefg='3' abcdefgh='4' b=\"\" c=''>t",
        "<a b=\"1\"c=\"2\" d='3'\te=\"4\"\n/>t<a b='1'/>t<a b=\"1\"/c>t",
        "<a b=\"x\ry\" c=\"\x80\xA0\" d='\xE9\x01' e=\"\0\" f=\"&\">t"s,
        "<a b=\"1\" B=\"2\" b='3' c=\"a\" C>t",
        "<a b=\"&amp;&amp;x&amp\" c='1&amp;2&amp;&lt;3' data-x=\"&amp;&ampy\" d=\"&amp;\"e f='&AMP;&amp'>t",
        "<a href=\"/p?a=1&amp;bb=22&amp;ccc=333&amp;dddd=4444&amp;\" c='&amp;&amp;&amp;' d=\"&amp;x&amp;\xE9&amp;\">t",
        "<a b=\"x&amp;y\" B='&amp;' c=\"&amp;\r\" d=\"&amp;\">t<a b=&amp;c>t",
        "<a " + numberedAttributes(40, [](int i) { return std::to_string(i); }) + "a7='x' A39=\"y\">t",
        // Values holding many "&amp;".
        "<a " + [] {
            std::string values;
            for (const int references : {63, 64, 65}) {
                values += "v" + std::to_string(references) + "=\"";
                for (int i = 0; i < references; ++i)
                    values += "&amp;" + std::to_string(i % 10);
                values += "\" ";
            }
            return values;
        }() + ">t",
        // Plain attributes wait to go into the tag together: a repeat among
        // them, others read after them, and more of them than wait at once.
        "<a b=\"1\" c=\"2\" b=\"3\" d=\"4\">t<a b=\"1\" c=x d=\"2\" c=\"3\" e='&amp;'>t",
        "<a b=\"1\" bc=\"2\" bcd='3' bcde=\"4\" bcdef=\"5\" bcdefg='6' bcdefgh=\"7\" BCDE=\"8\" bC='9'>t",
        "<a b=\"&amp;1\" c=\"2&amp;\" d='&amp;' e=\"&amp;&amp;\" B='&amp;' f>t<a b=\"&amp;\" c=\"&lt;\">t",
        "<a " + numberedAttributes(17, [](int i) { return "&amp;" + std::to_string(i); }) + "a16='x' a0=\"y\">t",
        "<a b=\"&amp;1\" c=\"2&amp;3&amp;&lt;\" d=\"&amp;4\" e='5&amp;' f=\"&amp;&gt;\" g='&amp;6'>t<a h=\"&amp;7\">t",
        "a\r\nb\rc\r\r\nd\r<p>t\r\n</p>\r\n\r\n<br>\n\r\n\r<i>x\r&amp;\r\n<i>\r\0\r\n<b>"s,
        "&amp;</abcd>t&lt;</DIV>t&</aBcDeFg>t&#1;</p>t",
        "<abcd>t<aBcDeFg x>t<abcdefgh/>t<abcdefghi>t",
        "</abcd>t</aBcDeFg>t</abcdefgh>t</ABCDEFGHI>t</Textarea>t</x\xE9>t</a\0>t</b\r>t</i\n>t</Q>t</h1/>t"s,
        "<b>t<xyz>t<XYZ x>t</XYZ>t<h1>t<h7>t</H1>t<svg:a>t<rb>t<r\xE9>t",
        "<a b=\"c\"\x01 d=e\x01>t<a\x01>t",
        "<a~b c~d=\"1\" e\x7F=\"2\">t<a\x7F>t</a~b>t</b\x7F>t<ab~ x=\"~\">t",
        "<a b!c=\"1\" d#e='2' f$g=\"3\" h%i=\"4\" j(k)='5' l*m+n=\"6\" o,p=\"7\" q.r='8' s-t=\"9\" u:v=\"10\" w_x='11'>t",
        "<a b@c=\"1\" d[e]='2' f^g=\"3\" h`i='4' j{k}=\"5\" l|m=\"6\" n~o='7' p\\q=\"8\" -=\"9\" ~='10'>t",
        "<a b c d>t<a b c=\"d\" b>t<a =b>t",
        "<a =\"b\" c>t<a ='b' c=\"d\">t<a b=\"c\" =\"d\">t",
        "<SOME-LONG-TAG-NAME-XYZ DATA-SOMETHING-LONG-XYZ=\"1\" aVeryLongAttributeName=x ANOTHERLONGNAME>t",
        "<abcdefgh\xE9ijk ABCDEFGHIJ\xE9=\"1\" abcdefghijklmno/>t</ABCDEFGHIJKLMNOPQ\x01>t",
        "<abcdefghijklmnopq\0r abcdefghijklmnop\0q=1 abcdefghijklmnopqr\"s=2>t"s,
        "<" + std::string(70, 'T') + " " + std::string(70, 'B') + "=1 " + std::string(80, 'c') + "d>t",
        "<a b=\"c\"",
        "<a b='c",
        "<a b=c",
        "<a b",
        "<a b ",
        "<ab",
        "</ab",
    };
    constexpr std::size_t pieceLength = 4096;
    for (const std::string& tag : tags) {
        const std::vector<std::string> whole = tokenizeWindows1252(tag);
        for (std::size_t inFirstPiece = 0; inFirstPiece <= tag.size(); ++inFirstPiece) {
            const std::string padding(pieceLength - inFirstPiece, 'x');
            std::vector<std::string> expected = whole;
            if (expected.empty() || expected.front().rfind("chars: ", 0) != 0)
                expected.insert(expected.begin(), "chars: ");
            expected.front().insert(7, padding);
            EXPECT_EQ(tokenizeWindows1252(padding + tag), expected) << tag << " split after " << inFirstPiece;
        }
    }
}

// A tag whose attributes are all of the plain shape hands them over in a
// list of exactly their count, which the element made from it keeps as it
// is; a tag with other attributes too may have room to spare.
TEST(Tokenizer, PlainAttributesComeInAListOfExactlyTheirCount)
{
    HTMLTokenizer tokenizer(u"<p a=\"1\">t<p a=\"1\" b='2' c=\"&amp;\" d=\"4\" e=\"5\">t<p a=\"1\">t"
                            u"<p x=y a=\"1\" b=\"2\">t<p a=\"1\" b=\"2\" c=\"3\">t");
    std::vector<std::pair<std::size_t, std::size_t>> countsAndCapacities;
    while (HTMLToken* token = tokenizer.nextToken()) {
        if (const auto* tag = std::get_if<HTMLStartTagToken>(token))
            countsAndCapacities.emplace_back(tag->attributes().count(), tag->attributes().entries().capacity());
    }
    ASSERT_EQ(countsAndCapacities.size(), 5u);
    for (const std::size_t i : {0, 1, 2, 4})
        EXPECT_EQ(countsAndCapacities[i].second, countsAndCapacities[i].first) << "tag " << i;
    EXPECT_EQ(countsAndCapacities[3].first, 3u);
}

// Tokens are kept for reuse once handed out, and a tag whose name is not
// known ends the tokens read ahead: each tag below is read into the token
// the one before it left, with its name set or written over the old one.
TEST(Tokenizer, TagReadIntoAReusedTokenHasOnlyItsOwnName)
{
    HTMLTokenizer tokenizer(u"<custom-element>a<other-element>b<p>c<custom-element-x>d<longer-element-name>e"
                            u"</custom-element></p></other-element-x>");
    std::vector<std::u16string> names;
    while (HTMLToken* token = tokenizer.nextToken()) {
        if (const auto* tag = std::get_if<HTMLStartTagToken>(token))
            names.push_back(tag->tagName());
        else if (const auto* tag = std::get_if<HTMLEndTagToken>(token))
            names.push_back(u"/" + tag->tagName());
    }
    const std::vector<std::u16string> expected = {u"custom-element", u"other-element", u"p", u"custom-element-x", u"longer-element-name",
                                                  u"/custom-element", u"/p", u"/other-element-x"};
    EXPECT_EQ(names, expected);
}

// After a tag the data state looks for the next one right away when it comes
// at once or after one unit of text; a unit that needs care (a reference, a
// line break, U+0000, a control) or a "<" that opens no tag still takes the
// careful way, at every place of the decoded text's end. A line break
// written CR LF right before a tag is found at once too.
TEST(Tokenizer, TagRightAfterATagOrAfterOneUnitOfText)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"<p><b></b><i>x</i>", {"start: p", "start: b", "end: b", "start: i", "chars: x", "end: i"}},
        {"<p>\n<b> </b>\t<i>\f</i>y<br>\xA0<hr>.</p>",
         {"start: p", "chars: \n", "start: b", "chars:  ", "end: b", "chars: \t", "start: i", "chars: \f", "end: i",
          "chars: y", "start: br", "chars: \xC2\xA0", "start: hr", "chars: .", "end: p"}},
        {"<p>&<b>&</b>&amp;<i>", {"start: p", "chars: &", "start: b", "chars: &", "end: b", "chars: &", "start: i"}},
        {"<p>\r\n<b>\r\n\r\n<i>\n\r<s>\r\r\n</s>\r\nx<a>", {"start: p", "chars: \n", "start: b", "chars: \n\n", "start: i",
                                                     "chars: \n\n", "start: s", "chars: \n\n", "end: s", "chars: \nx", "start: a"}},
        {"<p>\r<b>\0<i>\x01<s>"s,
         {"start: p", "chars: \n", "start: b", "error: U+0000 NULL in data state", "chars: \0"s, "start: i",
          "error: Noncharacter or disallowed control character", "chars: \x01", "start: s"}},
        {"<p>x<1<b><<i>\n</>", {"start: p", "chars: x", "error: Unexpected character in tag open state", "chars: <1",
                                "start: b", "error: Unexpected character in tag open state", "chars: <",
                                "start: i", "chars: \n", "error: Unexpected > in end tag open state"}},
    };
    constexpr std::size_t pieceLength = 4096;
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(tokenizeWindows1252(input), expected) << input;
        for (std::size_t inFirstPiece = 0; inFirstPiece <= input.size(); ++inFirstPiece) {
            const std::string padding(pieceLength - inFirstPiece, 'x');
            std::vector<std::string> padded = expected;
            padded.insert(padded.begin(), "chars: " + padding);
            ASSERT_EQ(tokenizeWindows1252(padding + input), padded) << input << " split after " << inFirstPiece;
        }
    }
}

// A quoted value's end is sought a block of units at a time, the value's last
// block overlapping the one before it. Whatever unit a value holds, wherever
// it stands in a block, the tag must come out as when the value is read unit
// by unit: an attribute written "b =" is read the general way.
TEST(Tokenizer, QuotedValuesAgreeWithTheGeneralReadingWhereverAUnitStands)
{
    const char16_t units[] = {u'"',   u'\'',   u'&',    u'\r',   u'\0',   0x01,   0x1F,   0x7F,   0x80,
                              u'\t',  u'\n',   u'\f',   u' ',    u'!',    u'~',   0x9F,   0xA0,   0x4E2D,
                              0xD7FF, 0xD800,  0xDC00,  0xE000,  0xFDD0,  0xFFFE};
    for (const char16_t unit : units) {
        for (std::size_t length = 1; length <= 19; ++length) {
            for (std::size_t position = 0; position < length; ++position) {
                std::u16string value(length, u'x');
                value[position] = unit;
                for (const std::u16string quote : {u"\"", u"'"}) {
                    for (const std::u16string before : {u"", u"&amp;"}) {
                        for (const std::u16string after : {u"", u">t"}) {
                            const std::u16string quoted = quote + before + value + quote + after;
                            EXPECT_EQ(Tokenize(u"<a b=" + quoted), Tokenize(u"<a b =" + quoted))
                                << "unit " << static_cast<int>(unit) << " at " << position << " of " << length;
                        }
                    }
                }
            }
        }
    }
}

// The data state hands a tag's readers the text it has looked at, and they
// move past the text and the tag in one go, also where the state machine
// takes the tag over or a reference in a value is read the state machine's
// way: text of several units before each kind of tag, at every place of the
// decoded text's end.
TEST(Tokenizer, TextBeforeATagIsPassedWithTheTag)
{
    const std::string input = "<p>ab</p>cd\r\ne</b x>fgh<i c=\"&lt;\">ij<s d=e>k&amp;l</abcdefghij>mn</q\t>op<u\0>qr</v\0>"s;
    const std::vector<std::string> expected = {
        "start: p", "chars: ab", "end: p", "chars: cd\ne", "error: End tag with attributes and/or self-closing flag",
        "end: b", "chars: fgh",
        "start: i c=<", "chars: ij", "start: s d=e", "chars: k&l", "end: abcdefghij", "chars: mn", "end: q", "chars: op",
        "error: U+0000 NULL in tag name state", "start: u\xEF\xBF\xBD", "chars: qr", "error: U+0000 NULL in tag name state",
        "end: v\xEF\xBF\xBD"};
    EXPECT_EQ(tokenizeWindows1252(input), expected);
    constexpr std::size_t pieceLength = 4096;
    for (std::size_t inFirstPiece = 0; inFirstPiece <= input.size(); ++inFirstPiece) {
        const std::string padding(pieceLength - inFirstPiece, 'x');
        std::vector<std::string> padded = expected;
        padded.insert(padded.begin(), "chars: " + padding);
        ASSERT_EQ(tokenizeWindows1252(padding + input), padded) << "split after " << inFirstPiece;
    }
}
