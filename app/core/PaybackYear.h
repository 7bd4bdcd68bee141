#pragma once

#include "app/core/Npv.h"

#include <optional>

// The discounted payback year: the first year from which the running sum of present
// values stays at or above zero through year 10.
namespace PaybackYear {

// Years 1..10, or no value when the running sum is below zero at year 10 ("not
// within ten years"). The running sums are the calculator's: its terms added year 1
// first, each sum rounded to Real48 before its sign is read, so the sum at year 10 is
// the net present value itself and a payback exists exactly when that value is at or
// above zero. A rate that cannot discount raises the math error the net present
// value raises for it.
std::optional<int> Discounted(const Npv::CashFlows &flows, double percent);

} // namespace PaybackYear
