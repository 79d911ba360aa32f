#include "Views/Today/TodayModel.h"

#include "Models/FocusBlockTemplate.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Services/TaskCompletion.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Views/Shared/SearchMatcher.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <limits>

namespace orvana {

namespace {

// What Today reads: tasks, blocks, and goals for the titles and colours on
// rows. Trail entries and sessions change often and never show here.
constexpr unsigned readTypes = entityBit(EntityType::dayTask) |
                               entityBit(EntityType::focusBlockTemplate) |
                               entityBit(EntityType::goal);

// Checked this often besides the midnight timer: timers stop counting while
// the machine sleeps, so after a resume the day may have turned unnoticed.
constexpr int dayCheckIntervalMs = 60 * 1000;

} // namespace

TodayModel::TodayModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), list_(new RowListModel(this)),
      undoBanner_(new UndoBannerModel(environment.context(), this)) {
    ModelContext& ctx = env_.context();
    setDay();
    activeTemplates_ = std::make_unique<LiveQuery<FocusBlockTemplate>>(
        ctx, FetchDescriptor<FocusBlockTemplate>::where([](const FocusBlockTemplate& b) {
            return b.isActive();
        }),
        entityBit(EntityType::focusBlockTemplate));
    // After the queries (connected first, so they are current by then).
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (types & readTypes)
            rebuild();
    });
    connect(&env_.preferences(), &Preferences::valueChanged, this, [this](const QString& key) {
        if (key == QLatin1String(PreferenceKeys::showGuidanceTips.name))
            rebuild();
    });

    list_->canMove = [this](int source, int count, int destination) {
        return canMoveRows(source, count, destination);
    };
    list_->onMove = [this](int, int, int) { renumberShownTasks(); };
    list_->derive = [this](const ListRow& row, int role) { return taskRowData(row, role); };
    list_->onToggle = [this](int row) {
        if (DayTask* task = taskAt(row))
            toggleComplete(*task);
    };

    midnight_.setSingleShot(true);
    midnight_.setTimerType(Qt::PreciseTimer);
    connect(&midnight_, &QTimer::timeout, this, &TodayModel::checkDay);
    dayCheck_.setInterval(dayCheckIntervalMs);
    connect(&dayCheck_, &QTimer::timeout, this, &TodayModel::checkDay);
    dayCheck_.start();
    // Another zone: today begins at another instant and blocks fall on
    // other weekdays.
    connect(&env_, &AppEnvironment::calendarChanged, this, [this] {
        setDay();
        rebuild();
    });
    rebuild();
}

TodayModel::~TodayModel() = default;

QString TodayModel::title() {
    return tr("Today");
}
QString TodayModel::searchPrompt() {
    return tr("Search tasks");
}
QString TodayModel::addButtonText() {
    return tr("Add Task");
}
QString TodayModel::emptyTitle() {
    return tr("Nothing Planned Today");
}
QString TodayModel::emptySymbol() {
    return QStringLiteral("sun.max");
}
QString TodayModel::emptyDescription() {
    return tr("Tap + to add a task, or plan your week first from the Weeks tab and pull items in "
              "from there.");
}

QString TodayModel::deletedMessage(const QString& title) {
    return tr("\"%1\" deleted").arg(title);
}

void TodayModel::setDay() {
    dayTexts_.clear(); // in case the zone changed meanwhile
    const Calendar& calendar = env_.calendar();
    const Timestamp now = env_.now();
    startOfToday_ = calendar.startOfDay(now);
    startOfTomorrow_ = calendar.startOfDayAfter(now, 1).value_or(startOfToday_);

    auto today = FetchDescriptor<DayTask>().onDates(startOfToday_, startOfTomorrow_);
    today.sortedBy(SortDescriptor<DayTask>::by(&DayTask::sortOrder));
    const Timestamp start = startOfToday_;
    auto overdue = FetchDescriptor<DayTask>::where([](const DayTask& t) {
                       return !t.isComplete();
                   }).onDates(-std::numeric_limits<double>::infinity(), start);
    overdue.sortedBy(SortDescriptor<DayTask>::by(&DayTask::date));
    ModelContext& ctx = env_.context();
    const unsigned tasksOnly = entityBit(EntityType::dayTask);
    if (!tasks_) {
        tasks_ = std::make_unique<LiveQuery<DayTask>>(ctx, std::move(today), tasksOnly);
        overdueTasks_ = std::make_unique<LiveQuery<DayTask>>(ctx, std::move(overdue), tasksOnly);
    } else {
        tasks_->setDescriptor(std::move(today));
        overdueTasks_->setDescriptor(std::move(overdue));
    }
    // A little after midnight, so the clock is surely on the new day.
    const double untilTomorrow = (startOfTomorrow_ - now) * 1000.0 + 500.0;
    midnight_.start(int(std::clamp(untilTomorrow, 1000.0, double(dayCheckIntervalMs) * 60 * 25)));
}

void TodayModel::checkDay() {
    const Timestamp now = env_.now();
    if (now >= startOfToday_ && now < startOfTomorrow_) {
        if (!midnight_.isActive())
            setDay();
        return;
    }
    setDay();
    rebuild();
}

void TodayModel::setSearchText(const QString& text) {
    if (text == searchText_)
        return;
    searchText_ = text;
    rebuild();
}

void TodayModel::rebuild() {
    const auto& tasks = tasks_->results();
    const bool tips = env_.preferences().value(PreferenceKeys::showGuidanceTips);

    oneThing_ = nullptr;
    for (DayTask* t : tasks) {
        if (t->isTodaysOneThing()) {
            oneThing_ = t;
            break;
        }
    }
    // Every task but the one thing, so a second flagged task of the day (an
    // import, Move to Today) is listed here instead of nowhere.
    otherTasks_.clear();
    QSet<QUuid> usedTemplates;
    const SearchMatcher search(searchText_);
    for (DayTask* t : tasks) {
        if (t->sourceTemplateID())
            usedTemplates.insert(*t->sourceTemplateID());
        if (t != oneThing_ && search.matches(t->title()))
            otherTasks_.push_back(t);
    }
    overdue_.clear();
    for (DayTask* t : overdueTasks_->results()) {
        if (search.matches(t->title()))
            overdue_.push_back(t);
    }
    templates_.clear();
    const int weekday = env_.calendar().weekday(env_.now());
    for (FocusBlockTemplate* b : activeTemplates_->results()) {
        if (b->matches(weekday) && !usedTemplates.contains(b->id()))
            templates_.push_back(b);
    }
    std::stable_sort(templates_.begin(), templates_.end(),
                     [](const FocusBlockTemplate* a, const FocusBlockTemplate* b) {
                         return std::make_pair(a->hour(), a->minute()) <
                                std::make_pair(b->hour(), b->minute());
                     });
    showsEmptyState_ = tasks.empty() && overdueTasks_->results().empty();

    std::vector<ListRow> rows;
    auto header = [&rows](const QString& key, const QString& text) {
        ListRow r;
        r.key = QStringLiteral("header:") + key;
        r.kind = headerRow;
        r.data = {{Qt::DisplayRole, text}, {KindRole, int(headerRow)}};
        rows.push_back(std::move(r));
    };
    auto footer = [&rows, tips](const QString& key, const QString& text) {
        if (!tips)
            return;
        ListRow r;
        r.key = QStringLiteral("footer:") + key;
        r.kind = footerRow;
        r.data = {{Qt::DisplayRole, text}, {KindRole, int(footerRow)}};
        rows.push_back(std::move(r));
    };
    auto taskRowOf = [&](DayTask* t, RowKind kind) {
        // Years of overdue tasks can be listed: a row holds no values of its
        // own (taskRowData reads them from the task when asked), only what
        // they follow, and keeps the key it had.
        const Goal* goal = t->goal();
        QString& key = taskKeys_[t];
        if (key.isNull())
            key = QStringLiteral("task:") + t->id().toString(QUuid::WithoutBraces);
        ListRow r;
        r.key = key;
        r.kind = kind;
        r.record = t;
        r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
        if (kind == taskRow)
            r.flags |= Qt::ItemIsDragEnabled;
        r.derived = true;
        r.version = {quint64(t->revision()) << 32 | (goal ? goal->revision() : 0),
                     quint64(quintptr(goal))};
        rows.push_back(std::move(r));
    };

    if (!overdue_.empty()) {
        header(QStringLiteral("overdue"), tr("Overdue"));
        for (DayTask* t : overdue_)
            taskRowOf(t, overdueRow);
        footer(QStringLiteral("overdue"),
               tr("These didn't get done on their original day and stay here until you move them "
                  "or check them off — nothing is deleted automatically."));
    }
    if (oneThing_) {
        header(QStringLiteral("oneThing"), tr("Today's One Thing"));
        taskRowOf(oneThing_, oneThingRow);
    }
    if (!templates_.empty()) {
        header(QStringLiteral("blocks"), tr("Today's Recurring Blocks"));
        for (FocusBlockTemplate* b : templates_) {
            ListRow r;
            r.key = QStringLiteral("block:") + b->id().toString(QUuid::WithoutBraces);
            r.kind = blockRow;
            r.record = b;
            r.data = {
                {Qt::DisplayRole, b->title()},
                {Qt::AccessibleDescriptionRole,
                 tr("Recurring block, %1 min").arg(b->durationMinutes())},
                {KindRole, int(blockRow)},
                {ButtonTextRole, tr("Start", "begin a recurring block's focus session")},
                {ColorTagRole, b->goal() ? b->goal()->colorTag().value_or(QString()) : QString()}};
            r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            rows.push_back(std::move(r));
        }
        footer(QStringLiteral("blocks"),
               tr("From your Focus Blocks. Tap Start to create today's task and begin the timer — "
                  "it only appears here once, even if you come back later today."));
    }
    // With nothing planned the empty state speaks for this section.
    if (!showsEmptyState_) {
        header(QStringLiteral("today"), oneThing_ ? tr("Also Today") : tr("Today"));
        for (DayTask* t : otherTasks_)
            taskRowOf(t, taskRow);
        footer(QStringLiteral("today"), tr("Tap the circle to mark a task done, or the timer to "
                                           "start a focus session on it."));
    }
    // Deleted or moved-away tasks leave entries behind; start over now and then.
    if (std::size_t(taskKeys_.size()) > 2 * rows.size() + 64)
        taskKeys_.clear();
    list_->setRows(std::move(rows));
    emit changed();
}

QVariant TodayModel::taskRowData(const ListRow& row, int role) const {
    const auto* t = static_cast<const DayTask*>(row.record);
    const Goal* goal = t->goal();
    const bool overdue = row.kind == overdueRow;
    switch (role) {
    case Qt::DisplayRole:
        return t->title();
    case Qt::AccessibleTextRole:
        return t->isComplete() ? tr("%1, done").arg(t->title()) : t->title();
    case Qt::CheckStateRole:
        return QVariant(t->isComplete() ? Qt::Checked : Qt::Unchecked);
    case KindRole:
        return row.kind;
    case CompleteRole:
        return t->isComplete();
    case GoalTitleRole:
        return goal ? goal->title() : QString();
    case ColorTagRole:
        return goal ? goal->colorTag().value_or(QString()) : QString();
    case DateTextRole:
        return overdue ? QVariant(dayText(t->date())) : QVariant();
    case ButtonTextRole:
        return overdue ? QVariant(tr("Move to Today")) : QVariant();
    case Qt::AccessibleDescriptionRole: {
        QStringList description;
        if (row.kind == oneThingRow)
            description << tr("Today's One Thing");
        if (goal && !goal->title().isEmpty())
            description << goal->title();
        if (overdue)
            description << dayText(t->date());
        return description.join(QStringLiteral(", "));
    }
    default:
        return {};
    }
}

QString TodayModel::dayText(Timestamp date) const {
    // Overdue tasks share few days; formatting is the costly part.
    QString& day = dayTexts_[date];
    if (day.isNull()) {
        const DateComponents c = env_.calendar().components(date);
        day = QLocale().toString(QDate(c.year, c.month, c.day), QLocale::ShortFormat);
    }
    return day;
}

DayTask* TodayModel::taskAt(int row) const {
    const ListRow* r = list_->rowAt(row);
    if (!r || (r->kind != overdueRow && r->kind != oneThingRow && r->kind != taskRow))
        return nullptr;
    return static_cast<DayTask*>(r->record);
}

FocusBlockTemplate* TodayModel::templateAt(int row) const {
    const ListRow* r = list_->rowAt(row);
    return r && r->kind == blockRow ? static_cast<FocusBlockTemplate*>(r->record) : nullptr;
}

bool TodayModel::isDeletableRow(int row) const {
    const ListRow* r = list_->rowAt(row);
    return r && r->kind == taskRow;
}

void TodayModel::toggleComplete(DayTask& task) {
    toggleTaskCompletion(task, env_.notifications());
}

void TodayModel::moveToToday(DayTask& task) {
    task.setDate(env_.calendar().startOfDay(env_.now()));
}

void TodayModel::startBlock(FocusBlockTemplate& block) {
    if (DayTask* task = block.materialize(env_.now(), env_.calendar()))
        emit focusRequested(task);
}

void TodayModel::deleteTasks(const std::vector<DayTask*>& tasks) {
    ModelContext& ctx = env_.context();
    QString last;
    // One undo step of its own, which the banner announces.
    UndoManager* undo = ctx.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    for (DayTask* task : tasks) {
        if (!task || task->isDeleted())
            continue;
        last = task->title();
        env_.notifications().cancelReminder(*task);
        ctx.remove(task);
    }
    if (undo)
        undo->endUndoGrouping();
    (void)ctx.save(); // a failure leaves the change for the next save
    if (!last.isNull())
        undoBanner_->announce(deletedMessage(last));
}

int TodayModel::taskSectionBegin() const {
    const auto& rows = list_->rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].key == QLatin1String("header:today"))
            return int(i) + 1;
    }
    return int(rows.size());
}

int TodayModel::taskSectionEnd() const {
    const auto& rows = list_->rows();
    int end = taskSectionBegin();
    while (end < int(rows.size()) && rows[std::size_t(end)].kind == taskRow)
        ++end;
    return end;
}

bool TodayModel::canMoveRows(int source, int count, int destination) const {
    // Numbering only the tasks a search shows would interleave them with the
    // hidden ones in an order nobody chose.
    if (!searchText_.isEmpty())
        return false;
    const int begin = taskSectionBegin(), end = taskSectionEnd();
    return source >= begin && source + count <= end && destination >= begin && destination <= end;
}

bool TodayModel::moveTaskRow(int row, int delta) {
    if (!isDeletableRow(row) || (delta != -1 && delta != 1))
        return false;
    const int destination = delta < 0 ? row - 1 : row + 2;
    if (!canMoveRows(row, 1, destination))
        return false;
    return list_->moveRow({}, row, {}, destination);
}

void TodayModel::renumberShownTasks() {
    qint64 order = 0;
    for (const ListRow& r : list_->rows()) {
        if (r.kind == taskRow)
            static_cast<DayTask*>(r.record)->setSortOrder(order++);
    }
    (void)env_.context().save(); // a failure leaves the change for the next save
}

} // namespace orvana
