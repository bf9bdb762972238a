#include "core/model/Tree.h"

#include <cmath>
#include <optional>

#include "core/model/Node.h"
#include "platform/foundation/Localization.h"

namespace {

// nullopt when the value is undefined for these bytes, with the reason in `fault`.
std::optional<double> evaluate(const Node& node, const std::vector<std::uint8_t>& data, FormulaFault& fault)
{
    switch (node.kind()) {
    case Node::Kind::Number:
        return node.value();
    case Node::Kind::Byte:
        if (static_cast<std::size_t>(node.byteIndex()) >= data.size()) {
            fault = FormulaFault::MissingByte;
            return std::nullopt;
        }
        return data[static_cast<std::size_t>(node.byteIndex())];
    default:
        break;
    }
    const auto left = evaluate(*node.left(), data, fault);
    const auto right = evaluate(*node.right(), data, fault);
    if (!left || !right)
        return std::nullopt;
    switch (node.kind()) {
    case Node::Kind::Add:
        return *left + *right;
    case Node::Kind::Subtract:
        return *left - *right;
    case Node::Kind::Multiply:
        return *left * *right;
    case Node::Kind::Divide:
        if (*right == 0) {
            fault = FormulaFault::DivideByZero;
            return std::nullopt;
        }
        return *left / *right;
    default:
        return std::nullopt;
    }
}

}  // namespace

Tree::Result Tree::evaluate(const Node* root, const std::vector<std::uint8_t>& data)
{
    if (root == nullptr)
        return {0.0f, FormulaFault::None};
    FormulaFault fault = FormulaFault::None;
    const auto value = ::evaluate(*root, data, fault);
    if (!value)
        return {std::nullopt, fault};
    // Huge numbers typed into a formula can still overflow a float.
    if (!std::isfinite(static_cast<float>(*value)))
        return {std::nullopt, FormulaFault::OutOfRange};
    return {static_cast<float>(*value), FormulaFault::None};
}

float Tree::calculate(const Node* root, const std::vector<std::uint8_t>& data)
{
    return evaluate(root, data).value.value_or(0.0f);
}

std::string formulaFaultText(FormulaFault fault)
{
    switch (fault) {
    case FormulaFault::DivideByZero:
        return fnd::L("Formula divides by zero");
    case FormulaFault::MissingByte:
        return fnd::L("Formula reads past the reply");
    case FormulaFault::OutOfRange:
        return fnd::L("Formula value too large");
    case FormulaFault::None:
        break;
    }
    return {};
}
