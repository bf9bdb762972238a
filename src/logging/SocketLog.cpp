#include "logging/SocketLog.h"

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "shell/QueuedAlertController.h"

namespace {

// Lines go out as ASCII: anything else becomes "?".
std::string ascii(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80)
            out += text[i];
        else if ((byte & 0xC0) != 0x80)
            out += '?';
    }
    return out;
}

std::uint16_t portFromSettings()
{
    const unsigned port = Manager::sharedManager().setting().loggerPort;
    return port > 65535 ? 0 : static_cast<std::uint16_t>(port);
}

}  // namespace

SocketLog::SocketLog() : SocketLog(Manager::sharedManager().setting().loggerIP, portFromSettings()) {}

SocketLog::SocketLog(std::string host, std::uint16_t port) : hostIP_(std::move(host)), hostPort_(port) {}

SocketLog::~SocketLog()
{
    close();
}

void SocketLog::connect()
{
    close();
    cachedWriteData_.clear();
    opened_ = false;
    if (hostPort_ == 0 || hostIP_.empty()) {
        connectionFailed();
        return;
    }
    outStream_ = std::make_unique<net::TcpStream>();
    outStream_->setDelegate(this);
    // Nothing is read back: what a server sends is dropped.
    outStream_->discardIncoming();
    outStream_->connectToHost(hostIP_, hostPort_, connectTimeout);
}

void SocketLog::close()
{
    if (outStream_) {
        outStream_->setDelegate(nullptr);
        outStream_->close();
        // Closing may come from inside one of the stream's own events: it goes
        // away once that event is over.
        fnd::RunLoop::main().post([stream = std::shared_ptr<net::TcpStream>(std::move(outStream_))] {});
    }
    connected_ = false;
    hasSpace_ = false;
}

void SocketLog::sendData(const std::string& line)
{
    if (!connected_)
        return;
    cachedWriteData_ += ascii(line) + "\r";
    if (cachedWriteData_.size() > maxBuffered) {
        // Drop whole lines from the front until the buffer fits again.
        std::size_t cut = cachedWriteData_.size() - maxBuffered;
        const std::size_t lineEnd = cachedWriteData_.find('\r', cut > 0 ? cut - 1 : 0);
        cut = lineEnd == std::string::npos ? cachedWriteData_.size() : lineEnd + 1;
        cachedWriteData_.erase(0, cut);
    }
    writeCachedData();
}

void SocketLog::writeCachedData()
{
    if (!outStream_ || !hasSpace_ || cachedWriteData_.empty())
        return;
    const std::size_t written = outStream_->write(cachedWriteData_);
    if (written == 0) {
        fnd::log(fnd::LogLevel::Warning, "write error");
        return;
    }
    cachedWriteData_.erase(0, written);
    // The stream says when it has taken everything; until then the rest waits here.
    hasSpace_ = false;
}

void SocketLog::streamDidOpen(net::TcpStream&)
{
    connected_ = true;
    opened_ = true;
}

void SocketLog::streamHasSpace(net::TcpStream&)
{
    hasSpace_ = true;
    writeCachedData();
}

void SocketLog::streamError(net::TcpStream&, const std::string& message)
{
    fnd::log(fnd::LogLevel::Warning, "TCP logger: " + message);
    if (connected_)
        connectionLost();
    else
        connectionFailed();
}

void SocketLog::streamEnded(net::TcpStream&)
{
    connectionLost();
}

void SocketLog::connectionLost()
{
    close();
    if (delegate_)
        delegate_->disconnectSocket();
}

void SocketLog::connectionFailed()
{
    close();
    auto alert = QueuedAlertController::alertControllerWithTitle(
        "Scanner error", fnd::format("%s, %s:%ld", fnd::L("Scanner msg2"), hostIP_, static_cast<long>(hostPort_)));
    alert->addAction("Cancel", ui::AlertActionStyle::Cancel);
    std::weak_ptr<bool> alive = alive_;
    alert->addAction("Retry", ui::AlertActionStyle::Default, [this, alive, retry = retry_] {
        if (retry)
            retry();
        else if (!alive.expired())
            connect();
    });
    alert->show();
    if (delegate_)
        delegate_->disconnectSocket();
}
