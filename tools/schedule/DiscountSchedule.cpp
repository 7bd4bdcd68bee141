#include "tools/schedule/DiscountSchedule.h"

#include "app/core/PaybackYear.h"
#include "app/core/SavedValues.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ExtMath.h"
#include "platform/core/Formatting.h"

#include <cmath>

TDiscountSchedule::TDiscountSchedule(const Npv::CashFlows &flows,
                                     const std::array<double, Npv::RateCount> &ratesPercent)
    : FFlows(flows), FRatesOfReturn(InternalRates::Of(flows))
{
    for (int k = 0; k < Npv::RateCount; ++k) {
        Rate &rate = FRates[k];
        rate.Percent = ratesPercent[k];
        try {
            const Real48 scaled = Npv::ScaledRate(rate.Percent);
            // The same base, factors and terms as the net present value adds up.
            const long double base = ExtMath::Add(FromReal48(scaled), 1.0L);
            long double sum = 0.0L;
            for (int n = 1; n <= Npv::YearCount; ++n) {
                Year &year = rate.Years[n - 1];
                const long double discount = Npv::DiscountFactor(base, n);
                year.Number = n;
                year.CashFlow = flows[n - 1];
                year.PresentValue = ExtMath::Div(flows[n - 1], discount);
                year.Factor = ExtMath::Div(1.0L, discount);
                sum = ExtMath::Add(sum, year.PresentValue);
                year.RunningSum = sum;
            }
            rate.NetPresentValue = Npv::NetPresentValue(flows, scaled);
            // Defined wherever the net present value is.
            rate.Payback = PaybackYear::Discounted(flows, rate.Percent);
            rate.Defined = true;
        } catch (const EMathError &) {
            rate.Defined = false;
        }
    }
}

TDiscountSchedule TDiscountSchedule::FromSavedValues(const SavedValues &values)
{
    Npv::CashFlows flows{};
    for (int n = 0; n < Npv::YearCount; ++n)
        flows[n] = values.Value(n);
    std::array<double, Npv::RateCount> rates{};
    for (int k = 0; k < Npv::RateCount; ++k) {
        const double stored = static_cast<double>(values.Value(SavedValues::FirstRate + k));
        rates[k] = double(StrToFloat(FormatFloat(QStringLiteral("0.000"), stored)));
    }
    return TDiscountSchedule(flows, rates);
}

QString TDiscountSchedule::CurrencyText(long double value)
{
    // Amounts whose cents do not fit a 32-bit whole number are shown unrounded, as
    // the result fields show them.
    const long double cents = std::nearbyint(value * 100.0L);
    if (std::fabs(cents) <= 2147483647.0L)
        value = cents / 100.0L;
    return FloatToStrF(value, ffCurrency, 12, 2);
}

QString TDiscountSchedule::PercentText(double percent)
{
    return FloatToStrF(percent, ffFixed, 15, 3) + QStringLiteral(" %");
}

QString TDiscountSchedule::FactorText(long double factor)
{
    return FloatToStrF(factor, ffFixed, 15, 6);
}
