#include "platform/core/HelpFile.h"

#include <gtest/gtest.h>

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

TEST(HelpFile, TheCalculatorsHelpFileIsCompleteAndItsLinksResolve)
{
    HelpFile help;
    ASSERT_TRUE(help.Load(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp"))) << help.ErrorText().toStdString();
    for (const char *keyword :
         {"net present value", "cash flows", "discount rates", "reset", "print", "update", "tlm.ini", "settings"})
        EXPECT_FALSE(help.Search(keyword).isEmpty()) << keyword;
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (const HelpFile::Topic &topic : help.Topics()) {
        EXPECT_FALSE(topic.Keywords.isEmpty()) << topic.Id.toStdString();
        for (auto it = link.globalMatch(topic.Html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_NE(help.Find(target), nullptr) << topic.Id.toStdString() << " -> " << target.toStdString();
        }
    }
}
