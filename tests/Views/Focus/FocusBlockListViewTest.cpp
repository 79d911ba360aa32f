#include "Views/Focus/FocusBlockListView.h"

#include "Views/Focus/FocusBlockFormView.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Focus/FocusBlockRowDelegate.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

struct Screen {
    Screen() { t.context.ensureUndoManager(); }

    FocusBlockFormView* openForm() const { return view->findChild<FocusBlockFormView*>(); }

    QString accessibleName(int row) const {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view->list());
        QAccessibleInterface* item = list ? list->child(row) : nullptr;
        return item ? item->text(QAccessible::Name) : QString();
    }

    void show() {
        view = std::make_unique<FocusBlockListView>(t.env);
        view->resize(560, 420);
        view->show();
        activate();
    }

    void activate() {
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        drainEvents();
    }

    test::TestEnvironment t;
    std::unique_ptr<FocusBlockListView> view;
};

TEST(FocusBlockListView, AddPauseDeleteAndUndoByKeyboard) {
    Screen s;
    s.show();
    EXPECT_TRUE(s.view->emptyState()->isVisible());

    QTest::keyClick(s.view.get(), Qt::Key_N, Qt::ControlModifier);
    FocusBlockFormView* form = s.openForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->weekdayToggle(2)->accessibleName(), Calendar::weekdayName(2));
    EXPECT_FALSE(form->saveButton()->isEnabled());
    QTest::keyClicks(form->titleField(), QStringLiteral("Deep work"));
    QTest::keyClick(form->titleField(), Qt::Key_Return);
    drainEvents();
    EXPECT_EQ(s.openForm(), nullptr) << "Return saves and closes";

    RecordListView* list = s.view->list();
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(s.view->emptyState()->isVisible());
    EXPECT_EQ(s.accessibleName(0), QStringLiteral("Deep work"));
    FocusBlockTemplate* block = s.t.context.fetch<FocusBlockTemplate>().front();

    // No window manager here hands activation back when the form closes.
    s.activate();
    // Shift+F10 opens the row menu; the first entry pauses.
    list->setFocus();
    QStringList entries;
    QTimer::singleShot(0, list, [&entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            entries << a->text();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        menu->close(); // in case the keys went nowhere, so the test goes on
    });
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    drainEvents();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Pause"), QStringLiteral("Edit…"),
                                    QStringLiteral("Delete")}));
    EXPECT_FALSE(block->isActive());
    EXPECT_EQ(s.accessibleName(0), QStringLiteral("Deep work, paused"));

    s.activate(); // as after the form: the menu took activation along
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    drainEvents();
    EXPECT_TRUE(block->isDeleted());
    EXPECT_TRUE(s.view->emptyState()->isVisible());
    UndoBanner* banner = s.view->undoBanner();

    QTest::mouseClick(banner->toast()->undoButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_FALSE(block->isDeleted());
    EXPECT_FALSE(block->isActive()) << "undo reverts the delete, not the pause";
    EXPECT_TRUE(banner->message().isEmpty());
    EXPECT_EQ(list->model()->rowCount(), 1);
    EXPECT_TRUE(list->isVisible());
}

TEST(FocusBlockListView, ABlockWithoutAGoalIsMarkedInTheSecondaryColourAtAQuarter) {
    QStandardItemModel rows;
    rows.appendRow(new QStandardItem(QStringLiteral("Inbox zero"))); // no colour tag
    FocusBlockRowDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 400, 60);
    option.palette.setColor(QPalette::PlaceholderText, Qt::black);
    option.fontMetrics = QFontMetrics(option.font);
    QImage row(option.rect.size(), QImage::Format_RGB32);
    row.fill(Qt::white);
    QPainter painter(&row);
    delegate.paint(&painter, option, rows.index(0, 0));
    painter.end();
    // Inside the bar at the row's left edge, halfway down.
    const QColor mark = row.pixelColor(option.fontMetrics.height() / 2 + 1, 30);
    EXPECT_NEAR(mark.red(), 255 * 3 / 4, 3) << "black at 25 % over white";
}

// Only with ORVANA_SHOTS_DIR set (scripts/screenshots): the list, empty and
// filled, and the form.
TEST(Screenshots, FocusBlocks) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    Screen s;
    s.show();
    test::saveShots(s.view.get(), QStringLiteral("focus-blocks-empty"));

    ModelContext& ctx = s.t.context;
    auto* thesis = ctx.create<Goal>(QStringLiteral("Finish the thesis"), std::nullopt, std::nullopt,
                                    GoalStatus::active, QStringLiteral("blue"));
    auto* run = ctx.create<Goal>(QStringLiteral("Run a marathon"), std::nullopt, std::nullopt,
                                 GoalStatus::active, QStringLiteral("orange"), 1);
    ctx.create<FocusBlockTemplate>(QStringLiteral("Write two pages"),
                                   std::vector<qint64>{2, 3, 4, 5, 6}, 9, 0, 50)
        ->setGoal(thesis);
    ctx.create<FocusBlockTemplate>(QStringLiteral("Plan the training week"), std::vector<qint64>{1},
                                   18, 30, 25, false)
        ->setGoal(run);
    ctx.create<FocusBlockTemplate>(QStringLiteral("Inbox zero"), std::vector<qint64>{2, 4, 6}, 7,
                                   45, 15);
    ctx.create<FocusBlockTemplate>(
        QStringLiteral("A block with a rather long title that has to give way somewhere"),
        std::vector<qint64>{3, 9}, 13, 0, 120, false);
    drainEvents();
    s.view->list()->setCurrentIndex(s.view->list()->model()->index(1, 0));
    test::saveShots(s.view.get(), QStringLiteral("focus-blocks-list"));

    s.view->presentBlockForm();
    FocusBlockFormView* form = s.openForm();
    ASSERT_NE(form, nullptr);
    form->titleField()->setText(QStringLiteral("Deep work"));
    form->adjustSize();
    drainEvents();
    test::saveShots(form, QStringLiteral("focus-blocks-form"));
}

} // namespace
