#include "platform/core/Exceptions.h"
#include "platform/core/Real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Real48 bytes(std::initializer_list<int> b)
{
    Real48 r;
    int i = 0;
    for (int v : b)
        r.Bytes[i++] = static_cast<std::uint8_t>(v);
    return r;
}

} // namespace

TEST(Real48, EncodesTheDocumentedValues)
{
    struct Row {
        long double value;
        Real48 expected;
    } rows[] = {
        {1.0L, bytes({0x81, 0, 0, 0, 0, 0})},
        {4.0L, bytes({0x83, 0, 0, 0, 0, 0})},
        {-2500.75L, bytes({0x8C, 0, 0, 0, 0x4C, 0x9C})},
        {0.1L, bytes({0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C})},
        {1234.56L, bytes({0x8B, 0x1F, 0x85, 0xEB, 0x51, 0x1A})},
        {0.0L, bytes({0, 0, 0, 0, 0, 0})},
    };
    for (const Row &row : rows)
        EXPECT_EQ(ToReal48(row.value), row.expected) << static_cast<double>(row.value);
}

TEST(Real48, DecodesExactlyAndShowsTheRounding)
{
    EXPECT_EQ(FromReal48(ToReal48(4.5L)), 4.5L);
    EXPECT_EQ(FromReal48(ToReal48(-2500.75L)), -2500.75L);
    // 0.1 rounds up because the first dropped bit is 1.
    EXPECT_GT(FromReal48(ToReal48(0.1L)), 0.1L);
    EXPECT_NEAR(static_cast<double>(FromReal48(ToReal48(0.1L))), 0.10000000000002274, 1e-17);
    EXPECT_NEAR(static_cast<double>(FromReal48(ToReal48(1234.56L))), 1234.5600000005215, 1e-12);
    // An exponent byte of 0 is zero whatever the other bytes hold.
    EXPECT_EQ(FromReal48(bytes({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), 0.0L);
}

TEST(Real48, RoundsOnTheFirstDroppedBitOnly)
{
    // 1 + 2^-40 is exactly the first dropped bit: it rounds up to 1 + 2^-39.
    EXPECT_EQ(FromReal48(ToReal48(1.0L + std::ldexp(1.0L, -40))), 1.0L + std::ldexp(1.0L, -39));
    // Just below the first dropped bit: the lower bits are not looked at.
    EXPECT_EQ(FromReal48(ToReal48(1.0L + std::ldexp(1.0L, -40) - std::ldexp(1.0L, -63))), 1.0L);
    // Negative values round away from zero in magnitude as well.
    EXPECT_EQ(FromReal48(ToReal48(-1.0L - std::ldexp(1.0L, -40))), -1.0L - std::ldexp(1.0L, -39));
    // A carry out of the significand raises the exponent.
    const long double almostTwo = 2.0L - std::ldexp(1.0L, -45);
    EXPECT_EQ(ToReal48(almostTwo), bytes({0x82, 0, 0, 0, 0, 0}));
}

TEST(Real48, RangeLimits)
{
    // The smallest magnitude is 2^-128; below it the result is zero without error.
    EXPECT_EQ(FromReal48(ToReal48(std::ldexp(1.0L, -128))), std::ldexp(1.0L, -128));
    EXPECT_EQ(ToReal48(std::ldexp(1.0L, -129)), Real48{});
    EXPECT_EQ(ToReal48(std::numeric_limits<long double>::denorm_min()), Real48{});
    // Just under 2^127 is the largest; 1e40 and a rounding carry to 2^127 overflow.
    const long double largest = std::ldexp(1.0L, 127) - std::ldexp(1.0L, 127 - 40);
    EXPECT_EQ(FromReal48(ToReal48(largest)), largest);
    EXPECT_THROW(ToReal48(std::ldexp(1.0L, 127)), EOverflow);
    EXPECT_THROW(ToReal48(std::ldexp(1.0L, 127) - std::ldexp(1.0L, 127 - 41)), EOverflow);
    EXPECT_THROW(ToReal48(-1e40L), EOverflow);
    EXPECT_THROW(ToReal48(std::numeric_limits<long double>::infinity()), EMathError);
    EXPECT_THROW(ToReal48(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
}

TEST(Real48, RoundTripsEveryFortyBitSignificand)
{
    // Any value with at most 40 significant bits survives the trip exactly.
    std::uint64_t seed = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 2000; ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        const long double significand = static_cast<long double>((seed >> 24) | (std::uint64_t(1) << 39));
        const int exponent = int(seed % 200) - 100 - 39;
        const long double value = std::ldexp(significand, exponent) * ((seed & 1) ? -1 : 1);
        ASSERT_EQ(FromReal48(ToReal48(value)), value) << i;
    }
}
