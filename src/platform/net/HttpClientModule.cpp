#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include <memory>

#include "platform/foundation/Timer.h"
#include "platform/net/HttpClient.h"

namespace net {

namespace {

constexpr qint64 maximumBodyBytes = 32 * 1024 * 1024;

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

class QtHttpClient : public HttpClient {
public:
    void get(const std::string& url, const std::string& userAgent, double timeoutSeconds,
             std::function<void(const UrlResponse&)> completion) override
    {
        auto pending = std::make_shared<Pending>();
        pending->completion = std::move(completion);
        QNetworkRequest request(QUrl(QString::fromStdString(url), QUrl::StrictMode));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        if (!userAgent.empty())
            request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromStdString(userAgent));
        QNetworkReply* reply = manager_.get(request);
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
        pending->timeout = fnd::after(timeoutSeconds, [reply = QPointer<QNetworkReply>(reply), pending] {
            if (!reply)
                return;  // gone with its session
            pending->failure = "The request timed out";
            reply->abort();  // finishes the reply, which completes
        });
    }

private:
    QNetworkAccessManager manager_;
};

class QtHttpBackend : public HttpBackend {
public:
    std::unique_ptr<HttpClient> makeClient() override { return std::make_unique<QtHttpClient>(); }
};

}  // namespace

}  // namespace net

net::HttpBackend* norvale_http_backend()
{
    static net::QtHttpBackend backend;
    return &backend;
}
