#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include <memory>

#include "platform/net/HttpClient.h"

namespace net {

namespace {

constexpr qint64 maximumBodyBytes = 32 * 1024 * 1024;

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
    std::function<void(const std::string&)> get(const std::string& url, const std::string& userAgent,
                                                 std::function<void(const UrlResponse&)> completion) override
    {
        // Set when the request is ended early, before the reply finishes with it.
        auto failure = std::make_shared<std::string>();
        QNetworkRequest request(QUrl(QString::fromStdString(url), QUrl::StrictMode));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        if (!userAgent.empty())
            request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromStdString(userAgent));
        QNetworkReply* reply = manager_.get(request);
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, failure](qint64 received, qint64) {
            if (received > maximumBodyBytes && failure->empty()) {
                *failure = "The response is too large";
                reply->abort();
            }
        });
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, failure, completion = std::move(completion)] {
            const UrlResponse response = responseOf(*reply, *failure);
            reply->deleteLater();
            completion(response);
        });
        return [reply = QPointer<QNetworkReply>(reply), failure](const std::string& reason) {
            if (!reply || reply->isFinished())
                return;  // done, or gone with its session
            *failure = reason;
            reply->abort();  // finishes the reply, which completes
        };
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
