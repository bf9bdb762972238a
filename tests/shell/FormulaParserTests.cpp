#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/model/Node.h"
#include "core/model/Tree.h"
#include "shell/editors/FormulaParser.h"

namespace {

std::shared_ptr<const Node> parsed(const std::string& text)
{
    auto result = FormulaParser::parse(text);
    if (const auto* error = std::get_if<FormulaError>(&result)) {
        ADD_FAILURE() << text << ": " << error->message();
        return nullptr;
    }
    return std::get<std::shared_ptr<const Node>>(result);
}

struct Evaluation {
    const char* formula;
    std::vector<std::uint8_t> bytes;
    float expected;
};

TEST(FormulaParserTest, EvaluatesWithPrecedenceGroupingAndUnaryMinus)
{
    const std::vector<Evaluation> cases = {
        {"(A*256+B)/4", {0x1A, 0xF8}, 1726.0f},          // engine speed
        {"A-40", {0x7B}, 83.0f},                        // a temperature
        {"A*100/255", {0xFF}, 100.0f},
        {"A+B*C", {1, 2, 3}, 7.0f},                      // * before +
        {"(A+B)*C", {1, 2, 3}, 9.0f},
        {"A-B-C", {10, 3, 2}, 5.0f},                     // left to right, not A-(B-C)
        {"A/B/C", {64, 4, 2}, 8.0f},
        {"-A+10", {3}, 7.0f},
        {"A*-2", {3}, -6.0f},
        {"--A", {5}, 5.0f},
        {"-(A-B)", {2, 5}, 3.0f},
        {"  j * 0.5 + .25 ", {0, 0, 0, 0, 0, 0, 0, 0, 0, 8}, 4.25f},  // lower case, spaces, decimals
        {"((((A))))", {42}, 42.0f},
        {"12.5", {}, 12.5f},
    };
    for (const auto& c : cases) {
        const auto root = parsed(c.formula);
        ASSERT_NE(root, nullptr) << c.formula;
        EXPECT_FLOAT_EQ(Tree::calculate(root.get(), c.bytes), c.expected) << c.formula;
    }
}

struct Refusal {
    const char* formula;
    FormulaError::Kind kind;
    std::size_t position;
    const char* found;
};

TEST(FormulaParserTest, RefusesBadFormulasSayingWhere)
{
    using Kind = FormulaError::Kind;
    const std::vector<Refusal> cases = {
        {"", Kind::Empty, 1, ""},
        {"   ", Kind::Empty, 1, ""},
        {"A+", Kind::ExpectedOperand, 3, ""},
        {"A*/B", Kind::ExpectedOperand, 3, "/"},
        {"(A+B", Kind::MissingParenthesis, 5, ""},
        {"(A+B]", Kind::MissingParenthesis, 5, "]"},
        {"A+B)", Kind::UnexpectedText, 4, ")"},
        {"A B", Kind::UnexpectedText, 3, "B"},
        {"2A", Kind::UnexpectedText, 2, "A"},
        {"A+K", Kind::UnknownByte, 3, "K"},
        {"1.2.3*A", Kind::BadNumber, 1, "1.2.3"},
        {"A+.", Kind::BadNumber, 3, "."},
        {"A%2", Kind::UnexpectedText, 2, "%"},
        {"A+\xC2\xB0", Kind::ExpectedOperand, 3, "\xC2\xB0"},  // a degree sign stays one character
        {"()", Kind::ExpectedOperand, 2, ")"},
    };
    for (const auto& c : cases) {
        const auto result = FormulaParser::parse(c.formula);
        const auto* error = std::get_if<FormulaError>(&result);
        ASSERT_NE(error, nullptr) << c.formula;
        EXPECT_EQ(error->kind, c.kind) << c.formula;
        EXPECT_EQ(error->position, c.position) << c.formula;
        EXPECT_EQ(error->found, c.found) << c.formula;
        EXPECT_FALSE(error->message().empty());
    }
}

TEST(FormulaParserTest, MessageNamesThePositionAndTheText)
{
    const auto result = FormulaParser::parse("A+K");
    const std::string message = std::get<FormulaError>(result).message();
    EXPECT_NE(message.find('3'), std::string::npos) << message;
    EXPECT_NE(message.find("\"K\""), std::string::npos) << message;
}

TEST(FormulaParserTest, RefusesFormulasTooDeepToStoreOrParse)
{
    // A long chain builds a tree deeper than the archive reads back; saving it
    // would lose the sensor's formula at the next launch.
    std::string chain = "A";
    for (int i = 0; i < 100; ++i)
        chain += "+A";
    const auto chained = FormulaParser::parse(chain);
    ASSERT_TRUE(std::holds_alternative<FormulaError>(chained));
    EXPECT_EQ(std::get<FormulaError>(chained).kind, FormulaError::Kind::TooComplex);

    // Deep nesting is refused without exhausting the stack.
    const std::string nested = std::string(100000, '(') + "A" + std::string(100000, ')');
    const auto deep = FormulaParser::parse(nested);
    ASSERT_TRUE(std::holds_alternative<FormulaError>(deep));
    EXPECT_EQ(std::get<FormulaError>(deep).kind, FormulaError::Kind::TooComplex);
    const auto minus = FormulaParser::parse(std::string(100000, '-') + "A");
    ASSERT_TRUE(std::holds_alternative<FormulaError>(minus));
    std::string longChain = "A";
    for (int i = 0; i < 100000; ++i)
        longChain += "*A";
    const auto chainedFar = FormulaParser::parse(longChain);
    ASSERT_TRUE(std::holds_alternative<FormulaError>(chainedFar));
    EXPECT_EQ(std::get<FormulaError>(chainedFar).kind, FormulaError::Kind::TooComplex);

    // A formula of ordinary length is stored and read back.
    std::string ordinary = "A";
    for (int i = 0; i < 30; ++i)
        ordinary += "+B";
    const auto root = parsed(ordinary);
    ASSERT_NE(root, nullptr);
    EXPECT_NE(Node::fromJson(root->toJson()), nullptr);
}

TEST(FormulaParserTest, TextParsesBackToTheSameValues)
{
    const std::vector<std::uint8_t> bytes = {7, 3, 200, 1, 9, 4, 11, 5, 2, 6};
    for (const char* formula : {"(A*256+B)/4", "A-(B-C)", "A/(B*C)", "(A-B)-C", "-(A+B)*2", "A*-0.5",
                                "J/(I-H)+0.001", "-3-A", "(A+B)*(C-D)/E"}) {
        const auto root = parsed(formula);
        ASSERT_NE(root, nullptr);
        const std::string text = FormulaParser::text(*root);
        const auto again = parsed(text);
        ASSERT_NE(again, nullptr) << text;
        EXPECT_FLOAT_EQ(Tree::calculate(again.get(), bytes), Tree::calculate(root.get(), bytes))
            << formula << " -> " << text;
    }
    EXPECT_EQ(FormulaParser::text(*parsed("(A*256+B)/4")), "(A*256+B)/4");
    EXPECT_EQ(FormulaParser::text(*parsed("A-(B-C)")), "A-(B-C)");
    EXPECT_EQ(FormulaParser::text(*parsed("(A-B)-C")), "A-B-C");
    EXPECT_EQ(FormulaParser::text(*parsed("A+(B-C)")), "A+(B-C)");
    EXPECT_EQ(FormulaParser::text(*parsed("A*-B")), "A*(0-B)");
}

// A random formula as a user might type it: numbers, bytes, unary minus, redundant parentheses and spaces.
std::string typedFormula(std::mt19937& random, int depth)
{
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    switch (depth <= 0 ? pick(2) : pick(6)) {
    case 0:
        return std::to_string(pick(1000)) + (pick(2) ? "." + std::to_string(pick(100)) : "");
    case 1:
        return std::string(1, static_cast<char>((pick(2) ? 'A' : 'a') + pick(Node::byteCount)));
    case 2:
        return "-" + typedFormula(random, depth - 1);
    case 3:
        return "(" + typedFormula(random, depth - 1) + ")";
    default:
        return typedFormula(random, depth - 1) + (pick(2) ? " " : "") + "+-*/"[pick(4)] +
               typedFormula(random, depth - 1);
    }
}

TEST(FormulaParserTest, WrittenBackTextIsAcceptedAsTheSameFormula)
{
    // What a custom PID saves is the text written back; reopened and saved again it must still be taken.
    std::mt19937 random(34);
    int accepted = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string typed = typedFormula(random, 2 + i % 40);
        const auto first = FormulaParser::parse(typed);
        if (!std::holds_alternative<std::shared_ptr<const Node>>(first))
            continue;
        ++accepted;
        const auto& root = std::get<std::shared_ptr<const Node>>(first);
        const std::string text = FormulaParser::text(*root);
        const auto again = FormulaParser::parse(text);
        const auto* refusal = std::get_if<FormulaError>(&again);
        ASSERT_EQ(refusal, nullptr) << typed << " -> " << text << ": " << refusal->message();
        const auto& reread = std::get<std::shared_ptr<const Node>>(again);
        EXPECT_EQ(reread->toJson(), root->toJson()) << typed << " -> " << text;
        EXPECT_EQ(FormulaParser::text(*reread), text) << typed;
    }
    EXPECT_GT(accepted, 500);
}

}  // namespace
