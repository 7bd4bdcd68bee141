#pragma once

#include "support/PdfReading.h"
#include "support/PrinterScope.h"
#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRReport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

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
