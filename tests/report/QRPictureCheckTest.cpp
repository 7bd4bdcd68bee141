#include "PictureBuilder.h"
#include "RichReport.h"

#include "report/QRPictureCheck.h"
#include "report/QRPrinter.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPixmap>
#include <QRegion>
#include <QTransform>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

enum : quint8 {
    NOP = 0,
    DrawLine = 4,
    DrawRect = 5,
    DrawPolyline = 12,
    DrawPolygon = 13,
    DrawImage = 18,
    DrawText2 = 19,
    DrawTextItem = 21,
    DrawPath = 25,
    Begin = 30,
    Save = 32,
    SetBkColor = 40,
    SetBkMode = 41,
    SetFont = 45,
    SetPen = 46,
    SetBrush = 47,
    SetWMatrix = 55,
    SetClipRegion = 61,
    SetOpacity = 66,
    SetCompositionMode = 64,
};

using Params = PictureBuilder;

QByteArray Line()
{
    return Params::Params([](QDataStream &s) { s << QPointF(1, 1) << QPointF(100, 120); });
}

QByteArray Points(quint32 announced, int real)
{
    return Params::Params([=](QDataStream &s) {
        s << announced;
        for (int i = 0; i < real; ++i)
            s << double(i * 10) << double(i * 5);
    });
}

struct Element {
    qint32 Type;
    double X, Y;
};

QByteArray Path(const std::vector<Element> &elements, qint32 announced = -1, qint32 start = 0, qint32 fill = 0)
{
    return Params::Params([&](QDataStream &s) {
        s << (announced >= 0 ? announced : qint32(elements.size()));
        for (const Element &e : elements)
            s << e.Type << e.X << e.Y;
        s << start << fill;
    });
}

// A font in the order the picture format writes one.
QByteArray Font(double points, qint32 pixels, quint32 families = 1, quint32 realFamilies = 1)
{
    return Params::Params([=](QDataStream &s) {
        s << QStringLiteral("Liberation Sans") << QString() << points << pixels << quint8(QFont::AnyStyle)
          << quint16(QFont::PreferDefault) << quint16(400) << quint8(0x10) << quint16(0) << quint8(0x01) << qint32(0)
          << qint32(0) << quint8(0) << quint8(0) << families;
        for (quint32 i = 0; i < realFamilies; ++i)
            s << QStringLiteral("Liberation Sans");
    });
}

// A pen in the order the picture format writes one.
QByteArray Pen(quint16 style, double width, const std::vector<double> &dashes, quint32 announced = ~0u)
{
    return Params::Params([&](QDataStream &s) {
        s << style << false << width << QBrush(Qt::black) << 2.0
          << (announced == ~0u ? quint32(dashes.size()) : announced);
        for (double d : dashes)
            s << d;
        s << 0.0 << false;
    });
}

QByteArray Region(qint32 op, quint32 announced, int real)
{
    QByteArray inner = Params::Params([&](QDataStream &s) {
        s << op << announced;
        for (int i = 0; i < real; ++i)
            s << QRect(i, i, 10, 10);
    });
    return Params::Params([&](QDataStream &s) { s << inner << qint8(Qt::ReplaceClip); });
}

QByteArray Png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray ImageRecord(const QByteArray &png)
{
    return Params::Params([&](QDataStream &s) {
        s << QRectF(0, 0, 40, 40) << qint32(1);
        s.writeRawData(png.constData(), int(png.size()));
        s << QRectF(0, 0, 4, 4) << quint32(0);
    });
}

QByteArray Matrix(const QTransform &t, qint8 combine = 0)
{
    return Params::Params([&](QDataStream &s) { s << t << combine; });
}

QByteArray TextItem(double dpiRatio)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(40);
    return Params::Params([&](QDataStream &s) {
        s << QPointF(10, 50) << QStringLiteral("Text") << font << qint32(0) << dpiRatio << 0.0;
    });
}

// Recomputes the checksum after bytes were changed behind the builder's back.
QByteArray Sealed(QByteArray bytes)
{
    const quint16 sum = qChecksum(QByteArrayView(bytes).sliced(6));
    bytes[4] = char(sum >> 8);
    bytes[5] = char(sum & 0xff);
    return bytes;
}

QByteArray Recorded(const std::function<void(QPainter &)> &draw)
{
    QPicture picture(TQRPictureCheck::FormatVersion);
    QPainter painter(&picture);
    draw(painter);
    painter.end();
    return QByteArray(picture.data(), picture.size());
}

} // namespace

TEST(PictureCheck, AcceptsEveryPageTheEngineRecords)
{
    PrinterScope scope;
    RichReport form(60);
    std::vector<QByteArray> pages;
    PreparePages(*form.Report, [&] { pages = PageBytes(); });
    ASSERT_GE(pages.size(), 2u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(TQRPictureCheck::Check(pages[i]).toStdString(), "") << "page " << i + 1;
        EXPECT_TRUE(PlayPicture(pages[i]));
    }
}

TEST(PictureCheck, AcceptsWhatAPainterRecordsWithinPageSizes)
{
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30, 128));
    const QByteArray bytes = Recorded([&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::red, 3, Qt::CustomDashLine));
        QPen custom = p.pen();
        custom.setDashPattern({4, 2, 1, 2});
        p.setPen(custom);
        p.setBrush(QBrush(Qt::blue, Qt::DiagCrossPattern));
        p.setBrushOrigin(3, 4);
        p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(50, 10), QPointF(20, 60)}), Qt::WindingFill);
        p.drawPolyline(QPolygonF({QPointF(0, 0), QPointF(50, 10), QPointF(20, 60)}));
        QPainterPath curve;
        curve.moveTo(10, 10);
        curve.cubicTo(40, 0, 60, 80, 90, 20);
        curve.closeSubpath();
        p.drawPath(curve);
        p.drawEllipse(QRectF(100, 100, 80, 40));
        p.save();
        p.setClipRegion(QRegion(0, 0, 50, 50) + QRegion(60, 60, 20, 20));
        p.setClipPath(curve, Qt::IntersectClip);
        p.setOpacity(0.5);
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        p.drawImage(QRectF(10, 10, 60, 40), image);
        p.drawPixmap(QPointF(5, 5), QPixmap::fromImage(image));
        p.restore();
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(QColor::fromHsv(200, 100, 100));
        p.translate(30, 40);
        p.rotate(30);
        p.scale(2, 0.5);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(11.5);
        font.setItalic(true);
        font.setUnderline(true);
        p.setFont(font);
        p.drawText(QPointF(0, 0), QStringLiteral("Tallowmere ÄÖÜ"));
    });
    EXPECT_EQ(TQRPictureCheck::Check(bytes).toStdString(), "");
    EXPECT_TRUE(PlayPicture(bytes));
}

// The layouts the hostile rows below are built from are exactly what Qt writes: a font
// and a pen put together field by field read back byte for byte as Qt's own.
TEST(PictureCheck, HandBuiltParametersMatchQtsOwnWriting)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(40);
    QByteArray expected = Params::Params([&](QDataStream &s) { s << font; });
    EXPECT_EQ(Font(-1, 40), expected);

    QPen pen(QBrush(Qt::black), 1.5, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin);
    pen.setMiterLimit(2);
    expected = Params::Params([&](QDataStream &s) { s << pen; });
    EXPECT_EQ(Pen(quint16(int(Qt::DashLine) | int(Qt::FlatCap) | int(Qt::RoundJoin)), 1.5, {4, 2}), expected);

    // And a sane picture built from them is accepted and plays.
    const QByteArray sane = PictureBuilder()
                                .Add(SetFont, Font(-1, 40))
                                .Add(SetPen, Pen(quint16(Qt::DashLine), 1.5, {4, 2}))
                                .Add(DrawLine, Line())
                                .Add(DrawPolyline, Points(3, 3))
                                .Add(DrawPath, Path({{0, 0, 0}, {2, 10, 0}, {3, 10, 10}, {3, 0, 10}, {1, 5, 5}}))
                                .Add(SetClipRegion, Region(10, 2, 2))
                                .Add(DrawImage, ImageRecord(Png(8, 8)))
                                .Add(DrawTextItem, TextItem(1))
                                .Add(SetWMatrix, Matrix(QTransform().translate(5, 5).scale(2, 2)))
                                .Add(SetOpacity, Params::Params([](QDataStream &s) { s << 0.25; }))
                                .Add(Save)
                                .Bytes();
    EXPECT_EQ(TQRPictureCheck::Check(sane).toStdString(), "");
    EXPECT_TRUE(PlayPicture(sane));
}

TEST(PictureCheck, RejectsWhatThePlayerCannotTakeSafely)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QByteArray trailing = PictureBuilder().Add(DrawLine, Line()).Bytes();
    trailing += "xx";
    QByteArray hugeImage = Png(8, 8);
    // The size fields of the first chunk, after the signature, length and type.
    hugeImage[16] = 0x00;
    hugeImage[17] = 0x01;
    hugeImage[18] = 0x86;
    hugeImage[19] = 0xa0;
    hugeImage[20] = 0x00;
    hugeImage[21] = 0x01;
    hugeImage[22] = 0x86;
    hugeImage[23] = 0xa0;
    const QByteArray cutImage = Png(8, 8).chopped(12);
    QByteArray oddText = Params::Params([](QDataStream &s) { s << QPointF(1, 1) << quint32(3); });
    oddText += "abc";
    PictureBuilder saves;
    for (int i = 0; i < 10000; ++i)
        saves.Add(Save);
    QLinearGradient gradient(0, 0, 10, 10);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, Qt::blue);
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::red);

    // Each row is turned away where it goes wrong: at its record and command.
    const struct {
        const char *Name;
        QByteArray Picture;
        const char *Where;
    } rows[] = {
        {"polyline count beyond its points", PictureBuilder().Add(DrawPolyline, Points(0x7fffffff, 2)).Bytes(),
         "record 0 (command 12)"},
        {"polygon count beyond its points",
         PictureBuilder().Add(DrawPolygon, Points(100000, 2) + QByteArray(1, '\0')).Bytes(), "record 0 (command 13)"},
        {"path count beyond its elements", PictureBuilder().Add(DrawPath, Path({{0, 0, 0}}, 1 << 30)).Bytes(),
         "record 0 (command 25)"},
        {"path curve without its data", PictureBuilder().Add(DrawPath, Path({{0, 0, 0}, {2, 5, 5}, {3, 6, 6}})).Bytes(),
         "record 0 (command 25)"},
        {"path starting with a line", PictureBuilder().Add(DrawPath, Path({{1, 0, 0}, {1, 5, 5}})).Bytes(),
         "record 0 (command 25)"},
        {"path with an unknown element", PictureBuilder().Add(DrawPath, Path({{0, 0, 0}, {7, 5, 5}})).Bytes(),
         "record 0 (command 25)"},
        {"path point not a number", PictureBuilder().Add(DrawPath, Path({{0, 0, 0}, {1, nan, 5}})).Bytes(),
         "record 0 (command 25)"},
        {"path subpath start past its end", PictureBuilder().Add(DrawPath, Path({{0, 0, 0}, {1, 5, 5}}, -1, 5)).Bytes(),
         "record 0 (command 25)"},
        {"path fill rule unknown", PictureBuilder().Add(DrawPath, Path({{0, 0, 0}, {1, 5, 5}}, -1, 0, 9)).Bytes(),
         "record 0 (command 25)"},
        {"nested picture", PictureBuilder().Add(Begin, Params::Params([](QDataStream &s) { s << quint32(1); })).Bytes(),
         "record 0 (command 30)"},
        {"region of combined operations", PictureBuilder().Add(SetClipRegion, Region(13, 1, 1)).Bytes(),
         "record 0 (command 61)"},
        {"region count beyond its rectangles", PictureBuilder().Add(SetClipRegion, Region(10, 1000000, 1)).Bytes(),
         "record 0 (command 61)"},
        {"pen dash count beyond its data",
         PictureBuilder().Add(SetPen, Pen(quint16(Qt::DashLine), 1, {4, 2}, 0x10000000)).Bytes(),
         "record 0 (command 46)"},
        {"pen dashes shorter than a pixel",
         PictureBuilder().Add(SetPen, Pen(quint16(Qt::DashLine), 1, {1e-6, 1e-6})).Bytes(), "record 0 (command 46)"},
        {"custom dashes without a pattern",
         PictureBuilder().Add(SetPen, Pen(quint16(Qt::CustomDashLine), 1, {})).Bytes(), "record 0 (command 46)"},
        {"pen width not a number", PictureBuilder().Add(SetPen, Pen(quint16(Qt::SolidLine), nan, {})).Bytes(),
         "record 0 (command 46)"},
        {"gradient brush",
         PictureBuilder().Add(SetBrush, Params::Params([&](QDataStream &s) { s << QBrush(gradient); })).Bytes(),
         "record 0 (command 47)"},
        {"texture brush",
         PictureBuilder().Add(SetBrush, Params::Params([&](QDataStream &s) { s << QBrush(tile); })).Bytes(),
         "record 0 (command 47)"},
        {"font family list beyond its data", PictureBuilder().Add(SetFont, Font(-1, 40, 0x0fffffff, 1)).Bytes(),
         "record 0 (command 45)"},
        {"font of a hundred thousand pixels", PictureBuilder().Add(SetFont, Font(-1, 100000)).Bytes(),
         "record 0 (command 45)"},
        {"font without a size", PictureBuilder().Add(SetFont, Font(-1, -1)).Bytes(), "record 0 (command 45)"},
        {"composition mode past the blend table",
         PictureBuilder().Add(SetCompositionMode, Params::Params([](QDataStream &s) { s << qint32(200); })).Bytes(),
         "record 0 (command 64)"},
        {"combining transform", PictureBuilder().Add(SetWMatrix, Matrix(QTransform(), 1)).Bytes(),
         "record 0 (command 55)"},
        {"transform scaling a billion times",
         PictureBuilder().Add(SetWMatrix, Matrix(QTransform::fromScale(1e9, 1))).Bytes(), "record 0 (command 55)"},
        {"perspective transform",
         PictureBuilder().Add(SetWMatrix, Matrix(QTransform(1, 0, 0.001, 0, 1, 0, 0, 0, 1))).Bytes(),
         "record 0 (command 55)"},
        {"opacity not a number",
         PictureBuilder().Add(SetOpacity, Params::Params([&](QDataStream &s) { s << nan; })).Bytes(),
         "record 0 (command 66)"},
        {"background mode unknown",
         PictureBuilder().Add(SetBkMode, Params::Params([](QDataStream &s) { s << qint8(7); })).Bytes(),
         "record 0 (command 41)"},
        {"hue beyond a circle",
         PictureBuilder()
             .Add(SetBkColor, Params::Params([](QDataStream &s) {
                      s << qint8(QColor::Hsv) << quint16(0xffff) << quint16(40000) << quint16(0) << quint16(0)
                        << quint16(0);
                  }))
             .Bytes(),
         "record 0 (command 40)"},
        {"empty command carrying parameters", PictureBuilder().Add(NOP, QByteArray(4, '\0')).Bytes(),
         "record 0 (command 0)"},
        {"command longer than the picture", PictureBuilder().AddAnnouncing(DrawLine, 1000, Line()).Bytes(),
         "record 0 runs past the picture"},
        {"command shorter than its parameters", PictureBuilder().AddAnnouncing(DrawLine, 16, Line()).Bytes(),
         "record 0 (command 4)"},
        {"record count beyond the data", PictureBuilder().Add(DrawLine, Line()).Bytes(true, 1000),
         "record count does not fit the picture"},
        {"record count of zero", PictureBuilder().Add(DrawLine, Line()).Bytes(true, 0),
         "record count does not fit the picture"},
        {"end before the last record", PictureBuilder().Add(31).Add(DrawLine, Line()).Bytes(),
         "record 0: the end record must close the picture"},
        {"no end record", PictureBuilder().Add(DrawLine, Line()).Bytes(false),
         "record 0: the end record must close the picture"},
        {"bytes after the end", Sealed(trailing), "bytes after the end record"},
        {"checksum does not match", PictureBuilder().Add(DrawLine, Line()).Bytes(true, -1, false),
         "picture checksum does not match"},
        {"an older picture format", PictureBuilder(11).Add(DrawLine, Line()).Bytes(),
         "picture format 11 is not the page format"},
        {"image larger than a page", PictureBuilder().Add(DrawImage, ImageRecord(hugeImage)).Bytes(),
         "record 0 (command 18)"},
        {"image cut short", PictureBuilder().Add(DrawImage, ImageRecord(cutImage)).Bytes(), "record 0 (command 18)"},
        {"text at no resolution", PictureBuilder().Add(DrawTextItem, TextItem(0)).Bytes(), "record 0 (command 21)"},
        {"string of odd length", PictureBuilder().Add(DrawText2, oddText).Bytes(), "record 0 (command 19)"},
        {"ten thousand saves", saves.Bytes(), "record 256 (command 32)"},
        {"unknown command", PictureBuilder().Add(100, QByteArray(4, '\0')).Bytes(), "record 0 (command 100)"},
        {"shorter than a header", QByteArray("QPIC"), "picture shorter than its header"},
        {"not a picture", QByteArray(64, 'x'), "not a picture"},
    };
    for (const auto &row : rows)
        EXPECT_TRUE(TQRPictureCheck::Check(row.Picture).startsWith(QLatin1String(row.Where))) << row.Name;
}
