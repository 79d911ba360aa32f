#include "Views/Settings/SettingsView.h"

#include "Models/Goal.h"
#include "Platform/SecretBackends.h"
#include "Services/KeychainService.h"
#include "Services/Preferences.h"
#include "Store/UndoManager.h"
#include "Views/Settings/DataTransferModel.h"
#include "Views/Settings/SettingsModel.h"
#include "support/FakeSecretBackend.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "nothing has the keyboard";
    QTest::keyClick(target, key, modifiers);
    drainEvents();
}

void tabTo(QWidget* target) {
    for (int i = 0; i < 60 && QApplication::focusWidget() != target; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target) << "not reached by Tab";
}

// The file dialog that opened over the window, answered by typing a path.
void answerFileDialog(SettingsView& view, const QString& path) {
    drainEvents();
    QPointer<QFileDialog> dialog = view.findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, path);
    QTest::keyClick(name, Qt::Key_Return);
    drainEvents();
    ASSERT_TRUE(dialog.isNull() || !dialog->isVisible()) << "the path was taken";
}

void waitForTransfer(SettingsView& view) {
    DataTransferModel* transfer = view.model()->transfer();
    if (transfer->isBusy()) {
        QSignalSpy done(transfer, &DataTransferModel::finished);
        ASSERT_TRUE(done.wait(20000));
    }
    drainEvents();
}

QPushButton* button(QWidget& root, const QString& text) {
    for (auto* b : root.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// One notch of the wheel down over the middle of `over`, delivered as the
// window system delivers it: to the window, which hands it to the widget
// under the pointer and on up to its parents.
void wheelDown(QWidget* over) {
    QWidget* window = over->window();
    const QPoint middle = over->rect().center();
    QWheelEvent event(over->mapTo(window, QPointF(middle)), over->mapToGlobal(QPointF(middle)),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(window->windowHandle(), &event);
    drainEvents();
}

// The whole window by keyboard, on the secret store the app really uses: the
// file, and (in scripts/test's private session) the keyring. The footer says
// where the key goes from the first paint; Save Key and Remove Key work
// (removing once crashed the optimised build); the wheel scrolls the page;
// an export, an import back with its confirmation and its undo; a nudge.
TEST(SettingsWindow, KeyWheelExportImportUndoAndANudgeByKeyboard) {
    std::vector<bool> keyrings{false};
    if (qEnvironmentVariable("ORVANA_TEST_KEYRING") == QLatin1String("1"))
        keyrings.push_back(true);
    for (const bool keyring : keyrings) {
        SCOPED_TRACE(keyring ? "keyring" : "file");
        test::TestEnvironment t;
        const QString file = t.dir.filePath(QStringLiteral("data/Orvana/secrets.json"));
        // Without a keyring: a session bus where none answers, so finding
        // that out takes a round trip, as on such a desktop.
        test::PrivateBus bus;
        if (!keyring && bus.address.isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
        SystemSecretBackend secrets(
            keyring ? QDBusConnection::sessionBus()
                    : QDBusConnection::connectToBus(bus.address,
                                                    QStringLiteral("orvana-settings-no-keyring")),
            file);
        AppEnvironment env{{t.context, t.preferences, t.notifications, t.calendar,
                            AppPaths::under(t.dir.path()), nullptr, &secrets, &t.badge}};
        t.context.ensureUndoManager();
        Goal* goal = t.context.create<Goal>(QStringLiteral("Run"));
        t.preferences.setValue(PreferenceKeys::weeklyRitualNudgeEnabled, true);
        SettingsView view(env);
        view.resize(600, 420);
        view.show();
        const QString wrong =
            keyring ? QStringLiteral("secrets.json") : QStringLiteral("your system keyring");
        const QString right =
            keyring ? QStringLiteral("your system keyring") : QStringLiteral("secrets.json");
        EXPECT_FALSE(view.model()->aiFooter().contains(wrong)) << "at the first paint";
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return view.model()->aiFooter().contains(right); }, 10000));

        auto* field = view.findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        ASSERT_EQ(field->accessibleName(), QStringLiteral("OpenRouter API Key"));
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("  sk-real  "));
        tabTo(button(view, QStringLiteral("Save Key")));
        press(Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.model()->hasStoredKey(); }, 10000));
        EXPECT_EQ(QCoro::waitFor(KeychainService::shared(secrets).read()),
                  QStringLiteral("sk-real"));
        QPushButton* remove = button(view, QStringLiteral("Remove Key"));
        ASSERT_TRUE(remove && remove->isVisible());
        remove->setFocus();
        press(Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view.model()->hasStoredKey(); }, 10000));
        EXPECT_EQ(QCoro::waitFor(KeychainService::shared(secrets).read()), std::nullopt);

        // The wheel scrolls the page and changes only the control being edited.
        auto* page = view.findChild<QScrollArea*>();
        QSpinBox* work = nullptr;
        for (auto* box : view.findChildren<QSpinBox*>())
            if (box->accessibleName() == QStringLiteral("Work"))
                work = box;
        auto* weekday = view.findChild<QComboBox*>();
        QTimeEdit* time = nullptr;
        for (auto* edit : view.findChildren<QTimeEdit*>())
            if (edit->accessibleDescription() == QStringLiteral("Weekly Ritual Nudge"))
                time = edit;
        ASSERT_TRUE(page && work && weekday && time);
        const QTime weeklyAt = time->time();
        const int weeklyOn = weekday->currentIndex();
        page->ensureWidgetVisible(work);
        drainEvents();
        const int top = page->verticalScrollBar()->value();
        for (int notch = 0; notch < 3; ++notch)
            wheelDown(work);
        EXPECT_EQ(work->value(), 25);
        EXPECT_FALSE(work->hasFocus()) << "the wheel hands it no keyboard focus";
        EXPECT_GT(page->verticalScrollBar()->value(), top) << "the page scrolls instead";
        for (QWidget* control : std::initializer_list<QWidget*>{weekday, time}) {
            page->ensureWidgetVisible(control);
            drainEvents();
            wheelDown(control);
            EXPECT_FALSE(control->hasFocus());
        }
        EXPECT_EQ(weekday->currentIndex(), weeklyOn);
        EXPECT_EQ(time->time(), weeklyAt);
        page->ensureWidgetVisible(work);
        work->setFocus();
        drainEvents();
        wheelDown(work);
        EXPECT_EQ(t.preferences.value(PreferenceKeys::pomodoroWorkMinutes), 20);

        // Export by keyboard, to a file typed into the dialog.
        const QString path = QDir(t.dir.path()).filePath(QStringLiteral("everything.json"));
        view.exportButton()->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        answerFileDialog(view, path);
        waitForTransfer(view);
        EXPECT_EQ(view.dataMessage()->text(), QStringLiteral("Exported to everything.json"));
        EXPECT_EQ(view.focusWidget(), view.exportButton()) << "the keyboard is back where it was";

        // Changed since; the import puts the goal back as it was and keeps
        // the new one, after a confirmation where Return overwrites nothing.
        t.context.undoManager()->removeAllActions();
        goal->setTitle(QStringLiteral("Walk"));
        Goal* added = t.context.create<Goal>(QStringLiteral("Swim"));
        drainEvents();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.importButton()->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        answerFileDialog(view, path);
        auto* confirm = view.findChild<QMessageBox*>();
        ASSERT_NE(confirm, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(confirm));
        EXPECT_EQ(confirm->text(), QStringLiteral("Import everything.json?"));
        EXPECT_EQ(QApplication::focusWidget()->property("text").toString(),
                  QStringLiteral("Cancel"));
        tabTo(button(*confirm, QStringLiteral("Import")));
        press(Qt::Key_Space);
        waitForTransfer(view);
        EXPECT_EQ(view.dataMessage()->text(), QStringLiteral("Imported from everything.json"));
        EXPECT_EQ(view.focusWidget(), view.importButton()) << "the keyboard is back where it was";
        EXPECT_EQ(goal->title(), QStringLiteral("Run"));
        EXPECT_FALSE(added->isDeleted());

        // Ctrl+Z right after, in the Settings window itself.
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.importButton()->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(goal->title(), QStringLiteral("Walk"));

        // A nudge by keyboard: its time shows when it is on, and it is planned.
        view.dailyNudgeSwitch()->setFocus(Qt::TabFocusReason);
        EXPECT_FALSE(view.dailyNudgeTime()->isVisible());
        press(Qt::Key_Space);
        EXPECT_TRUE(view.dailyNudgeTime()->isVisible());
        EXPECT_EQ(t.center.pending.count(QStringLiteral("daily-planning-nudge")), 1u);
    }
}

} // namespace
