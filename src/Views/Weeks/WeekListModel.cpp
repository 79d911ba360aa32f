#include "Views/Weeks/WeekListModel.h"

#include "Core/Calendar.h"
#include "Models/DayTask.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace orvana {

namespace {

// Weeks, and items for the summaries.
constexpr unsigned readTypes = entityBit(EntityType::week) | entityBit(EntityType::weekItem);

// Timers stop while the machine sleeps; a check this often notices a new
// day soon after a resume.
constexpr int dayCheckIntervalMs = 60 * 1000;

QDate dayOf(Timestamp t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    return QDate(c.year, c.month, c.day);
}

// The locale's long date without the weekday and with the short month name:
// "Jun 8, 2026", "8 Jun 2026", "8. Juni 2026".
QString mediumFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("d{4}[,.]?\\s*|\\s*[,.]?\\s*d{4}"));
    format.remove(weekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return format.trimmed();
}

// The same format without the year where the year stands at one end, else
// empty (a year in the middle cannot be dropped cleanly).
QString withoutYear(const QString& format) {
    static const QRegularExpression trailing(QStringLiteral("\\s*('[^']*')?\\s*[,.]?\\s*y+\\.?$"));
    static const QRegularExpression leading(QStringLiteral("^y+\\s*[-/.,]?\\s*"));
    QString shorter = format;
    if (trailing.match(shorter).hasMatch())
        shorter.remove(trailing);
    else if (leading.match(shorter).hasMatch())
        shorter.remove(leading);
    else
        return {};
    return shorter.trimmed();
}

} // namespace

namespace weeks {

QString rangeText(const Week& week, const Calendar& calendar, const QLocale& locale) {
    const QDate start = dayOf(week.startDate(), calendar);
    const QDate end = dayOf(week.endDate(), calendar);
    const QString format = mediumFormat(locale);
    QString first = locale.toString(start, format);
    if (start.year() == end.year()) {
        if (const QString noYear = withoutYear(format); !noYear.isEmpty())
            first = locale.toString(start, noYear);
    }
    return QObject::tr("%1 – %2").arg(first, locale.toString(end, format));
}

bool isCurrentWeek(const Week& week, Timestamp now, const Calendar& calendar) {
    const auto thisWeek = Week::boundaries(now, calendar);
    return thisWeek && calendar.isSameDay(week.startDate(), thisWeek->start);
}

qsizetype doneCount(const Week& week) {
    return std::count_if(week.items().begin(), week.items().end(),
                         [](const WeekItem* item) { return item->isComplete(); });
}

QString itemsSummary(const Week& week) {
    if (week.items().empty())
        return QObject::tr("No items yet");
    return QObject::tr("%1/%2 items done")
        .arg(QString::number(doneCount(week)), QString::number(week.items().size()));
}

bool allItemsDone(const Week& week) {
    return !week.items().empty() && doneCount(week) == qsizetype(week.items().size());
}

} // namespace weeks

WeekListModel::WeekListModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), list_(new RowListModel(this)),
      undoBanner_(new UndoBannerModel(environment.context(), this)),
      pickedPlanDate_(environment.now()) {
    ModelContext& ctx = env_.context();
    auto all = FetchDescriptor<Week>();
    all.sortedBy(SortDescriptor<Week>::by(&Week::startDate, SortOrder::reverse));
    weeks_ = std::make_unique<LiveQuery<Week>>(ctx, std::move(all), entityBit(EntityType::week));
    // After the query (connected first, so it is current by then).
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (types & readTypes)
            rebuild();
    });
    startOfToday_ = env_.calendar().startOfDay(env_.now());
    dayCheck_.setInterval(dayCheckIntervalMs);
    connect(&dayCheck_, &QTimer::timeout, this, &WeekListModel::checkDay);
    dayCheck_.start();
    rebuild();
}

WeekListModel::~WeekListModel() = default;

QString WeekListModel::title() {
    return tr("Weeks");
}
QString WeekListModel::planButtonText() {
    return tr("Plan a Week");
}
QString WeekListModel::ritualButtonText() {
    return tr("Start This Week's Ritual");
}
QString WeekListModel::currentWeekBadgeText() {
    return tr("This Week");
}
QString WeekListModel::ritualLabelText() {
    return tr("Ritual");
}
QString WeekListModel::ritualToolTip() {
    return tr("Weekly ritual completed");
}
QString WeekListModel::deletedMessage() {
    return tr("Week deleted");
}
QString WeekListModel::emptyTitle() {
    return tr("No Weeks Yet");
}
QString WeekListModel::emptySymbol() {
    return QStringLiteral("calendar");
}
QString WeekListModel::emptyDescription() {
    return tr("Tap the sparkles to run this week's ritual (set an intention, plan items per "
              "goal), or the + to plan any week — this one, or one coming up.");
}

const std::vector<Week*>& WeekListModel::weeks() const {
    return weeks_->results();
}

void WeekListModel::checkDay() {
    const Timestamp start = env_.calendar().startOfDay(env_.now());
    if (start == startOfToday_)
        return;
    startOfToday_ = start;
    rebuild();
}

void WeekListModel::rebuild() {
    const std::vector<Week*>& weeks = weeks_->results();
    showsEmptyState_ = weeks.empty();
    const Timestamp now = env_.now();
    const Calendar& calendar = env_.calendar();
    std::vector<ListRow> rows;
    rows.reserve(weeks.size());
    for (Week* w : weeks) {
        ListRow r;
        r.key = w->id().toString(QUuid::WithoutBraces);
        r.record = w;
        const QString range = weeks::rangeText(*w, calendar);
        const bool current = weeks::isCurrentWeek(*w, now, calendar);
        const Status status = w->items().empty()        ? Status::empty
                              : weeks::allItemsDone(*w) ? Status::allDone
                                                        : Status::inProgress;
        const QString summary = weeks::itemsSummary(*w);
        const bool ritual = w->ritualCompletedAt().has_value();
        // Read aloud: "8 Jun – 15 Jun 2026, this week" and "2/3 items done, ritual done".
        QStringList description{summary};
        if (ritual)
            description << tr("ritual done");
        r.data = {
            {Qt::DisplayRole, range},
            {Qt::AccessibleTextRole,
             current ? tr("%1, %2").arg(range, currentWeekBadgeText().toLower()) : range},
            {Qt::AccessibleDescriptionRole, description.join(QStringLiteral(", "))},
            {StatusRole, int(status)},
            {CurrentWeekRole, current},
            {SummaryRole, summary},
            {RitualDoneRole, ritual},
        };
        r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        rows.push_back(std::move(r));
    }
    list_->setRows(std::move(rows));
    emit changed();
}

Week* WeekListModel::weekAt(int row) const {
    const ListRow* r = list_->rowAt(row);
    return r ? static_cast<Week*>(r->record) : nullptr;
}

int WeekListModel::rowOf(const Week* week) const {
    return week ? list_->rowOf(week->id().toString(QUuid::WithoutBraces)) : -1;
}

Week* WeekListModel::planPickedWeek() {
    return Week::forDate(pickedPlanDate_, env_.context(), env_.calendar(), true);
}

Week* WeekListModel::ritualWeek() {
    return Week::forDate(env_.now(), env_.context(), env_.calendar(), true);
}

void WeekListModel::deleteWeeks(const std::vector<Week*>& weeks) {
    ModelContext& ctx = env_.context();
    bool any = false;
    // One undo step of its own, which the banner announces.
    UndoManager* undo = ctx.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    for (Week* week : weeks) {
        if (!week || week->isDeleted())
            continue;
        any = true;
        for (const WeekItem* item : week->items()) {
            for (const DayTask* task : item->dayTasks())
                env_.notifications().cancelReminder(*task);
        }
        // Its items, their tasks and those tasks' sessions go with it.
        ctx.remove(week);
    }
    if (undo)
        undo->endUndoGrouping();
    if (!any)
        return;
    (void)ctx.save(); // a failure leaves the change for the next save
    undoBanner_->announce(deletedMessage());
}

} // namespace orvana
