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

std::array<long double, YearCount> PresentValues(const CashFlows &flows, const Real48 &scaledRate)
{
    const long double base = ExtMath::Add(FromReal48(scaledRate), 1.0L);
    // Every factor first, so a rate that cannot discount fails before any term exists.
    std::array<long double, YearCount> factors{};
    for (int n = 1; n <= YearCount; ++n)
        factors[n - 1] = DiscountFactor(base, n);
    std::array<long double, YearCount> terms{};
    for (int n = 1; n <= YearCount; ++n)
        terms[n - 1] = ExtMath::Div(flows[n - 1], factors[n - 1]);
    return terms;
}

long double NetPresentValue(const CashFlows &flows, const Real48 &scaledRate)
{
    long double sum = 0.0L;
    for (long double term : PresentValues(flows, scaledRate))
        sum = ExtMath::Add(sum, term);
    return FromReal48(ToReal48(sum));
}

} // namespace Npv
