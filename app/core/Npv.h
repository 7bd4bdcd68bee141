#pragma once

#include "platform/core/Real48.h"

#include <array>

// The net present value of ten yearly cash flows, in 80-bit extended precision.
namespace Npv {

constexpr int YearCount = 10;
constexpr int RateCount = 5;

using CashFlows = std::array<long double, YearCount>;

// The rate in percent scaled to a fraction (times the extended constant 0.01) and
// rounded to Real48, as the discounting uses it.
Real48 ScaledRate(double percent);

// (1 + rate)^year through the logarithm and the exponential, not repeated
// multiplication; a base of 0 or below raises a math error.
long double DiscountFactor(long double base, int year);

// CF_n / (1 + rate)^n for n = 1..10: the terms the net present value adds up.
std::array<long double, YearCount> PresentValues(const CashFlows &flows, const Real48 &scaledRate);

// Sum of CF_n / (1 + rate)^n for n = 1..10, added year 1 first, rounded to Real48
// (which raises EOverflow when the sum is beyond its range) and returned exactly.
long double NetPresentValue(const CashFlows &flows, const Real48 &scaledRate);

} // namespace Npv
