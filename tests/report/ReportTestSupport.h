#pragma once

#include "platform/gui/Printers.h"
#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRReport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

// The printer list for one test: "Print to PDF" alone unless told otherwise, with the
// file question answered by a file in a temporary folder. The system's list comes
// back afterwards.
class PrinterScope {
public:
    explicit PrinterScope(const QStringList &names = {Printers::PdfPrinterName()});
    ~PrinterScope();

    // The file the next PDF job writes; Asked counts the questions.
    QString NextFile;
    bool Decline = false;
    int Asked = 0;
    QTemporaryDir Dir;
};

// pdftotext's reading of a PDF (with -layout when asked); empty when it fails.
QString PdfText(const QString &file, bool layout = false);
int PdfPageCount(const QString &file);

// The words of a PDF with their boxes in points from the top-left of their page.
struct PdfWord {
    QString Text;
    int Page;
    double XMin, YMin, XMax, YMax;
};
std::vector<PdfWord> PdfWords(const QString &file);
const PdfWord *FindWord(const std::vector<PdfWord> &words, const QString &text);

// A report form of the tests' own: a hidden window with one report and bands added in
// order. Every band's events write to Log as "<band name>:<event>".
class TestForm {
public:
    TestForm();
    ~TestForm();

    TQRBand *AddBand(const QString &name, TQRBandType type, int height);
    TQRLabel *AddLabel(TQRBand *band, const QString &name, const QString &caption, int left, int top);

    std::unique_ptr<QWidget> Form;
    TQRReport *Report = nullptr;
    std::vector<std::string> Log;
    // Placement of every band that printed: name, page, column, x, y (report units).
    struct Placement {
        std::string Band;
        int Page;
        int Column;
        int X;
        int Y;
    };
    std::vector<Placement> Placed;
};

class PageProbe;

// Runs the report's Preview with a hook that keeps a probe of every finished page.
struct PreviewRun {
    int Calls = 0;
    int PageCount = 0;
    std::vector<std::unique_ptr<PageProbe>> Pages;
};
PreviewRun RunPreview(TQRReport &report);
