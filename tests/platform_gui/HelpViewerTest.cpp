#include "platform/gui/HelpViewer.h"
#include "support/BoxRecorder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

QString writeHelp(QTemporaryDir &dir)
{
    const QString path = dir.filePath("test.hlp");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("@topic contents Test Help\n@keywords overview\n<p>Start <a href=\"#rates\">rates</a></p>\n"
            "@topic rates Rates\n@keywords rates; percent\n<p>About rates</p>\n"
            "@topic reset Reset\n@keywords reset\n<p>About reset</p>\n");
    return path;
}

} // namespace

TEST(HelpViewer, CommandsShowContentsIndexAndHelpOnHelpAndQuitCloses)
{
    QTemporaryDir dir;
    const QString path = writeHelp(dir);

    ASSERT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_CONTENTS));
    QPointer<HelpViewer> viewer = HelpViewer::Current();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Test Help");
    EXPECT_EQ(viewer->CurrentTopicId(), "contents");

    // A link inside a topic leads to the other topic.
    emit viewer->Browser()->anchorClicked(QUrl("#rates"));
    EXPECT_EQ(viewer->CurrentTopicId(), "rates");

    // The keyword search narrows the index as letters are typed and Enter opens the topic.
    ASSERT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_PARTIALKEY));
    EXPECT_EQ(HelpViewer::Current(), viewer.data()); // the same window serves every command
    EXPECT_TRUE(viewer->IndexShown());
    EXPECT_EQ(viewer->IndexList()->count(), 4);
    QTest::keyClicks(viewer->SearchField(), "re");
    ASSERT_EQ(viewer->IndexList()->count(), 1);
    EXPECT_EQ(viewer->IndexList()->item(0)->text(), "reset");
    QTest::keyClick(viewer->SearchField(), Qt::Key_Return);
    EXPECT_EQ(viewer->CurrentTopicId(), "reset");

    ASSERT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_HELPONHELP));
    EXPECT_EQ(viewer->CurrentTopicId(), HelpViewer::HelpOnHelpId);
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Using Help"));

    EXPECT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_QUIT));
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
    EXPECT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_QUIT)); // nothing open: harmless
}

TEST(HelpViewer, AMissingHelpFileIsReportedNotShown)
{
    TBoxRecorder boxes;
    EXPECT_FALSE(HelpViewer::WinHelp(nullptr, "/nonexistent/tlm.hlp", HELP_CONTENTS));
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains("/nonexistent/tlm.hlp"));
    EXPECT_EQ(HelpViewer::Current(), nullptr);
}

namespace {

struct ContextRow {
    const char *name;
    quintptr context;
    const char *topic;
};

class HelpContexts : public ::testing::TestWithParam<ContextRow> {};

} // namespace

// HELP_CONTEXT opens the topic numbered with the context; a number no topic has, or one a
// later topic repeats, leads to the contents or the first topic that has it.
TEST_P(HelpContexts, OpenTheNumberedTopic)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("contexts.hlp");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("@topic contents Test Help\n<p>Start</p>\n"
            "@topic preview Preview\n@context 35\n<p>The preview</p>\n"
            "@topic rates Rates\n@context 12\n<p>Rates</p>\n"
            "@topic again Again\n@context 35\n<p>Not this one</p>\n");
    f.close();
    ASSERT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_CONTEXT, GetParam().context));
    QPointer<HelpViewer> viewer = HelpViewer::Current();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->CurrentTopicId(), QString::fromLatin1(GetParam().topic));
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(HelpViewer::WinHelp(nullptr, path, HELP_QUIT));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

INSTANTIATE_TEST_SUITE_P(Contexts, HelpContexts,
                         ::testing::Values(ContextRow{"Preview", 35, "preview"}, ContextRow{"Rates", 12, "rates"},
                                           ContextRow{"Unknown", 99, "contents"}, ContextRow{"None", 0, "contents"}),
                         [](const ::testing::TestParamInfo<ContextRow> &info) { return std::string(info.param.name); });
