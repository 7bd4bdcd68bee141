#include "PageProbe.h"
#include "ReportTestSupport.h"

#include "platform/core/Formatting.h"
#include "report/QRMemo.h"
#include "report/QRPrinter.h"
#include "report/QRShape.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QFont PixelFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The page font for a control font: its size in points, times four, back in pixels.
int PagePixels(int pixels)
{
    const int P = QRScreenPixelsPerInch();
    const int points = QRMulDiv(pixels, 72, P);
    return QRMulDiv(points * 4, P, 72);
}

class PrintControls : public ::testing::Test {
protected:
    PrintControls()
    {
        QRPrinter()->SetOrientation(poPortrait);
        QRPrinter()->ComputeMetrics();
        Form.Form->setFont(PixelFont(13));
        Band = Form.AddBand(QStringLiteral("Band"), rbTitle, 200);
    }
    // Runs the report and keeps its first page.
    const PageProbe &Page()
    {
        Run = RunPreview(*Form.Report);
        EXPECT_GE(Run.Pages.size(), 1u);
        return *Run.Pages.at(0);
    }
    double SpaceOnPage(int pixels) const { return QFontMetrics(PixelFont(PagePixels(pixels))).horizontalAdvance(' '); }

    PrinterScope Scope;
    TestForm Form;
    TQRBand *Band = nullptr;
    PreviewRun Run;
};

} // namespace

TEST_F(PrintControls, AutoSizeKeepsTheRightEdgeOfRightAlignedLabels)
{
    auto *right = new TQRLabel(Band);
    right->SetAlignment(taRightJustify);
    right->SetBounds(246, 69, 47, 18);
    right->SetCaption(QStringLiteral("$1,000.00"));
    const QFontMetrics metrics(right->Font());
    EXPECT_EQ(right->Width(), metrics.horizontalAdvance(QStringLiteral("$1,000.00")));
    EXPECT_EQ(right->Left() + right->Width(), 293);
    EXPECT_EQ(right->Height(), metrics.height());
    right->SetCaption(QStringLiteral("$123,456,789.10"));
    EXPECT_EQ(right->Left() + right->Width(), 293);

    auto *left = new TQRLabel(Band);
    left->SetBounds(30, 10, 100, 18);
    left->SetCaption(QStringLiteral("Year"));
    EXPECT_EQ(left->Left(), 30);
    EXPECT_EQ(left->Width(), metrics.horizontalAdvance(QStringLiteral("Year")));

    // An empty caption measures as a space; an accelerator mark takes no room.
    left->SetCaption(QString());
    EXPECT_EQ(left->Width(), metrics.horizontalAdvance(QLatin1Char(' ')));
    left->SetCaption(QStringLiteral("A&B"));
    EXPECT_EQ(left->Width(), metrics.horizontalAdvance(QStringLiteral("AB")));

    // A font change resizes as well; without auto-size nothing moves.
    left->SetFont(PixelFont(26));
    EXPECT_EQ(left->Width(), QFontMetrics(PixelFont(26)).horizontalAdvance(QStringLiteral("AB")));
    left->SetAutoSize(false);
    left->SetBounds(30, 10, 100, 18);
    left->SetCaption(QStringLiteral("Much longer text"));
    EXPECT_EQ(left->Width(), 100);
}

TEST_F(PrintControls, LabelsPlaceTheirTextByAlignment)
{
    Form.AddLabel(Band, QStringLiteral("left"), QStringLiteral("Year"), 150, 23);
    auto *right = new TQRLabel(Band);
    right->SetAlignment(taRightJustify);
    right->SetBounds(246, 69, 47, 18);
    right->SetCaption(QStringLiteral("$1,000.00"));
    auto *centre = new TQRLabel(Band);
    centre->SetAlignment(taCenter);
    centre->SetBounds(333, 100, 140, 14);
    centre->SetAutoSize(false);
    centre->SetCaption(QStringLiteral("Centred"));
    const PageProbe &page = Page();

    const PageProbe::Text *year = page.Find(QStringLiteral("Year"));
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->Font.pixelSize(), PagePixels(13));
    const double ascent = QFontMetrics(year->Font).ascent();
    EXPECT_NEAR(year->Baseline.x(), 150 * 4, 0.5);
    EXPECT_NEAR(year->Baseline.y() - ascent, 23 * 4, 1);

    // Right-aligned: the text ends one space before the right edge.
    const PageProbe::Text *money = page.Find(QStringLiteral("$1,000.00 "));
    ASSERT_NE(money, nullptr);
    EXPECT_NEAR(money->Baseline.x() + money->Width, 293 * 4, 1);
    EXPECT_NEAR(money->Baseline.x() + QFontMetrics(money->Font).horizontalAdvance(QStringLiteral("$1,000.00")),
                293 * 4 - SpaceOnPage(13), 1.5);

    const PageProbe::Text *centred = page.Find(QStringLiteral("Centred"));
    ASSERT_NE(centred, nullptr);
    EXPECT_NEAR(centred->Baseline.x() + centred->Width / 2, (333 + 140 / 2) * 4, 1);
}

TEST_F(PrintControls, AlignToBandUsesThePrintableWidth)
{
    auto *right = new TQRLabel(Band);
    right->SetAlignToBand(true);
    right->SetAlignment(taRightJustify);
    right->SetCaption(QStringLiteral("Edge"));
    auto *centre = new TQRLabel(Band);
    centre->SetAlignToBand(true);
    centre->SetAlignment(taCenter);
    centre->SetCaption(QStringLiteral("Middle"));
    centre->move(700, 40);
    const PageProbe &page = Page();
    const int PW = QRPrinter()->PageWidth();

    const PageProbe::Text *edge = page.Find(QStringLiteral("Edge"));
    ASSERT_NE(edge, nullptr);
    EXPECT_NEAR(edge->Baseline.x() + edge->Width, PW * 4, 1);

    const PageProbe::Text *middle = page.Find(QStringLiteral("Middle"));
    ASSERT_NE(middle, nullptr);
    const int W = QFontMetrics(centre->Font()).horizontalAdvance(QStringLiteral("Middle "));
    const int L = QRRound(PW * 0.5 - W * 0.5);
    const int R = QRRound(PW * 0.5 + W * 0.5);
    EXPECT_NEAR(middle->Baseline.x() + middle->Width / 2, (L + (R - L) / 2) * 4, 1);
}

TEST_F(PrintControls, OnPrintChangesTheTextAndAnEmptyTextPrintsNothing)
{
    auto *changed = Form.AddLabel(Band, QStringLiteral("changed"), QStringLiteral("Before"), 10, 10);
    changed->OnPrint = [](QObject *, QString &value) { value = QStringLiteral("After"); };
    auto *emptied = Form.AddLabel(Band, QStringLiteral("emptied"), QStringLiteral("Gone"), 10, 50);
    emptied->SetColor(QColor(0, 255, 0));
    emptied->OnPrint = [](QObject *, QString &value) { value.clear(); };
    auto *opaque = Form.AddLabel(Band, QStringLiteral("opaque"), QStringLiteral("Filled"), 10, 90);
    opaque->SetColor(QColor(255, 255, 0));
    auto *clear = Form.AddLabel(Band, QStringLiteral("clear"), QStringLiteral("Clear"), 10, 130);
    clear->SetColor(QColor(0, 255, 255));
    clear->SetTransparent(true);
    auto *hidden = Form.AddLabel(Band, QStringLiteral("hidden"), QStringLiteral("Hidden"), 10, 170);
    hidden->SetVisible(false);
    const PageProbe &page = Page();

    EXPECT_NE(page.Find(QStringLiteral("After")), nullptr);
    EXPECT_EQ(page.Find(QStringLiteral("Before")), nullptr);
    EXPECT_EQ(changed->Caption(), QStringLiteral("Before"));
    EXPECT_EQ(page.Find(QStringLiteral("Hidden")), nullptr);
    EXPECT_NE(page.Find(QStringLiteral("Clear")), nullptr);
    int yellow = 0;
    for (const auto &rect : page.Rects) {
        EXPECT_NE(rect.Brush, QColor(0, 255, 0));
        EXPECT_NE(rect.Brush, QColor(0, 255, 255));
        if (rect.Brush == QColor(255, 255, 0)) {
            ++yellow;
            EXPECT_EQ(rect.Value.top(), 90 * 4);
            EXPECT_EQ(rect.Value.left(), 10 * 4);
            EXPECT_EQ(rect.Value.width(), opaque->Width() * 4);
        }
    }
    EXPECT_EQ(yellow, 1);
}

TEST_F(PrintControls, SystemFieldsPrintTheirValues)
{
    auto *stamp = new TQRSysData(Band);
    EXPECT_FALSE(stamp->AutoSize());
    EXPECT_EQ(stamp->Caption(), QStringLiteral("(Time)"));
    stamp->SetData(qrsDateTime);
    stamp->SetText(QStringLiteral("Printed at "));
    EXPECT_EQ(stamp->Caption(), QStringLiteral("Printed at (Date, Time)"));
    stamp->SetAutoSize(true);
    stamp->SetAlignment(taCenter);
    stamp->move(333, 4);

    const struct {
        TQRSysDataType Data;
        const char *Name;
    } names[] = {{qrsTime, "Time"},
                 {qrsDate, "Date"},
                 {qrsDateTime, "Date, Time"},
                 {qrsPageNumber, "Page#"},
                 {qrsReportTitle, "ReportTitle"},
                 {qrsDetailCount, "DetailCount"},
                 {qrsDetailNo, "Detail#"}};
    auto *probe = new TQRSysData(Band);
    for (const auto &row : names) {
        probe->SetData(row.Data);
        EXPECT_EQ(probe->Caption(), QLatin1Char('(') + QLatin1String(row.Name) + QLatin1Char(')'));
    }
    probe->SetVisible(false);

    auto *title = new TQRSysData(Band);
    title->SetData(qrsReportTitle);
    title->SetAutoSize(true);
    title->move(10, 40);
    auto *detail = new TQRSysData(Band);
    detail->SetData(qrsDetailNo);
    detail->SetText(QStringLiteral("No "));
    detail->SetAutoSize(true);
    detail->move(10, 80);
    Form.Report->SetReportTitle(QStringLiteral("Quarterly"));

    const QString before = FormatDateTime(QStringLiteral("c"), QDateTime::currentDateTime());
    const PageProbe &page = Page();
    const QString after = FormatDateTime(QStringLiteral("c"), QDateTime::currentDateTime());
    const bool stamped = page.Find(QStringLiteral("Printed at ") + before) ||
                         page.Find(QStringLiteral("Printed at ") + after);
    EXPECT_TRUE(stamped) << page.AllText().toStdString();
    // Printing changed the caption, and auto-size the width around the centre's left.
    EXPECT_TRUE(stamp->Caption().startsWith(QStringLiteral("Printed at ")));
    EXPECT_FALSE(stamp->Caption().contains(QStringLiteral("(Date, Time)")));
    EXPECT_EQ(stamp->Left(), 333);
    EXPECT_NE(page.Find(QStringLiteral("Quarterly")), nullptr);
    // The title band prints before the detail pass: the first detail number.
    EXPECT_NE(page.Find(QStringLiteral("No 1")), nullptr);
}

TEST_F(PrintControls, PageNumberInTheFooterIsThePageBeingFinished)
{
    Form.AddBand(QStringLiteral("Detail"), rbDetail, 600);
    TQRBand *footer = Form.AddBand(QStringLiteral("Footer"), rbPageFooter, 30);
    auto *number = new TQRSysData(footer);
    number->SetData(qrsPageNumber);
    number->SetText(QStringLiteral("Page "));
    number->SetAutoSize(true);
    auto left = std::make_shared<int>(3);
    Form.Report->OnNeedData = [left](QObject *, bool &more) { more = (*left)-- > 0; };
    Page();
    ASSERT_EQ(Run.PageCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(Run.Pages[i]->Find(QStringLiteral("Page %1").arg(i + 1)), nullptr) << i;
        const PageProbe::Text *text = Run.Pages[i]->Find(QStringLiteral("Page %1").arg(i + 1));
        if (text) {
            const double top = text->Baseline.y() - QFontMetrics(text->Font).ascent();
            EXPECT_NEAR(top, (QRPrinter()->PageHeight() - 30) * 4, 1);
        }
    }
}

TEST_F(PrintControls, ShapesDrawTheirFigures)
{
    auto *line = new TQRShape(Band);
    EXPECT_EQ(line->Width(), 65);
    EXPECT_EQ(line->Height(), 65);
    line->SetBounds(30, 3, 735, 65);
    line->SetShape(qrsHorLine);
    EXPECT_EQ(line->Height(), 4);
    auto *vertical = new TQRShape(Band);
    QPen thick(QColor(0, 0, 255));
    thick.setWidth(2);
    vertical->SetPen(thick);
    vertical->SetBounds(100, 20, 65, 50);
    vertical->SetShape(qrsVertLine);
    EXPECT_EQ(vertical->Width(), 5);
    auto *box = new TQRShape(Band);
    box->SetBrush(QColor(255, 0, 255));
    box->SetBounds(200, 20, 40, 30);
    auto *both = new TQRShape(Band);
    both->SetPen(QPen(QColor(0, 128, 0)));
    both->SetBounds(300, 20, 40, 30);
    both->SetShape(qrsTopAndBottom);
    const PageProbe &page = Page();

    std::vector<PageProbe::Line> black, blue, green;
    for (const auto &l : page.Lines) {
        if (l.Color == QColor(0, 0, 255))
            blue.push_back(l);
        else if (l.Color == QColor(0, 128, 0))
            green.push_back(l);
        else if (l.Color == QColor(0, 0, 0) && l.Value.y1() == 12)
            black.push_back(l);
    }
    ASSERT_EQ(black.size(), 1u);
    EXPECT_EQ(black[0].Value, QLineF(120, 12, 765 * 4, 12));
    EXPECT_DOUBLE_EQ(black[0].PenWidth, 4);
    ASSERT_EQ(blue.size(), 1u);
    EXPECT_EQ(blue[0].Value, QLineF(400, 80, 400, 280));
    EXPECT_DOUBLE_EQ(blue[0].PenWidth, 8);
    ASSERT_EQ(green.size(), 2u);
    EXPECT_EQ(green[0].Value, QLineF(1200, 80, 1360, 80));
    EXPECT_EQ(green[1].Value, QLineF(1200, 200, 1360, 200));

    bool filled = false;
    for (const auto &r : page.Rects) {
        if (r.Brush == QColor(255, 0, 255)) {
            filled = true;
            EXPECT_NEAR(r.Value.left(), 800, 2);
            EXPECT_NEAR(r.Value.top(), 80, 2);
            EXPECT_NEAR(r.Value.right(), 960, 2);
            EXPECT_NEAR(r.Value.bottom(), 200, 2);
        }
    }
    EXPECT_TRUE(filled);
}

TEST_F(PrintControls, MemoPrintsTheLinesThatFit)
{
    auto *memo = new TQRMemo(Band);
    memo->setFont(PixelFont(13));
    const int lineHeight = QFontMetrics(memo->Font()).height();
    memo->SetBounds(20, 30, 200, lineHeight * 3 + lineHeight / 2);
    memo->SetLines({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"), QStringLiteral("four"),
                    QStringLiteral("five")});
    memo->SetAlignment(taRightJustify);
    memo->hide();
    auto *empty = new TQRMemo(Band);
    empty->SetBounds(300, 30, 100, 100);
    const PageProbe &page = Page();

    // Three and a half lines high: the fourth line would end below the memo.
    for (const char *text : {"one", "two", "three"}) {
        const PageProbe::Text *t = page.Find(QString::fromLatin1(text));
        if (!t) {
            ADD_FAILURE() << text << " is not printed";
            continue;
        }
        EXPECT_NEAR(t->Baseline.x() + t->Width, (20 + 200) * 4, 1) << text;
        EXPECT_EQ(t->Font.pixelSize(), PagePixels(13));
    }
    EXPECT_EQ(page.Find(QStringLiteral("four")), nullptr);
    EXPECT_EQ(page.Find(QStringLiteral("five")), nullptr);
    const PageProbe::Text *two = page.Find(QStringLiteral("two"));
    ASSERT_NE(two, nullptr);
    const double top = two->Baseline.y() - QFontMetrics(two->Font).ascent();
    EXPECT_NEAR(top, 30 * 4 + lineHeight * 4, 1);
    EXPECT_TRUE(empty->Lines().isEmpty());
}

TEST_F(PrintControls, EmptyCaptionShowsTheNameOnTheForm)
{
    auto *unnamed = new TQRLabel(Band);
    unnamed->setObjectName(QStringLiteral("lblTotal"));
    unnamed->SetAutoSize(false);
    unnamed->SetBounds(0, 0, 120, 20);
    unnamed->SetColor(QColor(255, 255, 0));
    auto *written = new TQRLabel(Band);
    written->SetAutoSize(false);
    written->SetBounds(0, 0, 120, 20);
    written->SetColor(QColor(255, 255, 0));
    written->SetCaption(QStringLiteral("(lblTotal)"));
    const QImage a = unnamed->grab().toImage();
    const QImage b = written->grab().toImage();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.pixelColor(119, 19), QColor(255, 255, 0));
}
