#include "platform/core/ProgramPaths.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The help file follows the reader's languages: the first language with a translation
// wins, the source language or C stops the search, English is what is left.
TEST(ProgramPaths, LocalizedDataFileFollowsTheUiLanguages)
{
    const struct {
        const char *files;     // present beside the program ("sub/" in its subfolder), '|' between
        const char *languages; // QLocale::uiLanguages(), '|' between
        const char *expected;  // relative to the program's folder
    } rows[] = {
        {"x.hlp|x.de.hlp", "de-DE|de", "x.de.hlp"},
        {"x.hlp|x.de.hlp", "de", "x.de.hlp"},
        {"x.hlp|x.de.hlp", "de-AT", "x.de.hlp"},
        {"x.hlp|x.de.hlp", "fr-FR|de-DE", "x.de.hlp"},
        {"x.hlp|x.de.hlp", "fr-FR|fr", "x.hlp"},
        {"x.hlp|x.de.hlp", "en-GB|de-DE", "x.hlp"},
        {"x.hlp|x.de.hlp", "C|de-DE", "x.hlp"},
        {"x.hlp|x.de.hlp", "", "x.hlp"},
        {"x.hlp|x.de.hlp", "qq-QQ|de", "x.de.hlp"},
        {"x.hlp|x.pt.hlp|x.pt_BR.hlp", "pt-BR", "x.pt_BR.hlp"},
        {"x.hlp|x.pt.hlp|x.pt_BR.hlp", "pt-PT", "x.pt.hlp"},
        {"x.hlp|x.pt_BR.hlp", "pt", "x.hlp"},
        {"sub/x.hlp|sub/x.de.hlp", "de-DE", "sub/x.de.hlp"},
        {"x.hlp|sub/x.de.hlp", "de-DE", "sub/x.de.hlp"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.files) + " / " + row.languages);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        for (const QString &name : QString::fromLatin1(row.files).split(QLatin1Char('|'))) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        const QStringList languages = QString::fromLatin1(row.languages).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        EXPECT_EQ(
            ProgramPaths::LocalizedDataFile(dir.path(), QStringLiteral("sub"), QStringLiteral("x.hlp"), languages),
            dir.filePath(QString::fromLatin1(row.expected)));
    }
}
