#include "report/QRCanvas.h"

#include <QPainter>

namespace QRCanvas {

void SetFont(QPainter &canvas, const QFont &font)
{
    if (canvas.font() != font)
        canvas.setFont(font);
}

void SetPen(QPainter &canvas, const QPen &pen)
{
    if (canvas.pen() != pen)
        canvas.setPen(pen);
}

void SetBrush(QPainter &canvas, const QBrush &brush)
{
    if (canvas.brush() != brush)
        canvas.setBrush(brush);
}

void FillRect(QPainter &canvas, const QRect &rect, const QColor &color)
{
    SetPen(canvas, Qt::NoPen);
    SetBrush(canvas, color);
    canvas.drawRect(rect);
}

} // namespace QRCanvas
