#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace net {

// A TCP connection with asynchronous connect and non-blocking reads and writes;
// its events reach the delegate on the main thread. The delegate may close or
// destroy the stream from inside any event.
class TcpStream {
public:
    struct Delegate {
        virtual ~Delegate() = default;
        virtual void streamDidOpen(TcpStream&) {}
        virtual void streamHasBytes(TcpStream&) {}  // call read() to take them
        virtual void streamHasSpace(TcpStream&) {}
        virtual void streamError(TcpStream&, const std::string& /*message*/) {}
        virtual void streamEnded(TcpStream&) {}
    };

    TcpStream();
    ~TcpStream();
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    void setDelegate(Delegate* delegate);  // raw pointer the owner clears
    // The timeout runs on the run loop's clock; when it passes first, the attempt
    // ends with streamError.
    void connectToHost(const std::string& host, std::uint16_t port, double timeoutSeconds = 10);
    std::string read();                         // all bytes available now
    // For a connection used only to write: what the peer sends is taken off the socket and dropped,
    // so it neither fills memory nor stalls the peer. streamHasBytes is not called then.
    void discardIncoming();
    std::size_t write(std::string_view bytes);  // queued; returns bytes accepted (0 when not open)
    void close();                               // no events after this
    bool isOpen() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace net
