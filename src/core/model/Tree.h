#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Node;

// Why a formula has no value for a reply.
enum class FormulaFault {
    None,
    DivideByZero,   // a divisor came out 0
    MissingByte,    // it reads a byte the reply does not have
    OutOfRange,     // the value is too large for a number
};

// What a row or a test shows for a formula that failed.
std::string formulaFaultText(FormulaFault fault);

// Evaluates custom-PID formulas over a reply's data bytes.
class Tree {
public:
    struct Result {
        std::optional<float> value;  // none when the formula fails for these bytes
        FormulaFault fault = FormulaFault::None;
    };
    // The formula's value with A = data[0] ... J = data[9]; no formula gives 0.
    static Result evaluate(const Node* root, const std::vector<std::uint8_t>& data);

    // The formula's value with A = data[0] ... J = data[9]. A formula that reads a
    // byte the reply does not have, or divides by zero, gives 0, as does no formula.
    static float calculate(const Node* root, const std::vector<std::uint8_t>& data);
};
