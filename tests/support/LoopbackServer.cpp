#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace testsupport {

namespace {

int boundLoopbackSocket(std::uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("bind failed");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits for `fd` to become readable; false on timeout.
bool waitReadable(int fd, double timeoutSeconds)
{
    pollfd p{fd, POLLIN, 0};
    int result = 0;
    do {
        result = ::poll(&p, 1, static_cast<int>(timeoutSeconds * 1000));
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

std::string statusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

}  // namespace

LoopbackConnection::~LoopbackConnection() { close(); }

std::string LoopbackConnection::readSome(double timeoutSeconds)
{
    if (fd_ < 0 || !waitReadable(fd_, timeoutSeconds))
        return {};
    char buffer[4096];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string LoopbackConnection::readUntil(std::string_view terminator, double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    std::string received;
    while (received.find(terminator) == std::string::npos) {
        const double left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            break;
        const std::string more = readSome(left);
        if (more.empty())
            break;
        received += more;
    }
    return received;
}

bool LoopbackConnection::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void LoopbackConnection::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler))
{
    listenFd_ = boundLoopbackSocket(port_);
    if (::listen(listenFd_, 8) != 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("listen failed");
    }
    thread_ = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer()
{
    const char stop = 's';
    [[maybe_unused]] const auto ignored = ::write(stopPipe_[1], &stop, 1);
    thread_.join();
    ::close(listenFd_);
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
}

void LoopbackServer::run()
{
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if ((fds[1].revents & POLLIN) != 0)
            return;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++accepted_;
        LoopbackConnection connection(fd);
        handler_(connection);
    }
}

std::uint16_t unusedLoopbackPort()
{
    std::uint16_t port = 0;
    ::close(boundLoopbackSocket(port));
    return port;
}

StalledListener::StalledListener()
{
    listenFd_ = boundLoopbackSocket(port_);
    ::listen(listenFd_, 0);
    // One connection fills a queue of length 0; later attempts get no answer.
    fillerFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port_);
    if (::connect(fillerFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot fill the listen queue");
}

StalledListener::~StalledListener()
{
    ::close(fillerFd_);
    ::close(listenFd_);
}

LoopbackHttpServer::LoopbackHttpServer(std::function<HttpReply(const std::string& path)> route)
    : route_(std::move(route)), server_([this](LoopbackConnection& connection) {
          const std::string request = connection.readUntil("\r\n\r\n");
          // "GET /path HTTP/1.1"
          const auto start = request.find(' ');
          const auto end = start == std::string::npos ? start : request.find(' ', start + 1);
          if (end == std::string::npos)
              return;
          const std::string path = request.substr(start + 1, end - start - 1);
          {
              const std::lock_guard lock(mutex_);
              paths_.push_back(path);
          }
          const HttpReply reply = route_(path);
          connection.write("HTTP/1.1 " + std::to_string(reply.status) + " " + statusText(reply.status) +
                           "\r\nContent-Type: " + reply.contentType +
                           "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                           "\r\nConnection: close\r\n\r\n" + reply.body);
      })
{
}

std::string LoopbackHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

std::vector<std::string> LoopbackHttpServer::requestedPaths() const
{
    const std::lock_guard lock(mutex_);
    return paths_;
}

}  // namespace testsupport
