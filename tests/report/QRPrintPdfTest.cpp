#include "ReportTestSupport.h"

#include "platform/core/Formatting.h"
#include "report/QRPrinter.h"
#include "report/QRShape.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QFont ArialPixels(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

TQRLabel *Label(TQRBand *band, const QString &caption, int left, int top, int width, int height,
                TAlignment alignment = taLeftJustify, const QFont *font = nullptr)
{
    auto *label = new TQRLabel(band);
    if (font)
        label->SetFont(*font);
    label->SetAlignment(alignment);
    label->SetBounds(left, top, width, height);
    label->SetCaption(caption);
    return label;
}

// A one-page form laid out like a result report: title band, header band with a table
// of years, amounts and rates, footer band with a date-time field and two notes.
struct ResultForm : TestForm {
    ResultForm()
    {
        Form->setFont(ArialPixels(13));
        Report->SetTitleBeforeHeader(true);
        TQRBand *title = AddBand(QStringLiteral("Title"), rbTitle, 181);
        TQRBand *header = AddBand(QStringLiteral("PageHeader"), rbPageHeader, 370);
        TQRBand *footer = AddBand(QStringLiteral("PageFooter"), rbPageFooter, 102);

        const QFont big = ArialPixels(27, true);
        const QFont sub = ArialPixels(15, true);
        const QFont bold = ArialPixels(13, true);
        const QFont small = ArialPixels(11);
        auto *name = Label(title, QStringLiteral("Tallowmere"), 30, 68, 729, 32, taLeftJustify, &big);
        name->SetAutoSize(false);
        Header1 = Label(title, QString(), 30, 101, 729, 18, taLeftJustify, &sub);
        Header1->SetAutoSize(false);

        auto *rule = new TQRShape(header);
        rule->SetBounds(30, 3, 735, 65);
        rule->SetShape(qrsHorLine);
        Label(header, QStringLiteral("Year"), 150, 23, 29, 16, taLeftJustify, &bold);
        Label(header, QStringLiteral("Cash Flow"), 227, 24, 66, 16, taLeftJustify, &bold);
        Label(header, QStringLiteral("Rate"), 415, 23, 87, 16, taLeftJustify, &bold);
        const int tops[] = {69, 93, 117, 140, 164, 188, 212, 235, 259, 283};
        for (int year = 1; year <= 10; ++year) {
            Label(header, QString::number(year), year == 10 ? 157 : 161, tops[year - 1] - 1, 7, 16);
            auto *amount = Label(header, QStringLiteral("1"), 246, tops[year - 1], 47, 18, taRightJustify);
            amount->SetCaption(QStringLiteral("$%1,000.00").arg(year));
            Amounts.push_back(amount);
        }
        Label(header, QStringLiteral("4.000%"), 464, 70, 19, 16, taRightJustify);

        auto *footerRule = new TQRShape(footer);
        footerRule->SetBounds(30, 2, 735, 65);
        footerRule->SetShape(qrsHorLine);
        Label(footer, QStringLiteral("Tallowmere 32, 1.1"), 30, 4, 75, 14, taLeftJustify, &small);
        Stamp = new TQRSysData(footer);
        Stamp->SetFont(small);
        Stamp->SetData(qrsDateTime);
        Stamp->SetText(QStringLiteral("Printed at "));
        Stamp->SetAlignment(taCenter);
        Stamp->SetBounds(333, 4, 140, 14);
        Stamp->SetAutoSize(true);
        Label(footer, QStringLiteral("NOTE:  While effort was made"), 41, 33, 713, 14, taLeftJustify, &small)
            ->SetAutoSize(false);
        Label(footer, QStringLiteral("applicability of this information"), 41, 47, 713, 14, taLeftJustify, &small)
            ->SetAutoSize(false);

        Report->BeforePrint = [this](QObject *, bool &) {
            Header1->SetCaption(QStringLiteral("Compliments of Corvane Software"));
        };
    }
    TQRLabel *Header1 = nullptr;
    TQRSysData *Stamp = nullptr;
    std::vector<TQRLabel *> Amounts;
};

// Prints the form from inside its preview, as the preview window's Print button does.
void PrintFromPreview(TestForm &form)
{
    QRPrinter()->OnPreview = [] { QRPrinter()->Print(); };
    form.Report->Preview();
    QRPrinter()->OnPreview = nullptr;
}

} // namespace

TEST(ReportPdf, ResultReportPrintsItsTextsInLayoutOrder)
{
    PrinterScope scope;
    ResultForm form;
    form.Report->SetReportTitle(QStringLiteral("Net Present Value"));
    const QString before = FormatDateTime(QStringLiteral("c"), QDateTime::currentDateTime());
    PrintFromPreview(form);
    const QString after = FormatDateTime(QStringLiteral("c"), QDateTime::currentDateTime());
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
    ASSERT_EQ(scope.Asked, 1);
    EXPECT_EQ(PdfPageCount(scope.NextFile), 1);

    const QString text = PdfText(scope.NextFile);
    const QStringList expected = {QStringLiteral("Tallowmere"), QStringLiteral("Compliments of Corvane Software"),
                                  QStringLiteral("Year"), QStringLiteral("Cash Flow"), QStringLiteral("Rate")};
    int at = -1;
    for (const QString &piece : expected) {
        const int next = text.indexOf(piece, at + 1);
        EXPECT_GT(next, at) << piece.toStdString() << "\n" << text.toStdString();
        at = std::max(at, next);
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Printed at ") + before) ||
                text.contains(QStringLiteral("Printed at ") + after))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("NOTE:  While effort was made")) ||
                text.contains(QStringLiteral("NOTE: While effort was made")));

    // Positions on the sheet: page units are a quarter of a screen pixel of the
    // printable area, which starts at the printer's margins.
    const QRectF paint = Printers::Printer()->pageLayout().paintRect(QPageLayout::Point);
    const double pointsPerPixel = 72.0 / QRScreenPixelsPerInch();
    const auto words = PdfWords(scope.NextFile);
    const PdfWord *title = FindWord(words, QStringLiteral("Tallowmere"));
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->XMin, paint.left() + 30 * pointsPerPixel, 1.5);
    const PdfWord *year = FindWord(words, QStringLiteral("Year"));
    ASSERT_NE(year, nullptr);
    EXPECT_NEAR(year->XMin, paint.left() + 150 * pointsPerPixel, 1.5);
    // The header band starts below the 181-pixel title band.
    EXPECT_GT(year->YMin, paint.top() + (181 + 23) * pointsPerPixel - 2);
    EXPECT_LT(year->YMin, paint.top() + (181 + 23 + 4) * pointsPerPixel);

    // Amounts end at the same right edge, one space short of it, in year order.
    double lastTop = 0;
    double rightEdge = -1;
    for (int y = 1; y <= 10; ++y) {
        const PdfWord *amount = FindWord(words, QStringLiteral("$%1,000.00").arg(y));
        ASSERT_NE(amount, nullptr) << y;
        EXPECT_GT(amount->YMin, lastTop);
        lastTop = amount->YMin;
        if (rightEdge < 0)
            rightEdge = amount->XMax;
        EXPECT_NEAR(amount->XMax, rightEdge, 0.5);
    }
    EXPECT_LT(rightEdge, paint.left() + 293 * pointsPerPixel);
    EXPECT_GT(rightEdge, paint.left() + 293 * pointsPerPixel - 5);

    // The footer sits at the bottom of the printable area.
    const PdfWord *note = FindWord(words, QStringLiteral("NOTE:"));
    ASSERT_NE(note, nullptr);
    const double footerTop = paint.top() + (QRPrinter()->PageHeight() - 102) * pointsPerPixel;
    EXPECT_NEAR(note->YMin, footerTop + 33 * pointsPerPixel, 3);
}

TEST(ReportPdf, DeclinedFileNamePrintsNothing)
{
    PrinterScope scope;
    scope.Decline = true;
    ResultForm form;
    PrintFromPreview(form);
    EXPECT_EQ(scope.Asked, 1);
    EXPECT_FALSE(QFileInfo::exists(scope.NextFile));
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
}

// Where CUPS offers a PDF queue (cups-pdf), the report goes through it as a real job.
TEST(ReportPdf, PrintsThroughACupsPdfQueue)
{
    QString queue;
    for (const QString &name : QPrinterInfo::availablePrinterNames()) {
        if (name.contains(QLatin1String("PDF"), Qt::CaseInsensitive))
            queue = name;
    }
    // The desktop CI stage sets up the queue and sets this, so that a lost queue fails there.
    if (queue.isEmpty() && qEnvironmentVariableIntValue("TALLOWMERE_REQUIRE_CUPS_PDF") != 0)
        FAIL() << "no CUPS PDF queue installed, and TALLOWMERE_REQUIRE_CUPS_PDF is set";
    if (queue.isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue installed";
    const QStringList outputDirs = {QDir::home().filePath(QStringLiteral("PDF")),
                                    QStringLiteral("/var/spool/cups-pdf/") + qEnvironmentVariable("USER"),
                                    QStringLiteral("/var/spool/cups-pdf/ANONYMOUS")};
    auto newest = [&]() {
        QFileInfo best;
        for (const QString &dir : outputDirs) {
            for (const QFileInfo &info : QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
                if (!best.exists() || info.lastModified() > best.lastModified())
                    best = info;
            }
        }
        return best;
    };
    const QFileInfo before = newest();

    PrinterScope scope({queue});
    ResultForm form;
    form.Report->SetReportTitle(QStringLiteral("CupsJob"));
    PrintFromPreview(form);
    EXPECT_EQ(scope.Asked, 0);

    QFileInfo produced;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        produced = newest();
        if (produced.exists() && (!before.exists() || produced.lastModified() > before.lastModified() ||
                                  produced.filePath() != before.filePath()))
            break;
        QThread::msleep(200);
        produced = QFileInfo();
    }
    ASSERT_TRUE(produced.exists()) << "the queue wrote no PDF";
    // The spooler turns the text into outline glyphs, so the job shows by its name and
    // its one page rather than by readable words.
    QElapsedTimer settle;
    settle.start();
    while (PdfPageCount(produced.filePath()) != 1 && settle.elapsed() < 10000)
        QThread::msleep(200);
    EXPECT_EQ(PdfPageCount(produced.filePath()), 1);
    EXPECT_TRUE(produced.fileName().contains(QStringLiteral("CupsJob"))) << produced.fileName().toStdString();
}
