#include <QCoreApplication>
#include <QStandardPaths>
#include <QTranslator>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Keeps any accidental use of the standard locations away from real files.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    // The English plural forms, as the app loads them beneath any language.
    QTranslator english;
    if (english.load(QStringLiteral(":/i18n/orvana_en.qm")))
        app.installTranslator(&english);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
