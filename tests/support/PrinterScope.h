#pragma once

#include "platform/gui/Printers.h"

#include <QStringList>
#include <QTemporaryDir>

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
