#include "app/core/PaybackYear.h"

#include "platform/core/ExtMath.h"

namespace {

// The sign the sum has once rounded to Real48, as the net present value is: only a
// negative sum too small for Real48 turns into zero. Sums beyond Real48's range are
// never rounded, so a running sum may pass through them without an error.
bool atOrAboveZero(long double sum)
{
    if (sum >= 0.0L)
        return true;
    if (sum <= -1.0L)
        return false;
    return FromReal48(ToReal48(sum)) >= 0.0L;
}

} // namespace

namespace PaybackYear {

std::optional<int> Discounted(const Npv::CashFlows &flows, double percent)
{
    const auto terms = Npv::PresentValues(flows, Npv::ScaledRate(percent));
    std::optional<int> year;
    long double sum = 0.0L;
    for (int n = 1; n <= Npv::YearCount; ++n) {
        sum = ExtMath::Add(sum, terms[n - 1]);
        if (atOrAboveZero(sum)) {
            if (!year)
                year = n;
        } else {
            year.reset();
        }
    }
    return year;
}

} // namespace PaybackYear
