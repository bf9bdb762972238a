#pragma once

#include <cstdint>
#include <string_view>

// The expression n·k + c of the nth pseudo-classes; {0, 0} marks a failed parse.
struct HTMLNthExpression {
    std::int64_t n = 0;
    std::int64_t c = 0;

    bool operator==(const HTMLNthExpression&) const = default;
};

// "odd", "even", "an+b", "-n+b", "b" (signs must touch their digits; no "+n").
HTMLNthExpression HTMLNthExpressionFromString(std::u16string_view text);
