#include "Sync/SyncSetup.h"

#include "Sync/CalendarObject.h"

#include <QCoreApplication>

namespace orvana {

namespace {

constexpr const char* accountMarkName = "orvana-account.ics";
constexpr const char* accountProperty = "X-ORVANA-ACCOUNT";

const SyncCollectionSpec specs[] = {
    {"Orvana Tasks", "VTODO", "orvana-tasks/"},
    // Goals and week items are to-dos, weeks and the account's mark journal
    // entries: a server that keeps to the component set refuses the rest.
    {"Orvana Plan", "VTODO,VJOURNAL", "orvana-plan/"},
    {"Orvana Focus Blocks", "VEVENT", "orvana-focus-blocks/"},
    {"Orvana Focus Log", "VEVENT", "orvana-focus-log/"},
};

QString withSlash(QString path) {
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

// The account's id from the mark, or a new mark written; a mark another
// device writes at the same moment wins, and is read.
QCoro::Task<Result<QString>> accountOf(CalDavClient& client, QString plan) {
    const QString path = plan + QLatin1String(accountMarkName);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Result<DavReply> mark = co_await client.get(path);
        if (!mark.ok())
            co_return mark.error();
        if (mark.value().status == 200) {
            Result<CalendarObject> object = CalendarObject::parse(mark.value().body);
            const std::optional<QString> id =
                object.ok() ? object.value().text(accountProperty) : std::nullopt;
            if (!id || id->isEmpty())
                co_return Error{QCoreApplication::translate(
                                    "SyncSetup", "The calendar \u201cOrvana Plan\u201d on the "
                                                 "server holds a damaged account mark."),
                                ErrorKind::damaged};
            co_return *id;
        }
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        const QByteArray bytes = accountMark(id);
        Result<DavReply> written = co_await client.put(path, bytes, std::nullopt);
        if (!written.ok())
            co_return written.error();
        if (written.value().status != 412)
            co_return id;
    }
    co_return Error{
        QCoreApplication::translate("SyncSetup", "The server's account mark could not be read."),
        ErrorKind::general};
}

} // namespace

const SyncCollectionSpec& specOf(SyncCollection collection) {
    return specs[int(collection)];
}

QByteArray accountMark(const QString& accountID) {
    CalendarObject object(CalendarObject::Kind::journal,
                          QStringLiteral("ORVANA-ACCOUNT-") + accountID);
    object.setText("SUMMARY", QStringLiteral("Orvana account"));
    object.setText(accountProperty, accountID);
    return object.bytes();
}

QUrl syncServerAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    QUrl url(trimmed.contains(QLatin1String("://")) ? trimmed
                                                    : QStringLiteral("https://") + trimmed,
             QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")) ||
        !url.userInfo().isEmpty())
        return {};
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

QString accountMarkPath(const SyncAccount& account) {
    return account.collections[std::size_t(SyncCollection::plan)] + QLatin1String(accountMarkName);
}

QCoro::Task<Result<SyncAccount>> signIn(CalDavClient& client, QString server, QString user,
                                        bool allowInsecure) {
    Result<QString> home = co_await client.findCalendarHome();
    if (!home.ok())
        co_return home.error();
    SyncAccount account;
    account.server = server;
    account.user = user;
    account.home = withSlash(home.value());
    account.allowInsecure = allowInsecure;

    Result<std::vector<dav::Response>> existing = co_await client.calendars(account.home);
    if (!existing.ok())
        co_return existing.error();
    for (std::size_t kind = 0; kind < std::size(specs); ++kind) {
        const QString name = QString::fromUtf8(specs[kind].displayName);
        for (const dav::Response& calendar : existing.value()) {
            if (calendar.displayName == name && account.collections[kind].isEmpty())
                account.collections[kind] = withSlash(calendar.href);
        }
        if (!account.collections[kind].isEmpty())
            continue;
        const QString path = account.home + QLatin1String(specs[kind].slug);
        Result<void> made = co_await client.makeCalendar(path, name, specs[kind].component);
        if (!made.ok())
            co_return made.error();
        account.collections[kind] = path;
    }
    const QString plan = account.collections[std::size_t(SyncCollection::plan)];
    Result<QString> id = co_await accountOf(client, plan);
    if (!id.ok())
        co_return id.error();
    account.accountID = id.value();
    co_return account;
}

} // namespace orvana
