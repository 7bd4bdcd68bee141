#pragma once

#include <array>
#include <cstdint>

// The 6-byte storage float: exponent byte biased by 129 (0 means zero), 39 fraction bits
// below an implicit leading 1 in bytes 1 to 5 (least significant first), sign in bit 7
// of byte 5. About 12 significant digits, magnitudes 2^-128 to just under 2^127.
struct Real48 {
    std::array<std::uint8_t, 6> Bytes{};

    friend bool operator==(const Real48 &, const Real48 &) = default;
};

// Keeps the top 40 significand bits and adds one unit when the first dropped bit is 1
// (ties and above move away from zero). Too small gives zero; too large raises
// EOverflow; NaN raises EInvalidOp.
Real48 ToReal48(long double value);

// Exact.
long double FromReal48(const Real48 &value);
