#pragma once

#include "html/HTMLNthExpression.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class HTMLElement;

// A compiled piece of a selector: yes or no for an element.
using HTMLSelectorPredicate = std::function<bool(const HTMLElement&)>;

// A missing name or value (an identifier that was not there, an empty quoted
// value) makes an attribute predicate match nothing.
using HTMLSelectorName = std::optional<std::u16string>;

HTMLSelectorPredicate UniversalPredicate();
HTMLSelectorPredicate NeverPredicate();
// Tag names compared ignoring case.
HTMLSelectorPredicate TypeSelectorPredicate(std::u16string_view name);

HTMLSelectorPredicate AttributeExistsPredicate(HTMLSelectorName name);
HTMLSelectorPredicate AttributeEqualsPredicate(HTMLSelectorName name, HTMLSelectorName value);
HTMLSelectorPredicate AttributeContainsWordPredicate(HTMLSelectorName name, HTMLSelectorName value);
HTMLSelectorPredicate AttributeHasPrefixPredicate(HTMLSelectorName name, HTMLSelectorName value);
HTMLSelectorPredicate AttributeHasSuffixPredicate(HTMLSelectorName name, HTMLSelectorName value);
HTMLSelectorPredicate AttributeContainsSubstringPredicate(HTMLSelectorName name, HTMLSelectorName value);

HTMLSelectorPredicate AnyOfPredicates(std::vector<HTMLSelectorPredicate> predicates);
HTMLSelectorPredicate BothPredicates(HTMLSelectorPredicate first, HTMLSelectorPredicate second);
HTMLSelectorPredicate NegatedPredicate(HTMLSelectorPredicate predicate);

HTMLSelectorPredicate DescendantCombinatorPredicate(HTMLSelectorPredicate left);
HTMLSelectorPredicate ChildCombinatorPredicate(HTMLSelectorPredicate left);
HTMLSelectorPredicate AdjacentSiblingCombinatorPredicate(HTMLSelectorPredicate left);
HTMLSelectorPredicate GeneralSiblingCombinatorPredicate(HTMLSelectorPredicate left);

// Positions count 1-based among the parent element's element children (of
// them, those the compound matches for the of-type form); an element without
// a parent element has no position and never matches.
HTMLSelectorPredicate NthChildPredicate(HTMLNthExpression expression, bool fromEnd);
HTMLSelectorPredicate NthOfTypePredicate(HTMLNthExpression expression, HTMLSelectorPredicate compound, bool fromEnd);

HTMLSelectorPredicate DisabledPredicate();

// The pseudo-classes that take no argument and look only at the element:
// first-child, last-child, only-child, empty, root, link, visited, active,
// hover, focus, enabled, disabled, checked. Nothing for other names.
std::optional<HTMLSelectorPredicate> SimplePseudoClassPredicate(std::u16string_view lowercaseName);
