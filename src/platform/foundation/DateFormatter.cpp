#include "platform/foundation/DateFormatter.h"

#include <array>
#include <cctype>
#include <cmath>
#include <ctime>
#include <vector>

namespace fnd {

namespace {

constexpr std::array<const char*, 12> monthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};
constexpr std::array<const char*, 7> dayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};

// A pattern is a list of fields (a letter repeated `count` times) and literals.
struct Token {
    char letter = 0;  // 0: literal
    int count = 0;
    std::string literal;
};

bool isPatternLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::vector<Token> tokenize(const std::string& pattern)
{
    std::vector<Token> tokens;
    auto addLiteral = [&](char c) {
        if (tokens.empty() || tokens.back().letter != 0)
            tokens.push_back({});
        tokens.back().literal += c;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                addLiteral('\'');
                i += 2;
                continue;
            }
            // Quoted text up to the closing quote; '' inside stands for a quote.
            for (++i; i < pattern.size(); ++i) {
                if (pattern[i] == '\'') {
                    if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                        addLiteral('\'');
                        ++i;
                        continue;
                    }
                    break;
                }
                addLiteral(pattern[i]);
            }
            ++i;
        } else if (isPatternLetter(c)) {
            std::size_t j = i;
            while (j < pattern.size() && pattern[j] == c)
                ++j;
            tokens.push_back({c, static_cast<int>(j - i), {}});
            i = j;
        } else {
            addLiteral(c);
            ++i;
        }
    }
    return tokens;
}

std::string padded(long value, int width)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

std::string abbreviation(const char* name) { return std::string(name).substr(0, 3); }

void appendField(std::string& out, const Token& token, const std::tm& tm, double fraction)
{
    const int n = token.count;
    switch (token.letter) {
    case 'y':
    case 'Y':
    case 'u':
        out += n == 2 ? padded((tm.tm_year + 1900) % 100, 2) : padded(tm.tm_year + 1900, n);
        break;
    case 'M':
    case 'L':
        if (n >= 4)
            out += monthNames[static_cast<std::size_t>(tm.tm_mon)];
        else if (n == 3)
            out += abbreviation(monthNames[static_cast<std::size_t>(tm.tm_mon)]);
        else
            out += padded(tm.tm_mon + 1, n);
        break;
    case 'd': out += padded(tm.tm_mday, n); break;
    case 'D': out += padded(tm.tm_yday + 1, n); break;
    case 'E':
        out += n >= 4 ? dayNames[static_cast<std::size_t>(tm.tm_wday)]
                      : abbreviation(dayNames[static_cast<std::size_t>(tm.tm_wday)]);
        break;
    case 'H': out += padded(tm.tm_hour, n); break;
    case 'k': out += padded(tm.tm_hour == 0 ? 24 : tm.tm_hour, n); break;
    case 'K': out += padded(tm.tm_hour % 12, n); break;
    case 'h': out += padded(tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12, n); break;
    case 'm': out += padded(tm.tm_min, n); break;
    case 's': out += padded(tm.tm_sec, n); break;
    case 'S': {
        // Fractional seconds, truncated to n digits.
        const long scaled = static_cast<long>(std::floor(fraction * std::pow(10.0, n)));
        out += padded(scaled, n);
        break;
    }
    case 'a': out += tm.tm_hour < 12 ? "AM" : "PM"; break;
    default: out.append(static_cast<std::size_t>(n), token.letter); break;
    }
}

// Parsing state: the fields read so far.
struct Fields {
    int year = 1970, month = 1, day = 1;
    int hour24 = -1, hour12 = -1, minute = 0, second = 0;
    double fraction = 0;
    int pm = -1;
};

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}
    bool atEnd() const { return pos_ == text_.size(); }

    bool number(int minDigits, int maxDigits, int& value)
    {
        int digits = 0;
        value = 0;
        while (pos_ < text_.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            ++digits;
        }
        return digits >= minDigits;
    }

    // Matches one of the names (whole, else its first three letters), ignoring case.
    template <std::size_t N>
    bool name(const std::array<const char*, N>& names, int& index)
    {
        for (const bool whole : {true, false}) {
            for (std::size_t i = 0; i < N; ++i) {
                const std::string candidate = whole ? names[i] : abbreviation(names[i]);
                if (matchesIgnoringCase(candidate)) {
                    pos_ += candidate.size();
                    index = static_cast<int>(i);
                    return true;
                }
            }
        }
        return false;
    }

    bool word(const std::string& expected)
    {
        if (!matchesIgnoringCase(expected))
            return false;
        pos_ += expected.size();
        return true;
    }

private:
    bool matchesIgnoringCase(const std::string& candidate) const
    {
        if (text_.size() - pos_ < candidate.size())
            return false;
        for (std::size_t i = 0; i < candidate.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(text_[pos_ + i])) !=
                std::tolower(static_cast<unsigned char>(candidate[i])))
                return false;
        }
        return true;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

int currentYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm.tm_year + 1900;
}

bool readField(Reader& in, const Token& token, Fields& f)
{
    const int n = token.count;
    int value = 0;
    switch (token.letter) {
    case 'y':
    case 'Y':
    case 'u':
        if (n == 2) {
            if (!in.number(2, 2, value))
                return false;
            // Two-digit years fall within 80 years before and 20 after this year.
            const int thisYear = currentYear();
            f.year = thisYear / 100 * 100 + value;
            if (f.year > thisYear + 20)
                f.year -= 100;
            else if (f.year <= thisYear - 80)
                f.year += 100;
            return true;
        }
        return in.number(1, 4, f.year);
    case 'M':
    case 'L':
        if (n >= 3) {
            if (!in.name(monthNames, value))
                return false;
            f.month = value + 1;
            return true;
        }
        return in.number(1, 2, f.month);
    case 'd': return in.number(1, 2, f.day);
    case 'E': return in.name(dayNames, value);
    case 'H':
    case 'k':
        if (!in.number(1, 2, f.hour24))
            return false;
        if (token.letter == 'k' && f.hour24 == 24)
            f.hour24 = 0;
        return true;
    case 'h':
    case 'K': return in.number(1, 2, f.hour12);
    case 'm': return in.number(1, 2, f.minute);
    case 's': return in.number(1, 2, f.second);
    case 'S':
        if (!in.number(n, n, value))
            return false;
        f.fraction = value / std::pow(10.0, n);
        return true;
    case 'a':
        if (in.word("AM"))
            f.pm = 0;
        else if (in.word("PM"))
            f.pm = 1;
        else
            return false;
        return true;
    default: return in.word(std::string(static_cast<std::size_t>(n), token.letter));
    }
}

}  // namespace

DateFormatter::DateFormatter(std::string pattern) : pattern_(std::move(pattern)) {}

std::string DateFormatter::stringFromDate(const Date& date) const
{
    const double whole = std::floor(date.secondsSince1970);
    const auto seconds = static_cast<std::time_t>(whole);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    std::string out;
    for (const auto& token : tokenize(pattern_)) {
        if (token.letter == 0)
            out += token.literal;
        else
            appendField(out, token, tm, date.secondsSince1970 - whole);
    }
    return out;
}

std::optional<Date> DateFormatter::dateFromString(const std::string& text) const
{
    Reader in(text);
    Fields f;
    for (const auto& token : tokenize(pattern_)) {
        if (token.letter == 0 ? !in.word(token.literal) : !readField(in, token, f))
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;

    int hour = 0;
    if (f.hour24 >= 0)
        hour = f.hour24;  // a 24-hour field wins over AM/PM, as the platform does
    else if (f.hour12 >= 0)
        hour = f.hour12 % 12 + (f.pm == 1 ? 12 : 0);
    else if (f.pm == 1)
        hour = 12;
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || hour > 23 || f.minute > 59 || f.second > 60 ||
        (f.hour12 >= 0 && f.hour12 > 12))
        return std::nullopt;

    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&tm);
    // mktime rolls 31 April over into May: such a day does not exist.
    if (seconds == static_cast<std::time_t>(-1) || tm.tm_mday != f.day || tm.tm_mon != f.month - 1)
        return std::nullopt;
    return Date{static_cast<double>(seconds) + f.fraction};
}

}  // namespace fnd
