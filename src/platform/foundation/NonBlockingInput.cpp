#include "platform/foundation/NonBlockingInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fnd {

namespace {

// A live stream's text without a line end is given anyway beyond this: it is no line a reader takes.
constexpr std::size_t longestPartialLine = 64 * 1024;

}  // namespace

std::unique_ptr<NonBlockingInput> NonBlockingInput::open(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        const int saved = errno;
        if (fd >= 0)
            ::close(fd);
        errno = saved;
        return nullptr;
    }
    return std::make_unique<NonBlockingInput>(fd, !S_ISREG(info.st_mode));
}

NonBlockingInput::NonBlockingInput(int fd, bool live) : fd_(fd), live_(live) {}

NonBlockingInput::~NonBlockingInput()
{
    ::close(fd_);
}

NonBlockingInput::int_type NonBlockingInput::underflow()
{
    buffer_.erase(0, given_);
    given_ = 0;
    for (;;) {
        std::size_t ready = buffer_.size();
        if (live_ && ready <= longestPartialLine) {
            const auto lastLineEnd = buffer_.rfind('\n');
            ready = lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1;
        }
        if (ready > 0) {
            waiting_ = false;
            given_ = ready;
            setg(buffer_.data(), buffer_.data(), buffer_.data() + ready);
            return traits_type::to_int_type(buffer_.front());
        }
        char chunk[4096];
        const ssize_t count = ::read(fd_, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            // A pipe with no writer reads as its end, one whose writer is quiet as EAGAIN: both a pause.
            waiting_ = live_ && (count == 0 || errno == EAGAIN || errno == EWOULDBLOCK);
            setg(buffer_.data(), buffer_.data(), buffer_.data());
            return traits_type::eof();
        }
        buffer_.append(chunk, static_cast<std::size_t>(count));
    }
}

}  // namespace fnd
