#include "Views/Sync/SyncConflictsModel.h"

#include "Models/DayTask.h"
#include "Models/FocusBlockTemplate.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/AppEnvironment.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/SyncEngine.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Goals/GoalLabels.h"
#include "Views/Sync/SyncListText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

namespace orvana {

namespace {

// Fields that hold a moment: the day alone, or the day and the time.
const QStringList dayFields{"targetDate", "startDate", "endDate", "date"};
const QStringList momentFields{"reminderAt", "ritualCompletedAt"};

} // namespace

SyncConflictsModel::SyncConflictsModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), list_(new RowListModel(this)) {
    // A pull or an undo may rename a record or settle a conflict.
    connect(&env_.context(), &ModelContext::changed, this, [this] { refresh(); });
    refresh();
}

QString SyncConflictsModel::title() {
    return tr("Sync Conflicts");
}

QString SyncConflictsModel::useButtonText() {
    return tr("Use This Value");
}

QString SyncConflictsModel::emptyTitle() {
    return tr("No Sync Conflicts");
}

QString SyncConflictsModel::emptySymbol() {
    return QStringLiteral("checkmark.circle.fill");
}

QString SyncConflictsModel::emptyDescription() {
    return tr("When two devices change the same field before they sync, the later change "
              "stays and the other one is listed here, so you can use it instead.");
}

QString SyncConflictsModel::recordName(EntityType type, const QUuid& id) const {
    const ModelContext& ctx = env_.context();
    switch (type) {
    case EntityType::goal:
        if (auto* goal = ctx.findByID<Goal>(id))
            return goal->title();
        break;
    case EntityType::week:
        if (auto* week = ctx.findByID<Week>(id))
            return tr("Week of %1")
                .arg(syncText::weekRangeText(week->startDate(), week->endDate(), env_.calendar()));
        break;
    case EntityType::weekItem:
        if (auto* item = ctx.findByID<WeekItem>(id))
            return item->title();
        break;
    case EntityType::dayTask:
        if (auto* task = ctx.findByID<DayTask>(id))
            return task->title();
        break;
    case EntityType::focusBlockTemplate:
        if (auto* block = ctx.findByID<FocusBlockTemplate>(id))
            return block->title();
        break;
    default:
        break;
    }
    // Whole sentences: a kind's article and case differ from language to language.
    switch (type) {
    case EntityType::goal:
        return tr("A goal that is no longer here");
    case EntityType::week:
        return tr("A week that is no longer here");
    case EntityType::weekItem:
        return tr("A week item that is no longer here");
    case EntityType::dayTask:
        return tr("A task that is no longer here");
    case EntityType::focusBlockTemplate:
        return tr("A focus block that is no longer here");
    case EntityType::trailEntry:
        return tr("A focus minutes that is no longer here");
    case EntityType::focusSession:
        break;
    }
    return tr("A focus session that is no longer here");
}

QString SyncConflictsModel::fieldText(const QString& field) {
    static const QHash<QString, const char*> names{
        {"title", QT_TR_NOOP("Title")},
        {"goalDescription", QT_TR_NOOP("Description")},
        {"targetDate", QT_TR_NOOP("Target date")},
        {"status", QT_TR_NOOP("Status")},
        {"colorTag", QT_TR_NOOP("Color")},
        {"sortOrder", QT_TR_NOOP("Position in the list")},
        {"startDate", QT_TR_NOOP("First day")},
        {"endDate", QT_TR_NOOP("Last day")},
        {"intention", QT_TR_NOOP("Intention")},
        {"reflection", QT_TR_NOOP("Reflection")},
        {"ritualCompletedAt", QT_TR_NOOP("Weekly ritual done")},
        {"notes", QT_TR_NOOP("Notes")},
        {"isComplete", QT_TR_NOOP("Done")},
        {"weekID", QT_TR_NOOP("Week")},
        {"goalID", QT_TR_NOOP("Goal")},
        {"date", QT_TR_NOOP("Day")},
        {"isTodaysOneThing", QT_TR_NOOP("Today's one thing")},
        {"sourceTemplateID", QT_TR_NOOP("Focus block")},
        {"weekItemID", QT_TR_NOOP("Week item")},
        {"reminderAt", QT_TR_NOOP("Reminder")},
        {"isActive", QT_TR_NOOP("Active")},
        {"weekdays", QT_TR_NOOP("Days")},
        {"hour", QT_TR_NOOP("Hour")},
        {"minute", QT_TR_NOOP("Minute")},
        {"durationMinutes", QT_TR_NOOP("Length")},
    };
    const auto found = names.constFind(field);
    return found == names.constEnd() ? field : tr(found.value());
}

QString SyncConflictsModel::valueText(const QString& field, const QByteArray& json) const {
    const QJsonValue v = QJsonDocument::fromJson(json).array().at(0);
    if (v.isNull() || v.isUndefined())
        return field == QLatin1String("reminderAt") ? tr("No reminder") : tr("None");
    if (v.isBool()) {
        if (field == QLatin1String("isComplete"))
            return v.toBool() ? tr("Done") : tr("Not done");
        if (field == QLatin1String("isActive"))
            return v.toBool() ? tr("Active") : tr("Paused");
        return v.toBool() ? tr("Yes") : tr("No");
    }
    if (v.isArray()) {
        std::vector<qint64> days;
        for (const QJsonValue& d : v.toArray())
            days.push_back(qint64(d.toDouble()));
        return days.empty() ? tr("No days") : FocusBlockListModel::weekdayLetters(days);
    }
    if (v.isDouble()) {
        const double n = v.toDouble();
        if (dayFields.contains(field))
            return syncText::dateText(n, env_.calendar());
        if (momentFields.contains(field))
            return syncText::dateTimeText(n, env_.calendar());
        if (field == QLatin1String("durationMinutes"))
            return minutesText(qint64(n));
        if (field == QLatin1String("minute"))
            return QStringLiteral("%1").arg(qint64(n), 2, 10, QLatin1Char('0'));
        return QLocale().toString(qint64(n));
    }
    const QString text = v.toString();
    if (field == QLatin1String("status")) {
        if (auto status = goalStatusFromRaw(text))
            return statusLabel(*status);
    } else if (field == QLatin1String("colorTag")) {
        if (auto tag = goalColorTagFromRaw(text))
            return colorTagLabel(tag);
    } else if (field.endsWith(QLatin1String("ID"))) {
        const QUuid id(text);
        const EntityType type = field == QLatin1String("goalID")   ? EntityType::goal
                                : field == QLatin1String("weekID") ? EntityType::week
                                : field == QLatin1String("weekItemID")
                                    ? EntityType::weekItem
                                    : EntityType::focusBlockTemplate;
        return recordName(type, id);
    }
    if (text.isEmpty())
        return tr("Empty", "a field that holds no value");
    // One line in a row; the whole text is in the record itself.
    return text.simplified();
}

QString SyncConflictsModel::keptText(bool thisDeviceLost) {
    return thisDeviceLost ? tr("Another device's value was kept")
                          : tr("This device's value was kept");
}

bool SyncConflictsModel::canUse(int row) const {
    if (row < 0 || row >= int(conflicts_.size()))
        return false;
    const SyncConflictEntry& c = conflicts_[std::size_t(row)];
    switch (c.type) {
    case EntityType::goal:
        return env_.context().findByID<Goal>(c.record);
    case EntityType::week:
        return env_.context().findByID<Week>(c.record);
    case EntityType::weekItem:
        return env_.context().findByID<WeekItem>(c.record);
    case EntityType::dayTask:
        return env_.context().findByID<DayTask>(c.record);
    case EntityType::focusBlockTemplate:
        return env_.context().findByID<FocusBlockTemplate>(c.record);
    default:
        return false;
    }
}

bool SyncConflictsModel::useLostValue(int row) {
    problem_.clear();
    if (row < 0 || row >= int(conflicts_.size()))
        return false;
    const Result<void> used = orvana::useLostValue(env_.context(), conflicts_[std::size_t(row)].id);
    if (!used.ok())
        problem_ = tr("The value couldn't be used: %1").arg(used.error().message);
    refresh();
    emit settled();
    return used.ok();
}

void SyncConflictsModel::refresh() {
    conflicts_.clear();
    SqliteStore* store = env_.context().store();
    if (store && store->sync()) {
        if (auto all = store->sync()->conflicts(); all.ok())
            conflicts_ = std::move(all.value());
    }
    std::vector<ListRow> rows;
    rows.reserve(conflicts_.size());
    for (const SyncConflictEntry& c : conflicts_) {
        const QString name = recordName(c.type, c.record);
        const QString field = fieldText(c.field);
        const QString kept = valueText(c.field, c.kept);
        const QString lost = valueText(c.field, c.lost);
        const QString keptSide = c.thisDeviceLost ? tr("another device") : tr("this device");
        const QString lostSide = c.thisDeviceLost ? tr("this device") : tr("another device");
        ListRow row;
        row.key = QString::number(c.id);
        row.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        row.data[Qt::DisplayRole] = name;
        row.data[DetailRole] = QStringList{
            tr("%1 · %2").arg(syncText::kindText(c.type), field),
            tr("Kept (%1): %2").arg(keptSide, kept),
            tr("Not kept (%1): %2").arg(lostSide, lost),
        };
        row.data[Qt::AccessibleTextRole] = tr("%1, %2").arg(name, field.toLower());
        row.data[Qt::AccessibleDescriptionRole] =
            tr("%1. %2, %3. Not kept, %4.")
                .arg(syncText::kindText(c.type), keptText(c.thisDeviceLost), kept, lost);
        row.data[Qt::ToolTipRole] = keptText(c.thisDeviceLost);
        rows.push_back(std::move(row));
    }
    list_->setRows(std::move(rows));
    emit changed();
}

} // namespace orvana
