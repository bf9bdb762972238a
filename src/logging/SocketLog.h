#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/net/TcpStream.h"

// Told when the TCP logger's connection failed or ended.
class SocketLogDelegate {
public:
    virtual ~SocketLogDelegate() = default;
    virtual void disconnectSocket() {}
};

// Live-data lines to the TCP server of the logger settings: plain ASCII, each
// ended by one carriage return, nothing read back. Lines are sent once the
// connection is open; what the network cannot take yet waits in a buffer of at
// most 1 MB, the oldest lines giving way. A connection that does not open
// within 5 s shows the "Scanner error" alert (with Retry); one that breaks
// later is reported once.
class SocketLog : private net::TcpStream::Delegate {
public:
    // Takes the server from Settings.loggerIP and loggerPort.
    SocketLog();
    SocketLog(std::string host, std::uint16_t port);
    ~SocketLog() override;

    void setDelegate(SocketLogDelegate* delegate) { delegate_ = delegate; }
    // What "Retry" on the connection alert does; unset, it connects this logger again.
    // It may outlive the logger.
    void setRetryHandler(std::function<void()> retry) { retry_ = std::move(retry); }
    void connect();
    void close();
    void disconnect() { close(); }
    // Sends the line and a carriage return; dropped while not connected.
    void sendData(const std::string& line);

    bool connected() const { return connected_; }
    // The last connection opened before it ended (a break, not a failure to connect).
    bool wasOpened() const { return opened_; }
    std::size_t bufferedBytes() const { return cachedWriteData_.size(); }
    const std::string& hostIP() const { return hostIP_; }
    std::uint16_t hostPort() const { return hostPort_; }

    static constexpr double connectTimeout = 5.0;
    static constexpr std::size_t maxBuffered = 1024 * 1024;

private:
    void streamDidOpen(net::TcpStream&) override;
    void streamHasSpace(net::TcpStream&) override;
    void streamError(net::TcpStream&, const std::string& message) override;
    void streamEnded(net::TcpStream&) override;
    void writeCachedData();
    void connectionFailed();
    void connectionLost();

    std::string hostIP_;
    std::uint16_t hostPort_ = 0;
    std::unique_ptr<net::TcpStream> outStream_;
    std::string cachedWriteData_;
    bool connected_ = false;
    bool opened_ = false;
    std::function<void()> retry_;
    bool hasSpace_ = false;
    SocketLogDelegate* delegate_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
