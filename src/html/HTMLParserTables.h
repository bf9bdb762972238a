#pragma once

#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"
#include "html/HTMLToken.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

// The element categories and name tables of the tree construction.

inline bool IsOneOf(std::u16string_view name, std::initializer_list<std::u16string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool EqualIgnoringASCIICase(std::u16string_view a, std::u16string_view b);

// The special category (without "keygen" and "search"), plus the MathML and
// SVG elements that bound a scope.
bool IsSpecialElement(const HTMLElement& element);
// MathML "mi", "mo", "mn", "ms" and "mtext".
bool IsMathMLTextIntegrationPoint(const HTMLElement& element);
// MathML "annotation-xml" with an HTML encoding; SVG "foreignObject", "desc" and "title".
bool IsHTMLIntegrationPoint(const HTMLElement& element);

// "definitionurl" becomes "definitionURL", in place.
void AdjustMathMLAttributes(HTMLTagToken& tag);
// The SVG attribute names with their mixed case restored, order kept.
void AdjustSVGAttributes(HTMLTagToken& tag);
// The SVG tag name with its mixed case restored, or the name as it is.
std::u16string_view AdjustedSVGTagName(std::u16string_view tagName);

// Start tags that leave foreign content for HTML ("font" only with
// "color", "face" or "size").
bool IsForeignContentBreakoutStartTag(const HTMLStartTagToken& tag);

// Whether a DOCTYPE is other than the plain one or an obsolete permitted one.
bool IsDOCTYPEParseError(const HTMLDOCTYPEToken& doctype);
HTMLQuirksMode QuirksModeForDOCTYPE(const HTMLDOCTYPEToken& doctype);
