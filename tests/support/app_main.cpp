#include "Views/Shared/WheelGuard.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTranslator>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widget tests render offscreen; end-to-end tests start the real binary
    // under the X server the test command provides.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    orvana::WheelGuard::install(app); // as the app does
    // The English plural forms, as the app loads them beneath any language.
    QTranslator english;
    if (english.load(QStringLiteral(":/i18n/orvana_en.qm")))
        app.installTranslator(&english);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
