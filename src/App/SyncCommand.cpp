#include "App/SyncCommand.h"

#include "App/CommandOutput.h"
#include "App/PersistenceController.h"
#include "Platform/ApplicationBus.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Platform/SecretBackends.h"
#include "Services/KeychainService.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/SyncState.h"
#include "Sync/CalDavClient.h"
#include "Sync/SyncCycle.h"
#include "Sync/SyncSetup.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <fcntl.h>
#include <limits>
#include <qcoro/qcorotask.h>
#include <termios.h>
#include <unistd.h>

namespace orvana {

namespace {

using cli::fail;
using cli::printLine;
using cli::usage;

// Asked on the terminal without echo; nothing when there is no terminal.
std::optional<QString> askPassword() {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    termios old{};
    const bool quiet = ::tcgetattr(fd, &old) == 0;
    if (quiet) {
        termios silent = old;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(fd, TCSAFLUSH, &silent);
    }
    const QByteArray prompt = QCoreApplication::translate("SyncCommand", "Password: ").toUtf8();
    (void)!::write(fd, prompt.constData(), std::size_t(prompt.size()));
    QByteArray line;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    if (quiet)
        ::tcsetattr(fd, TCSAFLUSH, &old);
    (void)!::write(fd, "\n", 1);
    ::close(fd);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

// All of standard input, without the line end a shell adds.
QString passwordFromStdin() {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {};
    QByteArray all = in.readAll();
    while (all.endsWith('\n') || all.endsWith('\r'))
        all.chop(1);
    return QString::fromUtf8(all);
}

// `failed` says what failed, with %1 for why.
QString busyOr(const Error& error, const QString& failed) {
    return failed.arg(
        error.kind == ErrorKind::busy
            ? QCoreApplication::translate(
                  "SyncCommand", "Orvana is running and holds the data store; quit it first.")
            : error.message);
}

QString signInFailed() {
    return QCoreApplication::translate("SyncCommand", "Sign-in failed: %1");
}

int setup(const QStringList& args) {
    QString address, user;
    bool fromStdin = false, allowInsecure = false, hasUser = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--user")) {
            if (i + 1 >= args.size())
                return usage(QCoreApplication::translate("SyncCommand", "--user needs a name"));
            user = args[++i];
            hasUser = true;
        } else if (a.startsWith(QLatin1String("--user="))) {
            user = a.mid(7);
            hasUser = true;
        } else if (a == QLatin1String("--password-stdin")) {
            fromStdin = true;
        } else if (a == QLatin1String("--allow-insecure")) {
            allowInsecure = true;
        } else if (a.startsWith(u'-')) {
            return usage(
                QCoreApplication::translate("SyncCommand", "sync setup has no option '%1'").arg(a));
        } else if (address.isEmpty()) {
            address = a;
        } else {
            return usage(
                QCoreApplication::translate("SyncCommand", "sync setup takes one server address"));
        }
    }
    if (address.isEmpty())
        return usage(
            QCoreApplication::translate("SyncCommand", "sync setup needs the server's address"));
    if (!hasUser || user.isEmpty())
        return usage(QCoreApplication::translate("SyncCommand", "sync setup needs --user NAME"));
    const QUrl server = syncServerAddress(address);
    if (server.isEmpty())
        return fail(QCoreApplication::translate(
                        "SyncCommand", "Sign-in failed: \u201c%1\u201d is not a server address.")
                        .arg(address));
    if (!CalDavClient::transportAllowed(server, allowInsecure))
        return fail(QCoreApplication::translate(
            "SyncCommand", "Sign-in failed: plain http:// would send your password "
                           "unencrypted; use https://, or --allow-insecure for a server "
                           "you trust on your own network."));
    const std::optional<QString> password = fromStdin ? passwordFromStdin() : askPassword();
    if (!password || password->isEmpty())
        return fail(QCoreApplication::translate(
            "SyncCommand", "Sign-in failed: no password was given (on a terminal it is "
                           "asked for; otherwise give it with --password-stdin)."));

    auto store = SqliteStore::open(PersistenceController::defaultStorePath());
    if (!store.ok())
        return fail(busyOr(store.error(), signInFailed()));
    NetworkRequestPerformer http;
    SystemSecretBackend secrets;
    if (auto done = QCoro::waitFor(setUpSync(*store.value(), http, secrets, server, user, *password,
                                             allowInsecure, systemNow()));
        !done.ok())
        return fail(signInFailed().arg(done.error().message));
    printLine(stdout, QCoreApplication::translate("SyncCommand", "Signed in to %1 as %2.")
                          .arg(server.toDisplayString(), user));
    return 0;
}

int status(const QStringList& args) {
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!args.isEmpty() && !json)
        return usage(QCoreApplication::translate("SyncCommand", "sync status takes only --json"));
    auto store = SqliteStore::openForReading(PersistenceController::defaultStorePath());
    if (!store.ok())
        return fail(QCoreApplication::translate("SyncCommand", "Sync status failed: %1")
                        .arg(store.error().message));
    SyncState* sync = store.value()->sync();
    std::optional<SyncAccount> account;
    qint64 pending = 0, conflicts = 0, deletedElsewhere = 0;
    if (sync) {
        Result<SyncAccount> read = sync->account();
        if (!read.ok())
            return fail(QCoreApplication::translate("SyncCommand", "Sync status failed: %1")
                            .arg(read.error().message));
        account = read.value();
        for (auto [into, count] :
             {std::pair{&pending, sync->pendingCount()},
              std::pair{&conflicts, sync->conflictCount()},
              std::pair{&deletedElsewhere, sync->deletedCount(systemNow() - 30 * 86'400)}}) {
            if (!count.ok())
                return fail(QCoreApplication::translate("SyncCommand", "Sync status failed: %1")
                                .arg(count.error().message));
            *into = count.value();
        }
    }
    const QString lastSync =
        account && account->lastSync
            ? QDateTime::fromSecsSinceEpoch(qint64(*account->lastSync), Qt::UTC)
                  .toString(Qt::ISODate)
            : QString();
    if (json) {
        auto textOrNull = [](const QString& s) {
            return s.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(s);
        };
        const QJsonObject out{
            {QStringLiteral("account"), textOrNull(account ? account->server : QString())},
            {QStringLiteral("user"), textOrNull(account ? account->user : QString())},
            {QStringLiteral("lastSync"), textOrNull(lastSync)},
            {QStringLiteral("pending"), double(pending)},
            {QStringLiteral("conflicts"), double(conflicts)},
            {QStringLiteral("deletedElsewhere"), double(deletedElsewhere)},
            {QStringLiteral("error"), textOrNull(account ? account->lastError : QString())},
        };
        printLine(stdout, QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)));
        return 0;
    }
    if (!account) {
        printLine(stdout,
                  QCoreApplication::translate("SyncCommand", "Sync is off: no account is set up."));
        return 0;
    }
    printLine(stdout,
              QCoreApplication::translate(
                  "SyncCommand", "Account: %1\nUser: %2\nLast sync: %3\nPending changes: %4\n"
                                 "Open conflicts: %5\nDeleted on another device (30 days): %6\n"
                                 "Last error: %7")
                  .arg(account->server, account->user,
                       lastSync.isEmpty()
                           ? QCoreApplication::translate("SyncCommand", "never", "last sync")
                           : lastSync)
                  .arg(pending)
                  .arg(conflicts)
                  .arg(deletedElsewhere)
                  .arg(account->lastError.isEmpty()
                           ? QCoreApplication::translate("SyncCommand", "none", "last error")
                           : account->lastError));
    return 0;
}

int signOut(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QCoreApplication::translate("SyncCommand", "sync signout takes no arguments"));
    auto store = SqliteStore::open(PersistenceController::defaultStorePath());
    if (!store.ok())
        return fail(busyOr(store.error(),
                           QCoreApplication::translate("SyncCommand", "Sign-out failed: %1")));
    if (!store.value()->sync()) {
        printLine(stdout,
                  QCoreApplication::translate("SyncCommand", "Sync is off: no account is set up."));
        return 0;
    }
    if (auto stopped = store.value()->stopSync(); !stopped.ok())
        return fail(QCoreApplication::translate("SyncCommand", "Sign-out failed: %1")
                        .arg(stopped.error().message));
    SystemSecretBackend secrets;
    if (auto removed = QCoro::waitFor(syncPassword(secrets).remove()); !removed.ok())
        return fail(QCoreApplication::translate(
                        "SyncCommand", "Signed out, but the password is still in the secret store: "
                                       "%1")
                        .arg(removed.error().message));
    printLine(stdout, QCoreApplication::translate("SyncCommand",
                                                  "Signed out. The records on this device stay."));
    return 0;
}

// Exit status and where the words go, as `orvana sync` answers.
int printed(const SyncCycleOutcome& outcome, bool json) {
    printLine(outcome.exitCode == 0 ? stdout : stderr, outcome.text(json));
    return outcome.exitCode;
}

// The running app holds the store and sees what is not saved yet, so it
// runs the cycle itself; the answer waits for it however long a first sync
// takes.
int cycleInApp(QDBusConnection bus, bool json, bool allowDeletions) {
    const QDBusMessage reply = ApplicationBus::callRunning(
        bus, QLatin1String(ApplicationBus::intentsInterface), QStringLiteral("Sync"),
        {allowDeletions}, std::numeric_limits<int>::max());
    if (reply.type() == QDBusMessage::ErrorMessage)
        return fail(QCoreApplication::translate("SyncCommand", "Sync failed: %1")
                        .arg(reply.errorMessage()));
    const QVariantList answer = reply.arguments();
    SyncCycleOutcome outcome;
    outcome.exitCode = answer.value(0).toInt();
    outcome.line = answer.value(1).toString();
    outcome.json = QJsonDocument::fromJson(answer.value(2).toString().toUtf8()).object();
    return printed(outcome, json);
}

// One cycle: in the running app when there is one, else on the store itself.
int cycle(const QStringList& args) {
    bool json = false, allowDeletions = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--json"))
            json = true;
        else if (a == QLatin1String("--allow-deletions"))
            allowDeletions = true;
        else
            return usage(
                QCoreApplication::translate("SyncCommand", "sync has no option '%1'").arg(a));
    }
    if (QDBusConnection bus = QDBusConnection::sessionBus(); ApplicationBus::isRunning(bus))
        return cycleInApp(bus, json, allowDeletions);
    auto ctx = openModelContext(PersistenceController::defaultStorePath());
    if (!ctx.ok())
        return fail(
            busyOr(ctx.error(), QCoreApplication::translate("SyncCommand", "Sync failed: %1")));
    NetworkRequestPerformer http;
    SystemSecretBackend secrets;
    return printed(
        QCoro::waitFor(syncOnce(*ctx.value(), http, secrets, Calendar::current(), allowDeletions)),
        json);
}

} // namespace

int SyncCommand::run(const QStringList& arguments) {
    const QString what = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (what == QLatin1String("setup"))
        return setup(rest);
    if (what == QLatin1String("status"))
        return status(rest);
    if (what == QLatin1String("signout"))
        return signOut(rest);
    if (what.isEmpty() || what.startsWith(u'-'))
        return cycle(arguments);
    return usage(QCoreApplication::translate("SyncCommand", "unknown sync command '%1'").arg(what));
}

} // namespace orvana
