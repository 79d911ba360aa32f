#include "Models/DayTask.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/RowListModel.h"
#include "Views/Today/DayTaskFormView.h"
#include "Views/Today/TodayModel.h"
#include "Views/Today/TodayView.h"
#include "support/SyncHome.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace orvana::test {
namespace {

// The rows as the list shows them. (Qt keeps its accessibility tree in step
// with inserted rows only while an assistive technology listens.)
QStringList rowTexts(TodayView& view) {
    QStringList out;
    const QAbstractItemModel* rows = view.list()->model();
    for (int i = 0; i < rows->rowCount(); ++i)
        out << rows->index(i, 0).data(Qt::AccessibleTextRole).toString();
    return out;
}

// What another device changed shows on the open screen at once, and the
// row the user is on and the title being typed stay as they were.
TEST(SyncArrival, ChangesShowWithoutLosingTheSelectionOrTheTyping) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    SyncHome laptop, phone;
    const Timestamp today = laptop.calendar.startOfDay(systemNow());
    for (const char* title : {"Run", "Read", "Write"})
        laptop.ctx->create<DayTask>(QString::fromUtf8(title), today);
    ASSERT_TRUE(laptop.join(server));
    ASSERT_TRUE(phone.join(server));

    TodayView view(*laptop.env);
    view.resize(700, 500);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    DayTask* read = nullptr;
    for (DayTask* t : laptop.ctx->fetch<DayTask>())
        if (t->title() == QLatin1String("Read"))
            read = t;
    ASSERT_NE(read, nullptr);
    const QString readKey = QStringLiteral("task:") + read->id().toString(QUuid::WithoutBraces);
    view.list()->selectionModel()->setCurrentIndex(
        view.model()->list()->index(view.model()->list()->rowOf(readKey)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(&view, Qt::Key_N, Qt::ControlModifier);
    auto* form = view.findChild<DayTaskFormView*>();
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->titleField(), QStringLiteral("Call the bank"));

    for (DayTask* t : phone.ctx->fetch<DayTask>())
        if (t->title() == QLatin1String("Write"))
            t->setTitle(QStringLiteral("Write the report"));
    phone.ctx->create<DayTask>(QStringLiteral("Swim"), today);
    phone.sync().syncNow();
    ASSERT_TRUE(phone.settled());
    laptop.sync().syncNow();
    ASSERT_TRUE(laptop.settled());

    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QString all = rowTexts(view).join(u'\n');
        return all.contains(QLatin1String("Swim")) &&
               all.contains(QLatin1String("Write the report"));
    }));
    EXPECT_EQ(view.list()->currentIndex().row(), view.model()->list()->rowOf(readKey));
    EXPECT_EQ(form->titleField()->text(), QStringLiteral("Call the bank"));
}

} // namespace
} // namespace orvana::test
