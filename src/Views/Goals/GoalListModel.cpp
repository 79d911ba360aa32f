#include "Views/Goals/GoalListModel.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Store/FocusFigures.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Views/Goals/GoalLabels.h"
#include "Views/Shared/SearchMatcher.h"

#include <QStringList>
#include <optional>

namespace orvana {

namespace {

// Goals, and trail entries for the minutes on each row.
constexpr unsigned readTypes = entityBit(EntityType::goal) | entityBit(EntityType::trailEntry);

// Timers stop while the machine sleeps; a check this often notices a new
// day soon after a resume.
constexpr int dayCheckIntervalMs = 60 * 1000;

} // namespace

GoalListModel::GoalListModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), list_(new RowListModel(this)),
      undoBanner_(new UndoBannerModel(environment.context(), this)) {
    ModelContext& ctx = env_.context();
    auto all = FetchDescriptor<Goal>();
    all.sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder));
    goals_ = std::make_unique<LiveQuery<Goal>>(ctx, std::move(all), entityBit(EntityType::goal));
    // After the query (connected first, so it is current by then).
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (types & entityBit(EntityType::trailEntry))
            minutes_.clear();
        if (types & readTypes)
            rebuild();
    });
    startOfToday_ = env_.calendar().startOfDay(env_.now());
    dayCheck_.setInterval(dayCheckIntervalMs);
    connect(&dayCheck_, &QTimer::timeout, this, &GoalListModel::checkDay);
    connect(&env_, &AppEnvironment::calendarChanged, this, &GoalListModel::checkDay);
    dayCheck_.start();
    rebuild();
}

GoalListModel::~GoalListModel() = default;

QString GoalListModel::title() {
    return tr("Goals");
}
QString GoalListModel::searchPrompt() {
    return tr("Search goals");
}
QString GoalListModel::addButtonText() {
    return tr("Add Goal");
}
QString GoalListModel::emptyTitle() {
    return tr("No Goals Yet");
}
QString GoalListModel::emptySymbol() {
    return QStringLiteral("target");
}
QString GoalListModel::emptyDescription() {
    return tr("Everything in Orvana starts from a goal — add one, then break it into weeks and "
              "tasks from there.");
}
QString GoalListModel::deletedMessage(const QString& title) {
    return tr("\"%1\" deleted").arg(title);
}

void GoalListModel::setSearchText(const QString& text) {
    if (text == searchText_)
        return;
    searchText_ = text;
    rebuild();
}

void GoalListModel::checkDay() {
    const double start = env_.calendar().startOfDay(env_.now());
    if (start == startOfToday_)
        return;
    startOfToday_ = start;
    rebuild();
}

qint64 GoalListModel::totalMinutes(const Goal& goal) const {
    auto it = minutes_.constFind(&goal);
    if (it == minutes_.constEnd())
        it = minutes_.insert(&goal,
                             FocusFigures::of(env_.context(), env_.calendar()).minutesOf(goal));
    return *it;
}

void GoalListModel::rebuild() {
    const std::vector<Goal*>& goals = goals_->results();
    showsEmptyState_ = goals.empty();
    const SearchMatcher search(searchText_);
    filtered_.clear();
    for (Goal* g : goals) {
        if (search.matches(g->title()))
            filtered_.push_back(g);
    }

    const Timestamp now = env_.now();
    const Calendar& calendar = env_.calendar();
    std::vector<ListRow> rows;
    rows.reserve(filtered_.size());
    for (Goal* g : filtered_) {
        ListRow r;
        r.key = g->id().toString(QUuid::WithoutBraces);
        r.record = g;
        const bool active = g->status() == GoalStatus::active;
        const QString status = active ? QString() : statusLabel(g->status());
        const qint64 minutes = totalMinutes(*g);
        const QString minutesLabel = minutes >= 1 ? minutesText(minutes) : QString();
        std::optional<TargetBadge> badge;
        if (g->targetDate())
            badge = targetBadge(*g->targetDate(), now, calendar);
        // Read aloud: "Run, completed" and "45 min, 3d left".
        QStringList description;
        if (!minutesLabel.isEmpty())
            description << minutesLabel;
        if (badge)
            description << badge->text;
        r.data = {
            {Qt::DisplayRole, g->title()},
            {Qt::AccessibleTextRole,
             active ? g->title() : tr("%1, %2").arg(g->title(), status.toLower())},
            {Qt::AccessibleDescriptionRole, description.join(QStringLiteral(", "))},
            {ColorTagRole, g->colorTag().value_or(QString())},
            {StatusTextRole, status},
            {MinutesTextRole, minutesLabel},
            {BadgeTextRole, badge ? badge->text : QString()},
            {BadgeToneRole, int(badge ? badge->tone : TargetBadge::Tone::later)},
        };
        r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        rows.push_back(std::move(r));
    }
    list_->setRows(std::move(rows));
    emit changed();
}

Goal* GoalListModel::goalAt(int row) const {
    const ListRow* r = list_->rowAt(row);
    return r ? static_cast<Goal*>(r->record) : nullptr;
}

int GoalListModel::rowOf(const Goal* goal) const {
    return goal ? list_->rowOf(goal->id().toString(QUuid::WithoutBraces)) : -1;
}

void GoalListModel::deleteGoals(const std::vector<Goal*>& goals) {
    ModelContext& ctx = env_.context();
    std::optional<QString> last;
    for (Goal* goal : goals) {
        if (!goal || goal->isDeleted())
            continue;
        last = goal->title();
        // Its week items, their tasks and its trail go with it; the pending
        // reminders of those tasks are withdrawn as they leave the store.
        ctx.remove(goal);
    }
    if (!last)
        return;
    (void)ctx.save(); // once for them all; a failure leaves them for the next save
    undoBanner_->announce(deletedMessage(*last));
}

} // namespace orvana
