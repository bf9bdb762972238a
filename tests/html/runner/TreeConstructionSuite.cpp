#include "TreeConstructionSuite.h"

#include "html/HTMLComment.h"
#include "html/HTMLDocument.h"
#include "html/HTMLDocumentType.h"
#include "html/HTMLElement.h"
#include "html/HTMLParser.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLUTF8.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

struct TreeTest {
    int line = 0; // of "#data"
    std::string data;
    std::optional<std::string> fragmentContext;
    bool scriptOff = false;
    std::vector<std::string> documentLines;
};

// One node of an expected tree: its depth below the document and its line
// without the "| " prefix and indentation (the first line of a text node).
struct ExpectedNode {
    std::size_t depth = 0;
    std::string text;
};

std::vector<TreeTest> readTests(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<TreeTest> tests;
    enum class Section { None, Data, Errors, Fragment, Document } section = Section::None;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line == "#data" && (section == Section::None || section == Section::Document)) {
            tests.emplace_back();
            tests.back().line = number;
            section = Section::Data;
        } else if (tests.empty()) {
            continue;
        } else if (section == Section::Data && line != "#errors") {
            TreeTest& test = tests.back();
            test.data += (number == test.line + 1 ? "" : "\n") + line;
        } else if (line == "#errors" || line == "#new-errors") {
            section = Section::Errors;
        } else if (line == "#document-fragment") {
            section = Section::Fragment;
        } else if (line == "#script-off" || line == "#script-on") {
            tests.back().scriptOff = line == "#script-off";
        } else if (line == "#document") {
            section = Section::Document;
        } else if (section == Section::Fragment) {
            tests.back().fragmentContext = line;
        } else if (section == Section::Document) {
            tests.back().documentLines.push_back(line);
        }
    }
    // The blank line that separates two tests is not part of the tree.
    for (TreeTest& test : tests) {
        while (!test.documentLines.empty() && test.documentLines.back().empty())
            test.documentLines.pop_back();
    }
    return tests;
}

std::vector<ExpectedNode> expectedNodes(const TreeTest& test)
{
    std::vector<ExpectedNode> nodes;
    for (const std::string& line : test.documentLines) {
        if (!line.starts_with("| "))
            continue;
        const std::size_t indentation = line.find_first_not_of(' ', 2);
        if (indentation != std::string::npos)
            nodes.push_back({(indentation - 2) / 2, line.substr(indentation)});
    }
    return nodes;
}

bool isElementLine(const std::string& text)
{
    return text.starts_with("<") && !text.starts_with("<!");
}

bool isHTMLElementLine(const std::string& text)
{
    return isElementLine(text) && !text.starts_with("<svg ") && !text.starts_with("<math ");
}

// The start tags that break out of foreign content into HTML, as expected-tree lines.
const std::vector<std::string_view>& breakoutElements()
{
    static const std::vector<std::string_view> elements = {
        "<b>",     "<big>",  "<blockquote>", "<body>", "<br>",  "<center>", "<code>",    "<dd>",    "<div>",
        "<dl>",    "<dt>",   "<em>",         "<embed>", "<h1>", "<h2>",     "<h3>",      "<h4>",    "<h5>",
        "<h6>",    "<head>", "<hr>",         "<i>",    "<img>", "<li>",     "<listing>", "<menu>",  "<meta>",
        "<nobr>",  "<ol>",   "<p>",          "<pre>",  "<ruby>", "<s>",     "<small>",   "<span>",  "<strong>",
        "<strike>", "<sub>", "<sup>",        "<table>", "<tt>", "<u>",      "<ul>",      "<var>",   "<font>",
    };
    return elements;
}

// Whether the expected tree holds one of the HTML elements right after a sibling svg or math element:
// where an element ends up that left foreign content by popping it.
bool hasHTMLElementAfterForeignElement(const TreeTest& test, const std::vector<std::string_view>& elements)
{
    std::vector<std::string> previousSiblings;
    for (const ExpectedNode& node : expectedNodes(test)) {
        previousSiblings.resize(node.depth + 1);
        const std::string& previous = previousSiblings[node.depth];
        if ((previous.starts_with("<svg ") || previous.starts_with("<math "))
            && std::find(elements.begin(), elements.end(), node.text) != elements.end())
            return true;
        previousSiblings[node.depth] = node.text;
    }
    return false;
}

bool hasExpectedElement(const TreeTest& test, std::initializer_list<std::string_view> elements)
{
    const std::vector<ExpectedNode> nodes = expectedNodes(test);
    return std::any_of(nodes.begin(), nodes.end(), [&](const ExpectedNode& node) {
        return std::find(elements.begin(), elements.end(), node.text) != elements.end();
    });
}

// Whether the expected tree holds one of the elements inside the container:
// as its child, or anywhere below it.
bool hasExpectedElementInside(const TreeTest& test, std::initializer_list<std::string_view> elements,
                              std::string_view container, bool childOnly)
{
    std::vector<std::string> ancestors;
    for (const ExpectedNode& node : expectedNodes(test)) {
        ancestors.resize(std::min(ancestors.size(), node.depth));
        const bool inside = childOnly ? !ancestors.empty() && ancestors.back() == container
                                      : std::find(ancestors.begin(), ancestors.end(), container) != ancestors.end();
        if (inside && std::find(elements.begin(), elements.end(), node.text) != elements.end())
            return true;
        ancestors.push_back(node.text);
    }
    return false;
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

bool equalIgnoringASCIICase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool containsIgnoringASCIICase(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char x, char y) { return asciiLower(x) == asciiLower(y); })
        != text.end();
}

// Whether the markup holds a start tag of one of the elements (given as expected-tree lines, "<b>").
bool hasStartTag(std::string_view data, const std::vector<std::string_view>& elements)
{
    std::string lower(data);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    for (std::string_view element : elements) {
        const std::string tag(element.substr(0, element.size() - 1));
        for (std::size_t at = lower.find(tag); at != std::string::npos; at = lower.find(tag, at + 1)) {
            const std::size_t end = at + tag.size();
            if (end == lower.size() || std::string_view(" \t\n\f\r/>").find(lower[end]) != std::string_view::npos)
                return true;
        }
    }
    return false;
}

// Whether some noscript element of the markup holds more than white space:
// only then does the scripting flag change the tree.
bool hasNoscriptContent(std::string_view data)
{
    std::string lower(data);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    for (std::size_t start = lower.find("<noscript"); start != std::string::npos; start = lower.find("<noscript", start + 1)) {
        const std::size_t contentStart = lower.find('>', start);
        if (contentStart == std::string::npos)
            return false;
        const std::size_t contentEnd = std::min(lower.find("</noscript", contentStart), lower.size());
        if (lower.find_first_not_of(" \t\n\f\r", contentStart + 1) < contentEnd)
            return true;
    }
    return false;
}

// The departures of our parser from the current standard, each as a
// predicate on a test.
struct SkipRule {
    std::string name;
    std::function<bool(const TreeTest&)> applies;
};

const std::vector<SkipRule>& skipRules()
{
    static const std::vector<SkipRule> rules = {
        {"scripting is always on (#script-off test with other than white space inside noscript)",
         [](const TreeTest& test) { return test.scriptOff && hasNoscriptContent(test.data); }},
        {"no template insertion mode (expected tree holds template contents)",
         [](const TreeTest& test) {
             const std::vector<ExpectedNode> nodes = expectedNodes(test);
             return test.fragmentContext == "template"
                 || std::any_of(nodes.begin(), nodes.end(),
                                [](const ExpectedNode& node) { return node.depth > 0 && node.text == "content"; });
         }},
        {"no search element (expected tree holds <search>)",
         [](const TreeTest& test) { return test.fragmentContext == "search" || hasExpectedElement(test, {"<search>"}); }},
        {"rb and rtc are ordinary elements (expected tree holds rb, rtc, rt or rp after a sibling that only the "
         "current lists close)",
         [](const TreeTest& test) {
             std::vector<std::string> previousSiblings;
             for (const ExpectedNode& node : expectedNodes(test)) {
                 previousSiblings.resize(node.depth + 1);
                 const std::string& previous = previousSiblings[node.depth];
                 const bool closesAnyRubyPart = (node.text == "<rb>" || node.text == "<rtc>")
                     && (previous == "<rb>" || previous == "<rtc>" || previous == "<rt>" || previous == "<rp>");
                 const bool closesRb = (node.text == "<rt>" || node.text == "<rp>") && previous == "<rb>";
                 if (closesAnyRubyPart || closesRb)
                     return true;
                 previousSiblings[node.depth] = node.text;
             }
             return false;
         }},
        {"no foreign attribute adjustment (expected tree holds an xlink, xml or xmlns attribute)",
         [](const TreeTest& test) {
             const std::vector<ExpectedNode> nodes = expectedNodes(test);
             return std::any_of(nodes.begin(), nodes.end(), [](const ExpectedNode& node) {
                 return node.text.starts_with("xlink ") || node.text.starts_with("xml ")
                     || node.text.starts_with("xmlns ");
             });
         }},
        {"no hr in select (expected tree holds <hr> inside <select>)",
         [](const TreeTest& test) { return hasExpectedElementInside(test, {"<hr>"}, "<select>", false); }},
        {"earlier element lists: menuitem handled (expected tree holds <menuitem>, <menu> or <hr> as a child of "
         "<menuitem>)",
         [](const TreeTest& test) {
             return hasExpectedElementInside(test, {"<menuitem>", "<menu>", "<hr>"}, "<menuitem>", true);
         }},
        {"earlier breakout rule in fragments (an SVG or MathML fragment whose markup has a breakout start tag, "
         "which the current standard may drop; or a fragment whose expected tree holds a breakout element just "
         "after an svg or math element)",
         [](const TreeTest& test) {
             if (!test.fragmentContext)
                 return false;
             const std::string& context = *test.fragmentContext;
             const bool foreign = (context.starts_with("svg ") && context != "svg foreignObject" && context != "svg desc"
                                   && context != "svg title")
                 || (context.starts_with("math ") && context != "math mi" && context != "math mo"
                     && context != "math mn" && context != "math ms" && context != "math mtext");
             const std::vector<ExpectedNode> nodes = expectedNodes(test);
             const bool atTheTop = std::any_of(nodes.begin(), nodes.end(), [](const ExpectedNode& node) {
                 return node.depth == 0 && isHTMLElementLine(node.text);
             });
             // A dropped breakout tag (body, head) leaves no trace in the expected tree: the markup tells it.
             return (foreign && (atTheTop || hasStartTag(test.data, breakoutElements())))
                 || hasHTMLElementAfterForeignElement(test, breakoutElements());
         }},
        {"p and br end tags in foreign content take the general end-tag steps (expected tree holds a p or br "
         "element just after an svg or math element, and the markup has a p or br end tag)",
         [](const TreeTest& test) {
             return (containsIgnoringASCIICase(test.data, "</p") || containsIgnoringASCIICase(test.data, "</br"))
                 && hasHTMLElementAfterForeignElement(test, {"<p>", "<br>"});
         }},
        {"no feDropShadow in the SVG tag-name table (expected tree holds <svg feDropShadow>)",
         [](const TreeTest& test) { return hasExpectedElement(test, {"<svg feDropShadow>"}); }},
        {"quirks identifiers compared with their case (expected tree holds a DOCTYPE whose public identifier is a "
         "whole quirks identifier in other letter case)",
         [](const TreeTest& test) {
             const std::vector<ExpectedNode> nodes = expectedNodes(test);
             return std::any_of(nodes.begin(), nodes.end(), [](const ExpectedNode& node) {
                 const std::size_t open = node.text.find(" \"");
                 if (!node.text.starts_with("<!DOCTYPE ") || open == std::string::npos)
                     return false;
                 const std::size_t close = node.text.find('"', open + 2);
                 const std::string publicIdentifier = node.text.substr(open + 2, close - open - 2);
                 for (std::string_view quirks :
                      {"-//W3O//DTD W3 HTML Strict 3.0//EN//", "-/W3C/DTD HTML 4.0 Transitional/EN", "HTML"}) {
                     if (publicIdentifier != quirks && equalIgnoringASCIICase(publicIdentifier, quirks))
                         return true;
                 }
                 return false;
             });
         }},
        {"a nameless DOCTYPE is named html (expected tree holds a DOCTYPE without a name)",
         [](const TreeTest& test) {
             const std::vector<ExpectedNode> nodes = expectedNodes(test);
             return std::any_of(nodes.begin(), nodes.end(), [](const ExpectedNode& node) {
                 return node.text.starts_with("<!DOCTYPE >") || node.text.starts_with("<!DOCTYPE  ");
             });
         }},
    };
    return rules;
}

std::string utf8(std::u16string_view text)
{
    return UTF8FromUTF16(text);
}

std::string elementLine(const HTMLElement& element)
{
    switch (element.htmlNamespace()) {
    case HTMLNamespace::SVG:
        return "<svg " + utf8(element.tagName()) + ">";
    case HTMLNamespace::MathML:
        return "<math " + utf8(element.tagName()) + ">";
    case HTMLNamespace::HTML:
        break;
    }
    return "<" + utf8(element.tagName()) + ">";
}

std::string doctypeLine(const HTMLDocumentType& doctype)
{
    std::string line = "<!DOCTYPE " + utf8(doctype.name());
    if (!doctype.publicIdentifier().empty() || !doctype.systemIdentifier().empty())
        line += " \"" + utf8(doctype.publicIdentifier()) + "\" \"" + utf8(doctype.systemIdentifier()) + "\"";
    return line + ">";
}

// The document's children in the html5lib format, one node per line (text
// keeps its line breaks). Walks with its own stack: trees may be deep.
std::vector<std::string> dumpTree(const HTMLNode& document)
{
    std::vector<std::string> lines;
    std::vector<std::pair<const HTMLNode*, std::size_t>> pending;
    for (std::size_t i = document.numberOfChildren(); i-- > 0;)
        pending.emplace_back(document.childAtIndex(i).get(), 0);
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        const std::string indentation = "| " + std::string(depth * 2, ' ');
        switch (node->kind()) {
        case HTMLNode::Kind::Element: {
            const auto& element = static_cast<const HTMLElement&>(*node);
            lines.push_back(indentation + elementLine(element));
            std::vector<std::pair<std::u16string, std::u16string>> attributes(element.attributes().begin(),
                                                                              element.attributes().end());
            std::sort(attributes.begin(), attributes.end());
            for (const auto& [name, value] : attributes)
                lines.push_back(indentation + "  " + utf8(name) + "=\"" + utf8(value) + "\"");
            break;
        }
        case HTMLNode::Kind::Text:
            lines.push_back(indentation + "\"" + utf8(static_cast<const HTMLTextNode&>(*node).data()) + "\"");
            break;
        case HTMLNode::Kind::Comment:
            lines.push_back(indentation + "<!-- " + utf8(static_cast<const HTMLComment&>(*node).data()) + " -->");
            break;
        case HTMLNode::Kind::DocumentType:
            lines.push_back(indentation + doctypeLine(static_cast<const HTMLDocumentType&>(*node)));
            break;
        case HTMLNode::Kind::Document:
            break;
        }
        for (std::size_t i = node->numberOfChildren(); i-- > 0;)
            pending.emplace_back(node->childAtIndex(i).get(), depth + 1);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::shared_ptr<HTMLElement> contextElement(const std::string& context)
{
    auto element = [](std::string_view name, HTMLNamespace ns) {
        auto created = std::make_shared<HTMLElement>(UTF16FromUTF8(name));
        created->setHtmlNamespace(ns);
        return created;
    };
    if (context.starts_with("svg "))
        return element(std::string_view(context).substr(4), HTMLNamespace::SVG);
    if (context.starts_with("math "))
        return element(std::string_view(context).substr(5), HTMLNamespace::MathML);
    return element(context, HTMLNamespace::HTML);
}

std::vector<std::string> parsedTree(const TreeTest& test)
{
    std::shared_ptr<HTMLElement> context = test.fragmentContext ? contextElement(*test.fragmentContext) : nullptr;
    HTMLParser parser(UTF16FromUTF8(test.data), {}, context);
    return dumpTree(*parser.document());
}

} // namespace

void RunTreeConstructionFile(const std::filesystem::path& path, SuiteStats& stats)
{
    for (const SkipRule& rule : skipRules())
        stats.skipsByRule.try_emplace(rule.name, 0);
    for (const TreeTest& test : readTests(path)) {
        const auto rule = std::find_if(skipRules().begin(), skipRules().end(),
                                       [&](const SkipRule& candidate) { return candidate.applies(test); });
        if (rule != skipRules().end()) {
            stats.skip(rule->name);
            continue;
        }
        const std::string expected = joined(test.documentLines);
        const std::string actual = joined(parsedTree(test));
        if (actual == expected) {
            ++stats.passed;
            continue;
        }
        ++stats.failed;
        std::cout << "FAIL " << path.filename().string() << ":" << test.line << "\n#data\n"
                  << test.data << "\n#context " << test.fragmentContext.value_or("(document)") << "\n#expected\n"
                  << expected << "#actual\n"
                  << actual << "\n";
    }
}
