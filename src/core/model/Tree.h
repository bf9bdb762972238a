#pragma once

#include <cstdint>
#include <vector>

class Node;

// Evaluates custom-PID formulas over a reply's data bytes.
class Tree {
public:
    // The formula's value with A = data[0] ... J = data[9]. A formula that reads a
    // byte the reply does not have, or divides by zero, gives 0, as does no formula.
    static float calculate(const Node* root, const std::vector<std::uint8_t>& data);
};
