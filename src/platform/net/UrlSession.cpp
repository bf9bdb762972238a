#include "platform/net/UrlSession.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include <cstdlib>
#include <mutex>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

namespace net {

namespace {

constexpr qint64 maximumBodyBytes = 32 * 1024 * 1024;

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
    std::string failure;  // set when we abort the reply ourselves

    void complete(const UrlResponse& response)
    {
        timeout.cancel();
        if (auto done = std::exchange(completion, nullptr))
            done(response);
    }
};

UrlResponse responseOf(QNetworkReply& reply, const std::string& failure)
{
    UrlResponse response;
    response.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply.isOpen()) {
        const QByteArray body = reply.readAll();
        response.body.assign(body.constData(), static_cast<std::size_t>(body.size()));
    }
    response.contentType = reply.rawHeader("Content-Type").toStdString();
    const auto error = reply.error();
    // Errors in Qt's content and server classes (201 and up) are HTTP statuses,
    // which the status reports; below that the transfer itself failed.
    const bool transportFailed = error != QNetworkReply::NoError && (response.status == 0 || error < 201);
    if (!failure.empty())
        response.error = failure;
    else if (transportFailed)
        response.error = reply.errorString().toStdString();
    if (!response.error.empty())
        response.status = 0;
    return response;
}

}  // namespace

struct UrlSession::Impl {
    std::unique_ptr<QNetworkAccessManager> manager;
    double timeout = 30.0;
    std::string userAgent;

    QNetworkAccessManager& network()
    {
        if (!manager) {
            manager = std::make_unique<QNetworkAccessManager>();
            // The manager and its replies go before the application object they need, not at static
            // destruction, when Qt can no longer take them apart.
            qAddPostRoutine([] { UrlSession::shared().impl_->manager.reset(); });
        }
        return *manager;
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
    auto pending = std::make_shared<Pending>();
    pending->completion = std::move(completion);

    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = address.scheme();
    if (!address.isValid() || address.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        fnd::RunLoop::main().post([pending, url] { pending->complete({0, {}, "Invalid URL: " + url, {}}); });
        return;
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!impl_->userAgent.empty())
        request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromStdString(impl_->userAgent));
    QNetworkReply* reply = impl_->network().get(request);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, pending](qint64 received, qint64) {
        if (received > maximumBodyBytes && pending->failure.empty()) {
            pending->failure = "The response is too large";
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, pending] {
        const UrlResponse response = responseOf(*reply, pending->failure);
        reply->deleteLater();
        pending->complete(response);
    });
    pending->timeout = fnd::after(impl_->timeout, [reply = QPointer<QNetworkReply>(reply), pending] {
        if (!reply)
            return;  // gone with its session
        pending->failure = "The request timed out";
        reply->abort();  // finishes the reply, which completes
    });
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
