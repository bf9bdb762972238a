// Writing nodes back as HTML (after the fragment serialization algorithm) and
// describing them for debugging. Both walk the tree with an explicit stack so
// any depth of nesting serializes.
#include "html/HTMLComment.h"
#include "html/HTMLDocument.h"
#include "html/HTMLDocumentType.h"
#include "html/HTMLElement.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLUTF8.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::array<std::u16string_view, 19> voidElements = {
    u"area", u"base", u"basefont", u"bgsound", u"br", u"col", u"embed", u"frame", u"hr", u"img",
    u"input", u"keygen", u"link", u"menuitem", u"meta", u"param", u"source", u"track", u"wbr",
};

constexpr std::array<std::u16string_view, 8> rawTextElements = {
    u"style", u"script", u"xmp", u"iframe", u"noembed", u"noframes", u"plaintext", u"noscript",
};

template <std::size_t N>
bool isOneOf(std::u16string_view name, const std::array<std::u16string_view, N>& names)
{
    for (std::u16string_view candidate : names) {
        if (candidate == name)
            return true;
    }
    return false;
}

void appendEscaped(std::u16string& out, std::u16string_view text, bool attributeMode)
{
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'\u00A0': out += u"&nbsp;"; break;
        case u'"':
            if (attributeMode)
                out += u"&quot;";
            else
                out += c;
            break;
        case u'<':
            if (attributeMode)
                out += c;
            else
                out += u"&lt;";
            break;
        case u'>':
            if (attributeMode)
                out += c;
            else
                out += u"&gt;";
            break;
        default: out += c;
        }
    }
}

// Writes what comes before a node's contents; false when its contents are not written.
bool appendOpening(std::u16string& out, const HTMLNode& node)
{
    if (node.kind() == HTMLNode::Kind::Document)
        return true;
    if (node.kind() != HTMLNode::Kind::Element) {
        out += node.serializedFragment();
        return false;
    }
    const auto& element = static_cast<const HTMLElement&>(node);
    out += u'<';
    out += element.tagName();
    for (const auto& [name, value] : element.attributes()) {
        out += u' ';
        out += name == u"xmlns:xmlns" ? std::u16string_view(u"xmlns") : std::u16string_view(name);
        out += u"=\"";
        appendEscaped(out, value, true);
        out += u'"';
    }
    out += u'>';
    if (isOneOf(element.tagName(), voidElements))
        return false;
    const std::u16string& tag = element.tagName();
    if ((tag == u"pre" || tag == u"textarea" || tag == u"listing") && element.numberOfChildren() > 0) {
        const HTMLNode& first = *element.childAtIndex(0);
        if (first.kind() == HTMLNode::Kind::Text && static_cast<const HTMLTextNode&>(first).data().starts_with(u'\n'))
            out += u'\n';
    }
    return true;
}

void appendClosing(std::u16string& out, const HTMLNode& node)
{
    if (node.kind() != HTMLNode::Kind::Element)
        return;
    out += u"</";
    out += static_cast<const HTMLElement&>(node).tagName();
    out += u'>';
}

// The node itself, or with `childrenOnly` just its contents.
std::u16string serialize(const HTMLNode& top, bool childrenOnly)
{
    std::u16string out;
    struct Frame {
        const HTMLNode* node;
        std::size_t next;
    };
    std::vector<Frame> stack;
    if (childrenOnly || appendOpening(out, top))
        stack.push_back({&top, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < frame.node->numberOfChildren()) {
            const HTMLNode& child = *frame.node->childAtIndex(frame.next++);
            if (appendOpening(out, child))
                stack.push_back({&child, 0});
            continue;
        }
        const HTMLNode* finished = frame.node;
        stack.pop_back();
        if (!(childrenOnly && finished == &top))
            appendClosing(out, *finished);
    }
    return out;
}

std::string descriptionPrefix(const char* className, const void* address)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "<%s: %p", className, address);
    return buffer;
}

// Data of 38 units or more is cut to its first 37 and an ellipsis.
std::string abbreviated(std::u16string_view data)
{
    if (data.size() < 38)
        return UTF8FromUTF16(data);
    return UTF8FromUTF16(data.substr(0, 37)) + "\u2026";
}

} // namespace

std::u16string HTMLNode::innerHTML() const
{
    return serialize(*this, true);
}

std::u16string HTMLDocument::serializedFragment() const
{
    return innerHTML();
}

std::u16string HTMLElement::serializedFragment() const
{
    return serialize(*this, false);
}

std::u16string HTMLDocumentType::serializedFragment() const
{
    return u"<!DOCTYPE " + name_ + u">";
}

std::u16string HTMLComment::serializedFragment() const
{
    return u"<!--" + data_ + u"-->";
}

std::u16string HTMLTextNode::serializedFragment() const
{
    const HTMLElement* parent = parentElement();
    if (parent && isOneOf(parent->tagName(), rawTextElements))
        return std::u16string(data_);
    std::u16string out;
    appendEscaped(out, data_, false);
    return out;
}

std::string HTMLDocument::description() const
{
    return descriptionPrefix("HTMLDocument", this) + ">";
}

std::string HTMLDocumentType::description() const
{
    std::string text = descriptionPrefix("HTMLDocumentType", this) + " <!DOCTYPE";
    if (!name_.empty())
        text += " " + UTF8FromUTF16(name_);
    if (!publicIdentifier_.empty() || !systemIdentifier_.empty())
        text += " \"" + UTF8FromUTF16(publicIdentifier_) + "\" \"" + UTF8FromUTF16(systemIdentifier_) + "\"";
    return text + "> >";
}

std::string HTMLElement::description() const
{
    std::string text = descriptionPrefix("HTMLElement", this) + " <";
    if (htmlNamespace() == HTMLNamespace::MathML)
        text += "math ";
    else if (htmlNamespace() == HTMLNamespace::SVG)
        text += "svg ";
    text += UTF8FromUTF16(tagName());
    for (const auto& [name, value] : attributes_)
        text += " " + UTF8FromUTF16(name) + "=\"" + UTF8FromUTF16(value) + "\"";
    const std::size_t count = numberOfChildren();
    return text + "> " + std::to_string(count) + (count == 1 ? " child>" : " children>");
}

std::string HTMLTextNode::description() const
{
    return descriptionPrefix("HTMLTextNode", this) + " '" + abbreviated(data_) + "'>";
}

std::string HTMLComment::description() const
{
    return descriptionPrefix("HTMLComment", this) + " <!-- " + abbreviated(data_) + " --> >";
}

std::string HTMLNode::recursiveDescription() const
{
    std::string text;
    std::vector<std::pair<const HTMLNode*, std::size_t>> pending{{this, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (depth > 0)
            text += "\n|" + std::string(4 * depth, ' ');
        text += node->description();
        for (std::size_t i = node->numberOfChildren(); i-- > 0;)
            pending.emplace_back(node->childAtIndex(i).get(), depth + 1);
    }
    return text;
}
