#include "TokenizerTestSupport.h"

#include "html/HTMLEntities.h"
#include "html/HTMLEntityTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;

struct ReferenceCase {
    const char* name;
    std::u16string input;
    Lines expected;
};

TEST(CharacterReferences, InText)
{
    const ReferenceCase cases[] = {
        {"longest legacy name without semicolon", u"&notit;", {"error: Named entity missing semicolon", "chars: \u00ACit;"}},
        {"full name", u"&notin;", {"chars: \u2209"}},
        {"legacy name before a letter", u"&ampx", {"error: Named entity missing semicolon", "chars: &x"}},
        {"two code points", u"&nGt;", {"chars: \u226B\u20D2"}},
        {"astral value", u"&Afr;", {"chars: \U0001D504"}},
        {"windows-1252 number", u"&#128;", {"error: Invalid numeric entity (has replacement)", "chars: \u20AC"}},
        {"carriage return number", u"&#13;", {"error: Invalid numeric entity (has replacement)", "chars: \r"}},
        {"zero", u"&#0;", {"error: Invalid numeric entity (has replacement)", "chars: \uFFFD"}},
        {"beyond Unicode", u"&#x110000;", {"error: Invalid numeric entity (outside valid Unicode range)", "chars: \uFFFD"}},
        {"surrogate", u"&#xD800;", {"error: Invalid numeric entity (outside valid Unicode range)", "chars: \uFFFD"}},
        {"control", u"&#1;", {"error: Invalid numeric entity (in bad Unicode range)", "chars: \u0001"}},
        {"no digits", u"&#;", {"error: Numeric entity with no numbers", "chars: &#;"}},
        {"no hexadecimal digits", u"&#x;", {"error: Numeric entity with no numbers", "chars: &#x;"}},
        {"no semicolon", u"&#65 ", {"error: Missing semicolon for numeric entity", "chars: A "}},
        {"plus sign", u"&#+65;", {"chars: A"}},
        {"huge number", u"&#99999999999999999999;", {"error: Invalid numeric entity (outside valid Unicode range)", "chars: \uFFFD"}},
        {"unknown name with semicolon", u"&foo;", {"error: Unknown named entity with semicolon", "chars: &foo;"}},
        {"unknown name", u"&foo bar", {"chars: &foo bar"}},
        {"ampersand before a space", u"& x", {"chars: & x"}},
        {"ampersand at the end", u"a&", {"chars: a&"}},
    };
    for (const ReferenceCase& c : cases)
        EXPECT_EQ(Tokenize(c.input), c.expected) << c.name;
}

TEST(CharacterReferences, InAttributeValues)
{
    const ReferenceCase cases[] = {
        {"legacy name before =", u"<a x='&amp=1'>", {"error: Named entity in attribute ending with =", "start: a x=&amp=1"}},
        {"legacy name before a letter", u"<a x='&ampx'>", {"start: a x=&ampx"}},
        {"legacy name before a non-ASCII letter", u"<a x='&not\u00E9'>", {"start: a x=&not\u00E9"}},
        {"legacy name before a digit", u"<a x=&copy2>", {"start: a x=&copy2"}},
        {"legacy name before punctuation", u"<a x='&amp.'>", {"error: Named entity missing semicolon", "start: a x=&."}},
        {"full name", u"<a x=\"&lt;\">", {"start: a x=<"}},
        {"ampersand before the closing quote", u"<a x=\"a&\">", {"start: a x=a&"}},
        {"ampersand before > unquoted", u"<a x=a&>", {"start: a x=a&"}},
        {"number", u"<a x='&#65;'>", {"start: a x=A"}},
    };
    for (const ReferenceCase& c : cases)
        EXPECT_EQ(Tokenize(c.input), c.expected) << c.name;
}

TEST(CharacterReferences, NamedTableIsSortedAndPaired)
{
    const auto byName = [](const HTMLNamedCharacterReference& a, const HTMLNamedCharacterReference& b) {
        return a.name < b.name;
    };
    EXPECT_TRUE(std::is_sorted(HTMLNamedCharacterReferences.begin(), HTMLNamedCharacterReferences.end(), byName));
    EXPECT_TRUE(std::is_sorted(HTMLLegacyNamedCharacterReferences.begin(), HTMLLegacyNamedCharacterReferences.end(), byName));
    for (const HTMLNamedCharacterReference& entry : HTMLNamedCharacterReferences) {
        ASSERT_EQ(entry.name.back(), u';');
        ASSERT_LE(entry.name.size(), 32u);
        ASSERT_FALSE(entry.value.empty());
    }
    // Every legacy name has a twin with ";" and the same value.
    for (const HTMLNamedCharacterReference& legacy : HTMLLegacyNamedCharacterReferences) {
        const std::u16string withSemicolon = std::u16string(legacy.name) + u";";
        std::u16string_view matched;
        EXPECT_EQ(StringForNamedCharacterReference(withSemicolon, &matched), legacy.value);
        EXPECT_EQ(matched, withSemicolon);
    }
    EXPECT_TRUE(std::is_sorted(HTMLAlphanumericRanges.begin(), HTMLAlphanumericRanges.end(),
                               [](const HTMLCharacterRange& a, const HTMLCharacterRange& b) { return a.last < b.first; }));
}

TEST(CharacterReferences, LongestNameWins)
{
    const struct {
        std::u16string candidate;
        std::optional<std::u16string> name;
    } cases[] = {
        {u"notin;x", u"notin;"},
        {u"notinx", u"not"},
        {u"amp;", u"amp;"},
        {u"AMP", u"AMP"},
        {u"ampamp", u"amp"},
        {u"CounterClockwiseContourIntegral;", u"CounterClockwiseContourIntegral;"},
        {u"xyz;", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto& c : cases) {
        std::u16string_view matched;
        const auto value = StringForNamedCharacterReference(c.candidate, &matched);
        EXPECT_EQ(value.has_value(), c.name.has_value());
        if (value) {
            EXPECT_EQ(matched, *c.name);
        }
    }
    EXPECT_EQ(ReplacementForNumericCharacterReference(0x9F), 0x0178);
    EXPECT_EQ(ReplacementForNumericCharacterReference(0x81), 0x0081);
    EXPECT_EQ(ReplacementForNumericCharacterReference(0x41), 0);
}

TEST(CharacterReferences, AlphanumericCharactersOfAnyScript)
{
    for (const char16_t c : {u'a', u'Z', u'0', u'\u00E9', u'\u0301', u'\u0661', u'\u4E2D'})
        EXPECT_TRUE(IsAlphanumericCharacter(c)) << int(c);
    for (const char16_t c : {u' ', u';', u'=', u'.', u'\u00A0', u'\u2014', u'\uFFFD'})
        EXPECT_FALSE(IsAlphanumericCharacter(c)) << int(c);
}

TEST(CharacterReferences, Escaping)
{
    EXPECT_EQ(html_stringByEscapingForHTML(u"a<b&"), u"a&lt;b&amp;");
    EXPECT_EQ(html_stringByEscapingForHTML(u"\"x\u00A0'y'>"), u"&quot;x&nbsp;'y'&gt;");
    EXPECT_EQ(html_stringByEscapingForHTML(u"&amp;"), u"&amp;amp;");
}

TEST(CharacterReferences, Unescaping)
{
    const struct {
        std::u16string input;
        std::u16string expected;
    } cases[] = {
        {u"&lt;&amp;&#65;", u"<&A"},
        // A trailing ampersand must not stop the references before it from decoding.
        {u"a&amp;b&", u"a&b&"},
        {u"&", u"&"},
        {u"plain", u"plain"},
        {u"&#x41;&#X42&#67", u"ABC"},
        {u"&#128;&#0;", u"\u20AC\uFFFD"},
        {u"&#1114112;&#xD800;&#xFFFFFFFFFF;", u"\uFFFD\uFFFD\uFFFD"},
        {u"&#1;", u"\u0001"},
        {u"&ampx &notin; &nGt;", u"&x \u2209 \u226B\u20D2"},
        {u"&#; &#x; &unknown; & x", u"&#; &#x; &unknown; & x"},
        {u"&&lt;", u"&<"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(html_stringByUnescapingHTML(c.input), c.expected);
}

} // namespace
