#pragma once

#include <QColor>
#include <QPainter>
#include <QPen>

// The lines drawn around a band or a page: a pen and the four sides it goes along.
// A width of 0 draws nothing.
class TQRFrame {
public:
    QColor Color() const { return FColor; }
    void SetColor(const QColor &color) { FColor = color; }
    QPainter::CompositionMode Mode() const { return FMode; }
    void SetMode(QPainter::CompositionMode mode) { FMode = mode; }
    Qt::PenStyle Style() const { return FStyle; }
    void SetStyle(Qt::PenStyle style) { FStyle = style; }
    int Width() const { return FWidth; }
    void SetWidth(int width) { FWidth = width; }

    bool DrawTop() const { return FDrawTop; }
    void SetDrawTop(bool draw) { FDrawTop = draw; }
    bool DrawBottom() const { return FDrawBottom; }
    void SetDrawBottom(bool draw) { FDrawBottom = draw; }
    bool DrawLeft() const { return FDrawLeft; }
    void SetDrawLeft(bool draw) { FDrawLeft = draw; }
    bool DrawRight() const { return FDrawRight; }
    void SetDrawRight(bool draw) { FDrawRight = draw; }

    QPen Pen() const
    {
        QPen pen(FColor, FWidth, FStyle, Qt::SquareCap, Qt::MiterJoin);
        return pen;
    }

    // Pen and mode onto a canvas.
    void Apply(QPainter &canvas) const
    {
        canvas.setPen(Pen());
        canvas.setCompositionMode(FMode);
    }

private:
    QColor FColor = Qt::black;
    QPainter::CompositionMode FMode = QPainter::CompositionMode_SourceOver;
    Qt::PenStyle FStyle = Qt::SolidLine;
    int FWidth = 1;
    bool FDrawTop = false;
    bool FDrawBottom = false;
    bool FDrawLeft = false;
    bool FDrawRight = false;
};
