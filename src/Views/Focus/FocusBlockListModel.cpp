#include "Views/Focus/FocusBlockListModel.h"

#include "Models/FocusBlockTemplate.h"
#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"

#include <QLocale>
#include <QStringList>
#include <QTime>
#include <algorithm>
#include <optional>

namespace orvana {

namespace {

// Blocks, and goals for the colour marks.
constexpr unsigned readTypes =
    entityBit(EntityType::focusBlockTemplate) | entityBit(EntityType::goal);

std::vector<qint64> sorted(std::vector<qint64> weekdays) {
    std::sort(weekdays.begin(), weekdays.end());
    return weekdays;
}

// The locale's short time ("07:30", "7:30 AM"); the C locale's short time
// has seconds, so there it is hours and minutes.
QString clockText(const FocusBlockTemplate& block) {
    const qint64 hour = block.hour(), minute = block.minute();
    const QLocale locale;
    if (hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && locale.language() != QLocale::C)
        return locale.toString(QTime(int(hour), int(minute)), QLocale::ShortFormat);
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(hour),
                             static_cast<long long>(minute));
}

// What a screen reader says for the detail line: day names instead of
// letters and no colon in the time, which would be read out.
QString spokenDetail(const FocusBlockTemplate& block) {
    QStringList days;
    for (qint64 day : sorted(block.weekdays())) {
        const QString name = Calendar::weekdayName(int(std::clamp<qint64>(day, 0, 8)));
        days << (name.isEmpty() ? FocusBlockListModel::tr("unknown day") : name);
    }
    const QString time =
        QStringLiteral("%1 %2").arg(block.hour()).arg(block.minute(), 2, 10, QLatin1Char('0'));
    return FocusBlockListModel::tr("%1, at %2, %3 min")
        .arg(days.join(QStringLiteral(", ")), time)
        .arg(block.durationMinutes());
}

} // namespace

FocusBlockListModel::FocusBlockListModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), list_(new RowListModel(this)),
      undoBanner_(new UndoBannerModel(environment.context(), this)) {
    ModelContext& ctx = env_.context();
    auto all = FetchDescriptor<FocusBlockTemplate>();
    all.sortedBy(SortDescriptor<FocusBlockTemplate>::by(&FocusBlockTemplate::hour));
    query_ = std::make_unique<LiveQuery<FocusBlockTemplate>>(
        ctx, std::move(all), entityBit(EntityType::focusBlockTemplate));
    // After the query (connected first, so it is current by then).
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (types & readTypes)
            rebuild();
    });
    rebuild();
}

FocusBlockListModel::~FocusBlockListModel() = default;

QString FocusBlockListModel::title() {
    return tr("Focus Blocks");
}
QString FocusBlockListModel::addButtonText() {
    return tr("Add Recurring Block");
}
QString FocusBlockListModel::emptyTitle() {
    return tr("No Recurring Blocks");
}
QString FocusBlockListModel::emptySymbol() {
    return QStringLiteral("repeat");
}
QString FocusBlockListModel::emptyDescription() {
    return tr("Add a block for the days/times you want to reserve. On a matching day it'll appear "
              "on Today under \"Today's Recurring Blocks\" — tap Start there to begin the "
              "session.");
}
QString FocusBlockListModel::pausedBadge() {
    return tr("Paused");
}
QString FocusBlockListModel::toggleText(const FocusBlockTemplate& block) {
    return block.isActive() ? tr("Pause", "a recurring block") : tr("Resume", "a recurring block");
}
QString FocusBlockListModel::deletedMessage(const QString& title) {
    return tr("\"%1\" deleted").arg(title);
}

QString FocusBlockListModel::weekdayLetter(qint64 weekday) {
    // The day names disambiguate the two Ts and Ss for translators.
    switch (weekday) {
    case 1:
        return tr("S", "Sunday");
    case 2:
        return tr("M", "Monday");
    case 3:
        return tr("T", "Tuesday");
    case 4:
        return tr("W", "Wednesday");
    case 5:
        return tr("T", "Thursday");
    case 6:
        return tr("F", "Friday");
    case 7:
        return tr("S", "Saturday");
    default:
        return QStringLiteral("?");
    }
}

QString FocusBlockListModel::weekdayLetters(const std::vector<qint64>& weekdays) {
    QStringList out;
    for (qint64 day : sorted(weekdays))
        out << weekdayLetter(day);
    return out.join(u' ');
}

QString FocusBlockListModel::detailLine(const FocusBlockTemplate& block) {
    return tr("%1 · %2 · %3 min")
        .arg(weekdayLetters(block.weekdays()), clockText(block))
        .arg(block.durationMinutes());
}

void FocusBlockListModel::rebuild() {
    blocks_ = query_->results();
    std::vector<ListRow> rows;
    rows.reserve(blocks_.size());
    for (FocusBlockTemplate* b : blocks_) {
        ListRow r;
        r.key = b->id().toString(QUuid::WithoutBraces);
        r.record = b;
        const bool paused = !b->isActive();
        r.data = {
            {Qt::DisplayRole, b->title()},
            {Qt::AccessibleTextRole, paused ? tr("%1, paused").arg(b->title()) : b->title()},
            {Qt::AccessibleDescriptionRole, spokenDetail(*b)},
            {PausedRole, paused},
            {ColorTagRole, b->goal() ? b->goal()->colorTag().value_or(QString()) : QString()},
            {DetailRole, detailLine(*b)},
            {ToggleTextRole, toggleText(*b)},
        };
        r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        rows.push_back(std::move(r));
    }
    list_->setRows(std::move(rows));
    emit changed();
}

FocusBlockTemplate* FocusBlockListModel::blockAt(int row) const {
    const ListRow* r = list_->rowAt(row);
    return r ? static_cast<FocusBlockTemplate*>(r->record) : nullptr;
}

void FocusBlockListModel::togglePaused(FocusBlockTemplate& block) {
    if (block.isDeleted())
        return;
    block.setIsActive(!block.isActive());
    (void)env_.context().save(); // a failure leaves the change for the next save
}

void FocusBlockListModel::deleteBlocks(const std::vector<FocusBlockTemplate*>& blocks) {
    ModelContext& ctx = env_.context();
    std::optional<QString> last;
    for (FocusBlockTemplate* block : blocks) {
        if (!block || block->isDeleted())
            continue;
        last = block->title();
        ctx.remove(block);
        (void)ctx.save(); // a failure leaves the change for the next save
    }
    if (last)
        undoBanner_->announce(deletedMessage(*last));
}

} // namespace orvana
