#include "platform/net/TcpStream.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

// A plain non-blocking socket watched by the run loop: the adapter link connects at start-up, and
// this keeps Qt's network library (and the many it brings) out of every launch.

namespace net {

namespace {

using Addresses = std::vector<sockaddr_storage>;

struct Lookup {
    Addresses addresses;
    std::string error;
};

Lookup lookUp(const std::string& host, std::uint16_t port, int flags)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    Lookup lookup;
    const int status = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (status != 0) {
        lookup.error = status == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(status);
        return lookup;
    }
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        sockaddr_storage address{};
        std::memcpy(&address, entry->ai_addr, entry->ai_addrlen);
        lookup.addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return lookup;
}

// Names that are not numeric addresses are looked up here, off the main thread.
fnd::DispatchQueue& lookupQueue()
{
    static fnd::DispatchQueue queue("net.lookup");
    return queue;
}

socklen_t lengthOf(const sockaddr_storage& address)
{
    return address.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

}  // namespace

struct TcpStream::Impl {
    TcpStream& owner;
    Delegate* delegate = nullptr;
    int signalDepth = 0;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
    std::string incoming;
    std::string outgoing;
    Addresses candidates;
    std::string lastError;
    fnd::DelayedCall timeout;
    bool opened = false;
    bool discardsIncoming = false;
    // Expires when the stream is destroyed, possibly by the delegate during an event.
    std::shared_ptr<int> alive = std::make_shared<int>(0);
    // Expires when the attempt it belongs to is given up, so that a late lookup is dropped.
    std::shared_ptr<int> attempt;

    explicit Impl(TcpStream& stream) : owner(stream) {}
    ~Impl()
    {
        timeout.cancel();
        dropSocket();
    }

    // A notifier must not be deleted inside its own signal: then it goes later, from the event loop.
    void dropNotifier(std::unique_ptr<QSocketNotifier>& notifier)
    {
        if (!notifier)
            return;
        notifier->setEnabled(false);
        notifier->disconnect();
        if (signalDepth > 0)
            notifier.release()->deleteLater();
        else
            notifier.reset();
    }

    void dropSocket()
    {
        dropNotifier(readable);
        dropNotifier(writable);
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        outgoing.clear();
    }

    // Calls the delegate; false when the stream or its socket went away meanwhile.
    template <typename Fn>
    bool notify(Fn&& fn)
    {
        if (delegate == nullptr)
            return true;
        const std::weak_ptr<int> guard = alive;
        const int current = fd;
        fn(*delegate);
        return !guard.expired() && fd == current && fd >= 0;
    }

    // Runs a notifier's handler with the depth count that keeps the notifier alive.
    template <typename Fn>
    void onSignal(Fn&& fn)
    {
        const std::weak_ptr<int> guard = alive;
        ++signalDepth;
        fn();
        if (!guard.expired())
            --signalDepth;
    }

    void failed(const std::string& message)
    {
        timeout.cancel();
        attempt.reset();
        opened = false;
        dropSocket();
        notify([&](Delegate& d) { d.streamError(owner, message); });
    }

    void start(const std::string& host, std::uint16_t port, double timeoutSeconds)
    {
        attempt = std::make_shared<int>(0);
        timeout = fnd::after(timeoutSeconds, [this, host, port] {
            if (!opened)
                failed("Connection to " + host + ":" + std::to_string(port) + " timed out");
        });
        Lookup numeric = lookUp(host, port, AI_NUMERICHOST);
        if (!numeric.addresses.empty()) {
            connectTo(std::move(numeric.addresses));
            return;
        }
        lookupQueue().async([host, port, weak = std::weak_ptr<int>(attempt), this] {
            Lookup lookup = lookUp(host, port, 0);
            fnd::RunLoop::main().post([weak, this, host, lookup = std::move(lookup)]() mutable {
                if (weak.expired())
                    return;  // given up, closed or destroyed meanwhile
                if (lookup.addresses.empty())
                    failed("Host " + host + " not found (" + lookup.error + ")");
                else
                    connectTo(std::move(lookup.addresses));
            });
        });
    }

    void connectTo(Addresses addresses)
    {
        candidates = std::move(addresses);
        lastError.clear();
        tryNextAddress();
    }

    // Each address in turn, until one takes the connection.
    void tryNextAddress()
    {
        dropSocket();
        while (!candidates.empty()) {
            const sockaddr_storage address = candidates.front();
            candidates.erase(candidates.begin());
            fd = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (fd < 0) {
                lastError = std::strerror(errno);
                continue;
            }
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), lengthOf(address)) == 0 ||
                errno == EINPROGRESS) {
                watch();
                writable->setEnabled(true);
                return;
            }
            lastError = std::strerror(errno);
            dropSocket();
        }
        failed(lastError.empty() ? "No address to connect to" : lastError);
    }

    void watch()
    {
        readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        writable->setEnabled(false);
        // A connection under way reads nothing yet.
        readable->setEnabled(false);
        QObject::connect(readable.get(), &QSocketNotifier::activated, [this] { onSignal([this] { canRead(); }); });
        QObject::connect(writable.get(), &QSocketNotifier::activated, [this] { onSignal([this] { canWrite(); }); });
    }

    void canWrite()
    {
        if (!opened) {
            connectFinished();
            return;
        }
        if (!sendQueued())
            return;
        if (outgoing.empty()) {
            writable->setEnabled(false);
            notify([&](Delegate& d) { d.streamHasSpace(owner); });
        }
    }

    void connectFinished()
    {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (error != 0) {
            lastError = std::strerror(error);
            tryNextAddress();
            return;
        }
        timeout.cancel();
        attempt.reset();
        opened = true;
        readable->setEnabled(true);
        writable->setEnabled(false);
        if (notify([&](Delegate& d) { d.streamDidOpen(owner); }))
            notify([&](Delegate& d) { d.streamHasSpace(owner); });
    }

    // Hands the socket what it takes now; false (and reported) when the connection broke.
    bool sendQueued()
    {
        while (!outgoing.empty()) {
            const ssize_t sent = ::send(fd, outgoing.data(), outgoing.size(), MSG_NOSIGNAL);
            if (sent > 0) {
                outgoing.erase(0, static_cast<std::size_t>(sent));
                continue;
            }
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            failed(std::strerror(errno));
            return false;
        }
        return true;
    }

    // What arrived is handed over first; the peer's end after it. One event reads a bounded amount, so a
    // peer that never stops sending cannot hold the run loop here.
    void canRead()
    {
        static constexpr std::size_t mostPerEvent = 256 * 1024;
        bool ended = false;
        char buffer[16384];
        for (std::size_t taken = 0; taken < mostPerEvent;) {
            const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
            if (received > 0) {
                taken += static_cast<std::size_t>(received);
                if (!discardsIncoming)
                    incoming.append(buffer, static_cast<std::size_t>(received));
                continue;
            }
            if (received < 0 && errno == EINTR)
                continue;
            if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                break;
            if (received < 0) {
                failed(std::strerror(errno));
                return;
            }
            ended = true;
            break;
        }
        if (!incoming.empty() && !notify([&](Delegate& d) { d.streamHasBytes(owner); }))
            return;
        if (ended) {
            opened = false;
            dropSocket();
            notify([&](Delegate& d) { d.streamEnded(owner); });
        }
    }
};

TcpStream::TcpStream() : impl_(std::make_unique<Impl>(*this)) {}

TcpStream::~TcpStream() = default;

void TcpStream::setDelegate(Delegate* delegate) { impl_->delegate = delegate; }

void TcpStream::connectToHost(const std::string& host, std::uint16_t port, double timeoutSeconds)
{
    close();
    impl_->incoming.clear();
    impl_->start(host, port, timeoutSeconds);
}

std::string TcpStream::read() { return std::exchange(impl_->incoming, {}); }

void TcpStream::discardIncoming()
{
    impl_->discardsIncoming = true;
    impl_->incoming.clear();
}

std::size_t TcpStream::write(std::string_view bytes)
{
    if (!impl_->opened || bytes.empty())
        return 0;
    // Sent from the loop, which says when all is taken, as after a connection opens.
    impl_->outgoing.append(bytes);
    impl_->writable->setEnabled(true);
    return bytes.size();
}

void TcpStream::close()
{
    impl_->timeout.cancel();
    impl_->attempt.reset();
    // What is queued is handed over without blocking; what the socket does not take is dropped.
    if (impl_->opened && !impl_->outgoing.empty())
        ::send(impl_->fd, impl_->outgoing.data(), impl_->outgoing.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    impl_->opened = false;
    impl_->candidates.clear();
    impl_->dropSocket();
}

bool TcpStream::isOpen() const { return impl_->opened; }

}  // namespace net
