#include "Views/Sync/SyncListText.h"

#include "Core/Calendar.h"
#include "Views/Weeks/WeekListModel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace orvana::syncText {

namespace {

// Named, so that lupdate files these texts under the context they are looked up in.
struct ListText {
    Q_DECLARE_TR_FUNCTIONS(SyncListText)
};

QDateTime local(Timestamp t, const Calendar& calendar) {
    return QDateTime::fromSecsSinceEpoch(qint64(t), calendar.timeZone());
}

// The locale's short time without seconds (some short formats carry them).
QString hourAndMinuteFormat() {
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    static const QRegularExpression seconds(QStringLiteral("[^hHmaAp]?s{1,2}"));
    format.remove(seconds);
    return format.trimmed();
}

} // namespace

QString kindText(EntityType type) {
    switch (type) {
    case EntityType::goal:
        return ListText::tr("Goal");
    case EntityType::week:
        return ListText::tr("Week");
    case EntityType::weekItem:
        return ListText::tr("Week item");
    case EntityType::dayTask:
        return ListText::tr("Task");
    case EntityType::focusBlockTemplate:
        return ListText::tr("Focus block");
    case EntityType::trailEntry:
        return ListText::tr("Focus minutes");
    case EntityType::focusSession:
        break;
    }
    return ListText::tr("Focus session");
}

QString dateText(Timestamp t, const Calendar& calendar) {
    return QLocale().toString(local(t, calendar).date(), QLocale::LongFormat);
}

QString dateTimeText(Timestamp t, const Calendar& calendar) {
    const QDateTime at = local(t, calendar);
    return ListText::tr("%1 at %2")
        .arg(QLocale().toString(at.date(), QLocale::LongFormat),
             QLocale().toString(at.time(), hourAndMinuteFormat()));
}

QString weekRangeText(Timestamp start, Timestamp end, const Calendar& calendar) {
    return weeks::RangeFormat().text(local(start, calendar).date(), local(end, calendar).date());
}

} // namespace orvana::syncText
