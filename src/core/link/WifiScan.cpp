#include "core/link/WifiScan.h"

WifiScan::~WifiScan()
{
    closeTransport();
}

void WifiScan::openTransport()
{
    const AdapterAddress& address = settings_.adapter;
    if (address.port == 0 || address.port > 65535) {
        transportDidFail("the adapter's port is not valid");
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
    transportDidOpen();
}

void WifiScan::streamHasBytes(net::TcpStream& stream)
{
    transportDidReceive(stream.read());
}

void WifiScan::streamError(net::TcpStream&, const std::string& message)
{
    transportDidFail(message);
}

void WifiScan::streamEnded(net::TcpStream&)
{
    transportDidFail("the adapter closed the connection");
}
