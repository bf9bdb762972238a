#include "html/HTMLSelector.h"

#include "html/HTMLElement.h"
#include "html/HTMLTreeEnumerator.h"
#include "html/HTMLUTF8.h"

#include <cstdio>
#include <stdexcept>

std::string HTMLSelectorError::description() const
{
    return std::string(domain) + " " + std::to_string(code) + ": " + localizedFailureReason;
}

HTMLSelector::HTMLSelector() : HTMLSelector(std::u16string()) {}

HTMLSelector::HTMLSelector(std::u16string string) : string_(std::move(string))
{
    predicate_ = SelectorFunctionForString(string_, error_);
}

HTMLSelector HTMLSelector::selectorForString(std::u16string_view string)
{
    return HTMLSelector(std::u16string(string));
}

HTMLSelector HTMLSelector::selectorForString(std::string_view utf8)
{
    return HTMLSelector(UTF16FromUTF8(utf8));
}

bool HTMLSelector::matchesElement(const HTMLElement& element) const
{
    return predicate_ && predicate_(element);
}

std::string HTMLSelector::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    if (error_)
        return "<HTMLSelector: " + std::string(address) + " ERROR: '" + error_->description() + "'>";
    return "<HTMLSelector: " + std::string(address) + " '" + UTF8FromUTF16(string_) + "'>";
}

namespace {

// Calls `found` with each matching element of the subtree in document order
// until it answers false.
template <typename Found>
void searchSubtree(const HTMLNode& node, const HTMLSelector& selector, Found found)
{
    if (selector.error())
        throw std::invalid_argument("Attempted to use selector with error: " + selector.error()->description());
    HTMLTreeEnumerator walk = node.treeEnumerator();
    while (auto candidate = walk.nextObject()) {
        if (candidate->kind() != HTMLNode::Kind::Element)
            continue;
        auto element = std::static_pointer_cast<HTMLElement>(candidate);
        if (selector.predicate()(*element) && !found(std::move(element)))
            return;
    }
}

} // namespace

std::vector<std::shared_ptr<HTMLElement>> HTMLNode::nodesMatchingSelector(std::u16string_view selector) const
{
    return nodesMatchingParsedSelector(HTMLSelector::selectorForString(selector));
}

std::vector<std::shared_ptr<HTMLElement>> HTMLNode::nodesMatchingSelector(std::string_view selectorUTF8) const
{
    return nodesMatchingParsedSelector(HTMLSelector::selectorForString(selectorUTF8));
}

std::shared_ptr<HTMLElement> HTMLNode::firstNodeMatchingSelector(std::u16string_view selector) const
{
    return firstNodeMatchingParsedSelector(HTMLSelector::selectorForString(selector));
}

std::shared_ptr<HTMLElement> HTMLNode::firstNodeMatchingSelector(std::string_view selectorUTF8) const
{
    return firstNodeMatchingParsedSelector(HTMLSelector::selectorForString(selectorUTF8));
}

std::vector<std::shared_ptr<HTMLElement>> HTMLNode::nodesMatchingParsedSelector(const HTMLSelector& selector) const
{
    std::vector<std::shared_ptr<HTMLElement>> matches;
    searchSubtree(*this, selector, [&](std::shared_ptr<HTMLElement> element) {
        matches.push_back(std::move(element));
        return true;
    });
    return matches;
}

std::shared_ptr<HTMLElement> HTMLNode::firstNodeMatchingParsedSelector(const HTMLSelector& selector) const
{
    std::shared_ptr<HTMLElement> first;
    searchSubtree(*this, selector, [&](std::shared_ptr<HTMLElement> element) {
        first = std::move(element);
        return false;
    });
    return first;
}
