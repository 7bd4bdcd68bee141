#pragma once

#include "report/QRBand.h"
#include "report/QRController.h"
#include "report/QRFrame.h"
#include "report/QRTypes.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QWidget;
class TQRGroup;
class TQRProgressForm;

// The report component of a report form: walks the form's bands in a fixed order,
// places each on the current page of QRPrinter, starts new columns and pages when a
// band does not fit, and hands the finished pages to the preview. The form is the
// report's parent widget; it is never shown to the user.
class TQRReport : public TQRController {
    Q_OBJECT
public:
    explicit TQRReport(QWidget *form);
    ~TQRReport() override;

    QWidget *Form() const;

    // Generates the pages when the printer's store is idle, shows the preview unless
    // the run was cancelled, and discards the pages it made, also on an error.
    void Preview();
    // Sets the printer up and records the pages into the store.
    void Prepare();

    std::function<void(QObject *Sender)> AfterDetail;
    std::function<void(QObject *Sender)> AfterPrint;
    std::function<void(QObject *Sender)> BeforeDetail;
    std::function<void(QObject *Sender, bool &PrintReport)> BeforePrint;
    std::function<void(QObject *Sender)> OnEndPage;
    std::function<void(QObject *Sender)> OnStartPage;

    int ColumnMarginInches() const;
    void SetColumnMarginInches(int tenths);
    int ColumnMarginMM() const;
    void SetColumnMarginMM(int millimetres);
    double ColumnMargin() const { return FColumnMargin; }
    int Columns() const { return FColumns; }
    void SetColumns(int columns);
    bool DisplayPrintDialog() const { return FDisplayPrintDialog; }
    void SetDisplayPrintDialog(bool display) { FDisplayPrintDialog = display; }
    int LeftMarginInches() const;
    void SetLeftMarginInches(int tenths);
    int LeftMarginMM() const;
    void SetLeftMarginMM(int millimetres);
    double LeftMargin() const { return FLeftMargin; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation orientation) { FOrientation = orientation; }
    TQRFrame &PageFrame() { return FPageFrame; }
    const TQRFrame &PageFrame() const { return FPageFrame; }
    int PaperLength() const { return FPaperLength; }
    void SetPaperLength(int length);
    TQRPaperSize PaperSize() const { return FPaperSize; }
    void SetPaperSize(TQRPaperSize size);
    int PaperWidth() const { return FPaperWidth; }
    void SetPaperWidth(int width);
    const QString &ReportTitle() const { return FReportTitle; }
    void SetReportTitle(const QString &title) { FReportTitle = title; }
    bool RestartData() const { return FRestartData; }
    void SetRestartData(bool restart) { FRestartData = restart; }
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool show) { FShowProgress = show; }
    bool TitleBeforeHeader() const { return FTitleBeforeHeader; }
    void SetTitleBeforeHeader(bool before) { FTitleBeforeHeader = before; }

    // The resolution the form was designed at; 96 unless the form says otherwise.
    int FormPixelsPerInch() const { return FFormPixelsPerInch; }
    void SetFormPixelsPerInch(int ppi);

    // Report units to page units: round(v × factor) × 4, halves to the even neighbour.
    int XPos(double x) const;
    int YPos(double y) const;
    double XFactor() const { return FXFactor; }
    double YFactor() const { return FYFactor; }

    int PageNumber() const { return FPageNumber; }
    int DetailNo() const { return FDetailNo; }
    int DetailCount() const { return FDetailCount; }
    int CurrentY() const { return FCurrentY; }
    int ColumnLeft() const { return FColumnLeft; }
    int ColumnTop() const { return FColumnTop; }
    int CurrentColumn() const { return FCurrentColumn; }
    int ColumnWidth() const { return FColumnWidth; }
    int FooterHeight() const { return FFooterHeight; }
    int AvailableWidth() const { return FAvailableWidth; }
    int AvailableHeight() const { return FAvailableHeight; }
    bool PagePrinted() const { return FPagePrinted; }

    // The progress window of the run in progress, nullptr between runs.
    TQRProgressForm *Progress() const { return FProgress.get(); }

    // Band placement, public for the detail machinery that drives it.
    void PrintBands(TQRBandType type);
    void PrintBand(TQRBand *band);
    void NewPage();

    // The groups of the run in progress by level (0 outermost), filled at its start.
    TQRGroup *Group(int level) const;
    // Runs the change test of every group (unless force), spreads a change to the
    // inner levels and prints the footers of the changed groups, innermost first.
    // Returns whether anything changed.
    bool CheckGroups(bool force);
    // Prints the headers of the changed groups, outermost first, and clears the flags.
    void PrintGroupHeaders();

private:
    void FetchPageSize();
    void Generate();
    void CollectComponents();
    void StartReport();
    void RunController(TQRController *controller);
    void FinishReport();
    void CheckPageBreak(TQRBand *band);
    int NeededHeight(TQRBand *band) const;
    void DrawPageFrame();
    void Fire(const std::function<void(QObject *)> &event);

    double FColumnMargin = 0;
    int FColumns = 1;
    bool FDisplayPrintDialog = false;
    double FLeftMargin = 0;
    TPrinterOrientation FOrientation = poPortrait;
    TQRFrame FPageFrame;
    int FPaperLength = 0;
    TQRPaperSize FPaperSize = qrpDefault;
    int FPaperWidth = 0;
    QString FReportTitle;
    bool FRestartData = true;
    bool FShowProgress = true;
    bool FTitleBeforeHeader = false;
    int FFormPixelsPerInch = QRReferenceResolution;

    std::array<QList<QPointer<TQRBand>>, QRBandTypeCount> FBandLists;
    std::array<QPointer<TQRGroup>, 10> FGroups;
    int FCurrentY = 0;
    int FColumnLeft = 0;
    int FColumnTop = 0;
    int FCurrentColumn = 1;
    int FColumnWidth = 0;
    int FFooterHeight = 0;
    int FAvailableWidth = 0;
    int FAvailableHeight = 0;
    int FPageNumber = 1;
    int FDetailNo = 1;
    int FDetailCount = 0;
    bool FPagePrinted = false;
    // Set while the column headers print at the top of a fresh column or page.
    bool FHeadingNewColumn = false;
    double FXFactor = 1.0;
    double FYFactor = 1.0;
    std::unique_ptr<TQRProgressForm> FProgress;
};
