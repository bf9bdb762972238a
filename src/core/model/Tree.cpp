#include "core/model/Tree.h"

#include <cmath>
#include <optional>

#include "core/model/Node.h"

namespace {

// nullopt when the value is undefined for these bytes.
std::optional<double> evaluate(const Node& node, const std::vector<std::uint8_t>& data)
{
    switch (node.kind()) {
    case Node::Kind::Number:
        return node.value();
    case Node::Kind::Byte:
        if (static_cast<std::size_t>(node.byteIndex()) >= data.size())
            return std::nullopt;
        return data[static_cast<std::size_t>(node.byteIndex())];
    default:
        break;
    }
    const auto left = evaluate(*node.left(), data);
    const auto right = evaluate(*node.right(), data);
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
        if (*right == 0)
            return std::nullopt;
        return *left / *right;
    default:
        return std::nullopt;
    }
}

}  // namespace

float Tree::calculate(const Node* root, const std::vector<std::uint8_t>& data)
{
    if (root == nullptr)
        return 0;
    const auto value = evaluate(*root, data);
    // Huge numbers typed into a formula can still overflow a float.
    if (!value || !std::isfinite(static_cast<float>(*value)))
        return 0;
    return static_cast<float>(*value);
}
