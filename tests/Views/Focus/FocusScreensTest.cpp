#include "Views/Focus/FocusBlockFormView.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Focus/FocusBlockListView.h"
#include "Views/Focus/FocusBlockRowDelegate.h"
#include "Views/Focus/FocusTimerController.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
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
    EXPECT_EQ(entries, (QStringList{"Pause", "Edit…", "Delete"}));
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
    EXPECT_TRUE(list->isVisible());
}

TEST(FocusBlockListView, ABlockWithoutAGoalIsMarkedInTheSecondaryColourAtAQuarter) {
    QStandardItemModel rows;
    rows.appendRow(new QStandardItem(QStringLiteral("Inbox zero"))); // no colour tag
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 400, 60);
    option.palette.setColor(QPalette::PlaceholderText, Qt::black);
    option.fontMetrics = QFontMetrics(option.font);
    QImage row(option.rect.size(), QImage::Format_RGB32);
    row.fill(Qt::white);
    QPainter painter(&row);
    FocusBlockRowDelegate().paint(&painter, option, rows.index(0, 0));
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
    auto goal = [&](const char* title, const char* tag, qint64 order) {
        return ctx.create<Goal>(QString::fromUtf8(title), std::nullopt, std::nullopt,
                                GoalStatus::active, QString::fromUtf8(tag), order);
    };
    auto block = [&](const char* title, std::vector<qint64> days, qint64 hour, qint64 minute,
                     qint64 minutes, bool active, Goal* goal) {
        ctx.create<FocusBlockTemplate>(QString::fromUtf8(title), days, hour, minute, minutes,
                                       active)
            ->setGoal(goal);
    };
    block("Write two pages", {2, 3, 4, 5, 6}, 9, 0, 50, true, goal("Finish the thesis", "blue", 0));
    block("Plan the training week", {1}, 18, 30, 25, false, goal("Run a marathon", "orange", 1));
    block("Inbox zero", {2, 4, 6}, 7, 45, 15, true, nullptr);
    block("A block with a rather long title that has to give way somewhere", {3, 9}, 13, 0, 120,
          false, nullptr);
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

// The timer window in each state. With ORVANA_SHOTS_DIR set (see
// scripts/screenshots) every state is also saved as a PNG.
class FocusTimerWindow : public ::testing::Test {
protected:
    void open() {
        view.reset();
        auto* controller = new FocusTimerController(t.context, t.preferences, t.notifications, task,
                                                    nullptr, [this] { return t.now; });
        view = std::make_unique<FocusTimerView>(controller, t.preferences);
        view->show();
        drainEvents();
    }

    FocusTimerController& c() { return view->controller(); }

    // The visible push buttons' texts, the one Return would press first.
    QStringList buttons() {
        QStringList out;
        for (auto* b : view->findChildren<QPushButton*>()) {
            if (b->isVisibleTo(view.get()))
                b->isDefault() ? out.prepend(QLatin1Char('*') + b->text()) : out.append(b->text());
        }
        return out;
    }

    bool showsText(const QString& text) {
        for (auto* l : view->findChildren<QLabel*>()) {
            if (l->isVisibleTo(view.get()) && l->text() == text)
                return true;
        }
        return false;
    }

    void shot(const char* name) {
        const QString dir = qEnvironmentVariable("ORVANA_SHOTS_DIR");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        drainEvents(); // pending layout requests
        view->adjustSize();
        drainEvents();
        view->grab().save(QDir(dir).filePath(QStringLiteral("focus-timer-%1.png").arg(name)));
    }

    test::TestEnvironment t;
    DayTask* task = t.context.create<DayTask>(QStringLiteral("Write the report"), t.now);
    std::unique_ptr<FocusTimerView> view;
};

// Return starts, and the keyboard goes on at each state's controls; the
// countdown tells screen readers the time left in words. Offscreen, Qt drops
// accessibility events (no bridge is active), so this reads what the bridge
// would read; when it is told is the controller's rule.
TEST_F(FocusTimerWindow, ReturnStartsAndEachStateShowsItsControls) {
    open();
    EXPECT_TRUE(showsText(QStringLiteral("Write the report")));
    EXPECT_EQ(buttons(), QStringList{QStringLiteral("*Start Focus Session")});
    EXPECT_EQ(view->findChild<QSpinBox*>()->text(), QStringLiteral("Duration: 25 min"));
    shot("idle-plain");
    QLabel* countdown = nullptr;
    for (auto* l : view->findChildren<QLabel*>())
        if (l->accessibleName() == QStringLiteral("Time remaining"))
            countdown = l;
    ASSERT_NE(countdown, nullptr);
    auto told = [countdown] {
        return QAccessible::queryAccessibleInterface(countdown)->text(QAccessible::Description);
    };

    QTest::keyClick(view.get(), Qt::Key_Return);
    drainEvents();
    ASSERT_TRUE(c().session());
    EXPECT_TRUE(c().session()->isRunning());
    EXPECT_TRUE(view->isVisible()) << "Return starts; it does not close the window";
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->property("text").toString(), QStringLiteral("Pause"))
        << "the keyboard goes on at the running session's controls";
    EXPECT_EQ(told(), QStringLiteral("25 minutes remaining"));
    for (int second = 0; second < 25; ++second) {
        t.now += 1;
        c().tick();
    }
    EXPECT_EQ(countdown->text(), QStringLiteral("24:35")) << "the digits follow every second";
    EXPECT_EQ(told(), QStringLiteral("24 minutes 40 seconds remaining")) << "told every ten";
    t.now += 65;
    c().tick();
    EXPECT_EQ(buttons(), (QStringList{"Pause", "Stop"}));
    shot("running");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    drainEvents();
    EXPECT_EQ(buttons(), (QStringList{"Resume", "Stop"}));
    EXPECT_EQ(told(), QStringLiteral("Paused, 23 minutes 30 seconds remaining"));
    shot("paused");

    c().stop();
    EXPECT_TRUE(showsText(QStringLiteral("Stopped early")));
    EXPECT_EQ(told(), QStringLiteral("Stopped early"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(countdown)->text(QAccessible::Name),
              QStringLiteral("Time remaining"));
    EXPECT_EQ(buttons(), QStringList{QStringLiteral("*Close")});
    shot("stopped-early");
    view->close();
    EXPECT_FALSE(view->isVisible());

    // A Pomodoro starts from the switch and offers the next segment.
    open();
    view->findChild<QCheckBox*>()->click();
    EXPECT_EQ(buttons(), QStringList{QStringLiteral("*Start Pomodoro")});
    EXPECT_TRUE(showsText(c().pomodoroDescription()));
    shot("idle-pomodoro");
    QTest::keyClick(view.get(), Qt::Key_Return);
    drainEvents();
    t.now += 25 * 60;
    c().tick();
    EXPECT_TRUE(showsText(QStringLiteral("Work — Pomodoro 1 of 4")));
    EXPECT_TRUE(showsText(QStringLiteral("Work session complete.")));
    EXPECT_EQ(buttons(), (QStringList{"*Start Break", "Close"}));
    shot("pomodoro-transition");
    QTest::keyClick(view.get(), Qt::Key_Return);
    drainEvents();
    EXPECT_EQ(c().session()->kind(), FocusSessionKind::shortBreak);
    EXPECT_TRUE(showsText(QStringLiteral("Short Break — Pomodoro 1 of 4")));
}

} // namespace
