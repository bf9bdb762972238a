#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/model/Node.h"
#include "core/model/Tree.h"

namespace {

using Kind = Node::Kind;
using NodePtr = std::shared_ptr<const Node>;

NodePtr num(double value)
{
    return Node::number(value);
}

NodePtr byte(char letter)
{
    return Node::byte(letter - 'A');
}

NodePtr op(Kind kind, NodePtr left, NodePtr right)
{
    return Node::operation(kind, std::move(left), std::move(right));
}

struct FormulaCase {
    const char* name;
    NodePtr root;
    std::vector<std::uint8_t> data;
    float expected;
};

TEST(Tree, EvaluatesFormulasOverBytesAToJ)
{
    const std::vector<std::uint8_t> tenBytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const FormulaCase cases[] = {
        {"engine speed (A*256+B)/4", op(Kind::Divide, op(Kind::Add, op(Kind::Multiply, byte('A'), num(256)), byte('B')), num(4)),
         {0x1A, 0xF8}, 1726},
        {"temperature A-40", op(Kind::Subtract, byte('A'), num(40)), {130}, 90},
        {"J is the tenth byte", byte('J'), tenBytes, 10},
        {"operators keep their tree order", op(Kind::Subtract, byte('C'), op(Kind::Subtract, byte('B'), byte('A'))), tenBytes, 2},
        {"fractions survive", op(Kind::Divide, byte('A'), num(8)), {3}, 0.375f},
        {"extra bytes are ignored", byte('A'), tenBytes, 1},
        {"a constant needs no bytes", num(12.5), {}, 12.5f},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.root, nullptr) << c.name;
        EXPECT_FLOAT_EQ(Tree::calculate(c.root.get(), c.data), c.expected) << c.name;
    }
}

TEST(Tree, UndefinedFormulasGiveZero)
{
    const FormulaCase cases[] = {
        {"division by zero", op(Kind::Divide, byte('A'), byte('B')), {10, 0}, 0},
        {"division by zero deep inside", op(Kind::Add, num(5), op(Kind::Divide, num(1), op(Kind::Subtract, byte('A'), byte('A')))),
         {7}, 0},
        {"missing byte", op(Kind::Add, byte('A'), byte('C')), {1, 2}, 0},
        {"no reply bytes", byte('A'), {}, 0},
        {"float overflow", op(Kind::Multiply, num(1e30), num(1e30)), {}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tree::calculate(c.root.get(), c.data), c.expected) << c.name;
    EXPECT_EQ(Tree::calculate(nullptr, {1, 2}), 0) << "no formula";
}

TEST(Tree, MalformedNodesAreNotBuilt)
{
    EXPECT_EQ(Node::byte(-1), nullptr);
    EXPECT_EQ(Node::byte(Node::byteCount), nullptr);
    EXPECT_EQ(op(Kind::Add, num(1), nullptr), nullptr);
    EXPECT_EQ(op(Kind::Number, num(1), num(2)), nullptr);
}

TEST(Tree, FormulasSurviveTheirArchiveForm)
{
    const auto formula = op(Kind::Divide, op(Kind::Subtract, op(Kind::Multiply, byte('C'), num(0.5)), byte('J')), num(-3));
    const auto back = Node::fromJson(nlohmann::json::parse(formula->toJson().dump()));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->toJson(), formula->toJson());
    const std::vector<std::uint8_t> data = {0, 0, 40, 0, 0, 0, 0, 0, 0, 5};
    EXPECT_FLOAT_EQ(Tree::calculate(back.get(), data), -5);
}

TEST(Tree, DamagedArchivedFormulasAreRejected)
{
    const char* damaged[] = {
        R"(null)",
        R"({"byte": "K"})",
        R"({"byte": "AB"})",
        R"({"byte": 1})",
        R"({"number": "2"})",
        R"({"op": "%", "left": {"number": 1}, "right": {"number": 2}})",
        R"({"op": "+", "left": {"number": 1}})",
        R"({"op": "+", "left": {"number": 1}, "right": {"byte": "?"}})",
    };
    for (const char* text : damaged)
        EXPECT_EQ(Node::fromJson(nlohmann::json::parse(text)), nullptr) << text;

    // A file can nest deeper than any typed formula; that must not exhaust the stack.
    nlohmann::json deep = {{"number", 1}};
    for (int level = 0; level < 5000; ++level) {
        nlohmann::json outer = {{"op", "+"}, {"right", {{"number", 1}}}};
        outer["left"] = std::move(deep);
        deep = std::move(outer);
    }
    EXPECT_EQ(Node::fromJson(deep), nullptr);
}

}  // namespace
