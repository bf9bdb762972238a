#pragma once

// Private to src/platform/net: the half of UrlSession that uses Qt's network library. It is built as a
// module of its own (libnorvale_net_http.so) that is opened with the first request, so that a launch
// never loads that library and the dozen it brings (proxies, Kerberos, compression); the adapter link,
// which connects at start-up, uses a plain socket instead. The module needs nothing of the program: the
// timeouts, on the run loop's clock, are the program's side.

#include <functional>
#include <memory>
#include <string>

#include "platform/net/UrlSession.h"

namespace net {

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Starts a GET of an http or https URL already checked; `completion` runs on the main thread, exactly
    // once. The call returned ends the request early, with the reason it is given as the error.
    virtual std::function<void(const std::string& reason)> get(const std::string& url, const std::string& userAgent,
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
