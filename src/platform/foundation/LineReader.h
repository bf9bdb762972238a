#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace fnd {

// Reads a text stream line by line without trusting it: no call reads more than `longest` + 1 bytes, so a
// file with no line ends (/dev/zero) or an endless one (/dev/urandom, a pipe) never fills memory or
// stalls a caller. A line longer than `longest` comes back in pieces marked too long, its last piece too;
// the caller skips them.
class LineReader {
public:
    struct Line {
        std::string text;  // without its "\n" or "\r\n"
        bool tooLong = false;
    };

    LineReader(std::istream& in, std::size_t longest) : in_(in), longest_(longest) {}

    // The next line, or the next piece of a long one; nullopt at the end of the stream.
    std::optional<Line> next();
    // Every byte taken from the stream so far.
    std::uint64_t bytesRead() const { return bytesRead_; }

private:
    std::istream& in_;
    std::size_t longest_;
    std::uint64_t bytesRead_ = 0;
    bool insideLongLine_ = false;  // the pieces so far were of one line too long
};

}  // namespace fnd
