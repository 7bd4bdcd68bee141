#include "app/profile/NpvProfile.h"
#include "app/profile/ProfilePicture.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"

#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr QSize CanvasSize(800, 520);

// The net present value straight from its definition, for the points.
long double PlainValue(const Npv::CashFlows &flows, long double percent)
{
    long double sum = 0;
    for (int n = 1; n <= Npv::YearCount; ++n)
        sum += flows[n - 1] / std::pow(1 + percent / 100, static_cast<long double>(n));
    return sum;
}

// Where a rate and a value land: the plot area spans the profile's ranges linearly.
QPointF Placed(const TNpvProfile &profile, const QRectF &plot, long double percent, long double value)
{
    return QPointF(plot.left() +
                       double((percent - profile.LowPercent()) / (profile.HighPercent() - profile.LowPercent())) *
                           plot.width(),
                   plot.bottom() - double((value - profile.LowValue()) / (profile.HighValue() - profile.LowValue())) *
                                       plot.height());
}

double DistanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length, 0.0, 1.0) : 0.0;
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

double DistanceToCurve(const QPointF &p, const QPolygonF &curve)
{
    double best = 1e300;
    for (int i = 1; i < curve.size(); ++i)
        best = std::min(best, DistanceToSegment(p, curve[i - 1], curve[i]));
    return best;
}

// The curve's blue, anti-aliased or not; nothing else on the chart is blue.
bool IsCurvePixel(QRgb pixel)
{
    return qBlue(pixel) > 140 && qRed(pixel) < 110 && qBlue(pixel) > qGreen(pixel) + 40;
}

bool CurveDrawnNear(const QImage &image, const QPointF &p)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (IsCurvePixel(image.pixel(int(p.x()) + dx, int(p.y()) + dy)))
                return true;
    return false;
}

std::vector<Npv::CashFlows> FlowSets()
{
    std::vector<Npv::CashFlows> sets = {
        {-100000, 230000, -132000, 0, 0, 0, 0, 0, 0, 0}, // 10 % and 20 %
        {-5000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 6000},
        {-1000, 0, 0, 0, 0, 0, 0, 0, 0, 2000},
        {-1000, 200, 200, 200, 0, 0, 0, 0, 0, 0}, // a rate below zero
        {-10, 900, 0, 0, 0, 0, 0, 0, 0, 0},       // a rate far above 100 %
        {-100, 230, -140, 0, 0, 0, 0, 0, 0, 0},   // sign changes, no rate
    };
    std::mt19937_64 random(30);
    std::uniform_int_distribution<long> cents(-1000000, 1000000);
    for (int i = 0; i < 40; ++i) {
        Npv::CashFlows flows{};
        for (auto &flow : flows)
            flow = cents(random) / 100.0L;
        flows[0] = -std::fabs(flows[0]);
        sets.push_back(flows);
    }
    return sets;
}

class Profile : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(UnitedStatesFormatSettings()); }
};

} // namespace

// Every internal rate in the drawn range is where the curve meets the zero line, to the
// pixel: on the polyline drawn and in the pixels painted. Each of the five points lies
// on the curve, at the value the rate has.
TEST_F(Profile, CurveCrossesZeroAtEachInternalRateAndPassesThroughThePoints)
{
    const std::array<double, Npv::RateCount> rates{4, 5, 12, 15, 25};
    int crossingsSeen = 0;
    for (const Npv::CashFlows &flows : FlowSets()) {
        const TNpvProfile profile(flows, rates);
        const QImage image = ProfilePicture::Render(profile, CanvasSize);
        const QRectF plot = profile.PlotArea(QRectF(QPointF(0, 0), CanvasSize));
        const QPolygonF curve = profile.Curve(plot);
        ASSERT_GT(curve.size(), 100);
        const double zeroY = Placed(profile, plot, 0, 0).y();
        ASSERT_GE(zeroY, plot.top());
        ASSERT_LE(zeroY, plot.bottom());

        // Where the drawn polyline meets the zero line.
        std::vector<double> crossings;
        for (int i = 1; i < curve.size(); ++i) {
            const QPointF a = curve[i - 1], b = curve[i];
            if ((a.y() - zeroY) * (b.y() - zeroY) <= 0 && a.y() != b.y())
                crossings.push_back(a.x() + (zeroY - a.y()) / (b.y() - a.y()) * (b.x() - a.x()));
        }
        const InternalRates irr = InternalRates::Of(flows);
        for (const long double rate : irr.Percents) {
            if (rate < profile.LowPercent())
                continue;
            EXPECT_LE(rate, profile.HighPercent() - 10 + 1e-9);
            const QPointF at = Placed(profile, plot, rate, 0);
            double nearest = 1e300;
            for (const double x : crossings)
                nearest = std::min(nearest, std::fabs(x - at.x()));
            EXPECT_LE(nearest, 1.0) << "rate " << double(rate);
            // Painted there too, unless one of the five points is drawn over it.
            bool covered = false;
            for (int k = 0; k < Npv::RateCount; ++k) {
                const QPointF point = Placed(profile, plot, rates[k], profile.PointAt(k).Value);
                covered = covered || std::hypot(point.x() - at.x(), point.y() - at.y()) < 6;
            }
            EXPECT_TRUE(covered || CurveDrawnNear(image, at)) << "rate " << double(rate);
            ++crossingsSeen;
        }
        // And no crossing where there is no rate: a crossing stays within a pixel of one.
        for (const double x : crossings) {
            double nearest = 1e300;
            for (const long double rate : irr.Percents)
                nearest = std::min(nearest, std::fabs(x - Placed(profile, plot, rate, 0).x()));
            EXPECT_LE(nearest, 1.0) << "crossing at x " << x;
        }

        for (int k = 0; k < Npv::RateCount; ++k) {
            const TNpvProfile::RatePoint &point = profile.PointAt(k);
            ASSERT_TRUE(point.Drawn);
            const QPointF at = Placed(profile, plot, rates[k], PlainValue(flows, rates[k]));
            EXPECT_LE(DistanceToCurve(at, curve), 1.0) << "rate " << rates[k];
            EXPECT_NEAR(double(point.Value), double(PlainValue(flows, rates[k])),
                        1e-6 * (1 + std::fabs(double(point.Value))));
            EXPECT_GE(at.y(), plot.top() - 0.5);
            EXPECT_LE(at.y(), plot.bottom() + 0.5);
        }
        // The range covers the calculator's rates and the internal rates, with room.
        EXPECT_LE(profile.LowPercent(), -50);
        EXPECT_GE(profile.HighPercent(), 50);
        EXPECT_GE(profile.LowPercent(), TNpvProfile::LowestDrawnPercent);
    }
    EXPECT_GE(crossingsSeen, 40);
}

TEST_F(Profile, DescriptionNamesTheRatesAndEveryPoint)
{
    const struct {
        const char *name;
        Npv::CashFlows flows;
        std::array<double, Npv::RateCount> rates;
        const char *text;
    } rows[] = {
        {"TwoRates",
         {-100000, 230000, -132000, 0, 0, 0, 0, 0, 0, 0},
         {4, 5, 12, 15, 25},
         "Internal rates: 10.000 %, 20.000 %. At 4.000 %: ($853.44); at 5.000 %: ($647.88); at 12.000 %: $113.88; "
         "at 15.000 %: $164.38; at 25.000 %: ($384.00)."},
        {"NoRate",
         {100, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {0, 5, 6, 7, 8},
         "No internal rate. At 0.000 %: $100.00; at 5.000 %: $95.24; at 6.000 %: $94.34; at 7.000 %: $93.46; "
         "at 8.000 %: $92.59."},
        // Rates at or below −90 % are named, not drawn; −100 % has no value at all.
        {"RatesOffTheChart",
         {-1, 0.0001L, 0, 0, 0, 0, 0, 0, 0, 0},
         {-100, -95, 5, 6, 7},
         "Internal rate: -99.990 % (not drawn). At -100.000 %: cannot be determined (not drawn); at -95.000 %: "
         "($19.96) (not drawn); at 5.000 %: ($0.95); at 6.000 %: ($0.94); at 7.000 %: ($0.93)."},
    };
    for (const auto &row : rows) {
        const TNpvProfile profile(row.flows, row.rates);
        EXPECT_EQ(profile.Description().toStdString(), std::string(row.text)) << row.name;
    }
}

// Written beside the target and renamed over it: a file linked to the old one keeps the
// old bytes, the target holds a whole picture; a failure leaves the old file alone.
TEST_F(Profile, PngAndSvgAreWrittenBesideAndRenamed)
{
    QTemporaryDir dir;
    const TNpvProfile profile({-1000, 300, 300, 300, 300, 0, 0, 0, 0, 0}, {4, 5, 6, 7, 8});
    const QByteArray old("old picture");
    for (const char *name : {"profile.png", "profile.SVG"}) {
        const QString target = dir.filePath(QString::fromLatin1(name));
        const QString witness = target + QStringLiteral(".witness");
        {
            QFile file(witness);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        ASSERT_EQ(::link(QFile::encodeName(witness).constData(), QFile::encodeName(target).constData()), 0);
        ProfilePicture::Save(profile, target);
        QFile kept(witness);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), old) << name << ": written in place";
        if (QString::fromLatin1(name).endsWith(QLatin1String(".png"))) {
            const QImage image(target);
            EXPECT_EQ(image.size(), ProfilePicture::FileSize) << name;
        } else {
            QSvgRenderer svg(target);
            EXPECT_TRUE(svg.isValid()) << name;
            EXPECT_EQ(svg.viewBox(), QRect(QPoint(0, 0), ProfilePicture::FileSize)) << name;
        }
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_THROW(ProfilePicture::Save(profile, dir.filePath(QStringLiteral("profile.jpg"))), Exception);
    EXPECT_THROW(ProfilePicture::Save(profile, dir.filePath(QStringLiteral("missing/profile.svg"))), Exception);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before) << "nothing left behind";
}
