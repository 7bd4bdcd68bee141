#include "app/Main.h"
#include "app/Qrchart.h"
#include "controls/ExplorerButton.h"
#include "controls/FnpNumericEdit.h"
#include "controls/Nstatln.h"
#include "controls/NumCtrl.h"
#include "controls/UrlLabel.h"
#include "platform/core/FormatSettings.h"
#include "platform/gui/Application.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/Printers.h"
#include "report/QRCustomControl.h"
#include "report/QRPrinter.h"
#include "support/BoxRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include <QAccessible>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QSignalSpy>
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class MainCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(UnitedStatesFormatSettings());
        FProgramDir = FDir.path() + "/";
    }

    static void showActive(QWidget &w)
    {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QApplication::processEvents();
    }

    static QAction *findAction(QWidget &w, const char *name)
    {
        return w.findChild<QAction *>(QString::fromLatin1(name));
    }

    QTemporaryDir FDir;
    QString FProgramDir;
};

QStringList captions(QMenu *menu)
{
    QStringList result;
    for (QAction *a : menu->actions())
        result << (a->isSeparator() ? QStringLiteral("-") : a->text()) +
                      (a->isVisible() ? QString() : QStringLiteral(" (hidden)")) +
                      (a->isEnabled() || a->isSeparator() ? QString() : QStringLiteral(" (disabled)"));
    return result;
}

} // namespace

TEST_F(MainCommandsTest, MenusHoldEveryItemInItsPlaceAndState)
{
    TfrmMain w(FProgramDir);
    const QString update = w.actUpdate->isEnabled() ? "Check for &Update ..." : "Check for &Update ... (disabled)";
    const QList<QAction *> top = w.menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Internet");
    EXPECT_EQ(top[2]->text(), "&Help");
    EXPECT_EQ(captions(top[0]->menu()), (QStringList{"&Reset (disabled)", "- (hidden)", "Prin&t Setup...",
                                                     "&Print (disabled)", "&NPV Profile...", "-", "E&xit"}));
    QMenu *internet = top[1]->menu();
    EXPECT_EQ(captions(internet), (QStringList{"&Corvane on the Web", "Contact Corvane by &Email"}));
    EXPECT_EQ(captions(internet->actions()[0]->menu()),
              (QStringList{"&Home Page", "Corvane' &Freeware Page", "-", "&Suggestion Box"}));
    EXPECT_EQ(captions(internet->actions()[1]->menu()), (QStringList{"&Send Suggestions", "Contact &Tech Support"}));
    QMenu *help = top[2]->menu();
    EXPECT_EQ(captions(help), (QStringList{"&Contents", "-", "&Search for Help On...", "&How to Use Help", "-",
                                           "Contact Tech Support by &Email", "-", update, "-", "&About..."}));
    EXPECT_EQ(help->actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(captions(w.mnuPop), (QStringList{"&Print ... (disabled)", "&Reset (disabled)", "-", update,
                                               "&Disclaimer ...", "&About...", "-", "E&xit"}));
}

namespace {

// Clicks button and returns (readable in a failure) "class: title" of the window it shows modally (message boxes
// aside, which the recorder answers), closing that window once done() holds; empty when
// none showed within the bound.
std::string clickForModalWindow(
    TExplorerButton *button, const std::function<bool()> &done = [] { return true; })
{
    QString seen;
    QTimer poll;
    QDeadlineTimer deadline(30000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *window = qobject_cast<QDialog *>(modal);
        if (!window || qobject_cast<QMessageBox *>(modal) || modal->objectName() == "WaitWindow")
            return;
        if (seen.isEmpty())
            seen = QString::fromLatin1(window->metaObject()->className()) + ": " + window->windowTitle();
        if (done() || deadline.hasExpired())
            window->reject();
    });
    poll.start(10);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(12, 12));
    QApplication::processEvents();
    return seen.toStdString();
}

} // namespace

TEST_F(MainCommandsTest, ToolbarButtonsRunTheirCommands)
{
    QFile::copy(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp"), FProgramDir + "tlm.hlp");
    // The update check goes to a port nobody listens on, so it fails at once.
    QFile ini(FProgramDir + "tlm.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Update]\nHomeURL=http://127.0.0.1:1/tallowmere.htm\n");
    ini.close();
    TBoxRecorder boxes;
    TfrmMain w(FProgramDir);
    TQRPaymentChart chart;
    w.SetReportWindows(&chart, nullptr);
    int previews = 0;
    QRPrinter()->OnPreview = [&] { ++previews; };
    showActive(w);

    // Print and Reset have nothing to work on before a field is left: a click does nothing.
    QTest::mouseClick(w.btnPrint, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseClick(w.btnReset, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(previews, 0);
    QTest::keyClicks(w.edtDCFYear(1), "1000");
    QTest::keyClick(w.edtDCFYear(1), Qt::Key_Tab);
    ASSERT_EQ(w.edtNPV(1)->text(), "$961.54");

    QTest::mouseClick(w.btnPrint, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(chart.lblNPV[0]->Caption(), "$961.54");

    EXPECT_EQ(clickForModalWindow(w.ExplorerButton1), "QDialog: Print Setup");
    EXPECT_EQ(clickForModalWindow(w.btnDisclaim), "TfrmDisclaim: Disclaimer");
    const std::string update = clickForModalWindow(w.btnUpdate, [&] { return !boxes.Boxes().isEmpty(); });
    EXPECT_EQ(update, "TfrmUpdate: Corvane Software Update Center");
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].Text.startsWith("Get Info failed")) << boxes.Boxes()[0].Text.toStdString();

    QTest::mouseClick(w.btnHelp, Qt::LeftButton, {}, QPoint(12, 12));
    QPointer<HelpViewer> viewer = HelpViewer::Current();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->CurrentTopicId(), "contents");

    QTest::mouseClick(w.btnReset, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(w.edtDCFYear(1)->Value(), 0);
    EXPECT_EQ(w.edtNPV(1)->text(), "$0.00");
    EXPECT_FALSE(w.btnPrint->Enabled());
    EXPECT_FALSE(w.btnReset->Enabled());

    QSignalSpy closed(&w, &TfrmMain::Closed);
    QTest::mouseClick(w.btnExit, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(w.isVisible());
    QRPrinter()->OnPreview = nullptr;
}

TEST_F(MainCommandsTest, ToolbarButtonsSayWhatTheyDoInTheStatusLineAndToAScreenReader)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    QList<TExplorerButton *> buttons = w.findChildren<TExplorerButton *>();
    ASSERT_EQ(buttons.size(), 7);
    std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
    int right = 0;
    for (TExplorerButton *button : buttons) {
        // Side by side in the toolbar, Exit at its right end.
        EXPECT_GE(button->x(), right) << button->objectName().toStdString();
        right = button->geometry().right() + 1;
        EXPECT_FALSE(button->ShowHint());
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(face, nullptr);
        const QString name = face->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << button->objectName().toStdString();

        // Hovering shows in the status line what a screen reader hears.
        QTest::mouseMove(button, QPoint(12, 12));
        QApplication::processEvents();
        EXPECT_EQ(w.NStatusLine1->Caption().trimmed(), name);
        QTest::mouseMove(w.edtDCFYear(5), QPoint(5, 5));
        QApplication::processEvents();
    }
    EXPECT_EQ(buttons.last(), w.btnExit);
    EXPECT_GT(w.btnExit->x(), w.UrlCorvane->geometry().right());
    EXPECT_EQ(w.UrlCorvane->Caption(), "Corvane Software");
}

TEST_F(MainCommandsTest, ResetFromTheToolbarWhileARateHasTheFocus)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    QTest::keyClicks(w.edtDCFYear(1), "1000");
    QTest::keyClick(w.edtDCFYear(1), Qt::Key_Tab); // year 2
    w.edtDiscountRate(2)->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(w.edtNPV(1)->text(), "$961.54");
    QTest::mouseClick(w.btnReset, Qt::LeftButton, {}, QPoint(12, 12));
    QApplication::processEvents();
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(w.edtNPV(k)->text(), "$0.00");
    EXPECT_EQ(w.edtDiscountRate(1)->text(), "4.000");
    EXPECT_EQ(w.edtDiscountRate(5)->text(), "8.000");
    EXPECT_EQ(QApplication::focusWidget(), w.edtDCFYear(1));
    EXPECT_FALSE(w.btnPrint->Enabled());
    EXPECT_FALSE(w.btnReset->Enabled());
    EXPECT_FALSE(w.findChild<QAction *>("mnuFilePrint")->isEnabled());
}

TEST_F(MainCommandsTest, F1OpensTheHelpContentsAndClosingQuitsHelp)
{
    QFile::copy(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp"), FProgramDir + "tlm.hlp");
    TfrmMain w(FProgramDir);
    showActive(w);
    QTest::keyClick(&w, Qt::Key_F1);
    QApplication::processEvents();
    QPointer<HelpViewer> viewer = HelpViewer::Current();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->FileName(), FProgramDir + "tlm.hlp");
    EXPECT_EQ(viewer->CurrentTopicId(), "contents");
    findAction(w, "SearchforHelpOn1")->trigger();
    EXPECT_TRUE(viewer->IndexShown());
    EXPECT_TRUE(w.close());
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
}

TEST_F(MainCommandsTest, AboutShowsAFreshWindowEachTime)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    QList<QDialog *> seen;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(seen.contains(dialog));
            seen << dialog;
            QObject::connect(dialog, &QObject::destroyed, [&seen, dialog] { seen.removeOne(dialog); });
            dialog->reject();
        });
        w.actAbout->trigger();
        // The instance is gone once the command returns.
        EXPECT_TRUE(seen.isEmpty());
    }
}

TEST_F(MainCommandsTest, ReportTextsFollowTheRegionalCurrencyFormat)
{
    EXPECT_EQ(TQRPaymentChart::CurrencyText(1000), "$1,000.00");
    EXPECT_EQ(TQRPaymentChart::CurrencyText(-1234.5L), "($1,234.50)");
    EXPECT_EQ(TQRPaymentChart::CurrencyText(123456789.12L), "$123,456,789.10");
    EXPECT_EQ(TQRPaymentChart::CurrencyText(12345678901.23L), "1.23456789E10");
    EXPECT_EQ(TQRPaymentChart::NumberText(4), "4.000");
    EXPECT_EQ(TQRPaymentChart::NumberText(4.125L), "4.125");
    EXPECT_EQ(TQRPaymentChart::NumberText(1000), "1,000.000");
}

TEST_F(MainCommandsTest, PrintFillsTheReportAndPrintsItThroughThePreviewHook)
{
    Printers::SetNames(QStringList{Printers::PdfPrinterName()});
    const QString pdf = FDir.filePath("report.pdf");
    Printers::SetOnAskFileName([&](QString &fileName) {
        fileName = pdf;
        return true;
    });
    TfrmMain w(FProgramDir);
    TQRPaymentChart chart;
    w.SetReportWindows(&chart, nullptr);
    showActive(w);
    for (int year = 1; year <= 10; ++year)
        w.edtDCFYear(year)->SetValue(1000);
    w.CalculateDCF(nullptr);

    int previews = 0;
    QRPrinter()->OnPreview = [&] {
        ++previews;
        EXPECT_EQ(QRPrinter()->PageCount(), 1);
        EXPECT_EQ(QRPrinter()->PreviewCaption(), "Discounted Cash Flow");
        EXPECT_EQ(QRPrinter()->ProgressCaption(), "Preview of Discounted Cash Flow");
        QRPrinter()->Print();
    };
    w.actPrint->trigger();
    Printers::SetOnAskFileName(nullptr);
    Printers::SetNames(std::nullopt);
    ASSERT_EQ(previews, 1);
    EXPECT_EQ(chart.lblYear[0]->Caption(), "$1,000.00");
    EXPECT_EQ(chart.lblDR[0]->Caption(), "4.000%");
    EXPECT_EQ(chart.lblNPV[0]->Caption(), "$8,110.90");

    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected :
         {"Tallowmere", "Compliments of Corvane Software", "Discount Rate", "$1,000.00", "8.000%", "$6,710.08",
          "Tallowmere 32, 1.1", "Printed at", "While effort was made to ensure"})
        EXPECT_TRUE(printed.contains(QString::fromLatin1(expected))) << expected << "\n" << printed.toStdString();
}

TEST_F(MainCommandsTest, ClosingADialogPutsTheFocusInYearOneAndRecomputes)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    w.edtDiscountRate(2)->setFocus();
    QApplication::processEvents();
    w.edtDCFYear(1)->SetValue(100); // set by code: nothing is recomputed
    QTest::keyClick(w.edtDiscountRate(2), Qt::Key_Backspace);
    QTest::keyClicks(w.edtDiscountRate(2), "25");
    ASSERT_EQ(w.edtNPV(2)->text(), "$0.00"); // nothing left yet, nothing computed
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    w.actDisclaimer->trigger();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w.edtDCFYear(1));
    // Leaving the rate field on the way recomputed every result with the typed rate.
    EXPECT_NE(w.edtNPV(2)->text(), "$0.00");
    EXPECT_EQ(w.edtNPV(1)->text(), "$96.15");
}

namespace {

struct ReturnRow {
    const char *name;
    // Opens the window over the calculator; it is closed again by the user's hand.
    void (*open)(TfrmMain &w);
    bool focusToYearOne;
};

void CloseWhenActive()
{
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            QApplication::setActiveWindow(dialog);
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            dialog->reject();
        }
    });
}

class ReturningToTheCalculator : public MainCommandsTest, public ::testing::WithParamInterface<ReturnRow> {};

} // namespace

// Our own windows send the focus to year 1 when they close, which leaves the field that had
// it and recomputes; Print Setup stands for the system's dialog and leaves things as they were.
TEST_P(ReturningToTheCalculator, MovesTheFocusOnlyFromOurOwnWindows)
{
    QFile::copy(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp"), FProgramDir + "tlm.hlp");
    TfrmMain w(FProgramDir);
    showActive(w);
    w.edtDiscountRate(2)->setFocus();
    QApplication::processEvents();
    w.edtDCFYear(1)->SetValue(100); // set by code: nothing is recomputed
    ASSERT_EQ(w.edtNPV(1)->text(), "$0.00");

    GetParam().open(w);
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QApplication::processEvents();

    const bool moved = GetParam().focusToYearOne;
    EXPECT_EQ(QApplication::focusWidget(), moved ? static_cast<QWidget *>(w.edtDCFYear(1)) : w.edtDiscountRate(2));
    // Leaving the rate field on the way is what recomputes.
    EXPECT_EQ(w.edtNPV(1)->text(), moved ? "$96.15" : "$0.00");
}

INSTANTIATE_TEST_SUITE_P(Windows, ReturningToTheCalculator,
                         ::testing::Values(ReturnRow{"Help",
                                                     [](TfrmMain &w) {
                                                         w.actHelpContents->trigger();
                                                         QPointer<HelpViewer> viewer = HelpViewer::Current();
                                                         ASSERT_TRUE(viewer);
                                                         QApplication::setActiveWindow(viewer);
                                                         ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
                                                         viewer->close();
                                                     },
                                                     true},
                                           ReturnRow{"Disclaimer",
                                                     [](TfrmMain &w) {
                                                         CloseWhenActive();
                                                         w.actDisclaimer->trigger();
                                                     },
                                                     true},
                                           ReturnRow{"PrintSetup",
                                                     [](TfrmMain &w) {
                                                         CloseWhenActive();
                                                         w.actPrintSetup->trigger();
                                                     },
                                                     false}),
                         [](const ::testing::TestParamInfo<ReturnRow> &info) { return std::string(info.param.name); });

// Reset from the toolbar (which takes no focus) while a cash flow is still being typed:
// what is typed is cleared with the rest and comes back neither as a result nor at close.
TEST_F(MainCommandsTest, ResetClearsACashFlowStillBeingTyped)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    QTest::keyClick(w.edtDCFYear(1), Qt::Key_Tab); // year 1 left: Reset is enabled
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w.edtDCFYear(2));
    QTest::keyClicks(w.edtDCFYear(2), "1234");
    ASSERT_TRUE(w.btnReset->Enabled());
    QTest::mouseClick(w.btnReset, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w.edtDCFYear(1));
    EXPECT_EQ(w.edtDCFYear(2)->Value(), 0.0L);
    EXPECT_EQ(w.edtDCFYear(2)->text(), "$0.00");
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(w.edtNPV(k)->text(), "$0.00");
    EXPECT_FALSE(w.actPrint->isEnabled());
    EXPECT_FALSE(w.actReset->isEnabled());
    EXPECT_TRUE(w.close());
    QFile saved(FProgramDir + "tlm.ini");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_FALSE(saved.readAll().contains("1234"));
}

// The designed client area lies below the menu bar: 436 x 335, the status line at 313 at
// the bottom, the panels' bottom edges above it.
// The client area's designed size is one of the window invariants; here how it sits.
TEST_F(MainCommandsTest, TheClientAreaStartsBelowTheMenuBarWithTheStatusLineAtItsFoot)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    QWidget *client = w.centralWidget();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->mapTo(&w, QPoint(0, 0)).y(), w.menuBar()->geometry().bottom() + 1);
    EXPECT_EQ(w.height(), w.menuBar()->height() + client->height());
    auto *status = w.findChild<TNStatusLine *>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry().bottom(), client->rect().bottom());
    EXPECT_EQ(status->width(), client->width());
}
