#include "platform/core/Exceptions.h"
#include "platform/core/ExtMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ExtMath, RaisesTheMathErrorOfEachFailure)
{
    EXPECT_THROW(ExtMath::Ln(0.0L), EZeroDivide);
    EXPECT_THROW(ExtMath::Ln(-1.0L), EInvalidOp);
    EXPECT_THROW(ExtMath::Ln(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(ExtMath::Exp(12000.0L), EOverflow);
    EXPECT_THROW(ExtMath::Div(1.0L, 0.0L), EZeroDivide);
    EXPECT_THROW(ExtMath::Div(0.0L, 0.0L), EInvalidOp);
    EXPECT_THROW(ExtMath::Mul(std::numeric_limits<long double>::max(), 2.0L), EOverflow);
    EXPECT_THROW(ExtMath::Add(std::numeric_limits<long double>::max(), std::numeric_limits<long double>::max()),
                 EOverflow);
    // Every one of them is recognisable as a math error.
    EXPECT_THROW(ExtMath::Ln(0.0L), EMathError);
}

TEST(ExtMath, UnderflowIsNotAnError)
{
    EXPECT_EQ(ExtMath::Exp(-20000.0L), 0.0L);
    EXPECT_NO_THROW(ExtMath::Mul(std::numeric_limits<long double>::min(), 1e-10L));
}

TEST(ExtMath, WorksInExtendedPrecision)
{
    // 1 + 2^-60 is lost in double but kept in the 64-bit significand.
    EXPECT_NE(ExtMath::Add(1.0L, std::ldexp(1.0L, -60)), 1.0L);
    EXPECT_NEAR(static_cast<double>(ExtMath::Exp(ExtMath::Ln(10.0L))), 10.0, 1e-15);
    const long double ln2 = ExtMath::Ln(2.0L);
    EXPECT_LT(std::fabs(ln2 - 0.693147180559945309417232121458176568L), 1e-18L);
}
