#include "App/CommandLine.h"

#include "App/CommandOutput.h"
#include "App/SyncCommand.h"

#include "App/PersistenceController.h"
#include "AppIntents/GetTodaysOneThingIntent.h"
#include "Core/HugePages.h"
#include "Core/Uuid.h"
#include "Platform/ApplicationBus.h"
#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Services/ExportFile.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/StoreFigures.h"
#include "Views/Overview/DurationText.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace orvana {

namespace {

const QStringList verbs = {
    QStringLiteral("export"), QStringLiteral("import"),    QStringLiteral("backup"),
    QStringLiteral("today"),  QStringLiteral("goals"),     QStringLiteral("stats"),
    QStringLiteral("focus"),  QStringLiteral("quick-add"), QStringLiteral("sync")};

using cli::fail;
using cli::printLine;
using cli::usage;

// The running app, when there is one, answers for itself: it holds the
// store and sees what is not yet saved.
std::optional<QDBusConnection> runningApp() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!ApplicationBus::isRunning(bus))
        return std::nullopt;
    return bus;
}

QDBusMessage askRunning(QDBusConnection bus, const char* interface, const QString& method,
                        const QVariantList& arguments, int timeoutMs = 10'000) {
    return ApplicationBus::callRunning(bus, QLatin1String(interface), method, arguments, timeoutMs);
}

// Starts the app when it is not running and waits until it answers.
std::optional<QDBusConnection> startedApp() {
    if (auto bus = runningApp())
        return bus;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fail(QCoreApplication::translate("CommandLine",
                                         "orvana: no session bus to reach the app on"));
        return std::nullopt;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {}, QString(), &pid)) {
        fail(QCoreApplication::translate("CommandLine", "orvana: the app could not be started"));
        return std::nullopt;
    }
    QDeadlineTimer deadline(20'000);
    while (!deadline.hasExpired()) {
        if (ApplicationBus::isRunning(bus))
            return bus;
        // Gone already (no display, its store refused): it said why itself.
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
            fail(QCoreApplication::translate("CommandLine",
                                             "orvana: the app stopped while starting"));
            return std::nullopt;
        }
        QThread::msleep(50);
    }
    fail(QCoreApplication::translate("CommandLine", "orvana: the app did not start in time"));
    return std::nullopt;
}

int answered(const QDBusMessage& reply, const QString& failurePrefix = {}) {
    if (reply.type() == QDBusMessage::ErrorMessage)
        return fail(failurePrefix.isEmpty() ? reply.errorMessage()
                                            : failurePrefix.arg(reply.errorMessage()));
    const QString text = reply.arguments().value(0).toString();
    if (!text.isEmpty())
        printLine(stdout, text);
    return 0;
}

// A store that cannot be opened: which file, and why.
QString storeProblem(const Error& error) {
    const QString path = PersistenceController::defaultStorePath();
    return error.message.contains(path) ? error.message
                                        : QStringLiteral("%1 (%2)").arg(error.message, path);
}

// Verbs that only read open the store beside a running app, and read it by
// query: none of them needs the records in memory.
Result<std::unique_ptr<SqliteStore>> openForQueries() {
    return SqliteStore::openForReading(PersistenceController::defaultStorePath());
}

int exportVerb(const QStringList& args) {
    if (args.size() > 1)
        return usage(QCoreApplication::translate("CommandLine", "export takes at most one file"));
    auto store = openForQueries();
    if (!store.ok())
        return fail(QCoreApplication::translate("CommandLine", "Export failed: %1")
                        .arg(storeProblem(store.error())));
    const QString target = args.value(0, QStringLiteral("-"));
    // The bytes go out as the rows are read, so memory stays small however
    // large the store. A file appears whole or not at all. Standard output,
    // a FIFO or a device takes them as they come: a failure part way (the
    // disk, not the data: that is checked first) leaves a document without
    // its end there, and exit status 1.
    if (target == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return fail(QCoreApplication::translate("CommandLine", "Export failed: %1")
                            .arg(out.errorString()));
        if (auto written = DataExportService::exportStore(*store.value(), systemNow(), out);
            !written.ok())
            return fail(QCoreApplication::translate("CommandLine", "Export failed: %1")
                            .arg(written.error().message));
        return out.flush() && std::fflush(stdout) == 0 ? 0 : 1;
    }
    ExportFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QCoreApplication::translate("CommandLine", "Export failed: %1")
                        .arg(file.errorString()));
    if (auto written = DataExportService::exportStore(*store.value(), systemNow(), file);
        !written.ok()) {
        file.cancelWriting();
        return fail(QCoreApplication::translate("CommandLine", "Export failed: %1")
                        .arg(file.failed() ? file.errorString() : written.error().message));
    }
    if (!file.commit())
        return fail(QCoreApplication::translate("CommandLine", "Export failed: %1")
                        .arg(file.errorString()));
    return 0;
}

int importVerb(const QStringList& args) {
    if (args.size() != 1)
        return usage(QCoreApplication::translate("CommandLine", "import takes exactly one file"));
    if (auto bus = runningApp()) {
        // The app merges it as one undo step its window can revert.
        const QDBusMessage reply =
            askRunning(*bus, ApplicationBus::intentsInterface, QStringLiteral("Import"),
                       {QFileInfo(args.first()).absoluteFilePath()}, 30 * 60 * 1000);
        return answered(reply);
    }
    QFile file(args.first());
    if (!file.open(QIODevice::ReadOnly))
        return fail(QCoreApplication::translate("CommandLine", "Import failed: %1")
                        .arg(file.errorString()));
    // Read with spare room after the end, so the decoder needs no copy.
    QByteArray document;
    if (const qint64 size = file.isSequential() ? 0 : file.size(); size > 0) {
        document.reserve(size + DataImport::decodePadding);
        document.resize(size);
        adviseHugePages(document.data(), std::size_t(size));
        document.resize(std::max<qint64>(file.read(document.data(), size), 0));
        if (document.size() == size)
            document += file.readAll(); // the file grew meanwhile
    } else {
        document = file.readAll();
    }
    auto ctx = openModelContext(PersistenceController::defaultStorePath());
    if (!ctx.ok()) {
        // The running app owns the store; writing behind its back would be
        // lost or overwritten, so nothing is changed.
        if (ctx.error().kind == ErrorKind::busy)
            return fail(QCoreApplication::translate(
                "CommandLine", "Import failed: Orvana is running and holds the data "
                               "store; import from the running app or quit it first."));
        return fail(QCoreApplication::translate("CommandLine", "Import failed: %1")
                        .arg(storeProblem(ctx.error())));
    }
    auto decoded = DataImport::decode(document);
    document = QByteArray(); // all of it is in `decoded` now; the merge needs the room
    if (!decoded.ok())
        return fail(QCoreApplication::translate("CommandLine", "Import failed: %1")
                        .arg(decoded.error().message));
    if (auto imported = DataImport::importDocument(decoded.value(), *ctx.value()); !imported.ok())
        return fail(QCoreApplication::translate("CommandLine", "Import failed: %1")
                        .arg(imported.error().message));
    printLine(stdout, QCoreApplication::translate("CommandLine", "Imported from %1")
                          .arg(QFileInfo(args.first()).fileName()));
    return 0;
}

int backupVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QCoreApplication::translate("CommandLine", "backup takes no arguments"));
    auto store = openForQueries();
    if (!store.ok())
        return fail(QCoreApplication::translate("CommandLine", "Backup failed: %1")
                        .arg(storeProblem(store.error())));
    const QString path =
        BackupService::backupIfNeeded(*store.value(), Calendar::current(), systemNow());
    if (path.isEmpty())
        return fail(QCoreApplication::translate(
                        "CommandLine", "Backup failed: today's backup could not be written to %1")
                        .arg(BackupService::backupsDirectory()));
    printLine(stdout, path);
    return 0;
}

int todayVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QCoreApplication::translate("CommandLine", "today takes no arguments"));
    if (auto bus = runningApp()) {
        const QDBusMessage reply = askRunning(*bus, ApplicationBus::intentsInterface,
                                              QStringLiteral("GetTodaysOneThing"), {});
        if (reply.type() == QDBusMessage::ErrorMessage)
            return fail(reply.errorMessage());
        printLine(stdout, reply.arguments().value(1).toString());
        return 0;
    }
    auto store = openForQueries();
    if (!store.ok())
        return fail(storeProblem(store.error()));
    auto title = StoreFigures::todaysOneThing(*store.value(), Calendar::current(), systemNow());
    if (!title.ok())
        return fail(storeProblem(title.error()));
    printLine(stdout, GetTodaysOneThingIntent::answer(title.value()).dialog);
    return 0;
}

int goalsVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QCoreApplication::translate("CommandLine", "goals takes no arguments"));
    if (auto bus = runningApp()) {
        const QDBusMessage reply = askRunning(*bus, ApplicationBus::intentsInterface,
                                              QStringLiteral("SuggestedGoals"), {});
        if (reply.type() == QDBusMessage::ErrorMessage)
            return fail(reply.errorMessage());
        BusGoalList goals;
        reply.arguments().value(0).value<QDBusArgument>() >> goals;
        for (const BusGoal& goal : goals)
            printLine(stdout, goal.id + u'\t' + goal.title);
        return 0;
    }
    auto store = openForQueries();
    if (!store.ok())
        return fail(storeProblem(store.error()));
    auto goals = StoreFigures::activeGoals(*store.value());
    if (!goals.ok())
        return fail(storeProblem(goals.error()));
    for (const StoreFigures::GoalLine& goal : goals.value())
        printLine(stdout, uuidText(goal.id) + u'\t' + goal.title);
    return 0;
}

int statsVerb(const QStringList& args) {
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!args.isEmpty() && !json)
        return usage(QCoreApplication::translate("CommandLine", "stats takes only --json"));
    auto store = openForQueries();
    if (!store.ok())
        return fail(storeProblem(store.error()));
    const Calendar calendar = Calendar::current();
    const Timestamp now = systemNow();
    auto figures = StoreFigures::overview(*store.value(), calendar, now);
    if (!figures.ok())
        return fail(storeProblem(figures.error()));
    auto title = StoreFigures::todaysOneThing(*store.value(), calendar, now);
    if (!title.ok())
        return fail(storeProblem(title.error()));
    const StoreFigures::Overview& s = figures.value();
    const auto today = GetTodaysOneThingIntent::answer(title.value());
    if (!json) {
        printLine(stdout, QCoreApplication::translate("CommandLine", "Total focus time: %1")
                              .arg(formattedDuration(s.totalFocusMinutes)));
        printLine(stdout, QCoreApplication::translate("CommandLine", "Day streak: %n", nullptr,
                                                      int(s.currentStreakDays)));
        printLine(
            stdout,
            QCoreApplication::translate("CommandLine", "Active goals: %1").arg(s.activeGoalsCount));
        printLine(stdout, QCoreApplication::translate("CommandLine", "Tasks completed: %1/%2")
                              .arg(s.tasksCompleted)
                              .arg(s.tasksTotal));
        printLine(stdout, today.dialog);
        return 0;
    }
    // Written out directly: tens of thousands of days through QJsonObject
    // cost more than reading the store. The same text QJsonDocument makes:
    // keys in order, compact, strings escaped by Qt itself.
    auto string = [](const QString& text) {
        const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    auto number = [](qint64 v) { return QByteArray::number(v); };
    QByteArray out;
    out.reserve(qsizetype(s.dailyTotals.size()) * 48 + qsizetype(s.goalBreakdown.size()) * 96 +
                512);
    out += "{\"activeGoalsCount\":" + number(s.activeGoalsCount) +
           ",\"completedGoalsCount\":" + number(s.completedGoalsCount) +
           ",\"currentStreakDays\":" + number(s.currentStreakDays) + ",\"dailyTotals\":[";
    for (std::size_t i = 0; i < s.dailyTotals.size(); ++i) {
        if (i > 0)
            out += ',';
        out += "{\"date\":\"" + DataExportService::timestampText(s.dailyTotals[i].date) +
               "\",\"minutes\":" + number(s.dailyTotals[i].minutes) + '}';
    }
    out += "],\"goalBreakdown\":[";
    for (std::size_t i = 0; i < s.goalBreakdown.size(); ++i) {
        const StoreFigures::GoalTotal& g = s.goalBreakdown[i];
        if (i > 0)
            out += ',';
        out += "{\"goalID\":\"" + uuidText(g.id).toLatin1() +
               "\",\"minutes\":" + number(g.minutes) + ",\"title\":" + string(g.title) + '}';
    }
    out += "],\"tasksCompleted\":" + number(s.tasksCompleted) +
           ",\"tasksTotal\":" + number(s.tasksTotal) +
           ",\"todaysOneThing\":" + (today.found ? string(today.value) : QByteArray("null")) +
           ",\"totalFocusMinutes\":" + number(s.totalFocusMinutes) +
           ",\"totalSessions\":" + number(s.totalSessions) + "}\n";
    std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    return 0;
}

int focusVerb(const QStringList& args) {
    QString goal;
    if (args.size() == 2 && args[0] == QLatin1String("--goal"))
        goal = args[1];
    else if (args.size() == 1 && args[0].startsWith(QLatin1String("--goal=")))
        goal = args[0].mid(7);
    else if (!args.isEmpty())
        return usage(QCoreApplication::translate("CommandLine", "focus takes only --goal ID"));
    if (!goal.isEmpty() && QUuid::fromString(goal).isNull())
        return usage(
            QCoreApplication::translate("CommandLine", "'%1' is not a goal id (see 'orvana goals')")
                .arg(goal));
    const auto bus = startedApp();
    if (!bus)
        return 1;
    return answered(askRunning(*bus, ApplicationBus::intentsInterface,
                               QStringLiteral("StartFocusSession"), {goal}));
}

int quickAddVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QCoreApplication::translate("CommandLine", "quick-add takes no arguments"));
    const auto bus = startedApp();
    if (!bus)
        return 1;
    return answered(
        askRunning(*bus, ApplicationBus::applicationInterface, QStringLiteral("ActivateAction"),
                   {QStringLiteral("quick-add"), QVariantList(), ApplicationBus::platformData()}));
}

} // namespace

bool CommandLine::isVerb(const QString& word) {
    return verbs.contains(word);
}

QString CommandLine::verbsHelp() {
    // How each verb is written stays as it is; what it does is translated,
    // a line break in it starting a line under the first.
    struct Verb {
        const char* syntax;
        const char* does;
    };
    static const Verb list[] = {
        {"export [FILE]",
         QT_TRANSLATE_NOOP("CommandLine", "write all data as JSON to FILE (or standard output)")},
        {"import FILE", QT_TRANSLATE_NOOP("CommandLine", "merge an export document into the data")},
        {"backup",
         QT_TRANSLATE_NOOP("CommandLine", "write today's backup if missing; print its path")},
        {"today", QT_TRANSLATE_NOOP("CommandLine", "say what Today's One Thing is")},
        {"goals", QT_TRANSLATE_NOOP("CommandLine", "list active goals: id, a tab, the title")},
        {"stats [--json]",
         QT_TRANSLATE_NOOP("CommandLine", "overview figures (one JSON object with --json)")},
        {"focus [--goal ID]", QT_TRANSLATE_NOOP("CommandLine", "open the focus timer (on a goal) "
                                                               "in the app,\nstarting it when "
                                                               "needed")},
        {"quick-add",
         QT_TRANSLATE_NOOP("CommandLine", "open or close the quick-add field, starting the app\n"
                                          "when needed; bind it to a key in the desktop")},
        {"sync setup URL --user NAME [--password-stdin] [--allow-insecure]",
         QT_TRANSLATE_NOOP("CommandLine", "sign in to a CalDAV server to sync this data")},
        {"sync [--json] [--allow-deletions]",
         QT_TRANSLATE_NOOP("CommandLine", "one sync with the server; exit 3\nwhen it stopped "
                                          "before deleting many records here")},
        {"sync status [--json]",
         QT_TRANSLATE_NOOP("CommandLine", "the account, the last sync, what is pending")},
        {"sync signout",
         QT_TRANSLATE_NOOP("CommandLine", "forget the account and its password; keep the data")},
    };
    constexpr qsizetype column = 18;
    const QString indent(column, u' ');
    QString help = QCoreApplication::translate("CommandLine", "Commands:") + u'\n';
    for (const Verb& verb : list) {
        QString line = QStringLiteral("  ") + QLatin1String(verb.syntax);
        // A short form pads to the column, a longer one keeps two spaces,
        // a much longer one has what it does on the next line.
        if (line.size() + 2 <= column)
            line = line.leftJustified(column);
        else if (line.size() <= 2 * column)
            line += QStringLiteral("  ");
        else
            line += u'\n' + indent;
        const QString does = QCoreApplication::translate("CommandLine", verb.does);
        help += line + QString(does).replace(u'\n', u'\n' + indent) + u'\n';
    }
    return help +
           QCoreApplication::translate("CommandLine",
                                       "The running app answers today, goals, import and "
                                       "sync itself; an\nimport then is one step its Ctrl+Z "
                                       "undoes.") +
           u'\n';
}

int CommandLine::run(const QStringList& arguments) {
    const QString verb = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (verb == QLatin1String("export"))
        return exportVerb(rest);
    if (verb == QLatin1String("import"))
        return importVerb(rest);
    if (verb == QLatin1String("backup"))
        return backupVerb(rest);
    if (verb == QLatin1String("today"))
        return todayVerb(rest);
    if (verb == QLatin1String("goals"))
        return goalsVerb(rest);
    if (verb == QLatin1String("stats"))
        return statsVerb(rest);
    if (verb == QLatin1String("focus"))
        return focusVerb(rest);
    if (verb == QLatin1String("quick-add"))
        return quickAddVerb(rest);
    if (verb == QLatin1String("sync"))
        return SyncCommand::run(rest);
    return usage(QCoreApplication::translate("CommandLine", "unknown command '%1'").arg(verb));
}

} // namespace orvana
