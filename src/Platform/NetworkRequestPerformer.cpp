#include "Platform/NetworkRequestPerformer.h"

#include <QCoreApplication>
#include <QLocale>
#include <QNetworkReply>
#include <QPointer>
#include <QSslCertificate>
#include <QSslError>
#include <memory>
#include <qcoro/qcoronetworkreply.h>

namespace orvana {

namespace {

// "host:port", or the host: "Connection refused" alone does not say which
// of the servers in Settings could not be reached.
QString whereOf(const QUrl& url) {
    return url.port() >= 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

// AB:CD:… as certificate viewers show it, so that the user can compare.
QString fingerprint(const QSslCertificate& certificate) {
    const QByteArray hex = certificate.digest(QCryptographicHash::Sha256).toHex().toUpper();
    QString out;
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        if (i)
            out += u':';
        out += QString::fromLatin1(hex.mid(i, 2));
    }
    return out;
}

} // namespace

QCoro::Task<Result<HttpResponse>> NetworkRequestPerformer::perform(HttpRequest request) {
    QNetworkRequest r{request.url};
    r.setTransferTimeout(request.timeoutMs);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                   request.followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                           : QNetworkRequest::ManualRedirectPolicy);
    for (const auto& [name, value] : request.headers)
        r.setRawHeader(name, value);
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> reply(
        manager_.sendCustomRequest(r, request.method, request.body),
        [](QNetworkReply* p) { p->deleteLater(); });
    bool tooLarge = false;
    if (request.maxResponseBytes > 0) {
        QNetworkReply* p = reply.get();
        const qint64 limit = request.maxResponseBytes;
        QObject::connect(p, &QNetworkReply::downloadProgress, p,
                         [p, limit, &tooLarge](qint64 received, qint64 total) {
                             if (received > limit || total > limit) {
                                 tooLarge = true;
                                 p->abort();
                             }
                         });
    }
    // The system's check stands; the failure names the certificate.
    QString untrusted;
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(),
                     [&untrusted](const QList<QSslError>& errors) {
                         if (untrusted.isEmpty() && !errors.isEmpty())
                             untrusted =
                                 QCoreApplication::translate("NetworkRequestPerformer",
                                                             "%1. Its SHA-256 fingerprint is %2.")
                                     .arg(errors.first().errorString(),
                                          fingerprint(errors.first().certificate()));
                     });
    co_await reply.get();
    if (tooLarge)
        co_return Error{QCoreApplication::translate("NetworkRequestPerformer",
                                                    "The answer from %1 was too large.")
                            .arg(whereOf(request.url)),
                        ErrorKind::damaged};
    if (!untrusted.isEmpty())
        co_return Error{QCoreApplication::translate("NetworkRequestPerformer",
                                                    "The certificate of %1 is not trusted: %2")
                            .arg(whereOf(request.url), untrusted),
                        ErrorKind::certificate};
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        HttpResponse response{true, status.toInt(), reply->readAll()};
        for (const auto& [name, value] : reply->rawHeaderPairs())
            response.headers.append({name, value});
        co_return response;
    }
    if (reply->error() == QNetworkReply::OperationCanceledError ||
        reply->error() == QNetworkReply::TimeoutError)
        co_return Error{QCoreApplication::translate("NetworkRequestPerformer",
                                                    "The request timed out after %1 seconds.")
                            .arg(QLocale().toString(request.timeoutMs / 1000.0)),
                        ErrorKind::network};
    if (reply->error() == QNetworkReply::NoError)
        co_return HttpResponse{false, 0, reply->readAll()}; // not an HTTP reply
    co_return Error{
        QCoreApplication::translate("NetworkRequestPerformer", "Couldn't reach %1 (%2).")
            .arg(whereOf(request.url), reply->errorString()),
        ErrorKind::network};
}

} // namespace orvana
