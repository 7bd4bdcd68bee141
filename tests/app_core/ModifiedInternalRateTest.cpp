#include "app/core/InternalRates.h"
#include "app/core/ModifiedInternalRate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

// Flows given by year: {year, amount}; the other years are zero.
Npv::CashFlows flowsOf(std::initializer_list<std::pair<int, long double>> entries)
{
    Npv::CashFlows flows{};
    for (const auto &[year, amount] : entries)
        flows.at(year - 1) = amount;
    return flows;
}

struct MirrCase {
    std::string name;
    Npv::CashFlows flows;
    long double finance;
    long double reinvest;
    std::optional<long double> percent;
};

// Each answer worked out by hand from the definition (the spreadsheet's MIRR over
// 0, CF1, ..., CF10):
const MirrCase MirrCases[] = {
    // PV = -1000 at 0 %, FV = 2000 (year 10 is not compounded, so the reinvestment rate
    // plays no part): 2^(1/10) - 1.
    {"OutlayDoublesByYearTen", flowsOf({{1, -1000}, {10, 2000}}), 0, 50, 7.1773462536293164L},
    // FV = 1000 * 2^5 = 32000, PV = -1000: 32^(1/10) - 1 = sqrt(2) - 1.
    {"ReturnReinvestedAtOneHundredPercent", flowsOf({{1, -1000}, {5, 1000}}), 0, 100, 41.421356237309505L},
    // PV = -1100 / 1.1 - 1210 / 1.21 = -2000; FV = 1000 * 2^7 + 1920000 = 2048000:
    // 1024^(1/10) - 1 = 100 %.
    {"OutlaysFinancedAtTenPercent", flowsOf({{1, -1100}, {2, -1210}, {3, 1000}, {10, 1920000}}), 10, 100, 100},
    // PV = -1 / 0.5 = -2, FV = 2048: again 1024^(1/10).
    {"NegativeFinanceRate", flowsOf({{1, -1}, {10, 2048}}), -50, 7, 100},
    // FV = 1, PV = -1024: 1024^(-1/10) - 1 = -50 %.
    {"ReturnsBelowTheOutlay", flowsOf({{1, -1024}, {10, 1}}), 0, 3, -50},
    {"NoNegativeFlow", flowsOf({{1, 100}, {10, 5}}), 5, 5, std::nullopt},
    {"NoPositiveFlow", flowsOf({{1, -100}, {4, -5}}), 5, 5, std::nullopt},
    {"AllZero", Npv::CashFlows{}, 5, 5, std::nullopt},
    {"FinanceAtMinusOneHundred", flowsOf({{1, -1000}, {10, 2000}}), -100, 5, std::nullopt},
    {"ReinvestBelowMinusOneHundred", flowsOf({{1, -1000}, {10, 2000}}), 5, -100.5L, std::nullopt},
};

class ModifiedRate : public ::testing::TestWithParam<MirrCase> {};

} // namespace

TEST_P(ModifiedRate, IsTheSpreadsheetsAnswer)
{
    const MirrCase &c = GetParam();
    const std::optional<long double> mirr = ModifiedInternalRate(c.flows, c.finance, c.reinvest);
    ASSERT_EQ(mirr.has_value(), c.percent.has_value());
    if (c.percent) {
        EXPECT_NEAR(double(*mirr), double(*c.percent), 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(Mirr, ModifiedRate, ::testing::ValuesIn(MirrCases),
                         [](const auto &info) { return info.param.name; });

// Finance and reinvestment at the internal rate itself give that rate back: the flows
// compounded at it are worth nothing, so FV / -PV = (1 + IRR)^10.
TEST(ModifiedRateIdentity, EqualsTheInternalRateAtTheInternalRate)
{
    const Npv::CashFlows sets[] = {
        flowsOf({{1, -5000},
                 {2, 1000},
                 {3, 1000},
                 {4, 1000},
                 {5, 1000},
                 {6, 1000},
                 {7, 1000},
                 {8, 1000},
                 {9, 1000},
                 {10, 6000}}),
        flowsOf({{1, -1000}, {10, 2000}}),
        flowsOf({{1, -100}, {2, -250.5L}, {3, 40}, {6, 90}, {7, 120}, {10, 300.25L}}),
        // A rate below zero.
        flowsOf({{1, -1000}, {2, 200}, {3, 200}, {4, 200}}),
        // A rate far above 100 %.
        flowsOf({{1, -10}, {2, 900}}),
    };
    for (const Npv::CashFlows &flows : sets) {
        const InternalRates rates = InternalRates::Of(flows);
        ASSERT_EQ(rates.Outcome, InternalRates::irOneRate);
        const long double irr = rates.Percents.front();
        const std::optional<long double> mirr = ModifiedInternalRate(flows, irr, irr);
        ASSERT_TRUE(mirr.has_value());
        EXPECT_NEAR(double(*mirr), double(irr), 1e-9 * (1 + std::fabs(double(irr)))) << double(irr);
    }
}
