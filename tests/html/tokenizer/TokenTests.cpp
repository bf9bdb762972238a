#include "html/HTMLToken.h"

#include <gtest/gtest.h>

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
