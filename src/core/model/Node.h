#pragma once

#include <memory>

#include <nlohmann/json_fwd.hpp>

// One node of a custom PID's formula: a number, one of the reply bytes A to J,
// or an operator over two sub-formulas. Nodes are immutable once built, so a
// formula can be shared between copies of its Pid.
class Node {
public:
    enum class Kind { Number, Byte, Add, Subtract, Multiply, Divide };
    static constexpr int byteCount = 10;  // A to J

    static std::shared_ptr<const Node> number(double value);
    // index 0 is A, 9 is J; nullptr outside that range.
    static std::shared_ptr<const Node> byte(int index);
    // nullptr when the kind is not an operator or an operand is missing.
    static std::shared_ptr<const Node> operation(Kind kind, std::shared_ptr<const Node> left,
                                                 std::shared_ptr<const Node> right);

    Kind kind() const { return kind_; }
    double value() const { return value_; }
    int byteIndex() const { return byteIndex_; }
    const Node* left() const { return left_.get(); }
    const Node* right() const { return right_.get(); }

    // The archive form: {"number": 2.5}, {"byte": "A"}, {"op": "+", "left": ..., "right": ...}.
    nlohmann::json toJson() const;
    // nullptr for anything that is not a well-formed formula, or one nested
    // deeper than a typed formula can be.
    static std::shared_ptr<const Node> fromJson(const nlohmann::json& value);

    struct Token {};  // lets make_shared reach the constructor and nobody else

    Node(Token, Kind kind, double value, int byteIndex, std::shared_ptr<const Node> left,
         std::shared_ptr<const Node> right);

private:
    Kind kind_;
    double value_;
    int byteIndex_;
    std::shared_ptr<const Node> left_;
    std::shared_ptr<const Node> right_;
};
