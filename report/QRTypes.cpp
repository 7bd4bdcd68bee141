#include "report/QRTypes.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

int QRScreenPixelsPerInch()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return std::max(1, int(std::lround(screen->logicalDotsPerInchY())));
    return QRReferenceResolution;
}

int QRFontSize(const QFont &font)
{
    if (font.pixelSize() > 0)
        return QRMulDiv(font.pixelSize(), 72, QRScreenPixelsPerInch());
    return int(std::lround(font.pointSizeF()));
}

QFont QRFontAtSize(const QFont &font, int points)
{
    QFont sized(font);
    sized.setPixelSize(std::max(1, QRMulDiv(points, QRScreenPixelsPerInch(), 72)));
    return sized;
}

namespace QRTexts {

QString SysDataName(TQRSysDataType data)
{
    switch (data) {
    case qrsTime: return QStringLiteral("Time");
    case qrsDate: return QStringLiteral("Date");
    case qrsDateTime: return QStringLiteral("Date, Time");
    case qrsPageNumber: return QStringLiteral("Page#");
    case qrsReportTitle: return QStringLiteral("ReportTitle");
    case qrsDetailCount: return QStringLiteral("DetailCount");
    case qrsDetailNo: return QStringLiteral("Detail#");
    }
    return QString();
}

} // namespace QRTexts
