#pragma once

#include <QString>

#include <vector>

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
