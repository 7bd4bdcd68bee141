#include "report/QRShape.h"

#include "report/QRCanvas.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"

#include <QPainter>

TQRShape::TQRShape(QWidget *parent) : TQRCustomControl(parent)
{
    SetAutoSize(false);
    resize(65, 65);
}

void TQRShape::SetPen(const QPen &pen)
{
    FPen = pen;
    update();
}

void TQRShape::SetBrush(const QBrush &brush)
{
    FBrush = brush;
    update();
}

void TQRShape::SetShape(TQRShapeType shape)
{
    FShape = shape;
    if (shape == qrsVertLine)
        SetWidth(FPen.width() + 3);
    else if (shape == qrsHorLine)
        SetHeight(FPen.width() + 3);
    update();
}

void TQRShape::DrawFigure(QPainter &canvas, int x0, int y0, int x1, int y1) const
{
    switch (FShape) {
    case qrsRectangle: canvas.drawRect(QRRect(x0, y0, x1, y1)); break;
    case qrsCircle: canvas.drawEllipse(QRRect(x0, y0, x1, y1)); break;
    case qrsVertLine: canvas.drawLine(x0, y0, x0, y1); break;
    case qrsHorLine: canvas.drawLine(x0, y0, x1, y0); break;
    case qrsTopAndBottom:
        canvas.drawLine(x0, y0, x1, y0);
        canvas.drawLine(x0, y1, x1, y1);
        break;
    case qrsRightAndLeft:
        canvas.drawLine(x0, y0, x0, y1);
        canvas.drawLine(x1, y0, x1, y1);
        break;
    }
}

void TQRShape::Print(int OX, int OY)
{
    QPainter *canvas = QRPrinter()->Canvas();
    const TQRReport *report = Report();
    if (!canvas || !report)
        return;
    QRCanvas::SetBrush(*canvas, FBrush);
    QPen pen(FPen);
    pen.setWidth(FPen.width() * QRPageUnitsPerPixel);
    QRCanvas::SetPen(*canvas, pen);
    DrawFigure(*canvas, report->XPos(OX + Left()), report->YPos(OY + Top()), report->XPos(OX + Left() + Width()),
               report->YPos(OY + Top() + Height()));
}

void TQRShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setBrush(FBrush);
    painter.setPen(FPen);
    // On the form the right and bottom lines fall one pixel inside the control.
    DrawFigure(painter, 0, 0, width() - 1, height() - 1);
}
