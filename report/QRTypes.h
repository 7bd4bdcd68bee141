#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QRect>
#include <QString>
#include <cmath>

// Shared vocabulary of the report engine, its print controls, the page store and the
// preview.

enum TQRBandType {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
};
inline constexpr int QRBandTypeCount = 10;

enum TQRPaperSize { qrpDefault, qrpLetter, qrpLegal, qrpA3, qrpA4, qrpA5, qrpCustom };

enum TPrinterOrientation { poPortrait, poLandscape };

enum TQRPrinterStatus { stIdle, stBusy, stFinished };

enum TQRRuler { qrrNone, qrrInchesH, qrrInchesV, qrrInchesHV, qrrCmH, qrrCmV, qrrCmHV };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TQRSysDataType {
    qrsTime,
    qrsDate,
    qrsDateTime,
    qrsPageNumber,
    qrsReportTitle,
    qrsDetailCount,
    qrsDetailNo,
};

enum TQRShapeType {
    qrsRectangle,
    qrsCircle,
    qrsVertLine,
    qrsHorLine,
    qrsTopAndBottom,
    qrsRightAndLeft,
};

// Every page of the store is recorded at this many units per screen pixel.
inline constexpr int QRPageUnitsPerPixel = 4;

// Designed report units are pixels at this resolution.
inline constexpr int QRReferenceResolution = 96;

// Nearest integer with halves going to the even neighbour: every coordinate of the
// engine is rounded this way, so 2.5 gives 2 and 3.5 gives 4.
inline int QRRound(double v)
{
    const double f = std::floor(v);
    const double rest = v - f;
    if (rest > 0.5)
        return int(f) + 1;
    if (rest < 0.5)
        return int(f);
    return std::fmod(f, 2.0) == 0.0 ? int(f) : int(f) + 1;
}

// a * b / c rounded half away from zero, the way font heights turn into point sizes.
inline int QRMulDiv(int a, int b, int c)
{
    return c == 0 ? -1 : int(std::lround(double(a) * b / c));
}

// A rectangle given by its edges, right and bottom excluded.
inline QRect QRRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// The screen's pixels per inch, 96 on an ordinary desktop.
int QRScreenPixelsPerInch();

// A font's size in points: a pixel height is turned into points at the screen's
// resolution, rounded half away from zero.
int QRFontSize(const QFont &font);

// The font at another size in points, held as a pixel size at the screen's resolution
// so that every canvas (screen, page picture, printer) scales it alike.
QFont QRFontAtSize(const QFont &font, int points);

// Texts the engine shows, in the user's language; kept together so each reads the same
// everywhere. One text per line.
// clang-format off
namespace QRTexts {
inline QString Tr(const char *text) { return QCoreApplication::translate("QRTexts", text); }
inline QString PreparingReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Preparing report")); }
inline QString PrintingReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Printing report")); }
inline QString Cancel() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Cancel")); }
inline QString EngineVersion() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Report engine version")); }
inline QString PrinterDriverError() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Printer driver error")); }
inline QString SavingReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Saving report")); }
inline QString LoadingReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Loading report")); }
inline QString ReportFiles() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Report files|*.QRP")); }
inline QString FitInWindow() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Fit in Window")); }
inline QString ActualSize() { return QStringLiteral("100%"); }
inline QString PageWidth() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Page Width")); }
inline QString FirstPage() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "First page")); }
inline QString PreviousPage() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Previous page")); }
inline QString NextPage() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Next page")); }
inline QString LastPage() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Last page")); }
inline QString PrintReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Print report")); }
inline QString SaveReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Save report")); }
inline QString LoadReport() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "Load report")); }
inline QString Exit() { return Tr(QT_TRANSLATE_NOOP("QRTexts", "&Exit")); }
// "Page 2 of 5".
inline QString PageOf(int page, int count)
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "Page %1 of %2")).arg(page).arg(count);
}
inline QString CannotOpenFile(const QString &file)
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "The report file %1 cannot be opened.")).arg(file);
}
inline QString CannotWriteFile(const QString &file)
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "Unable to write to %1")).arg(file);
}
inline QString NotAReportFile(const QString &file)
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "%1 is not a report file, or it is damaged.")).arg(file);
}
inline QString DamagedPage(const QString &file, int page)
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "Page %1 of the report file %2 is damaged.")).arg(page).arg(file);
}
inline QString StoreBusy()
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "A report is being prepared; no report file can be loaded now."));
}
inline QString ColumnHeadersTooTall()
{
    return Tr(QT_TRANSLATE_NOOP("QRTexts", "The column header bands do not fit in the room below the page header."));
}
// The property names a design shows; never translated.
QString SysDataName(TQRSysDataType data);
// clang-format on
} // namespace QRTexts
