#pragma once

#include <functional>
#include <memory>
#include <string>

namespace net {

// status is the HTTP status (0 when no response came); error is set only when
// no response came (transport failure, timeout, bad address).
struct UrlResponse {
    int status = 0;
    std::string body;
    std::string error;
    std::string contentType;
};

class UrlSession {
public:
    static UrlSession& shared();
    UrlSession();
    ~UrlSession();
    UrlSession(const UrlSession&) = delete;
    UrlSession& operator=(const UrlSession&) = delete;

    // completion runs on the main thread, exactly once.
    void get(const std::string& url, std::function<void(const UrlResponse&)> completion);
    void setTimeout(double seconds);  // on the run loop's clock; 30 s by default
    double timeout() const;
    // Sent with every request of this session when not empty.
    void setUserAgent(std::string userAgent);

    // The trouble-code reference site (pages at base + "/" + code): the one set here, else the env var
    // NORVALE_DTC_REFERENCE_URL; "" when neither names one ("off" names none). Tests point it at loopback.
    static std::string referenceBaseUrl();
    static void setReferenceBaseUrl(const std::string& url);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace net
