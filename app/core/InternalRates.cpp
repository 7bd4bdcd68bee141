#include "app/core/InternalRates.h"

#include "platform/core/Exceptions.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

// With x = 1 / (1 + r) the net present value is x times the polynomial
// CF_1 + CF_2 x + ... + CF_10 x^9, and r > -100 % is x in (0, inf). The search runs
// on (0, 1] in x for the rates of 0 % and above, and on (0, 1) in y = 1 / x = 1 + r,
// with the coefficients reversed, for the rates below 0 %: on [0, 1] Horner's scheme
// neither overflows nor loses more than its usual few units in the last place, and a
// rate near -100 % or a very large one is a y or an x near zero, where floating point
// is finest.
//
// Roots in (0, 1) are isolated through the derivative: between neighbouring roots of
// p' the polynomial p is monotone, so each such piece holds at most one root, found
// by a bracketed search when p changes sign across it. A root of p' at which p is zero
// within its rounding bound is a root where p touches zero without crossing it. The
// derivative's roots come from the same procedure one degree lower, ending at the
// straight line.

namespace {

using Real = long double;

constexpr int MaxDegree = Npv::YearCount - 1;

// A bracketed search halves the bracket at least every other step and a geometric
// halving shrinks the widest bracket (2^-16400 to 1) to a ratio of 2 in 15 steps, so
// the search ends on neighbouring numbers well before this.
constexpr int MaxSteps = 200;

// Horner's scheme is off by at most 2 degree roundings (half an epsilon each) of the
// sum of the absolute terms; the bounds below are (degree + 1) times this, four times
// that, with room for the error in the point itself.
constexpr Real RoundingFactor = 4 * LDBL_EPSILON;

// Roots whose 1 + r agree this closely are one root met twice: once from each side of
// 0 %, or as a touching root and a crossing in the same rounding haze.
constexpr Real SameRoot = 1e-15L;

// a[0] + a[1] t + ... + a[degree] t^degree.
struct Polynomial {
    Real a[MaxDegree + 1] = {};
    int degree = 0;
};

// Ascending roots in (0, 1).
struct Roots {
    Real t[MaxDegree] = {};
    int count = 0;

    void add(Real root) { t[count++] = root; }
};

int signOf(Real v)
{
    return (v > 0) - (v < 0);
}

Polynomial derivative(const Polynomial &p)
{
    Polynomial d;
    d.degree = p.degree - 1;
    for (int i = 1; i <= p.degree; ++i)
        d.a[i - 1] = i * p.a[i];
    return d;
}

Real valueAndMagnitude(const Polynomial &p, Real t, Real &magnitude)
{
    Real v = p.a[p.degree];
    magnitude = std::fabs(v);
    for (int i = p.degree - 1; i >= 0; --i) {
        v = v * t + p.a[i];
        magnitude = magnitude * t + std::fabs(p.a[i]);
    }
    return v;
}

// Horner's scheme with the rounding error of every step carried along (error-free
// sums and products, the products by splitting into 32-bit halves): the value as if
// computed in twice the precision. It tells apart two roots a billionth apart, which
// the plain scheme sees as one touching root.
Real preciseValue(const Polynomial &p, Real t)
{
    constexpr Real Splitter = 4294967297.0L; // 2^32 + 1
    const Real split = Splitter * t;
    const Real tHigh = split - (split - t);
    const Real tLow = t - tHigh;
    Real s = p.a[p.degree];
    Real carried = 0;
    for (int i = p.degree - 1; i >= 0; --i) {
        const Real product = s * t;
        const Real sSplit = Splitter * s;
        const Real sHigh = sSplit - (sSplit - s);
        const Real sLow = s - sHigh;
        const Real productError = ((sHigh * tHigh - product) + sHigh * tLow + sLow * tHigh) + sLow * tLow;
        s = product + p.a[i];
        const Real back = s - product;
        const Real sumError = (product - (s - back)) + (p.a[i] - back);
        carried = carried * t + (productError + sumError);
    }
    return s + carried;
}

// The sign of p(t) for t in [0, 1], or zero when p(t) is within its rounding bound
// plus spread, the most p can change over the uncertainty of t itself.
int certainSign(const Polynomial &p, Real t, Real spread = 0)
{
    Real magnitude = 0;
    const Real v = valueAndMagnitude(p, t, magnitude);
    const Real plainBound = RoundingFactor * (p.degree + 1) * magnitude;
    if (std::fabs(v) > plainBound + spread)
        return signOf(v);
    const Real precise = preciseValue(p, t);
    const Real preciseBound = RoundingFactor * (p.degree + 1) * plainBound;
    return std::fabs(precise) <= preciseBound + spread ? 0 : signOf(precise);
}

// A root of p' found in working precision moved to the nearest number at which the
// precise p' is zero, and how far p can still be from its value at the true turning
// point: |p'| dt + |p''| dt^2 over the remaining uncertainty dt.
Real polishedTurn(const Polynomial &slope, const Polynomial &bend, Real &turn)
{
    Real curvature = 0;
    for (int step = 0; step < 2; ++step) {
        Real magnitude = 0;
        curvature = valueAndMagnitude(bend, turn, magnitude);
        if (curvature == 0)
            break;
        const Real moved = turn - preciseValue(slope, turn) / curvature;
        if (!(std::fabs(moved - turn) <= 1e-9L * turn))
            break;
        turn = moved;
    }
    const Real gradient = std::fabs(preciseValue(slope, turn));
    // Without curvature the turn is only known to the plain scheme's accuracy.
    const Real uncertainty = curvature != 0 ? gradient / std::fabs(curvature) + 2 * LDBL_EPSILON * turn : 1e-9L * turn;
    return gradient * uncertainty + std::fabs(curvature) * uncertainty * uncertainty;
}

// p(t) and p'(t); the value in twice the precision when the plain one is too close
// to zero for its sign to be sure, as it is next to a root of a close pair.
Real valueAndSlope(const Polynomial &p, Real t, Real &slope)
{
    Real v = p.a[p.degree];
    Real magnitude = std::fabs(v);
    slope = 0;
    for (int i = p.degree - 1; i >= 0; --i) {
        slope = slope * t + v;
        v = v * t + p.a[i];
        magnitude = magnitude * t + std::fabs(p.a[i]);
    }
    if (std::fabs(v) <= RoundingFactor * (p.degree + 1) * magnitude)
        return preciseValue(p, t);
    return v;
}

// The halving point: geometric while the bracket spans more than a factor of 4, so
// a root as small as 1e-77 is reached in a few dozen steps, arithmetic after that.
Real splitPoint(Real lo, Real hi)
{
    if (lo > 0 && hi > 4 * lo)
        return std::sqrt(lo) * std::sqrt(hi);
    return lo + (hi - lo) / 2;
}

// The root of p in (lo, hi), where p has the sign loSign at lo and the other sign at
// hi: Newton's steps while they stay inside the bracket and at least halve the step
// before the last, halvings otherwise.
Real rootInBracket(const Polynomial &p, Real lo, Real hi, int loSign)
{
    Real t = splitPoint(lo, hi);
    Real step = hi - lo;
    Real stepBefore = step;
    for (int i = 0; i < MaxSteps; ++i) {
        Real slope = 0;
        const Real v = valueAndSlope(p, t, slope);
        if (v == 0)
            return t;
        if (signOf(v) == loSign)
            lo = t;
        else
            hi = t;

        const Real newton = t - v / slope;
        Real next;
        if (slope != 0 && newton > lo && newton < hi && 2 * std::fabs(newton - t) <= stepBefore) {
            stepBefore = step;
            step = std::fabs(newton - t);
            next = newton;
            if (step <= LDBL_EPSILON * next)
                return next;
        } else {
            stepBefore = step;
            step = (hi - lo) / 2;
            next = splitPoint(lo, hi);
            if (next <= lo || next >= hi)
                return next;
        }
        t = next;
    }
    return t;
}

// No root of p lies in [0, bound]: the roots of a polynomial with a[0] != 0 are at
// least |a[0]| / (|a[0]| + max |a[i]|) in size. Half of it keeps clear of rounding.
Real lowerRootBound(const Polynomial &p)
{
    Real largest = 0;
    for (int i = 1; i <= p.degree; ++i)
        largest = std::max(largest, std::fabs(p.a[i]));
    const Real a0 = std::fabs(p.a[0]);
    return std::max(a0 / (a0 + largest) / 2, LDBL_MIN);
}

// The roots of p in (0, 1), given p's sign at 1 (zero for a root there, which is not
// listed). p has degree 1 or more and a[degree] != 0.
Roots rootsInUnit(const Polynomial &p, int signAtOne)
{
    Roots found;
    if (p.degree == 1) {
        const Real root = -p.a[0] / p.a[1];
        if (root > 0 && root < 1)
            found.add(root);
        return found;
    }

    const Polynomial slope = derivative(p);
    const Roots turns = rootsInUnit(slope, certainSign(slope, 1));
    const Polynomial bend = derivative(slope);

    // The pieces' ends: 0, the turning points, 1.
    Real at[MaxDegree + 1];
    int sign[MaxDegree + 1];
    int ends = 0;
    at[ends] = p.a[0] != 0 ? lowerRootBound(p) : 0;
    sign[ends++] = signOf(p.a[0]);
    for (int i = 0; i < turns.count; ++i) {
        if (turns.t[i] <= at[0])
            continue;
        Real turn = turns.t[i];
        const Real spread = polishedTurn(slope, bend, turn);
        at[ends] = turn;
        sign[ends++] = certainSign(p, turn, spread);
    }
    at[ends] = 1;
    sign[ends++] = signAtOne;

    for (int i = 0; i + 1 < ends; ++i) {
        if (i > 0 && sign[i] == 0)
            found.add(at[i]);
        if (sign[i] * sign[i + 1] < 0)
            found.add(rootInBracket(p, at[i], at[i + 1], sign[i]));
    }
    return found;
}

// A rate both as 1 + r, where roots near -100 % stay apart, and in percent.
struct Rate {
    Real growth;
    Real percent;
};

Real relativeGap(const Rate &lower, const Rate &upper)
{
    return (upper.growth - lower.growth) / upper.growth;
}

// Sorts the rates and merges those that are one root met twice and, should rounding
// still leave more rates than the flows' sign changes allow, the closest pairs until
// it does not.
std::vector<Real> mergedPercents(std::vector<Rate> rates, int limit)
{
    std::sort(rates.begin(), rates.end(), [](const Rate &a, const Rate &b) { return a.growth < b.growth; });
    std::vector<Rate> kept;
    for (const Rate &rate : rates)
        if (kept.empty() || relativeGap(kept.back(), rate) > SameRoot)
            kept.push_back(rate);
    while (static_cast<int>(kept.size()) > limit) {
        std::size_t closest = 0;
        for (std::size_t i = 1; i + 1 < kept.size(); ++i)
            if (relativeGap(kept[i], kept[i + 1]) < relativeGap(kept[closest], kept[closest + 1]))
                closest = i;
        kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(closest) + 1);
    }
    std::vector<Real> percents;
    percents.reserve(kept.size());
    for (const Rate &rate : kept)
        percents.push_back(rate.percent);
    return percents;
}

} // namespace

// Long by design: the flows' signs and scaling, then the roots on each side of 0 % and
// their meeting there, in the order the search needs them.
InternalRates InternalRates::Of(const Npv::CashFlows &flows)
{
    InternalRates result;
    int first = -1;
    int last = -1;
    int previousSign = 0;
    for (int n = 0; n < Npv::YearCount; ++n) {
        if (!std::isfinite(flows[n]))
            throw EInvalidOp();
        const int sign = signOf(flows[n]);
        if (sign == 0)
            continue;
        if (first < 0)
            first = n;
        last = n;
        if (previousSign != 0 && sign != previousSign)
            ++result.SignChanges;
        previousSign = sign;
    }
    if (first < 0) {
        result.Outcome = irEveryRate;
        return result;
    }
    if (result.SignChanges == 0)
        return result;

    // Zero flows before the first and after the last one only multiply the polynomial
    // by a power of x, which is not zero for any rate. Scaling by a power of two is
    // exact and brings the largest coefficient near 1.
    Real largest = 0;
    for (int n = first; n <= last; ++n)
        largest = std::max(largest, std::fabs(flows[n]));
    int scale = 0;
    std::frexp(largest, &scale);
    Polynomial inX;
    Polynomial inY;
    inX.degree = inY.degree = last - first;
    for (int i = 0; i <= inX.degree; ++i) {
        inX.a[i] = std::ldexp(flows[first + i], -scale);
        inY.a[inX.degree - i] = inX.a[i];
    }

    // Both halves meet at 0 %, where they share one value and so must share its sign.
    std::vector<Rate> rates;
    const int signAtZero = certainSign(inX, 1);
    if (signAtZero == 0)
        rates.push_back({1, 0});
    const Roots xRoots = rootsInUnit(inX, signAtZero);
    for (int i = 0; i < xRoots.count; ++i) {
        const Real x = xRoots.t[i];
        // 1 - x is exact near 0 %, where it matters.
        rates.push_back({1 / x, 100 * ((1 - x) / x)});
    }
    const Roots yRoots = rootsInUnit(inY, signAtZero);
    for (int i = 0; i < yRoots.count; ++i)
        rates.push_back({yRoots.t[i], 100 * (yRoots.t[i] - 1)});

    result.Percents = mergedPercents(std::move(rates), result.SignChanges);
    switch (result.Percents.size()) {
    case 0: result.Outcome = irNoRate; break;
    case 1: result.Outcome = irOneRate; break;
    default: result.Outcome = irSeveralRates; break;
    }
    return result;
}
