#include "html/HTMLSelectorPredicates.h"

#include "html/HTMLCodePoints.h"
#include "html/HTMLElement.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Predicates hold the predicates they are built from through shared pointers,
// so copying one costs the same however large it is (the of-type forms take
// the whole compound scanned so far).
using SharedPredicate = std::shared_ptr<const HTMLSelectorPredicate>;

SharedPredicate shared(HTMLSelectorPredicate predicate)
{
    return std::make_shared<const HTMLSelectorPredicate>(std::move(predicate));
}

// While an of-type or a descendant or sibling combinator test runs: the answers
// of the predicates it tried, by predicate and element. A chain of of-type
// pseudo-classes counts with compounds that count siblings in turn, and a chain
// of descendant combinators that fails tries every way of placing its steps
// on the ancestors; without the answers kept, the work would grow
// exponentially with the chain.
using CountingAnswers = std::map<std::pair<const HTMLSelectorPredicate*, const HTMLElement*>, bool>;
thread_local CountingAnswers* countingAnswers = nullptr;

class CountingScope {
public:
    CountingScope()
    {
        if (!countingAnswers)
            countingAnswers = &owned_.emplace();
    }
    ~CountingScope()
    {
        if (owned_)
            countingAnswers = nullptr;
    }
    CountingScope(const CountingScope&) = delete;
    CountingScope& operator=(const CountingScope&) = delete;

private:
    std::optional<CountingAnswers> owned_;
};

bool countedMatch(const HTMLSelectorPredicate& compound, const HTMLElement& sibling)
{
    const auto key = std::make_pair(&compound, &sibling);
    if (const auto found = countingAnswers->find(key); found != countingAnswers->end())
        return found->second;
    const bool answer = compound(sibling);
    countingAnswers->emplace(key, answer);
    return answer;
}

bool equalsIgnoringCase(std::u16string_view text, std::u16string_view lowercase)
{
    return std::equal(text.begin(), text.end(), lowercase.begin(), lowercase.end(),
                      [](char16_t a, char16_t b) { return ASCIILowercase(a) == b; });
}

bool isNamed(const HTMLElement& element, std::initializer_list<std::u16string_view> names)
{
    for (std::u16string_view name : names) {
        if (equalsIgnoringCase(element.tagName(), name))
            return true;
    }
    return false;
}

bool hasAttribute(const HTMLElement& element, std::u16string_view name)
{
    return element.objectForKeyedSubscript(name) != nullptr;
}

// An attribute test on the value; a missing name, value or attribute never matches.
template <typename Test>
HTMLSelectorPredicate attributeValuePredicate(HTMLSelectorName name, HTMLSelectorName value, Test test)
{
    if (!name || !value)
        return NeverPredicate();
    return [name = std::move(*name), value = std::move(*value), test](const HTMLElement& element) {
        const HTMLOrderedDictionary::String* actual = element.objectForKeyedSubscript(name);
        return actual && test(*actual, value);
    };
}

// The element children of the element's parent element, or nothing.
std::vector<const HTMLElement*> elementSiblings(const HTMLElement& element)
{
    std::vector<const HTMLElement*> siblings;
    const HTMLElement* parent = element.parentElement();
    if (!parent)
        return siblings;
    for (std::size_t i = 0; i < parent->numberOfChildren(); ++i) {
        const HTMLNode& child = *parent->childAtIndex(i);
        if (child.kind() == HTMLNode::Kind::Element)
            siblings.push_back(static_cast<const HTMLElement*>(&child));
    }
    return siblings;
}

// Whether n·k + c = position for some whole k >= 0.
bool matchesPosition(HTMLNthExpression expression, std::int64_t position)
{
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(position, expression.c, &difference))
        return false;
    if (expression.n == 0)
        return difference == 0;
    return difference % expression.n == 0 && difference / expression.n >= 0;
}

// The 1-based position among the siblings passing the filter, counted from
// either end, or 0 when the element has no parent element.
template <typename Filter>
std::int64_t positionAmongSiblings(const HTMLElement& element, bool fromEnd, Filter filter)
{
    const std::vector<const HTMLElement*> siblings = elementSiblings(element);
    std::int64_t position = 0;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        const HTMLElement* sibling = siblings[fromEnd ? siblings.size() - 1 - i : i];
        if (sibling == &element)
            return position + 1;
        if (filter(*sibling))
            ++position;
    }
    return 0;
}

bool hasAncestorNamedWithAttribute(const HTMLElement& element, std::u16string_view name, std::u16string_view attribute)
{
    for (const HTMLElement* ancestor = element.parentElement(); ancestor; ancestor = ancestor->parentElement()) {
        if (equalsIgnoringCase(ancestor->tagName(), name) && hasAttribute(*ancestor, attribute))
            return true;
    }
    return false;
}

// A legend that is the first legend among its siblings, inside a disabled
// fieldset, keeps its controls enabled.
bool isEnablingLegend(const HTMLElement& element)
{
    if (!equalsIgnoringCase(element.tagName(), u"legend"))
        return false;
    for (const HTMLElement* sibling : elementSiblings(element)) {
        if (equalsIgnoringCase(sibling->tagName(), u"legend"))
            return sibling == &element && hasAncestorNamedWithAttribute(element, u"fieldset", u"disabled");
    }
    return false;
}

bool isDisabled(const HTMLElement& element)
{
    const bool disabledAttribute = hasAttribute(element, u"disabled");
    if (isNamed(element, {u"optgroup", u"fieldset", u"menuitem"}))
        return disabledAttribute;
    if (isNamed(element, {u"button", u"input", u"select", u"textarea"})) {
        if (disabledAttribute)
            return true;
        if (!hasAncestorNamedWithAttribute(element, u"fieldset", u"disabled"))
            return false;
        for (const HTMLElement* ancestor = element.parentElement(); ancestor; ancestor = ancestor->parentElement()) {
            if (isEnablingLegend(*ancestor))
                return false;
        }
        return true;
    }
    if (isNamed(element, {u"option"}))
        return disabledAttribute || hasAncestorNamedWithAttribute(element, u"optgroup", u"disabled");
    return false;
}

bool isLink(const HTMLElement& element)
{
    return isNamed(element, {u"a", u"area", u"link"}) && hasAttribute(element, u"href");
}

bool isEnabled(const HTMLElement& element)
{
    if (isLink(element))
        return true;
    return isNamed(element, {u"button", u"input", u"select", u"textarea", u"optgroup", u"option", u"menuitem", u"fieldset"}) &&
           !isDisabled(element);
}

bool isEmpty(const HTMLElement& element)
{
    for (std::size_t i = 0; i < element.numberOfChildren(); ++i) {
        const HTMLNode& child = *element.childAtIndex(i);
        if (child.kind() == HTMLNode::Kind::Element)
            return false;
        if (child.kind() == HTMLNode::Kind::Text && !static_cast<const HTMLTextNode&>(child).data().empty())
            return false;
    }
    return true;
}

const std::map<std::u16string_view, HTMLSelectorPredicate>& simplePseudoClassTable()
{
    // Built once, on first use; the initialisation of a local static is thread-safe.
    static const std::map<std::u16string_view, HTMLSelectorPredicate> table = {
        {u"first-child", NthChildPredicate({0, 1}, false)},
        {u"last-child", NthChildPredicate({0, 1}, true)},
        {u"only-child",
         [](const HTMLElement& element) { return element.parentElement() && elementSiblings(element).size() == 1; }},
        {u"empty", isEmpty},
        {u"root", [](const HTMLElement& element) { return element.parentElement() == nullptr; }},
        {u"link", isLink},
        {u"visited", NeverPredicate()},
        {u"active", NeverPredicate()},
        {u"hover", NeverPredicate()},
        {u"focus", NeverPredicate()},
        {u"enabled", isEnabled},
        {u"disabled", isDisabled},
        {u"checked",
         [](const HTMLElement& element) { return hasAttribute(element, u"checked") || hasAttribute(element, u"selected"); }},
    };
    return table;
}

} // namespace

HTMLSelectorPredicate UniversalPredicate()
{
    return [](const HTMLElement&) { return true; };
}

HTMLSelectorPredicate NeverPredicate()
{
    return [](const HTMLElement&) { return false; };
}

HTMLSelectorPredicate TypeSelectorPredicate(std::u16string_view name)
{
    if (name == u"*")
        return UniversalPredicate();
    std::u16string lowercase(name);
    for (char16_t& c : lowercase)
        c = static_cast<char16_t>(ASCIILowercase(c));
    return [lowercase = std::move(lowercase)](const HTMLElement& element) {
        return equalsIgnoringCase(element.tagName(), lowercase);
    };
}

HTMLSelectorPredicate AttributeExistsPredicate(HTMLSelectorName name)
{
    if (!name)
        return NeverPredicate();
    return [name = std::move(*name)](const HTMLElement& element) { return hasAttribute(element, name); };
}

HTMLSelectorPredicate AttributeEqualsPredicate(HTMLSelectorName name, HTMLSelectorName value)
{
    return attributeValuePredicate(std::move(name), std::move(value),
                                   [](std::u16string_view actual, std::u16string_view wanted) { return actual == wanted; });
}

HTMLSelectorPredicate AttributeContainsWordPredicate(HTMLSelectorName name, HTMLSelectorName value)
{
    return attributeValuePredicate(std::move(name), std::move(value), [](std::u16string_view actual, std::u16string_view wanted) {
        return ContainsHTMLWhitespaceSeparatedWord(actual, wanted);
    });
}

HTMLSelectorPredicate AttributeHasPrefixPredicate(HTMLSelectorName name, HTMLSelectorName value)
{
    return attributeValuePredicate(std::move(name), std::move(value), [](std::u16string_view actual, std::u16string_view wanted) {
        return actual.starts_with(wanted);
    });
}

HTMLSelectorPredicate AttributeHasSuffixPredicate(HTMLSelectorName name, HTMLSelectorName value)
{
    return attributeValuePredicate(std::move(name), std::move(value), [](std::u16string_view actual, std::u16string_view wanted) {
        return actual.ends_with(wanted);
    });
}

HTMLSelectorPredicate AttributeContainsSubstringPredicate(HTMLSelectorName name, HTMLSelectorName value)
{
    return attributeValuePredicate(std::move(name), std::move(value), [](std::u16string_view actual, std::u16string_view wanted) {
        return actual.find(wanted) != std::u16string_view::npos;
    });
}

HTMLSelectorPredicate AnyOfPredicates(std::vector<HTMLSelectorPredicate> predicates)
{
    auto list = std::make_shared<const std::vector<HTMLSelectorPredicate>>(std::move(predicates));
    return [list = std::move(list)](const HTMLElement& element) {
        for (const auto& predicate : *list) {
            if (predicate(element))
                return true;
        }
        return false;
    };
}

HTMLSelectorPredicate BothPredicates(HTMLSelectorPredicate first, HTMLSelectorPredicate second)
{
    if (!first || !second)
        return NeverPredicate();
    return [first = shared(std::move(first)), second = shared(std::move(second))](const HTMLElement& element) {
        return (*first)(element) && (*second)(element);
    };
}

HTMLSelectorPredicate NegatedPredicate(HTMLSelectorPredicate predicate)
{
    return [predicate = shared(std::move(predicate))](const HTMLElement& element) { return !(*predicate)(element); };
}

HTMLSelectorPredicate DescendantCombinatorPredicate(HTMLSelectorPredicate left)
{
    return [left = shared(std::move(left))](const HTMLElement& element) {
        CountingScope scope;
        for (const HTMLElement* ancestor = element.parentElement(); ancestor; ancestor = ancestor->parentElement()) {
            if (countedMatch(*left, *ancestor))
                return true;
        }
        return false;
    };
}

HTMLSelectorPredicate ChildCombinatorPredicate(HTMLSelectorPredicate left)
{
    return [left = shared(std::move(left))](const HTMLElement& element) {
        const HTMLElement* parent = element.parentElement();
        return parent && (*left)(*parent);
    };
}

HTMLSelectorPredicate AdjacentSiblingCombinatorPredicate(HTMLSelectorPredicate left)
{
    return [left = shared(std::move(left))](const HTMLElement& element) {
        const HTMLElement* previous = nullptr;
        for (const HTMLElement* sibling : elementSiblings(element)) {
            if (sibling == &element)
                return previous && (*left)(*previous);
            previous = sibling;
        }
        return false;
    };
}

HTMLSelectorPredicate GeneralSiblingCombinatorPredicate(HTMLSelectorPredicate left)
{
    return [left = shared(std::move(left))](const HTMLElement& element) {
        CountingScope scope;
        for (const HTMLElement* sibling : elementSiblings(element)) {
            if (sibling == &element)
                return false;
            if (countedMatch(*left, *sibling))
                return true;
        }
        return false;
    };
}

HTMLSelectorPredicate NthChildPredicate(HTMLNthExpression expression, bool fromEnd)
{
    return [expression, fromEnd](const HTMLElement& element) {
        const std::int64_t position = positionAmongSiblings(element, fromEnd, [](const HTMLElement&) { return true; });
        return position > 0 && matchesPosition(expression, position);
    };
}

HTMLSelectorPredicate NthOfTypePredicate(HTMLNthExpression expression, HTMLSelectorPredicate compound, bool fromEnd)
{
    return [expression, compound = shared(std::move(compound)), fromEnd](const HTMLElement& element) {
        CountingScope scope;
        const std::int64_t position = positionAmongSiblings(
            element, fromEnd, [&](const HTMLElement& sibling) { return countedMatch(*compound, sibling); });
        return position > 0 && matchesPosition(expression, position);
    };
}

HTMLSelectorPredicate DisabledPredicate()
{
    return isDisabled;
}

std::optional<HTMLSelectorPredicate> SimplePseudoClassPredicate(std::u16string_view lowercaseName)
{
    const auto& table = simplePseudoClassTable();
    const auto entry = table.find(lowercaseName);
    if (entry == table.end())
        return std::nullopt;
    return entry->second;
}
