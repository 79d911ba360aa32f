#include "Views/Weeks/WeekDetailModel.h"

#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Views/Weeks/WeekListModel.h"

#include <algorithm>

namespace orvana {

namespace {

constexpr unsigned readTypes = entityBit(EntityType::week) | entityBit(EntityType::weekItem) |
                               entityBit(EntityType::dayTask) | entityBit(EntityType::goal);

constexpr int dayCheckIntervalMs = 60 * 1000;

} // namespace

WeekDetailModel::WeekDetailModel(AppEnvironment& environment, Week& week, QObject* parent)
    : QObject(parent), env_(environment), week_(&week), list_(new RowListModel(this)),
      typing_(environment.context()) {
    ModelContext& ctx = env_.context();
    // Every goal, whatever its status, in store order.
    goals_ = std::make_unique<LiveQuery<Goal>>(ctx, FetchDescriptor<Goal>(),
                                               entityBit(EntityType::goal));
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (week_ && (types & readTypes))
            rebuild();
    });
    connect(&ctx, &ModelContext::recordRemoved, this, [this](Record* record) {
        if (record == newItemGoal_)
            newItemGoal_ = nullptr;
        if (record == week_) {
            week_ = nullptr;
            list_->setRows({});
            emit weekRemoved();
        }
    });
    list_->canMove = [this](int source, int count, int destination) {
        const int rows = list_->rowCount();
        return source >= 0 && source + count <= rows && destination >= 0 && destination <= rows;
    };
    list_->onMove = [this](int, int, int) { renumber(); };
    list_->onToggle = [this](int row) {
        if (WeekItem* item = itemAt(row))
            toggleComplete(*item);
    };
    startOfToday_ = env_.calendar().startOfDay(env_.now());
    dayCheck_.setInterval(dayCheckIntervalMs);
    auto checkDay = [this] {
        const double start = env_.calendar().startOfDay(env_.now());
        if (start != startOfToday_ && week_) {
            startOfToday_ = start;
            rebuild(); // "On Today" is about today
        }
    };
    connect(&dayCheck_, &QTimer::timeout, this, checkDay);
    connect(&env_, &AppEnvironment::calendarChanged, this, [this, checkDay] {
        emit changed(); // the range is written in the zone's dates
        checkDay();
    });
    dayCheck_.start();
    rebuild();
}

WeekDetailModel::~WeekDetailModel() = default;

QString WeekDetailModel::title() const {
    return week_ ? weeks::rangeText(*week_, env_.calendar()) : QString();
}

bool WeekDetailModel::ritualDone() const {
    return week_ && week_->ritualCompletedAt().has_value();
}

QString WeekDetailModel::ritualPillText() const {
    return ritualDone() ? tr("Ritual done") : tr("Ritual not started");
}

QString WeekDetailModel::itemsSummary() const {
    return week_ ? weeks::itemsSummary(*week_) : QString();
}

bool WeekDetailModel::allItemsDone() const {
    return week_ && weeks::allItemsDone(*week_);
}

QString WeekDetailModel::intentionPrompt() {
    return tr("What's the focus this week?");
}
QString WeekDetailModel::addItemPrompt() {
    return tr("Add an item");
}
QString WeekDetailModel::footerText() {
    return tr("Items are your plan for the week — they won't show up on the Today tab by "
              "themselves. Tap \"Add to Today\" on one when you're ready to actually work on it.");
}

QString WeekDetailModel::intention() const {
    return week_ ? week_->intention().value_or(QString()) : QString();
}

void WeekDetailModel::setIntention(const QString& text) {
    if (!week_ || text == intention())
        return;
    typing_.keystroke(0, [&] {
        week_->setIntention(text.isEmpty() ? std::nullopt : std::optional<QString>(text));
    });
}

void WeekDetailModel::endTypingBurst() {
    typing_.end();
}

std::vector<WeekItem*> WeekDetailModel::sortedItems() const {
    if (!week_)
        return {};
    std::vector<WeekItem*> items = week_->items();
    std::stable_sort(items.begin(), items.end(), [](const WeekItem* a, const WeekItem* b) {
        return a->sortOrder() < b->sortOrder();
    });
    return items;
}

WeekItem* WeekDetailModel::itemAt(int row) const {
    const ListRow* r = list_->rowAt(row);
    return r ? static_cast<WeekItem*>(r->record) : nullptr;
}

bool WeekDetailModel::isPlannedForToday(const WeekItem& item) const {
    const Timestamp now = env_.now();
    return std::any_of(item.dayTasks().begin(), item.dayTasks().end(), [&](const DayTask* task) {
        return env_.calendar().isSameDay(task->date(), now);
    });
}

void WeekDetailModel::rebuild() {
    std::vector<ListRow> rows;
    for (WeekItem* item : sortedItems()) {
        ListRow r;
        r.key = item->id().toString(QUuid::WithoutBraces);
        r.record = item;
        const QString goal = item->goal() ? item->goal()->title() : QString();
        const bool onToday = isPlannedForToday(*item);
        // Read aloud: "Long run, done" and "Marathon, on today".
        QStringList description;
        if (!goal.isEmpty())
            description << goal;
        if (onToday)
            description << tr("on today");
        r.data = {
            {Qt::DisplayRole, item->title()},
            {Qt::AccessibleTextRole,
             item->isComplete() ? tr("%1, done").arg(item->title()) : item->title()},
            {Qt::AccessibleDescriptionRole, description.join(QStringLiteral(", "))},
            {Qt::CheckStateRole, item->isComplete() ? Qt::Checked : Qt::Unchecked},
            {GoalTitleRole, goal},
            {CompleteRole, item->isComplete()},
            {OnTodayRole, onToday},
        };
        r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                  Qt::ItemIsDragEnabled;
        rows.push_back(std::move(r));
    }
    list_->setRows(std::move(rows));
    emit changed();
}

void WeekDetailModel::toggleComplete(WeekItem& item) {
    // A row can outlive its item for a moment (an undo of its creation).
    if (item.isDeleted())
        return;
    const bool wasComplete = item.isComplete();
    item.setComplete(!wasComplete);
    if (!wasComplete) {
        for (const DayTask* task : item.dayTasks())
            env_.notifications().cancelReminder(*task);
    }
}

void WeekDetailModel::addToToday(WeekItem& item) {
    // Its task would stay behind on Today, linked to nothing.
    if (item.isDeleted())
        return;
    (void)item.materializeDayTask(env_.now(), env_.calendar());
}

void WeekDetailModel::deleteItems(const std::vector<WeekItem*>& items) {
    ModelContext& ctx = env_.context();
    bool any = false;
    for (WeekItem* item : items) {
        if (!item || item->isDeleted())
            continue;
        any = true;
        for (const DayTask* task : item->dayTasks())
            env_.notifications().cancelReminder(*task);
        ctx.remove(item);
    }
    if (any)
        (void)ctx.save(); // a failure leaves the change for the next save
}

bool WeekDetailModel::moveItemRow(int row, int delta) {
    if (!itemAt(row) || (delta != -1 && delta != 1))
        return false;
    const int destination = delta < 0 ? row - 1 : row + 2;
    if (destination < 0 || destination > list_->rowCount())
        return false;
    return list_->moveRow({}, row, {}, destination);
}

void WeekDetailModel::renumber() {
    qint64 order = 0;
    for (const ListRow& r : list_->rows()) {
        auto* item = static_cast<WeekItem*>(r.record);
        if (item->sortOrder() != order)
            item->setSortOrder(order);
        ++order;
    }
    (void)env_.context().save(); // a failure leaves the change for the next save
}

const std::vector<Goal*>& WeekDetailModel::goals() const {
    return goals_->results();
}

void WeekDetailModel::setNewItemTitle(const QString& text) {
    if (text == newItemTitle_)
        return;
    newItemTitle_ = text;
    emit changed();
}

void WeekDetailModel::setNewItemGoal(Goal* goal) {
    if (goal == newItemGoal_)
        return;
    newItemGoal_ = goal;
    emit changed();
}

bool WeekDetailModel::canAddItem() const {
    return week_ && !newItemTitle_.trimmed().isEmpty();
}

WeekItem* WeekDetailModel::addItem() {
    if (!canAddItem())
        return nullptr;
    // After deletions the count alone would sort it into the middle.
    const qint64 order = week_->nextItemSortOrder();
    auto* item = env_.context().create<WeekItem>(newItemTitle_.trimmed(), std::nullopt, false,
                                                 order, env_.now());
    item->setGoal(newItemGoal_);
    item->setWeek(week_);
    newItemTitle_.clear();
    newItemGoal_ = nullptr;
    rebuild();
    return item;
}

} // namespace orvana
