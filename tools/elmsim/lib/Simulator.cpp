#include "elmsim/lib/Simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <random>
#include <thread>

namespace elmsim {

struct Simulator::Impl {
    mutable std::mutex mutex;
    Adapter adapter;
    double latency = 0;
    double jitter = 0;
    std::minstd_rand random{std::random_device{}()};
    std::vector<std::string> requests;
    int interruptions = 0;
    int connections = 0;
    std::function<void(const std::string&)> observer;
    std::function<double()> clock = [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    double lastRequest = clock();

    std::thread thread;
    std::atomic<bool> stopping{false};
    int listenFd = -1;
    int clientFd = -1;
    int wake[2] = {-1, -1};
    std::uint16_t port = 0;

    // Owned by the thread.
    std::string pending;   // bytes received and not yet handled
    std::string command;   // the request being typed
    bool stalled = false;  // a reply without prompt is out

    void run();
    void closeClient();
    void sendAll(const std::string& text);
    void handleInput();
    void answer(const std::string& request);
    bool waitForInterruption(double seconds);
};

void Simulator::Impl::closeClient()
{
    if (clientFd >= 0)
        ::close(clientFd);
    clientFd = -1;
    pending.clear();
    command.clear();
    stalled = false;
}

void Simulator::Impl::sendAll(const std::string& text)
{
    std::size_t sent = 0;
    while (clientFd >= 0 && sent < text.size()) {
        const ssize_t n = ::send(clientFd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            closeClient();
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

// A byte that arrives while the adapter is answering aborts the answer, as on a real ELM327.
bool Simulator::Impl::waitForInterruption(double seconds)
{
    if (pending.find_first_not_of('\n') != std::string::npos)
        return true;
    pollfd fd{clientFd, POLLIN, 0};
    return ::poll(&fd, 1, static_cast<int>(std::lround(seconds * 1000))) > 0;
}

void Simulator::Impl::answer(const std::string& request)
{
    Output output;
    double wait = 0;
    std::function<void(const std::string&)> notify;
    {
        std::lock_guard lock(mutex);
        requests.push_back(request);
        notify = observer;
        const double now = clock();
        adapter.car().advance(now - lastRequest);
        lastRequest = now;
        output = adapter.handle(request);
        wait = latency;
        if (jitter > 0)
            wait = std::max(0.0, wait + std::uniform_real_distribution<double>(-jitter, jitter)(random));
    }
    if (notify)
        notify(request);
    if (output.drop) {
        closeClient();
        return;
    }
    if (waitForInterruption(wait)) {
        std::lock_guard lock(mutex);
        ++interruptions;
        output.text = adapter.interruption();
        output.stall = false;
        if (pending.empty()) {
            char byte;
            if (::recv(clientFd, &byte, 1, 0) <= 0)
                closeClient();
        } else {
            pending.erase(0, 1);
        }
    }
    sendAll(output.text);
    stalled = output.stall;
}

void Simulator::Impl::handleInput()
{
    while (clientFd >= 0 && !pending.empty()) {
        if (stalled) {
            // The stalled reply is stopped by this byte, which is lost.
            pending.erase(0, 1);
            stalled = false;
            std::string text;
            {
                std::lock_guard lock(mutex);
                ++interruptions;
                text = adapter.interruption();
            }
            sendAll(text);
            continue;
        }
        const char c = pending.front();
        pending.erase(0, 1);
        if (c == '\r') {
            std::string request;
            request.swap(command);
            answer(request);
        } else if (c != '\n' && c != '\0') {
            command += c;
        }
    }
}

void Simulator::Impl::run()
{
    while (!stopping) {
        pollfd fds[3] = {{wake[0], POLLIN, 0}, {listenFd, POLLIN, 0}, {clientFd, POLLIN, 0}};
        if (::poll(fds, clientFd >= 0 ? 3 : 2, -1) < 0)
            continue;
        if (fds[0].revents || stopping)
            break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept(listenFd, nullptr, nullptr);
            if (fd >= 0) {
                closeClient();
                clientFd = fd;
                std::lock_guard lock(mutex);
                ++connections;
            }
            continue;
        }
        if (clientFd >= 0 && fds[2].revents) {
            char buffer[512];
            const ssize_t n = ::recv(clientFd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closeClient();
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
            handleInput();
        }
    }
}

Simulator::Simulator() : impl_(std::make_unique<Impl>()) {}

Simulator::~Simulator()
{
    stop();
}

std::uint16_t Simulator::start(std::uint16_t port)
{
    stop();
    Impl& d = *impl_;
    d.listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (d.listenFd < 0)
        return 0;
    const int yes = 1;
    ::setsockopt(d.listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(d.listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 ||
        ::listen(d.listenFd, 4) < 0 || ::getsockname(d.listenFd, reinterpret_cast<sockaddr*>(&address), &length) < 0 ||
        ::pipe2(d.wake, O_CLOEXEC) < 0) {
        stop();
        return 0;
    }
    d.port = ntohs(address.sin_port);
    d.stopping = false;
    d.thread = std::thread([&d] { d.run(); });
    return d.port;
}

void Simulator::stop()
{
    Impl& d = *impl_;
    d.stopping = true;
    if (d.thread.joinable()) {
        const char byte = 0;
        [[maybe_unused]] const auto written = ::write(d.wake[1], &byte, 1);
        d.thread.join();
    }
    d.closeClient();
    for (int* fd : {&d.listenFd, &d.wake[0], &d.wake[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    d.port = 0;
}

std::uint16_t Simulator::port() const
{
    return impl_->port;
}

void Simulator::updateCar(const std::function<void(CarState&)>& change)
{
    std::lock_guard lock(impl_->mutex);
    impl_->adapter.car().update(change);
}

CarState Simulator::car() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->adapter.car().state();
}

void Simulator::setOptions(const std::function<void(AdapterOptions&)>& change)
{
    std::lock_guard lock(impl_->mutex);
    change(impl_->adapter.options());
}

void Simulator::setClock(std::function<double()> now)
{
    std::lock_guard lock(impl_->mutex);
    impl_->clock = std::move(now);
    impl_->lastRequest = impl_->clock();
}

void Simulator::setLatency(double seconds, double jitter)
{
    std::lock_guard lock(impl_->mutex);
    impl_->latency = seconds;
    impl_->jitter = jitter;
}

void Simulator::injectFault(Fault fault, int times, const std::string& request)
{
    std::lock_guard lock(impl_->mutex);
    impl_->adapter.injectFault(fault, times, request);
}

void Simulator::clearFaults()
{
    std::lock_guard lock(impl_->mutex);
    impl_->adapter.clearFaults();
}

std::vector<std::string> Simulator::requests() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

void Simulator::clearRequests()
{
    std::lock_guard lock(impl_->mutex);
    impl_->requests.clear();
}

int Simulator::interruptions() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->interruptions;
}

int Simulator::connections() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->connections;
}

void Simulator::setRequestObserver(std::function<void(const std::string&)> observer)
{
    std::lock_guard lock(impl_->mutex);
    impl_->observer = std::move(observer);
}

}  // namespace elmsim
