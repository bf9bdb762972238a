#include "core/link/WifiScan.h"

#include "platform/foundation/Strings.h"

WifiScan::~WifiScan()
{
    closeTransport();
}

void WifiScan::openTransport()
{
    const AdapterAddress& address = settings_.adapter;
    opened_ = false;
    if (address.port == 0 || address.port > 65535) {
        transportDidFail(fnd::format("Cannot reach the adapter: port %u is not valid", address.port));
        return;
    }
    stream_ = std::make_unique<net::TcpStream>();
    stream_->setDelegate(this);
    stream_->connectToHost(address.host, static_cast<std::uint16_t>(address.port), connectTimeout);
}

void WifiScan::closeTransport()
{
    if (stream_) {
        stream_->setDelegate(nullptr);
        stream_->close();
    }
    stream_.reset();
}

bool WifiScan::writeToTransport(std::string_view bytes)
{
    return stream_ && stream_->write(bytes) == bytes.size();
}

void WifiScan::streamDidOpen(net::TcpStream&)
{
    opened_ = true;
    transportDidOpen();
}

void WifiScan::streamHasBytes(net::TcpStream& stream)
{
    transportDidReceive(stream.read());
}

void WifiScan::streamError(net::TcpStream&, const std::string& message)
{
    if (opened_) {
        transportDidFail(message);
        return;
    }
    const AdapterAddress& address = settings_.adapter;
    transportDidFail(fnd::format("Cannot reach the adapter at %s:%u (%s)", address.host, address.port, message));
}

void WifiScan::streamEnded(net::TcpStream&)
{
    transportDidFail("the adapter closed the connection");
}
