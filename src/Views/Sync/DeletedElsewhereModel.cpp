#include "Views/Sync/DeletedElsewhereModel.h"

#include "Services/AppEnvironment.h"
#include "Services/DataImport.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/SyncEngine.h"
#include "Views/Goals/GoalLabels.h"
#include "Views/Sync/SyncListText.h"

#include <QLocale>

namespace orvana {

namespace {

// What the contents say about the deleted record: its name, and how many
// records of each kind went with it.
struct Described {
    QString name;
    std::vector<std::pair<EntityType, int>> withIt;
};

template <class V> const V* findIn(const std::vector<V>& values, const QUuid& id) {
    for (const V& v : values) {
        if (v.id == id)
            return &v;
    }
    return nullptr;
}

Described describe(const SyncDeletedRecord& deleted, const Calendar& calendar) {
    Described out;
    const Result<OrvanaExport> decoded = DataImport::decode(deleted.contents);
    if (!decoded.ok())
        return out;
    const OrvanaExport& doc = decoded.value();
    const QUuid& id = deleted.record;
    if (auto* g = findIn(doc.goals, id))
        out.name = g->title;
    else if (auto* w = findIn(doc.weeks, id))
        out.name = QCoreApplication::translate("DeletedElsewhereModel", "Week of %1")
                       .arg(syncText::weekRangeText(w->startDate, w->endDate, calendar));
    else if (auto* i = findIn(doc.weekItems, id))
        out.name = i->title;
    else if (auto* t = findIn(doc.dayTasks, id))
        out.name = t->title;
    else if (auto* b = findIn(doc.focusBlockTemplates, id))
        out.name = b->title;
    else if (auto* e = findIn(doc.trailEntries, id))
        out.name = QCoreApplication::translate("DeletedElsewhereModel", "%1 on %2")
                       .arg(minutesText(e->minutes), syncText::dateText(e->date, calendar));
    // The record itself is one of them.
    auto count = [&](EntityType type, std::size_t n) {
        const int others = int(n) - (type == deleted.type ? 1 : 0);
        if (others > 0)
            out.withIt.emplace_back(type, others);
    };
    count(EntityType::week, doc.weeks.size());
    count(EntityType::weekItem, doc.weekItems.size());
    count(EntityType::dayTask, doc.dayTasks.size());
    count(EntityType::focusBlockTemplate, doc.focusBlockTemplates.size());
    count(EntityType::trailEntry, doc.trailEntries.size());
    return out;
}

} // namespace

DeletedElsewhereModel::DeletedElsewhereModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), list_(new RowListModel(this)) {
    connect(&env_.context(), &ModelContext::changed, this, [this] { refresh(); });
    refresh();
}

QString DeletedElsewhereModel::title() {
    return tr("Deleted on Another Device");
}

QString DeletedElsewhereModel::restoreButtonText() {
    return tr("Restore");
}

QString DeletedElsewhereModel::emptyTitle() {
    return tr("Nothing Deleted Elsewhere");
}

QString DeletedElsewhereModel::emptySymbol() {
    return QStringLiteral("trash");
}

QString DeletedElsewhereModel::emptyDescription() {
    return tr("Records another device deletes are listed here for 30 days, so you can "
              "bring them back.");
}

QString DeletedElsewhereModel::withItText(const std::vector<std::pair<EntityType, int>>& counts) {
    QStringList parts;
    for (const auto& [type, n] : counts) {
        switch (type) {
        case EntityType::week:
            parts << tr("%n weeks", nullptr, n);
            break;
        case EntityType::weekItem:
            parts << tr("%n week items", nullptr, n);
            break;
        case EntityType::dayTask:
            parts << tr("%n tasks", nullptr, n);
            break;
        case EntityType::focusBlockTemplate:
            parts << tr("%n focus blocks", nullptr, n);
            break;
        default:
            parts << tr("%n days of focus minutes", nullptr, n);
            break;
        }
    }
    if (parts.isEmpty())
        return {};
    const QString list =
        parts.size() == 1
            ? parts.front()
            : tr("%1 and %2")
                  .arg(parts.mid(0, parts.size() - 1).join(tr(", ", "between the items of a list")),
                       parts.back());
    return tr("%1 went with it").arg(list);
}

bool DeletedElsewhereModel::restore(int row) {
    problem_.clear();
    if (row < 0 || row >= int(records_.size()))
        return false;
    const Result<void> done = restoreDeleted(env_.context(), records_[std::size_t(row)].record);
    if (!done.ok())
        problem_ = tr("It couldn't be restored: %1").arg(done.error().message);
    refresh();
    emit restored();
    return done.ok();
}

void DeletedElsewhereModel::refresh() {
    records_.clear();
    SqliteStore* store = env_.context().store();
    if (store && store->sync()) {
        if (auto all = store->sync()->deleted(env_.now() - keptFor); all.ok())
            records_ = std::move(all.value());
    }
    std::vector<ListRow> rows;
    rows.reserve(records_.size());
    for (const SyncDeletedRecord& d : records_) {
        const Described what = describe(d, env_.calendar());
        const QString kind = syncText::kindText(d.type);
        const QString name = what.name.isEmpty() ? kind : what.name;
        const QString when = syncText::dateTimeText(d.at, env_.calendar());
        const QString withIt = withItText(what.withIt);
        QStringList lines{tr("%1 · deleted %2").arg(kind, when)};
        if (!withIt.isEmpty())
            lines << withIt;
        ListRow row;
        row.key = d.record.toString(QUuid::WithoutBraces);
        row.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        row.data[Qt::DisplayRole] = name;
        row.data[DetailRole] = lines;
        row.data[Qt::AccessibleTextRole] = tr("%1, deleted %2").arg(name, when);
        row.data[Qt::AccessibleDescriptionRole] =
            withIt.isEmpty() ? kind : tr("%1. %2").arg(kind, withIt);
        rows.push_back(std::move(row));
    }
    list_->setRows(std::move(rows));
    emit changed();
}

} // namespace orvana
