#include "Views/Sync/DeletedElsewhereModel.h"
#include "Views/Sync/SyncConflictsModel.h"

#include "Core/AppPaths.h"
#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/AppEnvironment.h"
#include "Services/DataExportService.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/UndoManager.h"
#include "support/FakeNotificationCenter.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// A store on disk with an account set up, as a signed-in app has it.
struct SignedIn {
    SignedIn() {
        auto opened = openModelContext(dir.filePath(QStringLiteral("Orvana.sqlite")));
        EXPECT_TRUE(opened.ok());
        context = std::move(opened.value());
        context->setClock([this] { return now; });
        context->ensureUndoManager();
        const SyncAccount account{"https://dav.example.org/",
                                  "alice",
                                  "/alice/",
                                  false,
                                  "ACC-1",
                                  {"/alice/t/", "/alice/p/", "/alice/b/", "/alice/f/"},
                                  {},
                                  {}};
        EXPECT_TRUE(context->store()->startSync(account, now).ok());
        env = std::make_unique<AppEnvironment>(AppEnvironment::Services{
            *context, preferences, notifications, calendar, AppPaths::under(dir.path())});
    }
    SyncState& sync() { return *context->store()->sync(); }
    Timestamp local(int month, int day, int hour = 0, int minute = 0) const {
        return test::at(calendar.timeZone(), 2026, month, day, hour, minute);
    }
    static QByteArray json(const QJsonValue& v) {
        return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    }
    // As strings gtest prints: the lines joined by " | ".
    static std::string detail(const RowListModel& list, int row, int role) {
        return list.data(list.index(row), role).toStringList().join(" | ").toStdString();
    }
    static std::string text(const RowListModel& list, int row, int role = Qt::DisplayRole) {
        return list.data(list.index(row), role).toString().toStdString();
    }

    QTemporaryDir dir;
    Calendar calendar = test::berlinMondayFirst();
    Timestamp now = test::at(QTimeZone("Europe/Berlin"), 2026, 3, 2, 10, 0);
    std::unique_ptr<ModelContext> context;
    Preferences preferences{dir.filePath(QStringLiteral("config/preferences.json"))};
    test::FakeNotificationCenter center;
    NotificationService notifications{center, [this] { return now; }, calendar};
    std::unique_ptr<AppEnvironment> env;
};

// Each conflict names the record as the user knows it (or says it is gone),
// the field in words and both values written for people, with the side that
// won; "Use This Value" takes the other one as one undo step and settles the
// row; a record that is gone cannot take it.
TEST(SyncConflictsModel, ListsEachConflictInWordsAndTakesTheValueThatLost) {
    SignedIn t;
    auto* goal = t.context->create<Goal>(QStringLiteral("Run a marathon"), std::nullopt,
                                         t.local(9, 20), GoalStatus::active);
    auto* week =
        t.context->create<Week>(t.local(3, 2), t.local(3, 8), std::nullopt, std::nullopt, t.now);
    auto* task = t.context->create<DayTask>(QStringLiteral("Buy shoes"), t.local(3, 2));
    ASSERT_TRUE(t.context->save().ok());
    const QUuid gone = QUuid::createUuid();
    struct Added {
        QUuid record;
        EntityType type;
        const char* field;
        QJsonValue kept, lost;
        bool thisDeviceLost;
    };
    // Newest last here: the page lists newest first.
    const std::vector<Added> added{
        {gone, EntityType::goal, "title", "Old", "Older", false},
        {week->id(), EntityType::week, "intention", "Rest", QJsonValue(QJsonValue::Null), true},
        {task->id(), EntityType::dayTask, "isComplete", true, false, false},
        {goal->id(), EntityType::goal, "targetDate", t.local(9, 20), t.local(10, 4), true},
    };
    for (std::size_t i = 0; i < added.size(); ++i) {
        const Added& a = added[i];
        ASSERT_TRUE(t.context->store()
                        ->changeSync([&](SyncState& s) {
                            return s.addConflict(a.record, a.type, QString::fromLatin1(a.field),
                                                 SignedIn::json(a.kept), SignedIn::json(a.lost),
                                                 a.thisDeviceLost, t.now + double(i));
                        })
                        .ok());
    }

    SyncConflictsModel model(*t.env);
    const RowListModel& list = *model.list();
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_FALSE(model.showsEmptyState());
    using R = SyncConflictsModel;
    const std::vector<std::pair<std::string, std::string>> shown{
        {"Run a marathon",
         "Goal · Target date | Kept (another device): Sunday, 20 September 2026 | "
         "Not kept (this device): Sunday, 4 October 2026"},
        {"Buy shoes",
         "Task · Done | Kept (this device): Done | Not kept (another device): Not done"},
        {"Week of 2 Mar – 8 Mar 2026",
         "Week · Intention | Kept (another device): Rest | Not kept (this device): None"},
        {"A goal that is no longer here",
         "Goal · Title | Kept (this device): Old | Not kept (another device): Older"},
    };
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(SignedIn::text(list, row), shown[std::size_t(row)].first);
        EXPECT_EQ(SignedIn::detail(list, row, R::DetailRole), shown[std::size_t(row)].second);
    }
    // What a screen reader says: the record and the field, then who won.
    EXPECT_EQ(SignedIn::text(list, 0, Qt::AccessibleTextRole), "Run a marathon, target date");
    EXPECT_EQ(SignedIn::text(list, 0, Qt::AccessibleDescriptionRole),
              "Goal. Another device's value was kept, Sunday, 20 September 2026. Not kept, "
              "Sunday, 4 October 2026.");

    EXPECT_FALSE(model.canUse(3));
    EXPECT_FALSE(model.useLostValue(3));
    EXPECT_FALSE(model.problem().isEmpty());
    EXPECT_EQ(list.rowCount(), 4);

    ASSERT_TRUE(model.canUse(0));
    ASSERT_TRUE(model.useLostValue(0)) << model.problem().toStdString();
    EXPECT_EQ(goal->targetDate(), t.local(10, 4));
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(SignedIn::text(list, 0), "Buy shoes");
    EXPECT_EQ(t.sync().conflictCount().value(), 3);
    drainEvents();
    t.context->undoManager()->undo();
    EXPECT_EQ(goal->targetDate(), t.local(9, 20));
}

// Records a sync removed in the last 30 days, newest first, each with what
// it was, when and what went with it; Restore brings the record back with
// what went with it and takes it off the list.
TEST(DeletedElsewhereModel, ListsTheMonthsDeletionsAndRestoresOneWithWhatWentWithIt) {
    SignedIn t;
    auto* goal = t.context->create<Goal>(QStringLiteral("Learn Spanish"));
    auto* week =
        t.context->create<Week>(t.local(3, 2), t.local(3, 8), std::nullopt, std::nullopt, t.now);
    auto* item = t.context->create<WeekItem>(QStringLiteral("Lesson 4"));
    item->setWeek(week);
    item->setGoal(goal);
    auto* task1 = t.context->create<DayTask>(QStringLiteral("Vocabulary"), t.local(3, 3));
    auto* task2 = t.context->create<DayTask>(QStringLiteral("Listening"), t.local(3, 4));
    task1->setWeekItem(item);
    task2->setWeekItem(item);
    auto* lone = t.context->create<DayTask>(QStringLiteral("Call the bank"), t.local(3, 2));
    ASSERT_TRUE(t.context->save().ok());
    // Kept as a pull keeps them: the record and what went with it, as an
    // export document.
    auto contents = [&](std::vector<Record*> records) {
        OrvanaExport doc;
        doc.exportedAt = t.now;
        for (Record* r : records) {
            if (auto* g = dynamic_cast<Goal*>(r))
                doc.goals.push_back(DataExportService::valueOf(*g));
            else if (auto* i = dynamic_cast<WeekItem*>(r))
                doc.weekItems.push_back(DataExportService::valueOf(*i));
            else if (auto* d = dynamic_cast<DayTask*>(r))
                doc.dayTasks.push_back(DataExportService::valueOf(*d));
        }
        return DataExportService::encode(doc).value();
    };
    const QUuid goalID = goal->id();
    const QUuid loneID = lone->id();
    const QByteArray goalContents = contents({goal, item, task1, task2});
    const QByteArray loneContents = contents({lone});
    t.context->remove(goal);
    t.context->remove(lone);
    ASSERT_TRUE(t.context->save().ok());
    const QUuid old = QUuid::createUuid();
    ASSERT_TRUE(
        t.context->store()
            ->changeSync([&](SyncState& s) -> Result<void> {
                if (auto r =
                        s.addDeleted(old, EntityType::dayTask, loneContents, t.now - 31 * 86400.0);
                    !r.ok())
                    return r;
                if (auto r = s.addDeleted(loneID, EntityType::dayTask, loneContents,
                                          t.local(2, 27, 18, 30));
                    !r.ok())
                    return r;
                return s.addDeleted(goalID, EntityType::goal, goalContents, t.local(3, 1, 9, 5));
            })
            .ok());

    DeletedElsewhereModel model(*t.env);
    const RowListModel& list = *model.list();
    ASSERT_EQ(list.rowCount(), 2);
    using R = DeletedElsewhereModel;
    EXPECT_EQ(SignedIn::text(list, 0), "Learn Spanish");
    EXPECT_EQ(SignedIn::detail(list, 0, R::DetailRole),
              "Goal · deleted Sunday, 1 March 2026 at 09:05 | "
              "1 week item and 2 tasks went with it");
    EXPECT_EQ(SignedIn::text(list, 0, Qt::AccessibleTextRole),
              "Learn Spanish, deleted Sunday, 1 March 2026 at 09:05");
    EXPECT_EQ(SignedIn::text(list, 1), "Call the bank");
    EXPECT_EQ(SignedIn::detail(list, 1, R::DetailRole),
              "Task · deleted Friday, 27 February 2026 at 18:30");

    ASSERT_TRUE(model.restore(0)) << model.problem().toStdString();
    Goal* back = t.context->findByID<Goal>(goalID);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->weekItems().size(), 1u);
    EXPECT_EQ(back->weekItems().front()->week(), week);
    EXPECT_EQ(back->weekItems().front()->dayTasks().size(), 2u);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(SignedIn::text(list, 0), "Call the bank");
    EXPECT_EQ(t.sync().deletedCount(0).value(), 2); // the old one is still kept, unlisted
}

} // namespace
