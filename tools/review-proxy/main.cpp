// orvana-review-proxy: AI review for Orvana devices without an API key of
// their own. Issues device identities, keeps each device to a free weekly
// quota and reviews upstream or with the offline critic. Loopback only.

#include "review-proxy/HttpServer.h"
#include "review-proxy/ReviewProxy.h"

#include "Core/AppPaths.h"
#include "Core/TerminationSignals.h"
#include "Platform/NetworkRequestPerformer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

using namespace orvana;
using namespace orvana::proxy;

namespace {

constexpr int usageExit = 2;
[[noreturn]] void fail(int code, const QString& message) {
    std::fprintf(stderr, "orvana-review-proxy: %s\n", qUtf8Printable(message));
    if (code == usageExit)
        std::fprintf(stderr, "Try 'orvana-review-proxy --help'.\n");
    std::exit(code);
}

int intOption(const QCommandLineParser& parser, const QCommandLineOption& option, int min,
              int max) {
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < min || value > max)
        fail(usageExit, QStringLiteral("--%1 must be a whole number from %2 to %3.")
                            .arg(option.names().first())
                            .arg(min)
                            .arg(max));
    return value;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvana-review-proxy"));

    const QString defaultDB = orvana::AppPaths::standard().reviewProxyDatabase;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "AI review for Orvana devices without an API key of their own: registers devices, "
        "allows each a free number of reviews per ISO week (UTC) and reviews with an "
        "OpenRouter-compatible provider, or with a built-in offline critic when no upstream is "
        "given. Listens on 127.0.0.1 only. The upstream API key is read from the environment "
        "variable ORVANA_PROXY_UPSTREAM_KEY."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port to listen on; 0 picks a free one."),
                                  QStringLiteral("N"), QStringLiteral("8081"));
    const QCommandLineOption weeklyLimit(QStringLiteral("weekly-limit"),
                                         QStringLiteral("Free reviews per device and week."),
                                         QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption maxConcurrent(
        QStringLiteral("max-concurrent"),
        QStringLiteral("Reviews in progress at once; more are refused with HTTP 503."),
        QStringLiteral("N"), QStringLiteral("4"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("SQLite database of devices and weekly use "
                                               "(default: %1).")
                                    .arg(defaultDB),
                                QStringLiteral("FILE"), defaultDB);
    const QCommandLineOption upstream(
        QStringLiteral("upstream"),
        QStringLiteral("OpenRouter-compatible chat-completions URL to review with."),
        QStringLiteral("URL"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Model ID sent upstream."), QStringLiteral("ID"),
                                   QStringLiteral("openai/gpt-4o-mini"));
    parser.addOptions({port, weeklyLimit, maxConcurrent, db, upstream, model});
    if (!parser.parse(app.arguments()))
        fail(usageExit, parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        fail(usageExit,
             QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));

    ReviewProxy::Options options;
    const int portNumber = intOption(parser, port, 0, 65535);
    options.weeklyLimit = intOption(parser, weeklyLimit, 0, 1'000'000);
    options.maxConcurrent = intOption(parser, maxConcurrent, 1, 1000);
    options.modelID = parser.value(model);
    if (options.modelID.trimmed().isEmpty())
        fail(usageExit, QStringLiteral("--model must not be empty."));
    if (parser.isSet(upstream)) {
        const QUrl url(parser.value(upstream), QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() ||
            (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
            fail(usageExit, QStringLiteral("--upstream must be an http or https URL."));
        // From the environment only: arguments show up in every process list.
        options.upstreamKey = qEnvironmentVariable("ORVANA_PROXY_UPSTREAM_KEY");
        if (options.upstreamKey.trimmed().isEmpty())
            fail(usageExit, QStringLiteral("--upstream needs the API key in the environment "
                                           "variable ORVANA_PROXY_UPSTREAM_KEY."));
        options.upstream = url;
    }

    const QString dbPath = parser.value(db);
    QDir().mkpath(QFileInfo(dbPath).absolutePath());
    auto store = DeviceStore::open(dbPath);
    if (!store.ok())
        fail(1, QStringLiteral("%1 (%2)").arg(store.error().message, dbPath));

    NetworkRequestPerformer session;
    ReviewProxy proxy(*store.value(), session, options);
    HttpServer server([&proxy](Request request) { return proxy.handle(std::move(request)); });

    // The first termination signal stops new connections and lets the
    // reviews in progress finish; a second ends at once.
    int signalsReceived = 0;
    onTerminationSignals([&] {
        server.stopListening();
        if (++signalsReceived > 1 || server.pendingRequests() == 0)
            app.quit();
    });
    QObject::connect(&server, &HttpServer::idle, &app, [&] {
        if (signalsReceived > 0)
            app.quit();
    });

    if (!server.listen(QHostAddress::LocalHost, quint16(portNumber)))
        fail(1, QStringLiteral("can't listen on 127.0.0.1:%1: %2.")
                    .arg(portNumber)
                    .arg(server.errorString()));
    const QString mode =
        options.upstream ? QStringLiteral("upstream %1")
                               .arg(options.upstream->toDisplayString(
                                   QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment))
                         : QStringLiteral("offline critic");
    std::printf("orvana-review-proxy listening on http://127.0.0.1:%u (%s)\n",
                unsigned(server.serverPort()), qUtf8Printable(mode));
    std::fflush(stdout);

    return app.exec();
}
