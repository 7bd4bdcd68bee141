#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace Translations {

namespace {

const QString Catalogue = QStringLiteral("tallowmere");
const QString Folder = QStringLiteral(":/i18n");

// What the last Install put in place, owned by the application.
QPointer<QTranslator> &Installed(int which)
{
    static QPointer<QTranslator> translators[2];
    return translators[which];
}

void Replace(int which, QTranslator *translator)
{
    if (QTranslator *old = Installed(which)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    Installed(which) = translator;
    if (translator)
        QCoreApplication::installTranslator(translator);
}

// "de_DE" or "de" as a catalogue names it, to its language code.
QString LanguageOf(const QString &name)
{
    return name.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('-'), 0, 0);
}

} // namespace

QString Install(const QLocale &locale)
{
    auto *program = new QTranslator(QCoreApplication::instance());
    // English is the source language: its file carries the plural forms only, and stands
    // in for every language without a translation of its own.
    if (!program->load(locale, Catalogue, QStringLiteral("_"), Folder) &&
        !program->load(Catalogue + QStringLiteral("_en"), Folder)) {
        delete program;
        program = nullptr;
    }
    const QString language = program ? LanguageOf(program->language()) : QStringLiteral("en");

    // Qt's texts in the language the program speaks, so that a window never mixes two.
    auto *toolkit = new QTranslator(QCoreApplication::instance());
    if (!toolkit->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete toolkit;
        toolkit = nullptr;
    }
    Replace(0, toolkit);
    Replace(1, program);
    return language;
}

} // namespace Translations
