#include "platform/net/UrlSession.h"

#include <QCoreApplication>
#include <QUrl>

#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/foundation/Module.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/net/HttpClient.h"

namespace net {

namespace {

struct ReferenceUrl {
    std::mutex mutex;
    std::string url;
};

ReferenceUrl& referenceUrl()
{
    static ReferenceUrl instance;
    return instance;
}

// One request on its way; completes exactly once.
struct Pending {
    std::function<void(const UrlResponse&)> completion;
    fnd::DelayedCall timeout;

    void complete(const UrlResponse& response)
    {
        timeout.cancel();
        if (auto done = std::exchange(completion, nullptr))
            done(response);
    }
};

}  // namespace

struct UrlSession::Impl {
    std::unique_ptr<HttpClient> client;
    double timeout = 30.0;
    std::string userAgent;

    // Made with the first request, when the module is opened; nullptr (with `error` set) when it cannot be.
    HttpClient* http(std::string& error)
    {
        if (client)
            return client.get();
        static const auto loaded = fnd::loadModuleBackend<HttpBackend>("libnorvale_net_http.so", NORVALE_NET_MODULE_DIR,
                                                                       "norvale_http_backend", "Network");
        if (!loaded.backend) {
            error = loaded.error;
            return nullptr;
        }
        client = loaded.backend->makeClient();
        // The client and its replies go before the application object they need, not at static
        // destruction, when Qt can no longer take them apart.
        qAddPostRoutine([] { UrlSession::shared().impl_->client.reset(); });
        return client.get();
    }
};

UrlSession& UrlSession::shared()
{
    static UrlSession session;
    return session;
}

UrlSession::UrlSession() : impl_(std::make_unique<Impl>()) {}

UrlSession::~UrlSession() = default;

void UrlSession::get(const std::string& url, std::function<void(const UrlResponse&)> completion)
{
    const auto fail = [&completion](std::string error) {
        fnd::RunLoop::main().post([completion = std::move(completion), error = std::move(error)] {
            completion({0, {}, error, {}});
        });
    };
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = address.scheme();
    if (!address.isValid() || address.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        fail("Invalid URL: " + url);
        return;
    }
    std::string error;
    HttpClient* http = impl_->http(error);
    if (!http) {
        fail("Cannot fetch " + url + ": " + error);
        return;
    }
    auto pending = std::make_shared<Pending>();
    pending->completion = std::move(completion);
    auto endEarly = http->get(url, impl_->userAgent, [pending](const UrlResponse& response) { pending->complete(response); });
    pending->timeout = fnd::after(impl_->timeout, [endEarly = std::move(endEarly)] { endEarly("The request timed out"); });
}

void UrlSession::setTimeout(double seconds) { impl_->timeout = seconds; }

double UrlSession::timeout() const { return impl_->timeout; }

void UrlSession::setUserAgent(std::string userAgent) { impl_->userAgent = std::move(userAgent); }

std::string UrlSession::referenceBaseUrl()
{
    auto& reference = referenceUrl();
    const std::lock_guard lock(reference.mutex);
    // No built-in site: the codes read from the user's car go nowhere the user did not choose.
    const char* fromEnv = std::getenv("NORVALE_DTC_REFERENCE_URL");
    const std::string url = !reference.url.empty() ? reference.url : fromEnv != nullptr ? fromEnv : "";
    return url == "off" ? std::string() : url;
}

void UrlSession::setReferenceBaseUrl(const std::string& url)
{
    auto& reference = referenceUrl();
    const std::lock_guard lock(reference.mutex);
    reference.url = url;
}

}  // namespace net
