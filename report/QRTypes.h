#pragma once

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

// Texts the engine shows; kept together so each reads the same everywhere.
// One text per line.
// clang-format off
namespace QRTexts {
inline QString PreparingReport() { return QStringLiteral("Preparing report"); }
inline QString PrintingReport() { return QStringLiteral("Printing report"); }
inline QString Cancel() { return QStringLiteral("Cancel"); }
inline QString EngineVersion() { return QStringLiteral("Report engine version"); }
inline QString PrinterDriverError() { return QStringLiteral("Printer driver error"); }
inline QString SavingReport() { return QStringLiteral("Saving report"); }
inline QString LoadingReport() { return QStringLiteral("Loading report"); }
inline QString ReportFiles() { return QStringLiteral("Report files|*.QRP"); }
inline QString FitInWindow() { return QStringLiteral("Fit in Window"); }
inline QString ActualSize() { return QStringLiteral("100%"); }
inline QString PageWidth() { return QStringLiteral("Page Width"); }
inline QString FirstPage() { return QStringLiteral("First page"); }
inline QString PreviousPage() { return QStringLiteral("Previous page"); }
inline QString NextPage() { return QStringLiteral("Next page"); }
inline QString LastPage() { return QStringLiteral("Last page"); }
inline QString PrintReport() { return QStringLiteral("Print report"); }
inline QString SaveReport() { return QStringLiteral("Save report"); }
inline QString LoadReport() { return QStringLiteral("Load report"); }
inline QString Exit() { return QStringLiteral("&Exit"); }
inline QString Page() { return QStringLiteral("Page"); }
inline QString Of() { return QStringLiteral("of"); }
inline QString CannotOpenFile(const QString &file)
{
    return QStringLiteral("The report file %1 cannot be opened.").arg(file);
}
inline QString CannotWriteFile(const QString &file) { return QStringLiteral("Unable to write to %1").arg(file); }
inline QString NotAReportFile(const QString &file)
{
    return QStringLiteral("%1 is not a report file, or it is damaged.").arg(file);
}
inline QString DamagedPage(const QString &file, int page)
{
    return QStringLiteral("Page %1 of the report file %2 is damaged.").arg(page).arg(file);
}
inline QString StoreBusy()
{
    return QStringLiteral("A report is being prepared; no report file can be loaded now.");
}
inline QString ColumnHeadersTooTall()
{
    return QStringLiteral("The column header bands do not fit in the room below the page header.");
}
QString SysDataName(TQRSysDataType data);
// clang-format on
} // namespace QRTexts
