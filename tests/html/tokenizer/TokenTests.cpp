#include "html/HTMLToken.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(Tokens, MissingDOCTYPEIdentifierDiffersFromEmpty)
{
    HTMLDOCTYPEToken missing;
    missing.setName(u"html");
    HTMLDOCTYPEToken empty = missing;
    empty.setPublicIdentifier(u"");
    EXPECT_FALSE(missing.publicIdentifier().has_value());
    EXPECT_EQ(empty.publicIdentifier(), u"");
    EXPECT_FALSE(missing == empty);

    // Appending nothing creates nothing; appending text creates the identifier.
    missing.appendStringToSystemIdentifier(u"");
    EXPECT_FALSE(missing.systemIdentifier().has_value());
    missing.appendStringToSystemIdentifier(u"about:legacy-compat");
    EXPECT_EQ(missing.systemIdentifier(), u"about:legacy-compat");

    HTMLDOCTYPEToken quirky = empty;
    quirky.setForceQuirks(true);
    EXPECT_TRUE(quirky == empty);
}

TEST(Tokens, DOCTYPENameIsCreatedByItsFirstCharacter)
{
    HTMLDOCTYPEToken doctype;
    EXPECT_FALSE(doctype.name().has_value());
    doctype.appendLongCharacterToName(U'h');
    doctype.appendLongCharacterToName(0x1D504);
    EXPECT_EQ(doctype.name(), u"h\U0001D504");
}

TEST(Tokens, TagEquality)
{
    HTMLStartTagToken plain(u"a");
    plain.attributes().setObject(u"x", u"href");
    HTMLStartTagToken selfClosing = plain;
    selfClosing.setSelfClosingFlag(true);
    EXPECT_FALSE(plain == selfClosing);

    HTMLStartTagToken reordered(u"a");
    reordered.attributes().setObject(u"1", u"id");
    reordered.attributes().setObject(u"x", u"href");
    HTMLStartTagToken ordered(u"a");
    ordered.attributes().setObject(u"x", u"href");
    ordered.attributes().setObject(u"1", u"id");
    EXPECT_TRUE(reordered == ordered);
    ordered.attributes().setObject(u"2", u"id");
    EXPECT_FALSE(reordered == ordered);

    HTMLEndTagToken withAttributes(u"a");
    withAttributes.attributes().setObject(u"y", u"class");
    withAttributes.setSelfClosingFlag(true);
    EXPECT_TRUE(withAttributes == HTMLEndTagToken(u"a"));
    EXPECT_FALSE(withAttributes == HTMLEndTagToken(u"b"));

    EXPECT_TRUE(HTMLParseErrorToken("one") == HTMLParseErrorToken("other"));
}

TEST(Tokens, CopyWithTagNameKeepsAttributesAndFlag)
{
    HTMLStartTagToken image(u"image");
    image.attributes().setObject(u"a.png", u"src");
    image.attributes().setObject(u"", u"alt");
    image.setSelfClosingFlag(true);
    const HTMLStartTagToken renamed = image.copyWithTagName(u"img");
    EXPECT_EQ(renamed.tagName(), u"img");
    EXPECT_TRUE(renamed.selfClosingFlag());
    EXPECT_EQ(renamed.attributes().entries(), image.attributes().entries());
    EXPECT_EQ(image.tagName(), u"image");
}

TEST(Tokens, TagNameNumberFollowsEveryChangeOfTheName)
{
    HTMLStartTagToken tag(u"di");
    EXPECT_EQ(tag.tagNameNumber(), KnownTagNameCount);
    tag.appendLongCharacterToTagName(U'v');
    EXPECT_EQ(tag.tagNameNumber(), KnownTagNameNumber(u"div"));
    tag.mutableTagName() += u"x";
    EXPECT_EQ(tag.tagNameNumber(), KnownTagNameCount);
    tag.setTagName(u"img");
    EXPECT_EQ(tag.tagNameNumber(), KnownTagNameNumber(u"img"));
    EXPECT_EQ(tag.copyWithTagName(u"svg").tagNameNumber(), KnownTagNameNumber(u"svg"));
    const HTMLEndTagToken end(u"p");
    EXPECT_EQ(end.tagNameNumber(), KnownTagNameNumber(u"p"));
}

// A name given with its number already looked up: a known one is the shared
// copy until the name is changed, and reads and compares like any other.
TEST(Tokens, TagNameGivenWithItsNumber)
{
    HTMLStartTagToken tag;
    tag.setTagName(u"div", KnownTagNameNumber(u"div"));
    EXPECT_EQ(tag.tagName(), u"div");
    EXPECT_EQ(&tag.tagName(), KnownTagNameWithNumber(KnownTagNameNumber(u"div")));
    EXPECT_TRUE(tag == HTMLStartTagToken(u"div"));
    EXPECT_TRUE(HTMLStartTagToken(u"div") == tag);

    HTMLStartTagToken copy = tag;
    copy.appendLongCharacterToTagName(U'x');
    EXPECT_EQ(copy.tagName(), u"divx");
    EXPECT_EQ(copy.tagNameNumber(), KnownTagNameCount);
    EXPECT_EQ(tag.tagName(), u"div");
    EXPECT_EQ(*KnownTagNameWithNumber(KnownTagNameNumber(u"div")), u"div");

    tag.mutableTagName() += u"s";
    EXPECT_EQ(tag.tagName(), u"divs");
    tag.setTagName(u"span", KnownTagNameNumber(u"span"));
    tag.clear();
    EXPECT_EQ(tag.tagName(), u"");
    EXPECT_EQ(tag.tagNameNumber(), KnownTagNameCount);

    HTMLEndTagToken unknown;
    unknown.setTagName(u"x-y", KnownTagNameCount);
    EXPECT_EQ(unknown.tagName(), u"x-y");
    EXPECT_EQ(unknown.tagNameNumber(), KnownTagNameCount);
    EXPECT_TRUE(unknown == HTMLEndTagToken(u"x-y"));
}

// Every known name and names one change away from one (each unit altered,
// case flipped, high byte set; cut short; made longer; a part repeated) get the number a plain
// search of the table gives. Each name is looked up inside a longer string,
// so a lookup reading past its ends would see other units.
TEST(Tokens, KnownTagNameNumberAgreesWithASearchOfTheTable)
{
    const auto searched = [](std::u16string_view name) {
        const auto found = std::find(std::begin(KnownTagNames), std::end(KnownTagNames), name);
        return static_cast<std::size_t>(found - std::begin(KnownTagNames));
    };
    std::vector<std::u16string> names {u"", u"\u0100", u"\uffff", u"abbreviation", u"annotation-xmm", u"blockquotes"};
    for (const std::u16string_view known : KnownTagNames) {
        const std::u16string name(known);
        names.push_back(name);
        for (std::size_t i = 0; i < name.size(); ++i) {
            for (const char16_t change : {char16_t {1}, char16_t {0x20}, char16_t {0x100}, char16_t {0x8000}}) {
                std::u16string altered = name;
                altered[i] ^= change;
                names.push_back(altered);
            }
            names.push_back(name.substr(0, i));
            names.push_back(name.substr(i + 1));
        }
        // Same first and last units, another length ("ttt", "templplate").
        names.push_back(name.substr(0, name.size() / 2 + 1) + name.substr(name.size() / 2));
        names.push_back(name.substr(0, 4) + name);
        for (const char16_t extra : {u'a', u's', u'\0', u'\u0100'}) {
            names.push_back(name + extra);
            names.push_back(extra + name);
        }
    }
    for (const std::u16string& name : names) {
        for (const char16_t border : {u'\0', u'a', u'\uffff'}) {
            const std::u16string around = std::u16string(8, border) + name + std::u16string(8, border);
            const std::u16string_view view = std::u16string_view(around).substr(8, name.size());
            EXPECT_EQ(KnownTagNameNumber(view), searched(name)) << std::string(name.begin(), name.end());
        }
    }
}

TEST(Tokens, CharacterTokenSplitsAtLeadingWhitespace)
{
    struct Case {
        std::u16string string;
        std::optional<std::u16string> leading;
        std::optional<std::u16string> rest;
    };
    const Case cases[] = {
        {u"  ", u"  ", std::nullopt},
        {u"", u"", std::nullopt},
        {u"ab", std::nullopt, u"ab"},
        {u" \nab", u" \n", u"ab"},
        {u"\t\fa b ", u"\t\f", u"a b "},
        {u"\rab", std::nullopt, u"\rab"},
    };
    for (const Case& c : cases) {
        const HTMLCharacterToken token(c.string);
        const auto leading = token.leadingWhitespaceToken();
        const auto rest = token.afterLeadingWhitespaceToken();
        EXPECT_EQ(leading ? std::optional(leading->string()) : std::nullopt, c.leading);
        EXPECT_EQ(rest ? std::optional(rest->string()) : std::nullopt, c.rest);
    }
}

TEST(Tokens, DescriptionsShowTheirContent)
{
    HTMLStartTagToken tag(u"a");
    tag.attributes().setObject(u"x", u"href");
    EXPECT_NE(tag.description().find("<a href=\"x\">"), std::string::npos);
    EXPECT_NE(HTMLEndTagToken(u"p").description().find("</p>"), std::string::npos);
    EXPECT_NE(HTMLCommentToken(u"hi").description().find("<!-- hi -->"), std::string::npos);
    EXPECT_NE(HTMLCharacterToken(u"t").description().find("'t'"), std::string::npos);
    HTMLDOCTYPEToken doctype;
    doctype.setName(u"html");
    EXPECT_NE(doctype.description().find("<!DOCTYPE html (null) (null)>"), std::string::npos);
}

} // namespace
