#include "Views/Weeks/WeeklyRitualModel.h"

#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <algorithm>

namespace orvana {

namespace {

constexpr unsigned planTypes = entityBit(EntityType::goal) | entityBit(EntityType::weekItem);
constexpr unsigned readTypes = planTypes | entityBit(EntityType::week);

enum Field { reflectionField, intentionField };

std::optional<QString> storedText(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

WeeklyRitualModel::WeeklyRitualModel(AppEnvironment& environment, Week* week, QObject* parent)
    : QObject(parent), env_(environment), week_(week), retroRows_(new RowListModel(this)),
      finishRows_(new RowListModel(this)), typing_(environment.context()) {
    ModelContext& ctx = env_.context();
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (week_ && (types & readTypes))
            update(types);
    });
    connect(&ctx, &ModelContext::recordRemoved, this, [this](Record* record) {
        if (record == week_) {
            week_ = nullptr;
            refreshRows(readTypes);
            emit weekRemoved();
        }
    });
    refreshRows(readTypes);
}

Week* WeeklyRitualModel::previousWeek() const {
    return week_ ? Week::mostRecentPast(week_->startDate(), env_.context()) : nullptr;
}

std::vector<RitualStep> WeeklyRitualModel::steps() const {
    std::vector<RitualStep> list;
    if (previousWeek())
        list.push_back(RitualStep::retro);
    list.insert(list.end(), {RitualStep::intention, RitualStep::planItems, RitualStep::finish});
    return list;
}

RitualStep WeeklyRitualModel::step() const {
    const std::vector<RitualStep> list = steps();
    return list[std::size_t(std::min<int>(stepIndex_, int(list.size()) - 1))];
}

QString WeeklyRitualModel::title(RitualStep step) {
    switch (step) {
    case RitualStep::retro:
        return tr("What Moved Last Week");
    case RitualStep::intention:
        return tr("Set Your Intention");
    case RitualStep::planItems:
        return tr("Plan Your Goals");
    case RitualStep::finish:
        break;
    }
    return tr("Review & Finish");
}

void WeeklyRitualModel::back() {
    if (stepIndex_ < 1)
        return;
    stepIndex_ = std::max(stepIndex_ - 1, 0);
    endTypingBurst();
    emit changed();
}

void WeeklyRitualModel::next() {
    if (isFinishStep())
        return;
    stepIndex_ = std::min(stepIndex_ + 1, int(steps().size()) - 1);
    endTypingBurst();
    emit changed();
}

void WeeklyRitualModel::finish() {
    if (!week_)
        return;
    endTypingBurst();
    week_->setRitualCompletedAt(env_.now()); // a second run moves the stamp
    // Not planned again here: the next refresh of the nudges skips this week.
    env_.notifications().cancelWeeklyRitualNudge();
    emit finished();
}

std::vector<WeekItem*> WeeklyRitualModel::itemsByGoal(const Week& week) {
    std::vector<WeekItem*> items = week.items();
    // Goal-less items sort under the empty title, so before every goal.
    std::stable_sort(items.begin(), items.end(), [](const WeekItem* a, const WeekItem* b) {
        const QString x = a->goal() ? a->goal()->title() : QString();
        const QString y = b->goal() ? b->goal()->title() : QString();
        if (x != y)
            return x < y;
        return a->sortOrder() < b->sortOrder();
    });
    return items;
}

std::vector<WeekItem*> WeeklyRitualModel::retroItems() const {
    Week* previous = previousWeek();
    return previous ? itemsByGoal(*previous) : std::vector<WeekItem*>{};
}

QString WeeklyRitualModel::reflection() const {
    Week* previous = previousWeek();
    return previous ? previous->reflection().value_or(QString()) : QString();
}

void WeeklyRitualModel::setReflection(const QString& text) {
    Week* previous = previousWeek();
    if (!previous || text == reflection())
        return;
    typing_.keystroke(reflectionField, [&] { previous->setReflection(storedText(text)); });
}

QString WeeklyRitualModel::intention() const {
    return week_ ? week_->intention().value_or(QString()) : QString();
}

void WeeklyRitualModel::setIntention(const QString& text) {
    if (!week_ || text == intention())
        return;
    typing_.keystroke(intentionField, [&] { week_->setIntention(storedText(text)); });
}

std::vector<Goal*> WeeklyRitualModel::activeGoals() const {
    auto active = FetchDescriptor<Goal>::where(
        [](const Goal& goal) { return goal.status() == GoalStatus::active; });
    active.sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder));
    return env_.context().fetch(active);
}

std::vector<WeekItem*> WeeklyRitualModel::itemsForGoal(const Goal& goal) const {
    std::vector<WeekItem*> items;
    if (!week_)
        return items;
    for (WeekItem* item : week_->items()) {
        if (item->goal() && item->goal()->id() == goal.id())
            items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(), [](const WeekItem* a, const WeekItem* b) {
        return a->sortOrder() < b->sortOrder();
    });
    return items;
}

QString WeeklyRitualModel::newItemTitle(const Goal& goal) const {
    return newItemTitleByGoal_.value(goal.id());
}

void WeeklyRitualModel::setNewItemTitle(const Goal& goal, const QString& text) {
    if (text == newItemTitle(goal))
        return;
    newItemTitleByGoal_.insert(goal.id(), text);
    emit newItemTitleChanged(goal.id());
}

bool WeeklyRitualModel::canAddItem(const Goal& goal) const {
    return week_ && !newItemTitle(goal).trimmed().isEmpty();
}

WeekItem* WeeklyRitualModel::addItem(Goal& goal) {
    const QString title = newItemTitle(goal).trimmed();
    if (!week_ || title.isEmpty())
        return nullptr;
    endTypingBurst();
    // Counted over the whole week, so the new item sorts last among all goals.
    auto* item = env_.context().create<WeekItem>(title, std::nullopt, false,
                                                 week_->nextItemSortOrder(), env_.now());
    item->setGoal(&goal);
    item->setWeek(week_);
    newItemTitleByGoal_.insert(goal.id(), QString());
    emit newItemTitleChanged(goal.id());
    update(planTypes);
    return item;
}

bool WeeklyRitualModel::hasIntention() const {
    return !intention().isEmpty();
}

std::vector<WeekItem*> WeeklyRitualModel::weekItemsBySortOrder() const {
    std::vector<WeekItem*> items = week_ ? week_->items() : std::vector<WeekItem*>{};
    std::stable_sort(items.begin(), items.end(), [](const WeekItem* a, const WeekItem* b) {
        return a->sortOrder() < b->sortOrder();
    });
    return items;
}

QString WeeklyRitualModel::reviewText() const {
    if (!week_)
        return {};
    QStringList lines;
    if (hasIntention())
        lines << *week_->intention();
    for (const WeekItem* item : week_->items()) // the week's own order, not sorted
        lines << item->title();
    return lines.join(u'\n');
}

namespace {

ListRow itemRow(const WeekItem& item, bool showsCompletion) {
    ListRow row;
    row.key = item.id().toString(QUuid::WithoutBraces);
    row.record = const_cast<WeekItem*>(&item);
    row.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const QString goal = item.goal() ? item.goal()->title() : QString();
    row.data[Qt::DisplayRole] = item.title();
    row.data[WeeklyRitualModel::GoalTitleRole] = goal;
    row.data[WeeklyRitualModel::CompleteRole] = item.isComplete();
    row.data[WeeklyRitualModel::ShowsCompletionRole] = showsCompletion;
    row.data[Qt::AccessibleTextRole] =
        showsCompletion
            ? (item.isComplete() ? WeeklyRitualModel::tr("%1, done").arg(item.title())
                                 : WeeklyRitualModel::tr("%1, not done").arg(item.title()))
            : item.title();
    row.data[Qt::AccessibleDescriptionRole] = goal;
    return row;
}

std::vector<ListRow> rowsOf(const std::vector<WeekItem*>& items, bool showsCompletion) {
    std::vector<ListRow> rows;
    rows.reserve(items.size());
    for (const WeekItem* item : items)
        rows.push_back(itemRow(*item, showsCompletion));
    return rows;
}

} // namespace

RowListModel* WeeklyRitualModel::planList(const Goal& goal) {
    RowListModel*& list = planRows_[goal.id()];
    if (!list) {
        list = new RowListModel(this);
        std::vector<ListRow> rows = rowsOf(itemsForGoal(goal), false);
        for (ListRow& row : rows)
            row.data[GoalTitleRole] = QString(); // the section names the goal
        list->setRows(std::move(rows));
    }
    return list;
}

void WeeklyRitualModel::update(unsigned types) {
    refreshRows(types);
    emit changed();
}

void WeeklyRitualModel::refreshRows(unsigned types) {
    retroRows_->setRows(rowsOf(retroItems(), true));
    finishRows_->setRows(rowsOf(weekItemsBySortOrder(), false));
    // Only the goals whose lists are shown, and only when items or goals moved:
    // a keystroke in the intention leaves them be.
    if (!(types & planTypes) || planRows_.isEmpty())
        return;
    QHash<QUuid, std::vector<ListRow>> byGoal;
    for (const WeekItem* item : weekItemsBySortOrder()) {
        if (item->goal() && planRows_.contains(item->goal()->id())) {
            ListRow row = itemRow(*item, false);
            row.data[GoalTitleRole] = QString();
            byGoal[item->goal()->id()].push_back(std::move(row));
        }
    }
    for (auto it = planRows_.begin(); it != planRows_.end(); ++it)
        it.value()->setRows(byGoal.take(it.key()));
}

void WeeklyRitualModel::endTypingBurst() {
    typing_.end();
}

} // namespace orvana
