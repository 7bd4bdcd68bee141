#pragma once

#include "platform/gui/Printers.h"
#include "report/QRStandardPreview.h"
#include "report/QRTypes.h"

#include <QObject>
#include <QPicture>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class QRectF;

// Stands between the report engine and the printer: reads the page geometry of the
// chosen printer, records a report as one vector picture per page, lets the preview
// show any one of them and prints them all as one job. All geometry is in screen
// pixels; a page picture has four units per pixel in each direction.
class TQRPrinter : public QObject {
    Q_OBJECT
public:
    explicit TQRPrinter(QObject *parent = nullptr);
    ~TQRPrinter() override;

    void ComputeMetrics();
    int PageWidth() const { return FPageWidth; }
    int PageHeight() const { return FPageHeight; }
    int SheetWidth() const { return FSheetWidth; }
    int SheetHeight() const { return FSheetHeight; }
    int LeftOffset() const { return FLeftOffset; }
    int TopOffset() const { return FTopOffset; }

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation orientation);
    bool PaperSupported(TQRPaperSize size);
    void SetPaperSize(TQRPaperSize size);
    TQRPaperSize GetPaperSize();
    void SetPaperWidth(int width);
    int GetPaperWidth();
    void SetPaperLength(int length);
    int GetPaperLength();

    TQRPrinterStatus Status() const { return FStatus; }
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void ClearPages();
    int PageCount() const { return FPageCount; }
    int CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(int page);
    // The selected page picture; nullptr unless the store is finished.
    const QPicture *Page() const;
    // The recording canvas of the open page; nullptr unless the store is busy.
    QPainter *Canvas() const { return FCanvas.get(); }

    const QString &Title() const { return FTitle; }
    void SetTitle(const QString &title) { FTitle = title; }
    const QString &ProgressCaption() const { return FProgressCaption; }
    void SetProgressCaption(const QString &caption) { FProgressCaption = caption; }
    const QString &PreviewCaption() const { return FPreviewCaption; }
    void SetPreviewCaption(const QString &caption) { FPreviewCaption = caption; }
    bool PrinterOK() const { return FPrinterOK; }
    bool Cancelled() const { return FCancelled; }
    void SetCancelled(bool cancelled) { FCancelled = cancelled; }
    void Cancel() { FCancelled = true; }
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool show) { FShowProgress = show; }

    // Sends every page to the current printer; false when no job started, as when the
    // user declines the file name a print to a file asks for.
    bool Print();
    // Calls OnPreview, or shows the built-in preview when no hook is set; returns when
    // the preview has closed.
    void ShowPreview();
    std::function<void()> OnPreview;
    // The built-in preview while it is shown, nullptr otherwise.
    TQRStandardPreview *StandardPreview() const { return FStandardPreview; }

    // Writes the finished pages to a page file. The file is written beside its final
    // name and takes that name only once complete: a cancel or a failure leaves an
    // earlier file of that name as it was. Raises Exception when it cannot be written.
    void Save(const QString &fileName);
    // Replaces the pages with those of a page file. The file is checked against its
    // own sizes, and every page picture against what the player can take, before any
    // of it is used; a bad file raises Exception and leaves the store empty and idle.
    void Load(const QString &fileName);
    // The same from an open device; name is the file name the messages give.
    void Load(QIODevice &device, const QString &name);

    // Replays a page picture stretched into target on any canvas (screen or printer).
    static void DrawPage(QPainter &canvas, const QPicture &page, const QRectF &target);

private:
    bool LockSettings();
    void UnlockSettings();
    void SetDefaultMetrics(int offset);
    void OpenPage();
    void ClosePage();
    void ReadPages(QIODevice &device, const QString &name);

    int FPageWidth = 0;
    int FPageHeight = 0;
    int FSheetWidth = 0;
    int FSheetHeight = 0;
    int FLeftOffset = 0;
    int FTopOffset = 0;

    TQRPrinterStatus FStatus = stIdle;
    std::vector<std::unique_ptr<QPicture>> FPages;
    std::unique_ptr<QPicture> FOpenPage;
    QSize FOpenPageSize;
    std::unique_ptr<QPainter> FCanvas;
    int FPageCount = 0;
    int FCurrentPage = 0;

    TPrinterOrientation FOrientation = poPortrait;
    QString FTitle;
    QString FProgressCaption;
    QString FPreviewCaption;
    bool FPrinterOK = true;
    bool FCancelled = false;
    bool FShowProgress = true;

    QString FDevice;
    Printers::DeviceMode FDevMode;
    int FLockCount = 0;

    // The painter of the job in progress, so that a second Print started from inside
    // the first (its progress window lets events run) can abort it.
    QPainter *FJobPainter = nullptr;
    QPointer<TQRStandardPreview> FStandardPreview;
    bool FLoading = false;
};

// The one report printer, owned by the application object and created on first use.
TQRPrinter *QRPrinter();

// Paper code of a paper size in the printer's settings record.
int QRPaperCode(TQRPaperSize size);
