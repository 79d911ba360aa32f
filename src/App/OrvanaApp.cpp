#include "App/OrvanaApp.h"

#include "App/CommandLine.h"
#include "App/CommandOutput.h"
#include "App/PersistenceController.h"
#include "App/StallProbe.h"
#include "App/Translations.h"
#include "AppIntents/StartFocusSessionIntent.h"
#include "Core/AppPaths.h"
#include "Core/PrivateFiles.h"
#include "Core/TerminationSignals.h"
#include "Platform/ApplicationBus.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Platform/PortalGlobalShortcuts.h"
#include "Platform/SecretBackends.h"
#include "Platform/SleepWatcher.h"
#include "Platform/SystemNotificationCenter.h"
#include "Platform/TimeZoneWatcher.h"
#include "Platform/UnityLauncherBadge.h"
#include "Platform/X11HotKey.h"
#include "Services/AppEnvironment.h"
#include "Services/EngagementNudgeService.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Sync/SyncController.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/QuickAdd/QuickAddPanel.h"
#include "Views/Settings/DataTransferModel.h"
#include "Views/Shared/WheelGuard.h"
#include "Views/Sync/SyncGuardDialog.h"
#include "Views/Tray/TrayIcon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace orvana {

namespace {

// Own help and version options: Qt's would need an application object, and
// whether one is needed is decided by this parser.
void configure(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QCoreApplication::translate("OrvanaApp", "Plan personal goals and do focused work."));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QCoreApplication::translate("OrvanaApp", "Show this help and exit.")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QCoreApplication::translate("OrvanaApp", "Show the version and exit.")});
}

// Qt's own GUI options (-platform xcb, -style fusion, ...) are for QApplication,
// which sees the untouched argv; they are taken out before our parser runs.
QStringList withoutQtOptions(const QStringList& arguments) {
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("title"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("icon"),
                                          QStringLiteral("session"),
                                          QStringLiteral("display"),
                                          QStringLiteral("name"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"),
                                      QStringLiteral("sync")};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString name = arg.startsWith(QLatin1String("--")) ? arg.mid(2)
                       : arg.startsWith(u'-')              ? arg.mid(1)
                                                           : QString();
        name = name.section(u'=', 0, 0);
        if (i > 0 && withValue.contains(name)) {
            if (!arg.contains(u'='))
                ++i; // and its value
            continue;
        }
        if (i > 0 && flags.contains(name))
            continue;
        kept << arg;
    }
    return kept;
}

bool hasDisplay(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        if (arg == QLatin1String("-platform") || arg.startsWith(QLatin1String("-platform=")))
            return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Whether the command line asks only for the window: no help, no version,
// no mistake, and a display to show it on. Read without an application
// object, so a plain start makes just the one it shows the window with.
bool startsWindow(const QStringList& arguments) {
    QCommandLineParser parser;
    configure(parser);
    return parser.parse(withoutQtOptions(arguments)) && !parser.isSet(QStringLiteral("help")) &&
           !parser.isSet(QStringLiteral("version")) && parser.positionalArguments().isEmpty() &&
           hasDisplay(arguments);
}

// The help, the version or what is wrong, on the terminal in the user's
// language: needs an application object with the translations installed.
int answerOnTerminal(const QStringList& arguments) {
    QCommandLineParser parser;
    configure(parser);
    if (!parser.parse(withoutQtOptions(arguments)))
        return cli::usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QString help = parser.helpText();
        // The usage line names the program as people type it, not its path.
        const QString program = QCoreApplication::arguments().value(0);
        const qsizetype at = help.indexOf(program);
        if (!program.isEmpty() && at >= 0 && at < help.indexOf(u'\n'))
            help.replace(at, program.size(), QStringLiteral("orvana"));
        help += u'\n' + CommandLine::verbsHelp();
        std::fputs(help.toUtf8().constData(), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("orvana %s\n", ORVANA_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return cli::usage(QCoreApplication::translate("OrvanaApp", "unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));
    cli::printLine(stderr, QCoreApplication::translate(
                               "OrvanaApp", "orvana: no display to show the window on (neither "
                                            "DISPLAY nor WAYLAND_DISPLAY is set). Start Orvana "
                                            "from a desktop session."));
    return 1;
}

// Fatal start-up problems go to standard error and, when a person can see a
// screen, to a dialog as well.
void reportFatal(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Orvana"), message);
}

// Closing the main window quits unless a tray keeps the app at hand.
class QuitWithoutTray : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && !TrayIcon::isSystemTrayAvailable())
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

// `orvana import FILE` while the app runs: merged here, as one undo step the
// window's Ctrl+Z reverts, and answered with the outcome once it is done.
void importHandedOver(AppEnvironment& environment, QDBusConnection bus, const QString& path,
                      const QDBusMessage& reply) {
    // Undoable even when it comes in before the window's sections did.
    environment.context().ensureUndoManager();
    auto* transfer = new DataTransferModel(environment, &environment);
    QObject::connect(transfer, &DataTransferModel::finished, transfer, [=] {
        const QString message = transfer->message().value_or(QString());
        const bool imported = transfer->succeeded();
        bus.send(imported ? reply.createReply(message)
                          : reply.createErrorReply(QStringLiteral("app.orvana.Orvana.Error.Import"),
                                                   message));
        transfer->deleteLater();
    });
    transfer->importFrom(path);
}

} // namespace

int OrvanaApp::run(int argc, char** argv) {
    keepNewFilesPrivate(); // before anything is written, by any command
    QCoreApplication::setApplicationName(QStringLiteral("Orvana"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.orvana.Orvana"));

    // The command line is read before any display is needed, so --help and
    // --version work on a machine without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.size() > 1 && CommandLine::isVerb(arguments[1])) {
        QCoreApplication app(argc, argv);
        installTranslations();
        return CommandLine::run(arguments);
    }
    if (!startsWindow(arguments)) {
        QCoreApplication app(argc, argv);
        installTranslations();
        return answerOnTerminal(arguments);
    }

    QApplication app(argc, argv);
    installTranslations();
    WheelGuard::install(app);
    quitOnTerminationSignals();
    // One instance per session: the name is claimed before the store is
    // opened, so of two starts at once only one goes on; the other brings
    // the first forward and leaves.
    QDBusConnection session = QDBusConnection::sessionBus();
    ApplicationBus::Claim claim = ApplicationBus::claimName(session);
    // The first may go away while it is asked (its store refused, say): then
    // this start takes its place.
    for (int attempt = 0; claim == ApplicationBus::Claim::taken; ++attempt) {
        const QDBusMessage reply = ApplicationBus::callRunning(
            session, QLatin1String(ApplicationBus::applicationInterface),
            QStringLiteral("Activate"), {ApplicationBus::platformData()});
        if (reply.type() != QDBusMessage::ErrorMessage)
            return 0;
        if (ApplicationBus::isRunning(session) || attempt >= 3) {
            reportFatal(QCoreApplication::translate("OrvanaApp",
                                                    "Orvana is already running but does not "
                                                    "answer: %1")
                            .arg(reply.errorMessage()));
            return 1;
        }
        claim = ApplicationBus::claimName(session);
    }
    // Let go of the name before a fatal report waits for its reader, so
    // another start is not left asking a process that cannot answer.
    auto releaseName = [&session, claim] {
        if (claim == ApplicationBus::Claim::owned && session.interface())
            session.interface()->unregisterService(QLatin1String(ApplicationBus::serviceName));
    };
    const AppPaths paths = AppPaths::standard();
    tightenPrivateFiles(paths);
    PersistenceController persistence;
    if (auto opened = persistence.open(paths.storeFile); !opened.ok()) {
        releaseName();
        reportFatal(opened.error().message);
        return 1;
    }
    auto saveNow = [&persistence] {
        if (auto saved = persistence.saveNow(); !saved.ok())
            std::fprintf(stderr, "orvana: %s\n", qPrintable(saved.error().message));
    };
    QObject::connect(&app, &QCoreApplication::aboutToQuit, saveNow);
    // A logout may end the session without quitting the app first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, saveNow);

    ModelContext& context = *persistence.context();
    Preferences preferences(paths.preferencesFile);
    SystemNotificationCenter notificationCenter(paths.pendingNotifications,
                                                context.clockFunction());
    notificationCenter.start();
    const Calendar calendar = Calendar::current();
    NotificationService notifications(notificationCenter, context.clockFunction(), calendar);
    NetworkRequestPerformer network;
    SystemSecretBackend secrets;
    // Whether keys go to a keyring or to the fallback file is asked of the
    // bus now, so Settings can say where from its first paint.
    (void)secrets.settle();
    UnityLauncherBadge badge;
    AppEnvironment environment(
        {context, preferences, notifications, calendar, paths, &network, &secrets, &badge});

    // The user may change the time zone while the app waits in the tray:
    // weeks, days, streaks and the nudges follow without a restart.
    auto followCalendar = [&environment] { environment.setCalendar(Calendar::current()); };
    TimeZoneWatcher timeZone;
    QObject::connect(&timeZone, &TimeZoneWatcher::mayHaveChanged, &environment, followCalendar);
    SleepWatcher sleep;
    QObject::connect(&sleep, &SleepWatcher::resumed, &environment, [&environment, followCalendar] {
        followCalendar();
        if (environment.nudges().keepsCurrent())
            environment.nudges().refresh();
    });

    startStallProbeIfAsked();
    MainWindow window(environment);

    ApplicationBus bus(environment);
    QObject::connect(&bus, &ApplicationBus::activateRequested, &window, &MainWindow::comeForward);
    // Quick add from anywhere: the X11 key grab, else the desktop portal's
    // shortcut (both would open and close it at once), and always
    // `orvana quick-add` for a shortcut of the desktop's own.
    QuickAddPanel quickAdd(environment);
    X11HotKey hotKey;
    QObject::connect(&hotKey, &X11HotKey::activated, &quickAdd, &QuickAddPanel::toggle);
    // Under XWayland a grab sees the key only over X11 windows: the portal's
    // shortcut is the one that works there.
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!waylandSession)
        hotKey.registerHotKey();
    std::unique_ptr<PortalGlobalShortcuts> portal;
    if (!hotKey.isRegistered()) {
        portal = std::make_unique<PortalGlobalShortcuts>(
            session, QLatin1String(PortalGlobalShortcuts::portalService));
        QObject::connect(portal.get(), &PortalGlobalShortcuts::activated, &quickAdd,
                         &QuickAddPanel::toggle);
        portal->start();
    }

    QObject::connect(
        &bus, &ApplicationBus::actionRequested, &window,
        [&window, &environment, &quickAdd](const QString& action, const QVariant& parameter) {
            if (action == QLatin1String("start-focus")) {
                const QUuid goal = QUuid::fromString(parameter.toString());
                StartFocusSessionIntent::perform(
                    environment, goal.isNull() ? std::nullopt : std::optional<QUuid>(goal));
            } else if (action == QLatin1String("quick-add")) {
                quickAdd.toggle();
            } else {
                window.comeForward();
            }
        });
    QObject::connect(&bus, &ApplicationBus::importRequested, &window,
                     [&environment, session](const QString& path, const QDBusMessage& reply) {
                         importHandedOver(environment, session, path, reply);
                     });
    // `orvana sync` while the app runs: the cycle runs here, queued behind
    // the one that runs, on the app's own records, and the command waits
    // for its outcome.
    SyncController& sync = SyncController::of(environment);
    QObject::connect(&bus, &ApplicationBus::syncRequested, &window,
                     [&sync, session](bool allowDeletions, const QDBusMessage& reply) {
                         sync.request(allowDeletions, [session, reply](const SyncCycleOutcome& o) {
                             const QString json = o.json.isEmpty() ? QString() : o.text(true);
                             const QVariantList answer{o.exitCode, o.line, json};
                             QDBusConnection(session).send(reply.createReply(answer));
                         });
                     });
    // The deletion guard asks in the window, whoever started the sync.
    SyncGuardDialog::askWhenNeeded(&window, sync);
    QObject::connect(&sleep, &SleepWatcher::resumed, &sync, &SyncController::prompt);
    if (claim == ApplicationBus::Claim::owned && !bus.publish(session))
        cli::printLine(
            stderr, QCoreApplication::translate(
                        "OrvanaApp", "orvana: the desktop's requests cannot reach this window: %1")
                        .arg(session.lastError().message()));

    // The tray keeps the app at hand with the window closed; without one,
    // closing the window quits as before.
    // Whether there is a tray is asked when the window closes: a panel may
    // come up after an autostarted app.
    TrayIcon tray(environment);
    tray.show();
    tray.setOverdueCount(window.model()->overdueCount());
    QObject::connect(window.model(), &MainWindowModel::overdueCountChanged, &tray,
                     &TrayIcon::setOverdueCount);
    app.setQuitOnLastWindowClosed(false);
    QuitWithoutTray quitWithoutTray;
    window.installEventFilter(&quitWithoutTray);
    QObject::connect(&tray, &TrayIcon::openRequested, &window, &MainWindow::comeForward);
    QObject::connect(&tray, &TrayIcon::focusRequested, &environment,
                     [&environment] { environment.requestFocusSession(); });
    QObject::connect(&tray, &TrayIcon::quitRequested, &window, &MainWindow::requestQuit);
    QObject::connect(&tray, &TrayIcon::quickAddRequested, &quickAdd, &QuickAddPanel::show);

    window.show();
    probeStallsDuringFirstSync(sync);
    sync.start();
    return app.exec();
}

} // namespace orvana
