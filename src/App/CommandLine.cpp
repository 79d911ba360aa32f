#include "App/CommandLine.h"

#include "App/PersistenceController.h"
#include "AppIntents/GetTodaysOneThingIntent.h"
#include "AppIntents/GoalEntityQuery.h"
#include "Core/Uuid.h"
#include "Models/OverviewStats.h"
#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cstdio>

namespace orvana {

namespace {

const QStringList verbs = {QStringLiteral("export"), QStringLiteral("import"),
                           QStringLiteral("backup"), QStringLiteral("today"),
                           QStringLiteral("goals"),  QStringLiteral("stats")};

void printLine(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

int fail(const QString& message) {
    printLine(stderr, message);
    return 1;
}

int usage(const QString& message) {
    printLine(stderr, QStringLiteral("orvana: %1\nTry 'orvana --help'.").arg(message));
    return 2;
}

// Verbs that only read open the store beside a running app.
Result<std::unique_ptr<ModelContext>> openForReading() {
    return openModelContextForReading(PersistenceController::defaultStorePath());
}

int exportVerb(const QStringList& args) {
    if (args.size() > 1)
        return usage(QStringLiteral("export takes at most one file"));
    auto ctx = openForReading();
    if (!ctx.ok())
        return fail(QStringLiteral("Export failed: %1").arg(ctx.error().message));
    auto json = DataExportService::exportJSON(*ctx.value(), systemNow());
    if (!json.ok())
        return fail(QStringLiteral("Export failed: %1").arg(json.error().message));
    const QString target = args.value(0, QStringLiteral("-"));
    if (target == QLatin1String("-")) {
        std::fwrite(json.value().constData(), 1, std::size_t(json.value().size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QSaveFile file(target); // replaced atomically
    if (!file.open(QIODevice::WriteOnly) || file.write(json.value()) != json.value().size() ||
        !file.commit())
        return fail(QStringLiteral("Export failed: %1").arg(file.errorString()));
    return 0;
}

int importVerb(const QStringList& args) {
    if (args.size() != 1)
        return usage(QStringLiteral("import takes exactly one file"));
    QFile file(args.first());
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Import failed: %1").arg(file.errorString()));
    const QByteArray document = file.readAll();
    auto ctx = openModelContext(PersistenceController::defaultStorePath());
    if (!ctx.ok()) {
        // The running app owns the store; writing behind its back would be
        // lost or overwritten, so nothing is changed.
        if (ctx.error().message.contains(QLatin1String("Another Orvana process")))
            return fail(QStringLiteral("Import failed: Orvana is running and holds the data "
                                       "store; import from the running app or quit it first."));
        return fail(QStringLiteral("Import failed: %1").arg(ctx.error().message));
    }
    if (auto imported = DataExportService::importJSON(document, *ctx.value()); !imported.ok())
        return fail(QStringLiteral("Import failed: %1").arg(imported.error().message));
    printLine(stdout, QStringLiteral("Imported from %1").arg(QFileInfo(args.first()).fileName()));
    return 0;
}

int backupVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QStringLiteral("backup takes no arguments"));
    auto ctx = openForReading();
    if (!ctx.ok())
        return fail(QStringLiteral("Backup failed: %1").arg(ctx.error().message));
    const QString path =
        BackupService::backupIfNeeded(*ctx.value(), Calendar::current(), systemNow());
    if (path.isEmpty())
        return fail(QStringLiteral("Backup failed: today's backup could not be written to %1")
                        .arg(BackupService::backupsDirectory()));
    printLine(stdout, path);
    return 0;
}

int todayVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QStringLiteral("today takes no arguments"));
    auto ctx = openForReading();
    if (!ctx.ok())
        return fail(ctx.error().message);
    printLine(
        stdout,
        GetTodaysOneThingIntent::perform(*ctx.value(), Calendar::current(), systemNow()).dialog);
    return 0;
}

int goalsVerb(const QStringList& args) {
    if (!args.isEmpty())
        return usage(QStringLiteral("goals takes no arguments"));
    auto ctx = openForReading();
    if (!ctx.ok())
        return fail(ctx.error().message);
    for (const GoalEntity& goal : GoalEntityQuery::suggestedEntities(*ctx.value()))
        printLine(stdout, uuidText(goal.id) + u'\t' + goal.title);
    return 0;
}

int statsVerb(const QStringList& args) {
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!args.isEmpty() && !json)
        return usage(QStringLiteral("stats takes only --json"));
    auto opened = openForReading();
    if (!opened.ok())
        return fail(opened.error().message);
    ModelContext& ctx = *opened.value();
    const Calendar calendar = Calendar::current();
    const Timestamp now = systemNow();
    const auto goals =
        ctx.fetch(FetchDescriptor<Goal>().sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder)));
    const OverviewStats s =
        OverviewStats::compute(goals, ctx.fetch<TrailEntry>(), ctx.fetch<DayTask>(), calendar, now);
    const auto today = GetTodaysOneThingIntent::perform(ctx, calendar, now);
    if (!json) {
        printLine(stdout, QStringLiteral("Total focus time: %1")
                              .arg(OverviewStats::formattedDuration(s.totalFocusMinutes)));
        printLine(stdout, QStringLiteral("Day streak: %1").arg(s.currentStreakDays));
        printLine(stdout, QStringLiteral("Active goals: %1").arg(s.activeGoalsCount));
        printLine(stdout,
                  QStringLiteral("Tasks completed: %1/%2").arg(s.tasksCompleted).arg(s.tasksTotal));
        printLine(stdout, today.dialog);
        return 0;
    }
    QJsonArray daily;
    for (const DailyTrailTotal& d : s.dailyTotals)
        daily.append(QJsonObject{
            {QStringLiteral("date"), QString::fromLatin1(DataExportService::timestampText(d.date))},
            {QStringLiteral("minutes"), d.minutes}});
    QJsonArray breakdown;
    for (const GoalMinutes& g : s.goalBreakdown)
        breakdown.append(QJsonObject{{QStringLiteral("goalID"), uuidText(g.goal->id())},
                                     {QStringLiteral("title"), g.goal->title()},
                                     {QStringLiteral("minutes"), g.minutes}});
    const QJsonObject root{
        {QStringLiteral("totalFocusMinutes"), s.totalFocusMinutes},
        {QStringLiteral("totalSessions"), s.totalSessions},
        {QStringLiteral("activeGoalsCount"), s.activeGoalsCount},
        {QStringLiteral("completedGoalsCount"), s.completedGoalsCount},
        {QStringLiteral("tasksCompleted"), s.tasksCompleted},
        {QStringLiteral("tasksTotal"), s.tasksTotal},
        {QStringLiteral("currentStreakDays"), s.currentStreakDays},
        {QStringLiteral("dailyTotals"), daily},
        {QStringLiteral("goalBreakdown"), breakdown},
        {QStringLiteral("todaysOneThing"), today.found ? QJsonValue(today.value) : QJsonValue()},
    };
    printLine(stdout, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)));
    return 0;
}

} // namespace

bool CommandLine::isVerb(const QString& word) {
    return verbs.contains(word);
}

QString CommandLine::verbsHelp() {
    return QStringLiteral("Commands:\n"
                          "  export [FILE]   write all data as JSON to FILE (or standard output)\n"
                          "  import FILE     merge an export document into the data\n"
                          "  backup          write today's backup if missing; print its path\n"
                          "  today           say what Today's One Thing is\n"
                          "  goals           list active goals: id, a tab, the title\n"
                          "  stats [--json]  overview figures (one JSON object with --json)\n");
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
    return usage(QStringLiteral("unknown command '%1'").arg(verb));
}

} // namespace orvana
