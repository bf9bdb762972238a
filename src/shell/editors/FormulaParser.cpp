#include "shell/editors/FormulaParser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include <nlohmann/json.hpp>

#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"

namespace {

// Parentheses, unary minus and long chains of operators nest the parser's and
// the tree's recursion; past this a formula is refused before the stack is at
// risk (a tree the archive reads back is shallower anyway).
constexpr int maximumNesting = 200;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Recursive descent over the grammar
//   sum     := product (('+' | '-') product)*
//   product := unary (('*' | '/') unary)*
//   unary   := '-' unary | operand
//   operand := number | byte | '(' sum ')'
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    FormulaParser::Result run()
    {
        skipSpaces();
        if (atEnd())
            return FormulaError{FormulaError::Kind::Empty, 1, {}};
        const Term root = sum();
        if (error_)
            return *error_;
        if (!atEnd()) {
            fail(FormulaError::Kind::UnexpectedText, tokenAt(pos_));
            return *error_;
        }
        // A tree the archive cannot read back would lose the sensor at the next launch.
        if (!Node::fromJson(root.node->toJson()))
            return FormulaError{FormulaError::Kind::TooComplex, text_.size(), {}};
        return root.node;
    }

private:
    // A sub-formula with the height of its tree, which bounds every recursion over it.
    struct Term {
        std::shared_ptr<const Node> node;
        int height = 0;
    };

    Term sum() { return level('+', Node::Kind::Add, '-', Node::Kind::Subtract, &Parser::product); }
    Term product() { return level('*', Node::Kind::Multiply, '/', Node::Kind::Divide, &Parser::unary); }

    // One precedence level: operands of the next level joined by its two operators, from the left.
    Term level(char first, Node::Kind firstKind, char second, Node::Kind secondKind, Term (Parser::*next)())
    {
        Term left = (this->*next)();
        while (!error_ && (peek() == first || peek() == second)) {
            const std::size_t at = pos_;
            const auto kind = take() == first ? firstKind : secondKind;
            left = combine(kind, left, (this->*next)(), at);
        }
        return left;
    }

    Term unary()
    {
        if (peek() != '-')
            return operand();
        const std::size_t at = pos_;
        take();
        if (!enter(at))
            return {};
        const Term value = unary();
        --nesting_;
        if (error_)
            return {};
        if (value.node->kind() == Node::Kind::Number)
            return {Node::number(-value.node->value()), 0};
        return combine(Node::Kind::Subtract, {Node::number(0), 0}, value, at);
    }

    Term operand()
    {
        const char c = peek();
        if (isDigit(c) || c == '.')
            return number();
        if (isLetter(c)) {
            const std::size_t at = pos_;
            take();
            const int index = (c >= 'a' ? c - 'a' : c - 'A');
            if (index >= Node::byteCount)
                return fail(FormulaError::Kind::UnknownByte, {at, std::string(1, c)});
            return {Node::byte(index), 0};
        }
        if (c == '(') {
            const std::size_t at = pos_;
            take();
            if (!enter(at))
                return {};
            const Term inner = sum();
            --nesting_;
            if (error_)
                return {};
            if (peek() != ')')
                return fail(FormulaError::Kind::MissingParenthesis, tokenAt(pos_));
            take();
            return inner;
        }
        return fail(FormulaError::Kind::ExpectedOperand, tokenAt(pos_));
    }

    Term number()
    {
        const std::size_t at = pos_;
        while (pos_ < text_.size() && (isDigit(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        const std::string_view digits = text_.substr(at, pos_ - at);
        double value = 0;
        const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                                   std::chars_format::fixed);
        skipSpaces();
        if (status != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
            return fail(FormulaError::Kind::BadNumber, {at, std::string(digits)});
        return {Node::number(value), 0};
    }

    Term combine(Node::Kind kind, const Term& left, const Term& right, std::size_t at)
    {
        if (error_)
            return {};
        const int height = 1 + std::max(left.height, right.height);
        if (height > maximumNesting)
            return fail(FormulaError::Kind::TooComplex, tokenAt(at));
        return {Node::operation(kind, left.node, right.node), height};
    }

    bool enter(std::size_t at)
    {
        if (++nesting_ <= maximumNesting)
            return true;
        fail(FormulaError::Kind::TooComplex, tokenAt(at));
        return false;
    }

    struct Token {
        std::size_t start;
        std::string text;
    };

    // The text at `at` as the user would name it: a whole number or word, or one character.
    Token tokenAt(std::size_t at) const
    {
        if (at >= text_.size())
            return {text_.size(), {}};
        std::size_t end = at + 1;
        if (isDigit(text_[at]) || isLetter(text_[at])) {
            while (end < text_.size() && (isDigit(text_[end]) || isLetter(text_[end]) || text_[end] == '.'))
                ++end;
        } else {
            // Keep a multi-byte UTF-8 character whole.
            while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80)
                ++end;
        }
        return {at, std::string(text_.substr(at, end - at))};
    }

    // Keeps the first error; everything after it unwinds.
    Term fail(FormulaError::Kind kind, const Token& token)
    {
        if (!error_)
            error_ = FormulaError{kind, token.start + 1, token.text};
        return {};
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    char take()
    {
        const char c = text_[pos_++];
        skipSpaces();
        return c;
    }

    void skipSpaces()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_]))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int nesting_ = 0;
    std::optional<FormulaError> error_;
};

int precedence(Node::Kind kind)
{
    switch (kind) {
    case Node::Kind::Add:
    case Node::Kind::Subtract:
        return 1;
    case Node::Kind::Multiply:
    case Node::Kind::Divide:
        return 2;
    default:
        return 3;
    }
}

char symbol(Node::Kind kind)
{
    switch (kind) {
    case Node::Kind::Add:
        return '+';
    case Node::Kind::Subtract:
        return '-';
    case Node::Kind::Multiply:
        return '*';
    default:
        return '/';
    }
}

std::string numberText(double value)
{
    std::array<char, 400> buffer{};
    const auto [end, status] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::fixed);
    if (status != std::errc())
        return "0";
    return std::string(buffer.data(), end);
}

void appendText(const Node& node, std::string& out)
{
    switch (node.kind()) {
    case Node::Kind::Number:
        out += numberText(node.value());
        return;
    case Node::Kind::Byte:
        out += static_cast<char>('A' + node.byteIndex());
        return;
    default:
        break;
    }
    const int level = precedence(node.kind());
    // Operators group from the left, so a right operand of the same level keeps
    // its parentheses even where the value would not change (A+(B-C)): without
    // them the text reads back as another, deeper tree, which rounds differently
    // and can grow past what can be stored.
    const auto operand = [&](const Node& child, bool groupEqual) {
        const int childLevel = precedence(child.kind());
        const bool group = childLevel < level || (groupEqual && childLevel == level);
        if (group)
            out += '(';
        appendText(child, out);
        if (group)
            out += ')';
    };
    operand(*node.left(), false);
    out += symbol(node.kind());
    operand(*node.right(), true);
}

}  // namespace

FormulaParser::Result FormulaParser::parse(std::string_view text)
{
    return Parser(text).run();
}

std::string FormulaParser::text(const Node& root)
{
    std::string out;
    appendText(root, out);
    return out;
}

std::string FormulaError::message() const
{
    const char* key = "Formula empty msg";
    switch (kind) {
    case Kind::Empty:
        return fnd::L(key);
    case Kind::ExpectedOperand:
        key = "Formula operand msg";
        break;
    case Kind::UnknownByte:
        key = "Formula byte msg";
        break;
    case Kind::UnexpectedText:
        key = "Formula text msg";
        break;
    case Kind::MissingParenthesis:
        key = "Formula parenthesis msg";
        break;
    case Kind::BadNumber:
        key = "Formula number msg";
        break;
    case Kind::TooComplex:
        key = "Formula complex msg";
        break;
    }
    const std::string where = found.empty() ? fnd::L("the end of the formula") : "\"" + found + "\"";
    return fnd::format(fnd::L(key).c_str(), static_cast<int>(position), where);
}
