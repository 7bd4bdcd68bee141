#include "ReportTestSupport.h"

#include "report/QRPreview.h"
#include "report/QRPrinter.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Three recorded pages; page n has a black square a hundred pixels from the printable
// area's top-left corner, n × 100 pixels wide.
void RecordThreePages()
{
    TQRPrinter *printer = QRPrinter();
    printer->BeginDoc();
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            printer->NewPage();
        printer->Canvas()->fillRect(QRect(400, 400, page * 400, page * 400), Qt::black);
    }
    printer->EndDoc();
}

class PreviewControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QRPrinter()->PrinterOK());
        RecordThreePages();
    }
    void TearDown() override { QRPrinter()->ClearPages(); }
    PrinterScope Scope;
};

} // namespace

TEST_F(PreviewControl, StartsOnPageOneFittingThePage)
{
    TQRPreview preview;
    EXPECT_EQ(preview.size(), QSize(250, 250));
    EXPECT_EQ(preview.PageNumber(), 1);
    EXPECT_EQ(preview.Zoom(), 100);
    EXPECT_EQ(preview.ZoomMode(), TQRPreview::zmFitPage);
    EXPECT_TRUE(preview.horizontalScrollBar()->hasTracking());
    preview.show();
    QCoreApplication::processEvents();
    const TQRPrinter *p = QRPrinter();
    const int expected = std::min(QRRound(250.0 / p->SheetWidth() * 95), QRRound(250.0 / p->SheetHeight() * 95));
    EXPECT_EQ(preview.Zoom(), expected);
    EXPECT_EQ(preview.ZoomMode(), TQRPreview::zmFitPage);
}

TEST_F(PreviewControl, LayoutSizesAndCentresTheSurface)
{
    TQRPreview preview;
    preview.resize(400, 300);
    preview.show();
    const TQRPrinter *p = QRPrinter();
    preview.SetZoom(100);
    EXPECT_EQ(preview.ZoomMode(), TQRPreview::zmFixed);
    EXPECT_EQ(preview.Surface()->size(), QSize(p->SheetWidth() + 4, p->SheetHeight() + 4));
    EXPECT_EQ(preview.SurfacePosition(), QPoint(0, 0));
    EXPECT_EQ(preview.Surface()->Zoom(), 100);
    EXPECT_GT(preview.verticalScrollBar()->maximum(), 0);

    preview.SetZoom(25);
    const int w = QRRound(p->SheetWidth() * 25 / 100.0) + 4;
    const int h = QRRound(p->SheetHeight() * 25 / 100.0) + 4;
    EXPECT_EQ(preview.Surface()->size(), QSize(w, h));
    EXPECT_EQ(preview.SurfacePosition(), QPoint((400 - w) / 2, (300 - h) / 2));
    EXPECT_EQ(preview.Surface()->pos(), preview.SurfacePosition());
    EXPECT_EQ(preview.verticalScrollBar()->maximum(), 0);

    // A fixed zoom survives a resize; the width mode follows it.
    preview.resize(600, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), 25);
    preview.ZoomToWidth();
    EXPECT_EQ(preview.ZoomMode(), TQRPreview::zmPageWidth);
    EXPECT_EQ(preview.Zoom(), QRRound(600.0 / p->SheetWidth() * 98));
    preview.resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), QRRound(500.0 / p->SheetWidth() * 98));
    preview.ZoomToFit();
    EXPECT_EQ(preview.ZoomMode(), TQRPreview::zmFitPage);
    preview.resize(300, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), std::min(QRRound(300.0 / p->SheetWidth() * 95), QRRound(700.0 / p->SheetHeight() * 95)));
}

TEST_F(PreviewControl, PageNumberStaysWithinTheStore)
{
    TQRPreview preview;
    preview.resize(300, 300);
    preview.show();
    preview.SetZoom(100);
    preview.verticalScrollBar()->setValue(120);
    for (int bad : {0, -2, 4, 1}) {
        preview.SetPageNumber(bad);
        EXPECT_EQ(preview.PageNumber(), 1);
    }
    EXPECT_EQ(preview.verticalScrollBar()->value(), 120);
    preview.SetPageNumber(3);
    EXPECT_EQ(preview.PageNumber(), 3);
    EXPECT_EQ(QRPrinter()->CurrentPage(), 3);
    EXPECT_EQ(preview.verticalScrollBar()->value(), 0);
    // Scrolling moves the surface.
    preview.verticalScrollBar()->setValue(40);
    EXPECT_EQ(preview.Surface()->y(), -40);
}

TEST_F(PreviewControl, SurfaceShowsTheSheetPageAndShadow)
{
    TQRPreview preview;
    preview.resize(300, 300);
    preview.show();
    preview.SetZoom(100);
    preview.SetPageNumber(2);
    const QImage image = preview.Surface()->grab().toImage();
    const int W = image.width();
    const int H = image.height();
    const TQRPrinter *p = QRPrinter();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(0, H / 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(W - 3, H / 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(W / 2, H - 3), QColor(Qt::black));
    // The shadow: two pixels on the right from y = 2 and at the bottom from x = 2.
    EXPECT_EQ(image.pixelColor(W - 1, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(W - 2, H / 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(2, H - 1), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(W - 1, 0), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(0, H - 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    // Page 2's square: 100 to 300 pixels into the printable area.
    const int x0 = p->LeftOffset() + 1;
    const int y0 = p->TopOffset() + 1;
    EXPECT_EQ(image.pixelColor(x0 + 110, y0 + 110), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(x0 + 290, y0 + 290), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(x0 + 310, y0 + 200), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(x0 + 90, y0 + 200), QColor(Qt::white));

    // Half size: the page shrinks with the sheet.
    preview.SetZoom(50);
    const QImage half = preview.Surface()->grab().toImage();
    EXPECT_EQ(half.width(), QRRound(p->SheetWidth() * 50 / 100.0) + 4);
    EXPECT_EQ(
        half.pixelColor(QRRound(p->LeftOffset() * 50 / 100.0) + 1 + 75, QRRound(p->TopOffset() * 50 / 100.0) + 1 + 75),
        QColor(Qt::black));
    EXPECT_EQ(
        half.pixelColor(QRRound(p->LeftOffset() * 50 / 100.0) + 1 + 160, QRRound(p->TopOffset() * 50 / 100.0) + 1 + 75),
        QColor(Qt::white));
}

// Without a usable printer the fit commands show the page at 100 %. The printer's
// state cannot come back once lost, so this runs in a process of its own.
TEST(PreviewWithoutPrinter, FitCommandsFallBackToActualSize)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALLOWMERE_REPORT_NO_PRINTER"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=NoPrinterChild.*"), QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

TEST(NoPrinterChild, FitCommandsFallBackToActualSize)
{
    if (!qEnvironmentVariableIsSet("TALLOWMERE_REPORT_NO_PRINTER"))
        GTEST_SKIP() << "runs inside PreviewWithoutPrinter only";
    PrinterScope scope(QStringList{});
    TQRPrinter *printer = QRPrinter();
    printer->BeginDoc();
    printer->EndDoc();
    EXPECT_FALSE(printer->PrinterOK());
    TQRPreview preview;
    preview.resize(300, 300);
    preview.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), 100);
    preview.SetZoom(40);
    preview.ZoomToFit();
    EXPECT_EQ(preview.Zoom(), 100);
    EXPECT_EQ(preview.ZoomMode(), TQRPreview::zmFixed);
    preview.SetZoom(40);
    preview.ZoomToWidth();
    EXPECT_EQ(preview.Zoom(), 100);
    EXPECT_EQ(preview.Surface()->width(), QRRound(printer->SheetWidth() * 1.0) + 4);
    printer->ClearPages();
}
