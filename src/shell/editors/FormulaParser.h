#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "core/model/Node.h"

// Where and why a typed formula was refused.
struct FormulaError {
    enum class Kind {
        Empty,            // nothing but spaces
        ExpectedOperand,  // a number, a byte A-J or '(' was due
        UnknownByte,      // a letter outside A-J
        UnexpectedText,   // an operator or the end was due
        MissingParenthesis,
        BadNumber,        // too large, or a second decimal point
        TooComplex,       // nested or chained deeper than a formula can be stored
    };
    Kind kind = Kind::Empty;
    std::size_t position = 0;  // 1-based character position in the typed text
    std::string found;         // the text at that position; empty at the end

    // The message for the user, saying what went wrong where.
    std::string message() const;
};

// Parses custom-PID formulas: infix arithmetic over the reply bytes A to J (a to
// j alike) with decimal numbers, + - * /, unary minus and parentheses; * and /
// bind tighter than + and -, and operators of one level group from the left.
// Builds the Node tree that Tree::calculate evaluates.
class FormulaParser {
public:
    using Result = std::variant<std::shared_ptr<const Node>, FormulaError>;
    static Result parse(std::string_view text);

    // The formula as text that parses back to the same tree, with only the
    // parentheses that precedence and grouping from the left need.
    static std::string text(const Node& root);
};
