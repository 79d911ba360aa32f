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

} // namespace

void installTranslations() {
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // English first, so that a language without a text falls back to the
    // English plural forms rather than to the bare source.
    auto* english = new QTranslator(QCoreApplication::instance());
    if (english->load(QStringLiteral(":/i18n/orvana_en.qm")))
        QCoreApplication::installTranslator(english);
    install(QStringLiteral("orvana"), QStringLiteral(":/i18n"));
}

} // namespace orvana
