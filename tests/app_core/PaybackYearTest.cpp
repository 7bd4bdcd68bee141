#include "app/core/PaybackYear.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct PaybackCase {
    std::string name;
    Npv::CashFlows flows;
    double percent;
    std::optional<int> year;
};

class PaybackYearCases : public ::testing::TestWithParam<PaybackCase> {};

TEST_P(PaybackYearCases, FirstYearFromWhichTheRunningSumStaysAtOrAboveZero)
{
    const PaybackCase &c = GetParam();
    EXPECT_EQ(PaybackYear::Discounted(c.flows, c.percent), c.year);
}

// At 0 % every factor is exp(0) = 1, so the running sums below are exact.
INSTANTIATE_TEST_SUITE_P(
    Edges, PaybackYearCases,
    ::testing::Values(PaybackCase{"PositiveFromTheFirstYear", {5, -5, 1}, 0, 1},
                      PaybackCase{"ExactlyZeroAtAYearCounts", {-100, 50, 50, 10}, 0, 3},
                      PaybackCase{"ExactlyZeroAtYearTen", {-100, 0, 0, 0, 0, 0, 0, 0, 0, 100}, 0, 10},
                      PaybackCase{"ASumThatDipsBelowZeroAgainStartsOver", {100, -50, -60, 20}, 0, 4},
                      PaybackCase{"BelowZeroAtYearTen", {-100, 10, 10, 10, 10, 10, 10, 10, 10, 10}, 0, std::nullopt},
                      PaybackCase{
                          "PositiveAtTheEndOnlyAfterAFinalDip", {-1, 2, 0, 0, 0, 0, 0, 0, 0, -2}, 0, std::nullopt},
                      // At 10 %: -909.09, then -413.22, +37.57, -30.73 and +93.45 from year 5 on.
                      PaybackCase{"DiscountedDipAtTenPercent", {-1000, 600, 600, -100, 200}, 10, 5},
                      // The net present value, rounded to Real48, is 0 here, so the investment pays
                      // back as the calculator shows it.
                      PaybackCase{"ASumTooSmallForReal48IsZero", {0, 0, 0, 0, 0, 0, 0, 0, 0, -1e-40L}, 0, 1}),
    [](const ::testing::TestParamInfo<PaybackCase> &info) { return info.param.name; });

} // namespace

TEST(PaybackYear, ARateThatCannotDiscountFailsAsTheNetPresentValueDoes)
{
    const Npv::CashFlows flows{-1, 2};
    EXPECT_THROW(PaybackYear::Discounted(flows, -100), EZeroDivide);
    EXPECT_THROW(PaybackYear::Discounted(flows, -150), EInvalidOp);
}
