#include "platform/foundation/LineReader.h"

#include <streambuf>

namespace fnd {

std::optional<LineReader::Line> LineReader::next()
{
    std::streambuf* buffer = in_.rdbuf();
    if (buffer == nullptr)
        return std::nullopt;
    Line line;
    bool any = false;
    while (line.text.size() <= longest_) {
        const auto c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(std::ios::eofbit);
            break;
        }
        ++bytesRead_;
        any = true;
        if (c == '\n') {
            if (!line.text.empty() && line.text.back() == '\r')
                line.text.pop_back();
            return line;
        }
        line.text.push_back(static_cast<char>(c));
    }
    if (!any)
        return std::nullopt;
    line.tooLong = line.text.size() > longest_;
    return line;
}

}  // namespace fnd
