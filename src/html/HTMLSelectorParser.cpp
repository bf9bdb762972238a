// The selector compiler: a scanner over the trimmed selector text that builds
// the predicates of HTMLSelectorPredicates.h, one compound at a time.
#include "html/HTMLSelector.h"

#include "html/HTMLCodePoints.h"
#include "html/HTMLUTF8.h"
#include "html/HTMLWhitespaceCharacterSet.h"

#include <clocale>
#include <cwctype>

namespace {

// Combining marks count as identifier characters beside letters and digits.
bool isCombiningMark(char16_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

bool isIdentifierCharacter(char16_t c)
{
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
               c == u'_';
    }
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return isCombiningMark(c) || (unicode && iswalnum_l(static_cast<wint_t>(c), unicode));
}

bool isModifierCharacter(char16_t c)
{
    return c == u'.' || c == u':' || c == u'#' || c == u'[';
}

bool isCombinatorCharacter(char16_t c)
{
    return c == u'>' || c == u'+' || c == u'~' || IsInHTMLWhitespaceCharacterSet(c);
}

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

std::u16string lowercased(std::u16string_view text)
{
    std::u16string lower(text);
    for (char16_t& c : lower)
        c = static_cast<char16_t>(ASCIILowercase(c));
    return lower;
}

HTMLSelectorError makeError(std::string reason, std::size_t location, std::u16string_view input)
{
    HTMLSelectorError error;
    error.localizedDescription = std::move(reason);
    error.inputString = UTF8FromUTF16(input);
    error.location = location;
    error.localizedFailureReason = "Error near character " + std::to_string(location) + ": " + error.localizedDescription +
                                   "\n\n\t" + error.inputString + "\n\t" + std::string(location, ' ') + "^";
    return error;
}

// How deeply the predicates of one selector may nest: each compound, modifier and combinator of a
// complex selector adds a level to those before it, and an argument of :not() starts one level deeper.
// Matching (and dropping) a predicate recurses through every level, so past this a selector is refused
// rather than overflow the stack.
constexpr std::size_t kMaxSelectorDepth = 256;

class SelectorParser {
public:
    explicit SelectorParser(std::u16string_view text) : SelectorParser(text, text, 0, 0) {}

    // The argument of a :not() at `offset` in `whole`, `depth` levels down.
    SelectorParser(std::u16string_view text, std::u16string_view whole, std::size_t offset, std::size_t depth)
        : text_(text), whole_(whole), offset_(offset), baseDepth_(depth)
    {
    }

    // The group's predicate, or an empty function with error() set.
    HTMLSelectorPredicate parseGroup()
    {
        if (text_.empty() || text_.front() == u',') {
            fail("Empty selector", 0);
            return {};
        }
        std::vector<HTMLSelectorPredicate> group;
        HTMLSelectorPredicate left;
        depth_ = baseDepth_;
        while (true) {
            HTMLSelectorPredicate predicate = scanSelectorSequence(std::move(left));
            if (error_)
                return {};
            if (!atEnd() && peek() != u',') {
                left = std::move(predicate);
                continue;
            }
            group.push_back(std::move(predicate));
            if (atEnd())
                break;
            depth_ = baseDepth_;
            ++position_;
            while (!atEnd() && IsInHTMLWhitespaceCharacterSet(peek()))
                ++position_;
            if (atEnd()) {
                fail("Empty selector in group", position_);
                return {};
            }
        }
        return group.size() == 1 ? std::move(group.front()) : AnyOfPredicates(std::move(group));
    }

    std::optional<HTMLSelectorError>& error() { return error_; }

private:
    bool atEnd() const { return position_ >= text_.size(); }
    char16_t peek() const { return text_[position_]; }

    void fail(std::string reason, std::size_t location) { error_ = makeError(std::move(reason), location, text_); }

    // One level more for the predicate being built; false (with the error, placed in the whole
    // selector) past the limit.
    bool deeper()
    {
        if (++depth_ <= kMaxSelectorDepth)
            return true;
        error_ = makeError("Selector nested too deeply (more than " + std::to_string(kMaxSelectorDepth) + " levels)",
                           offset_ + position_, whole_);
        return false;
    }

    template <typename Test>
    std::u16string_view scanRun(Test test)
    {
        const std::size_t start = position_;
        while (!atEnd() && test(peek()))
            ++position_;
        return text_.substr(start, position_ - start);
    }

    void skipWhitespace()
    {
        scanRun(IsUnicodeWhitespace);
    }

    // One compound selector, joined to the left side, and the combinator after it.
    HTMLSelectorPredicate scanSelectorSequence(HTMLSelectorPredicate left)
    {
        if (!deeper())
            return {};
        HTMLSelectorPredicate current;
        if (HTMLSelectorName name = scanIdentifier()) {
            current = TypeSelectorPredicate(*name);
        } else {
            if (!atEnd() && peek() == u'*')
                ++position_;
            current = UniversalPredicate();
        }
        if (left)
            current = BothPredicates(std::move(current), std::move(left));
        if (atEnd())
            return current;

        while (true) {
            const std::size_t runStart = position_;
            const std::u16string_view run = scanRun(isModifierCharacter);
            if (run.empty())
                break;
            if (!deeper())
                return current;
            HTMLSelectorPredicate modifier;
            if (run == u":") {
                modifier = scanPseudoClass(current);
            } else if (run == u"::") {
                fail("Pseudo elements unsupported", runStart);
                return current;
            } else if (run == u"[") {
                modifier = scanAttributePredicate();
            } else if (run == u".") {
                modifier = AttributeContainsWordPredicate(u"class", scanIdentifier());
            } else if (run == u"#") {
                modifier = AttributeEqualsPredicate(u"id", scanIdentifier());
            } else {
                fail("Unexpected modifier", runStart);
                return current;
            }
            current = BothPredicates(std::move(current), std::move(modifier));
        }
        if (atEnd())
            return current;
        return scanCombinator(std::move(current));
    }

    HTMLSelectorPredicate scanCombinator(HTMLSelectorPredicate current)
    {
        const std::size_t start = position_;
        const std::u16string_view run = scanRun(isCombinatorCharacter);
        if (!run.empty()) {
            const std::u16string_view combinator = TrimmingUnicodeWhitespace(run);
            if (combinator.empty()) {
                // White space before a comma ends the selector instead.
                if (!atEnd() && peek() == u',')
                    return current;
                return DescendantCombinatorPredicate(std::move(current));
            }
            if (combinator == u">")
                return ChildCombinatorPredicate(std::move(current));
            if (combinator == u"+")
                return AdjacentSiblingCombinatorPredicate(std::move(current));
            if (combinator == u"~")
                return GeneralSiblingCombinatorPredicate(std::move(current));
            fail("Unexpected combinator", position_ - combinator.size());
            return current;
        }
        skipWhitespace();
        if (!atEnd() && peek() == u',')
            return current;
        position_ = start;
        fail("Expected a combinator here", position_);
        return current;
    }

    // Runs of identifier characters with escapes between them; an identifier
    // cannot begin with an escape.
    HTMLSelectorName scanIdentifier()
    {
        std::u16string identifier;
        while (true) {
            const std::u16string_view run = scanRun(isIdentifierCharacter);
            if (run.empty())
                break;
            identifier += run;
            const std::optional<std::u16string> escape = scanEscape();
            if (!escape)
                break;
            identifier += *escape;
        }
        const std::u16string_view trimmed = TrimmingUnicodeWhitespace(identifier);
        if (trimmed.empty())
            return std::nullopt;
        return std::u16string(trimmed);
    }

    std::optional<std::u16string> scanEscape()
    {
        if (atEnd() || peek() != u'\\')
            return std::nullopt;
        ++position_;
        const std::size_t digitsStart = position_;
        char32_t value = 0;
        while (!atEnd() && position_ - digitsStart < 6 && isHexDigit(peek())) {
            const char16_t c = peek();
            value = value * 16 + (c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10);
            ++position_;
        }
        if (position_ > digitsStart) {
            if (text_.substr(position_).starts_with(u"\r\n"))
                position_ += 2;
            else if (!atEnd() && IsInHTMLWhitespaceCharacterSet(peek()))
                ++position_;
            if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
                return u"\uFFFD";
            if (value < 0x10000)
                return std::u16string(1, static_cast<char16_t>(value));
            value -= 0x10000;
            return std::u16string{static_cast<char16_t>(0xD800 + (value >> 10)), static_cast<char16_t>(0xDC00 + (value & 0x3FF))};
        }
        if (atEnd())
            return u"\uFFFD";
        const char16_t c = peek();
        if (c == u'\n' || c == u'\r' || c == u'\f') {
            fail("Expected non-newline or hex digit(s) after starting escape", position_);
            return std::nullopt;
        }
        const bool pair = c >= 0xD800 && c <= 0xDBFF && position_ + 1 < text_.size() && text_[position_ + 1] >= 0xDC00 &&
                          text_[position_ + 1] <= 0xDFFF;
        const std::size_t length = pair ? 2 : 1;
        position_ += length;
        return std::u16string(text_.substr(position_ - length, length));
    }

    // After "[": [name], [name op value], the value an identifier or quoted.
    HTMLSelectorPredicate scanAttributePredicate()
    {
        HTMLSelectorName name = scanIdentifier();
        const std::u16string_view operatorText = scanRun([](char16_t c) { return c != u'=' && c != u']'; });
        std::optional<std::u16string> op;
        HTMLSelectorName value;
        if (!atEnd() && peek() == u'=') {
            ++position_;
            const std::u16string_view trimmed = TrimmingUnicodeWhitespace(operatorText);
            op = trimmed.empty() ? u"=" : std::u16string(trimmed);
            skipWhitespace();
            value = scanIdentifier();
            if (!value) {
                skipWhitespace();
                if (!atEnd() && (peek() == u'"' || peek() == u'\'')) {
                    const char16_t quote = peek();
                    ++position_;
                    const std::u16string_view quoted = scanRun([quote](char16_t c) { return c != quote; });
                    if (!atEnd())
                        ++position_;
                    if (!quoted.empty())
                        value = std::u16string(quoted);
                } else {
                    fail("Expected quote in attribute value", position_);
                }
            }
        }
        scanRun([](char16_t c) { return c != u']'; });
        if (atEnd())
            fail("Expected ] to close attribute", position_);
        else
            ++position_;

        if (!op)
            return AttributeExistsPredicate(std::move(name));
        if (*op == u"=")
            return AttributeEqualsPredicate(std::move(name), std::move(value));
        if (*op == u"~")
            return AttributeContainsWordPredicate(std::move(name), std::move(value));
        if (*op == u"^")
            return AttributeHasPrefixPredicate(std::move(name), std::move(value));
        if (*op == u"$")
            return AttributeHasSuffixPredicate(std::move(name), std::move(value));
        if (*op == u"*")
            return AttributeContainsSubstringPredicate(std::move(name), std::move(value));
        if (*op == u"|") {
            HTMLSelectorName prefix = value ? HTMLSelectorName(*value + u"-") : std::nullopt;
            return AnyOfPredicates({AttributeEqualsPredicate(name, std::move(value)),
                                    AttributeHasPrefixPredicate(name, std::move(prefix))});
        }
        fail("Unexpected operator", position_ - op->size());
        return NeverPredicate();
    }

    // After ":"; `compound` is what the of-type forms count.
    HTMLSelectorPredicate scanPseudoClass(const HTMLSelectorPredicate& compound)
    {
        const std::u16string name = lowercased(scanIdentifier().value_or(u""));
        if (std::optional<HTMLSelectorPredicate> simple = SimplePseudoClassPredicate(name))
            return *simple;
        if (name == u"first-of-type")
            return NthOfTypePredicate({0, 1}, compound, false);
        if (name == u"last-of-type")
            return NthOfTypePredicate({0, 1}, compound, true);
        if (name == u"only-of-type")
            return BothPredicates(NthOfTypePredicate({0, 1}, compound, false), NthOfTypePredicate({0, 1}, compound, true));
        if (name.starts_with(u"nth")) {
            const std::size_t argumentStart = position_ + 1;
            const std::optional<std::u16string_view> argument = scanFunctionArgument();
            if (!argument)
                return NeverPredicate();
            const HTMLNthExpression expression = HTMLNthExpressionFromString(*argument);
            if (expression == HTMLNthExpression{})
                fail("Failed to parse Nth statement", argumentStart);
            if (name == u"nth-child")
                return NthChildPredicate(expression, false);
            if (name == u"nth-last-child")
                return NthChildPredicate(expression, true);
            if (name == u"nth-of-type")
                return NthOfTypePredicate(expression, compound, false);
            if (name == u"nth-last-of-type")
                return NthOfTypePredicate(expression, compound, true);
            fail("Unrecognized pseudo class", position_);
            return NeverPredicate();
        }
        if (name == u"not") {
            const std::optional<std::u16string_view> argument = scanFunctionArgument();
            if (!argument)
                return NeverPredicate();
            const std::u16string_view trimmed = TrimmingUnicodeWhitespace(*argument);
            SelectorParser inner(trimmed, whole_, offset_ + static_cast<std::size_t>(trimmed.data() - text_.data()),
                                 depth_ + 1);
            HTMLSelectorPredicate predicate = inner.parseGroup();
            if (!predicate) {
                error_ = std::move(inner.error());
                return NeverPredicate();
            }
            return NegatedPredicate(std::move(predicate));
        }
        fail("Unrecognized pseudo class", position_);
        return NeverPredicate();
    }

    // "(" argument ")"; the argument ends at the first ")" or the end of the text.
    std::optional<std::u16string_view> scanFunctionArgument()
    {
        if (atEnd() || peek() != u'(') {
            fail("Expected ( to start function", position_);
            return std::nullopt;
        }
        ++position_;
        const std::size_t start = position_;
        const std::u16string_view argument = scanRun([](char16_t c) { return c != u')'; });
        if (!atEnd())
            ++position_;
        if (argument.empty()) {
            fail("Expected ) to end function", start);
            return std::nullopt;
        }
        return argument;
    }

    std::u16string_view text_;
    std::u16string_view whole_;  // the selector this text is part of
    std::size_t offset_ = 0;     // where text_ starts in it
    std::size_t baseDepth_ = 0;
    std::size_t depth_ = 0;
    std::size_t position_ = 0;
    std::optional<HTMLSelectorError> error_;
};

} // namespace

HTMLSelectorPredicate SelectorFunctionForString(std::u16string_view text, std::optional<HTMLSelectorError>& error)
{
    SelectorParser parser(TrimmingUnicodeWhitespace(text));
    HTMLSelectorPredicate predicate = parser.parseGroup();
    error = std::move(parser.error());
    return predicate;
}
