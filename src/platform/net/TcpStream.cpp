#include "platform/net/TcpStream.h"

#include <QTcpSocket>

#include "platform/foundation/Timer.h"

namespace net {

struct TcpStream::Impl {
    TcpStream& owner;
    Delegate* delegate = nullptr;
    int signalDepth = 0;
    std::unique_ptr<QTcpSocket> socket;
    fnd::DelayedCall timeout;
    bool opened = false;
    // Expires when the stream is destroyed, possibly by the delegate during an event.
    std::shared_ptr<int> alive = std::make_shared<int>(0);

    explicit Impl(TcpStream& stream) : owner(stream) {}
    ~Impl()
    {
        timeout.cancel();
        dropSocket();
    }

    // A socket must not be deleted inside one of its own signals: then it goes
    // later, from the event loop.
    void dropSocket()
    {
        if (!socket)
            return;
        socket->disconnect();
        socket->abort();
        if (signalDepth > 0)
            socket.release()->deleteLater();
        else
            socket.reset();
    }

    // Calls the delegate; false when the stream or its socket went away meanwhile.
    template <typename Fn>
    bool notify(Fn&& fn)
    {
        if (delegate == nullptr)
            return true;
        const std::weak_ptr<int> guard = alive;
        QTcpSocket* current = socket.get();
        fn(*delegate);
        return !guard.expired() && socket.get() == current;
    }

    // Runs a socket signal's handler with the depth count that keeps the socket alive.
    template <typename Fn>
    void onSignal(Fn&& fn)
    {
        const std::weak_ptr<int> guard = alive;
        ++signalDepth;
        fn();
        if (!guard.expired())
            --signalDepth;
    }

    void connected()
    {
        timeout.cancel();
        opened = true;
        if (notify([&](Delegate& d) { d.streamDidOpen(owner); }))
            notify([&](Delegate& d) { d.streamHasSpace(owner); });
    }

    void failed(const std::string& message)
    {
        timeout.cancel();
        opened = false;
        notify([&](Delegate& d) { d.streamError(owner, message); });
    }

    void ended()
    {
        if (!opened)
            return;
        opened = false;
        notify([&](Delegate& d) { d.streamEnded(owner); });
    }

    void start(const std::string& host, std::uint16_t port, double timeoutSeconds)
    {
        socket = std::make_unique<QTcpSocket>();
        QTcpSocket* s = socket.get();
        QObject::connect(s, &QTcpSocket::connected, [this] { onSignal([this] { connected(); }); });
        QObject::connect(s, &QTcpSocket::readyRead, [this] {
            onSignal([this] { notify([&](Delegate& d) { d.streamHasBytes(owner); }); });
        });
        QObject::connect(s, &QTcpSocket::bytesWritten, [this] {
            onSignal([this] {
                if (socket->bytesToWrite() == 0)
                    notify([&](Delegate& d) { d.streamHasSpace(owner); });
            });
        });
        QObject::connect(s, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError error) {
            onSignal([this, error] {
                // The peer closing is the end of the stream, reported by `disconnected`.
                if (error == QAbstractSocket::RemoteHostClosedError && opened)
                    return;
                failed(socket->errorString().toStdString());
            });
        });
        QObject::connect(s, &QTcpSocket::disconnected, [this] { onSignal([this] { ended(); }); });

        timeout = fnd::after(timeoutSeconds, [this, host, port] {
            if (opened || !socket)
                return;
            socket->disconnect();
            socket->abort();
            failed("Connection to " + host + ":" + std::to_string(port) + " timed out");
        });
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        s->connectToHost(QString::fromStdString(host), port);
    }
};

TcpStream::TcpStream() : impl_(std::make_unique<Impl>(*this)) {}

TcpStream::~TcpStream() = default;

void TcpStream::setDelegate(Delegate* delegate) { impl_->delegate = delegate; }

void TcpStream::connectToHost(const std::string& host, std::uint16_t port, double timeoutSeconds)
{
    close();
    impl_->start(host, port, timeoutSeconds);
}

std::string TcpStream::read()
{
    if (!impl_->socket)
        return {};
    const QByteArray bytes = impl_->socket->readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::size_t TcpStream::write(std::string_view bytes)
{
    if (!impl_->opened || bytes.empty())
        return 0;
    const qint64 written = impl_->socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    return written > 0 ? static_cast<std::size_t>(written) : 0;
}

void TcpStream::close()
{
    impl_->timeout.cancel();
    impl_->opened = false;
    if (impl_->socket) {
        impl_->socket->flush();  // hand over what is queued, without blocking
        impl_->dropSocket();
    }
}

bool TcpStream::isOpen() const { return impl_->opened; }

}  // namespace net
