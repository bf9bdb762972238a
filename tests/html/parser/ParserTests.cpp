#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"
#include "html/HTMLParser.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

constexpr HTMLStringEncoding utf8Tentative {StringEncoding::UTF8, HTMLStringEncodingConfidence::Tentative};

std::string bodyMarkup(const HTMLDocument& document)
{
    const auto body = document.bodyElement();
    return body ? UTF8FromUTF16(body->innerHTML()) : "(no body)";
}

struct ErrorCase {
    std::string markup;
    std::vector<std::string> errors;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.markup);
}

class ParserErrors : public testing::TestWithParam<ErrorCase> {};

// The error list is what a page author sees of a repair: one fixed text per
// irregularity, in the order met, never an exception.
TEST_P(ParserErrors, ListsEachRepairOnce)
{
    HTMLParser parser(UTF16FromUTF8(GetParam().markup), utf8Tentative);
    parser.document();
    EXPECT_EQ(parser.errors(), GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParserErrors,
    testing::Values(
        ErrorCase {"", {"Expected DOCTYPE"}},
        ErrorCase {"<!DOCTYPE html><p>a</p></p>", {"Not closing unknown 'p' element in <body>"}},
        ErrorCase {std::string("<!DOCTYPE html>a\0\0b", 19),
                   {"Tokenizer: U+0000 NULL in data state", "Tokenizer: U+0000 NULL in data state",
                    "Ignoring U+0000 NULL in <body>", "Ignoring U+0000 NULL in <body>"}},
        ErrorCase {"<!DOCTYPE html><image>", {"It's spelled 'img' in <body>"}},
        ErrorCase {"<!DOCTYPE html><table>x</table>", {"Foster parenting token in <table>"}},
        ErrorCase {"<!DOCTYPE html><b><p>x</b>y", {"Adoption agency formatting element not current"}},
        ErrorCase {"<!DOCTYPE html><div><span></div></span>",
                   {"Misnested end tag 'div' in <body>", "Ignoring end tag 'span' in <body>"}},
        ErrorCase {"<!DOCTYPE html><table><caption>x<td>",
                   {"Start tag 'td' in <caption>", "Start tag 'td' in <table> body",
                    "Unclosed table element in <body> at end of file"}},
        ErrorCase {"<!DOCTYPE html><option>", {"Unclosed option element in <body> at end of file"}},
        ErrorCase {"<!DOCTYPE html><li><p>", {}},
        ErrorCase {"<!DOCTYPE html><title>x", {"Unexpected end of file in 'text' mode"}},
        ErrorCase {"<!DOCTYPE html><frameset>ab", {"Unexpected token in <frameset>", "Unexpected token in <frameset>",
                                                   "Unexpected EOF in <frameset>"}},
        ErrorCase {"<!DOCTYPE html><head><meta charset=windows-1252>",
                   {"Wanted to change string encoding but couldn't; continuing with misinterpreted resource"}}));

// A nobr start tag meets an open nobr that a marker hides from the list of
// active formatting elements: the adoption agency algorithm gives up, and the
// old nobr must still be closed and the new one inserted (it used to be lost,
// so the text went into the old nobr).
// Tags take the foreign rules exactly while an SVG or MathML element is
// the current node, whichever way the foreign elements were closed: by end
// tags, by a breakout tag, by an end tag of an HTML ancestor, or not at all.
TEST(HTMLParser, ForeignRulesHoldWhileAForeignElementIsCurrent)
{
    HTMLParser parser(u"<!DOCTYPE html><svg><g></g><circle/><desc><b>x</b></desc><rect></svg><circle>"
                      u"<math><mi>y</mi><mo><p>z</p><circle>"
                      u"<div><svg><g><circle></div><circle>"
                      u"<span><math><mtext></span><circle>",
                      utf8Tentative);
    const auto document = parser.document();
    std::vector<std::string> namespaces;
    std::vector<std::shared_ptr<HTMLNode>> pending {document->bodyElement()};
    while (!pending.empty()) {
        const auto node = pending.back();
        pending.pop_back();
        const auto& children = node->children();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back(*child);
        if (node->kind() != HTMLNode::Kind::Element)
            continue;
        const auto& element = static_cast<const HTMLElement&>(*node);
        const char* space = element.htmlNamespace() == HTMLNamespace::SVG      ? "svg "
            : element.htmlNamespace() == HTMLNamespace::MathML ? "math "
                                                                 : "";
        namespaces.push_back(space + UTF8FromUTF16(element.tagName()));
    }
    EXPECT_EQ(namespaces, (std::vector<std::string> {"body", "svg svg", "svg g", "svg circle", "svg desc", "b",
                                                      "svg rect", "circle", "math math", "math mi", "math mo", "p",
                                                      "circle", "div", "svg svg", "svg g", "svg circle", "circle",
                                                      "span", "math math", "math mtext", "circle"}));
}

// Whether a token goes straight to the in body rules is worked out once per
// change of mode, of foreign elements or of the line feed to drop: each
// change here must reach the very next token.
TEST(HTMLParser, EachTokenMeetsTheRulesLeftByTheOneBefore)
{
    HTMLParser parser(u"<!DOCTYPE html><pre>\nA</pre><textarea>\nB</textarea><listing>\n\nC</listing><pre>D\n</pre>"
                      u"<svg><p>E</p></svg><table><tr><td>\nF</td></tr></table>\nG",
                      utf8Tentative);
    const auto body = parser.document()->bodyElement();
    std::vector<std::string> texts;
    for (const auto& child : body->children())
        texts.push_back(child->textContentUTF8());
    EXPECT_EQ(texts, (std::vector<std::string> {"A", "B", "\nC", "D\n", "", "E", "\nF", "\nG"}));
}

TEST(HTMLParser, NobrStartTagHiddenByAMarkerIsStillInserted)
{
    HTMLParser parser(u"<!DOCTYPE html><nobr><table><object></table><nobr>x", utf8Tentative);
    const auto document = parser.document();
    EXPECT_EQ(bodyMarkup(*document), "<nobr><object></object><table></table></nobr><nobr>x</nobr>");
    EXPECT_NE(std::find(parser.errors().begin(), parser.errors().end(), "Misnested nobr tag in <body>"),
              parser.errors().end());
}

// A block start tag closes an open p only when the p is in button scope: a
// button between them hides it, so the div goes into the button. Asked in the
// default scope, the p would be closed and the div would follow it.
TEST(HTMLParser, AButtonHidesAnOpenParagraphFromABlockStartTag)
{
    HTMLParser parser(u"<!DOCTYPE html><p>a<button>b<div>c", utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()), "<p>a<button>b<div>c</div></button></p>");
}

const HTMLElement* findElement(const HTMLNode& node, std::u16string_view name)
{
    for (const auto& child : node.children()) {
        if (const auto* element = dynamic_cast<const HTMLElement*>(child.get())) {
            if (element->tagName() == name)
                return element;
            if (const HTMLElement* found = findElement(*element, name))
                return found;
        }
    }
    return nullptr;
}

// The tokenizer reads on past tags while the tree has not seen them yet; a
// start tag whose element reads its content as text must stop it, wherever it
// comes in a run of tags (here after several plain ones and right after text).
TEST(HTMLParser, ElementsOfTextKeepTagsInsideAsTextAfterARunOfTags)
{
    for (const std::u16string name : {u"iframe", u"noembed", u"noframes", u"noscript", u"plaintext", u"script",
                                      u"style", u"textarea", u"title", u"xmp"}) {
        for (const std::u16string before : {u"", u"<p>a</p>", u"<p>a</p><b>b</b><i>c</i>", u"<b>b</b>text"}) {
            HTMLParser parser(u"<!DOCTYPE html>" + before + u"<" + name + u"><em>x</em></" + name + u"><u>y</u>",
                              utf8Tentative);
            const auto document = parser.document();
            const HTMLElement* element = findElement(*document, name);
            ASSERT_TRUE(element) << UTF8FromUTF16(name);
            EXPECT_EQ(element->textContent().substr(0, 10), u"<em>x</em>") << UTF8FromUTF16(before + name);
            EXPECT_FALSE(findElement(*document, u"em")) << UTF8FromUTF16(before + name);
        }
    }
}

// After a meta charset restarts the parse, the end of the file must not run
// the insertion modes on the emptied stack (which made a body out of nothing).
TEST(HTMLParser, EncodingChangeStopsTheParseForGood)
{
    HTMLParser parser(u"<!DOCTYPE html><head><meta charset=windows-1252><body><p>x", utf8Tentative);
    std::vector<std::pair<StringEncoding, HTMLStringEncodingConfidence>> calls;
    parser.setChangeEncoding([&](StringEncoding encoding, HTMLStringEncodingConfidence confidence) {
        calls.emplace_back(encoding, confidence);
    });
    const auto document = parser.document();
    EXPECT_EQ(calls, (std::vector<std::pair<StringEncoding, HTMLStringEncodingConfidence>> {
                         {StringEncoding::Windows1252, HTMLStringEncodingConfidence::Certain}}));
    EXPECT_TRUE(parser.errors().empty());
    EXPECT_EQ(UTF8FromUTF16(document->serializedFragment()),
              "<!DOCTYPE html><html><head><meta charset=\"windows-1252\"></head></html>");
    EXPECT_EQ(parser.document(), document);
}

struct EncodingCase {
    const char* markup;
    HTMLStringEncoding initial;
    std::optional<StringEncoding> requested; // what the restart callback is asked for
    HTMLStringEncodingConfidence finalConfidence;
};

void PrintTo(const EncodingCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.markup);
}

class MetaCharset : public testing::TestWithParam<EncodingCase> {};

TEST_P(MetaCharset, RestartsOnlyForANewEncodingWhileTentative)
{
    const EncodingCase& test = GetParam();
    HTMLParser parser(UTF16FromUTF8(test.markup), test.initial);
    std::optional<StringEncoding> requested;
    parser.setChangeEncoding([&](StringEncoding encoding, HTMLStringEncodingConfidence) { requested = encoding; });
    parser.document();
    EXPECT_EQ(requested, test.requested);
    EXPECT_EQ(parser.encoding().confidence, test.finalConfidence);
}

constexpr auto tentative = HTMLStringEncodingConfidence::Tentative;
constexpr auto certain = HTMLStringEncodingConfidence::Certain;

INSTANTIATE_TEST_SUITE_P(
    Cases, MetaCharset,
    testing::Values(
        EncodingCase {"<meta charset=utf-8>", {StringEncoding::UTF8, tentative}, std::nullopt, certain},
        EncodingCase {"<meta charset=koi8-r>", {StringEncoding::UTF8, certain}, std::nullopt, certain},
        EncodingCase {"<meta charset=koi8-r>", {StringEncoding::UTF8, tentative}, StringEncoding::KOI8R, tentative},
        EncodingCase {"<meta charset=nonsense content='text/html; charset=koi8-r' http-equiv=content-type>",
                      {StringEncoding::Windows1252, tentative}, std::nullopt, tentative},
        EncodingCase {"<meta http-equiv=content-type content=\"text/html; charset='koi8-r'\">",
                      {StringEncoding::UTF8, tentative}, StringEncoding::KOI8R, tentative},
        EncodingCase {"<meta http-equiv=Content-Type content=\"text/html; charset = iso-8859-2 ; x\">",
                      {StringEncoding::UTF8, tentative}, StringEncoding::ISO8859_2, tentative},
        EncodingCase {"<meta http-equiv=content-type content=\"text/html; charset=\">",
                      {StringEncoding::Windows1252, tentative}, std::nullopt, tentative},
        EncodingCase {"<meta http-equiv=refresh content=\"charset=koi8-r\">", {StringEncoding::UTF8, tentative},
                      std::nullopt, tentative},
        // A UTF-16 document keeps its encoding; a UTF-16 label means UTF-8.
        EncodingCase {"<meta charset=koi8-r>", {StringEncoding::UTF16LE, tentative}, std::nullopt, certain},
        EncodingCase {"<meta charset=utf-16be>", {StringEncoding::UTF8, tentative}, std::nullopt, certain},
        EncodingCase {"<meta charset=utf-16be>", {StringEncoding::Windows1252, tentative}, StringEncoding::UTF8,
                      tentative}));

// Deep documents are built without recursion: a stack overflow here would
// crash the process.
TEST(HTMLParser, ParsesAHundredThousandNestedElements)
{
    for (const std::u16string opening : {u"<div>", u"<b id=x>", u"<svg>"}) {
        std::u16string markup = u"<!DOCTYPE html>";
        for (int i = 0; i < 100000; ++i)
            markup += opening;
        HTMLParser parser(markup, utf8Tentative);
        const auto document = parser.document();
        std::size_t depth = 0;
        for (const HTMLNode* node = document->bodyElement().get(); node->numberOfChildren() > 0;
             node = node->childAtIndex(0).get())
            ++depth;
        EXPECT_EQ(depth, 100000u) << UTF8FromUTF16(opening);
    }
}

// Taking a tree apart gives each node back to the parse that made it, also
// when the tree holds nodes of another parse and when parts of it are kept
// (the sanitizer build sees memory freed too early or never).
TEST(HTMLParser, TreesMixingTwoParsesComeApartCleanly)
{
    auto first = HTMLDocument::documentWithString(std::string_view("<div id=a><p>one<b>two</b></p><p>three</p></div>"));
    auto second = HTMLDocument::documentWithString(std::string_view("<ul><li>x<li>y<i>z</i></ul><p>kept<b>!</b></p>"));
    auto moved = second->firstNodeMatchingSelector(u"ul");
    first->firstNodeMatchingSelector(u"div")->addChild(moved);
    auto keptFromFirst = first->firstNodeMatchingSelector(u"p");
    moved.reset();
    first.reset();
    EXPECT_EQ(keptFromFirst->parentNode(), nullptr);
    EXPECT_EQ(UTF8FromUTF16(keptFromFirst->serializedFragment()), "<p>one<b>two</b></p>");
    EXPECT_EQ(UTF8FromUTF16(second->bodyElement()->innerHTML()), "<p>kept<b>!</b></p>");
    // A node of the second parse now holds one of the first.
    second->bodyElement()->addChild(keptFromFirst);
    keptFromFirst.reset();
    EXPECT_EQ(UTF8FromUTF16(second->bodyElement()->innerHTML()), "<p>kept<b>!</b></p><p>one<b>two</b></p>");
}

// Lists grow as children come (one, four, eight, sixteen), and give their old
// storage to the next lists: every child stays, in order, with its parent.
TEST(HTMLParser, GrowingListsKeepTheirChildren)
{
    std::string markup;
    std::string expected;
    for (int i = 0; i < 80; ++i) {
        const std::string n = std::to_string(i);
        std::string item = "<p>only" + n + "</p>";
        if (i % 4 == 1)
            item = "<p>t" + n + "<b>" + n + "</b></p>";
        else if (i % 4 == 2)
            item = "<p><i>" + n + "</i>t" + n + "<b>x</b>u</p>";
        else if (i % 4 == 3)
            item = "<p>a<b>" + n + "</b>c<i>d</i>e<u>f</u>g<s>h</s>i</p>";
        markup += item;
        expected += item;
    }
    const auto document = HTMLDocument::documentWithString(std::string_view(markup));
    EXPECT_EQ(bodyMarkup(*document), expected);
    for (const auto& paragraph : document->nodesMatchingSelector(u"p")) {
        for (std::size_t i = 0; i < paragraph->numberOfChildren(); ++i)
            EXPECT_EQ(paragraph->childAtIndex(i)->parentNode(), paragraph.get());
    }
}

// A parse's nodes share their memory; any node a caller keeps stays whole
// after the parser, the document and the rest of the tree are gone.
TEST(HTMLParser, KeptNodesOutliveTheParserAndTheDocument)
{
    std::shared_ptr<HTMLElement> list;
    std::shared_ptr<HTMLNode> text;
    std::weak_ptr<HTMLDocument> document;
    {
        HTMLParser parser(u"<!DOCTYPE html><ul><li class=a>one<li>two</ul><p>three<!-- x -->", utf8Tentative);
        document = parser.document();
        list = parser.document()->firstNodeMatchingSelector(u"ul");
        text = parser.document()->firstNodeMatchingSelector(u"p")->childAtIndex(0);
    }
    EXPECT_TRUE(document.expired());
    EXPECT_EQ(list->parentNode(), nullptr);
    EXPECT_EQ(UTF8FromUTF16(list->serializedFragment()), "<ul><li class=\"a\">one</li><li>two</li></ul>");
    EXPECT_EQ(text->parentNode(), nullptr);
    EXPECT_EQ(text->textContentUTF8(), "three");
    list->addChild(text);
    EXPECT_EQ(UTF8FromUTF16(list->innerHTML()), "<li class=\"a\">one</li><li>two</li>three");
    // The list built during the parse keeps growing afterwards.
    for (int i = 0; i < 100; ++i)
        list->addChild(std::make_shared<HTMLElement>(u"li"));
    EXPECT_EQ(list->numberOfChildren(), 103u);
    EXPECT_EQ(list->childAtIndex(2), text);
}

// Taking a wide tree apart reads ahead along each list while it releases the
// nodes: siblings with children, leaves, and nodes a caller holds (in the
// list itself or deeper down) all come apart or stay whole as they should.
TEST(HTMLParser, WideListsComeApartKeepingWhatCallersHold)
{
    std::string markup = "<ul>";
    for (int i = 0; i < 40; ++i) {
        static const char* const contents[] = {"text", "<b>x<i>y</i></b>", "<span><a href=#>z</a></span>tail"};
        markup += "<li id=n" + std::to_string(i) + ">" + contents[i % 3] + "</li>";
    }
    std::vector<std::shared_ptr<HTMLElement>> items;
    std::shared_ptr<HTMLElement> deepInARemovedItem;
    std::shared_ptr<HTMLElement> linkOfARemovedItem;
    std::weak_ptr<HTMLElement> removedItem;
    {
        auto document = HTMLDocument::documentWithString(std::string_view(markup));
        for (const char16_t* id : {u"#n5", u"#n17", u"#n39", u"#n0"})
            items.push_back(document->firstNodeMatchingSelector(id));
        deepInARemovedItem = document->firstNodeMatchingSelector(u"#n10 i");
        linkOfARemovedItem = document->firstNodeMatchingSelector(u"#n20 a");
        removedItem = document->firstNodeMatchingSelector(u"#n10");
    }
    EXPECT_TRUE(removedItem.expired());
    const char* const expected[] = {"<li id=\"n5\"><span><a href=\"#\">z</a></span>tail</li>",
                                    "<li id=\"n17\"><span><a href=\"#\">z</a></span>tail</li>",
                                    "<li id=\"n39\">text</li>", "<li id=\"n0\">text</li>"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_TRUE(items[i]);
        EXPECT_EQ(items[i]->parentNode(), nullptr);
        EXPECT_EQ(UTF8FromUTF16(items[i]->serializedFragment()), expected[i]);
    }
    ASSERT_TRUE(deepInARemovedItem && linkOfARemovedItem);
    EXPECT_EQ(deepInARemovedItem->parentNode(), nullptr);
    EXPECT_EQ(UTF8FromUTF16(deepInARemovedItem->serializedFragment()), "<i>y</i>");
    EXPECT_EQ(linkOfARemovedItem->parentNode(), nullptr);
    EXPECT_EQ(UTF8FromUTF16(linkOfARemovedItem->serializedFragment()), "<a href=\"#\">z</a>");
}

// A large parse fills many of its arena's blocks: nodes kept from the first,
// a middle and the last of them stay whole once the rest is gone, and the
// blocks all go with the last of those nodes (the sanitizer build sees a block
// lost or used after it went).
TEST(HTMLParser, KeptNodesFromManyBlocksStayWhole)
{
    std::string markup;
    for (int i = 0; i < 3000; ++i)
        markup += "<p id=p" + std::to_string(i) + " class=\"item number" + std::to_string(i) + "\">text " + std::to_string(i) + "</p>";
    std::vector<std::shared_ptr<HTMLElement>> kept;
    {
        auto document = HTMLDocument::documentWithString(std::string_view(markup));
        for (const char16_t* id : {u"#p0", u"#p1500", u"#p2999"})
            kept.push_back(document->firstNodeMatchingSelector(id));
    }
    const char* const expected[] = {"<p id=\"p0\" class=\"item number0\">text 0</p>",
                                    "<p id=\"p1500\" class=\"item number1500\">text 1500</p>",
                                    "<p id=\"p2999\" class=\"item number2999\">text 2999</p>"};
    for (std::size_t i = 0; i < kept.size(); ++i) {
        ASSERT_TRUE(kept[i]);
        EXPECT_EQ(kept[i]->parentNode(), nullptr);
        EXPECT_EQ(UTF8FromUTF16(kept[i]->serializedFragment()), expected[i]);
    }
    kept.erase(kept.begin());
    EXPECT_EQ(UTF8FromUTF16(kept.back()->serializedFragment()), expected[2]);
}

// Every node, child list and text of a parse is kept past its document: the
// texts' lengths vary so that pieces of every size end each arena block at
// every place, and each stays whole however the kept nodes go (the sanitizer
// build sees a piece that runs past its block).
TEST(HTMLParser, EveryKeptNodeStaysWholeWhereverItsBlockEnds)
{
    std::string markup;
    std::vector<std::string> expected;
    for (int i = 0; i < 2000; ++i) {
        const std::string text(1 + i % 37, static_cast<char>('a' + i % 26));
        const std::string item = "<p id=p" + std::to_string(i) + ">" + text + "<b>" + std::to_string(i) + "</b></p>";
        markup += item;
        expected.push_back("<p id=\"p" + std::to_string(i) + "\">" + text + "<b>" + std::to_string(i) + "</b></p>");
    }
    std::vector<std::shared_ptr<HTMLNode>> kept;
    {
        auto document = HTMLDocument::documentWithString(std::string_view(markup));
        const auto body = document->firstNodeMatchingSelector(u"body");
        ASSERT_TRUE(body);
        kept = body->children();
    }
    ASSERT_EQ(kept.size(), expected.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        ASSERT_EQ(UTF8FromUTF16(static_cast<HTMLElement&>(*kept[i]).serializedFragment()), expected[i]) << i;
    // Odd places first, then the rest from the back: the blocks go with the last.
    for (std::size_t i = 1; i < kept.size(); i += 2)
        kept[i].reset();
    while (kept.size() > 1) {
        kept.pop_back();
        if (kept.back()) {
            ASSERT_EQ(UTF8FromUTF16(static_cast<HTMLElement&>(*kept.back()).serializedFragment()), expected[kept.size() - 1]);
        }
    }
    EXPECT_EQ(UTF8FromUTF16(static_cast<HTMLElement&>(*kept.front()).serializedFragment()), expected.front());
}

// Texts and attributes of a parse live in memory shared with its nodes: they
// stay readable and changeable in a kept node, short and long alike, and a
// copy of the attributes stands on its own (the sanitizer build sees memory
// used after it went).
TEST(HTMLParser, KeptNodesKeepTheirTextsAndAttributes)
{
    const std::u16string longText(3000, u'x');
    std::shared_ptr<HTMLElement> link;
    std::shared_ptr<HTMLNode> text;
    std::optional<HTMLOrderedDictionary> copied;
    {
        auto document = HTMLDocument::documentWithString(
            UTF8FromUTF16(u"<a href=\"/a/rather/long/path?x=1&amp;y=2\" title=\"" + longText + u"\" id=s>short</a><p>" + longText));
        link = document->firstNodeMatchingSelector(u"a");
        text = document->firstNodeMatchingSelector(u"p")->childAtIndex(0);
    }
    copied = link->attributes();
    link->setObject(u"/another/long/path/than/before", u"href");
    link->setObject(u"new", u"data-x");
    static_cast<HTMLTextNode&>(*text).appendString(u" and more text after the parse");
    EXPECT_EQ(*link->objectForKeyedSubscript(u"href"), u"/another/long/path/than/before");
    EXPECT_EQ(std::u16string_view(*link->objectForKeyedSubscript(u"title")), longText);
    EXPECT_EQ(link->textContentUTF8(), "short");
    EXPECT_EQ(text->textContent(), longText + u" and more text after the parse");
    link.reset();
    text.reset();
    ASSERT_EQ(copied->count(), 3u);
    EXPECT_EQ(*copied->objectForKey(u"href"), u"/a/rather/long/path?x=1&y=2");
    EXPECT_EQ(std::u16string_view(*copied->objectForKey(u"title")), longText);
    EXPECT_EQ(*copied->objectForKey(u"id"), u"s");
}

// A parse's attributes come from its arena, except long strings and long
// lists, which come from the heap; elements changed after the parse, copies
// and elements whose attributes the parser adds to hold heap memory too.
// Every kind is given back exactly once when its element goes, with the
// document or after it (the sanitizer build sees memory never given back or
// used after it went).
TEST(HTMLParser, AttributesOfEveryOriginGoWithTheirElements)
{
    const std::string longValue(700, 'v');
    const std::string longName(600, 'n');
    std::string many = "<p id=many";
    for (int i = 0; i < 40; ++i)
        many += " a" + std::to_string(i) + "=" + std::to_string(i);
    many += ">";
    std::string thirteen = "<p id=thirteen";
    for (int i = 0; i < 12; ++i)
        thirteen += " b" + std::to_string(i);
    thirteen += ">";
    const std::string markup = "<html lang=en><body class=x><div title=" + longValue + " " + longName + "=1 id=long>a</div>" + many +
                               thirteen + "<html data-late=" + longValue + "><body data-late=" + longValue + ">" +
                               "<svg viewbox=" + longValue + "><path d=" + longValue + "/></svg>" +
                               "<b title=" + longValue + "><p id=reopened>x</b>y</p>" +
                               "<span id=changed class=a>s</span><i id=kept data-x=" + longValue + ">k</i>";
    std::shared_ptr<HTMLElement> kept;
    std::shared_ptr<HTMLElement> copy;
    {
        auto document = HTMLDocument::documentWithString(std::string_view(markup));
        const auto longOne = document->firstNodeMatchingSelector(u"#long");
        ASSERT_TRUE(longOne);
        EXPECT_EQ(longOne->attributes().count(), 3u);
        EXPECT_EQ(longOne->objectForKeyedSubscript(u"title")->size(), longValue.size());
        EXPECT_EQ(document->firstNodeMatchingSelector(u"#many")->attributes().count(), 41u);
        EXPECT_EQ(document->firstNodeMatchingSelector(u"#thirteen")->attributes().count(), 13u);
        EXPECT_EQ(document->bodyElement()->objectForKeyedSubscript(u"data-late")->size(), longValue.size());
        EXPECT_EQ(document->firstNodeMatchingSelector(u"svg")->objectForKeyedSubscript(u"viewBox")->size(), longValue.size());
        // The <b> is made again inside the paragraph, with its attributes.
        const auto reopened = document->nodesMatchingSelector(u"b");
        ASSERT_EQ(reopened.size(), 2u);
        EXPECT_EQ(reopened[1]->objectForKeyedSubscript(u"title")->size(), longValue.size());

        const auto changed = document->firstNodeMatchingSelector(u"#changed");
        changed->setObject(UTF16FromUTF8(longValue), u"title");
        changed->toggleClass(UTF16FromUTF8(longValue));
        changed->removeAttributeWithName(u"id");
        EXPECT_EQ(changed->attributes().count(), 2u);
        longOne->removeAttributeWithName(u"id");
        longOne->setObject(u"short", u"title");

        kept = document->firstNodeMatchingSelector(u"#kept");
        copy = std::static_pointer_cast<HTMLElement>(longOne->copy());
        document->bodyElement()->addChild(copy);
    }
    EXPECT_EQ(kept->parentNode(), nullptr);
    EXPECT_EQ(kept->objectForKeyedSubscript(u"data-x")->size(), longValue.size());
    EXPECT_EQ(copy->parentNode(), nullptr);
    EXPECT_EQ(*copy->objectForKeyedSubscript(u"title"), u"short");
    EXPECT_EQ(copy->attributes().count(), 2u);
    kept.reset();
    EXPECT_EQ(copy->attributes().objectAtIndexedSubscript(1).size(), longName.size());
}

// Body text is searched for NULs a block at a time, with an overlapping last
// block: a NUL is found at every place of texts around the block length.
TEST(HTMLParser, DropsANullWhereverItStandsInBodyText)
{
    for (const std::size_t length : {2u, 3u, 7u, 8u, 9u, 15u, 16u, 17u, 24u, 31u}) {
        for (std::size_t at = 0; at < length; ++at) {
            std::u16string text(length, u'a');
            text[at] = u'\0';
            text[length - 1 == at ? 0 : length - 1] = u'z';
            std::u16string expected = text;
            expected.erase(at, 1);
            HTMLParser parser(u"<!DOCTYPE html><p>" + text, utf8Tentative);
            const auto document = parser.document();
            EXPECT_EQ(bodyMarkup(*document), "<p>" + UTF8FromUTF16(expected) + "</p>") << length << " " << at;
            EXPECT_EQ(std::count(parser.errors().begin(), parser.errors().end(), "Ignoring U+0000 NULL in <body>"), 1)
                << length << " " << at;
        }
    }
}

// Body text is only searched for NULs when the tokenizer cannot tell there
// are none: each way text can reach the body with a NUL drops it.
TEST(HTMLParser, DropsANullFromBodyTextOfEveryOrigin)
{
    struct Case {
        const char* name;
        std::u16string markup;
        std::string expected;
    };
    const Case cases[] = {
        {"text before a tag", u"<p>a\0b</p>"s, "<p>ab</p>"},
        {"text after a reference", u"<p>&amp;\0b"s, "<p>&amp;b</p>"},
        {"text after leading white space", u"<html><head></head> \0b"s, "b"},
        {"a CDATA section in an integration point", u"<svg><title><![CDATA[a\0b]]></title></svg>"s,
         "<svg><title>ab</title></svg>"},
        {"a CDATA section cut by an input error", u"<svg><title><![CDATA[a\0b\u0001c]]></title></svg>"s,
         "<svg><title>ab\u0001c</title></svg>"},
    };
    for (const Case& c : cases) {
        HTMLParser parser(u"<!DOCTYPE html>" + c.markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), c.expected) << c.name;
        EXPECT_EQ(std::count(parser.errors().begin(), parser.errors().end(), "Ignoring U+0000 NULL in <body>"), 1)
            << c.name;
    }
}

// Body text goes inside the formatting elements a block closed, opened again
// before it, whether or not the text clears the frameset flag on the way.
TEST(HTMLParser, BodyTextGoesInsideTheFormattingElementsOpenedAgain)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"<p><b>x<p>y", "<p><b>x</b></p><p><b>y</b></p>"},
        {u"<p><b><i>x</p>y<div>z", "<p><b><i>x</i></b></p><b><i>y<div>z</div></i></b>"},
        {u"<p><b></p>x<frameset>", "<p><b></b></p><b>x</b>"},
        {u"<a href=1>x<table><td>y</table>z", "<a href=\"1\">x<table><tbody><tr><td>y</td></tr></tbody></table>z</a>"},
    };
    for (const auto& [markup, expected] : cases) {
        HTMLParser parser(u"<!DOCTYPE html>" + markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), expected);
    }
}

TEST(HTMLParser, NoahsArkKeepsThreeEqualFormattingElementsWhateverTheAttributeOrder)
{
    HTMLParser parser(u"<!DOCTYPE html><p><b a=1 c=2><b c=2 a=1><b a=1 c=2><b c=2 a=1>x</p>y", utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()),
              "<p><b a=\"1\" c=\"2\"><b c=\"2\" a=\"1\"><b a=\"1\" c=\"2\"><b c=\"2\" a=\"1\">x</b></b></b></b></p>"
              "<b c=\"2\" a=\"1\"><b a=\"1\" c=\"2\"><b c=\"2\" a=\"1\">y</b></b></b>");
}

// Table text keeps the runs between NULs, in order, and reports each NUL.
TEST(HTMLParser, DropsEachNullOfTableText)
{
    HTMLParser parser(std::u16string(u"<!DOCTYPE html><table>\0a\0b\0\0cd\0</table>", 39), utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()), "abcd<table></table>");
    EXPECT_EQ(std::count(parser.errors().begin(), parser.errors().end(), "Ignoring U+0000 NULL in <table> text"), 5);
}

// An end tag closes the nearest open element of its name: common names are
// matched by number, other names by their text (two names of one length here).
TEST(HTMLParser, AnyOtherEndTagClosesTheNearestElementOfItsName)
{
    HTMLParser parser(u"<!DOCTYPE html><x-a><x-b><span><x-a>one</x-b>two</span></x-a>three</x-a>four", utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()),
              "<x-a><x-b><span><x-a>one</x-a></span></x-b>two</x-a>threefour");
}

// A formatting element closed while it is the current node and the newest
// entry of the list takes a short way; closed with other elements open above
// it, the whole adoption agency. Both leave the list without it.
TEST(HTMLParser, FormattingEndTagsCloseTheirElementEitherWay)
{
    HTMLParser parser(u"<!DOCTYPE html><p><b><i>one</i>two</b><a href=x><span>three</a>four<b>five</b><i>six",
                      utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()),
              "<p><b><i>one</i>two</b><a href=\"x\"><span>three</span></a>four<b>five</b><i>six</i></p>");
}

// Elements with the same name and as many attributes are only alike: they
// count towards the three only when the attribute values match as well.
TEST(HTMLParser, NoahsArkKeepsElementsThatDifferOnlyInAttributeValues)
{
    HTMLParser parser(u"<!DOCTYPE html><p><b a=1><b a=2><b a=1><b a=3><b a=1>x</p>y", utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()),
              "<p><b a=\"1\"><b a=\"2\"><b a=\"1\"><b a=\"3\"><b a=\"1\">x</b></b></b></b></b></p>"
              "<b a=\"1\"><b a=\"2\"><b a=\"1\"><b a=\"3\"><b a=\"1\">y</b></b></b></b></b>");
}

// Long lists of formatting elements are checked from counts, short ones by a
// search; the rule is the same either way, also once a long list is short again.
TEST(HTMLParser, NoahsArkHoldsInLongListsAndInListsThatWereLong)
{
    const auto count = [](const std::string& text, const std::string& part) {
        std::size_t found = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++found;
        return found;
    };
    std::string distinct;
    std::string closings;
    for (int i = 0; i < 20; ++i) {
        distinct += "<i class=" + std::to_string(i) + ">";
        closings += "</i>";
    }
    const std::vector<std::string> pages = {
        "<!DOCTYPE html><p>" + distinct + "<b><b><b><b>x</p>y",
        "<!DOCTYPE html><p><b><b><b>" + distinct + closings + "<b>x</p>y",
    };
    for (const std::string& page : pages) {
        HTMLParser parser(UTF16FromUTF8(page), utf8Tentative);
        const std::string markup = bodyMarkup(*parser.document());
        const std::string reopened = markup.substr(markup.find("</p>"));
        EXPECT_EQ(count(reopened, "<b>"), 3u) << page;
        EXPECT_EQ(count(reopened, "<i "), page.find(closings) == std::string::npos ? 20u : 0u) << page;
    }
}

// An end tag for the current node takes a short way (a pop) for every rule
// where the full steps would only pop; misnested end tags of the same rules,
// formatting elements in and out of the list, and foreign elements still go
// through the full steps.
TEST(HTMLParser, EndTagsOfTheCurrentNodeCloseItAsTheFullStepsDo)
{
    struct Case {
        std::u16string markup;
        std::string body;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {u"<!DOCTYPE html><div><dl><dt>a</dt><dd>b</dd></dl><ul><li>c</li></ul><h2>d</h2><span>e</span>"
         u"<x-y>f</x-y><b>g</b><i><b>h</b></i><p>i</p></div>",
         "<div><dl><dt>a</dt><dd>b</dd></dl><ul><li>c</li></ul><h2>d</h2><span>e</span><x-y>f</x-y><b>g</b>"
         "<i><b>h</b></i><p>i</p></div>",
         {}},
        {u"<!DOCTYPE html><dl><dt><span>a</dt>b<dd><em>c</dd></dl><h2><span>d</h3>e<ul><li><i>f</li></ul>"
         u"<p><span>g</p><div><x-y>h</div>",
         "<dl><dt><span>a</span></dt>b<dd><em>c</em></dd></dl><h2><em><span>d</span></em></h2><em>e<ul><li><i>f</i>"
         "</li></ul><p><i><span>g</span></i></p><div><i><x-y>h</x-y></i></div></em>",
         {"Misnested end tag 'dt' in <body>", "Misnested end tag 'dd' in <body>", "Misnested end tag 'h3' in <body>",
          "Misnested end tag 'li' in <body>", "Closing 'p' element that isn't current",
          "Misnested end tag 'div' in <body>", "Unclosed em element in <body> at end of file"}},
        {u"<!DOCTYPE html><b><b><b><b>x</b>y</b>z", "<b><b><b><b>x</b>y</b>z</b></b>",
         {"Unclosed b element in <body> at end of file"}},
        // The last b is the current node but out of the list (Noah's Ark dropped it).
        {u"<!DOCTYPE html><b><b><b><i><b>x</b></i></b></b></b>y", "<b><b><b><i><b>x</b></i></b></b></b>y", {}},
        // Names outside the table share one number: only the text tells them apart.
        {u"<!DOCTYPE html><x-a><x-b>t</x-a>u", "<x-a><x-b>t</x-b></x-a>u", {"Misnested 'x-a' end tag in <body>"}},
        {u"<!DOCTYPE html><table><td><b>x</td></table></b>y<object><u></object></u>z",
         "<table><tbody><tr><td><b>x</b></td></tr></tbody></table>y<object><u></u></object>z",
         {"Start tag 'td' in <table> body", "Misnested end tag 'td' in cell", "Ignoring end tag 'b' in <body>",
          "Misnested end tag 'object' in <body>", "Ignoring end tag 'u' in <body>"}},
        {u"<!DOCTYPE html><svg><title><p>a</p></title><desc><b>c</b></desc></svg>",
         "<svg><title><p>a</p></title><desc><b>c</b></desc></svg>", {}},
    };
    for (const Case& c : cases) {
        HTMLParser parser(c.markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), c.body) << UTF8FromUTF16(c.markup);
        EXPECT_EQ(parser.errors(), c.errors) << UTF8FromUTF16(c.markup);
    }
}

// A list item start tag closes an open item of its kind (dd and dt close
// each other) unless a special element stands between; with no such item
// open it closes nothing.
TEST(HTMLParser, ListItemStartTagsCloseOnlyAnOpenItemOfTheirKind)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"<!DOCTYPE html><ul><li>a<li>b</ul>", "<ul><li>a</li><li>b</li></ul>"},
        {u"<!DOCTYPE html><dl><dt>a<dd>b<dt>c<dd>d</dl>", "<dl><dt>a</dt><dd>b</dd><dt>c</dt><dd>d</dd></dl>"},
        {u"<!DOCTYPE html><ul><li>a<div><li>b</div></ul>", "<ul><li>a<div></div></li><li>b</li></ul>"},
        {u"<!DOCTYPE html><ul><li>a<ul><li>b</ul></ul>", "<ul><li>a<ul><li>b</li></ul></li></ul>"},
        {u"<!DOCTYPE html><dl><dt>a<li>b<dd>c</dl>", "<dl><dt>a<li>b<dd>c</dd></li></dt></dl>"},
        {u"<!DOCTYPE html><ul><li>a</li><dd>b<li>c</ul>", "<ul><li>a</li><dd>b<li>c</li></dd></ul>"},
        {u"<!DOCTYPE html><ul><li>a</li><dd>b</dd><li>c<dt>d</ul>", "<ul><li>a</li><dd>b</dd><li>c<dt>d</dt></li></ul>"},
    };
    for (const auto& [markup, body] : cases) {
        HTMLParser parser(markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), body) << UTF8FromUTF16(markup);
    }
}

// Text in body reopens closed formatting elements before it goes in, and
// only text other than white space rules out a frameset later on.
TEST(HTMLParser, BodyTextReopensFormattingAndOnlyNonWhiteSpaceRulesOutAFrameset)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"<!DOCTYPE html><p><b>x</p>y<i>z</b>w",
         "<head></head><body><p><b>x</b></p><b>y<i>z</i></b><i>w</i></body>"},
        {u"<!DOCTYPE html><p><a>x</p> <frameset>", "<head></head><body><p><a>x</a></p><a> </a></body>"},
        {u"<!DOCTYPE html><div> \n<frameset></frameset>", "<head></head><frameset></frameset>"},
        {u"<!DOCTYPE html><div><b> </div> <frameset></frameset>", "<head></head><frameset></frameset>"},
        {u"<!DOCTYPE html><div> x<frameset></frameset>", "<head></head><body><div> x</div></body>"},
    };
    for (const auto& [markup, html] : cases) {
        HTMLParser parser(markup, utf8Tentative);
        EXPECT_EQ(UTF8FromUTF16(parser.document()->rootElement()->innerHTML()), html) << UTF8FromUTF16(markup);
    }
}

// Tokens in a cell go to the cell's rules directly, but still after the line
// feed dropped at the start of a pre, textarea or listing, and a tokenizer
// error there is recorded like anywhere else.
TEST(HTMLParser, CellsDropTheLineFeedAfterPreAndRecordTokenizerErrors)
{
    HTMLParser parser(u"<!DOCTYPE html><table><tr><td><pre>\nA</pre><textarea>\nB</textarea>x"s + u'\0'
                          + u"y</td><td><listing>\n\nC</table>",
                      utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()), "<table><tbody><tr><td><pre>A</pre><textarea>B</textarea>xy</td>"
                                              "<td><listing>\n\nC</listing></td></tr></tbody></table>");
    EXPECT_EQ(parser.errors(), (std::vector<std::string> {"Tokenizer: U+0000 NULL in data state",
                                                          "Ignoring U+0000 NULL in <body>", "Closing misnested cell"}));
}

// Blocks and most other start tags only insert their element, unless a p is
// open (a block closes it, if in button scope) or closed formatting elements
// are to be reconstructed first (any other start tag reopens them); a
// formatting element also goes onto the list, and an "a" closes an open a.
TEST(HTMLParser, StartTagsThatInsertStillCloseAParagraphAndReopenFormatting)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"<!DOCTYPE html><p>a<div>b</div>c<section>d<p>e<ul><li>f</ul>g",
         "<p>a</p><div>b</div>c<section>d<p>e</p><ul><li>f</li></ul>g</section>"},
        {u"<!DOCTYPE html><div><p>a<span><article>b</article></span>c</div><aside>d",
         "<div><p>a<span></span></p><article>b</article>c</div><aside>d</aside>"},
        {u"<!DOCTYPE html><table><tr><td><p>a<div>b</table>c<div>d",
         "<table><tbody><tr><td><p>a</p><div>b</div></td></tr></tbody></table>c<div>d</div>"},
        {u"<!DOCTYPE html><p><b>a</p><span>b<x-y>c</x-y></span>d",
         "<p><b>a</b></p><b><span>b<x-y>c</x-y></span>d</b>"},
        {u"<!DOCTYPE html><p><i>a<p>b<em>c</i>d<span>e",
         "<p><i>a</i></p><p><i>b<em>c</em></i><em>d<span>e</span></em></p>"},
        {u"<!DOCTYPE html><a href=1>x<a href=2>y</a>z", "<a href=\"1\">x</a><a href=\"2\">y</a>z"},
        {u"<!DOCTYPE html><b>x</b><a>y</a><i>z<em>w</i>v", "<b>x</b><a>y</a><i>z<em>w</em></i><em>v</em>"},
        {u"<!DOCTYPE html><p><b>x</p><a>y</a><i>z", "<p><b>x</b></p><b><a>y</a><i>z</i></b>"},
    };
    for (const auto& [markup, body] : cases) {
        HTMLParser parser(markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), body) << UTF8FromUTF16(markup);
    }
}

// In a cell, only tags that close it or that it ignores take the cell's own
// rules; its text and every other tag take the in body rules. Each tag here
// must meet the rules of its kind (the markup and the first error tell).
TEST(HTMLParser, CellsTellTheTagsThatCloseThemFromTheirContent)
{
    struct Case {
        std::u16string tag;
        std::string body;
        std::string firstError;
    };
    const Case cases[] = {
        {u"</td>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody></table>c", "Misnested end tag 'td' in cell"},
        {u"</th>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "End tag 'th' outside cell in cell"},
        {u"</tr>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody></table>c", "Closing misnested cell"},
        {u"</tbody>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody></table>c", "Closing misnested cell"},
        {u"</thead>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c",
         "End tag 'thead' for unknown element in cell"},
        {u"</tfoot>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c",
         "End tag 'tfoot' for unknown element in cell"},
        {u"</table>", "<table><tbody><tr><td><i>a</i></td></tr></tbody></table>bc", "Closing misnested cell"},
        {u"</body>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "End tag 'body' in cell"},
        {u"</html>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "End tag 'html' in cell"},
        {u"</caption>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "End tag 'caption' in cell"},
        {u"</col>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "End tag 'col' in cell"},
        {u"</colgroup>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "End tag 'colgroup' in cell"},
        {u"</p>", "<table><tbody><tr><td><i>a<p></p>b</i></td></tr></tbody></table>c",
         "Not closing unknown 'p' element in <body>"},
        {u"</i>", "<table><tbody><tr><td><i>a</i>b</td></tr></tbody></table>c", ""},
        {u"</x-y>", "<table><tbody><tr><td><i>ab</i></td></tr></tbody></table>c", "Ignoring end tag 'x-y' in <body>"},
        {u"<td>", "<table><tbody><tr><td><i>a</i></td><td>b</td></tr></tbody></table>c", "Closing misnested cell"},
        {u"<th>", "<table><tbody><tr><td><i>a</i></td><th>b</th></tr></tbody></table>c", "Closing misnested cell"},
        {u"<tr>", "b<table><tbody><tr><td><i>a</i></td></tr><tr></tr></tbody></table>c", "Closing misnested cell"},
        {u"<tbody>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody><tbody></tbody></table>c",
         "Closing misnested cell"},
        {u"<thead>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody><thead></thead></table>c",
         "Closing misnested cell"},
        {u"<tfoot>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody><tfoot></tfoot></table>c",
         "Closing misnested cell"},
        {u"<caption>", "<table><tbody><tr><td><i>a</i></td></tr></tbody><caption>b</caption></table>c",
         "Closing misnested cell"},
        {u"<col>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody><colgroup><col></colgroup></table>c",
         "Closing misnested cell"},
        {u"<colgroup>", "b<table><tbody><tr><td><i>a</i></td></tr></tbody><colgroup></colgroup></table>c",
         "Closing misnested cell"},
        {u"<p>", "<table><tbody><tr><td><i>a<p>b</p></i></td></tr></tbody></table>c", "Closing misnested cell"},
        {u"<x-y>", "<table><tbody><tr><td><i>a<x-y>b</x-y></i></td></tr></tbody></table>c", "Closing misnested cell"},
    };
    for (const Case& c : cases) {
        HTMLParser parser(u"<!DOCTYPE html><table><tr><td><i>a" + c.tag + u"b</table>c", utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), c.body) << UTF8FromUTF16(c.tag);
        EXPECT_EQ(parser.errors().empty() ? "" : parser.errors().front(), c.firstError) << UTF8FromUTF16(c.tag);
    }
}

// A cell end tag closes the cell: when the cell is the current node it is
// only popped, and either way the formatting elements opened in it are
// forgotten and the row's rules take the next tokens.
TEST(HTMLParser, CellEndTagsCloseTheCellAndForgetItsFormatting)
{
    struct Case {
        std::u16string markup;
        std::string body;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {u"<!DOCTYPE html><table><tr><td>a</td><th>b</th><td>c</td></tr></table>",
         "<table><tbody><tr><td>a</td><th>b</th><td>c</td></tr></tbody></table>", {}},
        {u"<!DOCTYPE html><table><tr><td>a</td><td><p><b>b</p></td></tr></table>c",
         "<table><tbody><tr><td>a</td><td><p><b>b</b></p></td></tr></tbody></table>c",
         {"Closing 'p' element that isn't current"}},
        {u"<!DOCTYPE html><table><tr><td><b>a</td><td>b</td></tr></table>",
         "<table><tbody><tr><td><b>a</b></td><td>b</td></tr></tbody></table>", {"Misnested end tag 'td' in cell"}},
        {u"<!DOCTYPE html><table><tr><td><p>a</td><td>b</td></tr></table>",
         "<table><tbody><tr><td><p>a</p></td><td>b</td></tr></tbody></table>", {}},
        {u"<!DOCTYPE html><table><tr><th>a</td>b</th></tr></table>",
         "<table><tbody><tr><th>ab</th></tr></tbody></table>", {"End tag 'td' outside cell in cell"}},
        {u"<!DOCTYPE html><table><tr><td>a</td> <td>b</td></tr></table>",
         "<table><tbody><tr><td>a</td> <td>b</td></tr></tbody></table>", {}},
        {u"<!DOCTYPE html><p><b>a</p><table><tr><td><i>b</td></tr></table>c",
         "<p><b>a</b></p><table><tbody><tr><td><i>b</i></td></tr></tbody></table><b>c</b>",
         {"Closing 'p' element that isn't current", "Misnested end tag 'td' in cell",
          "Unclosed b element in <body> at end of file"}},
    };
    for (const Case& c : cases) {
        HTMLParser parser(c.markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), c.body) << UTF8FromUTF16(c.markup);
        EXPECT_EQ(parser.errors(), c.errors) << UTF8FromUTF16(c.markup);
    }
}

// Text between table tags goes into the table when it is all white space,
// and is foster-parented before the table as one piece otherwise, however
// many tokens it came in; text of white space only and no tag after it waits
// for the rest.
TEST(HTMLParser, TableTextStaysWhenWhiteSpaceAndMovesOutWhole)
{
    struct Case {
        std::u16string markup;
        std::string body;
    };
    const Case cases[] = {
        {u"<!DOCTYPE html><table>\n <tr> <td>a</td>\t</tr> </table>",
         "<table>\n <tbody><tr> <td>a</td>\t</tr> </tbody></table>"},
        {u"<!DOCTYPE html><table> x<tr><td>a</td></tr></table>",
         " x<table><tbody><tr><td>a</td></tr></tbody></table>"},
        {u"<!DOCTYPE html><table> &amp; <tr><td>a</td></tr></table>",
         " &amp; <table><tbody><tr><td>a</td></tr></tbody></table>"},
        {u"<!DOCTYPE html><table> &#x20;<tr><td>a</td></tr></table>",
         "<table>  <tbody><tr><td>a</td></tr></tbody></table>"},
        {u"<!DOCTYPE html><table> <!--c--> <tr><td>a</td></tr></table>",
         "<table> <!--c--> <tbody><tr><td>a</td></tr></tbody></table>"},
        {u"<!DOCTYPE html><table><tr> </table> ", "<table><tbody><tr> </tr></tbody></table> "},
        {u"<!DOCTYPE html><table> "s + u'\0' + u"x<tr><td>a</td></tr></table>",
         " x<table><tbody><tr><td>a</td></tr></tbody></table>"},
    };
    for (const Case& c : cases) {
        HTMLParser parser(c.markup, utf8Tentative);
        EXPECT_EQ(bodyMarkup(*parser.document()), c.body) << UTF8FromUTF16(c.markup);
    }
    // Long text reaches the tree in several tokens: white space at its start
    // still moves out with the rest.
    const std::string spaces(20000, ' ');
    HTMLParser parser(UTF16FromUTF8("<!DOCTYPE html><table>" + spaces + "x<tr><td>a</td></tr></table>"), utf8Tentative);
    EXPECT_EQ(bodyMarkup(*parser.document()), spaces + "x<table><tbody><tr><td>a</td></tr></tbody></table>");
}

// Elements made outside the body's own rules take the tag's attributes over
// only when the tokenizer left no spare room in them, else copy them: either
// way every attribute arrives whole, and the rules that read an attribute
// after the element is made (meta charset, hidden input) still see it.
TEST(HTMLParser, ElementsOfEveryModeKeepTheirTagsAttributes)
{
    const std::string value = "a-value-longer-than-a-short-string&amp;grown-by-a-reference";
    HTMLParser parser(UTF16FromUTF8("<!DOCTYPE html><html lang=en><head><meta charset=koi8-r>"
                                    "<link rel=a href=\"" + value + "\" x y z><link rel=b>"
                                    "<script async src=s></script><title id=t>x</title></head>"
                                    "<body class=c><table id=one class=two title=three><tr a=1 b=2>"
                                    "<td c=3 d=4 e=5>1<td>2<td f=\"" + value + "\">3</table>"
                                    "<select name=n><option value=v selected>o</select>"
                                    "<svg viewbox=\"0 0 1 1\"><path d=\"" + value + "\"/></svg>"),
                      utf8Tentative);
    const auto document = parser.document();
    EXPECT_EQ(UTF8FromUTF16(document->innerHTML()),
              "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"koi8-r\">"
              "<link rel=\"a\" href=\"" + value + "\" x=\"\" y=\"\" z=\"\"><link rel=\"b\">"
              "<script async=\"\" src=\"s\"></script><title id=\"t\">x</title></head>"
              "<body class=\"c\"><table id=\"one\" class=\"two\" title=\"three\"><tbody><tr a=\"1\" b=\"2\">"
              "<td c=\"3\" d=\"4\" e=\"5\">1</td><td>2</td><td f=\"" + value + "\">3</td></tr></tbody></table>"
              "<select name=\"n\"><option value=\"v\" selected=\"\">o</option></select>"
              "<svg viewBox=\"0 0 1 1\"><path d=\"" + value + "\"></path></svg></body></html>");
    EXPECT_EQ(parser.firstMetaCharset(), StringEncoding::KOI8R);

    // A hidden input keeps a frameset possible; any other input does not.
    HTMLParser hidden(u"<!DOCTYPE html><input type=HIDDEN><frameset></frameset>", utf8Tentative);
    EXPECT_NE(UTF8FromUTF16(hidden.document()->innerHTML()).find("<frameset>"), std::string::npos);
    HTMLParser shown(u"<!DOCTYPE html><input type=text><frameset></frameset>", utf8Tentative);
    EXPECT_EQ(UTF8FromUTF16(shown.document()->innerHTML()).find("<frameset>"), std::string::npos);
}

} // namespace

namespace {

// The same tree built again through the public API, node by node.
std::shared_ptr<HTMLNode> rebuiltThroughAddChild(const HTMLNode& node)
{
    auto copy = node.copy();
    for (const auto& child : node.children())
        copy->addChild(rebuiltThroughAddChild(*child));
    return copy;
}

// Every child points back at the node whose list holds it, and the node
// counts match the rebuilt tree's.
void expectSameShapeWithParentLinks(const HTMLNode& parsed, const HTMLNode& rebuilt)
{
    ASSERT_EQ(parsed.numberOfChildren(), rebuilt.numberOfChildren()) << parsed.description();
    for (std::size_t i = 0; i < parsed.numberOfChildren(); ++i) {
        const HTMLNode& child = *parsed.childAtIndex(i);
        EXPECT_EQ(child.parentNode(), &parsed) << child.description();
        EXPECT_EQ(parsed.indexOfChild(&child), i) << child.description();
        expectSameShapeWithParentLinks(child, *rebuilt.childAtIndex(i));
    }
}

} // namespace

// The parser appends the nodes it makes at the end of their parent on its own
// short way; a tree built so must equal one built through the public API,
// with foster parenting, foreign content and long child lists among them.
TEST(HTMLParser, AppendedNodesMatchATreeBuiltThroughThePublicAPI)
{
    std::u16string many;
    for (int i = 0; i < 70; ++i)
        many += i % 3 ? u"<i>x</i>" : u"t";
    const std::u16string cases[] = {
        u"<!DOCTYPE html><p>one<b>two</b>three<p>four",
        u"<table>a<tr>b<td>c</td>d</tr>e</table>f",
        u"<svg><g>x<circle/></g>y</svg><math><mi>z</mi></math>",
        u"<ul><li>a<li>b</ul><!-- c --><select><option>d<option>e</select>",
        u"<div>" + many + u"</div>" + many,
    };
    for (const auto& markup : cases) {
        HTMLParser parser(markup, utf8Tentative);
        const auto document = parser.document();
        const auto rebuilt = rebuiltThroughAddChild(*document);
        EXPECT_EQ(UTF8FromUTF16(rebuilt->innerHTML()), UTF8FromUTF16(document->innerHTML()));
        expectSameShapeWithParentLinks(*document, *rebuilt);
        for (const auto& element : document->nodesMatchingSelector(u"*"))
            EXPECT_EQ(element->document(), document.get()) << element->description();
    }
}
