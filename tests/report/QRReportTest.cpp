#include "PageProbe.h"
#include "ReportTestSupport.h"

#include "platform/core/Exceptions.h"
#include "report/QRImage.h"
#include "report/QRPrinter.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using Log = std::vector<std::string>;

std::vector<TestForm::Placement> PlacementsOf(const TestForm &form, const std::string &band)
{
    std::vector<TestForm::Placement> result;
    for (const auto &p : form.Placed) {
        if (p.Band == band)
            result.push_back(p);
    }
    return result;
}

// Repeats the detail section count times.
void Repeat(TQRReport *report, int count)
{
    auto left = std::make_shared<int>(count);
    report->OnNeedData = [left](QObject *, bool &more) { more = (*left)-- > 0; };
}

class ReportEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QRPrinter()->PrinterOK());
        // Page sizes read before a run are those of the fresh printer, upright.
        QRPrinter()->SetOrientation(poPortrait);
        QRPrinter()->ComputeMetrics();
    }
    PrinterScope Scope;
};

} // namespace

TEST_F(ReportEngine, ProgramLayoutMakesOnePage)
{
    TestForm f;
    f.Report->SetTitleBeforeHeader(true);
    f.AddBand(QStringLiteral("Title"), rbTitle, 181);
    f.AddBand(QStringLiteral("PageHeader"), rbPageHeader, 370);
    f.AddBand(QStringLiteral("PageFooter"), rbPageFooter, 102);
    Log events;
    f.Report->BeforePrint = [&](QObject *, bool &) { events.push_back("BeforePrint"); };
    f.Report->OnStartPage = [&](QObject *) { events.push_back("StartPage"); };
    f.Report->OnEndPage = [&](QObject *) { events.push_back("EndPage"); };
    f.Report->BeforeDetail = [&](QObject *) { events.push_back("BeforeDetail"); };
    f.Report->AfterDetail = [&](QObject *) { events.push_back("AfterDetail"); };
    f.Report->AfterPrint = [&](QObject *) { events.push_back("AfterPrint"); };

    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.Calls, 1);
    EXPECT_EQ(run.PageCount, 1);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
    EXPECT_EQ(events, (Log{"BeforePrint", "StartPage", "BeforeDetail", "AfterDetail", "EndPage", "AfterPrint"}));
    const int available = QRPrinter()->PageHeight();
    ASSERT_EQ(f.Placed.size(), 3u);
    EXPECT_EQ(f.Placed[0].Band, "Title");
    EXPECT_EQ(f.Placed[0].Y, 0);
    EXPECT_EQ(f.Placed[1].Band, "PageHeader");
    EXPECT_EQ(f.Placed[1].Y, 181);
    EXPECT_EQ(f.Placed[2].Band, "PageFooter");
    EXPECT_EQ(f.Placed[2].Y, available - 102);
    EXPECT_EQ(f.Report->DetailNo(), 2);
    EXPECT_EQ(f.Report->PageNumber(), 1);
}

TEST_F(ReportEngine, TitleAfterHeaderByDefault)
{
    TestForm f;
    EXPECT_FALSE(f.Report->TitleBeforeHeader());
    f.AddBand(QStringLiteral("Title"), rbTitle, 181);
    f.AddBand(QStringLiteral("PageHeader"), rbPageHeader, 370);
    RunPreview(*f.Report);
    ASSERT_EQ(f.Placed.size(), 2u);
    EXPECT_EQ(f.Placed[0].Band, "PageHeader");
    EXPECT_EQ(f.Placed[0].Y, 0);
    EXPECT_EQ(f.Placed[1].Band, "Title");
    EXPECT_EQ(f.Placed[1].Y, 370);
    EXPECT_EQ(f.Report->ColumnTop(), 551);
}

namespace {
// The page header's height less that of one that leaves room for a whole number of
// 50-high details: 0, so that the last of them would end on the footer line, or 1, so
// that it ends just above it.
struct FooterLineRow {
    const char *Name;
    int Shorter;
};
class FooterLine : public ReportEngine, public ::testing::WithParamInterface<FooterLineRow> {};
} // namespace

TEST_P(FooterLine, BandEndingOnItMovesOn)
{
    const int available = QRPrinter()->PageHeight();
    const int exactHeader = 100 + (available - 200) % 50;
    const int header = exactHeader - GetParam().Shorter;
    TestForm f;
    f.AddBand(QStringLiteral("Header"), rbPageHeader, header);
    f.AddBand(QStringLiteral("Detail"), rbDetail, 50);
    f.AddBand(QStringLiteral("Footer"), rbPageFooter, 100);
    const int room = available - 100 - exactHeader;
    Repeat(f.Report, room / 50 + 1);
    const PreviewRun run = RunPreview(*f.Report);
    const auto details = PlacementsOf(f, "Detail");
    ASSERT_EQ(int(details.size()), room / 50 + 1);
    const int onFirst = int(std::count_if(details.begin(), details.end(), [](auto &p) { return p.Page == 1; }));
    if (header == exactHeader) {
        EXPECT_EQ(onFirst, room / 50 - 1);
        EXPECT_EQ(run.PageCount, 2);
    } else {
        EXPECT_EQ(onFirst, room / 50);
        EXPECT_EQ(details[onFirst - 1].Y + 50, available - 100 - 1);
    }
    const auto &firstOnNext = details[onFirst];
    EXPECT_EQ(firstOnNext.Page, 2);
    EXPECT_EQ(firstOnNext.Y, header);
    // Page header and footer on both pages.
    EXPECT_EQ(PlacementsOf(f, "Header").size(), 2u);
    const auto footers = PlacementsOf(f, "Footer");
    ASSERT_EQ(footers.size(), 2u);
    EXPECT_EQ(footers[0].Y, available - 100);
    EXPECT_EQ(footers[1].Page, 2);
}

INSTANTIATE_TEST_SUITE_P(ReportEngine, FooterLine,
                         ::testing::Values(FooterLineRow{"LastDetailEndsOnIt", 0},
                                           FooterLineRow{"LastDetailEndsAPixelAbove", 1}),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(ReportEngine, PageBreakOrderOfEvents)
{
    TestForm f;
    f.AddBand(QStringLiteral("H"), rbPageHeader, 100);
    f.AddBand(QStringLiteral("D"), rbDetail, 600);
    f.AddBand(QStringLiteral("F"), rbPageFooter, 100);
    f.AddBand(QStringLiteral("O"), rbOverlay, 30);
    f.AddBand(QStringLiteral("S"), rbSummary, 30);
    Log events;
    f.Report->OnStartPage = [&](QObject *) { events.push_back("StartPage"); };
    f.Report->OnEndPage = [&](QObject *) { events.push_back("EndPage"); };
    Repeat(f.Report, 2);
    for (const char *band : {"H", "D", "F", "O", "S"}) {
        auto *b = f.Form->findChild<TQRBand *>(QString::fromLatin1(band));
        b->BeforePrint = [&events, band](TQRBand *, bool &) { events.push_back(band); };
    }
    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.PageCount, 2);
    EXPECT_EQ(events,
              (Log{"StartPage", "H", "D", "F", "EndPage", "O", "StartPage", "H", "D", "S", "F", "O", "EndPage"}));
}

TEST_F(ReportEngine, VetoedBandKeepsItsPlaceAndDisabledBandIsSilent)
{
    TestForm f;
    TQRBand *vetoed = f.AddBand(QStringLiteral("Vetoed"), rbTitle, 80);
    vetoed->BeforePrint = [&](TQRBand *, bool &print) {
        f.Log.push_back("Vetoed:before");
        print = false;
    };
    TQRBand *disabled = f.AddBand(QStringLiteral("Disabled"), rbTitle, 80);
    disabled->SetEnabled(false);
    f.AddBand(QStringLiteral("Next"), rbTitle, 80);
    RunPreview(*f.Report);
    EXPECT_EQ(f.Log, (Log{"Vetoed:before", "Vetoed:after-not", "Next:before", "Next:after"}));
    const auto next = PlacementsOf(f, "Next");
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].Y, 0);
}

TEST_F(ReportEngine, ColumnsFillLeftToRightThenPages)
{
    TestForm f;
    f.Report->SetColumns(2);
    f.Report->SetColumnMarginInches(5);
    EXPECT_EQ(f.Report->ColumnMarginMM(), 13);
    f.AddBand(QStringLiteral("Header"), rbPageHeader, 100);
    f.AddBand(QStringLiteral("ColHead"), rbColumnHeader, 20);
    f.AddBand(QStringLiteral("Detail"), rbDetail, 300);
    const int available = QRPrinter()->PageHeight();
    // Room below header and column header for this many details per column.
    const int perColumn = (available - 120 - 1) / 300;
    Repeat(f.Report, 2 * perColumn + 1);
    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.PageCount, 2);
    const int columnWidth = QRRound((QRPrinter()->PageWidth() - 48.0) / 2);
    EXPECT_EQ(f.Report->ColumnWidth(), columnWidth);

    const auto details = PlacementsOf(f, "Detail");
    ASSERT_EQ(int(details.size()), 2 * perColumn + 1);
    for (int i = 0; i < perColumn; ++i) {
        EXPECT_EQ(details[i].Column, 1);
        EXPECT_EQ(details[i].X, 0);
        EXPECT_EQ(details[i].Y, 120 + i * 300);
    }
    // Column 2 starts at the column top, which is below the page header only.
    EXPECT_EQ(details[perColumn].Page, 1);
    EXPECT_EQ(details[perColumn].Column, 2);
    EXPECT_EQ(details[perColumn].X, columnWidth + 48);
    EXPECT_EQ(details[perColumn].Y, 100 + 20);
    EXPECT_EQ(details[2 * perColumn].Page, 2);
    EXPECT_EQ(details[2 * perColumn].Column, 1);
    EXPECT_EQ(details[2 * perColumn].X, 0);

    // Column headers: at the start, after the move to column 2, after the new page.
    const auto heads = PlacementsOf(f, "ColHead");
    ASSERT_EQ(heads.size(), 3u);
    EXPECT_EQ(heads[0].Y, 100);
    EXPECT_EQ(heads[1].Column, 2);
    EXPECT_EQ(heads[1].X, columnWidth + 48);
    EXPECT_EQ(heads[1].Y, 100);
    EXPECT_EQ(heads[2].Page, 2);
    EXPECT_EQ(heads[2].Y, 100);

    f.Report->SetColumns(0);
    EXPECT_EQ(f.Report->Columns(), 2);
    f.Report->SetColumns(-3);
    EXPECT_EQ(f.Report->Columns(), 2);
}

TEST_F(ReportEngine, ForceNewPageOnlyAfterDetailOutput)
{
    TestForm f;
    TQRBand *title = f.AddBand(QStringLiteral("Title"), rbTitle, 50);
    title->SetForceNewPage(true);
    f.AddBand(QStringLiteral("D1"), rbDetail, 50);
    TQRBand *d2 = f.AddBand(QStringLiteral("D2"), rbDetail, 50);
    d2->SetForceNewPage(true);
    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.PageCount, 2);
    EXPECT_EQ(PlacementsOf(f, "Title")[0].Page, 1);
    EXPECT_EQ(PlacementsOf(f, "D1")[0].Page, 1);
    EXPECT_EQ(PlacementsOf(f, "D1")[0].Y, 50);
    EXPECT_EQ(PlacementsOf(f, "D2")[0].Page, 2);
    EXPECT_EQ(PlacementsOf(f, "D2")[0].Y, 0);
}

TEST_F(ReportEngine, DetailPassesFollowNeedDataAndFilter)
{
    {
        TestForm f;
        f.AddBand(QStringLiteral("D"), rbDetail, 10);
        int asked = 0;
        f.Report->OnNeedData = [&](QObject *, bool &more) { more = ++asked <= 3; };
        RunPreview(*f.Report);
        EXPECT_EQ(PlacementsOf(f, "D").size(), 3u);
        EXPECT_EQ(f.Report->DetailNo(), 4);
        EXPECT_EQ(asked, 4);
    }
    {
        TestForm f;
        f.AddBand(QStringLiteral("D"), rbDetail, 10);
        f.Report->OnFilter = [](QObject *, bool &print) { print = false; };
        RunPreview(*f.Report);
        EXPECT_TRUE(PlacementsOf(f, "D").empty());
        EXPECT_EQ(f.Report->DetailNo(), 1);
    }
}

TEST_F(ReportEngine, CancelledReportShowsNothingAndLeavesTheStoreIdle)
{
    TestForm f;
    f.AddBand(QStringLiteral("T"), rbTitle, 10);
    f.Report->BeforePrint = [](QObject *, bool &print) { print = false; };
    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.Calls, 0);
    EXPECT_TRUE(QRPrinter()->Cancelled());
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
    EXPECT_TRUE(f.Placed.empty());
}

TEST_F(ReportEngine, ErrorInAHandlerEscapesAndTheStoreRecovers)
{
    TestForm f;
    TQRBand *title = f.AddBand(QStringLiteral("T"), rbTitle, 10);
    title->BeforePrint = [](TQRBand *, bool &) { throw EConvertError(QStringLiteral("bad value")); };
    EXPECT_THROW(RunPreview(*f.Report), EConvertError);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
    EXPECT_EQ(f.Report->Progress(), nullptr);

    title->BeforePrint = nullptr;
    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.Calls, 1);
    EXPECT_EQ(run.PageCount, 1);
}

TEST_F(ReportEngine, PreviewWhileAPreviewIsOpenShowsTheSamePages)
{
    TestForm f;
    f.AddBand(QStringLiteral("D"), rbDetail, 700);
    Repeat(f.Report, 3);
    int calls = 0;
    int innerPages = 0;
    QRPrinter()->OnPreview = [&] {
        if (++calls == 1) {
            f.Report->Preview();
            EXPECT_EQ(QRPrinter()->Status(), stFinished);
        } else {
            innerPages = QRPrinter()->PageCount();
        }
    };
    f.Report->Preview();
    QRPrinter()->OnPreview = nullptr;
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(innerPages, 3);
    EXPECT_EQ(PlacementsOf(f, "D").size(), 3u);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
}

TEST_F(ReportEngine, PreviewDuringGenerationShowsNothing)
{
    TestForm f;
    TQRBand *band = f.AddBand(QStringLiteral("D"), rbDetail, 10);
    band->BeforePrint = [&](TQRBand *, bool &) { f.Report->Preview(); };
    const PreviewRun run = RunPreview(*f.Report);
    EXPECT_EQ(run.Calls, 1);
    EXPECT_EQ(run.PageCount, 1);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
}

TEST_F(ReportEngine, PositionsScaleWithTheFormResolutionRoundingHalvesToEven)
{
    TestForm f;
    f.Report->SetFormPixelsPerInch(120);
    f.AddBand(QStringLiteral("D"), rbDetail, 10);
    std::vector<int> xs;
    f.Report->BeforeDetail = [&](QObject *) {
        for (int v : {2, 6, 10, 3})
            xs.push_back(f.Report->XPos(v));
        xs.push_back(f.Report->YPos(2));
    };
    RunPreview(*f.Report);
    EXPECT_DOUBLE_EQ(f.Report->XFactor(), 1.25);
    // 2.5 -> 2, 7.5 -> 8, 12.5 -> 12, 3.75 -> 4; every result a multiple of 4.
    EXPECT_EQ(xs, (std::vector<int>{8, 32, 48, 16, 8}));
    // The page height is turned into form units.
    EXPECT_EQ(f.Report->AvailableHeight(), QRRound(QRPrinter()->PageHeight() * 96.0 / 120));
}

TEST_F(ReportEngine, MarginViewsShareOneValue)
{
    TestForm f;
    f.Report->SetLeftMarginMM(25);
    EXPECT_EQ(f.Report->LeftMarginMM(), 25);
    EXPECT_EQ(f.Report->LeftMarginInches(), 10);
    f.Report->SetLeftMarginInches(5);
    EXPECT_EQ(f.Report->LeftMarginInches(), 5);
    EXPECT_EQ(f.Report->LeftMarginMM(), 13);
    f.Report->SetColumnMarginMM(10);
    EXPECT_EQ(f.Report->ColumnMarginInches(), 4);

    // Half an inch of left margin moves every band but the overlay.
    f.AddBand(QStringLiteral("T"), rbTitle, 10);
    f.AddBand(QStringLiteral("F"), rbPageFooter, 10);
    RunPreview(*f.Report);
    EXPECT_EQ(PlacementsOf(f, "T")[0].X, 48);
    EXPECT_EQ(PlacementsOf(f, "F")[0].X, 48);
    EXPECT_EQ(f.Report->ColumnWidth(), QRPrinter()->PageWidth() - 48);
    EXPECT_EQ(f.Report->ColumnLeft(), 0);
    EXPECT_EQ(f.Report->AvailableWidth(), QRPrinter()->PageWidth());
}

TEST_F(ReportEngine, BackgroundFramesAndPageFrameOnThePage)
{
    TestForm f;
    f.AddBand(QStringLiteral("Top"), rbTitle, 40);
    TQRBand *band = f.AddBand(QStringLiteral("Boxed"), rbTitle, 25);
    band->SetColor(QColor(255, 0, 0));
    band->Frame().SetWidth(3);
    band->Frame().SetColor(QColor(0, 0, 255));
    band->Frame().SetDrawTop(true);
    band->Frame().SetDrawRight(true);
    f.Report->PageFrame().SetWidth(2);
    f.Report->PageFrame().SetDrawBottom(true);
    const PreviewRun run = RunPreview(*f.Report);
    ASSERT_EQ(run.Pages.size(), 1u);
    const PageProbe &page = *run.Pages[0];
    const int CW = f.Report->ColumnWidth();

    // The band's background: one column wide, one unit short at the bottom.
    const auto filled = [&](const QColor &color) {
        std::vector<QRectF> found;
        for (const auto &r : page.Rects) {
            if (r.Brush == color)
                found.push_back(r.Value);
        }
        return found;
    };
    const auto red = filled(QColor(255, 0, 0));
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ(red[0], QRectF(0, 160, CW * 4, 100 - 1));

    // Frame lines 3 units wide along the top and the right of the band, and the page
    // frame's bottom line.
    const QLineF top(0, 160, (CW - 1) * 4, 160);
    const QLineF right((CW - 1) * 4, 160, (CW - 1) * 4, 260 - 1);
    const double pageBottom = (QRPrinter()->PageHeight() - 1) * 4;
    const QLineF frameBottom(0, pageBottom, (QRPrinter()->PageWidth() - 1) * 4, pageBottom);
    std::vector<QLineF> blue;
    bool frame = false;
    for (const auto &line : page.Lines) {
        if (line.Color == QColor(0, 0, 255)) {
            blue.push_back(line.Value);
            EXPECT_DOUBLE_EQ(line.PenWidth, 3);
        } else if (line.Value == frameBottom) {
            frame = true;
            EXPECT_DOUBLE_EQ(line.PenWidth, 2);
        }
    }
    EXPECT_EQ(blue, (std::vector<QLineF>{top, right}));
    EXPECT_TRUE(frame);
}

TEST_F(ReportEngine, OverlayPrintsAtThePageOriginWithoutBackground)
{
    TestForm f;
    f.Report->SetLeftMarginInches(10);
    f.AddBand(QStringLiteral("T"), rbTitle, 30);
    TQRBand *overlay = f.AddBand(QStringLiteral("O"), rbOverlay, 30);
    overlay->SetColor(QColor(0, 255, 0));
    f.AddLabel(overlay, QStringLiteral("mark"), QStringLiteral("Mark"), 5, 6)->SetTransparent(true);
    const PreviewRun run = RunPreview(*f.Report);
    const PageProbe &page = *run.Pages[0];
    for (const auto &r : page.Rects)
        EXPECT_NE(r.Brush, QColor(0, 255, 0));
    const PageProbe::Text *mark = page.Find(QStringLiteral("Mark"));
    ASSERT_NE(mark, nullptr);
    EXPECT_NEAR(mark->Baseline.x(), 20, 1);
}

TEST_F(ReportEngine, LinkedBandsMoveTogetherAndLoopsEnd)
{
    const int available = QRPrinter()->PageHeight();
    TestForm f;
    f.AddBand(QStringLiteral("Filler"), rbTitle, available - 150);
    TQRBand *a = f.AddBand(QStringLiteral("A"), rbDetail, 50);
    TQRBand *b = f.AddBand(QStringLiteral("B"), rbDetail, 120);
    a->SetLinkBand(b);
    a->SetLinkBand(a);
    EXPECT_EQ(a->LinkBand(), b);
    b->SetLinkBand(a);
    RunPreview(*f.Report);
    // A alone would fit; with B it does not, so A starts the next page.
    EXPECT_EQ(PlacementsOf(f, "A")[0].Page, 2);
    EXPECT_EQ(PlacementsOf(f, "A")[0].Y, 0);
    EXPECT_EQ(PlacementsOf(f, "B")[0].Page, 2);
}

TEST_F(ReportEngine, PicturesOnBands)
{
    TestForm f;
    f.AddBand(QStringLiteral("Top"), rbTitle, 10);
    TQRBand *band = f.AddBand(QStringLiteral("Pictures"), rbTitle, 100);
    QImage bitmap(16, 8, QImage::Format_RGB32);
    bitmap.fill(Qt::blue);
    auto *plain = new TQRImage(band);
    plain->SetBounds(10, 20, 50, 50);
    plain->SetBitmap(bitmap);
    auto *stretched = new TQRImage(band);
    stretched->SetBounds(100, 5, 40, 30);
    stretched->SetBitmap(bitmap);
    stretched->SetStretch(true);
    const PreviewRun run = RunPreview(*f.Report);
    const auto &images = run.Pages[0]->Images;
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].toRect(), QRect(40, 120, 16, 8));
    EXPECT_EQ(images[1].toRect(), QRect(400, 60, 160, 120));
}

TEST_F(ReportEngine, PaperSettingsPassToThePrinter)
{
    TestForm f;
    f.Report->SetPaperSize(qrpA5);
    EXPECT_EQ(QRPrinter()->GetPaperSize(), qrpA5);
    EXPECT_EQ(f.Report->PaperWidth(), 0);
    f.Report->SetPaperWidth(1200);
    EXPECT_EQ(f.Report->PaperSize(), qrpCustom);
    EXPECT_EQ(QRPrinter()->GetPaperWidth(), 1200);
    f.Report->SetPaperLength(1800);
    EXPECT_EQ(QRPrinter()->GetPaperLength(), 1800);

    // Another size clears the custom measures; custom again copies the printer's.
    f.Report->SetPaperSize(qrpLetter);
    EXPECT_EQ(f.Report->PaperLength(), 0);
    EXPECT_EQ(QRPrinter()->GetPaperSize(), qrpLetter);
    f.Report->SetPaperSize(qrpCustom);
    // The printer was not on custom paper: nothing to copy, but it is custom now.
    EXPECT_EQ(f.Report->PaperWidth(), 0);
    EXPECT_EQ(QRPrinter()->GetPaperSize(), qrpCustom);
    EXPECT_NEAR(QRPrinter()->GetPaperWidth(), 2159, 2);
    // A report choosing custom paper while the printer has it copies its measures.
    {
        TestForm other;
        other.Report->SetPaperSize(qrpCustom);
        EXPECT_NEAR(other.Report->PaperWidth(), 2159, 2);
        EXPECT_NEAR(other.Report->PaperLength(), 2794, 2);
    }

    f.Report->SetOrientation(poLandscape);
    f.AddBand(QStringLiteral("T"), rbTitle, 10);
    RunPreview(*f.Report);
    EXPECT_GT(f.Report->AvailableWidth(), f.Report->AvailableHeight());
    f.Report->SetOrientation(poPortrait);
    QRPrinter()->SetOrientation(poPortrait);
}

TEST(ReportBands, BandsNeverNestAndStackFromTheTop)
{
    QWidget form;
    form.resize(300, 400);
    auto *first = new TQRBand(&form);
    first->SetHeight(50);
    auto *second = new TQRBand(first);
    second->SetHeight(30);
    EXPECT_EQ(second->parentWidget(), &form);
    auto *third = new TQRBand(&form);
    third->setParent(second);
    EXPECT_EQ(third->parentWidget(), &form);
    form.show();
    EXPECT_EQ(first->geometry(), QRect(0, 0, 300, 50));
    EXPECT_EQ(second->geometry(), QRect(0, 50, 300, 30));
    EXPECT_EQ(third->y(), 80);
    form.resize(500, 400);
    EXPECT_EQ(second->width(), 500);
}

TEST(ReportBands, RulersOnADisplayedForm)
{
    QWidget form;
    form.resize(400, 200);
    auto *band = new TQRBand(&form);
    band->SetHeight(100);
    band->SetRuler(qrrInchesV);
    const QImage image = band->grab().toImage();
    const QColor grey(128, 128, 128);
    auto greyIn = [&](int x) {
        int count = 0;
        for (int y = 0; y < image.height() - 1; ++y)
            count += image.pixelColor(x, y) == grey;
        return count;
    };
    // Quarter-inch lines at 24, 48, 72; the inch line at 96.
    for (int x : {24, 48, 72, 96, 192})
        EXPECT_GT(greyIn(x), 10) << x;
    EXPECT_EQ(greyIn(30), 0);
    // A dotted black line along the bottom edge.
    int black = 0;
    for (int x = 0; x < image.width(); ++x)
        black += image.pixelColor(x, image.height() - 1) == QColor(Qt::black);
    EXPECT_GT(black, image.width() / 4);
    EXPECT_LT(black, image.width());

    band->SetRuler(qrrCmH);
    const QImage cm = band->grab().toImage();
    auto greyRow = [&](int y) {
        int count = 0;
        for (int x = 100; x < cm.width(); ++x)
            count += cm.pixelColor(x, y) == grey;
        return count;
    };
    // Half-centimetre lines down 100 pixels: at 19, 38, 57, 76 and 94.
    for (int i = 1; i <= 5; ++i)
        EXPECT_GT(greyRow(QRRound(i * 96 * 0.19685)), 50) << i;
    EXPECT_EQ(greyRow(28), 0);
}

namespace {

struct ColumnHeaderRow {
    const char *name;
    int columns;
    int title;                      // the page less the height of a title band after the page header; 0: none
    std::vector<int> columnHeaders; // heights; -k is the whole room below the page header less k - 1
    int pages;                      // pages made when the headers fit, 0 when they cannot
};

class ColumnHeaderRoom : public ReportEngine, public ::testing::WithParamInterface<ColumnHeaderRow> {};

} // namespace

// Column headers that cannot fit below the page header end the run with a clear message
// instead of moving on from column to column and page to page without end.
TEST_P(ColumnHeaderRoom, FitOrFailWithAClearMessage)
{
    const ColumnHeaderRow &row = GetParam();
    const int available = QRPrinter()->PageHeight();
    constexpr int header = 100;
    TestForm f;
    f.Report->SetColumns(row.columns);
    f.AddBand(QStringLiteral("Header"), rbPageHeader, header);
    if (row.title > 0)
        f.AddBand(QStringLiteral("Title"), rbTitle, available - row.title);
    int n = 0;
    for (int height : row.columnHeaders)
        f.AddBand(QStringLiteral("ColHead%1").arg(++n), rbColumnHeader,
                  height < 0 ? available - header + height + 1 : height);

    if (row.pages == 0) {
        try {
            RunPreview(*f.Report);
            ADD_FAILURE() << "the run ended without an error";
        } catch (const Exception &e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("The column header bands do not fit in the room below the page header."));
        }
        EXPECT_EQ(QRPrinter()->Status(), stIdle);
        EXPECT_EQ(f.Report->Progress(), nullptr);
    } else {
        EXPECT_EQ(RunPreview(*f.Report).PageCount, row.pages);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ColumnHeaderRoom,
                         ::testing::Values(ColumnHeaderRow{"TallerThanTheRoomInOneColumn", 1, 0, {-1}, 0},
                                           ColumnHeaderRow{"TallerThanTheRoomInTwoColumns", 2, 0, {-1}, 0},
                                           ColumnHeaderRow{"TwoThatFitOnlyOneByOne", 1, 0, {400, -400}, 0},
                                           ColumnHeaderRow{"MovedOnceBelowATallTitleThenFitting", 1, 150, {150}, 2}),
                         [](const ::testing::TestParamInfo<ColumnHeaderRow> &info) {
                             return std::string(info.param.name);
                         });
