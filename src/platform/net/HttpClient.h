#pragma once

// Private to src/platform/net: the half of UrlSession that uses Qt's network library. It is built as a
// module of its own (libnorvale_net_http.so) that is opened with the first request, so that a launch
// never loads that library and the dozen it brings (proxies, Kerberos, compression); the adapter link,
// which connects at start-up, uses a plain socket instead. The module uses the program's own functions
// (the run loop, timers), which the program exports.

#include <functional>
#include <memory>
#include <string>

#include "platform/net/UrlSession.h"

namespace net {

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // An http or https URL already checked; completion runs on the main thread, exactly once.
    virtual void get(const std::string& url, const std::string& userAgent, double timeoutSeconds,
                     std::function<void(const UrlResponse&)> completion) = 0;
};

class HttpBackend {
public:
    virtual ~HttpBackend() = default;
    // A client of its own for each session: its requests go with it.
    virtual std::unique_ptr<HttpClient> makeClient() = 0;
};

}  // namespace net

// The module's one entry point.
extern "C" net::HttpBackend* norvale_http_backend();
