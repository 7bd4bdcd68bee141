#include "app/core/Npv.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Npv::CashFlows flows(std::initializer_list<long double> values)
{
    Npv::CashFlows result{};
    int i = 0;
    for (long double v : values)
        result[i++] = v;
    return result;
}

double npv(const Npv::CashFlows &cf, double percent)
{
    return static_cast<double>(Npv::NetPresentValue(cf, Npv::ScaledRate(percent)));
}

// The same sum in plain double arithmetic, as an independent check.
double reference(const Npv::CashFlows &cf, double percent)
{
    double sum = 0;
    for (int n = 1; n <= 10; ++n)
        sum += static_cast<double>(cf[n - 1]) / std::pow(1 + percent / 100, n);
    return sum;
}

} // namespace

TEST(Npv, WorkedExamples)
{
    const auto thousands = flows({1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000});
    EXPECT_NEAR(npv(thousands, 10), 6144.567, 0.0005);
    const auto hundreds = flows({100, 100, 100, 100, 100, 100, 100, 100, 100, 100});
    EXPECT_NEAR(npv(hundreds, 5), 772.173, 0.0005);
    const auto property = flows({-5000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 6000});
    EXPECT_NEAR(npv(property, 8), 3470.493, 0.0005);
    const auto sale = flows({0, 0, 0, 0, 0, 0, 0, 0, 0, 100000});
    EXPECT_NEAR(npv(sale, 4), 67556.417, 0.0005);

    for (const auto &cf : {thousands, hundreds, property, sale})
        for (double rate : {0.0, 0.5, 4.125, 8.0, 33.3})
            EXPECT_NEAR(npv(cf, rate), reference(cf, rate), 1e-6 * std::max(1.0, std::fabs(reference(cf, rate))));
}

TEST(Npv, RateZeroIsThePlainSumAndZeroFlowsGiveZero)
{
    const auto cf = flows({1.5L, -2, 3, 4, 5, 6, 7, 8, 9, 10.25L});
    EXPECT_EQ(npv(cf, 0), 51.75);
    for (double rate : {0.0, 4.0, 250.0, -50.0})
        EXPECT_EQ(npv(Npv::CashFlows{}, rate), 0.0);
}

TEST(Npv, TheRateIsRoundedToReal48BeforeOneIsAdded)
{
    const Real48 scaled = Npv::ScaledRate(4.125);
    const Real48 expected{{0x7C, 0x5C, 0x8F, 0xC2, 0xF5, 0x28}};
    EXPECT_EQ(scaled, expected);
    EXPECT_NEAR(static_cast<double>(FromReal48(scaled)), 0.0412499999999909, 1e-16);
    EXPECT_NE(FromReal48(scaled), 0.04125L);
}

TEST(Npv, MathErrorsNearMinusOneHundredPercent)
{
    const auto cf = flows({1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_THROW(npv(cf, -100), EZeroDivide);
    EXPECT_THROW(npv(cf, -150), EInvalidOp);
    // The sum exists in extended precision but not in Real48.
    EXPECT_THROW(npv(cf, -99.999), EOverflow);
    // All flows zero at -99.999 % is still zero.
    EXPECT_EQ(npv(Npv::CashFlows{}, -99.999), 0.0);
}

TEST(Npv, DiscountFactorUsesTheExponentialOfTheLogarithm)
{
    EXPECT_EQ(Npv::DiscountFactor(1.0L, 7), 1.0L);
    EXPECT_NEAR(static_cast<double>(Npv::DiscountFactor(1.1L, 10)), std::pow(1.1, 10), 1e-12);
    EXPECT_THROW(Npv::DiscountFactor(0.0L, 1), EZeroDivide);
}
