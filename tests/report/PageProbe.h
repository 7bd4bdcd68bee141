#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPaintDevice>
#include <QPicture>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class QPaintEngine;

// A paint device that keeps what is drawn on it instead of pixels: texts with their
// baseline position, lines, filled rectangles, ellipses and images, all in the
// device's coordinates. A page picture replayed on it shows exactly where the engine
// put everything, in page units.
class PageProbe : public QPaintDevice {
public:
    struct Text {
        QString Value;
        QPointF Baseline;
        QFont Font;
        QColor Color;
        double Width = 0;
    };
    struct Line {
        QLineF Value;
        double PenWidth = 0;
        QColor Color;
    };
    struct Rect {
        QRectF Value;
        QColor Brush;
        bool Outlined = false;
    };

    PageProbe();
    ~PageProbe() override;

    static std::unique_ptr<PageProbe> Play(const QPicture &page);

    QPaintEngine *paintEngine() const override;

    std::vector<Text> Texts;
    std::vector<Line> Lines;
    std::vector<Rect> Rects;
    std::vector<QRectF> Ellipses;
    std::vector<QRectF> Images;

    // The first text equal to value, or nullptr.
    const Text *Find(const QString &value) const;
    // All texts joined by blanks, in drawing order.
    QString AllText() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<QPaintEngine> FEngine;
};
