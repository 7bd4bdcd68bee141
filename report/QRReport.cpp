#include "report/QRReport.h"

#include "platform/core/Exceptions.h"

#include "report/QRCustomControl.h"
#include "report/QRDetailLink.h"
#include "report/QRGroup.h"
#include "report/QRMemo.h"
#include "report/QRPrinter.h"
#include "report/QRProgressForm.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSet>
#include <QWidget>

TQRReport::TQRReport(QWidget *form) : TQRController(form) {}

TQRReport::~TQRReport() = default;

QWidget *TQRReport::Form() const
{
    return qobject_cast<QWidget *>(parent());
}

int TQRReport::ColumnMarginInches() const
{
    return QRRound(FColumnMargin * 10);
}

void TQRReport::SetColumnMarginInches(int tenths)
{
    FColumnMargin = tenths / 10.0;
}

int TQRReport::ColumnMarginMM() const
{
    return QRRound(FColumnMargin * 25.4);
}

void TQRReport::SetColumnMarginMM(int millimetres)
{
    FColumnMargin = millimetres / 25.4;
}

void TQRReport::SetColumns(int columns)
{
    if (columns >= 1)
        FColumns = columns;
}

int TQRReport::LeftMarginInches() const
{
    return QRRound(FLeftMargin * 10);
}

void TQRReport::SetLeftMarginInches(int tenths)
{
    FLeftMargin = tenths / 10.0;
}

int TQRReport::LeftMarginMM() const
{
    return QRRound(FLeftMargin * 25.4);
}

void TQRReport::SetLeftMarginMM(int millimetres)
{
    FLeftMargin = millimetres / 25.4;
}

void TQRReport::SetPaperSize(TQRPaperSize size)
{
    if (size == FPaperSize)
        return;
    FPaperSize = size;
    if (size == qrpCustom) {
        FPaperLength = QRPrinter()->GetPaperLength();
        FPaperWidth = QRPrinter()->GetPaperWidth();
    } else {
        FPaperLength = 0;
        FPaperWidth = 0;
    }
    QRPrinter()->SetPaperSize(size);
}

void TQRReport::SetPaperLength(int length)
{
    FPaperLength = length;
    if (length != 0) {
        FPaperSize = qrpCustom;
        QRPrinter()->SetPaperLength(length);
    }
}

void TQRReport::SetPaperWidth(int width)
{
    FPaperWidth = width;
    if (width != 0) {
        FPaperSize = qrpCustom;
        QRPrinter()->SetPaperWidth(width);
    }
}

void TQRReport::SetFormPixelsPerInch(int ppi)
{
    if (ppi > 0)
        FFormPixelsPerInch = ppi;
}

int TQRReport::XPos(double x) const
{
    return QRRound(x * FXFactor) * QRPageUnitsPerPixel;
}

int TQRReport::YPos(double y) const
{
    return QRRound(y * FYFactor) * QRPageUnitsPerPixel;
}

void TQRReport::Fire(const std::function<void(QObject *)> &event)
{
    if (event)
        event(this);
}

void TQRReport::Preview()
{
    const QPointer<TQRPrinter> printer = QRPrinter();
    // A run already recording pages (its progress window lets events through) has
    // nothing to show yet.
    if (printer->Status() == stBusy)
        return;
    const bool prepares = printer->Status() == stIdle;
    // The pages made here go again when the preview closes, and also when generation
    // fails half-way: a store left busy would block every later report.
    struct Discard {
        QPointer<TQRPrinter> Printer;
        bool Active;
        ~Discard()
        {
            if (!Active || !Printer)
                return;
            if (Printer->Status() == stBusy)
                Printer->EndDoc();
            Printer->ClearPages();
        }
    } discard{printer, prepares};
    if (prepares)
        Prepare();
    if (printer && !printer->Cancelled())
        printer->ShowPreview();
}

void TQRReport::Prepare()
{
    TQRPrinter *printer = QRPrinter();
    printer->SetOrientation(FOrientation);
    if (FPaperSize != qrpDefault) {
        printer->SetPaperSize(FPaperSize);
        if (FPaperSize == qrpCustom) {
            printer->SetPaperWidth(FPaperWidth);
            printer->SetPaperLength(FPaperLength);
        }
    }
    printer->BeginDoc();
    printer->SetTitle(FReportTitle);
    FetchPageSize();
    FXFactor = double(FFormPixelsPerInch) / QRReferenceResolution;
    FYFactor = FXFactor;
    Generate();
    printer->EndDoc();
}

void TQRReport::FetchPageSize()
{
    TQRPrinter *printer = QRPrinter();
    printer->SetOrientation(FOrientation);
    printer->ComputeMetrics();
    FAvailableWidth = printer->PageWidth();
    FAvailableHeight = printer->PageHeight();
}

void TQRReport::Generate()
{
    TQRPrinter *printer = QRPrinter();
    printer->SetShowProgress(FShowProgress);
    printer->SetCancelled(false);

    struct RunGuard {
        TQRReport *Report;
        ~RunGuard()
        {
            for (auto &list : Report->FBandLists)
                list.clear();
            Report->FProgress.reset();
        }
    } guard{this};

    FProgress = std::make_unique<TQRProgressForm>(printer);
    if (FShowProgress)
        FProgress->Show();
    FProgress->SetText(QRTexts::PreparingReport() + QLatin1Char(' ') + FReportTitle);
    for (auto &list : FBandLists)
        list.clear();

    bool printReport = true;
    if (BeforePrint)
        BeforePrint(this, printReport);
    if (!printReport) {
        printer->Cancel();
        return;
    }

    CollectComponents();
    FFooterHeight = 0;
    for (const QPointer<TQRBand> &band : FBandLists[rbPageFooter]) {
        if (band)
            FFooterHeight += band->Height();
    }
    FColumnLeft = QRRound(FLeftMargin * QRReferenceResolution);
    FAvailableWidth -= FColumnLeft;
    FColumnWidth = QRRound((FAvailableWidth - FColumnMargin * QRReferenceResolution * (FColumns - 1)) / FColumns);
    FAvailableHeight = QRRound(FAvailableHeight * double(QRReferenceResolution) / FFormPixelsPerInch);
    FCurrentY = 0;
    FPageNumber = 1;
    FCurrentColumn = 1;
    FDetailCount = 0;
    FPagePrinted = false;
    FDetailNo = 1;
    FProgress->SetMax(FDetailCount);

    Fire(OnStartPage);
    StartReport();
    RunController(this);
    FinishReport();
}

void TQRReport::CollectComponents()
{
    QWidget *form = Form();
    if (!form)
        return;
    // Component order: the form's objects depth first, in creation order.
    const QList<QObject *> components = form->findChildren<QObject *>();
    for (QObject *component : components) {
        if (auto *controller = qobject_cast<TQRController *>(component))
            controller->ClearChildLinks();
    }
    FGroups.fill(nullptr);
    for (QObject *component : components) {
        if (auto *group = qobject_cast<TQRGroup *>(component)) {
            FGroups[group->Level()] = group;
        } else if (auto *link = qobject_cast<TQRDetailLink *>(component)) {
            if (TQRController *master = link->Master())
                master->AddChildLink(link);
        } else if (auto *control = qobject_cast<TQRCustomControl *>(component)) {
            control->SetReport(this);
        } else if (auto *memo = qobject_cast<TQRMemo *>(component)) {
            memo->SetReport(this);
        } else if (auto *band = qobject_cast<TQRBand *>(component)) {
            FBandLists[band->BandType()].append(band);
            band->SetReport(this);
        }
    }
}

void TQRReport::StartReport()
{
    if (FTitleBeforeHeader) {
        PrintBands(rbTitle);
        PrintBands(rbPageHeader);
    } else {
        PrintBands(rbPageHeader);
        PrintBands(rbTitle);
    }
    PrintBands(rbColumnHeader);
    PrintGroupHeaders();
}

void TQRReport::RunController(TQRController *controller)
{
    const QPointer<TQRController> guard(controller);
    PrintBand(controller->HeaderBand());
    if (guard && controller->FirstDataAvailable()) {
        for (;;) {
            const QList<QPointer<TQRController>> links = controller->ChildLinks();
            for (const QPointer<TQRController> &link : links) {
                if (link && link->PrintBefore())
                    RunController(link);
            }
            if (controller == this) {
                if (CheckGroups(false))
                    PrintGroupHeaders();
                PrintBands(rbDetail);
                ++FDetailNo;
                if (FProgress)
                    FProgress->SetPosition(FDetailNo);
            } else {
                PrintBand(controller->DetailBand());
            }
            for (const QPointer<TQRController> &link : links) {
                if (link && !link->PrintBefore())
                    RunController(link);
            }
            if (!guard || QRPrinter()->Cancelled() || !controller->MoreDataAvailable())
                break;
        }
    }
    if (guard)
        PrintBand(controller->FooterBand());
}

void TQRReport::FinishReport()
{
    for (const QPointer<TQRGroup> &group : FGroups) {
        if (group)
            group->SetChanged(true);
    }
    CheckGroups(true);
    PrintBands(rbSummary);
    PrintBands(rbPageFooter);
    PrintBands(rbOverlay);
    DrawPageFrame();
    Fire(OnEndPage);
    Fire(AfterPrint);
    FAvailableWidth += QRRound(FLeftMargin * QRReferenceResolution);
    FColumnLeft = 0;
}

TQRGroup *TQRReport::Group(int level) const
{
    return level >= 0 && level < int(FGroups.size()) ? FGroups[level].data() : nullptr;
}

bool TQRReport::CheckGroups(bool force)
{
    bool changed = force;
    if (!force) {
        // Every level is asked, also after a change was found: each group must hold
        // the value of the record about to print.
        for (int level = TQRGroup::MaxLevel; level >= 0; --level) {
            const QPointer<TQRGroup> group = FGroups[level];
            if (group && group->TestChange())
                changed = true;
        }
    }
    if (!changed)
        return false;
    // A change at one level starts a new group at every level inside it.
    bool running = FGroups[0] && FGroups[0]->Changed();
    for (int level = 1; level <= TQRGroup::MaxLevel; ++level) {
        TQRGroup *group = FGroups[level];
        if (!group)
            continue;
        if (running)
            group->SetChanged(true);
        else
            running = group->Changed();
    }
    for (int level = TQRGroup::MaxLevel; level >= 0; --level) {
        const QPointer<TQRGroup> group = FGroups[level];
        if (group && group->Changed())
            PrintBand(group->FooterBand());
    }
    return true;
}

void TQRReport::PrintGroupHeaders()
{
    for (int level = 0; level <= TQRGroup::MaxLevel; ++level) {
        const QPointer<TQRGroup> group = FGroups[level];
        if (group && group->Changed())
            PrintBand(group->HeaderBand());
    }
    for (const QPointer<TQRGroup> &group : FGroups) {
        if (group)
            group->SetChanged(false);
    }
}

void TQRReport::PrintBands(TQRBandType type)
{
    if (type == rbDetail || type == rbSubDetail)
        Fire(BeforeDetail);
    const QList<QPointer<TQRBand>> bands = FBandLists[type];
    for (const QPointer<TQRBand> &band : bands)
        PrintBand(band);
    if (type == rbDetail)
        Fire(AfterDetail);
    if (type == rbTitle || type == rbPageHeader)
        FColumnTop = FCurrentY;
}

void TQRReport::PrintBand(TQRBand *band)
{
    if (!band || !band->Enabled())
        return;
    const QPointer<TQRBand> guard(band);
    // Keeps the progress window's Cancel button alive between bands.
    QCoreApplication::processEvents();
    if (!guard)
        return;
    const int savedHeight = band->Height();
    band->SetWidth(QRPrinter()->PageWidth());
    switch (band->BandType()) {
    case rbPageHeader: break;
    case rbPageFooter:
        FCurrentY = FAvailableHeight - FFooterHeight;
        FColumnLeft = QRRound(FLeftMargin * QRReferenceResolution);
        break;
    default:
        CheckPageBreak(band);
        if (band->BandType() == rbDetail || band->BandType() == rbSubDetail || band->BandType() == rbGroupFooter)
            FPagePrinted = true;
        break;
    }
    if (!guard)
        return;
    const bool printed = band->BandType() == rbOverlay ? band->Print(0, 0) : band->Print(FColumnLeft, FCurrentY);
    if (!guard)
        return;
    if (printed)
        FCurrentY += band->Height();
    band->SetHeight(savedHeight);
}

int TQRReport::NeededHeight(TQRBand *band) const
{
    // Linked bands must fit together; a chain that loops back is followed once.
    int needed = band->ExtraHeight();
    QSet<const TQRBand *> visited{band};
    for (TQRBand *link = band->LinkBand(); link && !visited.contains(link); link = link->LinkBand()) {
        visited.insert(link);
        needed += link->ExtraHeight() + link->Height();
    }
    return needed;
}

void TQRReport::CheckPageBreak(TQRBand *band)
{
    if (band->BandType() == rbOverlay)
        return;
    const QPointer<TQRBand> guard(band);
    const int needed = NeededHeight(band);
    // A band ending exactly on the footer line moves on as well.
    const bool moveOn = FCurrentY + needed + band->Height() >= FAvailableHeight - FFooterHeight ||
                        (band->ForceNewPage() && FPagePrinted);
    if (moveOn) {
        // Column headers that do not fit at the top of a fresh column would move on to
        // the next one, and the next, without end.
        if (FHeadingNewColumn && band->BandType() == rbColumnHeader)
            throw Exception(QRTexts::ColumnHeadersTooTall());
        if (FCurrentColumn == FColumns) {
            FCurrentColumn = 1;
            FColumnLeft = QRRound(FLeftMargin * QRReferenceResolution);
            NewPage();
        } else {
            FColumnLeft += QRRound(FColumnWidth * double(QRReferenceResolution) / FFormPixelsPerInch) +
                           QRRound(FColumnMargin * QRReferenceResolution);
            FCurrentY = FColumnTop;
            ++FCurrentColumn;
        }
        const bool outer = FHeadingNewColumn;
        FHeadingNewColumn = true;
        struct Restore {
            bool &Flag;
            bool Value;
            ~Restore() { Flag = Value; }
        } restore{FHeadingNewColumn, outer};
        PrintBands(rbColumnHeader);
    }
    if (needed > 0 && guard)
        band->SetHeight(band->Height() + band->ExtraHeight());
}

void TQRReport::NewPage()
{
    PrintBands(rbPageFooter);
    Fire(OnEndPage);
    FCurrentY = 0;
    PrintBands(rbOverlay);
    DrawPageFrame();
    QRPrinter()->NewPage();
    ++FPageNumber;
    FCurrentY = 0;
    FPagePrinted = false;
    Fire(OnStartPage);
    PrintBands(rbPageHeader);
}

void TQRReport::DrawPageFrame()
{
    TQRPrinter *printer = QRPrinter();
    QPainter *canvas = printer->Canvas();
    if (FPageFrame.Width() <= 0 || !canvas)
        return;
    FPageFrame.Apply(*canvas);
    const int W = XPos(printer->PageWidth() - 1);
    const int H = YPos(printer->PageHeight() - 1);
    if (FPageFrame.DrawTop())
        canvas->drawLine(0, 0, W, 0);
    if (FPageFrame.DrawBottom())
        canvas->drawLine(0, H, W, H);
    if (FPageFrame.DrawLeft())
        canvas->drawLine(0, 0, 0, H);
    if (FPageFrame.DrawRight())
        canvas->drawLine(W, 0, W, H);
    canvas->setCompositionMode(QPainter::CompositionMode_SourceOver);
}
