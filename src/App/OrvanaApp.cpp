#include "App/OrvanaApp.h"

#include "App/PersistenceController.h"
#include "App/QuitOnSignal.h"
#include "Store/ModelContext.h"
#include "Views/Navigation/ContentView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>

namespace orvana {

namespace {

void configure(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QCoreApplication::translate("OrvanaApp", "Plan personal goals and do focused work."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// Fatal start-up problems go to standard error and, when a person can see a
// screen, to a dialog as well.
void reportFatal(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Orvana"), message);
}

} // namespace

int OrvanaApp::run(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Orvana"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.orvana.Orvana"));

    // The command line is read before any display is needed, so --help and
    // --version work on a machine without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    configure(parser);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "orvana: %s\nTry 'orvana --help'.\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("orvana %s\n", ORVANA_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "orvana: unexpected argument '%s'\nTry 'orvana --help'.\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return 2;
    }

    QApplication app(argc, argv);
    quitOnTerminationSignals();
    PersistenceController persistence;
    if (auto opened = persistence.open(PersistenceController::defaultStorePath()); !opened.ok()) {
        reportFatal(opened.error().message);
        return 1;
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&persistence] {
        if (auto saved = persistence.saveNow(); !saved.ok())
            std::fprintf(stderr, "orvana: %s\n", qPrintable(saved.error().message));
    });

    ContentView window(*persistence.context());
    window.show();
    return app.exec();
}

} // namespace orvana
