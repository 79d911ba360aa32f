#include "Services/DataImport.h"
#include "Core/Uuid.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace orvana;

namespace {

QByteArray exported(const ModelContext& ctx) {
    return DataExportService::exportJSON(ctx, 1.8e9).value();
}

// Into the store it came from an import changes nothing, yet is one undo
// step; into another it adds everything the format carries and deletes
// nothing, and one undo takes it away.
TEST(DataImport, AnImportIsOneUndoStepIntoTheSameStoreOrAnother) {
    ModelContext source;
    UndoManager* undo = source.ensureUndoManager();
    test::fillEveryKind(source);
    test::drainEvents();
    ASSERT_TRUE(source.save().ok());
    const QByteArray document = exported(source);
    const auto steps = undo->undoCount();
    ASSERT_TRUE(DataImport::importJSON(document, source).ok());
    EXPECT_EQ(exported(source), document);
    EXPECT_EQ(source.count<Goal>(), 1u);
    EXPECT_EQ(undo->undoCount(), steps + 1);
    undo->undo();
    EXPECT_EQ(exported(source), document);

    ModelContext target;
    UndoManager* targetUndo = target.ensureUndoManager();
    auto* mine = target.create<Goal>(QStringLiteral("mine"));
    test::drainEvents();
    const QByteArray targetBefore = exported(target);
    ASSERT_TRUE(DataImport::importJSON(document, target).ok());
    EXPECT_EQ(target.count<Goal>(), 2u);
    EXPECT_FALSE(mine->isDeleted());
    targetUndo->undo();
    EXPECT_EQ(exported(target), targetBefore);

    ModelContext empty;
    ASSERT_TRUE(DataImport::importJSON(document, empty).ok());
    EXPECT_EQ(exported(empty), document) << "every field and relationship arrived";
    EXPECT_FALSE(empty.fetch<FocusSession>().front()->hasBeenLogged())
        << "the logged flag is not in the format";
}

TEST(DataImport, RelationshipsPointOnlyIntoTheSameDocumentAndDuplicatesMerge) {
    ModelContext ctx;
    auto* storeWeek = ctx.create<Week>(0.0, 1.0);
    const QString weekID = uuidText(storeWeek->id());
    const QByteArray doc = QStringLiteral(R"({
      "schemaVersion": 1, "exportedAt": "2026-03-05T14:07:00Z",
      "goals": [
        {"id": "6a1f0c3e-1d2b-4c5a-9e8f-0123456789ab", "title": "first", "createdAt": "2026-03-05T14:07:00Z",
         "status": "someday", "sortOrder": 0, "colorTag": "teal", "goalDescription": null},
        {"id": "6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB", "title": "second", "createdAt": "2026-03-05T14:07:00Z",
         "status": "active", "sortOrder": 1, "colorTag": "teal"}
      ],
      "weeks": [],
      "weekItems": [{"id": "00000000-0000-4000-8000-00000000000A", "title": "i", "isComplete": false,
        "sortOrder": 0, "createdAt": "2026-03-05T14:07:00Z", "weekID": "%1",
        "goalID": "6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB"}],
      "dayTasks": [],
      "focusSessions": [{"id": "00000000-0000-4000-8000-00000000000C", "createdAt": "2026-03-05T14:07:00Z",
        "plannedDuration": 60, "accumulatedActiveDuration": 0, "isCompleted": false, "kind": "nap"}],
      "focusBlockTemplates": [], "trailEntries": []
    })")
                               .arg(weekID)
                               .toUtf8();
    ASSERT_TRUE(DataImport::importJSON(doc, ctx).ok());
    ASSERT_EQ(ctx.count<Goal>(), 1u) << "ids in either case name the same goal";
    Goal* goal = ctx.fetch<Goal>().front();
    EXPECT_EQ(goal->title(), QStringLiteral("second"));
    EXPECT_EQ(goal->status(), GoalStatus::active);
    EXPECT_EQ(goal->colorTag(), QStringLiteral("teal")) << "stored unchanged";
    WeekItem* item = ctx.fetch<WeekItem>().front();
    EXPECT_EQ(item->week(), nullptr) << "the week is only in the store";
    EXPECT_EQ(item->goal(), goal);
    EXPECT_EQ(ctx.fetch<FocusSession>().front()->kindRawValue(), QStringLiteral("work"));
}

TEST(DataImport, RejectedDocumentsTouchNothingAndSayWhatIsWrong) {
    ModelContext source;
    test::fillEveryKind(source);
    const QByteArray good = exported(source);

    ModelContext ctx;
    UndoManager* undo = ctx.ensureUndoManager();
    const struct {
        QByteArray document;
        const char* message;
    } cases[] = {
        {QByteArray(good).replace("\"schemaVersion\" : 1", "\"schemaVersion\" : 2"),
         "This file uses export format 2, which this version of Orvana doesn't understand."},
        {QByteArray(good)
             .replace("\"schemaVersion\" : 1", "\"schemaVersion\" : 2")
             .replace("\"title\" : \"Run\"", "\"name\" : \"Run\""),
         "goals[0]: the key \"title\" is missing"},
        {QByteArray(good).replace("2023-11-14T22:13:20Z", "2023-11-14T22:13:20.5Z"),
         "is not a date and time"},
        {QByteArray(good).replace("\"sortOrder\" : 3", "\"sortOrder\" : 3.5"),
         "goals[0].sortOrder: expected a whole number"},
        {QByteArray(good).replace("\"isActive\" : false", "\"isActive\" : \"no\""),
         "focusBlockTemplates[0].isActive"},
        {good.left(good.size() / 2), "not valid JSON"},
        {QByteArray(100000, '[') + QByteArray(100000, ']'), "not valid JSON"},
        {"[]", "top level is not an object"},
    };
    for (const auto& c : cases) {
        auto result = DataImport::importJSON(c.document, ctx);
        ASSERT_FALSE(result.ok()) << c.message;
        EXPECT_TRUE(result.error().message.contains(QLatin1String(c.message)))
            << qPrintable(result.error().message);
    }
    EXPECT_EQ(ctx.count<Goal>(), 0u);
    EXPECT_FALSE(ctx.hasChanges());
    EXPECT_FALSE(undo->canUndo());
}

TEST(DataImport, HostileDocumentsAreHandled) {
    const QByteArray head = R"({"schemaVersion": 1, "exportedAt": "2026-03-05T14:07:00Z",
      "weeks": [], "weekItems": [], "dayTasks": [], "focusSessions": [],
      "focusBlockTemplates": [], "trailEntries": [], "goals": [)";
    auto goal = [](const QByteArray& title, const QByteArray& sortOrder) {
        return R"({"id": "6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB", "createdAt": "2026-03-05T14:07:00Z",
                   "status": "active", "title": )" +
               title + R"(, "sortOrder": )" + sortOrder + "}";
    };
    ModelContext ctx;
    for (const QByteArray& n : {QByteArray("1e400"), QByteArray("9223372036854775808"),
                                QByteArray("-1e19"), QByteArray("1.5")})
        EXPECT_FALSE(DataImport::importJSON(head + goal("\"t\"", n) + "]}", ctx).ok())
            << n.constData();
    // The last of repeated keys counts; nothing breaks.
    ASSERT_TRUE(
        DataImport::importJSON(head + goal("\"first\", \"title\": \"last\"", "1") + "]}", ctx)
            .ok());
    EXPECT_EQ(ctx.fetch<Goal>().front()->title(), QStringLiteral("last"));
    // Past the keys a record usually has, the last still counts.
    QByteArray many;
    for (int i = 0; i < 20; ++i)
        many += ", \"extra" + QByteArray::number(i) + "\": " + QByteArray::number(i);
    ASSERT_TRUE(DataImport::importJSON(
                    head + goal("\"first\"" + many + ", \"title\": \"later\"", "1") + "]}", ctx)
                    .ok());
    EXPECT_EQ(ctx.fetch<Goal>().front()->title(), QStringLiteral("later"));
    // A document read in place ends where its size says, whatever lies in
    // the spare capacity behind it.
    QByteArray cut = head + goal("\"t\"", "1") + "]}";
    cut.reserve(cut.size() + 2 * DataImport::decodePadding);
    cut.resize(cut.size() - 2);
    ASSERT_GE(cut.capacity() - cut.size(), DataImport::decodePadding);
    EXPECT_FALSE(DataImport::decode(cut).ok());
    // A long title is just a long title.
    const QByteArray longTitle = '"' + QByteArray(8 << 20, 'x') + '"';
    ASSERT_TRUE(DataImport::importJSON(head + goal(longTitle, "1") + "]}", ctx).ok());
    EXPECT_EQ(ctx.fetch<Goal>().front()->title().size(), 8 << 20);
}

TEST(DataImport, TimestampsAreReadInExactlyTheWrittenForm) {
    EXPECT_EQ(DataImport::parseTimestamp(u"2026-03-05T14:07:00Z"), 1772719620.0);
    EXPECT_EQ(DataImport::parseTimestamp(u"2000-02-29T00:00:00Z"), 951782400.0);
    for (const char16_t* bad :
         {u"2026-02-29T00:00:00Z", u"2026-03-05T14:07:00", u"2026-03-05 14:07:00Z",
          u"2026-03-05T24:00:00Z", u"2026-03-05T14:07:00.000Z", u"2026-03-05T14:07:00+01:00",
          u"+026-03-05T14:07:00Z"})
        EXPECT_FALSE(DataImport::parseTimestamp(bad)) << QString::fromUtf16(bad).toStdString();
    for (Timestamp t : {-62135596800.0, 0.0, 951782400.0, 253402300799.0})
        EXPECT_EQ(
            DataImport::parseTimestamp(QString::fromLatin1(DataExportService::timestampText(t))),
            t);
}

} // namespace
