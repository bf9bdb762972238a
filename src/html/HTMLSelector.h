#pragma once

#include "html/HTMLSelectorPredicates.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Why a selector did not compile, and where.
struct HTMLSelectorError {
    static constexpr std::string_view domain = "HTMLSelectorErrorDomain";
    static constexpr int code = 1;

    // The short reason, such as "Unexpected modifier".
    std::string localizedDescription;
    // The reason with the location, the input and a caret under the location.
    std::string localizedFailureReason;
    std::string inputString;
    // In UTF-16 code units of the trimmed selector text.
    std::size_t location = 0;

    std::string description() const;
};

// A selector string compiled once into a predicate, or the error that stopped
// its compilation. Immutable, and usable from any thread.
class HTMLSelector {
public:
    // The empty selector, which carries the "Empty selector" error.
    HTMLSelector();
    explicit HTMLSelector(std::u16string string);

    static HTMLSelector selectorForString(std::u16string_view string);
    static HTMLSelector selectorForString(std::string_view utf8);

    const std::u16string& string() const { return string_; }
    const std::optional<HTMLSelectorError>& error() const { return error_; }
    const HTMLSelectorPredicate& predicate() const { return predicate_; }

    // A selector that failed to compile matches nothing.
    bool matchesElement(const HTMLElement& element) const;

    std::string description() const;

private:
    std::u16string string_;
    HTMLSelectorPredicate predicate_;
    std::optional<HTMLSelectorError> error_;
};

// The predicate of a selector group, or an empty function with `error` set.
HTMLSelectorPredicate SelectorFunctionForString(std::u16string_view text, std::optional<HTMLSelectorError>& error);
