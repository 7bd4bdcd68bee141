#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QRect>

class QPainter;

// State changes on a page canvas. A page picture records every font and brush it is
// given, even one equal to the current, and a saved state restored is recorded again
// in full at the next drawing: on a page of a few hundred labels that is most of the
// picture, and the time to record, check and replay it. So the print controls set
// only what differs from the canvas's state and do not save and restore it.
namespace QRCanvas {

void SetFont(QPainter &canvas, const QFont &font);
void SetPen(QPainter &canvas, const QPen &pen);
void SetBrush(QPainter &canvas, const QBrush &brush);
// Fills a rectangle with a colour, without an outline; the canvas keeps that brush
// and no pen afterwards.
void FillRect(QPainter &canvas, const QRect &rect, const QColor &color);

} // namespace QRCanvas
