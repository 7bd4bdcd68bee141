#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

constexpr int Size = 16;
const QColor Key(255, 0, 255);
const QColor Ink(32, 32, 32);
const QColor Paper(255, 255, 255);
const QColor Grey(160, 160, 160);
const QColor Accent(0, 96, 192);
const QColor Green(0, 128, 64);
const QColor Red(192, 32, 32);

void drawPrinter(QPainter &p)
{
    // Sheet coming out of the top, body, paper tray and a lamp.
    p.setPen(Ink);
    p.setBrush(Paper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(Grey);
    p.drawRect(1, 6, 13, 5);
    p.setBrush(Paper);
    p.drawRect(3, 11, 9, 3);
    p.setPen(Green);
    p.drawPoint(12, 8);
    p.setPen(Ink);
    p.drawLine(5, 3, 9, 3);
}

void drawPrintSetup(QPainter &p)
{
    drawPrinter(p);
    // A check box over the tray: the choices of the set-up.
    p.setPen(Accent);
    p.setBrush(Paper);
    p.drawRect(9, 9, 6, 6);
    p.drawLine(10, 12, 11, 13);
    p.drawLine(11, 13, 14, 10);
}

void drawDisclaimer(QPainter &p)
{
    // A page with a folded corner and an exclamation mark.
    p.setPen(Ink);
    p.setBrush(Paper);
    const QPolygon page({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)});
    p.drawPolygon(page);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
    p.setPen(Red);
    p.setBrush(Red);
    p.drawRect(7, 5, 1, 5);
    p.drawRect(7, 11, 1, 1);
}

void drawReset(QPainter &p)
{
    // A circular arrow turning back to the start.
    p.setPen(QPen(Accent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(3, 3, 10, 10), 100 * 16, 280 * 16);
    p.setPen(Accent);
    p.setBrush(Accent);
    p.drawPolygon(QPolygon({QPoint(5, 0), QPoint(9, 3), QPoint(5, 6)}));
}

void drawUpdate(QPainter &p)
{
    // A globe with a downward arrow in front of it.
    p.setPen(Accent);
    p.setBrush(QColor(200, 224, 255));
    p.drawEllipse(QRect(1, 1, 11, 11));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(4, 1, 5, 11));
    p.drawLine(1, 6, 12, 6);
    p.setPen(Green);
    p.setBrush(Green);
    p.drawRect(11, 7, 2, 4);
    p.drawPolygon(QPolygon({QPoint(9, 11), QPoint(15, 11), QPoint(12, 14)}));
}

void drawHelp(QPainter &p)
{
    // A question mark in a round badge.
    p.setPen(Accent);
    p.setBrush(Accent);
    p.drawEllipse(QRect(1, 1, 13, 13));
    p.setPen(QPen(Paper, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(5, 3, 5, 5), 0, 180 * 16);
    p.drawLine(10, 5, 8, 8);
    p.drawLine(8, 8, 8, 9);
    p.setPen(Paper);
    p.setBrush(Paper);
    p.drawRect(7, 11, 1, 1);
}

void drawExit(QPainter &p)
{
    // An open door with an arrow leaving through it.
    p.setPen(Ink);
    p.setBrush(QColor(176, 120, 64));
    p.drawRect(2, 1, 8, 13);
    p.setBrush(Paper);
    p.drawPolygon(QPolygon({QPoint(2, 1), QPoint(6, 3), QPoint(6, 15), QPoint(2, 14)}));
    p.setPen(Red);
    p.setBrush(Red);
    p.drawRect(8, 7, 4, 1);
    p.drawPolygon(QPolygon({QPoint(12, 5), QPoint(15, 7), QPoint(15, 8), QPoint(12, 10)}));
}

} // namespace

namespace ToolbarIcons {

QImage Make(Kind kind)
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(Key);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    switch (kind) {
    case Print: drawPrinter(painter); break;
    case PrintSetup: drawPrintSetup(painter); break;
    case Disclaimer: drawDisclaimer(painter); break;
    case Reset: drawReset(painter); break;
    case Update: drawUpdate(painter); break;
    case Help: drawHelp(painter); break;
    case Exit: drawExit(painter); break;
    }
    painter.end();
    // The key colour must stay in the corner that names it.
    image.setPixelColor(0, 0, Key);
    return image;
}

} // namespace ToolbarIcons
