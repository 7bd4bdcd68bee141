#include "PageProbe.h"
#include "ReportTestSupport.h"

#include "platform/core/Exceptions.h"
#include "report/QRPrinter.h"
#include "report/QRProgressForm.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void RecordPages(TQRPrinter &printer, const QStringList &texts)
{
    printer.BeginDoc();
    for (int i = 0; i < texts.size(); ++i) {
        if (i > 0)
            printer.NewPage();
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(48);
        printer.Canvas()->setFont(font);
        printer.Canvas()->drawText(QPointF(400, 400), texts.at(i));
    }
    printer.EndDoc();
}

} // namespace

TEST(QRPrinter, RoundsHalvesToTheEvenNeighbour)
{
    const struct {
        double Value;
        int Expected;
    } rows[] = {{2.5, 2}, {3.5, 4},    {-2.5, -2},  {-3.5, -4},   {0.5, 0},
                {1.5, 2}, {2.4999, 2}, {2.5001, 3}, {766.64, 767}};
    for (const auto &row : rows)
        EXPECT_EQ(QRRound(row.Value), row.Expected) << row.Value;
}

TEST(QRPrinter, DefaultPageWithoutAnyPrinter)
{
    PrinterScope scope(QStringList{});
    TQRPrinter printer;
    EXPECT_TRUE(printer.PrinterOK());
    printer.ComputeMetrics();
    const int P = QRScreenPixelsPerInch();
    EXPECT_FALSE(printer.PrinterOK());
    EXPECT_EQ(printer.PageWidth(), QRRound(P * 7.786667));
    EXPECT_EQ(printer.PageHeight(), QRRound(P * 11.253333));
    if (P == 96) {
        EXPECT_EQ(printer.PageWidth(), 748);
        EXPECT_EQ(printer.PageHeight(), 1080);
        EXPECT_EQ(printer.SheetWidth(), 785);
        EXPECT_EQ(printer.SheetHeight(), 1134);
    }
    EXPECT_EQ(printer.LeftOffset(), 5);
    EXPECT_EQ(printer.TopOffset(), 5);
    // The settings cannot be reached: the paper reads as the default.
    EXPECT_EQ(printer.GetPaperSize(), qrpDefault);
    EXPECT_EQ(printer.GetPaperWidth(), 0);
}

TEST(QRPrinter, UnreachablePrinterFallsBackAndStaysUnusable)
{
    PrinterScope scope({QStringLiteral("No Such Printer 4711"), Printers::PdfPrinterName()});
    TQRPrinter printer;
    printer.ComputeMetrics();
    EXPECT_FALSE(printer.PrinterOK());
    EXPECT_EQ(printer.LeftOffset(), 20);
    EXPECT_EQ(printer.TopOffset(), 20);
    EXPECT_EQ(printer.PageWidth(), QRRound(QRScreenPixelsPerInch() * 7.786667));

    // A good printer afterwards gives its geometry, but the printer stays unusable.
    Printers::SetIndex(1);
    printer.ComputeMetrics();
    EXPECT_FALSE(printer.PrinterOK());
    EXPECT_NE(printer.LeftOffset(), 20);

    RecordPages(printer, {QStringLiteral("Never printed")});
    printer.Print();
    EXPECT_EQ(scope.Asked, 0);
    EXPECT_FALSE(QFile::exists(scope.NextFile));
}

TEST(QRPrinter, PrinterWithoutSettingsRecordRaisesDriverError)
{
    PrinterScope scope({QStringLiteral("No Such Printer 4711")});
    TQRPrinter printer;
    ASSERT_TRUE(printer.PrinterOK());
    try {
        printer.SetOrientation(poLandscape);
        FAIL() << "no error";
    } catch (const EPrinter &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Printer driver error"));
    }
}

TEST(QRPrinter, MetricsFollowThePdfPage)
{
    PrinterScope scope;
    Printers::Printer()->setPageSize(QPageSize(QPageSize::A4));
    Printers::Printer()->setPageMargins(QMarginsF(36, 18, 36, 18), QPageLayout::Point);
    TQRPrinter printer;
    printer.ComputeMetrics();
    const double P = QRScreenPixelsPerInch();
    EXPECT_TRUE(printer.PrinterOK());
    EXPECT_NEAR(printer.PageWidth(), (595.0 - 72) / 72 * P, 1);
    EXPECT_NEAR(printer.PageHeight(), (842.0 - 36) / 72 * P, 1);
    EXPECT_NEAR(printer.SheetWidth(), 595.0 / 72 * P, 1);
    EXPECT_NEAR(printer.SheetHeight(), 842.0 / 72 * P, 1);
    EXPECT_EQ(printer.LeftOffset(), QRRound(P / 2));
    EXPECT_EQ(printer.TopOffset(), QRRound(P / 4));
}

TEST(QRPrinter, PaperCodeTableAndPaperSettings)
{
    const struct {
        TQRPaperSize Size;
        int Code;
    } table[] = {{qrpDefault, 0}, {qrpLetter, 1}, {qrpLegal, 5}, {qrpA3, 8}, {qrpA4, 9}, {qrpA5, 11}, {qrpCustom, 256}};
    for (const auto &row : table)
        EXPECT_EQ(QRPaperCode(row.Size), row.Code);

    PrinterScope scope;
    TQRPrinter printer;
    const double P = QRScreenPixelsPerInch();
    for (TQRPaperSize size : {qrpLetter, qrpLegal, qrpA3, qrpA4, qrpA5}) {
        EXPECT_TRUE(printer.PaperSupported(size));
        printer.SetPaperSize(size);
        EXPECT_EQ(printer.GetPaperSize(), size);
    }
    printer.SetPaperSize(qrpA5);
    const QSizeF a5 = QPageSize(QPageSize::A5).size(QPageSize::Inch);
    EXPECT_NEAR(printer.SheetWidth(), a5.width() * P, 1);
    EXPECT_NEAR(printer.SheetHeight(), a5.height() * P, 1);
    EXPECT_EQ(printer.GetPaperWidth(), 0);

    printer.SetOrientation(poLandscape);
    printer.ComputeMetrics();
    EXPECT_EQ(printer.Orientation(), poLandscape);
    EXPECT_NEAR(printer.SheetWidth(), a5.height() * P, 1);
    printer.SetOrientation(poPortrait);

    // Custom measures in tenths of a millimetre.
    printer.SetPaperWidth(1500);
    EXPECT_EQ(printer.GetPaperSize(), qrpCustom);
    EXPECT_EQ(printer.GetPaperWidth(), 1500);
    printer.SetPaperLength(2500);
    EXPECT_EQ(printer.GetPaperLength(), 2500);
    EXPECT_NEAR(printer.SheetWidth(), 150 / 25.4 * P, 1);
    EXPECT_NEAR(printer.SheetHeight(), 250 / 25.4 * P, 1);
}

TEST(QRPrinter, PageStoreStates)
{
    PrinterScope scope;
    TQRPrinter printer;
    EXPECT_EQ(printer.Status(), stIdle);
    EXPECT_EQ(printer.Canvas(), nullptr);
    printer.NewPage();
    printer.EndDoc();
    EXPECT_EQ(printer.Status(), stIdle);
    EXPECT_EQ(printer.PageCount(), 0);

    printer.SetTitle(QStringLiteral("old"));
    printer.BeginDoc();
    EXPECT_EQ(printer.Status(), stBusy);
    EXPECT_EQ(printer.PageCount(), 1);
    EXPECT_EQ(printer.CurrentPage(), 1);
    EXPECT_TRUE(printer.Title().isEmpty());
    ASSERT_NE(printer.Canvas(), nullptr);
    EXPECT_EQ(printer.Page(), nullptr);
    printer.ClearPages();
    EXPECT_EQ(printer.Status(), stBusy);
    QPainter *canvas = printer.Canvas();
    printer.BeginDoc();
    EXPECT_EQ(printer.Canvas(), canvas);
    printer.NewPage();
    printer.NewPage();
    EXPECT_EQ(printer.PageCount(), 3);
    printer.SetCurrentPage(2);
    EXPECT_EQ(printer.CurrentPage(), 1);
    printer.EndDoc();
    EXPECT_EQ(printer.Status(), stFinished);
    EXPECT_EQ(printer.Canvas(), nullptr);
    EXPECT_EQ(printer.CurrentPage(), 1);

    for (int bad : {0, -1, 4})
        printer.SetCurrentPage(bad);
    EXPECT_EQ(printer.CurrentPage(), 1);
    printer.SetCurrentPage(3);
    EXPECT_EQ(printer.CurrentPage(), 3);
    ASSERT_NE(printer.Page(), nullptr);
    EXPECT_EQ(printer.Page()->boundingRect(), QRect(0, 0, printer.PageWidth() * 4, printer.PageHeight() * 4));

    // A finished store is cleared by the next BeginDoc.
    printer.BeginDoc();
    EXPECT_EQ(printer.Status(), stBusy);
    EXPECT_EQ(printer.PageCount(), 1);
    printer.EndDoc();
    printer.ClearPages();
    EXPECT_EQ(printer.Status(), stIdle);
    EXPECT_EQ(printer.Page(), nullptr);
}

TEST(QRPrinter, PagesKeepWhatWasDrawnOnThem)
{
    PrinterScope scope;
    TQRPrinter printer;
    RecordPages(printer, {QStringLiteral("first"), QStringLiteral("second")});
    printer.SetCurrentPage(2);
    auto probe = PageProbe::Play(*printer.Page());
    ASSERT_EQ(probe->Texts.size(), 1u);
    EXPECT_EQ(probe->Texts[0].Value, QStringLiteral("second"));
    EXPECT_NEAR(probe->Texts[0].Baseline.x(), 400, 0.5);
    EXPECT_NEAR(probe->Texts[0].Baseline.y(), 400, 1);
}

TEST(QRPrinter, ProgressWindowStepRule)
{
    TQRPrinter printer;
    printer.SetProgressCaption(QStringLiteral("Busy here"));
    TQRProgressForm progress(&printer);
    QDialog *window = progress.Window();
    EXPECT_EQ(window->size(), QSize(400, 140));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Busy here"));
    EXPECT_EQ(progress.TextLabel()->pos(), QPoint(20, 10));
    EXPECT_EQ(progress.ProgressBar()->geometry(), QRect(20, 40, 360, 20));
    EXPECT_EQ(progress.CancelButton()->geometry(), QRect(170, 75, 60, 26));
    EXPECT_EQ(progress.CancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(progress.CancelButton()->isDefault());

    progress.SetMax(7);
    EXPECT_EQ(progress.StepSize(), 1);
    progress.SetPosition(1);
    EXPECT_EQ(progress.Position(), 1);

    progress.SetMax(100);
    EXPECT_EQ(progress.StepSize(), 5);
    for (int i = 1; i <= 4; ++i) {
        progress.SetPosition(i);
        EXPECT_EQ(progress.Position(), 0) << i;
    }
    progress.SetPosition(5);
    EXPECT_EQ(progress.Position(), 5);
    progress.SetPosition(9);
    EXPECT_EQ(progress.Position(), 5);
    progress.SetPosition(10);
    EXPECT_EQ(progress.Position(), 10);

    progress.SetMax(0);
    for (int i = 1; i <= 30; ++i)
        progress.SetPosition(i);
    EXPECT_EQ(progress.Position(), 0);

    progress.SetText(QStringLiteral("Preparing report x"));
    EXPECT_EQ(progress.TextLabel()->text(), QStringLiteral("Preparing report x"));

    EXPECT_FALSE(printer.Cancelled());
    progress.CancelButton()->click();
    EXPECT_TRUE(printer.Cancelled());
}

TEST(QRPrinter, PrintsAllPagesAsOneJob)
{
    PrinterScope scope;
    TQRPrinter printer;
    printer.SetShowProgress(false);
    RecordPages(printer, {QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")});
    printer.SetTitle(QStringLiteral("Three pages"));
    printer.SetCurrentPage(2);
    printer.Print();
    EXPECT_EQ(scope.Asked, 1);
    EXPECT_EQ(printer.CurrentPage(), 2);
    EXPECT_EQ(PdfPageCount(scope.NextFile), 3);
    const QString text = PdfText(scope.NextFile);
    const int a = text.indexOf(QStringLiteral("Alpha"));
    const int b = text.indexOf(QStringLiteral("Bravo"));
    const int c = text.indexOf(QStringLiteral("Charlie"));
    EXPECT_GE(a, 0);
    EXPECT_GT(b, a);
    EXPECT_GT(c, b);
    EXPECT_EQ(Printers::Printer()->docName(), QStringLiteral("Three pages"));

    // One page, one sheet: no extra page is started.
    TQRPrinter single;
    RecordPages(single, {QStringLiteral("Solo")});
    scope.NextFile = scope.Dir.filePath(QStringLiteral("single.pdf"));
    single.Print();
    EXPECT_EQ(PdfPageCount(scope.NextFile), 1);
}

TEST(QRPrinter, PrintLandsTextWhereThePageHasIt)
{
    PrinterScope scope;
    TQRPrinter printer;
    printer.SetShowProgress(false);
    printer.BeginDoc();
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(40);
    printer.Canvas()->setFont(font);
    // Quarter and three quarters of the printable width, half the height.
    const int w = printer.PageWidth() * 4;
    const int h = printer.PageHeight() * 4;
    printer.Canvas()->drawText(QPointF(w / 4, h / 2), QStringLiteral("Left"));
    printer.Canvas()->drawText(QPointF(3 * w / 4, h / 2), QStringLiteral("Right"));
    printer.EndDoc();
    printer.Print();
    // A4 with the PDF printer's margins: the printable area starts at the offsets.
    const QRect paint = Printers::Printer()->pageLayout().paintRectPoints();
    const auto words = PdfWords(scope.NextFile);
    const PdfWord *left = FindWord(words, QStringLiteral("Left"));
    const PdfWord *right = FindWord(words, QStringLiteral("Right"));
    ASSERT_TRUE(left && right);
    EXPECT_NEAR(left->XMin, paint.left() + paint.width() / 4.0, 1.5);
    EXPECT_NEAR(right->XMin, paint.left() + paint.width() * 3 / 4.0, 1.5);
    EXPECT_NEAR(left->YMax, right->YMax, 0.1);
    EXPECT_NEAR(left->YMax, paint.top() + paint.height() / 2.0, 3);
}

TEST(QRPrinter, CancelledPrintAbortsTheJob)
{
    PrinterScope scope;
    TQRPrinter printer;
    printer.SetShowProgress(true);
    RecordPages(printer, {QStringLiteral("One"), QStringLiteral("Two")});
    // Once the job has started, the Cancel button of the printing window is pressed as
    // soon as events run with the window shown (it shows only after the file name).
    QTimer canceller;
    canceller.setInterval(0);
    QObject::connect(&canceller, &QTimer::timeout, [&canceller] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(top);
            if (!dialog || !dialog->isVisible())
                continue;
            for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                if (button->text() == QStringLiteral("Cancel")) {
                    canceller.stop();
                    button->click();
                }
            }
        }
    });
    Printers::SetOnAskFileName([&](QString &fileName) {
        ++scope.Asked;
        fileName = scope.NextFile;
        canceller.start();
        return true;
    });
    EXPECT_TRUE(printer.Print());
    canceller.stop();
    EXPECT_TRUE(printer.Cancelled());
    EXPECT_EQ(scope.Asked, 1);
    EXPECT_FALSE(QFile::exists(scope.NextFile));
    EXPECT_FALSE(Printers::IsPrinting());
}

TEST(QRPrinter, PreviewHookIsCalledWithFinishedPages)
{
    TQRPrinter printer;
    EXPECT_EQ(printer.ProgressCaption(), QStringLiteral("Report engine version 1.1a"));
    EXPECT_EQ(printer.PreviewCaption(), QStringLiteral("Report engine version 1.1a"));
    PrinterScope scope;
    RecordPages(printer, {QStringLiteral("a"), QStringLiteral("b")});
    int calls = 0;
    printer.OnPreview = [&] {
        ++calls;
        EXPECT_EQ(printer.Status(), stFinished);
        // The hook may replace itself while it runs.
        printer.OnPreview = nullptr;
    };
    printer.ShowPreview();
    EXPECT_EQ(calls, 1);
}
