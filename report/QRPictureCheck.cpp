#include "report/QRPictureCheck.h"

#include <QBrush>
#include <QBuffer>
#include <QColor>
#include <QDataStream>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>
#include <cmath>
#include <cstring>

namespace {

// Command numbers of the picture format.
enum Command : quint8 {
    PdcNOP = 0,
    PdcDrawPoint = 1,
    PdcDrawLine = 4,
    PdcDrawRect = 5,
    PdcDrawEllipse = 7,
    PdcDrawPolyline = 12,
    PdcDrawPolygon = 13,
    PdcDrawPixmap = 17,
    PdcDrawImage = 18,
    PdcDrawText2 = 19,
    PdcDrawTextItem = 21,
    PdcDrawPath = 25,
    PdcBegin = 30,
    PdcEnd = 31,
    PdcSave = 32,
    PdcRestore = 33,
    PdcSetBkColor = 40,
    PdcSetBkMode = 41,
    PdcSetBrushOrigin = 43,
    PdcSetFont = 45,
    PdcSetPen = 46,
    PdcSetBrush = 47,
    PdcSetWMatrix = 55,
    PdcSetClipRegion = 61,
    PdcSetClipPath = 62,
    PdcSetRenderHint = 63,
    PdcSetCompositionMode = 64,
    PdcSetClipEnabled = 65,
    PdcSetOpacity = 66,
};

// Sizes a page can use. Page coordinates are a few ten thousand units; the limits
// leave room for anything the engine draws and keep the rasterizer, the text layout
// and the dash stroker away from sizes that cost minutes or gigabytes.
constexpr double MaxCoordinate = 1e7;
constexpr double MaxScale = 1e4;
constexpr double MaxPenWidth = 1e4;
constexpr int MaxFontPixels = 2048;
constexpr double MaxFontPoints = 1536;
constexpr quint32 MaxTextBytes = 2 * 32768;
constexpr quint32 MaxFamilies = 16;
constexpr quint32 MaxFamilyBytes = 2 * 256;
constexpr quint32 MaxDashes = 64;
constexpr quint32 MaxPoints = 65536;
constexpr qint32 MaxPathElements = 65536;
constexpr quint32 MaxRegionRects = 1024;
constexpr quint32 MaxImageSide = 8192;
constexpr quint64 MaxImagePixels = 16u * 1024 * 1024;
constexpr int MaxSaveDepth = 256;
constexpr quint32 MaxRecords = 4u * 1024 * 1024;

// The header: tag, checksum, version, then the begin command with the bounding
// rectangle and the record count.
constexpr int HeaderSize = 4 + 2 + 2 + 2 + 1 + 1 + 16 + 4;
constexpr int ChecksumStart = 6;

// Reads big-endian values from a span without ever passing its end; a read that
// would pass it fails the whole walk.
class Walker {
public:
    Walker(const uchar *data, qint64 size) : FData(data), FSize(size) {}

    bool Ok() const { return FOk; }
    qint64 Pos() const { return FPos; }
    qint64 Left() const { return FSize - FPos; }
    bool Fail() { return FOk = false; }

    bool Take(qint64 n)
    {
        if (!FOk || n < 0 || n > Left())
            return Fail();
        FPos += n;
        return true;
    }
    quint8 U8()
    {
        if (!Take(1))
            return 0;
        return FData[FPos - 1];
    }
    quint16 U16()
    {
        if (!Take(2))
            return 0;
        const uchar *p = FData + FPos - 2;
        return quint16((p[0] << 8) | p[1]);
    }
    quint32 U32()
    {
        if (!Take(4))
            return 0;
        const uchar *p = FData + FPos - 4;
        return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
    }
    qint32 I32() { return qint32(U32()); }
    double F64()
    {
        if (!Take(8))
            return 0;
        const uchar *p = FData + FPos - 8;
        quint64 bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | p[i];
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

private:
    const uchar *FData;
    qint64 FSize;
    qint64 FPos = 0;
    bool FOk = true;
};

bool Finite(double v, double limit)
{
    return std::isfinite(v) && std::fabs(v) <= limit;
}

bool Coordinate(Walker &w)
{
    return Finite(w.F64(), MaxCoordinate) && w.Ok();
}

bool Point(Walker &w)
{
    return Coordinate(w) && Coordinate(w);
}

bool Rect(Walker &w)
{
    return Point(w) && Point(w);
}

// A string: a byte count (all ones for a null string), UTF-16, so an even count.
bool String(Walker &w, quint32 maxBytes)
{
    const quint32 bytes = w.U32();
    if (!w.Ok())
        return false;
    if (bytes == 0xffffffffu)
        return true;
    return bytes % 2 == 0 && bytes <= maxBytes && w.Take(bytes);
}

// A list: its count is reserved before a single element is read, so it must fit the
// bytes that follow.
bool StringList(Walker &w, quint32 maxCount, quint32 maxBytes)
{
    const quint32 count = w.U32();
    if (!w.Ok() || count > maxCount || count > w.Left() / 4)
        return w.Fail();
    for (quint32 i = 0; i < count; ++i) {
        if (!String(w, maxBytes))
            return false;
    }
    return true;
}

// Colour model, alpha, three components and a pad word. The player converts hue-based
// colours by table position, so a hue must be a real angle (or the "no hue" value).
bool Color(Walker &w)
{
    const quint8 model = w.U8();
    w.U16();
    const quint16 first = w.U16();
    w.U16();
    w.U16();
    w.U16();
    if (!w.Ok())
        return false;
    switch (QColor::Spec(model)) {
    case QColor::Invalid:
    case QColor::Rgb:
    case QColor::Cmyk: return true;
    case QColor::Hsv:
    case QColor::Hsl: return first < 36000 || first == 0xffff;
    default: return w.Fail();
    }
}

// Nine factors; only the affine ones the engine uses, at sizes a page can take.
bool Transform(Walker &w)
{
    double m[9];
    for (double &v : m)
        v = w.F64();
    if (!w.Ok())
        return false;
    const bool affine = m[2] == 0 && m[5] == 0 && m[8] == 1;
    const bool sized = Finite(m[0], MaxScale) && Finite(m[1], MaxScale) && Finite(m[3], MaxScale) &&
                       Finite(m[4], MaxScale) && Finite(m[6], MaxCoordinate) && Finite(m[7], MaxCoordinate);
    return (affine && sized) || w.Fail();
}

// Solid and hatched brushes only: a gradient or texture brush carries more data than
// a page needs and is not part of what the engine records.
bool Brush(Walker &w)
{
    const quint8 style = w.U8();
    if (!w.Ok() || style > Qt::DiagCrossPattern)
        return w.Fail();
    return Color(w) && Transform(w);
}

bool Pen(Walker &w)
{
    const quint16 style = w.U16();
    const quint8 cosmetic = w.U8();
    const double width = w.F64();
    if (!w.Ok() || cosmetic > 1 || !std::isfinite(width) || width < 0 || width > MaxPenWidth)
        return w.Fail();
    const int line = style & int(Qt::MPenStyle);
    const int cap = style & int(Qt::MPenCapStyle);
    const int join = style & int(Qt::MPenJoinStyle);
    if ((style & ~(int(Qt::MPenStyle) | int(Qt::MPenCapStyle) | int(Qt::MPenJoinStyle))) || line > Qt::CustomDashLine ||
        (cap != Qt::FlatCap && cap != Qt::SquareCap && cap != Qt::RoundCap) ||
        (join != Qt::MiterJoin && join != Qt::BevelJoin && join != Qt::RoundJoin && join != Qt::SvgMiterJoin))
        return w.Fail();
    if (!Brush(w))
        return false;
    const double miter = w.F64();
    const quint32 dashes = w.U32();
    if (!w.Ok() || !std::isfinite(miter) || miter < 0 || miter > MaxPenWidth || dashes > MaxDashes ||
        dashes > w.Left() / 8)
        return w.Fail();
    // Dashes are measured in pen widths: a pattern shorter than a pixel over a long
    // line is millions of dashes.
    double pattern = 0;
    for (quint32 i = 0; i < dashes; ++i) {
        const double dash = w.F64();
        if (!w.Ok() || !std::isfinite(dash) || dash < 0 || dash > MaxPenWidth)
            return w.Fail();
        pattern += dash;
    }
    if (dashes > 0 && (dashes % 2 != 0 || pattern * std::max(width, 1.0) < 1))
        return w.Fail();
    if (dashes == 0 && line == Qt::CustomDashLine)
        return w.Fail();
    const double offset = w.F64();
    const quint8 defaultWidth = w.U8();
    return (w.Ok() && Finite(offset, MaxCoordinate) && defaultWidth <= 1) || w.Fail();
}

bool Font(Walker &w)
{
    if (!String(w, MaxFamilyBytes) || !String(w, MaxFamilyBytes))
        return false;
    const double points = w.F64();
    const qint32 pixels = w.I32();
    w.U8();
    w.U16();
    const quint16 weight = w.U16();
    w.U8();
    const quint16 stretch = w.U16();
    w.U8();
    const qint32 letterSpacing = w.I32();
    const qint32 wordSpacing = w.I32();
    const quint8 hinting = w.U8();
    const quint8 capital = w.U8();
    if (!w.Ok())
        return false;
    const bool byPixels = pixels > 0 && pixels <= MaxFontPixels && points == -1;
    const bool byPoints = pixels == -1 && std::isfinite(points) && points > 0 && points <= MaxFontPoints;
    // Spacing is held in 64ths of a pixel (or a percentage).
    const qint32 maxSpacing = 64 * 4096;
    if (!(byPixels || byPoints) || weight > 1000 || stretch > 4000 || std::abs(letterSpacing) > maxSpacing ||
        std::abs(wordSpacing) > maxSpacing || hinting > QFont::PreferFullHinting || capital > QFont::Capitalize)
        return w.Fail();
    return StringList(w, MaxFamilies, MaxFamilyBytes);
}

bool Polygon(Walker &w)
{
    const quint32 count = w.U32();
    if (!w.Ok() || count > MaxPoints || count > w.Left() / 16)
        return w.Fail();
    for (quint32 i = 0; i < count; ++i) {
        if (!Point(w))
            return w.Fail();
    }
    return true;
}

// Elements as the player appends them: it loops over the count it reads, skips
// non-finite points (which would shift every curve), and later walks a curve as three
// elements in a row, so the structure must be whole.
bool Path(Walker &w)
{
    const qint32 count = w.I32();
    if (!w.Ok())
        return false;
    // An empty path is its count alone.
    if (count == 0)
        return true;
    if (count < 0 || count > MaxPathElements || qint64(count) * 20 + 8 > w.Left())
        return w.Fail();
    int curveData = 0;
    for (qint32 i = 0; i < count; ++i) {
        const qint32 type = w.I32();
        if (!Point(w))
            return w.Fail();
        bool fits = false;
        switch (type) {
        case QPainterPath::MoveToElement:
        case QPainterPath::LineToElement:
            fits = curveData == 0 && (i > 0 || type == QPainterPath::MoveToElement);
            break;
        case QPainterPath::CurveToElement:
            fits = curveData == 0 && i > 0;
            curveData = 2;
            break;
        case QPainterPath::CurveToDataElement:
            fits = curveData > 0;
            --curveData;
            break;
        default: break;
        }
        if (!fits)
            return w.Fail();
    }
    const qint32 subpathStart = w.I32();
    const qint32 fillRule = w.I32();
    return (w.Ok() && curveData == 0 && subpathStart >= 0 && subpathStart < count &&
            (fillRule == Qt::OddEvenFill || fillRule == Qt::WindingFill)) ||
           w.Fail();
}

// A region travels as a byte array of region operations; the engine only ever has
// one list of rectangles in it. Anything else (nested operations, ellipses, polygons)
// makes the player recurse or rasterize without bound.
bool Region(Walker &w)
{
    constexpr qint32 RegionRects = 10;
    const quint32 bytes = w.U32();
    if (!w.Ok())
        return false;
    if (bytes == 0 || bytes == 0xffffffffu)
        return true;
    if (bytes > w.Left() || bytes < 8)
        return w.Fail();
    const qint64 end = w.Pos() + bytes;
    const qint32 op = w.I32();
    const quint32 count = w.U32();
    if (!w.Ok() || op != RegionRects || count > MaxRegionRects || quint64(count) * 16 != bytes - 8)
        return w.Fail();
    for (quint32 i = 0; i < 4 * count; ++i) {
        if (std::abs(qint64(w.I32())) > MaxCoordinate)
            return w.Fail();
    }
    return (w.Ok() && w.Pos() == end) || w.Fail();
}

// An image: a marker (0 for no image), then a PNG stream whose chunks are walked to
// its end; the first chunk gives the size, which must fit a page.
bool Image(Walker &w, const uchar *base)
{
    const qint32 marker = w.I32();
    if (!w.Ok() || marker < 0 || marker > 1)
        return w.Fail();
    if (marker == 0)
        return true;
    static const uchar Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const qint64 start = w.Pos();
    if (!w.Take(8) || std::memcmp(base + start, Signature, 8) != 0)
        return w.Fail();
    bool first = true;
    for (;;) {
        const quint32 length = w.U32();
        const qint64 typeAt = w.Pos();
        if (!w.Take(4) || length > 0x7fffffffu || qint64(length) + 4 > w.Left())
            return w.Fail();
        const QByteArray type(reinterpret_cast<const char *>(base + typeAt), 4);
        if (first) {
            if (type != "IHDR" || length != 13)
                return w.Fail();
            const quint32 width = w.U32();
            const quint32 height = w.U32();
            if (!w.Ok() || width == 0 || height == 0 || width > MaxImageSide || height > MaxImageSide ||
                quint64(width) * height > MaxImagePixels)
                return w.Fail();
            w.Take(length - 8);
            first = false;
        } else {
            w.Take(length);
        }
        w.Take(4);
        if (!w.Ok())
            return false;
        if (type == "IEND")
            return true;
    }
}

// Walks one command's parameters; true when they are whole and sound. The caller
// checks that they end exactly where the command's length says.
bool Parameters(quint8 command, Walker &w, const uchar *base, int &saveDepth)
{
    switch (command) {
    case PdcNOP:
    case PdcEnd: return true;
    case PdcSave: return ++saveDepth <= MaxSaveDepth || w.Fail();
    case PdcRestore:
        if (saveDepth > 0)
            --saveDepth;
        return true;
    case PdcDrawPoint:
    case PdcSetBrushOrigin: return Point(w);
    case PdcDrawLine: return Point(w) && Point(w);
    case PdcDrawRect:
    case PdcDrawEllipse: return Rect(w);
    case PdcDrawPolyline: return Polygon(w);
    case PdcDrawPolygon: return Polygon(w) && (w.U8() <= 1 || w.Fail());
    case PdcDrawPixmap: return Rect(w) && Image(w, base) && Rect(w);
    case PdcDrawImage: return Rect(w) && Image(w, base) && Rect(w) && (w.U32() <= 0xffff || w.Fail());
    case PdcDrawText2: return Point(w) && String(w, MaxTextBytes);
    case PdcDrawTextItem: {
        if (!Point(w) || !String(w, MaxTextBytes) || !Font(w))
            return false;
        w.U32();
        // The ratio of the recording device's resolution to the screen's; the player
        // builds a device of that resolution to size the font.
        const double dpiRatio = w.F64();
        const double justification = w.F64();
        return (w.Ok() && std::isfinite(dpiRatio) && dpiRatio >= 0.05 && dpiRatio <= 20 &&
                std::isfinite(justification) && justification >= 0 && justification <= MaxCoordinate) ||
               w.Fail();
    }
    case PdcDrawPath: return Path(w);
    case PdcSetBkColor: return Color(w);
    case PdcSetBkMode: return w.U8() <= Qt::OpaqueMode || w.Fail();
    case PdcSetFont: return Font(w);
    case PdcSetPen: return Pen(w);
    case PdcSetBrush: return Brush(w);
    case PdcSetWMatrix:
        // The engine never asks to combine: a combining transform compounds with every
        // repetition until the coordinates overflow.
        return Transform(w) && (w.U8() == 0 || w.Fail());
    case PdcSetClipRegion: return Region(w) && (w.U8() <= Qt::IntersectClip || w.Fail());
    case PdcSetClipPath: return Path(w) && (w.U8() <= Qt::IntersectClip || w.Fail());
    case PdcSetRenderHint: w.U32(); return w.Ok();
    case PdcSetCompositionMode:
        // The raster engine picks its blend functions from a table by this number.
        return w.U32() <= quint32(QPainter::RasterOp_NotDestination) || w.Fail();
    case PdcSetClipEnabled: return w.U8() <= 1 || w.Fail();
    case PdcSetOpacity: {
        const double opacity = w.F64();
        return (w.Ok() && std::isfinite(opacity) && opacity >= 0 && opacity <= 1) || w.Fail();
    }
    default:
        // Nested pictures (the player recurses into them), the integer forms of old
        // formats and every command the engine does not record.
        return w.Fail();
    }
}

// Qt's own reading of the same parameters, on a copy followed by spare bytes: it must
// read exactly the walked length, not a byte more or less, so the player, which reads
// by type and not by length, stays in step with the walk.
bool ReadsAlike(quint8 command, const QByteArray &parameters)
{
    QByteArray padded = parameters;
    padded.append(16, '\xff');
    QBuffer buffer(&padded);
    buffer.open(QIODevice::ReadOnly);
    QDataStream s(&buffer);
    s.setVersion(TQRPictureCheck::FormatVersion);
    QPointF p1, p2;
    QRectF r1, r2;
    QString text;
    QFont font;
    QPen pen;
    QBrush brush;
    QColor color;
    QTransform matrix;
    QPolygonF polygon;
    QPainterPath path;
    QRegion region;
    QImage image;
    quint32 u32 = 0;
    qint8 i8 = 0;
    double d1 = 0, d2 = 0;
    switch (command) {
    case PdcNOP:
    case PdcEnd:
    case PdcSave:
    case PdcRestore: break;
    case PdcDrawPoint:
    case PdcSetBrushOrigin: s >> p1; break;
    case PdcDrawLine: s >> p1 >> p2; break;
    case PdcDrawRect:
    case PdcDrawEllipse: s >> r1; break;
    case PdcDrawPolyline: s >> polygon; break;
    case PdcDrawPolygon: s >> polygon >> i8; break;
    case PdcDrawPixmap: s >> r1 >> image >> r2; break;
    case PdcDrawImage: s >> r1 >> image >> r2 >> u32; break;
    case PdcDrawText2: s >> p1 >> text; break;
    case PdcDrawTextItem: s >> p1 >> text >> font >> u32 >> d1 >> d2; break;
    case PdcDrawPath: s >> path; break;
    case PdcSetBkColor: s >> color; break;
    case PdcSetBkMode:
    case PdcSetClipEnabled: s >> i8; break;
    case PdcSetFont: s >> font; break;
    case PdcSetPen: s >> pen; break;
    case PdcSetBrush: s >> brush; break;
    case PdcSetWMatrix: s >> matrix >> i8; break;
    case PdcSetClipRegion: s >> region >> i8; break;
    case PdcSetClipPath: s >> path >> i8; break;
    case PdcSetRenderHint:
    case PdcSetCompositionMode: s >> u32; break;
    case PdcSetOpacity: s >> d1; break;
    default: return false;
    }
    return s.status() == QDataStream::Ok && buffer.pos() == parameters.size();
}

} // namespace

QString TQRPictureCheck::Check(const QByteArray &picture)
{
    if (picture.size() < HeaderSize)
        return QStringLiteral("picture shorter than its header");
    if (picture.size() > MaxPictureSize)
        return QStringLiteral("picture larger than a page may be");
    const auto *base = reinterpret_cast<const uchar *>(picture.constData());
    Walker w(base, picture.size());
    if (std::memcmp(base, "QPIC", 4) != 0)
        return QStringLiteral("not a picture");
    w.Take(4);
    const quint16 checksum = w.U16();
    const quint16 major = w.U16();
    w.U16();
    if (checksum != qChecksum(QByteArrayView(picture).sliced(ChecksumStart)))
        return QStringLiteral("picture checksum does not match");
    if (major != FormatVersion)
        return QStringLiteral("picture format %1 is not the page format").arg(major);
    if (w.U8() != PdcBegin)
        return QStringLiteral("picture does not begin with its bounding rectangle");
    w.U8();
    for (int i = 0; i < 4; ++i)
        w.I32();
    const quint32 records = w.U32();
    // Every record takes at least two bytes.
    if (records == 0 || records > MaxRecords || records > quint64(w.Left()) / 2)
        return QStringLiteral("record count does not fit the picture");

    int saveDepth = 0;
    for (quint32 i = 0; i < records; ++i) {
        const quint8 command = w.U8();
        const quint8 shortLength = w.U8();
        qint64 length = shortLength;
        if (shortLength == 255)
            length = w.I32();
        if (!w.Ok() || length < 0 || length > w.Left())
            return QStringLiteral("record %1 runs past the picture").arg(i);
        const bool last = i + 1 == records;
        if ((command == PdcEnd) != last)
            return QStringLiteral("record %1: the end record must close the picture").arg(i);
        const qint64 start = w.Pos();
        Walker parameters(base + start, length);
        if (!Parameters(command, parameters, base + start, saveDepth) || !parameters.Ok() || parameters.Pos() != length)
            return QStringLiteral("record %1 (command %2) is not one the page player can take").arg(i).arg(command);
        if (!ReadsAlike(command, picture.mid(start, length)))
            return QStringLiteral("record %1 (command %2) does not read as it walks").arg(i).arg(command);
        w.Take(length);
    }
    if (w.Left() != 0)
        return QStringLiteral("bytes after the end record");
    return QString();
}
