#include "PageProbe.h"

#include "report/QRTypes.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QPolygonF>
#include <QTransform>

namespace {

class ProbeEngine : public QPaintEngine {
public:
    explicit ProbeEngine(PageProbe *probe) : QPaintEngine(AllFeatures), FProbe(probe) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        const QPaintEngine::DirtyFlags flags = state.state();
        if (flags & DirtyTransform)
            FTransform = state.transform();
        if (flags & DirtyPen)
            FPen = state.pen();
        if (flags & DirtyBrush)
            FBrush = state.brush();
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        PageProbe::Text text;
        text.Value = item.text();
        text.Baseline = FTransform.map(p);
        text.Font = item.font();
        text.Color = FPen.color();
        text.Width = FTransform.m11() * item.width();
        FProbe->Texts.push_back(text);
    }

    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            FProbe->Lines.push_back({FTransform.map(lines[i]), FPen.widthF() * FTransform.m11(), FPen.color()});
    }
    void drawLines(const QLine *lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QLineF line(lines[i]);
            drawLines(&line, 1);
        }
    }

    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            FProbe->Rects.push_back({FTransform.mapRect(rects[i]),
                                     FBrush.style() == Qt::NoBrush ? QColor() : FBrush.color(),
                                     FPen.style() != Qt::NoPen});
    }
    void drawRects(const QRect *rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }

    void drawEllipse(const QRectF &rect) override { FProbe->Ellipses.push_back(FTransform.mapRect(rect)); }
    void drawEllipse(const QRect &rect) override { drawEllipse(QRectF(rect)); }

    // Page pictures hold fills and lines as paths and polygons: a fill is kept as its
    // box in the brush colour, every straight piece drawn with a pen as a line.
    void drawPath(const QPainterPath &path) override
    {
        const QPainterPath mapped = FTransform.map(path);
        Fill(mapped.boundingRect());
        if (FPen.style() == Qt::NoPen)
            return;
        QPointF last;
        for (int i = 0; i < mapped.elementCount(); ++i) {
            const QPainterPath::Element e = mapped.elementAt(i);
            const QPointF point(e.x, e.y);
            if (e.isLineTo())
                FProbe->Lines.push_back({QLineF(last, point), PenWidth(), FPen.color()});
            last = point;
        }
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QPolygonF polygon;
        for (int i = 0; i < count; ++i)
            polygon.append(FTransform.map(points[i]));
        Fill(polygon.boundingRect());
        if (FPen.style() == Qt::NoPen)
            return;
        for (int i = 1; i < polygon.size(); ++i)
            FProbe->Lines.push_back({QLineF(polygon[i - 1], polygon[i]), PenWidth(), FPen.color()});
        if (mode != PolylineMode && polygon.size() > 2)
            FProbe->Lines.push_back({QLineF(polygon.last(), polygon.first()), PenWidth(), FPen.color()});
    }

    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
    {
        FProbe->Images.push_back(FTransform.mapRect(r));
    }
    void drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
    {
        FProbe->Images.push_back(FTransform.mapRect(r));
    }

private:
    void Fill(const QRectF &box)
    {
        if (FBrush.style() != Qt::NoBrush && box.width() > 0 && box.height() > 0)
            FProbe->Rects.push_back({box, FBrush.color(), FPen.style() != Qt::NoPen});
    }
    double PenWidth() const { return FPen.widthF() * FTransform.m11(); }

    PageProbe *FProbe;
    QTransform FTransform;
    QPen FPen;
    QBrush FBrush;
};

} // namespace

PageProbe::PageProbe() : FEngine(std::make_unique<ProbeEngine>(this)) {}

PageProbe::~PageProbe() = default;

QPaintEngine *PageProbe::paintEngine() const
{
    return FEngine.get();
}

int PageProbe::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
    case PdmHeight: return 100000;
    case PdmWidthMM:
    case PdmHeightMM: return 100000 * 254 / 960;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return QRScreenPixelsPerInch();
    case PdmDepth: return 32;
    case PdmNumColors: return INT_MAX;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    }
    return 0;
}

std::unique_ptr<PageProbe> PageProbe::Play(const QPicture &page)
{
    auto probe = std::make_unique<PageProbe>();
    QPainter painter(probe.get());
    painter.drawPicture(0, 0, page);
    painter.end();
    return probe;
}

const PageProbe::Text *PageProbe::Find(const QString &value) const
{
    for (const Text &text : Texts) {
        if (text.Value == value)
            return &text;
    }
    return nullptr;
}

QString PageProbe::AllText() const
{
    QStringList parts;
    for (const Text &text : Texts)
        parts.append(text.Value);
    return parts.join(QLatin1Char(' '));
}
