#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPainter;
class QPrinter;
class QWidget;

// The printers the program can print on, the one currently chosen, and its settings.
// The list is the system's printers followed by "Print to PDF", which asks for a file
// name when a job starts; with no other printer installed it is the one chosen.
// Nothing here knows about reports: callers get page geometry in device dots and a
// settings record in the shape the report printer works with.
namespace Printers {

QString PdfPrinterName();

// The printers offered, in order.
QStringList Names();

// Replaces the whole list (tests: an empty list is a machine without any printer; a
// name the system does not know is a printer whose device cannot be reached).
// std::nullopt goes back to the system's list. Either way the choice is made anew.
void SetNames(std::optional<QStringList> names);

// Position of the chosen printer in Names(), -1 when the list is empty.
int Index();

// Chooses a printer; its settings start from the printer's defaults. Choosing the
// current one again re-reads it.
void SetIndex(int index);

QString CurrentName();

bool IsPdf();

// The chosen printer's object, holding the settings later jobs use; nullptr when the
// list is empty.
QPrinter *Printer();

// Page geometry of the chosen printer in device dots. HasPhysical is false when the
// device cannot tell the sheet size and the printable area's position on it.
struct Geometry {
    int HorzRes = 0;
    int VertRes = 0;
    int DpiX = 0;
    int DpiY = 0;
    bool HasPhysical = false;
    int OffsetX = 0;
    int OffsetY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
};

// Raises EPrinter when no printer is chosen or its device cannot be reached.
Geometry PageGeometry();

// The printer settings record. Fields announces which members the record carries:
// orientation and paper size always, the custom paper length and width only while
// the paper is custom. Paper codes are the Windows ones (1 Letter, 5 Legal, 8 A3,
// 9 A4, 11 A5, 256 custom); lengths are in tenths of a millimetre.
enum : unsigned {
    DM_ORIENTATION = 0x1,
    DM_PAPERSIZE = 0x2,
    DM_PAPERLENGTH = 0x4,
    DM_PAPERWIDTH = 0x8,
};
enum : int { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int { DMPAPER_USER = 256 };

struct DeviceMode {
    unsigned Fields = 0;
    int Orientation = DMORIENT_PORTRAIT;
    int PaperSize = 0;
    int PaperLength = 0;
    int PaperWidth = 0;
};

// Reads the chosen printer's name and settings; false when it has no settings record.
bool GetPrinter(QString &device, DeviceMode &mode);

// Applies a record to the named printer, choosing it first when it is not the current
// one. Members whose bit is not set in Fields are left as they are.
void SetPrinter(const QString &device, const DeviceMode &mode);

// Paper codes the chosen printer supports (DMPAPER_USER when it takes custom sizes).
QList<int> PaperCodes();

// A print job on the chosen printer: BeginJob sets the job name, asks for the output
// file of "Print to PDF" and starts painting; false when the user declined the file
// (nothing was started). EPrinter when the device refuses the job.
bool BeginJob(QPainter &painter, const QString &title);
void NewJobPage();
// Ends the job; with abort the job is thrown away (a PDF being written is removed).
void EndJob(QPainter &painter, bool abort);
bool IsPrinting();

// Replaces the file dialog of "Print to PDF" (tests): return false to decline.
void SetOnAskFileName(std::function<bool(QString &fileName)> ask);

// The printer-setup dialog: printer, paper size and orientation for later jobs.
// True when the user accepted.
bool ExecSetupDialog(QWidget *parent);

} // namespace Printers
