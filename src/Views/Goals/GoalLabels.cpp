#include "Views/Goals/GoalLabels.h"

#include "Core/Calendar.h"

#include <QCoreApplication>
#include <QDate>

namespace orvana {

// Explicit contexts: lupdate reads a free function's tr() as the namespace's.

namespace {

// The stored raw value with its first letter capitalised.
QString capitalised(const QString& raw) {
    return raw.isEmpty() ? raw : raw.left(1).toUpper() + raw.mid(1);
}

} // namespace

QString statusLabel(GoalStatus status) {
    switch (status) {
    case GoalStatus::active:
        return QCoreApplication::translate("orvana::GoalLabels", "Active", "goal status");
    case GoalStatus::completed:
        return QCoreApplication::translate("orvana::GoalLabels", "Completed", "goal status");
    case GoalStatus::archived:
        return QCoreApplication::translate("orvana::GoalLabels", "Archived", "goal status");
    }
    return capitalised(rawValue(status));
}

QString colorTagLabel(std::optional<GoalColorTag> tag) {
    if (!tag)
        return QCoreApplication::translate("orvana::GoalLabels", "None", "no color tag");
    switch (*tag) {
    case GoalColorTag::red:
        return QCoreApplication::translate("orvana::GoalLabels", "Red");
    case GoalColorTag::orange:
        return QCoreApplication::translate("orvana::GoalLabels", "Orange");
    case GoalColorTag::yellow:
        return QCoreApplication::translate("orvana::GoalLabels", "Yellow");
    case GoalColorTag::green:
        return QCoreApplication::translate("orvana::GoalLabels", "Green");
    case GoalColorTag::blue:
        return QCoreApplication::translate("orvana::GoalLabels", "Blue");
    case GoalColorTag::purple:
        return QCoreApplication::translate("orvana::GoalLabels", "Purple");
    case GoalColorTag::pink:
        return QCoreApplication::translate("orvana::GoalLabels", "Pink");
    case GoalColorTag::gray:
        return QCoreApplication::translate("orvana::GoalLabels", "Gray");
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
        return {QCoreApplication::translate("orvana::GoalLabels", "%1d overdue").arg(-days),
                TargetBadge::Tone::overdue};
    if (days == 0)
        return {QCoreApplication::translate("orvana::GoalLabels", "Due today"),
                TargetBadge::Tone::soon};
    return {QCoreApplication::translate("orvana::GoalLabels", "%1d left").arg(days),
            days <= 7 ? TargetBadge::Tone::soon : TargetBadge::Tone::later};
}

QString minutesText(qint64 minutes) {
    return QCoreApplication::translate("orvana::GoalLabels", "%1 min").arg(minutes);
}

QString minutesLoggedText(qint64 minutes) {
    return QCoreApplication::translate("orvana::GoalLabels", "%1 min logged").arg(minutes);
}

} // namespace orvana
