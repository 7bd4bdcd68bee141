#include "platform/core/HelpFile.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

TEST(HelpFile, ParsesTopicsKeywordsAndComments)
{
    HelpFile help;
    ASSERT_TRUE(help.Parse("@@ comment\nignored preamble\n"
                           "@topic first The First\r\n@keywords beta; Alpha ;;\n<p>one</p>\n"
                           "@@ not part of the body\n"
                           "@topic second Second topic\n<p>two</p>\n@keywords alphabet\n"
                           "@topic first duplicate id is skipped\n<p>lost</p>\n"
                           "@topic \n<p>nameless</p>\n"));
    ASSERT_EQ(help.Topics().size(), 2);
    EXPECT_EQ(help.Contents()->Id, "first");
    EXPECT_EQ(help.Contents()->Title, "The First");
    EXPECT_EQ(help.Contents()->Html, "<p>one</p>\n");
    EXPECT_EQ(help.Find("second")->Keywords, QStringList{"alphabet"});
    EXPECT_EQ(help.Find("missing"), nullptr);

    const auto index = help.Index();
    ASSERT_EQ(index.size(), 3);
    EXPECT_EQ(index[0].Keyword, "Alpha");
    EXPECT_EQ(index[1].Keyword, "alphabet");
    EXPECT_EQ(index[2].Keyword, "beta");
    const auto matches = help.Search(" ALPH");
    ASSERT_EQ(matches.size(), 2);
    EXPECT_EQ(matches[1].TopicId, "second");
    EXPECT_EQ(help.Search("").size(), 3);
    EXPECT_TRUE(help.Search("zeta").isEmpty());
}

TEST(HelpFile, EmptyOrMissingFilesAreReported)
{
    HelpFile help;
    EXPECT_FALSE(help.Parse("just text\n@keywords orphan\n"));
    EXPECT_FALSE(help.Load("/nonexistent/tlm.hlp"));
    EXPECT_TRUE(help.ErrorText().contains("/nonexistent/tlm.hlp"));
}

TEST(HelpFile, KeywordsSortAndMatchWithoutCaseAccentsOrSharpS)
{
    HelpFile help;
    ASSERT_TRUE(help.Parse(QString::fromUtf8("@topic a A\n@keywords Zinsfuß, interner; Überblick; Zahlungsstrom\n"
                                             "@topic b B\n@keywords Uhr; Tilgung; Straße; STRASSENBAU\n")));
    QStringList sorted;
    for (const HelpFile::IndexEntry &entry : help.Index())
        sorted << entry.Keyword;
    EXPECT_EQ(sorted, QString::fromUtf8("Straße|STRASSENBAU|Tilgung|Überblick|Uhr|Zahlungsstrom|Zinsfuß, interner")
                          .split(QLatin1Char('|')));

    const struct {
        const char *typed;
        const char *found; // the keywords found, in index order
    } rows[] = {
        {"über", "Überblick"},
        {"UBER", "Überblick"},
        {"Ü", "Überblick|Uhr"},
        {"u", "Überblick|Uhr"},
        {"zinsfuss", "Zinsfuß, interner"},
        {"ZINSFUß", "Zinsfuß, interner"},
        {"straß", "Straße|STRASSENBAU"},
        {"strassenb", "STRASSENBAU"},
        {"überz", ""},
    };
    for (const auto &row : rows) {
        QStringList found;
        for (const HelpFile::IndexEntry &entry : help.Search(QString::fromUtf8(row.typed)))
            found << entry.Keyword;
        EXPECT_EQ(found.join(QLatin1Char('|')), QString::fromUtf8(row.found)) << row.typed;
    }
}

namespace {

HelpFile loadHelp(const QString &path)
{
    HelpFile help;
    EXPECT_TRUE(help.Load(path)) << help.ErrorText().toStdString();
    return help;
}

} // namespace

TEST(HelpFile, TheCalculatorsHelpFileIsCompleteAndItsLinksResolve)
{
    const HelpFile help = loadHelp(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp"));
    for (const char *keyword :
         {"net present value", "cash flows", "discount rates", "reset", "print", "update", "tlm.ini", "settings"})
        EXPECT_FALSE(help.Search(keyword).isEmpty()) << keyword;
}

// Every help file, the English one and each translation (tlm.<language>.hlp): keywords on
// every topic, links that lead somewhere. A translation has the English topics with their
// ids in the same order and the same context numbers, so F1 and every link land on the
// same topic, and each topic is translated, not copied.
TEST(HelpFile, EveryTranslationHasTheTopicsAndContextsOfTheEnglishFile)
{
    const QDir folder(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help"));
    const HelpFile english = loadHelp(folder.filePath(QStringLiteral("tlm.hlp")));
    const QStringList translations = folder.entryList({QStringLiteral("tlm.*.hlp")}, QDir::Files, QDir::Name);
    EXPECT_FALSE(translations.isEmpty());
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (const QString &name : QStringList{QStringLiteral("tlm.hlp")} + translations) {
        SCOPED_TRACE(name.toStdString());
        const HelpFile help = loadHelp(folder.filePath(name));
        for (const HelpFile::Topic &topic : help.Topics()) {
            EXPECT_FALSE(topic.Keywords.isEmpty()) << topic.Id.toStdString();
            for (auto it = link.globalMatch(topic.Html); it.hasNext();) {
                const QString target = it.next().captured(1);
                EXPECT_NE(help.Find(target), nullptr) << topic.Id.toStdString() << " -> " << target.toStdString();
            }
        }
        if (name == QLatin1String("tlm.hlp"))
            continue;
        ASSERT_EQ(help.Topics().size(), english.Topics().size());
        for (qsizetype i = 0; i < english.Topics().size(); ++i) {
            const HelpFile::Topic &source = english.Topics()[i];
            const HelpFile::Topic &translated = help.Topics()[i];
            EXPECT_EQ(translated.Id, source.Id);
            EXPECT_EQ(translated.Context, source.Context) << source.Id.toStdString();
            EXPECT_NE(translated.Title, source.Title) << source.Id.toStdString();
            EXPECT_NE(translated.Html, source.Html) << source.Id.toStdString();
        }
    }
}
