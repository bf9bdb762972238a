#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"
#include "html/HTMLParser.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<HTMLElement> element(std::u16string tagName, HTMLNamespace ns = HTMLNamespace::HTML)
{
    auto created = std::make_shared<HTMLElement>(std::move(tagName));
    created->setHtmlNamespace(ns);
    return created;
}

struct FragmentCase {
    std::u16string context;
    HTMLNamespace contextNamespace;
    std::u16string markup;
    std::string parsed; // the fragment's nodes, serialized
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const FragmentCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.parsed);
}

class FragmentContext : public testing::TestWithParam<FragmentCase> {};

// The context element decides the tokenizer state and the insertion mode the
// fragment starts in; the document then holds the parsed nodes directly.
TEST_P(FragmentContext, ParsesAsTheContentOfTheContextElement)
{
    const FragmentCase& test = GetParam();
    HTMLParser parser(test.markup, {StringEncoding::Windows1252, HTMLStringEncodingConfidence::Tentative},
                      element(test.context, test.contextNamespace));
    EXPECT_EQ(UTF8FromUTF16(parser.document()->serializedFragment()), test.parsed);
    EXPECT_EQ(parser.encoding(), (HTMLStringEncoding {StringEncoding::UTF8, HTMLStringEncodingConfidence::Irrelevant}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FragmentContext,
    testing::Values(FragmentCase {u"div", HTMLNamespace::HTML, u"<p>a</p>b", "<p>a</p>b"},
                    FragmentCase {u"textarea", HTMLNamespace::HTML, u"<b>x</b>", "&lt;b&gt;x&lt;/b&gt;"},
                    FragmentCase {u"style", HTMLNamespace::HTML, u"<b>&amp;</b>", "&lt;b&gt;&amp;amp;&lt;/b&gt;"},
                    FragmentCase {u"plaintext", HTMLNamespace::HTML, u"</plaintext><b>", "&lt;/plaintext&gt;&lt;b&gt;"},
                    // An SVG element of that name does not change the tokenizer state.
                    FragmentCase {u"title", HTMLNamespace::SVG, u"<b>x</b>", "<b>x</b>"},
                    // The earlier breakout rule: inside a fragment the tag stays foreign.
                    FragmentCase {u"svg", HTMLNamespace::SVG, u"<p>x", "<p>x</p>"},
                    FragmentCase {u"select", HTMLNamespace::HTML, u"<option>a<div>b</div><option>c",
                                  "<option>ab</option><option>c</option>"},
                    FragmentCase {u"tr", HTMLNamespace::HTML, u"<td>a<td>b", "<td>a</td><td>b</td>"},
                    FragmentCase {u"html", HTMLNamespace::HTML, u"x", "<head></head><body>x</body>"},
                    FragmentCase {u"table", HTMLNamespace::HTML, u"x<tr>", "x<tbody><tr></tr></tbody>"}));

TEST(HTMLParserFragment, SvgContextKeepsItsNamespaceForBreakoutTags)
{
    HTMLParser parser(u"<p>x", {}, element(u"svg", HTMLNamespace::SVG));
    const auto document = parser.document();
    ASSERT_EQ(document->numberOfChildren(), 1u);
    const auto& p = static_cast<const HTMLElement&>(*document->childAtIndex(0));
    EXPECT_EQ(p.htmlNamespace(), HTMLNamespace::SVG);
    EXPECT_EQ(parser.errors(), std::vector<std::string> {"Unexpected HTML start tag token in foreign content"});
}

// A foreign context element stands in for the adjusted current node
// whenever the stack is back to the fragment's root, however often elements
// were opened and closed meanwhile; an HTML context never does.
TEST(HTMLParserFragment, ForeignContextGovernsEachTokenAtTheRoot)
{
    HTMLParser parser(u"<g></g><circle></circle><p>x", {}, element(u"svg", HTMLNamespace::SVG));
    const auto document = parser.document();
    ASSERT_EQ(document->numberOfChildren(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<const HTMLElement&>(*document->childAtIndex(i)).htmlNamespace(), HTMLNamespace::SVG);

    HTMLParser inDiv(u"<svg><g></g></svg><circle></circle>", {}, element(u"div"));
    const auto divDocument = inDiv.document();
    ASSERT_EQ(divDocument->numberOfChildren(), 2u);
    EXPECT_EQ(static_cast<const HTMLElement&>(*divDocument->childAtIndex(0)).htmlNamespace(), HTMLNamespace::SVG);
    EXPECT_EQ(static_cast<const HTMLElement&>(*divDocument->childAtIndex(1)).htmlNamespace(), HTMLNamespace::HTML);
}

// Inside a form, the form element pointer is already set: a nested form
// start tag is ignored.
TEST(HTMLParserFragment, ContextInsideAFormSetsTheFormElementPointer)
{
    auto form = element(u"form");
    auto div = element(u"div");
    form->addChild(div);
    HTMLParser parser(u"<form><input>", {}, div);
    EXPECT_EQ(UTF8FromUTF16(parser.document()->serializedFragment()), "<input>");
    EXPECT_EQ(parser.errors(), std::vector<std::string> {"Start tag named form within a form in <body>"});
}

} // namespace
