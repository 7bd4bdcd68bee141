#include "report/QRPrinter.h"

#include "platform/core/Exceptions.h"
#include "report/QRPageFile.h"
#include "report/QRPictureCheck.h"
#include "report/QRProgressForm.h"
#include "report/QRStandardPreview.h"
#include "report/ReportLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QRectF>
#include <QSaveFile>
#include <array>
#include <limits>
#include <utility>

namespace {

struct PaperEntry {
    TQRPaperSize Size;
    int Code;
};

constexpr std::array<PaperEntry, 7> PaperTable{{
    {qrpDefault, 0},
    {qrpLetter, 1},
    {qrpLegal, 5},
    {qrpA3, 8},
    {qrpA4, 9},
    {qrpA5, 11},
    {qrpCustom, Printers::DMPAPER_USER},
}};

// Holds the printer's settings record for the length of one read or change.
class SettingsLock {
public:
    SettingsLock(bool locked, std::function<void()> unlock) : FLocked(locked), FUnlock(std::move(unlock)) {}
    ~SettingsLock()
    {
        if (FLocked)
            FUnlock();
    }
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;
    explicit operator bool() const { return FLocked; }

private:
    bool FLocked;
    std::function<void()> FUnlock;
};

} // namespace

int QRPaperCode(TQRPaperSize size)
{
    for (const PaperEntry &entry : PaperTable) {
        if (entry.Size == size)
            return entry.Code;
    }
    return 0;
}

TQRPrinter *QRPrinter()
{
    static QPointer<TQRPrinter> instance;
    if (!instance)
        instance = new TQRPrinter(QCoreApplication::instance());
    return instance;
}

TQRPrinter::TQRPrinter(QObject *parent) : QObject(parent)
{
    FProgressCaption = QRTexts::EngineVersion() + QStringLiteral(" 1.1a");
    FPreviewCaption = FProgressCaption;
}

TQRPrinter::~TQRPrinter()
{
    if (FStatus == stBusy)
        EndDoc();
    ClearPages();
}

void TQRPrinter::SetDefaultMetrics(int offset)
{
    const int P = QRScreenPixelsPerInch();
    FPageWidth = QRRound(P * 7.786667);
    FPageHeight = QRRound(P * 11.253333);
    FSheetWidth = QRRound(FPageWidth * 1.05);
    FSheetHeight = QRRound(FPageHeight * 1.05);
    FLeftOffset = offset;
    FTopOffset = offset;
}

void TQRPrinter::ComputeMetrics()
{
    if (Printers::Names().isEmpty()) {
        SetDefaultMetrics(5);
        FPrinterOK = false;
        return;
    }
    try {
        const Printers::Geometry g = Printers::PageGeometry();
        if (g.DpiX <= 0 || g.DpiY <= 0)
            throw EPrinter(QCoreApplication::translate("QRPrinter", "Printer reports no resolution"));
        const double P = QRScreenPixelsPerInch();
        auto horizontal = [&](int dots) { return QRRound(dots / double(g.DpiX) * P); };
        auto vertical = [&](int dots) { return QRRound(dots / double(g.DpiY) * P); };
        FPageWidth = horizontal(g.HorzRes);
        FPageHeight = vertical(g.VertRes);
        if (g.HasPhysical) {
            FSheetWidth = horizontal(g.PhysicalWidth);
            FSheetHeight = vertical(g.PhysicalHeight);
            FLeftOffset = horizontal(g.OffsetX);
            FTopOffset = vertical(g.OffsetY);
        } else {
            // The preview divides by the sheet size: without the device's answer the
            // printable area stands for the whole sheet.
            FSheetWidth = FPageWidth;
            FSheetHeight = FPageHeight;
            FLeftOffset = 0;
            FTopOffset = 0;
        }
    } catch (const std::exception &e) {
        // A printer that cannot tell its page leaves the default page; the user hears
        // of it only as a preview without fit commands and printing that does nothing.
        qCDebug(lcReport) << "printer geometry unavailable:" << e.what();
        SetDefaultMetrics(20);
        FPrinterOK = false;
    }
}

bool TQRPrinter::LockSettings()
{
    if (FLockCount > 0) {
        ++FLockCount;
        return true;
    }
    if (!FPrinterOK)
        return false;
    QString device;
    Printers::DeviceMode mode;
    if (!Printers::GetPrinter(device, mode)) {
        Printers::SetIndex(Printers::Index());
        if (!Printers::GetPrinter(device, mode))
            throw EPrinter(QRTexts::PrinterDriverError());
    }
    FDevice = device;
    FDevMode = mode;
    FLockCount = 1;
    return true;
}

void TQRPrinter::UnlockSettings()
{
    if (FLockCount <= 0)
        return;
    if (--FLockCount == 0)
        Printers::SetPrinter(FDevice, FDevMode);
}

void TQRPrinter::SetOrientation(TPrinterOrientation orientation)
{
    if (!FPrinterOK)
        return;
    FOrientation = orientation;
    const int value = orientation == poLandscape ? Printers::DMORIENT_LANDSCAPE : Printers::DMORIENT_PORTRAIT;
    Printers::DeviceMode objectMode;
    objectMode.Fields = Printers::DM_ORIENTATION;
    objectMode.Orientation = value;
    Printers::SetPrinter(Printers::CurrentName(), objectMode);
    SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
    if (lock && (FDevMode.Fields & Printers::DM_ORIENTATION))
        FDevMode.Orientation = value;
}

bool TQRPrinter::PaperSupported(TQRPaperSize size)
{
    return Printers::PaperCodes().contains(QRPaperCode(size));
}

void TQRPrinter::SetPaperSize(TQRPaperSize size)
{
    {
        SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
        if (lock && (FDevMode.Fields & Printers::DM_PAPERSIZE) && PaperSupported(size)) {
            FDevMode.PaperSize = QRPaperCode(size);
            FDevMode.Fields |= Printers::DM_PAPERSIZE;
        }
    }
    ComputeMetrics();
}

TQRPaperSize TQRPrinter::GetPaperSize()
{
    SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
    if (!lock)
        return qrpDefault;
    if (!(FDevMode.Fields & Printers::DM_PAPERSIZE))
        return qrpCustom;
    TQRPaperSize result = qrpCustom;
    for (const PaperEntry &entry : PaperTable) {
        if (entry.Code == FDevMode.PaperSize)
            result = entry.Size;
    }
    return result;
}

void TQRPrinter::SetPaperWidth(int width)
{
    if (width != 0)
        SetPaperSize(qrpCustom);
    {
        SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
        if (lock && (FDevMode.Fields & Printers::DM_PAPERSIZE) && GetPaperSize() == qrpCustom) {
            FDevMode.PaperWidth = width;
            FDevMode.Fields |= Printers::DM_PAPERWIDTH;
        }
    }
    ComputeMetrics();
}

int TQRPrinter::GetPaperWidth()
{
    SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
    return lock && (FDevMode.Fields & Printers::DM_PAPERWIDTH) ? FDevMode.PaperWidth : 0;
}

void TQRPrinter::SetPaperLength(int length)
{
    if (length != 0)
        SetPaperSize(qrpCustom);
    {
        SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
        if (lock && (FDevMode.Fields & Printers::DM_PAPERSIZE)) {
            FDevMode.PaperLength = length;
            FDevMode.Fields |= Printers::DM_PAPERLENGTH;
        }
    }
    ComputeMetrics();
}

int TQRPrinter::GetPaperLength()
{
    SettingsLock lock(LockSettings(), [this] { UnlockSettings(); });
    return lock && (FDevMode.Fields & Printers::DM_PAPERLENGTH) ? FDevMode.PaperLength : 0;
}

void TQRPrinter::OpenPage()
{
    // Recorded in one fixed format, the one page files carry and the loader checks.
    FOpenPage = std::make_unique<QPicture>(TQRPictureCheck::FormatVersion);
    FOpenPageSize = QSize(FPageWidth * QRPageUnitsPerPixel, FPageHeight * QRPageUnitsPerPixel);
    FCanvas = std::make_unique<QPainter>(FOpenPage.get());
}

void TQRPrinter::ClosePage()
{
    FCanvas->end();
    FCanvas.reset();
    // The recorded drawing may not reach every edge: the page keeps its full size.
    FOpenPage->setBoundingRect(QRect(QPoint(0, 0), FOpenPageSize));
    FPages.push_back(std::move(FOpenPage));
}

void TQRPrinter::BeginDoc()
{
    if (FStatus == stFinished)
        ClearPages();
    if (FStatus != stIdle)
        return;
    ComputeMetrics();
    FPages.clear();
    OpenPage();
    FStatus = stBusy;
    FCurrentPage = 1;
    FPageCount = 1;
    FTitle.clear();
}

void TQRPrinter::NewPage()
{
    if (FStatus != stBusy)
        return;
    ClosePage();
    ComputeMetrics();
    OpenPage();
    ++FPageCount;
}

void TQRPrinter::EndDoc()
{
    if (FStatus != stBusy)
        return;
    ClosePage();
    FStatus = stFinished;
    SetCurrentPage(1);
}

void TQRPrinter::ClearPages()
{
    if (FStatus != stFinished)
        return;
    FPages.clear();
    FPageCount = 0;
    FCurrentPage = 0;
    FStatus = stIdle;
}

void TQRPrinter::SetCurrentPage(int page)
{
    if (FStatus == stFinished && page >= 1 && page <= FPageCount)
        FCurrentPage = page;
}

const QPicture *TQRPrinter::Page() const
{
    if (FStatus != stFinished || FCurrentPage < 1 || FCurrentPage > int(FPages.size()))
        return nullptr;
    return FPages[FCurrentPage - 1].get();
}

void TQRPrinter::DrawPage(QPainter &canvas, const QPicture &page, const QRectF &target)
{
    const QRect box = page.boundingRect();
    if (box.isEmpty() || target.isEmpty())
        return;
    // Playback scales a picture by the device's resolution over the screen's; that
    // factor is taken out again so the page lands exactly in target.
    const QPaintDevice *device = canvas.device();
    const double dpiX = device ? device->logicalDpiX() : page.logicalDpiX();
    const double dpiY = device ? device->logicalDpiY() : page.logicalDpiY();
    canvas.save();
    canvas.translate(target.topLeft());
    canvas.scale(target.width() / box.width() * page.logicalDpiX() / dpiX,
                 target.height() / box.height() * page.logicalDpiY() / dpiY);
    canvas.drawPicture(0, 0, page);
    canvas.restore();
}

bool TQRPrinter::Print()
{
    if (!FPrinterOK || FStatus != stFinished)
        return false;
    const int remembered = FCurrentPage;

    FCancelled = false;
    if (FJobPainter) {
        Printers::EndJob(*FJobPainter, true);
        FJobPainter = nullptr;
    }
    QPainter painter;
    // The job may first ask for a file name; the progress window appears only once
    // there is something to print.
    if (!Printers::BeginJob(painter, FTitle)) {
        SetCurrentPage(remembered);
        return false;
    }
    FJobPainter = &painter;
    struct JobGuard {
        TQRPrinter *Self;
        QPainter &Painter;
        int Remembered;
        ~JobGuard()
        {
            if (Self->FJobPainter == &Painter)
                Self->FJobPainter = nullptr;
            if (Painter.isActive())
                Printers::EndJob(Painter, true);
            Self->SetCurrentPage(Remembered);
        }
    } guard{this, painter, remembered};

    TQRProgressForm progress(this);
    progress.SetMax(FPageCount);
    progress.SetText(QRTexts::PrintingReport() + QLatin1Char(' ') + FTitle);
    if (FShowProgress)
        progress.Show();

    QCoreApplication::processEvents();
    const QRectF area(0, 0, painter.device()->width(), painter.device()->height());
    for (int i = 1; i <= FPageCount && !FCancelled && painter.isActive(); ++i) {
        progress.SetPosition(i);
        painter.save();
        SetCurrentPage(i);
        if (const QPicture *page = Page())
            DrawPage(painter, *page, area);
        painter.restore();
        if (i < FPageCount)
            Printers::NewJobPage();
        // Between pages the Cancel button gets its chance, as a spooler's abort check gives it.
        QCoreApplication::processEvents();
    }
    if (painter.isActive())
        Printers::EndJob(painter, FCancelled);
    return true;
}

void TQRPrinter::ShowPreview()
{
    if (OnPreview) {
        const std::function<void()> hook = OnPreview;
        hook();
        return;
    }
    SetCurrentPage(1);
    // One built-in preview at a time; a preview asked for from inside it shows nothing
    // more.
    if (FStandardPreview)
        return;
    auto preview = std::make_unique<TQRStandardPreview>(this);
    FStandardPreview = preview.get();
    preview->Show();
}

void TQRPrinter::Save(const QString &fileName)
{
    if (FStatus != stFinished)
        return;
    FCancelled = false;
    // The pictures are shared, not copied: the pages stay whole even if the store is
    // cleared while the progress window lets events run.
    std::vector<QPicture> pages;
    pages.reserve(FPages.size());
    for (const std::unique_ptr<QPicture> &page : FPages)
        pages.push_back(*page);

    QRPageFile::Header header;
    header.PageHeight = FPageHeight;
    header.PageWidth = FPageWidth;
    header.PixelsPerInch = QRScreenPixelsPerInch();
    header.PageCount = int(pages.size());
    header.Saved = QRPageFile::DaysSince1899(QDateTime::currentDateTime());
    header.Portrait = FOrientation == poPortrait;

    QSaveFile file(fileName);
    auto fail = [&fileName] { throw Exception(QRTexts::CannotWriteFile(fileName)); };
    auto write = [&](const QByteArray &bytes) {
        if (file.write(bytes) != bytes.size())
            fail();
    };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    TQRProgressForm progress(this);
    progress.SetMax(header.PageCount);
    progress.SetText(QRTexts::SavingReport());
    if (FShowProgress)
        progress.Show();
    write(QRPageFile::EncodeHeader(header));

    const QPointer<TQRPrinter> self(this);
    for (int i = 1; i <= header.PageCount; ++i) {
        QCoreApplication::processEvents();
        if (!self || FCancelled)
            break;
        progress.SetPosition(i);
        const QPicture &page = pages[i - 1];
        const qint64 at = file.pos();
        const qint64 total = QRPageFile::RecordHeaderSize + qint64(page.size());
        if (at > std::numeric_limits<qint32>::max() || total > std::numeric_limits<quint32>::max())
            fail();
        write(QRPageFile::EncodeRecordHeader(quint32(total)));
        write(QByteArray::fromRawData(page.data(), page.size()));
        write(QRPageFile::EncodeOffset(qint32(at)));
    }
    // Without a commit the temporary file goes and an earlier file stays as it was.
    if (!self || FCancelled) {
        file.cancelWriting();
        return;
    }
    if (!file.commit())
        fail();
}

void TQRPrinter::Load(const QString &fileName)
{
    if (FStatus == stBusy || FLoading)
        throw Exception(QRTexts::StoreBusy());
    FCancelled = false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QRTexts::CannotOpenFile(fileName));
    Load(file, fileName);
}

void TQRPrinter::Load(QIODevice &device, const QString &name)
{
    // A store being recorded is never touched: marking it finished would leave its
    // open page and canvas behind.
    if (FStatus == stBusy || FLoading)
        throw Exception(QRTexts::StoreBusy());
    FCancelled = false;
    FLoading = true;
    struct LoadingFlag {
        QPointer<TQRPrinter> Printer;
        ~LoadingFlag()
        {
            if (Printer)
                Printer->FLoading = false;
        }
    } loading{this};
    ReadPages(device, name);
}

// Long by design: the file's checks in the order the bytes come (header, count, each
// record, each picture), so a reader can hold them against the format.
void TQRPrinter::ReadPages(QIODevice &device, const QString &name)
{
    auto notReportFile = [&name] { throw Exception(QRTexts::NotAReportFile(name)); };
    if (device.isSequential() || !device.isReadable())
        notReportFile();
    const qint64 size = device.size();
    if (size < QRPageFile::HeaderSize || !device.seek(0))
        notReportFile();
    const QRPageFile::Header header = QRPageFile::DecodeHeader(device.read(QRPageFile::HeaderSize));
    // Every page takes at least a record header, the smallest picture and its offset:
    // a count the file cannot hold ends here, before anything is allocated for it.
    constexpr qint64 SmallestRecord = QRPageFile::RecordHeaderSize + 32 + QRPageFile::OffsetSize;
    if (header.PageCount < 1 || header.PageCount > (size - QRPageFile::HeaderSize) / SmallestRecord ||
        header.PageWidth < 1 || header.PageWidth > QRPageFile::MaxPageSide || header.PageHeight < 1 ||
        header.PageHeight > QRPageFile::MaxPageSide)
        notReportFile();

    TQRProgressForm progress(this);
    progress.SetMax(header.PageCount);
    progress.SetText(QRTexts::LoadingReport());
    if (FShowProgress)
        progress.Show();

    const QRect pageBox(0, 0, header.PageWidth * QRPageUnitsPerPixel, header.PageHeight * QRPageUnitsPerPixel);
    std::vector<std::unique_ptr<QPicture>> pages;
    const QPointer<TQRPrinter> self(this);
    for (int i = 1; i <= header.PageCount; ++i) {
        QCoreApplication::processEvents();
        if (!self)
            return;
        progress.SetPosition(i);
        auto damaged = [&name, i](const QString &why) {
            qCDebug(lcReport) << "page" << i << "of" << name << "rejected:" << why;
            throw Exception(QRTexts::DamagedPage(name, i));
        };
        const qint64 at = device.pos();
        const qint64 total = QRPageFile::DecodeRecordHeader(device.read(QRPageFile::RecordHeaderSize));
        if (total < 0)
            damaged(QStringLiteral("no page record here"));
        const qint64 pictureSize = total - QRPageFile::RecordHeaderSize;
        if (pictureSize < 32 || pictureSize > TQRPictureCheck::MaxPictureSize ||
            at + total + QRPageFile::OffsetSize > size)
            damaged(QStringLiteral("record size %1 does not fit the file").arg(total));
        const QByteArray picture = device.read(pictureSize);
        if (picture.size() != pictureSize)
            damaged(QStringLiteral("file ends inside the page"));
        if (const QString why = TQRPictureCheck::Check(picture); !why.isEmpty())
            damaged(why);
        if (QRPageFile::DecodeOffset(device.read(QRPageFile::OffsetSize)) != at)
            damaged(QStringLiteral("record offset does not match its place"));
        auto page = std::make_unique<QPicture>(TQRPictureCheck::FormatVersion);
        page->setData(picture.constData(), uint(picture.size()));
        page->setBoundingRect(pageBox);
        pages.push_back(std::move(page));
    }
    // Something may have started recording while the progress window let events run.
    if (FStatus == stBusy)
        throw Exception(QRTexts::StoreBusy());

    // Only a complete file replaces the pages held so far: one that fails to load leaves
    // the report on screen exactly as it was.
    ClearPages();
    FPages = std::move(pages);
    FPageCount = header.PageCount;
    FPageWidth = header.PageWidth;
    FPageHeight = header.PageHeight;
    FSheetWidth = QRPageFile::SheetSide(header.PageWidth);
    FSheetHeight = QRPageFile::SheetSide(header.PageHeight);
    SetOrientation(header.Portrait ? poPortrait : poLandscape);
    FStatus = stFinished;
    FCurrentPage = 0;
    SetCurrentPage(1);
}
