#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Store/ModelContext.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace orvana;

namespace {

const QUuid goalID = QUuid::fromString(u"6a1f0c3e-1d2b-4c5a-9e8f-0123456789ab");
const QUuid itemID = QUuid::fromString(u"00000000-0000-4000-8000-00000000000a");
const QUuid taskID = QUuid::fromString(u"00000000-0000-4000-8000-00000000000b");
const QUuid sessionID = QUuid::fromString(u"00000000-0000-4000-8000-00000000000c");
const QUuid blockID = QUuid::fromString(u"00000000-0000-4000-8000-00000000000d");
const QUuid entryID = QUuid::fromString(u"00000000-0000-4000-8000-00000000000e");
const QUuid weekID = QUuid::fromString(u"00000000-0000-4000-8000-00000000000f");

template <class T, class... Args> T* make(ModelContext& ctx, const QUuid& id, Args&&... args) {
    auto record = std::make_unique<T>(std::forward<Args>(args)...);
    record->setID(id);
    return ctx.insert(std::move(record));
}

// 2026-03-05T14:07:00Z
constexpr Timestamp march5 = 1772719620;

TEST(DataExport, WritesTheDocumentByteForByte) {
    ModelContext ctx;
    auto* goal = make<Goal>(ctx, goalID, QStringLiteral("Run/Walk \"5k\" – café"), std::nullopt,
                            std::nullopt, GoalStatus::active, std::nullopt, 2, march5 + 0.75);
    auto* week = make<Week>(ctx, weekID, march5, march5 + 604800, QStringLiteral("Line\nTab\t"),
                            std::nullopt, march5);
    auto* item =
        make<WeekItem>(ctx, itemID, QStringLiteral("Long run"), std::nullopt, true, 1, march5);
    item->setWeek(week);
    item->setGoal(goal);
    auto* task = make<DayTask>(ctx, taskID, QStringLiteral("Tue run"), march5, std::nullopt, false,
                               true, 0, march5, blockID);
    task->setWeekItem(item); // reached only through the item: no goalID
    auto* session = make<FocusSession>(ctx, sessionID, 1500.0, march5, 1499.25);
    session->setDayTask(task);
    session->setKindRawValue(std::nullopt); // written as "work"
    make<FocusBlockTemplate>(ctx, blockID, QStringLiteral("Deep"), std::vector<qint64>{2, 4}, 7, 30,
                             45, false, march5);
    make<TrailEntry>(ctx, entryID, march5 - 1, 25, goal, march5);

    auto json = DataExportService::exportJSON(ctx, march5 + 60.999);
    ASSERT_TRUE(json.ok());
    const QByteArray expected = R"({
  "dayTasks" : [
    {
      "createdAt" : "2026-03-05T14:07:00Z",
      "date" : "2026-03-05T14:07:00Z",
      "id" : "00000000-0000-4000-8000-00000000000B",
      "isComplete" : false,
      "isTodaysOneThing" : true,
      "sortOrder" : 0,
      "sourceTemplateID" : "00000000-0000-4000-8000-00000000000D",
      "title" : "Tue run",
      "weekItemID" : "00000000-0000-4000-8000-00000000000A"
    }
  ],
  "exportedAt" : "2026-03-05T14:08:00Z",
  "focusBlockTemplates" : [
    {
      "createdAt" : "2026-03-05T14:07:00Z",
      "durationMinutes" : 45,
      "hour" : 7,
      "id" : "00000000-0000-4000-8000-00000000000D",
      "isActive" : false,
      "minute" : 30,
      "title" : "Deep",
      "weekdays" : [
        2,
        4
      ]
    }
  ],
  "focusSessions" : [
    {
      "accumulatedActiveDuration" : 1499.25,
      "createdAt" : "2026-03-05T14:07:00Z",
      "dayTaskID" : "00000000-0000-4000-8000-00000000000B",
      "id" : "00000000-0000-4000-8000-00000000000C",
      "isCompleted" : false,
      "kind" : "work",
      "plannedDuration" : 1500
    }
  ],
  "goals" : [
    {
      "createdAt" : "2026-03-05T14:07:00Z",
      "id" : "6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB",
      "sortOrder" : 2,
      "status" : "active",
      "title" : "Run\/Walk \"5k\" – café"
    }
  ],
  "schemaVersion" : 1,
  "trailEntries" : [
    {
      "createdAt" : "2026-03-05T14:07:00Z",
      "date" : "2026-03-05T14:06:59Z",
      "goalID" : "6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB",
      "id" : "00000000-0000-4000-8000-00000000000E",
      "minutes" : 25
    }
  ],
  "weekItems" : [
    {
      "createdAt" : "2026-03-05T14:07:00Z",
      "goalID" : "6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB",
      "id" : "00000000-0000-4000-8000-00000000000A",
      "isComplete" : true,
      "sortOrder" : 1,
      "title" : "Long run",
      "weekID" : "00000000-0000-4000-8000-00000000000F"
    }
  ],
  "weeks" : [
    {
      "createdAt" : "2026-03-05T14:07:00Z",
      "endDate" : "2026-03-12T14:07:00Z",
      "id" : "00000000-0000-4000-8000-00000000000F",
      "intention" : "Line\nTab\t",
      "startDate" : "2026-03-05T14:07:00Z"
    }
  ]
})";
    EXPECT_EQ(json.value().toStdString(), expected.toStdString());
    EXPECT_FALSE(QJsonDocument::fromJson(json.value()).isNull()) << "valid JSON";
}

TEST(DataExport, AnEmptyStoreHasAllNineKeysAndNothingChanges) {
    ModelContext ctx;
    const QJsonObject root =
        QJsonDocument::fromJson(DataExportService::exportJSON(ctx, 0).value()).object();
    EXPECT_EQ(root.keys().size(), 9);
    EXPECT_TRUE(root.value(QLatin1String("goals")).isArray());
    EXPECT_FALSE(ctx.hasChanges());
}

// The backup copies a large store a slice at a time and writes it in pieces:
// wherever the slices and the pieces of a fetch end (within a kind of record,
// at its end, between two looks at the clock) and after a restart, the copy
// is the one taken at once, and so are the bytes.
TEST(DataExport, ASnapshotTakenInSlicesAndWrittenInPiecesIsTheOneTakenAtOnce) {
    ModelContext ctx;
    test::fillEveryKind(ctx);
    for (int i = 1; i < 5000; ++i)
        ctx.create<TrailEntry>(march5 + i, i, nullptr, march5);
    const OrvanaExport whole = DataExportService::exportDocument(ctx, march5);
    // Records per slice and per fetch; 1000 divides the trail entries' count.
    const std::pair<std::size_t, std::size_t> cases[] = {{1, 1000}, {7, 700}, {SIZE_MAX, 1000}};
    for (const auto& [maxRecords, recordsPerFetch] : cases) {
        ExportSnapshot snapshot(ctx, march5, recordsPerFetch);
        for (int i = 0; i < 3; ++i)
            snapshot.copySlice(QDeadlineTimer(0), maxRecords);
        snapshot.restart();
        int slices = 1;
        // The deadline has passed already: each slice still makes progress.
        while (!snapshot.copySlice(QDeadlineTimer(0), maxRecords))
            ++slices;
        EXPECT_GT(slices, 1) << maxRecords;
        EXPECT_TRUE(snapshot.takeDocument() == whole) << maxRecords;
    }

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(DataExportService::encode(whole, buffer).ok());
    EXPECT_TRUE(buffer.data() == DataExportService::encode(whole).value());
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(DataExportService::encode(whole, readOnly).ok()) << "a refused write fails";
}

TEST(DataExport, TimestampsDropTheFractionAndStayInRange) {
    EXPECT_EQ(DataExportService::timestampText(march5 + 0.75), "2026-03-05T14:07:00Z");
    EXPECT_EQ(DataExportService::timestampText(-0.5), "1969-12-31T23:59:59Z");
    EXPECT_EQ(DataExportService::timestampText(951782400), "2000-02-29T00:00:00Z");
    EXPECT_EQ(DataExportService::timestampText(1e300), "9999-12-31T23:59:59Z");
    EXPECT_EQ(DataExportService::timestampText(-1e300), "0001-01-01T00:00:00Z");

    ModelContext ctx;
    ctx.create<FocusSession>(std::numeric_limits<double>::infinity());
    EXPECT_FALSE(DataExportService::exportJSON(ctx, 0).ok()) << "not representable in JSON";
}

// A duration is written as the fewest significant digits that read back to
// the same double, an integral one in full (100000, not 1e+05), and the
// document reads back to the same bits: over random bit patterns of every
// exponent and the edges, against strtod and the shortest %.*e that round-trips.
TEST(DataExport, EveryDurationIsWrittenInItsShortestFormAndReadsBack) {
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.1, 1e-7, 1500.0, 100000.0, 1e22, 1e23};
    values.insert(values.end(), {1e300, DBL_MAX, -DBL_MAX, DBL_MIN, DBL_MIN / 3, DBL_TRUE_MIN});
    values.insert(values.end(), {0x1p53 - 1, 0x1p53, 0x1p53 + 2}); // 2^53 + 1 is no double
    for (int e = 15; e <= 21; ++e) {
        const double p = std::strtod(("1e" + std::to_string(e)).c_str(), nullptr);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, DBL_MAX)})
            values.insert(values.end(), {v, -v});
    }
    std::mt19937_64 random(20260305);
    // Many around 1e15-1e22, where the plain shortest form turns to an exponent.
    for (int i = 0; i < 20000; ++i)
        values.push_back(std::ldexp(double(random() >> 11), int(random() % 24) - 3));
    while (values.size() < 200000) {
        const double v = std::bit_cast<double>(random());
        if (std::isfinite(v))
            values.push_back(v);
    }

    OrvanaExport document;
    for (std::size_t i = 0; i < values.size(); i += 2) {
        FocusSessionExport session;
        session.kind = QStringLiteral("work");
        session.accumulatedActiveDuration = values[i]; // written first
        session.plannedDuration = values[i + 1];
        document.focusSessions.push_back(session);
    }
    const QByteArray json = DataExportService::encode(document).value();

    auto same = [](double a, double b) {
        return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
    };
    auto shortestDigits = [&](double v) {
        char text[40];
        for (int p = 1; p < 17; ++p) {
            std::snprintf(text, sizeof text, "%.*e", p - 1, v);
            if (same(std::strtod(text, nullptr), v))
                return p;
        }
        return 17;
    };
    // Digits from the first to the last that is not 0, before any exponent.
    auto significantDigits = [](std::string text) {
        text.resize(std::min(text.size(), text.find_first_of("eE")));
        std::erase_if(text, [](char c) { return c < '0' || c > '9'; });
        text.erase(0, text.find_first_not_of('0'));
        text.erase(text.find_last_not_of('0') + 1);
        return std::max(int(text.size()), 1);
    };
    const std::string_view all(json.constData(), std::size_t(json.size()));
    std::size_t at = 0, wrong = 0;
    for (double v : values) {
        at = all.find("Duration\" : ", at);
        ASSERT_NE(at, std::string_view::npos);
        at += 12;
        const std::string text(all.substr(at, all.find_first_of(",\n", at) - at));
        const bool plain = text.find_first_of(".eE") == std::string::npos;
        if ((!same(std::strtod(text.c_str(), nullptr), v) || (std::trunc(v) == v && !plain) ||
             significantDigits(text) != shortestDigits(v)) &&
            ++wrong <= 10)
            ADD_FAILURE() << std::bit_cast<quint64>(v) << " (" << v << ") written as " << text;
    }
    EXPECT_EQ(wrong, 0u);

    const auto decoded = DataImport::decode(json);
    ASSERT_TRUE(decoded.ok()) << decoded.error().message.toStdString();
    // Each text names one double: other doubles would be written otherwise.
    EXPECT_TRUE(DataExportService::encode(decoded.value()).value() == json)
        << "read back to other doubles";
}

} // namespace
