#include "app/profile/NpvProfile.h"

#include "app/core/SavedValues.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Formatting.h"
#include "platform/gui/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// Evenly spaced rates the curve is drawn through, besides the internal rates and the
// points: enough for a smooth line at any window or page width.
constexpr int CurveSamples = 600;
constexpr double Gap = 6;
constexpr double PointRadius = 4;

const QColor CurveColor(0, 70, 200);
const QColor PointColor(200, 30, 30);
const QColor RateColor(0, 120, 60);
const QColor GridColor(225, 225, 225);

// The net present value at any rate above −100 %, in plain extended arithmetic: the
// curve needs no more than the pixel it lands on. No value where it is not finite.
bool ValueAt(const Npv::CashFlows &flows, double percent, long double &value)
{
    const long double base = 1.0L + static_cast<long double>(percent) / 100.0L;
    if (!(base > 0.0L))
        return false;
    long double factor = 1.0L;
    long double sum = 0.0L;
    for (const long double flow : flows) {
        factor *= base;
        sum += flow / factor;
    }
    value = sum;
    return std::isfinite(sum);
}

// 1, 2 or 5 times a power of ten: about count steps across span.
double NiceStep(double span, int count)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
    return nice * magnitude;
}

} // namespace

TNpvProfile::TNpvProfile() : TNpvProfile(Npv::CashFlows{}, SavedValues::DefaultRates) {}

TNpvProfile::TNpvProfile(const Npv::CashFlows &flows, const std::array<double, Npv::RateCount> &ratesPercent)
    : FFlows(flows), FRates(InternalRates::Of(flows))
{
    double low = -50;
    double high = 50;
    for (const long double rate : FRates.Percents) {
        low = std::min(low, double(rate) - 10);
        high = std::max(high, double(rate) + 10);
    }
    for (int k = 0; k < Npv::RateCount; ++k) {
        RatePoint &point = FPoints[k];
        point.Percent = ratesPercent[k];
        try {
            point.Value = Npv::NetPresentValue(flows, Npv::ScaledRate(point.Percent));
            point.Defined = true;
        } catch (const EMathError &) {
            point.Defined = false;
        }
        if (point.Percent > LowestDrawnPercent) {
            low = std::min(low, point.Percent - 5);
            high = std::max(high, point.Percent + 5);
        }
    }
    FLowPercent = std::max(low, LowestDrawnPercent);
    FHighPercent = high;

    FSamples.reserve(CurveSamples + FRates.Percents.size() + Npv::RateCount);
    long double value = 0;
    for (int i = 0; i < CurveSamples; ++i) {
        const double percent = FLowPercent + (FHighPercent - FLowPercent) * i / (CurveSamples - 1);
        if (ValueAt(flows, percent, value))
            FSamples.emplace_back(percent, value);
    }
    for (const long double rate : FRates.Percents) {
        if (rate >= FLowPercent)
            FSamples.emplace_back(double(rate), 0.0L);
    }
    for (RatePoint &point : FPoints) {
        point.Drawn = point.Defined && point.Percent >= FLowPercent && std::isfinite(double(point.Value));
        if (point.Drawn)
            FSamples.emplace_back(point.Percent, point.Value);
    }
    std::stable_sort(FSamples.begin(), FSamples.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    long double lowValue = 0;
    long double highValue = 0;
    for (const auto &sample : FSamples) {
        lowValue = std::min(lowValue, sample.second);
        highValue = std::max(highValue, sample.second);
    }
    if (highValue == lowValue) {
        lowValue = -1;
        highValue = 1;
    }
    const long double margin = (highValue - lowValue) / 20;
    FLowValue = lowValue - margin;
    FHighValue = highValue + margin;
}

QString TNpvProfile::PercentText(long double percent)
{
    return FloatToStrF(percent, ffFixed, 15, 3) + QStringLiteral(" %");
}

QString TNpvProfile::MoneyText(long double value)
{
    // Amounts whose cents do not fit a 32-bit whole number are shown unrounded, as the
    // result fields show them.
    const long double cents = std::nearbyint(value * 100.0L);
    if (std::fabs(cents) <= 2147483647.0L)
        value = cents / 100.0L;
    return FloatToStrF(value, ffCurrency, 12, 2);
}

QFont TNpvProfile::LabelFont() const
{
    return Fonts::Make(QStringLiteral("Arial"), 14);
}

QStringList TNpvProfile::XLabels(Axis &axis) const
{
    axis.Step = NiceStep(FHighPercent - FLowPercent, 8);
    axis.First = std::ceil(FLowPercent / axis.Step) * axis.Step;
    axis.Decimals = std::max(0, int(-std::floor(std::log10(axis.Step))));
    QStringList labels;
    for (double tick = axis.First; tick <= FHighPercent + axis.Step * 1e-9; tick += axis.Step)
        labels << FloatToStrF(std::fabs(tick) < axis.Step * 1e-9 ? 0.0 : tick, ffNumber, 15, axis.Decimals) +
                      QStringLiteral(" %");
    return labels;
}

QStringList TNpvProfile::YLabels(Axis &axis) const
{
    const double low = double(FLowValue);
    const double high = double(FHighValue);
    axis.Step = NiceStep(high - low, 6);
    axis.First = std::ceil(low / axis.Step) * axis.Step;
    axis.Decimals = axis.Step >= 1 ? 0 : 2;
    QStringList labels;
    for (double tick = axis.First; tick <= high; tick += axis.Step)
        labels << FloatToStrF(std::fabs(tick) < axis.Step * 1e-9 ? 0.0 : tick, ffCurrency, 15, axis.Decimals);
    return labels;
}

QStringList TNpvProfile::LegendTexts() const
{
    QStringList texts;
    for (const RatePoint &point : FPoints) {
        QString text = PercentText(point.Percent) + QStringLiteral(": ") +
                       (point.Defined ? MoneyText(point.Value) : tr("cannot be determined"));
        if (!point.Drawn)
            text += tr(" (not drawn)");
        texts << text;
    }
    return texts;
}

int TNpvProfile::LegendLines(const QRectF &bounds) const
{
    const QFontMetricsF metrics(LabelFont());
    int lines = 1;
    double x = bounds.left() + Gap;
    for (const QString &text : LegendTexts()) {
        const double width = 2 * PointRadius + Gap + metrics.horizontalAdvance(text) + 3 * Gap;
        if (x + width > bounds.right() && x > bounds.left() + Gap) {
            ++lines;
            x = bounds.left() + Gap;
        }
        x += width;
    }
    return lines;
}

QRectF TNpvProfile::PlotArea(const QRectF &bounds) const
{
    const QFontMetricsF metrics(LabelFont());
    const double line = metrics.height();
    Axis axis;
    double labelWidth = 0;
    for (const QString &label : YLabels(axis))
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(label));
    const QStringList xLabels = XLabels(axis);
    const double lastHalf = xLabels.isEmpty() ? 0 : metrics.horizontalAdvance(xLabels.last()) / 2;
    const double top = bounds.top() + Gap + 2 * line + Gap;
    const double left = bounds.left() + Gap + labelWidth + Gap;
    const double right = bounds.right() - std::max(2 * Gap, lastHalf + Gap);
    // Below the plot: the rate labels, the axis caption, the legend.
    const double bottom = bounds.bottom() - Gap - LegendLines(bounds) * line - Gap - line - line - Gap;
    return QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
}

QPointF TNpvProfile::Position(double percent, long double value, const QRectF &plot) const
{
    const double x = plot.left() + (percent - FLowPercent) / (FHighPercent - FLowPercent) * plot.width();
    const double y = plot.bottom() - double((value - FLowValue) / (FHighValue - FLowValue)) * plot.height();
    return QPointF(x, y);
}

QPolygonF TNpvProfile::Curve(const QRectF &plot) const
{
    QPolygonF curve;
    curve.reserve(qsizetype(FSamples.size()));
    for (const auto &[percent, value] : FSamples)
        curve << Position(percent, value, plot);
    return curve;
}

void TNpvProfile::Paint(QPainter &painter, const QRectF &bounds) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(bounds, Qt::white);
    const QFont font = LabelFont();
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF metrics(font);
    const double line = metrics.height();
    const QRectF plot = PlotArea(bounds);

    painter.setPen(Qt::black);
    painter.setFont(bold);
    painter.drawText(QRectF(bounds.left() + Gap, bounds.top() + Gap, bounds.width() - 2 * Gap, line),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Net present value by discount rate"));
    painter.setFont(font);
    painter.drawText(QRectF(bounds.left() + Gap, bounds.top() + Gap + line, bounds.width() - 2 * Gap, line),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Net present value"));

    PaintGrid(painter, bounds, plot, line);

    painter.setClipRect(plot.adjusted(-PointRadius - 1, -PointRadius - 1, PointRadius + 1, PointRadius + 1));
    const double zero = Position(FLowPercent, 0, plot).y();
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));

    PaintInternalRates(painter, plot, metrics);

    painter.setPen(QPen(CurveColor, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(Curve(plot));

    painter.setPen(QPen(PointColor.darker(150), 1));
    painter.setBrush(PointColor);
    for (const RatePoint &point : FPoints) {
        if (point.Drawn)
            painter.drawEllipse(Position(point.Percent, point.Value, plot), PointRadius, PointRadius);
    }
    painter.setClipping(false);

    PaintLegend(painter, bounds, metrics);
    painter.restore();
}

// Grid and tick labels, the axis caption and the plot's frame.
void TNpvProfile::PaintGrid(QPainter &painter, const QRectF &bounds, const QRectF &plot, double line) const
{
    Axis xAxis;
    const QStringList xLabels = XLabels(xAxis);
    for (int i = 0; i < xLabels.size(); ++i) {
        const double x = Position(xAxis.First + i * xAxis.Step, 0, plot).x();
        painter.setPen(QPen(GridColor, 1));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 100, plot.bottom() + Gap / 2, 200, line), Qt::AlignHCenter | Qt::AlignTop,
                         xLabels[i]);
    }
    Axis yAxis;
    const QStringList yLabels = YLabels(yAxis);
    for (int i = 0; i < yLabels.size(); ++i) {
        const double y = Position(FLowPercent, yAxis.First + i * yAxis.Step, plot).y();
        painter.setPen(QPen(GridColor, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(bounds.left(), y - line / 2, plot.left() - bounds.left() - Gap, line),
                         Qt::AlignRight | Qt::AlignVCenter, yLabels[i]);
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + Gap / 2 + line, plot.width(), line),
                     Qt::AlignHCenter | Qt::AlignTop, tr("Discount rate"));
    painter.setPen(QPen(Qt::gray, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}

// Each internal rate: a dashed line through its crossing and its value at the top,
// every other label a line lower so that neighbours do not cover each other.
void TNpvProfile::PaintInternalRates(QPainter &painter, const QRectF &plot, const QFontMetricsF &metrics) const
{
    const double line = metrics.height();
    int row = 0;
    for (const long double rate : FRates.Percents) {
        if (rate < FLowPercent)
            continue;
        const double x = Position(double(rate), 0, plot).x();
        painter.setPen(QPen(RateColor, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const QString label = tr("IRR %1").arg(PercentText(rate));
        const double width = metrics.horizontalAdvance(label);
        const double left = x + Gap / 2 + width <= plot.right() ? x + Gap / 2 : x - Gap / 2 - width;
        const QRectF place(left, plot.top() + Gap / 2 + (row % 2) * line, width + 1, line);
        painter.fillRect(place, QColor(255, 255, 255, 220));
        painter.setPen(RateColor);
        painter.drawText(place, Qt::AlignLeft | Qt::AlignVCenter, label);
        ++row;
    }
}

// The legend: each point's rate and value, flowing into as many lines as it needs.
void TNpvProfile::PaintLegend(QPainter &painter, const QRectF &bounds, const QFontMetricsF &metrics) const
{
    const double line = metrics.height();
    const QStringList texts = LegendTexts();
    double x = bounds.left() + Gap;
    double y = bounds.bottom() - Gap - LegendLines(bounds) * line;
    for (int k = 0; k < texts.size(); ++k) {
        const double width = 2 * PointRadius + Gap + metrics.horizontalAdvance(texts[k]) + 3 * Gap;
        if (x + width > bounds.right() && x > bounds.left() + Gap) {
            x = bounds.left() + Gap;
            y += line;
        }
        if (FPoints[k].Drawn) {
            painter.setPen(QPen(PointColor.darker(150), 1));
            painter.setBrush(PointColor);
            painter.drawEllipse(QPointF(x + PointRadius, y + line / 2), PointRadius, PointRadius);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + 2 * PointRadius + Gap, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, texts[k]);
        x += width;
    }
}

QString TNpvProfile::Description() const
{
    QString text;
    if (FRates.Percents.empty()) {
        text = FRates.Outcome == InternalRates::irEveryRate ? tr("No internal rate: all cash flows are zero.")
                                                            : tr("No internal rate.");
    } else {
        QStringList rates;
        for (const long double rate : FRates.Percents)
            rates << PercentText(rate) + (rate < FLowPercent ? tr(" (not drawn)") : QString());
        text = tr("Internal rates: %1.", nullptr, int(rates.size())).arg(rates.join(QStringLiteral(", ")));
    }
    const QStringList texts = LegendTexts();
    QStringList points;
    for (const QString &entry : texts)
        points << tr("at %1").arg(entry);
    QString list = points.join(QStringLiteral("; "));
    list[0] = list[0].toUpper();
    return text + QLatin1Char(' ') + list + QLatin1Char('.');
}
