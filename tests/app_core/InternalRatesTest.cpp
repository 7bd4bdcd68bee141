#include "app/core/InternalRates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Flows whose net present value is, but for a power of 1 + r, the polynomial
// lead * (g - g_1)(g - g_2)... in g = 1 + r, placed from firstYear on: the rates are
// g_i - 1 by construction. Roots and lead are chosen so the products are exact.
Npv::CashFlows fromGrowthRoots(long double lead, const std::vector<long double> &roots, int firstYear)
{
    std::vector<long double> q{lead}; // highest power first
    for (long double root : roots) {
        q.push_back(0);
        for (std::size_t i = q.size() - 1; i > 0; --i)
            q[i] -= root * q[i - 1];
    }
    Npv::CashFlows flows{};
    for (std::size_t i = 0; i < q.size(); ++i)
        flows.at(firstYear - 1 + i) = q[i];
    return flows;
}

long double percentOf(long double growth)
{
    return 100 * (growth - 1);
}

struct RatesCase {
    std::string name;
    Npv::CashFlows flows;
    InternalRates::Kind kind;
    std::vector<long double> percents;
    int signChanges;
};

class InternalRatesCases : public ::testing::TestWithParam<RatesCase> {};

TEST_P(InternalRatesCases, FindsEveryRateOnce)
{
    const RatesCase &c = GetParam();
    const InternalRates found = InternalRates::Of(c.flows);
    EXPECT_EQ(found.Outcome, c.kind);
    EXPECT_EQ(found.SignChanges, c.signChanges);
    ASSERT_EQ(found.Percents.size(), c.percents.size());
    for (std::size_t i = 0; i < c.percents.size(); ++i)
        EXPECT_NEAR(static_cast<double>(found.Percents[i]), static_cast<double>(c.percents[i]),
                    std::max(1e-9, 1e-15 * std::fabs(static_cast<double>(c.percents[i]))))
            << "rate " << i;
}

const long double Tiny = std::ldexp(1.0L, -20);
const long double Small = std::ldexp(1.0L, -10);
const long double Large = std::ldexp(1.0L, 20);
const long double Huge = std::ldexp(1.0L, 40);

INSTANTIATE_TEST_SUITE_P(
    RootFinder, InternalRatesCases,
    ::testing::Values(
        RatesCase{"TwoSignChangesTwoRates", {-100, 230, -132}, InternalRates::irSeveralRates, {10, 20}, 2},
        RatesCase{
            "ZerosAroundTheFlowsChangeNothing", {0, 0, -100, 230, -132}, InternalRates::irSeveralRates, {10, 20}, 2},
        RatesCase{"AllPositive", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, InternalRates::irNoRate, {}, 0},
        RatesCase{"OneFlowAlone", {0, 0, 0, -7}, InternalRates::irNoRate, {}, 0},
        // 100 g^2 - 230 g + 140 has no real root.
        RatesCase{"SignChangesWithoutARate", {-100, 230, -140}, InternalRates::irNoRate, {}, 2},
        RatesCase{"AllZero", {}, InternalRates::irEveryRate, {}, 0},
        RatesCase{"ThreeRates",
                  fromGrowthRoots(1, {1.0625L, 1.25L, 1.5L}, 7),
                  InternalRates::irSeveralRates,
                  {6.25L, 25, 50},
                  3},
        RatesCase{"NearMinusOneHundredPercent",
                  fromGrowthRoots(1, {Tiny, Small}, 8),
                  InternalRates::irSeveralRates,
                  {percentOf(Tiny), percentOf(Small)},
                  2},
        RatesCase{"VeryLargeRates",
                  fromGrowthRoots(-1, {Large, Huge}, 1),
                  InternalRates::irSeveralRates,
                  {percentOf(Large), percentOf(Huge)},
                  2},
        // 0.01 g^2 - (1e12 + 0.0125) g + 1.25e12 = (g - 1.25)(0.01 g - 1e12).
        RatesCase{"FlowsOf1e12And0_01",
                  {0.01L, -(1e12L + 0.0125L), 1.25e12L},
                  InternalRates::irSeveralRates,
                  {25, percentOf(1e12L / 0.01L)},
                  2},
        RatesCase{"DoubleRootAtZero", {-100, 200, -100}, InternalRates::irOneRate, {0}, 2},
        RatesCase{"DoubleRootBesideASimpleOne",
                  fromGrowthRoots(3, {1.25L, 1.25L, 2}, 5),
                  InternalRates::irSeveralRates,
                  {25, 100},
                  3}),
    [](const ::testing::TestParamInfo<RatesCase> &info) { return info.param.name; });

// The net present value in plain long double powers, apart from the calculator's code.
long double presentValue(const Npv::CashFlows &flows, long double percent)
{
    long double sum = 0;
    for (int n = 1; n <= Npv::YearCount; ++n)
        sum += flows[n - 1] / std::pow(1 + percent / 100, static_cast<long double>(n));
    return sum;
}

} // namespace

// A single sign change has exactly one rate; the value changes sign across it within
// a thousandth of a percentage point.
TEST(InternalRates, OneSignChangeHasOneRateThatSubstitutesBackToZero)
{
    const Npv::CashFlows property{-5000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 6000};
    const InternalRates found = InternalRates::Of(property);
    ASSERT_EQ(found.Outcome, InternalRates::irOneRate);
    ASSERT_EQ(found.Percents.size(), 1u);
    const long double rate = found.Percents[0];
    EXPECT_GT(rate, 8); // the value is positive at 8 %
    EXPECT_GT(presentValue(property, rate - 0.0005L), 0);
    EXPECT_LT(presentValue(property, rate + 0.0005L), 0);
    EXPECT_NEAR(static_cast<double>(presentValue(property, rate)), 0, 1e-9);
}
