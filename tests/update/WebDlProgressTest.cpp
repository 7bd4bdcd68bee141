#include "TestUi.h"

#include "net/HttpProt.h"
#include "platform/gui/Fonts.h"
#include "update/WebDlProgress.h"
#include "update/WfiWindows.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QFont UiFont()
{
    return Fonts::Make(QStringLiteral("Arial"), -11);
}

} // namespace

TEST(FormatWithThousands, GroupsOfThreeFromTheRight)
{
    struct Row {
        qint64 value;
        const char *text;
    };
    const Row rows[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {1024, "1,024"},
        {999999, "999,999"},
        {1234567, "1,234,567"},
        {104857600, "104,857,600"},
        {-1, "-1"},
        {-999, "-999"},
        {-1234, "-1,234"},
        {-123456, "-123,456"},
        {9223372036854775807LL, "9,223,372,036,854,775,807"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FormatWithThousands(row.value), QString::fromLatin1(row.text)) << row.value;
}

// The geometry is one of the window invariants; here what the window starts with.
TEST(WebDlProgress, StartsEmptyWithTheWaitCursor)
{
    TWebDlProgress window(nullptr, UiFont());
    EXPECT_EQ(window.windowTitle(), "Download Progress");
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(window.pbarProgress->cursor().shape(), Qt::WaitCursor);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(window.pbarProgress->maximum(), 100);
    EXPECT_TRUE(window.lblProgress->text().isEmpty());
    EXPECT_EQ(window.btnCancel->text(), "&Cancel");
    EXPECT_EQ(window.lblProgress->font(), UiFont());
    EXPECT_FALSE(window.Cancelled());
    const QRect screen = window.screen()->geometry();
    EXPECT_LE(std::abs(window.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window.geometry().center().y() - screen.center().y()), 1);
}

TEST(WebDlProgress, ProgressRule)
{
    TWebDlProgress window(nullptr, UiFont());
    struct Step {
        qint64 received;
        qint64 total;
        const char *text;
        int position;
    };
    const Step steps[] = {
        {1024, -1, "1,024 of -1 bytes received.", 0}, // no length: the bar stays
        {512, 2048, "512 of 2,048 bytes received.", 25},
        {1023, 2048, "1,023 of 2,048 bytes received.", 49}, // integer division
        {100, 2048, "100 of 2,048 bytes received.", 49},    // never moves back
        {5000, 0, "5,000 of 0 bytes received.", 49},        // a length of 0 does not divide
        {3000000000LL, 2000000000LL, "3,000,000,000 of 2,000,000,000 bytes received.", 100},
    };
    for (const Step &step : steps) {
        window.UpdateProgress(step.received, step.total);
        window.FlushProgress();
        EXPECT_EQ(window.lblProgress->text(), QString::fromLatin1(step.text));
        EXPECT_EQ(window.pbarProgress->value(), step.position) << step.text;
    }

    // Large files: the percentage is computed without overflowing.
    TWebDlProgress big(nullptr, UiFont());
    big.UpdateProgress(52428800, 104857600);
    big.FlushProgress();
    EXPECT_EQ(big.pbarProgress->value(), 50);
    EXPECT_EQ(big.lblProgress->text(), "52,428,800 of 104,857,600 bytes received.");
}

TEST(WebDlProgress, DisplayCatchesUpAndShowsTheLastStateWhenClosing)
{
    TWebDlProgress window(nullptr, UiFont());
    window.UpdateProgress(10, 1000);
    EXPECT_EQ(window.lblProgress->text(), "10 of 1,000 bytes received."); // the first shows at once
    for (qint64 received = 20; received <= 1000; received += 10)
        window.UpdateProgress(received, 1000);
    // However fast the chunks came, the display catches up without further chunks...
    EXPECT_TRUE(WaitUntil([&] { return window.lblProgress->text() == "1,000 of 1,000 bytes received."; }));
    EXPECT_EQ(window.pbarProgress->value(), 100);

    // ...and closing shows the final state at once.
    TWebDlProgress closing(nullptr, UiFont());
    closing.UpdateProgress(1, 4);
    closing.UpdateProgress(2, 4);
    closing.UpdateProgress(4, 4);
    closing.done(QDialog::Accepted);
    EXPECT_EQ(closing.lblProgress->text(), "4 of 4 bytes received.");
    EXPECT_EQ(closing.pbarProgress->value(), 100);
}

TEST(WebDlProgress, CancelStopsTheDisplayAndAbortsTheClient)
{
    THttpCli cli;
    TWebDlProgress window(&cli, UiFont());
    window.UpdateProgress(100, 400);
    window.FlushProgress();
    QTest::mouseClick(window.btnCancel, Qt::LeftButton);
    EXPECT_TRUE(window.Cancelled());
    window.UpdateProgress(300, 400);
    window.FlushProgress();
    EXPECT_EQ(window.lblProgress->text(), "100 of 400 bytes received.");
    EXPECT_EQ(window.pbarProgress->value(), 25);

    // A request in flight ends with the abort's reason.
    cli.SetURL(QStringLiteral("http://127.0.0.1:9/"));
    cli.StartGet();
    TWebDlProgress running(&cli, UiFont());
    running.btnCancelClick();
    EXPECT_EQ(cli.State(), THttpState::Idle);
    EXPECT_EQ(cli.ReasonPhrase(), "Connection aborted on request");
    EXPECT_EQ(cli.RequestDoneError(), ErrAborted);
    EXPECT_EQ(cli.StatusCode(), 0);
}

TEST(WebDlProgress, KeyboardAndWindowManagerCannotCloseIt)
{
    TWebDlProgress window(nullptr, UiFont());
    window.show();
    ASSERT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    window.close();
    EXPECT_TRUE(window.isVisible());
    window.done(QDialog::Rejected);
    EXPECT_FALSE(window.isVisible());
}

TEST(WaitWindow, ShowsItsMessageAndCannotBeClosedByTheUser)
{
    TWfiWaitWindow window(QStringLiteral("Checking For Update..."), UiFont());
    EXPECT_EQ(window.windowTitle(), "Please Wait");
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(window.lblMessage->text(), "Checking For Update...");
    EXPECT_EQ(window.lblMessage->font(), UiFont());
    EXPECT_TRUE(window.findChildren<QPushButton *>().isEmpty());
    window.SetMessage(QStringLiteral("Retrieving ReadMe..."));
    EXPECT_EQ(window.Message(), "Retrieving ReadMe...");

    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    window.close();
    EXPECT_TRUE(window.isVisible());
}

TEST(ReadMeWindow, ShowsTheTextAndClosesWithOk)
{
    TWfiReadMeWindow window(QStringLiteral("Line one\nLine two"), UiFont());
    EXPECT_EQ(window.windowTitle(), "Read Me");
    EXPECT_EQ(window.memReadMe->toPlainText(), "Line one\nLine two");
    EXPECT_EQ(window.memReadMe->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.memReadMe->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.btnOk->text(), "&Ok");

    QTimer::singleShot(0, &window, [&window] { QTest::mouseClick(window.btnOk, Qt::LeftButton); });
    EXPECT_EQ(window.exec(), QDialog::Accepted);
}
