#pragma once

#include "app/core/Npv.h"

#include <optional>

// The modified internal rate of return of the ten yearly cash flows, with the timing
// the calculator uses: flows at the end of years 1 to 10, discounted from today.
//   PV = sum over the negative flows of CF_t / (1 + f)^t
//   FV = sum over the positive flows of CF_t * (1 + r)^(10 - t)
//   MIRR = (FV / -PV)^(1/10) - 1
// f finances the outlays, r reinvests the returns; both and the answer are in percent.
// This is a spreadsheet's MIRR over the values 0, CF1, ..., CF10. There is none (no
// value) without a negative or without a positive flow, with a rate at or below −100 %,
// or when the answer is beyond the extended range.
std::optional<long double> ModifiedInternalRate(const Npv::CashFlows &flows, long double financePercent,
                                                long double reinvestPercent);
