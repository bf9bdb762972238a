#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Servers on 127.0.0.1 for tests, each on its own thread, so the code under test
// talks to a real socket while the test drives the main loop.
namespace testsupport {

// One accepted connection, seen from the server's side.
class LoopbackConnection {
public:
    explicit LoopbackConnection(int fd) : fd_(fd) {}
    ~LoopbackConnection();
    LoopbackConnection(const LoopbackConnection&) = delete;
    LoopbackConnection& operator=(const LoopbackConnection&) = delete;

    // What arrives within the time limit; "" at the end of the stream or on timeout.
    std::string readSome(double timeoutSeconds = 5.0);
    // Reads until `terminator` has arrived (returned with it), the stream ends or time runs out.
    std::string readUntil(std::string_view terminator, double timeoutSeconds = 5.0);
    bool write(std::string_view bytes);
    void close();

private:
    int fd_;
};

class LoopbackServer {
public:
    // handler runs on the server's thread for each connection, one after the other;
    // the connection closes when it returns.
    using Handler = std::function<void(LoopbackConnection&)>;
    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return port_; }
    int connectionsAccepted() const { return accepted_; }

private:
    void run();

    Handler handler_;
    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens: connecting to it is refused.
std::uint16_t unusedLoopbackPort();

// A listener on 127.0.0.1 that never accepts and whose queue is already full, so
// a connection attempt to it neither succeeds nor fails: it hangs until the
// client gives up.
class StalledListener {
public:
    StalledListener();
    ~StalledListener();
    StalledListener(const StalledListener&) = delete;
    StalledListener& operator=(const StalledListener&) = delete;
    std::uint16_t port() const { return port_; }

private:
    int listenFd_ = -1;
    int fillerFd_ = -1;
    std::uint16_t port_ = 0;
};

struct HttpReply {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
};

// A minimal HTTP/1.1 server: one GET per connection, answered by `route`.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::function<HttpReply(const std::string& path)> route);
    std::string url(const std::string& path = "/") const;  // http://127.0.0.1:<port><path>
    std::uint16_t port() const { return server_.port(); }
    std::vector<std::string> requestedPaths() const;

private:
    std::function<HttpReply(const std::string&)> route_;
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;
    LoopbackServer server_;  // last: its thread uses the members above
};

}  // namespace testsupport
