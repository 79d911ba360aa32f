#include "App/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orvana {

namespace {

void install(const QString& name, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), name, QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// The C locale asks for the untranslated texts whatever LANGUAGE says, as
// gettext has it: `LC_ALL=C orvana stats` in a German session stays English
// for a script. (Qt's own language list would follow LANGUAGE.)
bool plainLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (value.isEmpty())
            continue;
        return value == QLatin1String("C") || value.startsWith(QLatin1String("C.")) ||
               value == QLatin1String("POSIX");
    }
    return true;
}

} // namespace

void installTranslations() {
    // English first, so that a language without a text falls back to the
    // English plural forms rather than to the bare source.
    auto* english = new QTranslator(QCoreApplication::instance());
    if (english->load(QStringLiteral(":/i18n/orvana_en.qm")))
        QCoreApplication::installTranslator(english);
    if (plainLocale())
        return;
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(QStringLiteral("orvana"), QStringLiteral(":/i18n"));
}

} // namespace orvana
