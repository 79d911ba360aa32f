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

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

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

// A date format cut into fields ("yyyy", "MMM", "d") and the literal text
// between them (separators, quoted words, "年"); adjacent literals are one part.
struct FormatPart {
    QString text;
    bool field = false;
};

std::vector<FormatPart> split(const QString& format) {
    static const QString fieldLetters = QStringLiteral("dMyhHmszaAt");
    std::vector<FormatPart> parts;
    auto literal = [&](QStringView text) {
        if (!parts.empty() && !parts.back().field)
            parts.back().text += text;
        else
            parts.push_back({text.toString(), false});
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype next = i + 1;
        if (c == u'\'') {
            const qsizetype close = format.indexOf(u'\'', i + 1);
            next = close < 0 ? format.size() : close + 1;
            literal(QStringView(format).sliced(i, next - i));
        } else if (fieldLetters.contains(c)) {
            while (next < format.size() && format[next] == c)
                ++next;
            parts.push_back({format.sliced(i, next - i), true});
        } else {
            literal(QStringView(format).sliced(i, 1));
        }
        i = next;
    }
    return parts;
}

// The whole day this calendar week starts on: a week whose startDate lies in
// it, at whatever time of day, is the current one. Absent when the calendar cannot place `now`.
std::optional<DateInterval> currentWeekStartDay(Timestamp now, const Calendar& calendar) {
    const auto thisWeek = Week::boundaries(now, calendar);
    if (!thisWeek)
        return std::nullopt;
    const Timestamp start = thisWeek->start;
    return DateInterval{start, calendar.startOfDayAfter(start, 1).value_or(start)};
}

QString summaryText(qsizetype done, qsizetype total) {
    if (total == 0)
        return QCoreApplication::translate("orvana::weeks", "No items yet");
    // The count of all items picks the plural form: "3/5 items done".
    return QCoreApplication::translate("orvana::weeks", "%1/%n items done", nullptr, int(total))
        .arg(QString::number(done));
}

struct YearlessFormat {
    QString format;
    bool yearFirst = false;
};

// The format without its year and the text that ties the year to the rest:
// "MMM d, yyyy" gives "MMM d", "yyyy年M月d日" gives "M月d日", "yyyy/MM/dd"
// gives "MM/dd". Absent when the year stands mid-date (or twice, or not at all)
// and cannot be dropped cleanly.
std::optional<YearlessFormat> withoutYear(const QString& format) {
    std::vector<FormatPart> parts = split(format);
    std::size_t year = parts.size();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i].field || !parts[i].text.startsWith(u'y'))
            continue;
        if (year != parts.size())
            return std::nullopt;
        year = i;
    }
    if (year == parts.size())
        return std::nullopt;
    auto literalsOnly = [&](std::size_t from, std::size_t to) {
        return std::none_of(parts.begin() + qsizetype(from), parts.begin() + qsizetype(to),
                            [](const FormatPart& p) { return p.field; });
    };
    YearlessFormat out;
    std::size_t first = 0;
    std::size_t last = 0; // the parts [first, last) go
    if (literalsOnly(year + 1, parts.size())) {
        // Last: with the separator before it and whatever follows ("'г'.").
        first = year > 0 && !parts[year - 1].field ? year - 1 : year;
        last = parts.size();
    } else if (literalsOnly(0, year)) {
        // First: with the separator after it.
        out.yearFirst = true;
        last = !parts[year + 1].field ? year + 2 : year + 1;
    } else {
        return std::nullopt;
    }
    parts.erase(parts.begin() + qsizetype(first), parts.begin() + qsizetype(last));
    if (literalsOnly(0, parts.size()))
        return std::nullopt;
    for (const FormatPart& p : parts)
        out.format += p.text;
    out.format = out.format.trimmed();
    return out;
}

} // namespace

namespace weeks {

RangeFormat::RangeFormat(const QLocale& locale) : locale_(locale), format_(mediumFormat(locale)) {
    if (std::optional<YearlessFormat> shorter = withoutYear(format_)) {
        withoutYear_ = std::move(shorter->format);
        yearFirst_ = shorter->yearFirst;
    }
}

QString RangeFormat::text(QDate start, QDate end) const {
    const bool oneYear = start.year() == end.year() && !withoutYear_.isEmpty();
    const QString& startFormat = oneYear && !yearFirst_ ? withoutYear_ : format_;
    const QString& endFormat = oneYear && yearFirst_ ? withoutYear_ : format_;
    return QCoreApplication::translate("orvana::weeks", "%1 – %2", "a week's first and last day")
        .arg(locale_.toString(start, startFormat), locale_.toString(end, endFormat));
}

QString rangeText(const Week& week, const Calendar& calendar, const QLocale& locale) {
    return RangeFormat(locale).text(dayOf(week.startDate(), calendar),
                                    dayOf(week.endDate(), calendar));
}

qsizetype doneCount(const Week& week) {
    return std::count_if(week.items().begin(), week.items().end(),
                         [](const WeekItem* item) { return item->isComplete(); });
}

QString itemsSummary(const Week& week) {
    return summaryText(doneCount(week), qsizetype(week.items().size()));
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
    // Ranges are written in the zone's dates, and "this week" moves.
    connect(&env_, &AppEnvironment::calendarChanged, this, [this] {
        ranges_.clear();
        startOfToday_ = env_.calendar().startOfDay(env_.now());
        rebuild();
    });
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
    return tr("Ritual", "badge: the weekly ritual is done");
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

QString WeekListModel::rangeText(const Week& week) {
    const std::pair key{week.startDate(), week.endDate()};
    if (const auto it = ranges_.constFind(key); it != ranges_.cend())
        return *it;
    const Calendar& calendar = env_.calendar();
    const QString text = rangeFormat_.text(dayOf(key.first, calendar), dayOf(key.second, calendar));
    // A NaN from an import would never be found again.
    if (!std::isnan(key.first) && !std::isnan(key.second))
        ranges_.insert(key, text);
    return text;
}

void WeekListModel::rebuild() {
    const std::vector<Week*>& weeks = weeks_->results();
    showsEmptyState_ = weeks.empty();
    if (QLocale() != rangeFormat_.locale()) {
        rangeFormat_ = weeks::RangeFormat();
        ranges_.clear();
    }
    // Weeks whose dates were edited leave texts behind.
    if (std::size_t(ranges_.size()) > 2 * weeks.size() + 64)
        ranges_.clear();
    const std::optional<DateInterval> currentDay = currentWeekStartDay(env_.now(), env_.calendar());
    const QString thisWeek = currentWeekBadgeText().toLower();
    const QString ritualDone = tr("ritual done");
    std::vector<ListRow> rows;
    rows.reserve(weeks.size());
    for (Week* w : weeks) {
        ListRow r;
        r.key = w->id().toString(QUuid::WithoutBraces);
        r.record = w;
        const QString range = rangeText(*w);
        const bool current = currentDay && currentDay->contains(w->startDate());
        const qsizetype done = weeks::doneCount(*w);
        const qsizetype total = qsizetype(w->items().size());
        const Status status = total == 0      ? Status::empty
                              : done == total ? Status::allDone
                                              : Status::inProgress;
        const QString summary = summaryText(done, total);
        const bool ritual = w->ritualCompletedAt().has_value();
        // Read aloud: "8 Jun – 15 Jun 2026, this week" and "2/3 items done, ritual done".
        r.data = {
            {Qt::DisplayRole, range},
            {Qt::AccessibleTextRole, current ? tr("%1, %2").arg(range, thisWeek) : range},
            {Qt::AccessibleDescriptionRole,
             ritual ? tr("%1, %2").arg(summary, ritualDone) : summary},
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
