#include "Models/DayTask.h"
#include "Services/LaunchAtLogin.h"
#include "Views/Settings/SettingsModel.h"
#include "Views/Settings/SettingsView.h"
#include "support/Shots.h"
#include "support/SyncHome.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

void press(Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "nothing has the keyboard";
    QTest::keyClick(target, key);
    drainEvents();
}

void tabTo(QWidget* target) {
    for (int i = 0; i < 60 && QApplication::focusWidget() != target; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target) << "not reached by Tab";
}

void type(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// The question Sign Out asks, once it is up with the keyboard in it.
QMessageBox* signOutQuestion(SettingsView& view) {
    QMessageBox* box = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (box = view.findChild<QMessageBox*>()); }, 5000));
    if (box) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
    }
    return box;
}

void shoot(SettingsView& view, const char* name) {
    view.findChild<QScrollArea*>()->ensureWidgetVisible(view.syncSection());
    drainEvents();
    test::saveShots(view.syncSection(), QString::fromLatin1(name));
}

// The Sync section by keyboard against a real Radicale on loopback, with the
// app's own store and network: a wrong password is said in words with the
// form kept; the right one signs in and shows the calendars and the last
// sync; Sync Now; Sign Out asks first, Return keeps the account, and
// confirming signs out and keeps the records.
TEST(SettingsSyncWindow, SignInByKeyboardAWrongPasswordSyncNowAndSignOutAsksFirst) {
    test::CalDavServer server(test::CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    test::SyncHome home;
    home.ctx->create<DayTask>(QStringLiteral("Run"), home.calendar.startOfDay(systemNow()));

    SettingsView view(*home.env, LaunchAtLogin(home.dir.filePath(QStringLiteral("orvana.desktop")),
                                               QStringLiteral("/usr/bin/orvana")));
    view.resize(600, 720);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    for (auto [field, name] :
         {std::pair{view.serverField(), "Server Address"}, std::pair{view.userField(), "User Name"},
          std::pair{view.passwordField(), "Password"}})
        EXPECT_EQ(field->accessibleName(), QString::fromLatin1(name));
    EXPECT_EQ(view.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(view.syncNowButton()->isVisible());
    shoot(view, "settings-sync-signed-out");

    // Typed field by field; a loopback address needs no unencrypted tick.
    tabTo(view.serverField());
    type(server.url().toString());
    press(Qt::Key_Tab);
    EXPECT_FALSE(view.allowInsecureSwitch()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), view.userField());
    type(server.user);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), view.passwordField());
    type(QStringLiteral("wrong"));
    QTest::keyClick(view.passwordField(), Qt::Key_Return);
    EXPECT_TRUE(view.model()->isSigningIn());
    EXPECT_FALSE(view.signInButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.model()->isSigningIn(); }, 20'000));
    drainEvents();
    EXPECT_TRUE(view.signInButton()->isEnabled());
    EXPECT_TRUE(view.signInError()->isVisible());
    EXPECT_EQ(view.signInError()->text(),
              QStringLiteral("The server refused the user name or password."));
    EXPECT_EQ(view.serverField()->text(), server.url().toString());
    EXPECT_EQ(view.userField()->text(), server.user);
    EXPECT_EQ(view.passwordField()->text(), QStringLiteral("wrong"));
    EXPECT_FALSE(view.model()->syncSignedIn());
    shoot(view, "settings-sync-error");

    // The right password: signed in, the calendars, then the first sync.
    ASSERT_EQ(QApplication::focusWidget(), view.passwordField());
    view.passwordField()->selectAll();
    type(server.password);
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.model()->syncSignedIn(); }, 20'000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view.syncState()->text() == QStringLiteral("Last synced just now"); }, 30'000))
        << view.syncState()->text().toStdString();
    drainEvents();
    EXPECT_FALSE(view.serverField()->isVisible());
    EXPECT_TRUE(view.model()->passwordField().isEmpty()) << "kept only in the secret store";
    EXPECT_EQ(view.syncCalendars()->text(),
              QStringLiteral("Orvana Tasks\nOrvana Plan\n"
                             "Orvana Focus Blocks\nOrvana Focus Log"));
    EXPECT_EQ(QApplication::focusWidget(), view.syncNowButton()) << "the keyboard came along";
    shoot(view, "settings-sync-signed-in");

    // Sync Now: off while it runs, and the keyboard back on it after.
    QTest::keyClick(view.syncNowButton(), Qt::Key_Space);
    EXPECT_FALSE(view.syncNowButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.syncNowButton()->isEnabled(); }, 30'000));
    EXPECT_EQ(QApplication::focusWidget(), view.syncNowButton());
    EXPECT_EQ(view.syncState()->text(), QStringLiteral("Last synced just now"));

    // Sign Out asks; Return is the safe answer.
    tabTo(view.signOutButton());
    press(Qt::Key_Space);
    QMessageBox* box = signOutQuestion(view);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->informativeText().contains(QStringLiteral("this device stays here")));
    EXPECT_EQ(QApplication::focusWidget()->property("text").toString(), QStringLiteral("Cancel"));
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.findChild<QMessageBox*>(); }, 5000));
    EXPECT_TRUE(view.model()->syncSignedIn());
    EXPECT_FALSE(home.secrets.items.empty());

    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.signOutButton()->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Space);
    box = signOutQuestion(view);
    ASSERT_NE(box, nullptr);
    QPushButton* confirm = nullptr;
    for (auto* b : box->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("Sign Out"))
            confirm = b;
    tabTo(confirm);
    press(Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.model()->syncSignedIn(); }, 20'000));
    drainEvents();
    EXPECT_EQ(home.sync().phase(), SyncController::Phase::off);
    EXPECT_TRUE(home.secrets.items.empty());
    EXPECT_EQ(home.ctx->fetch<DayTask>().size(), 1u) << "the records stay";
    EXPECT_EQ(view.serverField()->text(), server.url().toString()) << "to sign in again";
    EXPECT_EQ(view.userField()->text(), server.user);
    EXPECT_EQ(view.focusWidget(), view.passwordField()) << "once the window is active again";
}

} // namespace
