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

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

// A picture of one command.
QByteArray Single(quint8 command, const QByteArray &params)
{
    return PictureBuilder().Add(command, params).Bytes();
}

// A PNG of 8 by 8 pixels whose header claims 100000 by 100000.
QByteArray HugePng()
{
    QByteArray png = Png(8, 8);
    // The size fields of the first chunk, after the signature, length and type.
    png[16] = 0x00;
    png[17] = 0x01;
    png[18] = 0x86;
    png[19] = 0xa0;
    png[20] = 0x00;
    png[21] = 0x01;
    png[22] = 0x86;
    png[23] = 0xa0;
    return png;
}

QByteArray OddText()
{
    return Params::Params([](QDataStream &s) { s << QPointF(1, 1) << quint32(3); }) + "abc";
}

QByteArray TenThousandSaves()
{
    PictureBuilder saves;
    for (int i = 0; i < 10000; ++i)
        saves.Add(Save);
    return saves.Bytes();
}

QLinearGradient Gradient()
{
    QLinearGradient gradient(0, 0, 10, 10);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, Qt::blue);
    return gradient;
}

QImage Tile()
{
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::red);
    return tile;
}

// Pictures are built when their case runs: fonts and images need the application.
struct HostileRow {
    const char *Name;
    QByteArray (*Picture)();
    const char *Where;
};

// One row per line reads as a table.
// clang-format off
const HostileRow HostilePictures[] = {
    {"PolylineCountBeyondItsPoints", [] { return Single(DrawPolyline, Points(0x7fffffff, 2)); },
     "record 0 (command 12)"},
    {"PolygonCountBeyondItsPoints", [] { return Single(DrawPolygon, Points(100000, 2) + QByteArray(1, '\0')); },
     "record 0 (command 13)"},
    {"PathCountBeyondItsElements", [] { return Single(DrawPath, Path({{0, 0, 0}}, 1 << 30)); },
     "record 0 (command 25)"},
    {"PathCurveWithoutItsData", [] { return Single(DrawPath, Path({{0, 0, 0}, {2, 5, 5}, {3, 6, 6}})); },
     "record 0 (command 25)"},
    {"PathStartingWithALine", [] { return Single(DrawPath, Path({{1, 0, 0}, {1, 5, 5}})); }, "record 0 (command 25)"},
    {"PathWithAnUnknownElement", [] { return Single(DrawPath, Path({{0, 0, 0}, {7, 5, 5}})); },
     "record 0 (command 25)"},
    {"PathPointNotANumber", [] { return Single(DrawPath, Path({{0, 0, 0}, {1, Nan, 5}})); }, "record 0 (command 25)"},
    {"PathSubpathStartPastItsEnd", [] { return Single(DrawPath, Path({{0, 0, 0}, {1, 5, 5}}, -1, 5)); },
     "record 0 (command 25)"},
    {"PathFillRuleUnknown", [] { return Single(DrawPath, Path({{0, 0, 0}, {1, 5, 5}}, -1, 0, 9)); },
     "record 0 (command 25)"},
    {"NestedPicture", [] { return Single(Begin, Params::Params([](QDataStream &s) { s << quint32(1); })); },
     "record 0 (command 30)"},
    {"RegionOfCombinedOperations", [] { return Single(SetClipRegion, Region(13, 1, 1)); }, "record 0 (command 61)"},
    {"RegionCountBeyondItsRectangles", [] { return Single(SetClipRegion, Region(10, 1000000, 1)); },
     "record 0 (command 61)"},
    {"PenDashCountBeyondItsData", [] { return Single(SetPen, Pen(quint16(Qt::DashLine), 1, {4, 2}, 0x10000000)); },
     "record 0 (command 46)"},
    {"PenDashesShorterThanAPixel", [] { return Single(SetPen, Pen(quint16(Qt::DashLine), 1, {1e-6, 1e-6})); },
     "record 0 (command 46)"},
    {"CustomDashesWithoutAPattern", [] { return Single(SetPen, Pen(quint16(Qt::CustomDashLine), 1, {})); },
     "record 0 (command 46)"},
    {"PenWidthNotANumber", [] { return Single(SetPen, Pen(quint16(Qt::SolidLine), Nan, {})); },
     "record 0 (command 46)"},
    {"GradientBrush", [] { return Single(SetBrush, Params::Params([](QDataStream &s) { s << QBrush(Gradient()); })); },
     "record 0 (command 47)"},
    {"TextureBrush", [] { return Single(SetBrush, Params::Params([](QDataStream &s) { s << QBrush(Tile()); })); },
     "record 0 (command 47)"},
    {"FontFamilyListBeyondItsData", [] { return Single(SetFont, Font(-1, 40, 0x0fffffff, 1)); },
     "record 0 (command 45)"},
    {"FontOfAHundredThousandPixels", [] { return Single(SetFont, Font(-1, 100000)); }, "record 0 (command 45)"},
    {"FontWithoutASize", [] { return Single(SetFont, Font(-1, -1)); }, "record 0 (command 45)"},
    {"CompositionModePastTheBlendTable",
     [] { return Single(SetCompositionMode, Params::Params([](QDataStream &s) { s << qint32(200); })); },
     "record 0 (command 64)"},
    {"CombiningTransform", [] { return Single(SetWMatrix, Matrix(QTransform(), 1)); }, "record 0 (command 55)"},
    {"TransformScalingABillionTimes", [] { return Single(SetWMatrix, Matrix(QTransform::fromScale(1e9, 1))); },
     "record 0 (command 55)"},
    {"PerspectiveTransform", [] { return Single(SetWMatrix, Matrix(QTransform(1, 0, 0.001, 0, 1, 0, 0, 0, 1))); },
     "record 0 (command 55)"},
    {"OpacityNotANumber", [] { return Single(SetOpacity, Params::Params([](QDataStream &s) { s << Nan; })); },
     "record 0 (command 66)"},
    {"BackgroundModeUnknown", [] { return Single(SetBkMode, Params::Params([](QDataStream &s) { s << qint8(7); })); },
     "record 0 (command 41)"},
    {"HueBeyondACircle",
     [] {
         return Single(SetBkColor, Params::Params([](QDataStream &s) {
                           s << qint8(QColor::Hsv) << quint16(0xffff) << quint16(40000) << quint16(0) << quint16(0)
                             << quint16(0);
                       }));
     },
     "record 0 (command 40)"},
    {"EmptyCommandCarryingParameters", [] { return Single(NOP, QByteArray(4, '\0')); }, "record 0 (command 0)"},
    {"CommandLongerThanThePicture", [] { return PictureBuilder().AddAnnouncing(DrawLine, 1000, Line()).Bytes(); },
     "record 0 runs past the picture"},
    {"CommandShorterThanItsParameters", [] { return PictureBuilder().AddAnnouncing(DrawLine, 16, Line()).Bytes(); },
     "record 0 (command 4)"},
    {"RecordCountBeyondTheData", [] { return PictureBuilder().Add(DrawLine, Line()).Bytes(true, 1000); },
     "record count does not fit the picture"},
    {"RecordCountOfZero", [] { return PictureBuilder().Add(DrawLine, Line()).Bytes(true, 0); },
     "record count does not fit the picture"},
    {"EndBeforeTheLastRecord", [] { return PictureBuilder().Add(31).Add(DrawLine, Line()).Bytes(); },
     "record 0: the end record must close the picture"},
    {"NoEndRecord", [] { return PictureBuilder().Add(DrawLine, Line()).Bytes(false); },
     "record 0: the end record must close the picture"},
    {"BytesAfterTheEnd", [] { return Sealed(PictureBuilder().Add(DrawLine, Line()).Bytes() + "xx"); },
     "bytes after the end record"},
    {"ChecksumDoesNotMatch", [] { return PictureBuilder().Add(DrawLine, Line()).Bytes(true, -1, false); },
     "picture checksum does not match"},
    {"AnOlderPictureFormat", [] { return PictureBuilder(11).Add(DrawLine, Line()).Bytes(); },
     "picture format 11 is not the page format"},
    {"ImageLargerThanAPage", [] { return Single(DrawImage, ImageRecord(HugePng())); }, "record 0 (command 18)"},
    {"ImageCutShort", [] { return Single(DrawImage, ImageRecord(Png(8, 8).chopped(12))); }, "record 0 (command 18)"},
    {"TextAtNoResolution", [] { return Single(DrawTextItem, TextItem(0)); }, "record 0 (command 21)"},
    {"StringOfOddLength", [] { return Single(DrawText2, OddText()); }, "record 0 (command 19)"},
    {"TenThousandSaves", TenThousandSaves, "record 256 (command 32)"},
    {"UnknownCommand", [] { return Single(100, QByteArray(4, '\0')); }, "record 0 (command 100)"},
    {"ShorterThanAHeader", [] { return QByteArray("QPIC"); }, "picture shorter than its header"},
    {"NotAPicture", [] { return QByteArray(64, 'x'); }, "not a picture"},
};
// clang-format on

class HostilePicture : public ::testing::TestWithParam<HostileRow> {};

} // namespace

// Each picture is turned away where it goes wrong: at its record and command.
TEST_P(HostilePicture, IsRejectedWhereItGoesWrong)
{
    const QString verdict = TQRPictureCheck::Check(GetParam().Picture());
    EXPECT_TRUE(verdict.startsWith(QLatin1String(GetParam().Where))) << verdict.toStdString();
}

INSTANTIATE_TEST_SUITE_P(PictureCheck, HostilePicture, ::testing::ValuesIn(HostilePictures),
                         [](const auto &info) { return std::string(info.param.Name); });
