#include "Platform/NetworkRequestPerformer.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QPointer>
#include <memory>
#include <qcoro/qcoronetworkreply.h>

namespace orvana {

QCoro::Task<Result<HttpResponse>> NetworkRequestPerformer::perform(HttpRequest request) {
    QNetworkRequest r{request.url};
    r.setTransferTimeout(request.timeoutMs);
    for (const auto& [name, value] : request.headers)
        r.setRawHeader(name, value);
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> reply(
        manager_.sendCustomRequest(r, request.method, request.body),
        [](QNetworkReply* p) { p->deleteLater(); });
    co_await reply.get();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        co_return HttpResponse{true, status.toInt(), reply->readAll()};
    if (reply->error() == QNetworkReply::OperationCanceledError ||
        reply->error() == QNetworkReply::TimeoutError)
        co_return Error{QCoreApplication::translate("NetworkRequestPerformer",
                                                    "The request timed out after %1 seconds.")
                            .arg(request.timeoutMs / 1000.0),
                        ErrorKind::network};
    if (reply->error() == QNetworkReply::NoError)
        co_return HttpResponse{false, 0, reply->readAll()}; // not an HTTP reply
    // Say where: "Connection refused" alone does not tell the user that it
    // was the review proxy in Settings that could not be reached.
    const QUrl& url = request.url;
    const QString where =
        url.port() >= 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
    co_return Error{
        QCoreApplication::translate("NetworkRequestPerformer", "Couldn't reach %1 (%2).")
            .arg(where, reply->errorString()),
        ErrorKind::network};
}

} // namespace orvana
