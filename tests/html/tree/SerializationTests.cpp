#include "TreeBuilder.h"

#include "html/HTMLComment.h"
#include "html/HTMLDocument.h"
#include "html/HTMLDocumentType.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>


namespace {

std::string serialized(const HTMLNode& node)
{
    return UTF8FromUTF16(node.serializedFragment());
}

// Descriptions with the addresses taken out.
std::string withoutAddresses(std::string text)
{
    for (std::size_t at = text.find(": 0x"); at != std::string::npos; at = text.find(": 0x", at)) {
        const std::size_t end = text.find_first_not_of("0123456789abcdef", at + 4);
        text.replace(at, end - at, ": @");
    }
    return text;
}

TEST(Serialization, VoidElementsHaveNoContentsOrEndTag)
{
    auto br = makeElement(u"br", {{u"class", u"x"}});
    appendText(br, u"ignored");
    EXPECT_EQ(serialized(*br), "<br class=\"x\">");
    // The void test is exact: BR is not void.
    EXPECT_EQ(serialized(*makeElement(u"BR")), "<BR></BR>");
}

TEST(Serialization, EscapesAttributeValuesAndText)
{
    auto p = makeElement(u"p", {{u"title", u"a \"b\" & c\u00A0<d>"}, {u"xmlns:xmlns", u"u"}});
    appendText(p, u"1 < 2 & 3 > 2\u00A0\"q\"");
    EXPECT_EQ(serialized(*p), "<p title=\"a &quot;b&quot; &amp; c&nbsp;<d>\" xmlns=\"u\">"
                              "1 &lt; 2 &amp; 3 &gt; 2&nbsp;\"q\"</p>");

    for (const char16_t* raw : {u"script", u"style", u"xmp", u"iframe", u"noembed", u"noframes", u"plaintext", u"noscript"}) {
        auto element = makeElement(raw);
        appendText(element, u"1 < 2 && x");
        EXPECT_EQ(UTF8FromUTF16(element->innerHTML()), "1 < 2 && x");
    }
    // A text node without a parent element is escaped.
    EXPECT_EQ(serialized(HTMLTextNode(u"<&>")), "&lt;&amp;&gt;");
}

TEST(Serialization, LeadingLineFeedInPreIsDoubled)
{
    for (const char16_t* tag : {u"pre", u"textarea", u"listing"}) {
        auto element = makeElement(tag);
        appendText(element, u"\nx");
        const std::string name = UTF8FromUTF16(tag);
        EXPECT_EQ(serialized(*element), "<" + name + ">\n\nx</" + name + ">");
    }
    auto div = makeElement(u"div");
    appendText(div, u"\nx");
    EXPECT_EQ(serialized(*div), "<div>\nx</div>");
}

TEST(Serialization, DocumentIsItsChildrenInOrder)
{
    auto document = std::make_shared<HTMLDocument>();
    document->addChild(std::make_shared<HTMLDocumentType>(u"html", u"pub", u"sys"));
    document->addChild(std::make_shared<HTMLComment>(u" c "));
    auto html = appendElement(document, u"html");
    appendElement(appendElement(html, u"body"), u"img", {{u"src", u"a.png"}});
    EXPECT_EQ(serialized(*document), "<!DOCTYPE html><!-- c --><html><body><img src=\"a.png\"></body></html>");
    EXPECT_EQ(UTF8FromUTF16(html->innerHTML()), "<body><img src=\"a.png\"></body>");
}

TEST(Descriptions, NameTheNodeAndItsContents)
{
    auto element = makeElement(u"a", {{u"href", u"x&y"}});
    EXPECT_EQ(withoutAddresses(element->description()), "<HTMLElement: @ <a href=\"x&y\"> 0 children>");
    appendText(element, u"t");
    EXPECT_EQ(withoutAddresses(element->description()), "<HTMLElement: @ <a href=\"x&y\"> 1 child>");
    appendText(element, u"u");
    EXPECT_EQ(withoutAddresses(element->description()), "<HTMLElement: @ <a href=\"x&y\"> 2 children>");
    element->setHtmlNamespace(HTMLNamespace::SVG);
    EXPECT_EQ(withoutAddresses(element->description()), "<HTMLElement: @ <svg a href=\"x&y\"> 2 children>");
    element->setHtmlNamespace(HTMLNamespace::MathML);
    EXPECT_EQ(withoutAddresses(element->description()), "<HTMLElement: @ <math a href=\"x&y\"> 2 children>");

    EXPECT_EQ(withoutAddresses(HTMLDocumentType().description()), "<HTMLDocumentType: @ <!DOCTYPE html> >");
    EXPECT_EQ(withoutAddresses(HTMLDocumentType(u"", u"", u"s").description()), "<HTMLDocumentType: @ <!DOCTYPE \"\" \"s\"> >");
    EXPECT_EQ(withoutAddresses(HTMLDocument().description()), "<HTMLDocument: @>");
    EXPECT_EQ(withoutAddresses(HTMLTextNode(u"hi").description()), "<HTMLTextNode: @ 'hi'>");
}

TEST(Descriptions, LongDataIsCutTo37Characters)
{
    const std::u16string forty(40, u'c');
    EXPECT_EQ(withoutAddresses(HTMLComment(forty).description()),
              "<HTMLComment: @ <!-- " + std::string(37, 'c') + "\u2026 --> >");
    EXPECT_EQ(withoutAddresses(HTMLTextNode(std::u16string(37, u't')).description()),
              "<HTMLTextNode: @ '" + std::string(37, 't') + "'>");
    EXPECT_EQ(withoutAddresses(HTMLTextNode(std::u16string(38, u't')).description()),
              "<HTMLTextNode: @ '" + std::string(37, 't') + "\u2026'>");
}

TEST(Descriptions, RecursiveDescriptionIndentsByDepth)
{
    auto div = makeElement(u"div");
    auto p = appendElement(div, u"p");
    appendText(p, u"x");
    appendElement(div, u"br");
    EXPECT_EQ(withoutAddresses(div->recursiveDescription()),
              "<HTMLElement: @ <div> 2 children>\n"
              "|    <HTMLElement: @ <p> 1 child>\n"
              "|        <HTMLTextNode: @ 'x'>\n"
              "|    <HTMLElement: @ <br> 0 children>");
}

} // namespace
