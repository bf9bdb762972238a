#include "platform/foundation/LineReader.h"

#include <streambuf>
#include <utility>

namespace fnd {

namespace {

// A file buffer throws when the read itself fails (a folder, a device error); that is the end here.
std::char_traits<char>::int_type bump(std::streambuf& buffer)
{
    try {
        return buffer.sbumpc();
    } catch (const std::ios_base::failure&) {
        return std::char_traits<char>::eof();
    }
}

}  // namespace

std::optional<LineReader::Line> LineReader::next()
{
    std::streambuf* buffer = in_.rdbuf();
    if (buffer == nullptr)
        return std::nullopt;
    Line line;
    bool any = false;
    while (line.text.size() <= longest_) {
        const auto c = bump(*buffer);
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(std::ios::eofbit);
            break;
        }
        ++bytesRead_;
        any = true;
        if (c == '\n') {
            if (!line.text.empty() && line.text.back() == '\r')
                line.text.pop_back();
            line.tooLong = std::exchange(insideLongLine_, false);
            return line;
        }
        line.text.push_back(static_cast<char>(c));
    }
    if (!any)
        return std::nullopt;
    line.tooLong = line.text.size() > longest_ || insideLongLine_;
    insideLongLine_ = line.text.size() > longest_;
    return line;
}

}  // namespace fnd
