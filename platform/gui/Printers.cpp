#include "platform/gui/Printers.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/ActivationTracker.h"

#include <QCoreApplication>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

namespace Printers {

namespace {

struct State {
    bool listRead = false;
    std::optional<QStringList> overrideNames;
    QStringList names;
    bool chosen = false;
    int index = -1;
    // false for a listed name the system does not know: it has no device and no settings
    bool reachable = false;
    std::unique_ptr<QPrinter> printer;
    DeviceMode mode;
    std::function<bool(QString &)> askFileName;
    QString jobFile;
};

State &S()
{
    static State state;
    return state;
}

void ReadList()
{
    State &s = S();
    if (s.listRead)
        return;
    if (s.overrideNames) {
        s.names = *s.overrideNames;
    } else {
        s.names = QPrinterInfo::availablePrinterNames();
        s.names.append(PdfPrinterName());
    }
    s.listRead = true;
}

bool SystemKnows(const QString &name)
{
    return !QPrinterInfo::printerInfo(name).isNull();
}

int TenthsOfMillimetre(qreal millimetres)
{
    return int(std::lround(millimetres * 10.0));
}

// The record mirrors what the printer object holds; a custom size stays custom even
// when its measures happen to equal a standard sheet.
void ReadModeFromPrinter()
{
    State &s = S();
    const QPageLayout layout = s.printer->pageLayout();
    DeviceMode mode;
    mode.Fields = DM_ORIENTATION | DM_PAPERSIZE;
    mode.Orientation = layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    const QPageSize size = layout.pageSize();
    mode.PaperSize = size.id() == QPageSize::Custom ? int(DMPAPER_USER) : size.windowsId();
    if (mode.PaperSize == DMPAPER_USER) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        mode.PaperWidth = TenthsOfMillimetre(mm.width());
        mode.PaperLength = TenthsOfMillimetre(mm.height());
        mode.Fields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
    }
    s.mode = mode;
}

// The sheet the record describes; invalid when it names none.
QPageSize RecordPageSize(const DeviceMode &mode)
{
    if (mode.PaperSize == DMPAPER_USER) {
        if (mode.PaperWidth > 0 && mode.PaperLength > 0)
            return QPageSize(QSizeF(mode.PaperWidth / 10.0, mode.PaperLength / 10.0), QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
        return QPageSize();
    }
    const QPageSize::PageSizeId id = QPageSize::id(mode.PaperSize);
    return id == QPageSize::Custom ? QPageSize() : QPageSize(id);
}

void ApplyModeToPrinter()
{
    State &s = S();
    QPrinter &printer = *s.printer;
    printer.setPageOrientation(s.mode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    const QPageSize size = RecordPageSize(s.mode);
    if (size.isValid())
        printer.setPageSize(size);
}

// Whoever changed the printer object directly (a print dialog) is believed; a sheet
// still equal to the record's keeps the record, custom or not.
void SyncModeWithPrinter()
{
    State &s = S();
    const QPageLayout layout = s.printer->pageLayout();
    const QPageSize recorded = RecordPageSize(s.mode);
    if (!recorded.isValid() || !recorded.isEquivalentTo(layout.pageSize())) {
        ReadModeFromPrinter();
        return;
    }
    s.mode.Orientation = layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
}

void Choose(int index)
{
    State &s = S();
    ReadList();
    s.chosen = true;
    s.printer.reset();
    s.reachable = false;
    s.index = (index >= 0 && index < s.names.size()) ? index : -1;
    if (s.index < 0)
        return;
    const QString name = s.names.at(s.index);
    s.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (name == PdfPrinterName()) {
        s.printer->setOutputFormat(QPrinter::PdfFormat);
        s.reachable = true;
    } else if (SystemKnows(name)) {
        s.printer->setPrinterName(name);
        s.reachable = true;
    }
    ReadModeFromPrinter();
}

void EnsureChosen()
{
    State &s = S();
    if (s.chosen)
        return;
    ReadList();
    int index = s.names.indexOf(QPrinterInfo::defaultPrinterName());
    if (index < 0 && !s.names.isEmpty())
        index = 0;
    Choose(index);
}

QList<int> PaperCodesOf(const QString &name)
{
    QList<int> codes;
    auto add = [&codes](int code) {
        if (code > 0 && code != DMPAPER_USER && !codes.contains(code))
            codes.append(code);
    };
    if (name == PdfPrinterName()) {
        for (int id = 0; id <= int(QPageSize::LastPageSize); ++id)
            add(QPageSize::windowsId(QPageSize::PageSizeId(id)));
        codes.append(DMPAPER_USER);
    } else if (SystemKnows(name)) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        for (const QPageSize &size : info.supportedPageSizes())
            add(size.windowsId());
        if (info.supportsCustomPageSizes())
            codes.append(DMPAPER_USER);
    }
    return codes;
}

bool AskFileName(QString &fileName, const QString &title)
{
    State &s = S();
    if (s.askFileName)
        return s.askFileName(fileName) && !fileName.isEmpty();
    // The job's title suggests the file's name.
    QString suggested = title.trimmed();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|]"));
    suggested.replace(unsafe, QStringLiteral("_"));
    if (suggested.isEmpty())
        suggested = QStringLiteral("report");
    // The job may have set the hourglass; the file dialog wants the ordinary pointer.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    fileName = QFileDialog::getSaveFileName(QApplication::activeWindow(), PdfPrinterName(),
                                            QDir::home().filePath(suggested + QStringLiteral(".pdf")),
                                            QCoreApplication::translate("Printers", "PDF files (*.pdf)"));
    QApplication::restoreOverrideCursor();
    if (fileName.isEmpty())
        return false;
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QLatin1String(".pdf");
    return true;
}

} // namespace

QString PdfPrinterName()
{
    return QCoreApplication::translate("Printers", "Print to PDF");
}

QStringList Names()
{
    ReadList();
    return S().names;
}

void SetNames(std::optional<QStringList> names)
{
    State &s = S();
    s.overrideNames = std::move(names);
    s.listRead = false;
    s.chosen = false;
    s.printer.reset();
    s.index = -1;
}

int Index()
{
    EnsureChosen();
    return S().index;
}

void SetIndex(int index)
{
    Choose(index);
}

QString CurrentName()
{
    EnsureChosen();
    const State &s = S();
    return s.index >= 0 ? s.names.at(s.index) : QString();
}

bool IsPdf()
{
    return CurrentName() == PdfPrinterName();
}

QPrinter *Printer()
{
    EnsureChosen();
    return S().printer.get();
}

Geometry PageGeometry()
{
    EnsureChosen();
    State &s = S();
    if (!s.printer || !s.reachable)
        throw EPrinter(QCoreApplication::translate("Printers", "Printer \"%1\" is not available").arg(CurrentName()));
    const int resolution = s.printer->resolution();
    const QPageLayout layout = s.printer->pageLayout();
    const QRect paint = layout.paintRectPixels(resolution);
    const QRect full = layout.fullRectPixels(resolution);
    if (resolution <= 0 || paint.isEmpty())
        throw EPrinter(QCoreApplication::translate("Printers", "Printer \"%1\" reports no page").arg(CurrentName()));
    Geometry g;
    g.HorzRes = paint.width();
    g.VertRes = paint.height();
    g.DpiX = resolution;
    g.DpiY = resolution;
    g.HasPhysical = !full.isEmpty();
    if (g.HasPhysical) {
        g.OffsetX = paint.left() - full.left();
        g.OffsetY = paint.top() - full.top();
        g.PhysicalWidth = full.width();
        g.PhysicalHeight = full.height();
    }
    return g;
}

bool GetPrinter(QString &device, DeviceMode &mode)
{
    EnsureChosen();
    const State &s = S();
    if (!s.printer || !s.reachable)
        return false;
    SyncModeWithPrinter();
    device = s.names.at(s.index);
    mode = s.mode;
    return true;
}

void SetPrinter(const QString &device, const DeviceMode &mode)
{
    EnsureChosen();
    State &s = S();
    if (device != CurrentName()) {
        const int index = s.names.indexOf(device);
        if (index < 0)
            return;
        Choose(index);
    }
    if (!s.printer || !s.reachable)
        return;
    SyncModeWithPrinter();
    if (mode.Fields & DM_ORIENTATION)
        s.mode.Orientation = mode.Orientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (mode.Fields & DM_PAPERSIZE) {
        if (mode.PaperSize == DMPAPER_USER) {
            if (s.mode.PaperSize != DMPAPER_USER) {
                // A sheet turned custom keeps its measures until new ones arrive.
                const QSizeF mm = s.printer->pageLayout().pageSize().size(QPageSize::Millimeter);
                s.mode.PaperWidth = TenthsOfMillimetre(mm.width());
                s.mode.PaperLength = TenthsOfMillimetre(mm.height());
            }
            s.mode.PaperSize = DMPAPER_USER;
            s.mode.Fields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        } else if (QPageSize::id(mode.PaperSize) != QPageSize::Custom) {
            s.mode.PaperSize = mode.PaperSize;
            s.mode.PaperWidth = 0;
            s.mode.PaperLength = 0;
            s.mode.Fields &= ~unsigned(DM_PAPERLENGTH | DM_PAPERWIDTH);
        }
    }
    if (s.mode.PaperSize == DMPAPER_USER) {
        if ((mode.Fields & DM_PAPERWIDTH) && mode.PaperWidth > 0)
            s.mode.PaperWidth = mode.PaperWidth;
        if ((mode.Fields & DM_PAPERLENGTH) && mode.PaperLength > 0)
            s.mode.PaperLength = mode.PaperLength;
    }
    ApplyModeToPrinter();
}

QList<int> PaperCodes()
{
    EnsureChosen();
    const State &s = S();
    if (!s.printer || !s.reachable)
        return {};
    return PaperCodesOf(CurrentName());
}

bool BeginJob(QPainter &painter, const QString &title)
{
    EnsureChosen();
    State &s = S();
    if (!s.printer || !s.reachable)
        throw EPrinter(QCoreApplication::translate("Printers", "Printer \"%1\" is not available").arg(CurrentName()));
    s.printer->setDocName(title);
    s.jobFile.clear();
    if (IsPdf()) {
        QString fileName;
        if (!AskFileName(fileName, title))
            return false;
        s.printer->setOutputFileName(fileName);
        s.jobFile = fileName;
    }
    if (!painter.begin(s.printer.get()))
        throw EPrinter(
            QCoreApplication::translate("Printers", "Printing on \"%1\" could not start").arg(CurrentName()));
    return true;
}

void NewJobPage()
{
    if (QPrinter *printer = S().printer.get())
        printer->newPage();
}

void EndJob(QPainter &painter, bool abort)
{
    State &s = S();
    if (abort && s.printer)
        s.printer->abort();
    if (painter.isActive())
        painter.end();
    if (abort && !s.jobFile.isEmpty())
        QFile::remove(s.jobFile);
    s.jobFile.clear();
}

bool IsPrinting()
{
    const State &s = S();
    return s.printer && s.printer->printerState() == QPrinter::Active;
}

void SetOnAskFileName(std::function<bool(QString &fileName)> ask)
{
    S().askFileName = std::move(ask);
}

// Long by design: the dialog's layout and its answer in one place, as it runs once.
bool ExecSetupDialog(QWidget *parent)
{
    EnsureChosen();
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("Printers", "Print Setup"));
    ActivationTracker::MarkSystemDialog(&dialog);
    auto *printerBox = new QComboBox(&dialog);
    printerBox->addItems(Names());
    printerBox->setCurrentIndex(Index());
    auto *paperBox = new QComboBox(&dialog);
    auto *portrait = new QRadioButton(QCoreApplication::translate("Printers", "P&ortrait"), &dialog);
    auto *landscape = new QRadioButton(QCoreApplication::translate("Printers", "L&andscape"), &dialog);

    // The paper list belongs to the printer in the first box; the current settings show
    // while that printer is the chosen one, another starts from A4 upright.
    auto fillPaper = [&]() {
        const QString name = printerBox->currentText();
        paperBox->clear();
        for (int code : PaperCodesOf(name)) {
            if (code != DMPAPER_USER)
                paperBox->addItem(QPageSize(QPageSize::id(code)).name(), code);
        }
        DeviceMode mode;
        mode.PaperSize = 9;
        if (printerBox->currentIndex() == Index()) {
            QString device;
            GetPrinter(device, mode);
        }
        paperBox->setCurrentIndex(std::max(0, paperBox->findData(mode.PaperSize)));
        (mode.Orientation == DMORIENT_LANDSCAPE ? landscape : portrait)->setChecked(true);
    };
    fillPaper();
    QObject::connect(printerBox, &QComboBox::currentIndexChanged, &dialog, fillPaper);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QCoreApplication::translate("Printers", "&Printer:"), printerBox);
    form->addRow(QCoreApplication::translate("Printers", "Paper &size:"), paperBox);
    auto *orientation = new QGroupBox(QCoreApplication::translate("Printers", "Orientation"), &dialog);
    auto *orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->addWidget(portrait);
    orientationLayout->addWidget(landscape);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(orientation);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printerBox->currentIndex() != Index())
        Choose(printerBox->currentIndex());
    DeviceMode mode;
    mode.Fields = DM_ORIENTATION;
    mode.Orientation = landscape->isChecked() ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (paperBox->currentIndex() >= 0) {
        mode.Fields |= DM_PAPERSIZE;
        mode.PaperSize = paperBox->currentData().toInt();
    }
    SetPrinter(CurrentName(), mode);
    return true;
}

} // namespace Printers
