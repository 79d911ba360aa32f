#include "SyntheticStore.h"

#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#ifndef ORVANA_BENCH_DATA_DIR
#define ORVANA_BENCH_DATA_DIR "bench-data"
#endif

namespace orvana::bench {

namespace {

constexpr Timestamp hour = 3600;
constexpr Timestamp day = 24 * hour;

// Draws from the raw engine output only: std:: distributions may differ
// between standard libraries, and the file should not.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, n); n > 0. The modulo bias is far below anything the
    // benchmarks could notice.
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
    qint64 between(qint64 lo, qint64 hi) {
        return lo + static_cast<qint64>(below(static_cast<std::size_t>(hi - lo + 1)));
    }
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    bool chance(double p) { return unit() < p; }
    template <class T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[below(N)];
    }
    QUuid uuid() {
        std::array<char, 16> bytes{};
        const std::uint64_t hi = engine_();
        const std::uint64_t lo = engine_();
        for (int i = 0; i < 8; ++i) {
            bytes[size_t(i)] = static_cast<char>(hi >> (56 - 8 * i));
            bytes[size_t(8 + i)] = static_cast<char>(lo >> (56 - 8 * i));
        }
        bytes[6] = static_cast<char>((bytes[6] & 0x0F) | 0x40); // version 4
        bytes[8] = static_cast<char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
        return QUuid::fromRfc4122(QByteArrayView(bytes.data(), 16));
    }

private:
    std::mt19937_64 engine_;
};

constexpr std::array<const char*, 12> verbs{"Draft",  "Review", "Plan",   "Practise",
                                            "Write",  "Read",   "Fix",    "Call",
                                            "Sketch", "Revise", "Record", "Prepare"};
constexpr std::array<const char*, 12> nouns{"chapter",   "outline",  "scales",   "budget",
                                            "interview", "workout",  "proposal", "garden bed",
                                            "slides",    "exercise", "podcast",  "report"};
constexpr std::array<const char*, 8> goalNames{
    "Run a half marathon", "Learn Spanish",      "Finish the novel",   "Ship the side project",
    "Pay off the car",     "Play Chopin études", "Renovate the attic", "Get the certificate"};

QString title(Rng& rng) {
    return QStringLiteral("%1 %2").arg(QLatin1String(rng.pick(verbs)),
                                       QLatin1String(rng.pick(nouns)));
}

QString sentence(Rng& rng) {
    return QStringLiteral("%1 the %2 before %3 the %4.")
        .arg(QLatin1String(rng.pick(verbs)), QLatin1String(rng.pick(nouns)),
             QString::fromLatin1(rng.pick(verbs)).toLower(), QLatin1String(rng.pick(nouns)));
}

// Constructs a record with an id from the generator and inserts it, so that
// ids are as reproducible as the rest of the file.
template <class T, class... Args> T* make(ModelContext& ctx, Rng& rng, Args&&... args) {
    auto record = std::make_unique<T>(std::forward<Args>(args)...);
    record->setID(rng.uuid());
    return ctx.insert(std::move(record));
}

std::size_t scale(std::size_t n, double factor) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(static_cast<double>(n) * factor));
}

} // namespace

SyntheticStoreSize SyntheticStoreSize::scaled(double factor) const {
    return {scale(goals, factor),       scale(weeks, factor),         scale(weekItems, factor),
            scale(dayTasks, factor),    scale(focusSessions, factor), scale(focusBlocks, factor),
            scale(trailEntries, factor)};
}

std::size_t SyntheticStoreSize::total() const {
    return goals + weeks + weekItems + dayTasks + focusSessions + focusBlocks + trailEntries;
}

Calendar syntheticCalendar() {
    return Calendar(QTimeZone::utc(), 2);
}

Timestamp syntheticFirstDay() {
    // A Monday; 5 000 weeks from here end in late 2025.
    return *syntheticCalendar().date({1930, 1, 6, 0, 0, 0});
}

Timestamp syntheticMiddleDay(const SyntheticStoreSize& size) {
    const auto d = syntheticCalendar().startOfDayAfter(syntheticFirstDay(),
                                                       static_cast<int>(size.weeks / 2 * 7 + 3));
    return d.value_or(syntheticFirstDay());
}

Result<void> generateSyntheticStore(const QString& path, const SyntheticStoreSize& size,
                                    std::uint64_t seed) {
    removeStore(path);
    auto opened = openModelContext(path);
    if (!opened.ok())
        return opened.error();
    ModelContext& ctx = *opened.value();
    Rng rng(seed);

    // Day starts come from the calendar once; everything below indexes them.
    const Calendar calendar = syntheticCalendar();
    const std::size_t dayCount = size.weeks * 7;
    std::vector<Timestamp> days(dayCount + 1);
    days[0] = syntheticFirstDay();
    for (std::size_t i = 1; i <= dayCount; ++i)
        days[i] =
            calendar.startOfDayAfter(days[0], static_cast<int>(i)).value_or(days[i - 1] + day);
    auto anyDay = [&] { return days[rng.below(dayCount)]; };
    auto during = [&](Timestamp dayStart, double fromHour, double hours) {
        return dayStart + fromHour * hour + std::floor(rng.unit() * hours * hour);
    };

    std::vector<Goal*> goals;
    goals.reserve(size.goals);
    for (std::size_t i = 0; i < size.goals; ++i) {
        const double roll = rng.unit();
        const GoalStatus status = roll < 0.8    ? GoalStatus::active
                                  : roll < 0.95 ? GoalStatus::completed
                                                : GoalStatus::archived;
        std::optional<QString> description;
        if (rng.chance(0.3))
            description = sentence(rng);
        std::optional<Timestamp> target;
        if (rng.chance(0.5))
            target = anyDay();
        std::optional<QString> color;
        if (rng.chance(0.9))
            color = rawValue(rng.pick(allGoalColorTags));
        goals.push_back(make<Goal>(
            ctx, rng,
            QStringLiteral("%1 #%2").arg(QString::fromUtf8(rng.pick(goalNames))).arg(i + 1),
            std::move(description), target, status, std::move(color), qint64(i),
            during(anyDay(), 8, 12)));
    }
    auto anyGoal = [&] { return goals[rng.below(goals.size())]; };

    std::vector<FocusBlockTemplate*> blocks;
    blocks.reserve(size.focusBlocks);
    for (std::size_t i = 0; i < size.focusBlocks; ++i) {
        std::vector<qint64> weekdays;
        for (qint64 d = 1; d <= 7; ++d) {
            if (rng.chance(0.4))
                weekdays.push_back(d);
        }
        if (weekdays.empty())
            weekdays.push_back(rng.between(1, 7));
        constexpr std::array<qint64, 4> minutes{0, 15, 30, 45};
        constexpr std::array<qint64, 4> durations{25, 45, 60, 90};
        auto* block = make<FocusBlockTemplate>(
            ctx, rng, title(rng), std::move(weekdays), rng.between(6, 20), rng.pick(minutes),
            rng.pick(durations), rng.chance(0.85), during(anyDay(), 8, 12));
        if (rng.chance(0.8))
            block->setGoal(anyGoal());
        blocks.push_back(block);
    }

    std::vector<Week*> weeks;
    weeks.reserve(size.weeks);
    for (std::size_t w = 0; w < size.weeks; ++w) {
        const Timestamp start = days[w * 7];
        std::optional<QString> intention, reflection;
        std::optional<Timestamp> ritual;
        if (rng.chance(0.4))
            intention = sentence(rng);
        if (rng.chance(0.25))
            reflection = sentence(rng);
        if (rng.chance(0.3))
            ritual = during(start, 7, 3);
        weeks.push_back(make<Week>(ctx, rng, start, days[w * 7 + 7], std::move(intention),
                                   std::move(reflection), start - day + 18 * hour, ritual));
    }

    // Items are spread evenly over the weeks, in week order.
    std::vector<WeekItem*> items;
    items.reserve(size.weekItems);
    std::vector<qint64> itemsInWeek(size.weeks, 0);
    for (std::size_t i = 0; i < size.weekItems; ++i) {
        const std::size_t w = i * size.weeks / size.weekItems;
        std::optional<QString> notes;
        if (rng.chance(0.05))
            notes = sentence(rng);
        auto* item = make<WeekItem>(ctx, rng, title(rng), std::move(notes), rng.chance(0.5),
                                    itemsInWeek[w]++, during(days[w * 7], 7, 3));
        item->setWeek(weeks[w]);
        item->setGoal(anyGoal());
        items.push_back(item);
    }

    // Nine in ten tasks come from week items and fall on the days of the
    // item's week in turn, so every day gets a few; the rest belong to a goal
    // directly, on any day. The first task of each day is its one thing.
    std::vector<DayTask*> tasks;
    tasks.reserve(size.dayTasks);
    std::vector<qint64> tasksOnDay(dayCount, 0);
    std::vector<qint64> tasksInWeek(size.weeks, 0);
    const std::size_t fromItems = size.dayTasks - size.dayTasks / 10;
    for (std::size_t t = 0; t < size.dayTasks; ++t) {
        WeekItem* item = nullptr;
        std::size_t d;
        if (t < fromItems) {
            const std::size_t i = t * size.weekItems / fromItems;
            const std::size_t w = i * size.weeks / size.weekItems;
            item = items[i];
            d = w * 7 + static_cast<std::size_t>(tasksInWeek[w]++ % 7);
        } else {
            d = rng.below(dayCount);
        }
        std::optional<QString> notes;
        if (rng.chance(0.03))
            notes = sentence(rng);
        std::optional<QUuid> source;
        if (rng.chance(0.02))
            source = blocks[rng.below(blocks.size())]->id();
        std::optional<Timestamp> reminder;
        if (rng.chance(0.04))
            reminder = during(days[d], 8, 10);
        const qint64 order = tasksOnDay[d]++;
        auto* task = make<DayTask>(ctx, rng, item ? item->title() : title(rng), days[d],
                                   std::move(notes), rng.chance(0.6), order == 0, order,
                                   days[d] - std::floor(rng.unit() * 3 * day), source, reminder);
        if (item) {
            task->setWeekItem(item);
            task->setGoal(item->goal());
        } else {
            task->setGoal(anyGoal());
        }
        tasks.push_back(task);
    }

    for (std::size_t s = 0; s < size.focusSessions; ++s) {
        DayTask* task = tasks[rng.below(tasks.size())];
        const double roll = rng.unit();
        const FocusSessionKind kind = roll < 0.85   ? FocusSessionKind::work
                                      : roll < 0.95 ? FocusSessionKind::shortBreak
                                                    : FocusSessionKind::longBreak;
        const double planned = kind == FocusSessionKind::work ? (rng.chance(0.7) ? 25 : 50) * 60.0
                               : kind == FocusSessionKind::shortBreak ? 5 * 60.0
                                                                      : 15 * 60.0;
        const bool completed = rng.chance(0.8);
        const double active = completed ? planned : std::floor(planned * (0.3 + 0.6 * rng.unit()));
        const Timestamp created = during(task->date(), 7, 13);
        std::optional<qint64> cycle;
        if (rng.chance(0.4))
            cycle = rng.between(1, 4);
        auto* session = make<FocusSession>(ctx, rng, planned, created, active, std::nullopt,
                                           created + active + std::floor(rng.unit() * 300),
                                           completed, true, kind, cycle);
        session->setDayTask(task);
        if (rng.chance(0.7))
            session->setGoal(task->goal());
    }

    for (std::size_t e = 0; e < size.trailEntries; ++e) {
        const Timestamp date = during(anyDay(), 6, 16);
        auto* entry = make<TrailEntry>(ctx, rng, date, rng.between(1, 120), nullptr, date);
        entry->setGoal(anyGoal());
    }

    if (auto saved = ctx.save(); !saved.ok())
        return saved;
    opened.value().reset(); // closes the file and releases the lock
    QFile::remove(path + QStringLiteral(".lock"));
    return {};
}

QString syntheticStorePath() {
    const QString fromEnv = qEnvironmentVariable("ORVANA_BENCH_DATA");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QString::fromUtf8(ORVANA_BENCH_DATA_DIR) + QStringLiteral("/synthetic-v1.sqlite");
}

Result<SyntheticStoreInfo> ensureSyntheticStore() {
    SyntheticStoreInfo info;
    info.path = syntheticStorePath();
    if (!QFileInfo::exists(info.path)) {
        std::fprintf(stderr, "Generating the synthetic store at %s (this takes a while)...\n",
                     qPrintable(info.path));
        const QString temp = info.path + QStringLiteral(".generating");
        QElapsedTimer timer;
        timer.start();
        if (auto made = generateSyntheticStore(temp); !made.ok()) {
            removeStore(temp);
            return made.error();
        }
        info.generateSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        removeStore(info.path); // stale side files of an earlier cache
        if (!QFile::rename(temp, info.path)) {
            removeStore(temp);
            return Error{QStringLiteral("Cannot move the generated store to %1.").arg(info.path)};
        }
        info.generated = true;
    }
    info.fileBytes = QFileInfo(info.path).size();
    return info;
}

Result<void> copyStore(const QString& source, const QString& target) {
    removeStore(target);
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!QFile::copy(source, target))
        return Error{QStringLiteral("Cannot copy %1 to %2.").arg(source, target)};
    // A WAL left by a process that did not close the store holds committed data.
    const QString wal = source + QStringLiteral("-wal");
    if (QFileInfo::exists(wal) && !QFile::copy(wal, target + QStringLiteral("-wal")))
        return Error{QStringLiteral("Cannot copy %1.").arg(wal)};
    return {};
}

void removeStore(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal", ".lock"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace orvana::bench
