#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <streambuf>
#include <string>

namespace fnd {

// A file read without ever waiting on it, for what may be a named pipe or a device fed by another program
// (a replay): opening does not wait for a writer, and reading gives what has arrived. While more may come,
// only whole lines are given, so that a reader never takes half of one for a line; the end of what has
// arrived is then a pause (waiting()), and reading again later finds what came since.
class NonBlockingInput : public std::streambuf {
public:
    // nullptr, with errno set, when the file cannot be opened.
    static std::unique_ptr<NonBlockingInput> open(const std::filesystem::path& path);
    NonBlockingInput(int fd, bool live);
    ~NonBlockingInput() override;
    NonBlockingInput(const NonBlockingInput&) = delete;
    NonBlockingInput& operator=(const NonBlockingInput&) = delete;

    // Whether the last read found nothing new in a pipe or a device: its end so far, not its end.
    bool waiting() const { return waiting_; }

protected:
    int_type underflow() override;

private:
    int fd_;
    bool live_;  // a pipe or a device: more may follow what has arrived
    bool waiting_ = false;
    std::string buffer_;     // read and not yet taken
    std::size_t given_ = 0;  // the front of buffer_ handed out as the get area
};

}  // namespace fnd
