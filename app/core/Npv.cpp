#include "app/core/Npv.h"

#include "platform/core/ExtMath.h"

namespace Npv {

Real48 ScaledRate(double percent)
{
    return ToReal48(ExtMath::Mul(static_cast<long double>(percent), 0.01L));
}

long double DiscountFactor(long double base, int year)
{
    return ExtMath::Exp(ExtMath::Mul(static_cast<long double>(year), ExtMath::Ln(base)));
}

long double NetPresentValue(const CashFlows &flows, const Real48 &scaledRate)
{
    const long double base = ExtMath::Add(FromReal48(scaledRate), 1.0L);
    std::array<long double, YearCount> factors{};
    for (int n = 1; n <= YearCount; ++n)
        factors[n - 1] = DiscountFactor(base, n);
    long double sum = 0.0L;
    for (int n = 1; n <= YearCount; ++n)
        sum = ExtMath::Add(sum, ExtMath::Div(flows[n - 1], factors[n - 1]));
    return FromReal48(ToReal48(sum));
}

} // namespace Npv
