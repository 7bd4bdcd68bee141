#include "report/QRGlyphs.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

constexpr int Side = 20;

// A sheet of paper with a folded corner.
void Sheet(QPainter &p, const QRect &r)
{
    const QPolygon outline(
        {r.topLeft(), QPoint(r.right() - 3, r.top()), QPoint(r.right(), r.top() + 3), r.bottomRight(), r.bottomLeft()});
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(outline);
    p.drawLine(r.right() - 3, r.top(), r.right() - 3, r.top() + 3);
    p.drawLine(r.right() - 3, r.top() + 3, r.right(), r.top() + 3);
}

void Lines(QPainter &p, const QRect &r)
{
    p.setPen(QPen(QColor(0, 0, 128), 1));
    for (int y = r.top() + 5; y < r.bottom() - 1; y += 3)
        p.drawLine(r.left() + 2, y, r.right() - 2, y);
}

// A triangle pointing left (dir -1) or right (dir 1), its tip at x.
void Arrow(QPainter &p, int x, int dir)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(x, 10), QPoint(x - dir * 6, 4), QPoint(x - dir * 6, 16)}));
}

void Bar(QPainter &p, int x)
{
    p.fillRect(QRect(x, 4, 2, 13), Qt::black);
}

void DrawFitPage(QPainter &p)
{
    Sheet(p, QRect(5, 2, 10, 15));
    Lines(p, QRect(5, 2, 10, 15));
}

void DrawActualSize(QPainter &p)
{
    Sheet(p, QRect(3, 1, 14, 18));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(3, 5, 15, 12), Qt::AlignCenter, QStringLiteral("1:1"));
}

void DrawPageWidth(QPainter &p)
{
    Sheet(p, QRect(2, 3, 16, 14));
    Lines(p, QRect(2, 3, 16, 14));
    p.setPen(QPen(Qt::red, 1));
    p.drawLine(0, 10, 19, 10);
    p.drawLine(0, 10, 2, 8);
    p.drawLine(0, 10, 2, 12);
    p.drawLine(19, 10, 17, 8);
    p.drawLine(19, 10, 17, 12);
}

void DrawPrinter(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(6, 2, 8, 6);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(2, 8, 16, 7);
    p.setBrush(Qt::white);
    p.drawRect(5, 13, 10, 5);
    p.fillRect(QRect(15, 10, 2, 1), Qt::green);
}

void DrawDisk(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(2, 2, 16, 16);
    p.setBrush(Qt::white);
    p.drawRect(5, 2, 10, 7);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(6, 12, 8, 6);
    p.fillRect(QRect(11, 13, 2, 4), QColor(0, 0, 128));
}

void DrawFolder(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 255, 128));
    p.drawPolygon(QPolygon({QPoint(1, 5), QPoint(6, 5), QPoint(8, 7), QPoint(16, 7), QPoint(16, 16), QPoint(1, 16)}));
    p.setBrush(QColor(224, 192, 64));
    p.drawPolygon(QPolygon({QPoint(4, 10), QPoint(19, 10), QPoint(16, 16), QPoint(1, 16)}));
}

} // namespace

QPixmap QRGlyph(const QString &name)
{
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (name == QLatin1String("QRBMPFITPAGE")) {
        DrawFitPage(p);
    } else if (name == QLatin1String("QRBMP100")) {
        DrawActualSize(p);
    } else if (name == QLatin1String("QRBMPWIDTH")) {
        DrawPageWidth(p);
    } else if (name == QLatin1String("BMPFIRST")) {
        Bar(p, 4);
        Arrow(p, 7, -1);
        Arrow(p, 13, -1);
    } else if (name == QLatin1String("BMPPREV")) {
        Arrow(p, 7, -1);
    } else if (name == QLatin1String("BMPNEXT")) {
        Arrow(p, 13, 1);
    } else if (name == QLatin1String("BMPLAST")) {
        Arrow(p, 7, 1);
        Arrow(p, 13, 1);
        Bar(p, 14);
    } else if (name == QLatin1String("BMPPRINT")) {
        DrawPrinter(p);
    } else if (name == QLatin1String("BMPSAVE")) {
        DrawDisk(p);
    } else if (name == QLatin1String("BMPLOAD")) {
        DrawFolder(p);
    } else {
        return QPixmap();
    }
    p.end();
    return QPixmap::fromImage(image);
}
