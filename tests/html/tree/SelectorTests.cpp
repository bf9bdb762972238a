#include "TreeBuilder.h"

#include "html/HTMLSelector.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>

namespace {

// Tag names (with the id, when there is one) of the matches, in order.
std::string matchNames(const std::vector<std::shared_ptr<HTMLElement>>& matches)
{
    std::string names;
    for (const auto& element : matches) {
        if (!names.empty())
            names += ' ';
        names += UTF8FromUTF16(element->tagName());
        if (const auto* id = element->objectForKeyedSubscript(u"id"))
            names += "#" + UTF8FromUTF16(*id);
    }
    return names;
}

std::string select(const std::shared_ptr<HTMLNode>& root, std::string_view selector)
{
    return matchNames(root->nodesMatchingSelector(selector));
}

// <div id=top> <ul id=u> <li id=1>a</li> <LI id=2><ul id=inner><li id=3/></ul></LI> </ul> <p id=p1/> text <p id=p2/> </div>
class SelectorSearch : public testing::Test {
protected:
    void SetUp() override
    {
        top = makeElement(u"div", {{u"id", u"top"}});
        auto ul = appendElement(top, u"ul", {{u"id", u"u"}});
        appendText(appendElement(ul, u"li", {{u"id", u"1"}}), u"a");
        auto capital = appendElement(ul, u"LI", {{u"id", u"2"}});
        inner = appendElement(capital, u"ul", {{u"id", u"inner"}});
        appendElement(inner, u"li", {{u"id", u"3"}});
        appendElement(top, u"p", {{u"id", u"p1"}});
        appendText(top, u"text");
        appendElement(top, u"p", {{u"id", u"p2"}});
    }

    std::shared_ptr<HTMLElement> top;
    std::shared_ptr<HTMLElement> inner;
};

TEST_F(SelectorSearch, FindsEveryMatchInDocumentOrderIgnoringTagCase)
{
    EXPECT_EQ(select(top, "li"), "li#1 LI#2 li#3");
    EXPECT_EQ(select(top, "p"), "p#p1 p#p2");
    EXPECT_EQ(select(top, "*").size(), select(top, "div, ul, li, p").size());
    // The searched node itself is included.
    EXPECT_EQ(select(top, "div"), "div#top");
    EXPECT_EQ(top->firstNodeMatchingSelector("li")->tagName(), u"li");
    EXPECT_EQ(top->firstNodeMatchingSelector("table"), nullptr);
}

TEST_F(SelectorSearch, RelationsReachOutsideTheSearchedSubtree)
{
    EXPECT_EQ(matchNames(inner->nodesMatchingSelector("div li")), "li#3");
    EXPECT_EQ(matchNames(inner->nodesMatchingSelector("ul > li")), "li#3");
    EXPECT_EQ(select(top, "#u > li"), "li#1 LI#2");
}

TEST_F(SelectorSearch, GroupsMatchEachMemberOnce)
{
    EXPECT_EQ(select(top, "p , li"), "li#1 LI#2 li#3 p#p1 p#p2");
    EXPECT_EQ(select(top, "p,li,p"), "li#1 LI#2 li#3 p#p1 p#p2");
}

TEST_F(SelectorSearch, SiblingCombinatorsSkipNonElements)
{
    EXPECT_EQ(select(top, "p + p"), "p#p2");
    EXPECT_EQ(select(top, "ul ~ p"), "p#p1 p#p2");
    EXPECT_EQ(select(top, "li + li"), "LI#2");
    // A trailing combinator matches what the combinator relates to.
    EXPECT_EQ(select(top, "ul >"), "li#1 LI#2 li#3");
}

TEST_F(SelectorSearch, SearchingWithABrokenSelectorThrows)
{
    const HTMLSelector broken = HTMLSelector::selectorForString("a::before");
    try {
        top->nodesMatchingSelector("a::before");
        FAIL() << "no exception";
    } catch (const std::invalid_argument& error) {
        EXPECT_EQ(std::string(error.what()), "Attempted to use selector with error: " + broken.error()->description());
    }
    EXPECT_THROW(top->firstNodeMatchingParsedSelector(broken), std::invalid_argument);
    EXPECT_FALSE(broken.matchesElement(*top));
}

struct Failure {
    const char* selector;
    const char* reason;
    std::size_t location;
};

TEST(SelectorErrors, CarryTheirReasonAndLocation)
{
    const Failure failures[] = {
        {"", "Empty selector", 0},
        {"   ", "Empty selector", 0},
        {",a", "Empty selector", 0},
        {"a,", "Empty selector in group", 2},
        {"a, ", "Empty selector in group", 2},
        {"a::before", "Pseudo elements unsupported", 1},
        {"a:before", "Unrecognized pseudo class", 8},
        {"a.#b", "Unexpected modifier", 1},
        {"a:::b", "Unexpected modifier", 1},
        {"a > > b", "Unexpected combinator", 3},
        {"a >+ b", "Unexpected combinator", 3},
        {"a)", "Expected a combinator here", 1},
        {"[a=b", "Expected ] to close attribute", 4},
        {"[a=]", "Expected quote in attribute value", 3},
        {"[a!=b]", "Unexpected operator", 5},
        {"li:nth-child(0)", "Failed to parse Nth statement", 13},
        {"li:nth-child(+n)", "Failed to parse Nth statement", 13},
        {"li:nth-child", "Expected ( to start function", 12},
        {"li:nth-child()", "Expected ) to end function", 13},
        {"li:nth-foo(2)", "Unrecognized pseudo class", 13},
        {"a\\\nb", "Expected non-newline or hex digit(s) after starting escape", 2},
        // Errors inside a negation are located in its argument.
        {"p:not(a::b)", "Pseudo elements unsupported", 1},
        // The first ")" ends a negation's argument.
        {"li:not(:nth-child(2))", "Expected a combinator here", 20},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.selector);
        const HTMLSelector selector = HTMLSelector::selectorForString(failure.selector);
        ASSERT_TRUE(selector.error());
        EXPECT_FALSE(selector.predicate());
        EXPECT_EQ(selector.error()->localizedDescription, failure.reason);
        EXPECT_EQ(selector.error()->location, failure.location);
    }
}

TEST(SelectorErrors, FailureReasonPointsAtTheLocation)
{
    const HTMLSelector selector = HTMLSelector::selectorForString("  a > > b ");
    ASSERT_TRUE(selector.error());
    EXPECT_EQ(HTMLSelectorError::domain, "HTMLSelectorErrorDomain");
    EXPECT_EQ(selector.error()->inputString, "a > > b");
    EXPECT_EQ(selector.error()->localizedFailureReason,
              "Error near character 3: Unexpected combinator\n\n\ta > > b\n\t   ^");
    EXPECT_NE(selector.description().find(" ERROR: '"), std::string::npos);
    EXPECT_NE(HTMLSelector::selectorForString("li").description().find(" 'li'>"), std::string::npos);
    EXPECT_EQ(HTMLSelector().error()->localizedDescription, "Empty selector");
}

// Selectors nested past the stated depth are refused with an error placed where the limit was passed
// in the whole selector; below it they compile and match. None of them may exhaust the stack.
TEST(SelectorErrors, DeepNestingIsRefusedWhereItGoesTooDeep)
{
    std::string negations;
    for (int i = 0; i < 100000; ++i)
        negations += ":not(";
    std::string chain;
    for (int i = 0; i < 100000; ++i)
        chain += "a ";
    std::string classes = "a";
    for (int i = 0; i < 100000; ++i)
        classes += ".x";
    for (const std::string& text : {negations, chain, classes}) {
        const HTMLSelector selector = HTMLSelector::selectorForString(text);
        ASSERT_TRUE(selector.error());
        EXPECT_EQ(selector.error()->localizedDescription.rfind("Selector nested too deeply", 0), 0u);
        EXPECT_GT(selector.error()->location, 0u);
        EXPECT_LT(selector.error()->location, text.size());
    }
    // The limit is passed in the argument of a negation far inside.
    EXPECT_GT(HTMLSelector::selectorForString(negations).error()->location, 100u);

    std::string fine;
    for (int i = 0; i < 50; ++i)
        fine += "div ";
    fine += "p";
    EXPECT_FALSE(HTMLSelector::selectorForString(fine).error());
    // The first ")" ends a negation's argument, so nested ones are left open.
    EXPECT_FALSE(HTMLSelector::selectorForString("p:not(:not(:not(a").error());
}

// A long chain of descendant steps that fails on a deep tree is answered without trying every way of
// placing its steps on the ancestors.
TEST(SelectorSearchCost, FailingDescendantChainOnADeepTreeEnds)
{
    auto top = makeElement(u"div");
    std::shared_ptr<HTMLElement> bottom = top;
    for (int i = 0; i < 80; ++i)
        bottom = appendElement(bottom, u"div");
    appendElement(bottom, u"p");
    std::string chain;
    for (int i = 0; i < 40; ++i)
        chain += "div ";
    EXPECT_EQ(select(top, chain + "span p"), "");
    EXPECT_EQ(select(top, chain + "p"), "p");
    EXPECT_EQ(select(top, chain + "~ span ~ p"), "");
}

// A long group is flat, not deep: thousands of alternatives compile.
TEST(SelectorErrors, LongGroupsAreNotTooDeep)
{
    std::string group = "a";
    for (int i = 0; i < 20000; ++i)
        group += ", b" + std::to_string(i);
    EXPECT_FALSE(HTMLSelector::selectorForString(group).error());
}

TEST(SelectorErrors, LocationsCountUTF16Units)
{
    // U+1F600 is two UTF-16 units.
    const HTMLSelector selector = HTMLSelector::selectorForString(u"[title=\"\U0001F600\"])");
    ASSERT_TRUE(selector.error());
    EXPECT_EQ(selector.error()->localizedDescription, "Expected a combinator here");
    EXPECT_EQ(selector.error()->location, 12u);
}

// Ten li children with ids 1..10 under one ol; some have class x.
class NthSelectors : public testing::Test {
protected:
    void SetUp() override
    {
        list = makeElement(u"ol");
        for (int i = 1; i <= 10; ++i) {
            HTMLOrderedDictionary attributes;
            attributes.setObject(UTF16FromUTF8(std::to_string(i)), u"id");
            if (i % 3 == 0)
                attributes.setObject(u"x", u"class");
            appendElement(list, u"li", std::move(attributes));
            appendText(list, u" ");
        }
    }

    std::string ids(std::string_view selector)
    {
        std::string result;
        for (const auto& element : list->nodesMatchingSelector(selector))
            result += (result.empty() ? "" : " ") + UTF8FromUTF16(*element->objectForKeyedSubscript(u"id"));
        return result;
    }

    std::shared_ptr<HTMLElement> list;
};

TEST_F(NthSelectors, MatchPositionsOfTheExpression)
{
    const std::pair<const char*, const char*> cases[] = {
        {"li:nth-child(2n+1)", "1 3 5 7 9"},
        {"li:nth-child(odd)", "1 3 5 7 9"},
        {"li:nth-child(EVEN)", "2 4 6 8 10"},
        {"li:nth-child(-n+3)", "1 2 3"},
        {"li:nth-child(2n+3)", "3 5 7 9"},
        {"li:nth-child(3)", "3"},
        {"li:nth-child( n )", "1 2 3 4 5 6 7 8 9 10"},
        {"li:nth-last-child(-n+2)", "9 10"},
        {"li:first-child", "1"},
        {"li:last-child", "10"},
        {"li.x:first-of-type", "3"},
        {"li.x:last-of-type", "9"},
        {"li.x:nth-of-type(2)", "6"},
        {"li.x:nth-last-of-type(3)", "3"},
        {"li:only-child", ""},
        {"li:not(.x)", "1 2 4 5 7 8 10"},
        {"li:not(:first-child):not(.x)", "2 4 5 7 8 10"},
    };
    for (const auto& [selector, expected] : cases) {
        SCOPED_TRACE(selector);
        EXPECT_EQ(ids(selector), expected);
    }
}

// Each of-type test counts with the compound before it, which counts in turn:
// forty of them must neither copy nor evaluate the compound exponentially.
TEST_F(NthSelectors, LongOfTypeChainsStayTractable)
{
    std::string chain = "li";
    for (int i = 0; i < 40; ++i)
        chain += i % 2 ? ":last-of-type" : ":nth-of-type(n)";
    EXPECT_EQ(ids(chain), "10");
}

TEST(NthExpressions, ParseOrFailAsSpecified)
{
    const std::pair<const char16_t*, HTMLNthExpression> cases[] = {
        {u"odd", {2, 1}},  {u" Odd ", {2, 1}}, {u"even", {2, 0}},  {u"2n+1", {2, 1}},  {u"-n+3", {-1, 3}},
        {u"n", {1, 0}},    {u"3", {0, 3}},     {u"-2n-1", {-2, -1}}, {u"2N", {2, 0}},   {u"+n", {0, 0}},
        {u"0", {0, 0}},    {u"2n+", {0, 0}},   {u"2n + 1", {0, 0}},  {u"1n2n", {0, 0}}, {u"a", {0, 0}},
        {u"- n+1", {0, 0}}, {u"", {0, 1}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(UTF8FromUTF16(text));
        EXPECT_EQ(HTMLNthExpressionFromString(text), expected);
    }
}

TEST(AttributeSelectors, CompareValuesExactly)
{
    auto root = makeElement(u"div");
    appendElement(root, u"a", {{u"id", u"en"}, {u"lang", u"en"}, {u"class", u"one two"}});
    appendElement(root, u"a", {{u"id", u"en-US"}, {u"lang", u"en-US"}, {u"href", u"/x.html"}});
    appendElement(root, u"a", {{u"id", u"english"}, {u"lang", u"english"}, {u"title", u""}});
    const std::pair<const char*, const char*> cases[] = {
        {"[lang|=en]", "a#en a#en-US"},
        {"[lang=en]", "a#en"},
        {"[lang='en']", "a#en"},
        {"[lang=\"EN\"]", ""},
        {"[lang^=en]", "a#en a#en-US a#english"},
        {"[lang$=US]", "a#en-US"},
        {"[lang*=gli]", "a#english"},
        {"[class~=two]", "a#en"},
        {"[class~='one two']", ""},
        {"[title]", "a#english"},
        {"[title='']", ""},
        {"[title=\"\"]", ""},
        {"[href$=\".html\"]", "a#en-US"},
        {"a.two", "a#en"},
        {"#en-US", "a#en-US"},
        {"a:link", "a#en-US"},
        {"[LANG]", ""},
    };
    for (const auto& [selector, expected] : cases) {
        SCOPED_TRACE(selector);
        EXPECT_EQ(select(root, selector), expected);
    }
}

TEST(PseudoClasses, FormStatesAndStructure)
{
    auto form = makeElement(u"form");
    auto fieldset = appendElement(form, u"fieldset", {{u"disabled", u""}});
    auto legend = appendElement(fieldset, u"legend");
    appendElement(legend, u"input", {{u"id", u"inLegend"}});
    appendElement(fieldset, u"button", {{u"id", u"inFieldset"}});
    auto select = appendElement(form, u"select");
    auto group = appendElement(select, u"optgroup", {{u"disabled", u""}});
    appendElement(group, u"option", {{u"id", u"grouped"}});
    appendElement(select, u"option", {{u"id", u"chosen"}, {u"selected", u""}});
    appendElement(form, u"input", {{u"id", u"off"}, {u"disabled", u""}, {u"checked", u""}});
    appendElement(form, u"textarea", {{u"id", u"on"}});
    appendText(appendElement(form, u"span", {{u"id", u"full"}}), u"x");
    auto empty = appendElement(form, u"span", {{u"id", u"blank"}});
    appendText(empty, u"");

    const std::pair<const char*, const char*> cases[] = {
        {"input:disabled, button:disabled, option:disabled, textarea:disabled", "button#inFieldset option#grouped input#off"},
        {"input:enabled, textarea:enabled, option:enabled", "input#inLegend option#chosen textarea#on"},
        {":checked", "option#chosen input#off"},
        {"span:empty", "span#blank"},
        {":root", "form"},
        {"a:hover, a:visited, a:focus, a:active", ""},
    };
    for (const auto& [selector, expected] : cases) {
        SCOPED_TRACE(selector);
        EXPECT_EQ(matchNames(form->nodesMatchingSelector(selector)), expected);
    }
}

TEST(SelectorIdentifiers, TakeEscapesAfterTheFirstCharacter)
{
    auto root = makeElement(u"div");
    appendElement(root, u"p", {{u"class", u"a b"}});
    appendElement(root, u"p", {{u"class", u"ab"}});
    appendElement(root, u"p", {{u"id", u"x:y"}});
    appendElement(root, u"p", {{u"id", u"\u00E9t\u00E9"}});
    EXPECT_EQ(select(root, ".a\\62"), "p");
    EXPECT_EQ(select(root, ".a\\62 "), "p");
    EXPECT_EQ(select(root, "#x\\:y"), "p#x:y");
    EXPECT_EQ(select(root, "#\u00E9t\u00E9"), "p#\u00E9t\u00E9");
    EXPECT_EQ(select(root, "#x\\3a y"), "p#x:y");
}

} // namespace
