#include "platform/core/Real48.h"

#include "platform/core/Exceptions.h"

#include <cmath>

static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64,
              "the computation needs the 80-bit extended type with a 64-bit significand");

namespace {

constexpr int Bias = 129;
constexpr std::uint64_t FortyBits = std::uint64_t(1) << 40;
constexpr std::uint64_t FractionMask = (std::uint64_t(1) << 39) - 1;

} // namespace

Real48 ToReal48(long double value)
{
    Real48 result;
    if (std::isnan(value))
        throw EInvalidOp();
    if (std::isinf(value))
        throw EOverflow();
    if (value == 0.0L)
        return result;

    const bool negative = std::signbit(value);
    int exp2 = 0;
    const long double fraction = std::frexp(std::fabs(value), &exp2);        // in [0.5, 1)
    auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64)); // bit 63 set
    int exponent = exp2 - 1;

    std::uint64_t kept = significand >> 24;
    if ((significand >> 23) & 1)
        ++kept;
    if (kept == FortyBits) {
        kept >>= 1;
        ++exponent;
    }

    const int biased = exponent + Bias;
    if (biased < 1)
        return result;
    if (biased > 255)
        throw EOverflow();

    const std::uint64_t bits = kept & FractionMask;
    result.Bytes[0] = static_cast<std::uint8_t>(biased);
    for (int i = 1; i <= 5; ++i)
        result.Bytes[i] = static_cast<std::uint8_t>(bits >> (8 * (i - 1)));
    if (negative)
        result.Bytes[5] |= 0x80;
    return result;
}

long double FromReal48(const Real48 &value)
{
    if (value.Bytes[0] == 0)
        return 0.0L;
    std::uint64_t bits = 0;
    for (int i = 5; i >= 1; --i)
        bits = (bits << 8) | value.Bytes[i];
    const bool negative = bits & (std::uint64_t(1) << 39);
    const std::uint64_t significand = (bits & FractionMask) | (std::uint64_t(1) << 39);
    const long double magnitude = std::ldexp(static_cast<long double>(significand), int(value.Bytes[0]) - Bias - 39);
    return negative ? -magnitude : magnitude;
}
