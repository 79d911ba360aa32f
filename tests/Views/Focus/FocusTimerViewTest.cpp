#include "Views/Focus/FocusTimerView.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Views/Focus/FocusTimerController.h"
#include "support/FakeNotificationCenter.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// Renders the timer window in each state. With ORVANA_SHOTS_DIR set (see
// scripts/screenshots) every state is also saved as a PNG.
class FocusTimerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        task = ctx.create<DayTask>(QStringLiteral("Write the report"), now);
        auto* controller = new FocusTimerController(ctx, prefs, notifications, task, nullptr,
                                                    [this] { return now; });
        view = std::make_unique<FocusTimerView>(controller, prefs);
        view->show();
        test::drainEvents();
    }

    FocusTimerController& c() { return view->controller(); }

    // The visible push buttons' texts, and which one Return would press.
    QStringList buttons(QString* defaultButton = nullptr) {
        QStringList out;
        for (auto* b : view->findChildren<QPushButton*>()) {
            if (!b->isVisibleTo(view.get()))
                continue;
            out << b->text();
            if (b->isDefault() && defaultButton)
                *defaultButton = b->text();
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
        test::drainEvents(); // pending layout requests
        view->adjustSize();
        test::drainEvents();
        view->grab().save(QDir(dir).filePath(QStringLiteral("focus-timer-%1.png").arg(name)));
    }

    Timestamp now = 1'800'000'000;
    QTemporaryDir dir;
    Preferences prefs{dir.filePath(QStringLiteral("preferences.json"))};
    ModelContext ctx;
    test::FakeNotificationCenter center;
    NotificationService notifications{center, [this] { return now; }};
    DayTask* task = nullptr;
    std::unique_ptr<FocusTimerView> view;
};

// Return starts, and the keyboard goes on at each state's controls.
TEST_F(FocusTimerWindow, ReturnStartsAndEachStateShowsItsControls) {
    QString def;
    EXPECT_TRUE(showsText(QStringLiteral("Write the report")));
    EXPECT_EQ(buttons(&def), QStringList{QStringLiteral("Start Focus Session")});
    EXPECT_EQ(def, QStringLiteral("Start Focus Session"));
    EXPECT_EQ(view->findChild<QSpinBox*>()->text(), QStringLiteral("Duration: 25 min"));
    shot("idle-plain");

    QTest::keyClick(view.get(), Qt::Key_Return);
    test::drainEvents();
    ASSERT_TRUE(c().session());
    EXPECT_TRUE(c().session()->isRunning());
    EXPECT_TRUE(view->isVisible()) << "Return starts; it does not close the window";
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->property("text").toString(), QStringLiteral("Pause"))
        << "the keyboard goes on at the running session's controls";
    now += 90;
    c().tick();
    EXPECT_TRUE(showsText(QStringLiteral("23:30")));
    EXPECT_EQ(buttons(), (QStringList{QStringLiteral("Pause"), QStringLiteral("Stop")}));
    shot("running");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    test::drainEvents();
    EXPECT_EQ(buttons(), (QStringList{QStringLiteral("Resume"), QStringLiteral("Stop")}));
    shot("paused");

    c().stop();
    EXPECT_TRUE(showsText(QStringLiteral("Stopped early")));
    EXPECT_EQ(buttons(&def), QStringList{QStringLiteral("Close")});
    shot("stopped-early");
    view->close();
    EXPECT_FALSE(view->isVisible());
}

TEST_F(FocusTimerWindow, APomodoroStartsFromTheSwitchAndOffersTheNextSegment) {
    QString def;
    view->findChild<QCheckBox*>()->click();
    EXPECT_EQ(buttons(&def), QStringList{QStringLiteral("Start Pomodoro")});
    EXPECT_EQ(def, QStringLiteral("Start Pomodoro"));
    EXPECT_TRUE(showsText(c().pomodoroDescription()));
    shot("idle-pomodoro");

    QTest::keyClick(view.get(), Qt::Key_Return);
    test::drainEvents();
    now += 25 * 60;
    c().tick();
    EXPECT_TRUE(showsText(QStringLiteral("Work — Pomodoro 1 of 4")));
    EXPECT_TRUE(showsText(QStringLiteral("Work session complete.")));
    EXPECT_EQ(buttons(&def), (QStringList{QStringLiteral("Start Break"), QStringLiteral("Close")}));
    EXPECT_EQ(def, QStringLiteral("Start Break"));
    shot("pomodoro-transition");
    QTest::keyClick(view.get(), Qt::Key_Return);
    test::drainEvents();
    EXPECT_EQ(c().session()->kind(), FocusSessionKind::shortBreak);
    EXPECT_TRUE(showsText(QStringLiteral("Short Break — Pomodoro 1 of 4")));
}

// Offscreen, Qt drops accessibility events (no bridge is active), so this
// reads what the bridge would read; when it is told is the controller's rule.
TEST_F(FocusTimerWindow, TheCountdownTellsScreenReadersTheTimeLeftInWords) {
    QLabel* countdown = nullptr;
    for (auto* l : view->findChildren<QLabel*>())
        if (l->accessibleName() == QStringLiteral("Time remaining"))
            countdown = l;
    ASSERT_NE(countdown, nullptr);
    auto told = [countdown] {
        return QAccessible::queryAccessibleInterface(countdown)->text(QAccessible::Description);
    };

    QCoro::waitFor(c().start());
    EXPECT_EQ(told(), QStringLiteral("25 minutes remaining"));
    for (int second = 0; second < 25; ++second) {
        now += 1;
        c().tick();
    }
    EXPECT_EQ(countdown->text(), QStringLiteral("24:35")) << "the digits follow every second";
    EXPECT_EQ(told(), QStringLiteral("24 minutes 40 seconds remaining")) << "told every ten";
    QCoro::waitFor(c().togglePause());
    EXPECT_EQ(told(), QStringLiteral("Paused, 24 minutes 35 seconds remaining"));
    c().stop();
    EXPECT_EQ(told(), QStringLiteral("Stopped early"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(countdown)->text(QAccessible::Name),
              QStringLiteral("Time remaining"));
}

} // namespace
