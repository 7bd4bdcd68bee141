#pragma once

#include "report/QRCustomControl.h"

#include <QBrush>
#include <QPen>

// Lines, rectangles and ellipses on a band.
class TQRShape : public TQRCustomControl {
    Q_OBJECT
public:
    explicit TQRShape(QWidget *parent = nullptr);

    const QPen &Pen() const { return FPen; }
    void SetPen(const QPen &pen);
    const QBrush &Brush() const { return FBrush; }
    void SetBrush(const QBrush &brush);
    TQRShapeType Shape() const { return FShape; }
    // A vertical line narrows the control to the pen width + 3, a horizontal one
    // flattens it to that height.
    void SetShape(TQRShapeType shape);

    void Print(int OX, int OY) override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The figures of the shape within x0..x1, y0..y1 on any canvas.
    void DrawFigure(QPainter &canvas, int x0, int y0, int x1, int y1) const;

    QPen FPen{QBrush(Qt::black), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin};
    QBrush FBrush{Qt::white, Qt::SolidPattern};
    TQRShapeType FShape = qrsRectangle;
};
