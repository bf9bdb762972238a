#pragma once

#include <memory>

#include "core/link/ELMScanner.h"
#include "platform/net/TcpStream.h"

// An ELM327 adapter over Wi-Fi: TCP to the settings' adapter address, non-blocking on the main loop.
class WifiScan : public ELMScanner, private net::TcpStream::Delegate {
public:
    static constexpr double connectTimeout = 10.0;

    WifiScan() = default;
    ~WifiScan() override;

private:
    void openTransport() override;
    void closeTransport() override;
    bool writeToTransport(std::string_view bytes) override;

    void streamDidOpen(net::TcpStream&) override;
    void streamHasBytes(net::TcpStream&) override;
    void streamError(net::TcpStream&, const std::string& message) override;
    void streamEnded(net::TcpStream&) override;

    std::unique_ptr<net::TcpStream> stream_;
    bool opened_ = false;
};
