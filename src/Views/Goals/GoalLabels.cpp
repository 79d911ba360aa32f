#include "Views/Goals/GoalLabels.h"

#include "Core/Calendar.h"

#include <QCoreApplication>
#include <QDate>

namespace orvana {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("GoalLabels", text);
}

// The stored raw value with its first letter capitalised.
QString capitalised(const QString& raw) {
    return raw.isEmpty() ? raw : raw.left(1).toUpper() + raw.mid(1);
}

} // namespace

QString statusLabel(GoalStatus status) {
    switch (status) {
    case GoalStatus::active:
        return tr("Active");
    case GoalStatus::completed:
        return tr("Completed");
    case GoalStatus::archived:
        return tr("Archived");
    }
    return capitalised(rawValue(status));
}

QString colorTagLabel(std::optional<GoalColorTag> tag) {
    if (!tag)
        return tr("None");
    switch (*tag) {
    case GoalColorTag::red:
        return tr("Red");
    case GoalColorTag::orange:
        return tr("Orange");
    case GoalColorTag::yellow:
        return tr("Yellow");
    case GoalColorTag::green:
        return tr("Green");
    case GoalColorTag::blue:
        return tr("Blue");
    case GoalColorTag::purple:
        return tr("Purple");
    case GoalColorTag::pink:
        return tr("Pink");
    case GoalColorTag::gray:
        return tr("Gray");
    }
    return capitalised(rawValue(*tag));
}

qint64 daysUntil(Timestamp target, Timestamp now, const Calendar& calendar) {
    // Counted on local dates, so a day with a DST change still counts once.
    const DateComponents from = calendar.components(now);
    const DateComponents to = calendar.components(target);
    const QDate a(from.year, from.month, from.day), b(to.year, to.month, to.day);
    if (!a.isValid() || !b.isValid())
        return 0;
    return a.daysTo(b);
}

TargetBadge targetBadge(Timestamp target, Timestamp now, const Calendar& calendar) {
    const qint64 days = daysUntil(target, now, calendar);
    if (days < 0)
        return {tr("%1d overdue").arg(-days), TargetBadge::Tone::overdue};
    if (days == 0)
        return {tr("Due today"), TargetBadge::Tone::soon};
    return {tr("%1d left").arg(days),
            days <= 7 ? TargetBadge::Tone::soon : TargetBadge::Tone::later};
}

QString minutesText(qint64 minutes) {
    return tr("%1 min").arg(minutes);
}

QString minutesLoggedText(qint64 minutes) {
    return tr("%1 min logged").arg(minutes);
}

} // namespace orvana
