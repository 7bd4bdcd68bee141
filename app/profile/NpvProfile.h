#pragma once

#include "app/core/InternalRates.h"
#include "app/core/Npv.h"

#include <QCoreApplication>
#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <array>
#include <utility>
#include <vector>

class QFontMetricsF;
class QPainter;

// The NPV profile of ten yearly cash flows: their net present value against the
// discount rate, with the zero line, every internal rate marked and the calculator's
// five rates as points. Computed once from the values, then painted onto any canvas
// (a window, an image, an SVG file, a report page) at any size.
class TNpvProfile {
    Q_DECLARE_TR_FUNCTIONS(TNpvProfile)

public:
    // Rates at or below this are not drawn (the curve runs off every scale there);
    // the description still names them.
    static constexpr double LowestDrawnPercent = -90;

    struct RatePoint {
        double Percent = 0;
        // False when the rate cannot discount: the calculator reports a math error.
        bool Defined = false;
        // The calculator's result at the rate.
        long double Value = 0;
        bool Drawn = false;
    };

    // All flows zero, the calculator's starting rates.
    TNpvProfile();
    // Finite flows; a NaN or infinite flow raises EInvalidOp.
    TNpvProfile(const Npv::CashFlows &flows, const std::array<double, Npv::RateCount> &ratesPercent);

    const Npv::CashFlows &CashFlows() const { return FFlows; }
    const InternalRates &Rates() const { return FRates; }
    const RatePoint &PointAt(int k) const { return FPoints.at(k); }

    // The drawn range: rates in percent along x, values along y.
    double LowPercent() const { return FLowPercent; }
    double HighPercent() const { return FHighPercent; }
    long double LowValue() const { return FLowValue; }
    long double HighValue() const { return FHighValue; }

    // Where the axes meet inside bounds: the rest holds the labels and the legend.
    QRectF PlotArea(const QRectF &bounds) const;
    // A rate and a value as a point of the plot area.
    QPointF Position(double percent, long double value, const QRectF &plot) const;
    // The curve as drawn in the plot area, lowest rate first.
    QPolygonF Curve(const QRectF &plot) const;
    void Paint(QPainter &painter, const QRectF &bounds) const;

    // What a screen reader says for the picture: the internal rates and the value at
    // each of the five rates.
    QString Description() const;

    // "10.000 %" in the regional number format.
    static QString PercentText(long double percent);
    // Money as the calculator's result fields show it: rounded half to even to the
    // cent, in the regional currency format.
    static QString MoneyText(long double value);

private:
    struct Axis {
        double First = 0; // first tick
        double Step = 1;
        int Decimals = 0;
    };
    QFont LabelFont() const;
    QStringList LegendTexts() const;
    void PaintGrid(QPainter &painter, const QRectF &bounds, const QRectF &plot, double line) const;
    void PaintInternalRates(QPainter &painter, const QRectF &plot, const QFontMetricsF &metrics) const;
    void PaintLegend(QPainter &painter, const QRectF &bounds, const QFontMetricsF &metrics) const;
    QStringList XLabels(Axis &axis) const;
    QStringList YLabels(Axis &axis) const;
    int LegendLines(const QRectF &bounds) const;

    Npv::CashFlows FFlows{};
    InternalRates FRates;
    std::array<RatePoint, Npv::RateCount> FPoints{};
    // (percent, value) from the lowest drawn rate to the highest, through every
    // internal rate and every point.
    std::vector<std::pair<double, long double>> FSamples;
    double FLowPercent = -50;
    double FHighPercent = 50;
    long double FLowValue = -1;
    long double FHighValue = 1;
};
