#include "platform/foundation/FileIO.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/foundation/Log.h"

namespace fnd {

namespace fs = std::filesystem;

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool fail(const fs::path& file, const char* what)
{
    log(LogLevel::Error, "cannot save " + file.string() + ": " + what + ": " + std::strerror(errno));
    return false;
}

// "<pid>-<n>" of a temporary file the atomic writer names ".<file>.tmp-<pid>-<n>".
bool isWriterGone(const std::string& suffix)
{
    const std::string pid = suffix.substr(0, suffix.find('-'));
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9)
        return false;
    return ::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH;
}

// The first free "<name>.corrupt-<n>" beside the file.
fs::path asideName(const fs::path& file)
{
    std::error_code error;
    for (int n = 1;; ++n) {
        fs::path candidate = file;
        candidate += ".corrupt-" + std::to_string(n);
        if (!fs::exists(candidate, error))
            return candidate;
    }
}

}  // namespace

bool writeFileAtomically(const fs::path& file, std::string_view bytes)
{
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code error;
    fs::create_directories(folder, error);
    static std::atomic<unsigned> serial{0};
    const fs::path temp = folder / ("." + file.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                                    std::to_string(serial++));
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0)
        return fail(file, "create");
    const bool ok = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.close() || !ok) {
        const int saved = errno;
        fs::remove(temp, error);
        errno = saved;
        return fail(file, "write");
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int saved = errno;
        fs::remove(temp, error);
        errno = saved;
        return fail(file, "rename");
    }
    // The rename itself reaches the disk with the folder's entry.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

void removeStaleTemporaries(const fs::path& file)
{
    const std::string prefix = "." + file.filename().string() + ".tmp-";
    std::error_code error;
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code ignored;
        if (name.starts_with(prefix) && isWriterGone(name.substr(prefix.size())) && fs::remove(entry.path(), ignored))
            log(LogLevel::Info, "removed the unfinished save " + name);
    }
}

std::optional<std::string> readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return content.str();
}

std::optional<std::string> readSavedFile(const fs::path& file, std::string& refusal)
{
    const auto refuse = [&refusal](std::string why) {
        refusal = std::move(why);
        return std::nullopt;
    };
    const std::string tooLarge = "over " + std::to_string(largestSavedFile) + " bytes, far more than is ever saved";
    // Not blocking: opening a pipe with no writer would wait for one.
    Fd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return std::nullopt;
    if (!S_ISREG(info.st_mode))
        return refuse("not a regular file");
    if (static_cast<std::uintmax_t>(info.st_size) > largestSavedFile)
        return refuse(tooLarge);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    // To the end, even past the size seen: a file that grows beyond the bound meanwhile is refused too.
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return bytes;
        if (bytes.size() + static_cast<std::size_t>(count) > largestSavedFile)
            return refuse(tooLarge);
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

fs::path moveAside(const fs::path& file)
{
    const fs::path aside = asideName(file);
    std::error_code error;
    fs::rename(file, aside, error);
    if (error) {
        log(LogLevel::Error, "could not move " + file.string() + " aside: " + error.message());
        return {};
    }
    return aside;
}

fs::path copyAside(const fs::path& file)
{
    const fs::path aside = asideName(file);
    std::error_code error;
    fs::copy_file(file, aside, error);
    if (error) {
        log(LogLevel::Error, "could not copy " + file.string() + " aside: " + error.message());
        return {};
    }
    return aside;
}

}  // namespace fnd
