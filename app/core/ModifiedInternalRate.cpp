#include "app/core/ModifiedInternalRate.h"

#include <cmath>

std::optional<long double> ModifiedInternalRate(const Npv::CashFlows &flows, long double financePercent,
                                                long double reinvestPercent)
{
    if (!(financePercent > -100.0L) || !(reinvestPercent > -100.0L))
        return std::nullopt;
    const long double finance = 1.0L + financePercent / 100.0L;
    const long double reinvest = 1.0L + reinvestPercent / 100.0L;
    long double present = 0.0L;
    long double future = 0.0L;
    for (int t = 1; t <= Npv::YearCount; ++t) {
        const long double flow = flows[t - 1];
        if (flow < 0.0L)
            present += flow / std::pow(finance, static_cast<long double>(t));
        else if (flow > 0.0L)
            future += flow * std::pow(reinvest, static_cast<long double>(Npv::YearCount - t));
    }
    if (!(present < 0.0L) || !(future > 0.0L))
        return std::nullopt;
    const long double growth = std::pow(future / -present, 1.0L / Npv::YearCount);
    const long double percent = (growth - 1.0L) * 100.0L;
    if (!std::isfinite(percent))
        return std::nullopt;
    return percent;
}
