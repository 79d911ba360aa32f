#include "support/TestSupport.h"

#include "Store/ModelContext.h"

#include <QDateTime>
#include <QFile>

namespace orvana::test {

void drainEvents() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

Timestamp at(const QTimeZone& zone, int year, int month, int day, int hour, int minute,
             int second) {
    return fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), zone));
}

Calendar berlinMondayFirst() {
    return Calendar(QTimeZone("Europe/Berlin"), 2);
}

void fillEveryKind(ModelContext& ctx) {
    auto* goal = ctx.create<Goal>(QStringLiteral("Run"), QStringLiteral("why"), 1.8e9,
                                  GoalStatus::completed, QStringLiteral("blue"), 3, 1.7e9);
    auto* week =
        ctx.create<Week>(1.75e9, 1.75e9 + 604800, QStringLiteral("focus"), std::nullopt, 1.7e9);
    auto* item = ctx.create<WeekItem>(QStringLiteral("Long run"), std::nullopt, false, 1, 1.7e9);
    item->setWeek(week);
    item->setGoal(goal);
    auto* task = ctx.create<DayTask>(QStringLiteral("Tue"), 1.75e9, QStringLiteral("n"), false,
                                     true, 0, 1.7e9, QUuid::createUuid(), 1.75e9 + 60);
    task->setWeekItem(item);
    auto* session = ctx.create<FocusSession>(1500.0, 1.7e9, 1499.5, std::nullopt, 1.7e9 + 99, true,
                                             true, FocusSessionKind::longBreak, 4);
    session->setDayTask(task);
    session->setGoal(goal);
    auto* block = ctx.create<FocusBlockTemplate>(QStringLiteral("b"), std::vector<qint64>{2, 6}, 9,
                                                 15, 50, false, 1.7e9);
    block->setGoal(goal);
    ctx.create<TrailEntry>(1.7e9 + 100, 25, goal, 1.7e9 + 101);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace orvana::test
