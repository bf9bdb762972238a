#include "core/model/Node.h"

#include <array>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace {

constexpr int maximumDepth = 64;

struct OperatorName {
    Node::Kind kind;
    std::string_view symbol;
};

constexpr std::array operatorNames = {
    OperatorName{Node::Kind::Add, "+"},
    OperatorName{Node::Kind::Subtract, "-"},
    OperatorName{Node::Kind::Multiply, "*"},
    OperatorName{Node::Kind::Divide, "/"},
};

std::shared_ptr<const Node> fromJsonAtDepth(const nlohmann::json& value, int depth)
{
    if (depth > maximumDepth || !value.is_object())
        return nullptr;
    if (const auto it = value.find("number"); it != value.end())
        return it->is_number() ? Node::number(it->get<double>()) : nullptr;
    if (const auto it = value.find("byte"); it != value.end()) {
        if (!it->is_string() || it->get_ref<const std::string&>().size() != 1)
            return nullptr;
        return Node::byte(it->get_ref<const std::string&>()[0] - 'A');
    }
    const auto op = value.find("op");
    if (op == value.end() || !op->is_string() || !value.contains("left") || !value.contains("right"))
        return nullptr;
    for (const auto& name : operatorNames) {
        if (name.symbol == op->get_ref<const std::string&>())
            return Node::operation(name.kind, fromJsonAtDepth(value["left"], depth + 1),
                                   fromJsonAtDepth(value["right"], depth + 1));
    }
    return nullptr;
}

}  // namespace

Node::Node(Token, Kind kind, double value, int byteIndex, std::shared_ptr<const Node> left,
           std::shared_ptr<const Node> right)
    : kind_(kind), value_(value), byteIndex_(byteIndex), left_(std::move(left)), right_(std::move(right))
{
}

std::shared_ptr<const Node> Node::number(double value)
{
    return std::make_shared<const Node>(Token{}, Kind::Number, value, 0, nullptr, nullptr);
}

std::shared_ptr<const Node> Node::byte(int index)
{
    if (index < 0 || index >= byteCount)
        return nullptr;
    return std::make_shared<const Node>(Token{}, Kind::Byte, 0, index, nullptr, nullptr);
}

std::shared_ptr<const Node> Node::operation(Kind kind, std::shared_ptr<const Node> left,
                                            std::shared_ptr<const Node> right)
{
    if (kind == Kind::Number || kind == Kind::Byte || !left || !right)
        return nullptr;
    return std::make_shared<const Node>(Token{}, kind, 0, 0, std::move(left), std::move(right));
}

nlohmann::json Node::toJson() const
{
    switch (kind_) {
    case Kind::Number:
        return {{"number", value_}};
    case Kind::Byte:
        return {{"byte", std::string(1, static_cast<char>('A' + byteIndex_))}};
    default:
        break;
    }
    for (const auto& name : operatorNames) {
        if (name.kind == kind_)
            return {{"op", std::string(name.symbol)}, {"left", left_->toJson()}, {"right", right_->toJson()}};
    }
    return nullptr;
}

std::shared_ptr<const Node> Node::fromJson(const nlohmann::json& value)
{
    return fromJsonAtDepth(value, 0);
}
