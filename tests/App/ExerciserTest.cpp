// The exerciser: a seeded random walk through the real main window, wired as
// the app wires it on a sample store file, driven through the accessibility
// tree the way assistive technology drives it. Each step acts on the window
// a person would act on (a popup, else a modal dialog, else the active
// window): a button, check box, menu item or tab; a row of a list with its
// context menu or a row key; a text field; a value; a shortcut; or another
// window. The hosted reviewer is a stand-in on 127.0.0.1 that answers 200,
// 401, 429 and 500 in turn. Afterwards the window still answers, the store
// passes SQLite's integrity check and an export re-imports unchanged.
//
// ORVANA_EXERCISE_STEPS (default 200 per secret backend) and
// ORVANA_EXERCISE_SEED (default 1) choose the walk; ORVANA_EXERCISE_LOG=1
// prints every step as it is taken. A failure prints the whole walk, a
// sanitizer report its last steps.
#include "App/PersistenceController.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Platform/SecretBackends.h"
#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Store/ModelContext.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/QuickAdd/QuickAddPanel.h"
#include "Views/Tray/TrayIcon.h"
#include "review-proxy/HttpServer.h"
#include "support/AppProcess.h"
#include "support/Sample.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDBusConnection>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <set>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

using namespace orvana;

// The hosted reviewer: registration always succeeds; reviews answer 200, 401,
// 429 and 500 in turn. The provider's endpoint (a key saved in Settings)
// gets the same answers in its own envelope.
struct StandInReviewer {
    proxy::HttpServer server{[this](proxy::Request request) -> QCoro::Task<proxy::Response> {
        co_return answer(request);
    }};

    proxy::Response answer(const proxy::Request& request) {
        if (request.path == "/v1/register")
            return {200, R"({"deviceID":"walk-device","token":"walk-token"})", {}};
        static constexpr int statuses[] = {200, 401, 429, 500};
        if (const int status = statuses[reviews_++ % 4]; status != 200)
            return proxy::HttpServer::error(status, QStringLiteral("stand-in"));
        const QByteArray review = R"({"isVague":true,"isMeasurable":false,)"
                                  R"("isOvercommitted":false,"suggestions":["Add a number."]})";
        if (request.path == "/v1/review")
            return {200, review, {}};
        const QJsonObject message{{QStringLiteral("content"), QString::fromUtf8(review)}};
        const QJsonArray choices{QJsonObject{{QStringLiteral("message"), message}}};
        return {200, QJsonDocument(QJsonObject{{QStringLiteral("choices"), choices}}).toJson(), {}};
    }

private:
    int reviews_ = 0;
};

// The app's performer with every request turned to the stand-in: whatever
// address the walk types into Settings, nothing leaves the machine.
class ToTheStandIn final : public URLRequestPerforming {
public:
    explicit ToTheStandIn(quint16 port) : port_(port) {}
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        request.url.setScheme(QStringLiteral("http"));
        request.url.setHost(QStringLiteral("127.0.0.1"));
        request.url.setPort(port_);
        co_return co_await real_.perform(std::move(request));
    }

private:
    NetworkRequestPerformer real_;
    quint16 port_;
};

// The records' bytes, or a failure, for the round trip.
QByteArray exported(const ModelContext& context, Timestamp at) {
    auto json = DataExportService::exportJSON(context, at);
    EXPECT_TRUE(json.ok()) << json.error().message.toStdString();
    return json.ok() ? json.value() : QByteArray();
}

// The first line of SQLite's verdict: "ok" for a sound file.
QString integrityCheck(const QString& path) {
    sqlite3* db = nullptr;
    QString answer = QStringLiteral("cannot open");
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK)
        sqlite3_exec(
            db, "PRAGMA integrity_check",
            [](void* to, int, char** values, char**) {
                *static_cast<QString*>(to) = QString::fromUtf8(values[0]);
                return 1;
            },
            &answer, nullptr);
    sqlite3_close(db);
    return answer;
}

QStringList* deathLog = nullptr; // the walk's steps, for a sanitizer's report

QString describe(const QWidget* window) {
    return QStringLiteral("%1 \"%2\"")
        .arg(QLatin1String(window->metaObject()->className()), window->windowTitle());
}

class Walk : public QObject {
public:
    struct App {
        MainWindow& window;
        TrayIcon& tray;
        QuickAddPanel& quickAdd;
    };
    Walk(App app, QString folder, quint64 seed, int steps)
        : app_(app), folder_(std::move(folder)), rng_(seed), steps_(steps) {}

    void run() {
        QTimer::singleShot(0, this, &Walk::step);
        loop_.exec();
    }

    QStringList log;
    std::set<QString> windows;

private:
    enum Kind { action, row, text, value, key, window, file, kindCount };
    // How often a kind is chosen, when the window offers it.
    static constexpr int weights[kindCount] = {40, 20, 12, 4, 15, 4, 5};
    static constexpr const char* kindNames[kindCount] = {"action", "row",    "text", "value",
                                                         "key",    "window", "file"};
    struct Move {
        Kind kind;
        QString name;
        std::function<void()> perform;
    };

    std::size_t below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    // What a person acts on: an open popup, else a modal dialog, else the
    // active window.
    QWidget* target() const {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        QWidget* active = QApplication::activeWindow();
        return active && active->isVisible() ? active : &app_.window;
    }

    void step() {
        if (int(log.size()) >= steps_)
            return windDown();
        QWidget* top = target();
        std::vector<Move> moves;
        if (auto* files = qobject_cast<QFileDialog*>(top)) {
            addFileMoves(files, moves);
        } else {
            collect(QAccessible::queryAccessibleInterface(top), moves, 0);
            addKeyMoves(top, moves);
            if (top->windowType() == Qt::Popup)
                moves.push_back({window, QStringLiteral("dismiss"), [] { closePopups(); }});
            else if (!top->isModal())
                addWindowMoves(top, moves);
        }
        const Move& move = pick(top, moves);
        windows.insert(where(top));
        log << QStringLiteral("#%1 %2: %3 %4")
                   .arg(log.size() + 1)
                   .arg(where(top), QLatin1String(kindNames[move.kind]), move.name);
        if (qEnvironmentVariable("ORVANA_EXERCISE_LOG") == QLatin1String("1"))
            std::fprintf(stderr, "%s\n", qPrintable(log.back()));
        // Armed before the move, so the walk goes on inside a dialog's or
        // menu's exec(). At a quick person's pace, which lets a pressed
        // button's click land (100 ms after the press); now and then, after
        // anything but a press, at once.
        const bool hurry = move.kind != action && chance(0.2);
        QTimer::singleShot(hurry ? 0 : 150, this, &Walk::step);
        ++depth_;
        move.perform();
        --depth_;
    }

    // The window, and for the main window the page it shows.
    QString where(QWidget* top) const {
        QString text = describe(top);
        if (top != &app_.window)
            return text;
        if (app_.window.onboarding()->isVisible())
            return text + QStringLiteral(" intro");
        if (NavigationStack* section = app_.window.currentSection())
            text += u' ' + QLatin1String(section->currentPage()->metaObject()->className());
        return text;
    }

    // A kind by its weight among those on offer, then one move of it,
    // favouring moves taken less often so far in that kind of window: the
    // walk reaches rare buttons rather than pressing the common ones again.
    const Move& pick(const QWidget* top, const std::vector<Move>& moves) {
        std::vector<const Move*> byKind[kindCount];
        int total = 0;
        for (const Move& m : moves) {
            if (byKind[m.kind].empty())
                total += weights[m.kind];
            byKind[m.kind].push_back(&m);
        }
        int roll = int(below(std::size_t(total)));
        int k = 0;
        while (byKind[k].empty() || (roll -= weights[k]) >= 0)
            ++k;
        const QString window = QLatin1String(top->metaObject()->className());
        std::vector<double> odds;
        for (const Move* m : byKind[k])
            odds.push_back(1.0 / (1 + taken_[window + m->name]));
        const Move* chosen =
            byKind[k][std::discrete_distribution<std::size_t>(odds.begin(), odds.end())(rng_)];
        ++taken_[window + chosen->name];
        return *chosen;
    }

    void collect(QAccessibleInterface* iface, std::vector<Move>& moves, int depth) {
        if (!iface || depth > 64 || iface->state().invisible || iface->state().disabled)
            return;
        QObject* object = iface->object();
        const QString name = iface->text(QAccessible::Name);
        // The reviewer's address is left alone (its text and its clear
        // button): any other would keep every later review from the stand-in.
        if (name == QLatin1String("Proxy URL"))
            return;
        if (auto* view = qobject_cast<QAbstractItemView*>(object))
            return addRowMove(view, name, moves);
        auto* widget = qobject_cast<QWidget*>(object);
        if (iface->editableTextInterface() && !iface->state().readOnly && widget)
            addTextMove(widget, name, moves);
        // Spin boxes and sliders; scroll bars and progress bars are not set by hand.
        if (QAccessibleValueInterface* v = iface->valueInterface();
            v && widget && iface->role() != QAccessible::ScrollBar &&
            iface->role() != QAccessible::ProgressBar) {
            moves.push_back({value, name, [this, v] {
                                 const double lo = v->minimumValue().toDouble();
                                 const double hi = v->maximumValue().toDouble();
                                 v->setCurrentValue(lo + double(below(101)) * (hi - lo) / 100);
                             }});
        }
        if (QAccessibleActionInterface* actions = iface->actionInterface()) {
            for (const QString& a : actions->actionNames()) {
                // Quitting would end the walk (the File menu's and the tray's).
                if (a == QAccessibleActionInterface::setFocusAction() ||
                    name.startsWith(QLatin1String("Quit")))
                    continue;
                moves.push_back({action, a + u' ' + name, [this, iface, a] { act(iface, a); }});
            }
        }
        for (int i = 0; i < iface->childCount(); ++i)
            collect(iface->child(i), moves, depth + 1);
    }

    void act(QAccessibleInterface* iface, const QString& name) {
        auto* item = qobject_cast<QAction*>(iface->object());
        if (item && !item->menu() && name == QAccessibleActionInterface::pressAction()) {
            // A click on a menu item closes the menus before the item acts.
            const QPointer<QAction> guard(item);
            closePopups();
            if (guard && guard->isEnabled())
                guard->trigger();
            return;
        }
        iface->actionInterface()->doAction(name);
    }

    static void closePopups() {
        for (int i = 0; i < 10 && QApplication::activePopupWidget(); ++i)
            QApplication::activePopupWidget()->close();
    }

    // A row made current, then its context menu (as the Menu key or a right
    // click opens it), Return or one of the other row keys.
    void addRowMove(QAbstractItemView* view, const QString& name, std::vector<Move>& moves) {
        if (!view->model() || view->model()->rowCount(view->rootIndex()) == 0)
            return;
        moves.push_back(
            {row, name, [this, v = QPointer<QAbstractItemView>(view)] {
                 const int rows = v->model()->rowCount(v->rootIndex());
                 const QModelIndex index =
                     v->model()->index(int(below(std::size_t(rows))), 0, v->rootIndex());
                 v->setFocus(Qt::OtherFocusReason);
                 v->setCurrentIndex(index);
                 if (chance(0.4)) {
                     const QPoint at = v->visualRect(index).center();
                     QContextMenuEvent event(chance(0.5) ? QContextMenuEvent::Mouse
                                                         : QContextMenuEvent::Keyboard,
                                             at, v->viewport()->mapToGlobal(at));
                     return void(QCoreApplication::sendEvent(v->viewport(), &event));
                 }
                 // Return opens or edits the row.
                 static const QStringList keys = QStringLiteral("Space Delete Ctrl+T Ctrl+Return "
                                                                "Ctrl+Shift+Return Alt+Up Alt+Down")
                                                     .split(u' ');
                 press(v, chance(0.5) ? QStringLiteral("Return")
                                      : keys[qsizetype(below(std::size_t(keys.size())))]);
             }});
    }

    void addTextMove(QWidget* widget, const QString& name, std::vector<Move>& moves) {
        static const QStringList texts =
            QStringLiteral("Run 5 km by Friday|<b>x</b> & <i>y|Lernen 🏃 ünïcödé|"
                           "maybe try to improve some stuff|0|-1|99999|12:30|"
                           "http://example.invalid/x|   ")
                .split(u'|')
            << QStringLiteral("Every day: read, write, run, swim, cook, call, plan. ").repeated(60);
        moves.push_back(
            {text, name, [this, w = QPointer<QWidget>(widget)] {
                 w->setFocus(Qt::OtherFocusReason);
                 if (chance(0.5))
                     QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier); // replace, not add
                 // One key event carries the whole text, as an input method sends it.
                 if (w)
                     QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown,
                                         texts[qsizetype(below(std::size_t(texts.size())))],
                                         Qt::NoModifier);
                 if (w && chance(0.3))
                     QTest::keyClick(w, Qt::Key_Return);
             }});
    }

    // The shortcuts the README lists, and a few keys that move about.
    void addKeyMoves(QWidget* top, std::vector<Move>& moves) {
        static const QStringList keys =
            QStringLiteral("Ctrl+1 Ctrl+2 Ctrl+3 Ctrl+4 Ctrl+5 Ctrl+N Ctrl+F Escape Return "
                           "Ctrl+Return Alt+Left Ctrl+Z Ctrl+Shift+Z Delete Space Tab Down "
                           "Ctrl+Shift+F Ctrl+Shift+R Ctrl+,")
                .split(u' ');
        for (const QString& shortcut : keys) {
            moves.push_back({key, shortcut, [top = QPointer<QWidget>(top), shortcut] {
                                 QWidget* to = QApplication::focusWidget();
                                 if (!to || !top || to->window() != top->window())
                                     to = top;
                                 if (to)
                                     press(to, shortcut);
                             }});
        }
    }

    // Calls `member` on `widget` unless it has gone meanwhile.
    template <class Member>
    static std::function<void()> whileAlive(QWidget* widget, Member member) {
        return [w = QPointer<QWidget>(widget), member] {
            if (w)
                (w->*member)();
        };
    }

    // Types one key combination ("Ctrl+Shift+Z") into `to`.
    static void press(QWidget* to, const QString& keys) {
        const QKeyCombination combination = QKeySequence::fromString(keys)[0];
        QTest::keyClick(to, combination.key(), combination.keyboardModifiers());
    }

    // What the desktop offers beside the window: the other windows, its
    // close button, the tray's popup and menu, the quick-add hot key.
    void addWindowMoves(QWidget* current, std::vector<Move>& moves) {
        for (QWidget* other : QApplication::topLevelWidgets()) {
            if (other != current && other->isVisible() && other->windowType() != Qt::Popup &&
                other->windowType() != Qt::ToolTip)
                moves.push_back({window, QStringLiteral("activate ") + describe(other),
                                 whileAlive(other, &QWidget::activateWindow)});
        }
        if (current != &app_.window)
            moves.push_back(
                {window, QStringLiteral("close"), whileAlive(current, &QWidget::close)});
        moves.push_back(
            {window, QStringLiteral("tray popup"), [this] { app_.tray.togglePopup(); }});
        moves.push_back({window, QStringLiteral("tray menu"),
                         [this] { app_.tray.contextMenu()->popup(QPoint(200, 200)); }});
        moves.push_back(
            {window, QStringLiteral("quick-add key"), [this] { app_.quickAdd.toggle(); }});
    }

    // A file dialog is never browsed: cancelled, or given a file in the
    // test's folder (a new name to export to, or an export to import).
    void addFileMoves(QFileDialog* dialog, std::vector<Move>& moves) {
        QPointer<QFileDialog> d(dialog);
        moves.push_back({file, QStringLiteral("cancel"), [d] { d->reject(); }});
        QStringList paths;
        if (dialog->acceptMode() == QFileDialog::AcceptSave)
            paths << QDir(folder_).filePath(QStringLiteral("walk-%1.json").arg(log.size() + 1));
        else
            for (const QString& name : QDir(folder_).entryList({QStringLiteral("*.json")}))
                paths << QDir(folder_).filePath(name);
        for (const QString& path : paths)
            moves.push_back(
                {file, path.section(u'/', -1), [d, path] {
                     d->selectFile(path);
                     static_cast<QDialog*>(d.data())->accept(); // the dialog's Save/Open
                 }});
    }

    // Closes what is left open until every nested loop has returned.
    void windDown() {
        if (++windDowns_ > 500) {
            ADD_FAILURE() << "the walk's dialogs and menus did not close";
            return loop_.quit();
        }
        if (QApplication::activePopupWidget())
            closePopups();
        else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
        else if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        else if (depth_ == 0)
            return loop_.quit();
        QTimer::singleShot(10, this, &Walk::windDown);
    }

    App app_;
    QString folder_;
    std::mt19937_64 rng_;
    int steps_;
    int depth_ = 0;
    int windDowns_ = 0;
    std::map<QString, int> taken_; // by window class and move
    QEventLoop loop_;
};

int envInt(const char* name, int fallback) {
    bool ok = false;
    const int n = qEnvironmentVariable(name).toInt(&ok);
    return ok ? n : fallback;
}

// The app as OrvanaApp wires it, every file in a temporary folder: the real
// store, preferences, secrets and HTTP; the notification centre and the
// launcher badge are fakes, and the tray icon and hot key are not shown or
// grabbed (the walk opens the tray's popup and menu and toggles quick add
// itself), so nothing reaches the desktop.
void exercise(const std::function<std::unique_ptr<SecretBackend>(const AppPaths&)>& makeSecrets) {
    const quint64 seed = quint64(envInt("ORVANA_EXERCISE_SEED", 1));
    const int steps = envInt("ORVANA_EXERCISE_STEPS", 200);
    std::printf("exerciser: seed %llu, %d steps\n", static_cast<unsigned long long>(seed), steps);
    std::fflush(stdout);

    StandInReviewer reviewer;
    ASSERT_TRUE(reviewer.server.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    const AppPaths paths = AppPaths::under(dir.path());
    const Calendar calendar = Calendar::current();
    {
        PersistenceController sample;
        ASSERT_TRUE(sample.open(paths.storeFile).ok());
        test::fillSample(*sample.context(), calendar, sample.context()->clockFunction()());
        ASSERT_TRUE(sample.saveNow().ok());
    }
    PersistenceController persistence;
    ASSERT_TRUE(persistence.open(paths.storeFile).ok());
    ModelContext& context = *persistence.context();
    test::writeFile(dir.filePath(QStringLiteral("sample.json")), exported(context, 1.7e9));

    Preferences preferences(paths.preferencesFile);
    preferences.setValue(PreferenceKeys::hostedProxyBaseURL,
                         QStringLiteral("http://127.0.0.1:%1").arg(reviewer.server.serverPort()));
    test::FakeNotificationCenter center;
    NotificationService notifications(center, context.clockFunction(), calendar);
    ToTheStandIn network(reviewer.server.serverPort());
    const std::unique_ptr<SecretBackend> secrets = makeSecrets(paths);
    test::FakeLauncherBadge badge;
    AppEnvironment environment(
        {context, preferences, notifications, calendar, paths, &network, secrets.get(), &badge});

    MainWindow window(environment);
    QuickAddPanel quickAdd(environment);
    TrayIcon tray(environment);
    tray.setOverdueCount(window.model()->overdueCount());
    QObject::connect(window.model(), &MainWindowModel::overdueCountChanged, &tray,
                     &TrayIcon::setOverdueCount);
    QObject::connect(&tray, &TrayIcon::openRequested, &window, &MainWindow::comeForward);
    QObject::connect(&tray, &TrayIcon::focusRequested, &environment,
                     [&environment] { environment.requestFocusSession(); });
    QObject::connect(&tray, &TrayIcon::quickAddRequested, &quickAdd, &QuickAddPanel::show);
    qApp->setQuitOnLastWindowClosed(false);
    const auto restore = qScopeGuard([] { qApp->setQuitOnLastWindowClosed(true); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    Walk walk({window, tray, quickAdd}, dir.path(), seed, steps);
    deathLog = &walk.log;
    const auto forget = qScopeGuard([] { deathLog = nullptr; });
    walk.run();
    const auto printWalk = qScopeGuard([&] {
        if (::testing::Test::HasFailure())
            std::printf("The walk (seed %llu):\n%s\n", static_cast<unsigned long long>(seed),
                        qPrintable(walk.log.join(u'\n')));
    });
    QTest::qWait(300); // replies and backups under way settle

    // Still alive and answering: past the intro, Ctrl+1 shows Today.
    window.comeForward();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    if (window.onboarding()->isVisible())
        QTest::keyClick(window.onboarding()->firstButton(), Qt::Key_Space);
    test::drainEvents();
    QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier);
    test::drainEvents();
    ASSERT_NE(window.currentSection(), nullptr);
    EXPECT_EQ(window.currentSection()->root()->objectName(), QStringLiteral("today"));

    // Saved, sound, and an export comes back from an import unchanged.
    const auto saved = persistence.saveNow();
    ASSERT_TRUE(saved.ok()) << saved.error().message.toStdString();
    EXPECT_EQ(integrityCheck(paths.storeFile), QStringLiteral("ok"));
    const Timestamp at = environment.now();
    const QByteArray first = exported(context, at);
    ModelContext fresh;
    const auto imported = DataImport::importJSON(first, fresh);
    ASSERT_TRUE(imported.ok()) << imported.error().message.toStdString();
    EXPECT_TRUE(exported(fresh, at) == first) << "the export changed on its way through an import";

    std::printf("exerciser: %lld steps, windows reached: %s\n",
                static_cast<long long>(walk.log.size()),
                qPrintable(QStringList(walk.windows.begin(), walk.windows.end()).join(u';')));
}

TEST(Exerciser, WalksTheAppWithSecretsInTheFile) {
    exercise([](const AppPaths& paths) {
        return std::make_unique<SystemSecretBackend>(
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                          QStringLiteral("orvana-exerciser-no-bus")),
            paths.secretsFile);
    });
}

// Only against the private keyring that scripts/test unlocks on its own
// session bus, never a developer's real one.
TEST(Exerciser, WalksTheAppWithSecretsInTheKeyring) {
    if (qEnvironmentVariable("ORVANA_TEST_KEYRING") != QLatin1String("1"))
        GTEST_SKIP() << "needs the private keyring of scripts/test";
    exercise([](const AppPaths& paths) {
        return std::make_unique<SystemSecretBackend>(QDBusConnection::sessionBus(),
                                                     paths.secretsFile);
    });
}

#if defined(__SANITIZE_ADDRESS__)
// A sanitizer's report ends the process: the last steps go with it.
[[maybe_unused]] const bool deathCallback = [] {
    __sanitizer_set_death_callback([] {
        if (!deathLog)
            return;
        std::fprintf(stderr, "The walk's last steps:\n");
        for (qsizetype i = std::max<qsizetype>(0, deathLog->size() - 40); i < deathLog->size(); ++i)
            std::fprintf(stderr, "%s\n", qPrintable(deathLog->at(i)));
    });
    return true;
}();
#endif

} // namespace
